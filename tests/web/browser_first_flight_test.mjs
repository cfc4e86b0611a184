// A first flight without the manual, in a real headless browser, one part
// a run (each registered as its own test):
//   page       a 1366 x 768 laptop: the first fit shows the whole panel, the
//              bars fold into one thin row, full screen keeps a read-back
//              line; the landing-view line on two pages and its link; Run
//              and Reset ask first
//   throttles  a throttle per engine in the strip, and the "both" lock
//   presses    presses of 20, 120 and 300 ms on a starting-box switch toggle
//              it once each; a 1.5 s hold repeats
//   checklist  a new page from cold and dark, following only the page's
//              checklist (clicking what each line outlines), starts both
//              engines; Reset puts the aircraft back cold and dark, and stops
//              a running scenario
// A part whose server side this build lacks reports SKIPPED with the reason.
//
//   node browser_first_flight_test.mjs PATH/TO/morvane-preview PART
import { startPanel, launchBrowser, check, finish, waitFor, skip, DEADLINE, panelSettled, panelPoints } from "./live_panel_harness.mjs";

const [preview, part] = process.argv.slice(2);
if (!["page", "throttles", "presses", "checklist"].includes(part)) {
  console.error("usage: node browser_first_flight_test.mjs MORVANE_PREVIEW page|throttles|presses|checklist");
  process.exit(2);
}

