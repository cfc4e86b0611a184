// Flies the live panel in a real headless browser: opens the page, clicks
// the ADF main switch, and sees the power lamp and the bearing pointer
// change in the next frames; hovering shows the switch's tooltip.
//
//   node browser_test.mjs PATH/TO/morvane-preview adf_panel.cfg
import { chromium } from "playwright-core";
import { spawn } from "node:child_process";
import { mkdtempSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

const [preview, layout] = process.argv.slice(2);
if (!preview || !layout) {
  console.error("usage: node browser_test.mjs MORVANE_PREVIEW LAYOUT");
  process.exit(2);
}

let failures = 0, passes = 0;
function check(ok, what) {
  console.log(`${ok ? "ok" : "FAILED"}: ${what}`);
  if (ok) passes++; else failures++;
}

const server = spawn(preview, ["--serve", "0", "--layout", layout, "--out", mkdtempSync(join(tmpdir(), "panel-"))],
                     { stdio: ["ignore", "pipe", "inherit"] });
const url = await new Promise((resolve, reject) => {
  const timer = setTimeout(() => reject(new Error("the previewer did not start serving")), 60000);
  let seen = "";
  server.stdout.on("data", chunk => {
    seen += chunk;
    const m = seen.match(/live panel: (http:\/\/127\.0\.0\.1:\d+\/)/);
    if (m) { clearTimeout(timer); resolve(m[1]); }
  });
  server.on("exit", code => reject(new Error(`the previewer stopped (${code})`)));
});

const browser = await chromium.launch({
  executablePath: "/usr/bin/chromium",
  args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--autoplay-policy=no-user-gesture-required"],
});
try {
  const page = await browser.newPage({ viewport: { width: 1000, height: 600 } });
  await page.goto(url);
  const frame = () => page.evaluate(() => Number(document.getElementById("panel").dataset.frame || 0));
  const waitFrames = async n => { const start = await frame(); await page.waitForFunction(s => Number(document.getElementById("panel").dataset.frame || 0) >= s, start + n, { timeout: 20000 }); };
  await waitFrames(1);

  // A station to the south-west with a usable signal: once the set is on the
  // pointer leaves its park at 3 o'clock.
  await page.evaluate(async () => {
    await fetch("/var?token=39&value=200", { method: "POST" });
    await fetch("/var?token=20&value=300", { method: "POST" });
  });
  await waitFrames(3);

  // Pixels of a region of the panel picture, as the page shows it.
  const pixels = (x, y, w, h) => page.evaluate(([x, y, w, h]) => {
    const img = document.getElementById("panel");
    const c = document.createElement("canvas");
    c.width = img.naturalWidth; c.height = img.naturalHeight;
    const g = c.getContext("2d");
    g.drawImage(img, 0, 0);
    return Array.from(g.getImageData(x, y, w, h).data);
  }, [x, y, w, h]);
  const differs = (a, b) => a.some((v, i) => Math.abs(v - b[i]) > 40);
  const lamp = [290, 6, 23, 23];             // the power lamp of the radio
  const parked = [360 + 175, 140, 60, 20];    // 3 o'clock on the indicator

  const page_point = async (x, y) => {
    const r = await page.locator("#panel").boundingBox();
    const w = await page.evaluate(() => document.getElementById("panel").naturalWidth);
    return { x: r.x + (x + 0.5) * r.width / w, y: r.y + (y + 0.5) * r.width / w };
  };
  const tooltipAt = async (x, y) => {
    const p = await page_point(x, y);
    await page.mouse.move(p.x, p.y);
    await page.mouse.move(p.x + 1, p.y);
    await page.waitForTimeout(400);
    return page.evaluate(() => { const t = document.getElementById("tooltip"); return t.style.display === "none" ? "" : t.textContent; });
  };

  check((await tooltipAt(276, 254)) === "Main switch (off)", "hovering the main switch shows \"Main switch (off)\"");
  const lampBefore = await pixels(...lamp), parkedBefore = await pixels(...parked);

  const sw = await page_point(276, 254);  // the main switch, 237,215 78x78
  await page.mouse.click(sw.x, sw.y);
  await waitFrames(4);

  const lampAfter = await pixels(...lamp), parkedAfter = await pixels(...parked);
  check(differs(lampBefore, lampAfter), "the power lamp lights in the next frames");
  check(differs(parkedBefore, parkedAfter), "the bearing pointer leaves its park at 90 degrees");
  check((await tooltipAt(276, 254)) === "Main switch (on)", "hovering the main switch shows \"Main switch (on)\"");
  const sounds = await page.evaluate(() => window.soundsPlayed || 0);
  check(sounds >= 1, "the click was played in the browser");

  // The pilot strip, built from the aircraft's table: three presses of the
  // throttle's key move the aircraft's throttles, and the keys are listed.
  const throttle = '#pilot input[data-control="throttle"]';
  await page.waitForSelector(throttle);
  await page.locator("#panel").click({ position: { x: 5, y: 5 } });
  for (let i = 0; i < 3; i++) await page.keyboard.press("q");
  await page.waitForFunction(s => document.querySelector(s).value === "0.15", throttle, { timeout: 20000 });
  const pilot = await page.evaluate(() => fetch("/pilot").then(r => r.json()));
  check(pilot.controls.find(c => c.name === "throttle").value === 0.15, "the q key opened the throttles to 0.15");
  const help = await page.evaluate(() => document.getElementById("keys").textContent);
  check(help.includes("Throttle up / down") && help.includes("ArrowDown"), "the page's help lists the pilot's keys");
} finally {
  await browser.close();
  server.kill("SIGTERM");
}
console.log(`${passes} passed, ${failures} failed`);
process.exit(failures ? 1 : 0);
