// The live panel in a headless Chromium on this machine, with the built-in
// circuit running (--serve 0 --run), measured in one run:
//   - visual updates of the page per second (states drawn; the host runs 18)
//   - the page's own frame rate
//   - the share of the page's frames that move a needle, slider, drum or
//     sprite, with smoothing on (the page's default) and, over a second
//     window of the same run, off (the host's raw 18 steps a second)
//   - click to visible change, from the pointer press to the first frame
//     whose pixels show it (ADF main switch lamp), median and 95th percentile
//   - the simulated clock against wall time
//   - bytes per second on the wire (the state stream), beside today's way
//     of sending every frame as a PNG of the whole panel, fetched back to
//     back by one client in the same run
//
//   node bench/live_panel_bench.mjs build/native/bin/morvane-preview [SECONDS]
import { startPanel, launchBrowser, waitFor, clickToVisibleTimes } from "../tests/web/live_panel_harness.mjs";

const [preview, secondsArg] = process.argv.slice(2);
const SECONDS = Number(secondsArg || 30);
const CLICKS = 40;

const panel = await startPanel(preview, ["--run"]);
const browser = await launchBrowser();
const state = async () => (await fetch(panel.url + "state")).json();
const results = {};
try {
  const page = await browser.newPage({ viewport: { width: 1400, height: 900 } });
  await page.goto(panel.url);
  await waitFor(page, () => window.panelStats && window.panelStats.drawnSeq > 0, "the page draws the panel");
  results.loadBytes = await page.evaluate(() => performance.getEntriesByType("resource")
    .filter(e => /\/(bitmap\/|layout\.json)/.test(e.name)).reduce((a, e) => a + e.transferSize, 0));
  // The scenario clicks the ADF switch at 8 s: measure after it.
  await waitFor(page, () => window.panelStats.clock >= 9, "the circuit past its first 9 s");

  // Rates over a window of wall time, with the simulated clock; each
  // reading of the host's clock is placed at the middle of its request.
  const timedState = async () => {
    const before = performance.now(), s = await state(), after = performance.now();
    return { ...s, at: (before + after) / 2, spread: (after - before) / 2 };
  };
  await timedState();  // the connection made before the window opens
  const s0 = await timedState(), p0 = await page.evaluate(() => ({ ...window.panelStats, at: performance.now() }));
  await page.waitForFunction(t => performance.now() >= t, p0.at + SECONDS * 1000, { timeout: SECONDS * 1000 + 60000, polling: 250 });
  const s1 = await timedState(), p1 = await page.evaluate(() => ({ ...window.panelStats, at: performance.now() }));
  const span = (p1.at - p0.at) / 1000, wall = (s1.at - s0.at) / 1000;
  // A reading is up to one cycle old, and lies within its request.
  results.simOverWallUncertainty = (1 / 18 + (s0.spread + s1.spread) / 1000) / wall;
  results.updatesPerSecond = (p1.updates - p0.updates) / span;
  results.pageFps = (p1.frames - p0.frames) / span;
  results.simOverWall = (s1.clock - s0.clock) / wall;
  results.cyclesPerSecond = (s1.cycles - s0.cycles) / wall;
  results.skippedCycles = s1.skipped;
  results.streamBytesPerSecond = (s1.streamBytes - s0.streamBytes) / wall;
  results.motionShare = (p1.motionFrames - p0.motionFrames) / (p1.frames - p0.frames);
  results.smoothingDelayMs = await page.evaluate(() => smoothing.delay);

  // The same share with smoothing off, for as long again (at most 15 s).
  const rawSeconds = Math.min(SECONDS, 15);
  await page.click("#smooth");
  const r0 = await page.evaluate(() => ({ ...window.panelStats, at: performance.now() }));
  await page.waitForFunction(t => performance.now() >= t, r0.at + rawSeconds * 1000, { timeout: rawSeconds * 1000 + 60000, polling: 250 });
  const r1 = await page.evaluate(() => ({ ...window.panelStats, at: performance.now() }));
  results.rawMotionShare = (r1.motionFrames - r0.motionFrames) / (r1.frames - r0.frames);
  results.rawPageFps = (r1.frames - r0.frames) / ((r1.at - r0.at) / 1000);
  await page.click("#smooth");

  // Click to visible change: the ADF main switch, whose power lamp lights
  // and goes out with each click.
  const times = await clickToVisibleTimes(page, CLICKS);
  const pct = p => times[Math.min(times.length - 1, Math.ceil(p * times.length) - 1)];
  results.clickMedianMs = pct(0.5);
  results.clickP95Ms = pct(0.95);
  results.clickMaxMs = times[times.length - 1];
  results.pageLatencyReadoutMs = await page.evaluate(n => {
    const l = window.panelStats.latencies.slice(-n);
    return l.reduce((a, b) => a + b, 0) / l.length;
  }, CLICKS);
  await page.close();

  // Today's way, in the same run: every frame a PNG of the whole panel.
  const pngSeconds = 6;
  let pngBytes = 0, pngFrames = 0;
  const until = performance.now() + pngSeconds * 1000, t0 = performance.now();
  while (performance.now() < until) {
    const r = await fetch(panel.url + "frame.png");
    pngBytes += (await r.arrayBuffer()).byteLength;
    pngFrames++;
  }
  const pngSpan = (performance.now() - t0) / 1000;
  results.pngFramesPerSecond = pngFrames / pngSpan;
  results.pngBytesPerFrame = pngBytes / pngFrames;
  results.pngBytesPerSecond = pngBytes / pngSpan;
  results.pngBytesAt18PerSecond = results.pngBytesPerFrame * 18;
} finally {
  await browser.close();
  panel.stop();
}