const panel = await startPanel(preview);
const get = async path => fetch(panel.url + path.replace(/^\//, ""));
const pilot = async () => (await get("/pilot")).json();
const control = (p, name) => p.controls.find(c => c.name === name);
const reading = (p, name) => p.state.find(s => s.name === name);
// Waits in node for an answer of the server to satisfy `ok`, polling.
async function until(ask, ok, what, deadline = DEADLINE) {
  const end = Date.now() + deadline;
  let last;
  for (;;) {
    last = await ask();
    if (ok(last)) return last;
    if (Date.now() > end) throw new Error(`waited ${deadline / 1000} s for: ${what} (last: ${JSON.stringify(last).slice(0, 300)})`);
    await new Promise(r => setImmediate(r));
  }
}

// What the tests need of a page: its layout, panel points on the screen,
// and waits for the panel to stand still after a fit.
async function openPage(context) {
  const page = await context.newPage();
  page.on("pageerror", e => check(false, `no script error in the page: ${e.message}`));
  await page.goto(panel.url);
  await waitFor(page, () => window.panelStats && window.panelStats.drawnSeq > 0, "the page draws the panel");
  const layout = await page.evaluate(async () => (await fetch("/layout.json")).json());
  const gauge = name => layout.gauges.find(g => g.name === name);
  const { screenPoint, onGauge } = panelPoints(page, layout);
  // Unchanged place and size of the panel for ten frames running.
  const settled = () => panelSettled(page);
  return { page, layout, gauge, screenPoint, onGauge, settled };
}

// Answers the page's question (Run, Reset) with its first button.
async function confirm(page) {
  await waitFor(page, () => !document.getElementById("confirm").hidden, "the page to ask first");
  await page.click("#confirmok");
  await waitFor(page, () => document.getElementById("confirm").hidden, "the question to close");
}

const browser = await launchBrowser();
try {
  const context = await browser.newContext({ viewport: part === "page" || part === "checklist" ? { width: 1366, height: 768 }
                                                                                                : { width: 1400, height: 900 } });
  if (part === "page") {
    const a = await openPage(context);
    const { page } = a;
    // The pilot's strip fills in after the panel is drawn: the first fit
    // follows it.
    await page.waitForSelector('#pilot input[data-control="throttle"]', { state: "attached", timeout: DEADLINE });
    await a.settled();
    const box = await page.evaluate(() => {
      const r = document.getElementById("panel").getBoundingClientRect(), v = document.getElementById("view").getBoundingClientRect();
      return { r: [r.left, r.top, r.right, r.bottom], v: [v.left, v.top, v.right, v.bottom], bars: document.getElementById("bars").offsetHeight,
               w: innerWidth, h: innerHeight };
    });
    const [l, t, r, b] = box.r;
    check(l >= box.v[0] && t >= box.v[1] && r <= box.v[2] + 0.5 && b <= box.v[3] + 0.5 && b <= box.h && r <= box.w,
          `at 1366 x 768 the first fit shows the whole panel (${box.r.map(Math.round)} in a view of ${box.v.map(Math.round)})`);
    const best = Math.min(box.w / a.layout.width, box.h / a.layout.height);
    const zoom = (r - l) / a.layout.width;
    check(zoom >= 0.85 * best, `the first fit uses the window: ${Math.round(zoom * 100)}% against ${Math.round(best * 100)}% for the bare window`);
    check(box.bars <= 40, `the bars fold into one thin row on a laptop screen (${box.bars} px high)`);

    // The landing-view button, pressed on one page, hides the main panel on
    // every page; each says so, and the link on either brings it back.
    const b2 = await openPage(context);
    const line = "main panel hidden by the panel's landing-view button \u2014 show it";
    const landing = await a.onGauge("Landing_View_Toggle", 10, 10);
    await page.mouse.click(landing.x, landing.y);
    for (const [p, name] of [[page, "the page clicked"], [b2.page, "another page"]])
      await waitFor(p, want => { const e = document.getElementById("mainhidden"); return !e.hidden && e.textContent.trim() === want; },
                    `${name} to say the main panel is hidden`, line);
    check(true, `both pages say "${line}"`);
    await b2.page.click("#showmain");
    for (const [p, name] of [[page, "the page clicked"], [b2.page, "another page"]])
      await waitFor(p, () => document.getElementById("mainhidden").hidden, `${name} to lose the line once the main panel is back`);
    // The main panel's background between gauges, not the bare screen's.
    for (const p of [page, b2.page])
      await waitFor(p, () => { const d = document.getElementById("panel").getContext("2d").getImageData(20, 200, 1, 1).data;
                               return !(d[0] === 12 && d[1] === 12 && d[2] === 14); }, "the main panel drawn again");
    check(true, "the link on the other page brought the main panel back on both");
    // Hidden from the page's own window list: that page needs no word.
    await page.keyboard.press("l");
    await page.locator('#windowlist input[data-ident="0"]').uncheck();
    await waitFor(b2.page, () => !document.getElementById("mainhidden").hidden, "the other page to say the main panel is hidden");
    check(await page.evaluate(() => document.getElementById("mainhidden").hidden),
          "the page that hid the main panel from its window list shows no landing-view line");
    await page.locator('#windowlist input[data-ident="0"]').check();
    await page.keyboard.press("l");
    await waitFor(b2.page, () => document.getElementById("mainhidden").hidden, "the main panel back from the window list");
    await b2.page.close();

    // Full screen keeps one compact line of read-backs, in the aircraft's words.
    await page.keyboard.press("f");
    await waitFor(page, () => document.body.classList.contains("fullscreen"), "F to enter full screen");
    const readings = (await pilot()).state.map(s => (typeof s.text === "string" && s.text ? s.text : s.label));
    await waitFor(page, want => { const e = document.getElementById("readback"); return e.offsetHeight > 0 && want.every(w => e.textContent.includes(w)); },
                  "the read-back line in full screen", readings);
    const readback = await page.evaluate(() => ({ h: document.getElementById("readback").offsetHeight, text: document.getElementById("readback").textContent,
                                                  strip: document.getElementById("pilot").offsetHeight }));
    check(readback.h > 0 && readback.h <= 24 && readback.strip === 0,
          `full screen hides the strip and keeps a ${readback.h} px read-back line: "${readback.text.slice(0, 120)}"`);
    await page.keyboard.press("f");
    await waitFor(page, () => !document.body.classList.contains("fullscreen"), "F again to leave full screen");

    // R and Home ask first; Escape leaves the aircraft and the scenario alone.
    await page.locator("#panel").click({ position: { x: 3, y: 3 } });
    await page.keyboard.press("r");
    await waitFor(page, () => !document.getElementById("confirm").hidden, "R to ask before running the scenario");
    await page.keyboard.press("Escape");
    await waitFor(page, () => document.getElementById("confirm").hidden, "Escape to close the question");
    check(!(await (await get("/state")).json()).running, "R answered with Escape leaves the scenario stopped");
    await page.keyboard.press("Home");
    await waitFor(page, () => /Reset/.test(document.getElementById("confirmtext").textContent) &&
                              !document.getElementById("confirm").hidden, "Home to ask before a reset");
    await page.keyboard.press("Escape");
    check(await page.evaluate(() => document.getElementById("confirm").hidden), "Home answered with Escape asks nothing more");
    await page.click("#run");
    await confirm(page);
    await until(async () => (await get("/state")).json(), s => s.running, "the scenario to run once confirmed");
    check(true, "Run scenario, confirmed, runs the circuit");
    await page.click("#halt");
    await until(async () => (await get("/state")).json(), s => !s.running, "Stop to stop the scenario");
  }

  if (part === "throttles") {
    const first = await pilot();
    if (!control(first, "throttle1") || !control(first, "throttle2"))
      await skip("the aircraft of this build has no throttle per engine (GET /pilot lists no throttle1/throttle2)");
    const { page } = await openPage(context);
    const slider = n => page.locator(`#pilot input[data-control="${n}"]`);
    await slider("throttle1").waitFor({ timeout: DEADLINE });
    check(await slider("throttle1").isVisible() && await slider("throttle2").isVisible() && !(await slider("throttle").isVisible()),
          "the strip has a throttle per engine, and no third one");
    // Unlocked: a click at 60 % along engine 1's slider moves engine 1 only.
    await page.locator("#throttleboth").uncheck();
    const track = await slider("throttle1").boundingBox();
    await page.mouse.click(track.x + track.width * 0.6, track.y + track.height / 2);
    const set1 = Number(await slider("throttle1").inputValue());
    check(set1 > 0.3 && set1 < 0.9, `engine 1's slider took the click (${set1})`);
    const p = await until(pilot, q => Math.abs(control(q, "throttle1").value - set1) < 1e-6, "the aircraft's engine 1 throttle at the slider's value");
    check(control(p, "throttle2").value === control(first, "throttle2").value, "engine 2's throttle stayed where it was");
    // Locked: engine 2's slider moves both.
    await page.locator("#throttleboth").check();
    const track2 = await slider("throttle2").boundingBox();
    await page.mouse.click(track2.x + track2.width * 0.25, track2.y + track2.height / 2);
    const set2 = Number(await slider("throttle2").inputValue());
    await until(pilot, q => Math.abs(control(q, "throttle1").value - set2) < 1e-6 && Math.abs(control(q, "throttle2").value - set2) < 1e-6,
                "both engines' throttles at engine 2's slider");
    check(Number(await slider("throttle1").inputValue()) === set2, `with "both" ticked, one slider moves both engines (to ${set2})`);
  }

  if (part === "presses") {
    // The host's repeat delay comes with the aircraft's reset; a reset of
    // this new aircraft, cold and dark already, changes nothing.
    if ((await fetch(panel.url + "reset", { method: "POST" })).status === 404)
      await skip("this build's host lacks the held-click repeat delay that comes with the aircraft's reset (POST /reset answers 404)");
    const a = await openPage(context);
    const { page } = a;
    await page.keyboard.press("0");
    await a.settled();
    // Engine 2's upper switch on the starting box: a repeating click area.
    const box = a.gauge("Dirud_Box");
    const icons = a.layout.elements.map((e, i) => ({ e, i }))
      .filter(({ e, i }) => e.k === 4 && i >= box.first && i < box.first + box.count).map(({ i }) => i);
    const at = await a.onGauge("Dirud_Box", 230, 112);
    // The state stream of the box's icons, read by a socket of the test's own.
    await page.evaluate(icons => new Promise(resolve => {
      window.boxChanges = [];
      window.boxSeq = 0;
      const ws = new WebSocket(`ws://${location.host}/live`);
      let first = true;
      ws.onmessage = ev => {
        const m = JSON.parse(ev.data);
        window.boxSeq = m.seq;
        if (first) { first = false; resolve(); return; }
        for (const e of m.e) if (icons.includes(e[0])) window.boxChanges.push(e[0]);
      };
    }), icons);
    // Counts, for each icon of the box, its changes from a press of `ms`
    // until 18 states after the release: the most any one made.
    async function press(ms) {
      await page.evaluate(() => { window.boxChanges = []; });
      await page.mouse.move(at.x, at.y);
      const clockAtDown = await page.evaluate(() => window.panelStats.clock);
      await page.mouse.down();
      // The length of the press is what is tested, timed on the host's own
      // clock, on which the click repeats: a loaded machine holds it as
      // long for the host.
      await waitFor(page, end => window.panelStats.clock >= end, `a ${ms} ms press on the host's clock`, clockAtDown + ms / 1000);
      await page.mouse.up();
      // The release has reached the host once the page's queue of mouse
      // requests is empty; then 18 more states.
      await page.evaluate(() => fetch("/state").then(r => r.json()).then(s => { window.releasedAt = s.seq; }));
      await waitFor(page, () => window.boxSeq >= window.releasedAt + 18, "18 states after the release");
      const changes = await page.evaluate(() => window.boxChanges);
      const per = {};
      for (const i of changes) per[i] = (per[i] || 0) + 1;
      return Math.max(0, ...Object.values(per));
    }
    for (const ms of [20, 120, 300]) {
      const n = await press(ms);
      check(n === 1, `a ${ms} ms press toggles the switch once (its picture changed ${n} times)`);
    }
    const held = await press(1500);
    check(held >= 2, `a 1.5 s hold repeats (the switch changed ${held} times)`);
  }

  if (part === "checklist") {
    if ((await get("/checklist")).status === 404) await skip("this build's server has no checklist (GET /checklist answers 404)");
    const initial = await pilot();
    const a = await openPage(context);
    const { page } = a;
    await waitFor(page, () => !document.getElementById("checklist").hidden && document.querySelectorAll("#checklist li").length > 0,
                  "the checklist beside the panel");
    await a.settled();
    const lists = () => page.evaluate(() => window.checklist.lists);
    const sections = (await lists()).sections;
    const si = sections.findIndex(s => /start/i.test(s.title));
    check(si >= 0, `the checklist has a start-up list (${sections.map(s => s.title).join(", ")})`);
    const titles = sections.map(s => s.title.toLowerCase()).join(" ");
    check(/take-?off/.test(titles) && /approach/.test(titles) && /shut/.test(titles),
          "it also has before take-off, approach and shut-down lists");
    const doneAtFirst = sections[si].lines.map(l => l.done).join();
    check(sections[si].lines.some(l => !l.done), "a cold aircraft has start-up lines to do");
    const isDone = li => page.evaluate(([s, l]) => window.checklist.lists.sections[s].lines[l].done, [si, li]);
    const doneIn = (li, ms) => page.waitForFunction(([s, l]) => window.checklist.lists.sections[s].lines[l].done, [si, li],
                                                    { timeout: ms, polling: 100 }).then(() => true, () => false);
    for (let li = 0; li < sections[si].lines.length; ++li) {
      const text = sections[si].lines[li].text;
      if (await isDone(li)) continue;
      await page.click(`#checklist li[data-section="${si}"][data-line="${li}"]`);
      await waitFor(page, () => !document.getElementById("outline").hidden, `an outline for "${text}"`);
      await a.settled();
      const o = await page.locator("#outline").boundingBox();
      const x = o.x + o.width / 2, y = o.y + o.height / 2;
      // Clicks as a pilot makes them (a tenth of a second each), again while the line is not
      // done (a selector steps one position a click); a control that wants holding (a
      // starter) is then held until its line is done.
      let clicked = false;
      for (let n = 0; n < 6 && !clicked; ++n) {
        await page.mouse.click(x, y, { delay: 100 });
        clicked = await doneIn(li, n === 0 ? 5000 : 2500);
      }
      if (!clicked) {
        await page.mouse.move(x, y);
        await page.mouse.down();
        const held = await doneIn(li, DEADLINE);
        await page.mouse.up();
        if (!held) throw new Error(`clicking and holding what "${text}" outlines did not get it done`);
      }
      check(true, `"${text}": done by clicking what it outlines`);
    }
    const running = await until(pilot, p => reading(p, "rpm1").value > 300 && reading(p, "rpm2").value > 300,
                                "both engines running");
    check(true, `both engines run (${Math.round(reading(running, "rpm1").value)} and ${Math.round(reading(running, "rpm2").value)} rpm)`);

    // Reset: cold and dark again, every control where a new aircraft has it.
    const coldAndDark = p => reading(p, "rpm1").value === 0 && reading(p, "rpm2").value === 0 &&
      initial.controls.every(c => control(p, c.name).value === c.value);
    await page.click("#reset");
    await confirm(page);
    await until(pilot, coldAndDark, "the aircraft cold and dark after Reset");
    check(true, "Reset puts the aircraft back cold and dark");
    // Lines that hold on a cold aircraft (a starter or a pump off) are done then as before.
    await waitFor(page, ([s, was]) => window.checklist.lists.sections[s].lines.map(l => l.done).join() === was,
                  "the start-up list to be as it was on the cold aircraft", [si, doneAtFirst]);
    check(true, "after Reset the start-up list is as it was on the cold aircraft");

    // Reset stops a running scenario.
    await page.click("#run");
    await confirm(page);
    await until(async () => (await get("/state")).json(), s => s.running, "the scenario to run");
    await page.keyboard.press("Home");
    await confirm(page);
    await until(async () => (await get("/state")).json(), s => !s.running, "Reset to stop the scenario");
    await until(pilot, coldAndDark, "the aircraft cold and dark after a reset in the middle of the circuit");
    check(true, "Home, confirmed, stops the circuit and puts the aircraft back cold and dark");
  }
} finally {
  await browser.close();
  panel.stop();
}
finish();
