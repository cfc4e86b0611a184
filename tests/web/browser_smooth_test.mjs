// Smooth needles in a real headless browser, on the built-in circuit's
// start-up and radio tuning, then a steady turn on the ground (steering held
// from 50 s on, for as long as a loaded machine needs):
//   - during the turn the ADF pointer turns with the aircraft: with smoothing
//     on its drawn angle changes on at least 50 of 60 frames; with it off,
//     every frame draws exactly the host's own angle (the raw steps);
//   - a click's own change gets no added latency: in the frame that first
//     draws the state that took the click, the ADF radio's power lamp has
//     changed and the pointer (which parks when the radio is switched off)
//     is drawn where the host has it, not on its way there.
//
//   node browser_smooth_test.mjs PATH/TO/morvane-preview
import { execFileSync } from "node:child_process";
import { mkdtempSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { startPanel, launchBrowser, check, finish, waitFor } from "./live_panel_harness.mjs";

const [preview] = process.argv.slice(2);
// The circuit's own first 46 s (engines started, the ADF tuned to the NDB,
// the parking brake off and the throttles set for the taxi), then the turn.
const circuit = execFileSync(preview, ["--print-scenario"], { encoding: "utf8" }).split("\n");
const start = circuit.filter(l => { const m = l.match(/^at\s+([\d.]+)\s/); return m && Number(m[1]) <= 46; });
const scenario = join(mkdtempSync(join(tmpdir(), "turn-")), "turn.txt");
writeFileSync(scenario, [...start, "at 50 pilot steer -15", "end 900", ""].join("\n"));
const panel = await startPanel(preview, ["--scenario", scenario, "--run"]);
const browser = await launchBrowser();
try {
  const page = await browser.newPage({ viewport: { width: 1400, height: 900 } });
  page.on("pageerror", e => check(false, `no script error in the page: ${e.message}`));
  await page.goto(panel.url);
  await waitFor(page, () => window.panelStats && window.panelStats.drawnSeq > 0, "the page draws the panel");
  const layout = await page.evaluate(async () => (await fetch("/layout.json")).json());
  const adf = layout.gauges.find(g => g.name === "ADF_Indicator");
  // The bearing pointer: the needle turning about the dial's centre.
  const pointer = layout.elements.findIndex((e, i) => i >= adf.first && i < adf.first + adf.count && e.k === 1 && e.x === 150 && e.y === 150);
  check(pointer >= 0, "the ADF indicator has its bearing pointer");
  check(await page.evaluate(() => document.getElementById("smooth").checked), "smoothing is on by default");

  // Sixty frames of the pointer: its drawn angle and the host's, each frame.
  const sixtyFrames = () => page.evaluate(i => new Promise(resolve => {
    const seen = [];
    window.onPanelFrame = () => {
      seen.push({ drawn: window.panelDrawn(i)[0], clock: window.panelStats.clock });
      if (seen.length === 61) { window.onPanelFrame = null; resolve(seen); }
    };
  }), pointer);

  // The host flies in real time: the turn comes 50 s after the start.
  await page.waitForFunction(() => window.panelStats.clock >= 51, null, { timeout: 180000, polling: 250 })
    .catch(() => { throw new Error("waited 180 s for the turn (from 50 s)"); });
  const smooth = await sixtyFrames();
  let changed = 0;
  for (let f = 1; f < smooth.length; ++f) if (smooth[f].drawn !== smooth[f - 1].drawn) changed++;
  const turned = Math.abs(smooth[60].drawn - smooth[0].drawn);
  console.log(`(60 frames from ${smooth[0].clock.toFixed(2)} to ${smooth[60].clock.toFixed(2)} s of the host's clock)`);
  check(turned > 3, `the pointer turned with the aircraft (${turned.toFixed(1)} degrees in 60 frames)`);
  check(changed >= 50, `with smoothing on, the pointer's drawn angle changed on ${changed} of 60 frames`);

  // Off: every frame draws the host's angle as it came.
  await page.click("#smooth");
  const raw = await page.evaluate(i => new Promise(resolve => {
    let frames = 0, exact = 0, changes = 0, last = null;
    window.onPanelFrame = () => {
      const d = window.panelDrawn(i);
      const host = window.panelHost(i);
      if (d[0] === host[0]) exact++;
      if (last !== null && d[0] !== last) changes++;
      last = d[0];
      if (++frames === 60) { window.onPanelFrame = null; resolve({ exact, changes, clock: window.panelStats.clock }); }
    };
  }), pointer);
  check(raw.exact === 60 && raw.changes > 0, `with smoothing off, all 60 frames drew the host's own angle (${raw.exact}; it changed on ${raw.changes})`);
  await page.click("#smooth");

  // A click's own change, with smoothing on: the ADF main switch, ten times.
  const radio = layout.gauges.find(g => g.name === "Radio_ADF");
  const k = radio.w / radio.bw;
  const lamp = [Math.floor(radio.x + 290 * k), Math.floor(radio.y + 6 * k), Math.ceil(23 * k), Math.ceil(23 * k)];
  await page.keyboard.press("0");
  await page.evaluate(([lamp, pointer]) => {
    const canvas = document.getElementById("panel"), g = canvas.getContext("2d");
    const sum = () => g.getImageData(...lamp).data.reduce((a, v) => a + v, 0);
    window.clicks = [];
    let pending = null;
    canvas.addEventListener("pointerdown", ev => {
      pending = { at: ev.timeStamp, before: sum(), seen: window.panelStats.inputDrawn };
    }, { capture: true });
    // Each frame drawn: once the state that took the click is on the
    // canvas (the last input the drawn state took has moved on), look. A
    // state after it may have come in the same frame and started the
    // pointer on its way: it is then within one cycle's turn of the host.
    window.onPanelDrawn = now => {
      if (!pending || window.panelStats.inputDrawn === pending.seen) return;
      const d = window.panelDrawn(pointer), h = window.panelHost(pointer);
      const off = Math.abs(((d[0] - h[0]) % 360 + 540) % 360 - 180);
      window.clicks.push({ lampChanged: Math.abs(sum() - pending.before) > 2000, pointerExact: off <= 5, ms: now - pending.at });
      pending = null;
    };
  }, [lamp, pointer]);
  const box = await page.locator("#panel").boundingBox();
  const sx = box.x + (radio.x + 276 * k + 0.5) * box.width / layout.width, sy = box.y + (radio.y + 254 * k + 0.5) * box.height / layout.height;
  for (let n = 0; n < 10; ++n) {
    await page.mouse.click(sx, sy);
    await waitFor(page, n => window.clicks.length > n, `click ${n + 1} to be drawn`, n);
    const seq = await page.evaluate(() => window.panelStats.seq);
    await waitFor(page, s => window.panelStats.drawnSeq > s + 1, "two more states before the next click", seq);
  }
  const clicks = await page.evaluate(() => window.clicks);
  check(clicks.every(c => c.lampChanged), "each click's lamp change is on the canvas in the first frame that draws its state");
  check(clicks.every(c => c.pointerExact), "the pointer, parked or freed by the click, is drawn at the host's angle in that frame (within 5 degrees), not on its way");
  const ms = clicks.map(c => c.ms).sort((a, b) => a - b);
  console.log(`click to visible change with smoothing on: median ${ms[4].toFixed(0)} ms, max ${ms[9].toFixed(0)} ms (figures: bench/live_panel_bench.mjs)`);
} finally {
  await browser.close();
  panel.stop();
}
finish();
