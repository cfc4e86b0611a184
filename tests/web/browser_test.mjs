// Flies the built-in panel in a real headless browser, as a pilot would:
// tooltips in words, a mouse click on the ADF main switch that lights its
// lamp and is heard, a drag of a throttle lever, a finger's tap on the
// radio altimeter switch, the keyboard shortcuts and their help, the main panel
// hidden by its button and brought back from the window list, sound off,
// and Run scenario. Every wait is for a condition in the page.
//
//   node browser_test.mjs PATH/TO/morvane-preview
import { startPanel, launchBrowser, check, finish, waitFor, panelSettled, panelPoints } from "./live_panel_harness.mjs";

const [preview] = process.argv.slice(2);
const panel = await startPanel(preview);
const browser = await launchBrowser();
try {
  const context = await browser.newContext({ viewport: { width: 1400, height: 900 }, hasTouch: true });
  const page = await context.newPage();
  await page.goto(panel.url);
  await waitFor(page, () => window.panelStats && window.panelStats.drawnSeq > 0, "the page draws the panel");
  const layout = await page.evaluate(async () => (await fetch("/layout.json")).json());
  const gauge = name => layout.gauges.find(g => g.name === name);

  const { screenPoint, onGauge } = panelPoints(page, layout);
  const pixels = (x, y, w, h) => page.evaluate(([x, y, w, h]) =>
    Array.from(document.getElementById("panel").getContext("2d").getImageData(x, y, w, h).data), [x, y, w, h]);
  // Waits until a region of the canvas differs from `before`.
  const waitChange = (region, before, what) => waitFor(page, ([r, b]) => {
    const d = document.getElementById("panel").getContext("2d").getImageData(...r).data;
    return d.some((v, i) => Math.abs(v - b[i]) > 40);
  }, what, [region, before]);
  const gaugeRegion = name => { const g = gauge(name); return [g.x, g.y, g.w, g.h]; };
  const tooltipAt = async (p, text) => {
    await page.mouse.move(p.x, p.y);
    await page.mouse.move(p.x + 1, p.y);
    await waitFor(page, t => { const e = document.getElementById("tooltip"); return e.style.display === "block" && e.textContent === t; },
                  `the tooltip "${text}"`, text);
    return true;
  };

  // The panel's place on the screen once it has stopped moving (a zoom or
  // fit is applied over a few frames): unchanged for ten frames running.
  const settled = () => panelSettled(page);

  // Fit first, so that the whole panel is on the screen.
  await page.keyboard.press("0");
  await settled();
  check(true, "the page drew the panel and fits it to the window");

  // Tooltips: a text of the module, and our own for a host help id.
  const mainSwitch = await onGauge("Radio_ADF", 276, 254);
  check(await tooltipAt(mainSwitch, "Main switch (off)"), "hovering the ADF main switch shows \"Main switch (off)\"");
  check(await tooltipAt(await onGauge("Airspeed", 150, 150), "Airspeed indicator"), "the airspeed dial's help id shows \"Airspeed indicator\"");

  // A mouse click: the lamp lights, the click is heard, the tooltip follows.
  const radio = gaugeRegion("Radio_ADF");
  let before = await pixels(...radio);
  await page.mouse.click(mainSwitch.x, mainSwitch.y);
  await waitChange(radio, before, "the ADF radio to change after its main switch is clicked");
  check(true, "clicking the ADF main switch changes the radio on the canvas");
  await waitFor(page, () => window.soundsPlayed >= 1, "the click sound to play");
  check(true, "the click was played in the browser");
  check(await tooltipAt(mainSwitch, "Main switch (on)"), "hovering the main switch now shows \"Main switch (on)\"");

  // A drag: throttle 1 from its rest to the top of its slot. The lever
  // takes every movement (its picture follows once a simulation stands
  // behind the throttle variables; the test host alone keeps them).
  const taken = await page.evaluate(() => window.panelStats.inputsTaken);
  const from = await onGauge("Throttle_Quadrant", 138, 104), to = await onGauge("Throttle_Quadrant", 138, 4);
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  for (let i = 1; i <= 10; ++i) await page.mouse.move(from.x, from.y + (to.y - from.y) * i / 10);
  await page.mouse.up();
  await waitFor(page, t => window.panelStats.inputsTaken >= t + 4, "the lever to take the press, moves and release", taken);
  check(true, "dragging throttle 1 is followed by its lever callback");

  // A finger: a tap on the radio altimeter switch.
  const ralt = gaugeRegion("Radio_Altimeter_Switch");
  before = await pixels(...ralt);
  const lever = await onGauge("Radio_Altimeter_Switch", 20, 60);
  await page.touchscreen.tap(lever.x, lever.y);
  await waitChange(ralt, before, "the radio altimeter switch to change after a tap");
  check(true, "a tap of a finger works the radio altimeter switch");

  // Keyboard shortcuts and their help.
  await page.mouse.move(5, 5);
  await page.keyboard.press("?");
  await waitFor(page, () => !document.getElementById("shortcuts").hidden, "the shortcuts to open on ?");
  const help = await page.locator("#shortcuts").innerText();
  check(help.includes("full screen") && help.includes("fit the panel"), "? shows the keyboard shortcuts");
  await page.keyboard.press("Escape");
  await waitFor(page, () => document.getElementById("shortcuts").hidden, "Escape to close the shortcuts");
  const zoomBefore = await page.locator("#zoom").innerText();
  await page.keyboard.press("+");
  await waitFor(page, z => document.getElementById("zoom").textContent !== z, "+ to zoom in", zoomBefore);
  await page.keyboard.press("1");
  await waitFor(page, () => document.getElementById("zoom").textContent === "100%", "1 to show the actual size");
  await page.keyboard.press("0");
  await settled();
  check(true, "+, 1 and 0 zoom in, show the actual size and fit");

  await page.keyboard.press("f");
  await waitFor(page, () => !!document.fullscreenElement && document.body.classList.contains("fullscreen"), "F to enter full screen");
  await page.keyboard.press("f");
  await waitFor(page, () => !document.fullscreenElement && !document.body.classList.contains("fullscreen"), "F again to leave it");
  await settled();
  check(true, "F enters and leaves full screen");

  // The landing-view button hides the main panel; the window list brings it back.
  const mainArea = [20, 200, 1, 1];  // main panel background between gauges
  const shown = await pixels(...mainArea);
  const landing = await onGauge("Landing_View_Toggle", 10, 10);
  await page.mouse.click(landing.x, landing.y);
  await waitFor(page, () => { const d = document.getElementById("panel").getContext("2d").getImageData(20, 200, 1, 1).data;
                              return d[0] === 12 && d[1] === 12 && d[2] === 14; }, "the main panel to be hidden");
  check(true, "the landing-view button hides the main panel");
  await page.keyboard.press("l");
  await waitFor(page, () => !document.getElementById("windows").hidden, "L to open the window list");
  const mainBox = page.locator('#windowlist input[data-ident="0"]');
  check(!(await mainBox.isChecked()), "the window list shows the main panel hidden");
  await mainBox.check();
  await waitFor(page, s => { const d = document.getElementById("panel").getContext("2d").getImageData(20, 200, 1, 1).data;
                             return d[0] === s[0] && d[1] === s[1] && d[2] === s[2]; }, "the main panel to come back", shown);
  check(true, "ticking the main panel in the window list brings it back");
  await page.keyboard.press("l");

  // Volume down a step by key, and sound off: clicks are still made,
  // nothing is played.
  await page.keyboard.press("[");
  check(await page.evaluate(() => document.getElementById("volume").value === "70"), "[ turns the volume down a step");
  await page.keyboard.press("m");
  const played = await page.evaluate(() => window.soundsPlayed), heard = await page.evaluate(() => window.panelStats.sounds);
  const switchNow = await onGauge("Radio_ADF", 276, 254);
  await page.mouse.click(switchNow.x, switchNow.y);
  await waitFor(page, h => window.panelStats.sounds > h, "the next click's sound to arrive", heard);
  check(await page.evaluate(p => window.soundsPlayed === p, played), "with sound off the click is not played");

  // The pilot strip, built from the aircraft's table: three presses of the
  // throttle's key move the aircraft's throttles, and the keys are listed.
  const throttle = '#pilot input[data-control="throttle"]';
  // With a throttle per engine the both-engines slider stands hidden behind
  // its "both" lock, and the keys still move it.
  await page.waitForSelector(throttle, { state: "attached", timeout: 60000 });
  await page.locator("#panel").click({ position: { x: 5, y: 5 } });
  // The throttle lever was dragged open above: the a key closes it first.
  for (let i = 0; i < 21; i++) await page.keyboard.press("a");
  await waitFor(page, s => document.querySelector(s).value === "0", "the a key to close the throttles", throttle);
  // Each press is seen before the next: a press is a step from what the
  // strip shows.
  for (const want of ["0.05", "0.1", "0.15"]) {
    await page.keyboard.press("q");
    await waitFor(page, ([s, w]) => document.querySelector(s).value === w, `the q key to open the throttles to ${want}`, [throttle, want]);
  }
  // The aircraft takes the last value the strip sent.
  await waitFor(page, () => window.__pilotThrottle === 0.15 ||
                            (fetch("/pilot").then(r => r.json()).then(p => {
                              window.__pilotThrottle = p.controls.find(c => c.name === "throttle").value; }), false),
                "the aircraft's throttles at 0.15");
  check(true, "the q key opened the throttles to 0.15");
  const keysHelp = await page.evaluate(() => document.getElementById("keys").textContent);
  check(keysHelp.includes("Throttle up / down") && keysHelp.includes("ArrowDown"), "the page's help lists the pilot's keys");

  // Run scenario, once the page's question is answered: the host plays the circuit.
  await page.click("#run");
  await waitFor(page, () => !document.getElementById("confirm").hidden, "the page to ask before running the scenario");
  await page.click("#confirmok");
  await waitFor(page, () => document.getElementById("readout").textContent.includes("(scenario)"), "the readout to show the scenario running");
  check(true, "Run scenario runs the circuit and the readout says so");
  const readout = await page.locator("#readout").innerText();
  check(/\d+ fps/.test(readout) && /updates\/s/.test(readout), `the readout shows the frame rate and updates: "${readout}"`);
} finally {
  await browser.close();
  panel.stop();
}
finish();