const f = (v, d = 1) => (v === null || v === undefined ? "-" : Number(v).toFixed(d));
console.log(`live panel, built-in circuit, ${SECONDS} s window, ${CLICKS} clicks, headless Chromium`);
console.log(`  visual updates/s            ${f(results.updatesPerSecond)}   (host cycles/s ${f(results.cyclesPerSecond, 2)}, skipped ${results.skippedCycles})`);
console.log(`  page frame rate             ${f(results.pageFps)} fps`);
console.log(`  frames with needle motion   ${f(results.motionShare * 100)} % smoothed (playback ${f(results.smoothingDelayMs, 0)} ms behind the newest state); ` +
            `${f(results.rawMotionShare * 100)} % raw at ${f(results.rawPageFps)} fps; smoothed / raw = ${f(results.motionShare / results.rawMotionShare, 2)}`);
console.log(`  click to visible change     median ${f(results.clickMedianMs)} ms, p95 ${f(results.clickP95Ms)} ms, max ${f(results.clickMaxMs)} ms` +
            ` (page readout, press to state drawn: mean ${f(results.pageLatencyReadoutMs)} ms); smoothing on;` +
            ` p95 target 100 ms: ${results.clickP95Ms <= 100 ? "met" : "NOT met"}`);
console.log(`  simulated / wall clock      ${f(results.simOverWall, 4)} (reading uncertainty ±${f(results.simOverWallUncertainty * 100, 2)}%)`);
console.log(`  state stream                ${f(results.streamBytesPerSecond / 1024, 2)} KiB/s (bitmaps and layout once: ${f(results.loadBytes / 1024, 0)} KiB)`);
console.log(`  today's PNG stream          ${f(results.pngBytesPerSecond / 1024, 0)} KiB/s at ${f(results.pngFramesPerSecond, 2)} frames/s ` +
            `(${f(results.pngBytesPerFrame / 1024, 0)} KiB a frame; ${f(results.pngBytesAt18PerSecond / 1048576, 1)} MiB/s at 18 frames/s)`);
console.log(`  wire ratio                  PNG stream / state stream = ${f(results.pngBytesPerSecond / results.streamBytesPerSecond, 0)}` +
            ` (at 18 frames/s: ${f(results.pngBytesAt18PerSecond / results.streamBytesPerSecond, 0)})`);
console.log(JSON.stringify(results));
