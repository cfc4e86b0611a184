// The live panel on a 1024 x 768 touch screen, as on a tablet beside the
// simulator: the web app manifest and its icons as the browser reads them,
// a two-finger pinch that zooms about the fingers without pressing what is
// under them, a two-finger pan, a tap that works a switch (seen in the
// host's own tooltip and on the canvas), the latency readout with the
// network's share, kiosk mode (no bars, no context menu, no selection, a
// tap still answered), the screen wake lock taken again when the page is
// shown again, bad state messages dropped without stopping the updates, and
// the stream coming back by itself after the server went silent. Every wait
// is for a condition in the page or the server.
//
//   node tablet_test.mjs PATH/TO/morvane-preview
import { startPanel, launchBrowser, check, finish, waitFor, panelSettled } from "./live_panel_harness.mjs";

const [preview] = process.argv.slice(2);
const panel = await startPanel(preview);
const browser = await launchBrowser();
const tablet = { viewport: { width: 1024, height: 768 }, hasTouch: true, isMobile: true, deviceScaleFactor: 1 };
let stopped = false;
try {
  const context = await browser.newContext(tablet);
  const page = await context.newPage();
  await page.goto(panel.url);
  await waitFor(page, () => window.panelStats && window.panelStats.drawnSeq > 0, "the page draws the panel");
  const layout = await page.evaluate(async () => (await fetch("/layout.json")).json());
  const gauge = name => layout.gauges.find(g => g.name === name);
  const cdp = await context.newCDPSession(page);

  // ---------------------------------------------------------- manifest and icons
  const manifest = await cdp.send("Page.getAppManifest");
  const parsed = manifest.data ? JSON.parse(manifest.data) : {};
  check(manifest.url.endsWith("/manifest.webmanifest") && manifest.errors.length === 0,
        `the browser reads the page's manifest without errors (${JSON.stringify(manifest.errors)})`);
  check(parsed.display === "fullscreen" && parsed.start_url === "/", "the manifest opens the panel full screen from its start");
  const served = await page.evaluate(async () => {
    const r = await fetch("/manifest.webmanifest");
    return r.headers.get("content-type");
  });
  check(served === "application/manifest+json", `the manifest is served as application/manifest+json (${served})`);
  for (const icon of parsed.icons || []) {
    const size = await page.evaluate(src => new Promise(resolve => {
      const img = new Image();
      img.onload = () => resolve(`${img.naturalWidth}x${img.naturalHeight}`);
      img.onerror = () => resolve("not an image");
      img.src = src;
    }), icon.src);
    check(size === icon.sizes && icon.type === "image/png", `the icon ${icon.src} (${icon.purpose}) is a ${icon.sizes} PNG: ${size}`);
  }
  const installErrors = (await cdp.send("Page.getInstallabilityErrors")).installabilityErrors.map(e => e.errorId);
  const ours = installErrors.filter(e => /manifest|icon|start-url|display|name/.test(e));
  check(ours.length === 0, `the browser finds nothing missing in the manifest or icons to add the panel to a home screen (${installErrors.join(", ") || "none"})`);

  // ---------------------------------------------------------- pinch and pan
  const view = () => page.evaluate(() => {
    const v = document.getElementById("view"), r = document.getElementById("panel").getBoundingClientRect();
    const b = v.getBoundingClientRect();
    return { zoom: window.panelView.zoom(), left: r.left, top: r.top, width: r.width, scrollLeft: v.scrollLeft, scrollTop: v.scrollTop,
             x: b.left, y: b.top, w: b.width, h: b.height };
  });
  const settled = () => panelSettled(page);
  const touch = (type, points) => cdp.send("Input.dispatchTouchEvent",
    { type, touchPoints: points.map((p, i) => ({ x: p.x, y: p.y, id: i, radiusX: 4, radiusY: 4, force: 1 })) });
  // Two fingers land together about (cx, cy), `from` apart, and move apart
  // to `to` while their centre moves by (dx, dy).
  async function twoFingers(cx, cy, from, to, dx = 0, dy = 0) {
    await touch("touchStart", [{ x: cx - from / 2, y: cy }, { x: cx + from / 2, y: cy }]);
    for (let i = 1; i <= 12; ++i) {
      const d = from + (to - from) * i / 12, x = cx + dx * i / 12, y = cy + dy * i / 12;
      await touch("touchMove", [{ x: x - d / 2, y }, { x: x + d / 2, y }]);
    }
    await touch("touchEnd", []);
  }
  const panelAt = (v, x, y) => ({ x: (x - v.left) * layout.width / v.width, y: (y - v.top) * layout.width / v.width });
  const screenOf = (v, px, py) => ({ x: v.left + px * v.width / layout.width, y: v.top + py * v.width / layout.width });
  const tooltipAt = (px, py) => page.evaluate(async ([x, y]) =>
    (await (await fetch(`/hover?x=${Math.floor(x)}&y=${Math.floor(y)}`)).json()).tooltip, [px, py]);
  const adf = gauge("Radio_ADF");
  const adfSwitch = { x: adf.x + 276 * adf.w / adf.bw, y: adf.y + 254 * adf.h / adf.bh };
  check(await tooltipAt(adfSwitch.x, adfSwitch.y) === "Main switch (off)", "the ADF main switch starts off");

  // A pinch right over a switch zooms in and does not press it.
  await settled();
  const presses = await page.evaluate(() => window.panelGestures.presses);
  const fit0 = await view();
  const overSwitch = screenOf(fit0, adfSwitch.x, adfSwitch.y);
  await twoFingers(overSwitch.x, overSwitch.y, 80, 120);
  await settled();
  const zoomed = await view();
  check(Math.abs(zoomed.zoom / fit0.zoom - 1.5) < 0.05, `a pinch from 80 to 120 px over a switch zooms by 1.5 (${fit0.zoom.toFixed(3)} to ${zoomed.zoom.toFixed(3)})`);
  check(await page.evaluate(n => window.panelGestures.presses === n, presses) &&
        await tooltipAt(adfSwitch.x, adfSwitch.y) === "Main switch (off)", "the pinch did not press the ADF main switch under it: still off");
  await page.click("#fit");
  await settled();

  let v0 = await view();
  // About the panel's middle, so that the view can scroll to keep it there.
  const centre = screenOf(v0, layout.width / 2, layout.height / 2);
  const under = panelAt(v0, centre.x, centre.y);
  await twoFingers(centre.x, centre.y, 100, 200);
  await settled();
  let v1 = await view();
  check(Math.abs(v1.zoom / v0.zoom - 2) < 0.1, `a pinch from 100 to 200 px doubles the zoom (${v0.zoom.toFixed(3)} to ${v1.zoom.toFixed(3)})`);
  const stillUnder = panelAt(v1, centre.x, centre.y);
  check(Math.hypot(stillUnder.x - under.x, stillUnder.y - under.y) < 4,
        `the panel point under the fingers stays under them (${under.x.toFixed(0)},${under.y.toFixed(0)} then ${stillUnder.x.toFixed(0)},${stillUnder.y.toFixed(0)})`);
  check(await page.locator("#zoom").innerText() === `${Math.round(v1.zoom * 100)}%`, "the zoom readout follows the pinch");

  await twoFingers(centre.x, centre.y, 150, 150, -80, -60);
  await settled();
  const v2 = await view();
  check(Math.abs(v2.scrollLeft - v1.scrollLeft - 80) <= 3 && Math.abs(v2.scrollTop - v1.scrollTop - 60) <= 3 && Math.abs(v2.zoom - v1.zoom) < 1e-9,
        `two fingers moved together pan the panel without zooming (scroll +${v2.scrollLeft - v1.scrollLeft}, +${v2.scrollTop - v1.scrollTop})`);

  check(await page.evaluate(n => window.panelGestures.presses === n, presses), "no pinch or pan pressed the panel");

  // ---------------------------------------------------------- a tap
  await page.click("#fit");
  await settled();
  const fitted = await view();
  const pixels = (x, y, w, h) => page.evaluate(([x, y, w, h]) =>
    Array.from(document.getElementById("panel").getContext("2d").getImageData(x, y, w, h).data), [x, y, w, h]);
  const adfRegion = [adf.x, adf.y, adf.w, adf.h];
  let before = await pixels(...adfRegion);
  const latencies = await page.evaluate(() => window.panelStats.latencies.length);
  const tapAt = screenOf(fitted, adfSwitch.x, adfSwitch.y);
  await page.touchscreen.tap(tapAt.x, tapAt.y);
  await waitFor(page, ([r, b]) => {
    const d = document.getElementById("panel").getContext("2d").getImageData(...r).data;
    return d.some((v, i) => Math.abs(v - b[i]) > 40);
  }, "the ADF radio to change on the canvas after a tap", [adfRegion, before]);
  check(await tooltipAt(adfSwitch.x, adfSwitch.y) === "Main switch (on)", "a tap turns the ADF main switch on (the host's tooltip says so)");
  await waitFor(page, n => window.panelStats.latencies.length > n, "the tap's click-to-picture time", latencies);
  await waitFor(page, () => /click to picture \d+ ms \(network \d+ ms\)/.test(document.getElementById("readout").textContent),
                "the readout to show the network's share of the latency");
  const readout = await page.locator("#readout").innerText();
  const rtt = await page.evaluate(() => window.panelStats.link.networkRtt);
  const tapLatency = await page.evaluate(() => window.panelStats.latencies.at(-1));
  check(Number.isFinite(rtt) && rtt >= 0 && tapLatency < 5000,
        `the readout shows the click time (${tapLatency.toFixed(0)} ms for the tap) and the network's share: "${readout}"`);

  // ---------------------------------------------------------- bad messages
  // On a page of its own whose state stream passes through the test, which
  // slips in messages of its own (the server's still all reach the page,
  // later than they would: the relay is slow).
  const probe = await context.newPage();
  const consoleNotes = [];
  probe.on("console", m => consoleNotes.push(m.text()));
  let toPage = null;
  await probe.routeWebSocket(/\/live$/, ws => {
    const server = ws.connectToServer();
    server.onMessage(m => ws.send(m));
    ws.onMessage(m => server.send(m));
    toPage = ws;
  });
  await probe.goto(panel.url);
  await waitFor(probe, () => window.panelStats && window.panelStats.drawnSeq > 0, "the relayed page draws the panel");
  const seqBefore = await probe.evaluate(() => window.panelStats.drawnSeq);
  toPage.send("{\"seq\": 1, \"e\": [[0, 0, 1e999");  // cut short
  toPage.send("[1, 2, 3]");
  toPage.send(JSON.stringify({ seq: seqBefore + 1, clock: 1, input: 0, running: false, paused: false,
                               e: [[0, 0, "north", 0, 0], "no element"], w: [], s: [] }));
  await waitFor(probe, () => window.panelStats.dropped >= 2 && window.panelStats.badElements >= 2, "the page to drop the bad messages");
  await waitFor(probe, n => window.panelStats.drawnSeq > n + 18, "the updates to go on after the bad messages", seqBefore);
  check(consoleNotes.filter(t => t.startsWith("live panel: dropped a state message")).length >= 2,
        "each dropped message leaves a note on the console, and the updates go on");
  // A value no JSON number can carry, set through the server.
  await probe.evaluate(() => fetch("/var?token=80&value=1e307", { method: "POST" }));
  const afterHuge = await page.evaluate(() => window.panelStats.drawnSeq);
  await waitFor(page, n => window.panelStats.drawnSeq > n + 36, "two seconds of updates after a value of 1e307", afterHuge);
  check(true, "the page keeps updating after a value of 1e307 is set");

  await probe.close();

  // ---------------------------------------------------------- reconnecting
  // The server goes silent (as a network does while a tablet sleeps): the
  // page notices, and once the server is back it reconnects and draws again.
  const opensBefore = await page.evaluate(() => window.panelStats.link.opens);
  panel.process.kill("SIGSTOP");
  stopped = true;
  await waitFor(page, () => !window.panelStats.connected, "the page to notice the server has gone silent");
  await waitFor(page, () => document.getElementById("readout").textContent.includes("reconnecting"), "the readout to say the page is reconnecting");
  check(true, "a silent stream is taken for lost, and the readout says the page is reconnecting");
  panel.process.kill("SIGCONT");
  stopped = false;
  await waitFor(page, n => window.panelStats.connected && window.panelStats.link.opens > n, "the page to reconnect", opensBefore);
  const resumed = await page.evaluate(() => window.panelStats.drawnSeq);
  await waitFor(page, n => window.panelStats.drawnSeq > n + 18, "updates after reconnecting", resumed);
  const adfNow = await pixels(...adfRegion);
  check(adfNow.some((v, i) => Math.abs(v - before[i]) > 40), "after reconnecting the page draws the state it missed nothing of: the ADF still on");

  // ---------------------------------------------------------- wake lock
  const wake = await page.evaluate(() => ({ ...window.panelWakeLock }));
  if (wake.supported && wake.held) {
    const other = await context.newPage();
    await other.goto("about:blank");
    await other.bringToFront();
    const hid = await page.waitForFunction(() => document.visibilityState === "hidden", null, { timeout: 10000 }).then(() => true, () => false);
    if (hid) {
      await waitFor(page, () => !window.panelWakeLock.held, "the browser to release the wake lock of a hidden page");
      await page.bringToFront();
      await waitFor(page, n => window.panelWakeLock.held && window.panelWakeLock.acquired > n, "the wake lock to be taken again", wake.acquired);
      check(true, "the screen wake lock is held while the panel is shown, and taken again when it is shown again");
    } else {
      check(true, "the screen wake lock is held while the panel is shown (this headless browser never hides a page to test it again)");
    }
    await other.close();
  } else {
    check(wake.reason.length > 0, `where the browser gives no wake lock the page says why: "${wake.reason}"`);
  }

  // ---------------------------------------------------------- kiosk mode
  const kiosk = await context.newPage();
  await kiosk.goto(panel.url + "?kiosk=1");
  await waitFor(kiosk, () => window.panelStats && window.panelStats.drawnSeq > 0, "the kiosk page draws the panel");
  const hidden = await kiosk.evaluate(() => ["bar", "pilot", "strip", "link"].map(id => getComputedStyle(document.getElementById(id)).display));
  check(hidden.every(d => d === "none"), `kiosk mode shows no bars (${hidden.join(", ")})`);
  const box = await kiosk.evaluate(() => { const r = document.getElementById("view").getBoundingClientRect(); return [r.top, r.height]; });
  check(box[0] === 0 && box[1] === 768, `the panel has the whole screen (${box})`);
  const menuRefused = async p => p.evaluate(() => {
    const ev = new MouseEvent("contextmenu", { bubbles: true, cancelable: true, clientX: 5, clientY: 5 });
    document.body.dispatchEvent(ev);
    return ev.defaultPrevented;
  });
  check(await menuRefused(kiosk) && !(await menuRefused(page)), "kiosk mode refuses the context menu (the normal page does not)");
  const noSelect = await kiosk.evaluate(() => {
    const ev = new Event("selectstart", { bubbles: true, cancelable: true });
    document.body.dispatchEvent(ev);
    return ev.defaultPrevented && getComputedStyle(document.body).userSelect === "none";
  });
  check(noSelect, "kiosk mode allows no selection");
  await kiosk.evaluate(() => new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r))));
  const kv = await kiosk.evaluate(() => { const r = document.getElementById("panel").getBoundingClientRect(); return { left: r.left, top: r.top, width: r.width }; });
  before = await kiosk.evaluate(r => Array.from(document.getElementById("panel").getContext("2d").getImageData(...r).data), adfRegion);
  const kioskTap = screenOf(kv, adfSwitch.x, adfSwitch.y);
  await kiosk.touchscreen.tap(kioskTap.x, kioskTap.y);
  await waitFor(kiosk, ([r, b]) => {
    const d = document.getElementById("panel").getContext("2d").getImageData(...r).data;
    return d.some((v, i) => Math.abs(v - b[i]) > 40);
  }, "the ADF radio to change after a tap in kiosk mode", [adfRegion, before]);
  check(await tooltipAt(adfSwitch.x, adfSwitch.y) === "Main switch (off)", "in kiosk mode a tap works the panel: the ADF main switch is off again");
} finally {
  if (stopped) panel.process.kill("SIGCONT");
  await browser.close();
  panel.stop();
}
finish();
