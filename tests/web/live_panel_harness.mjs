// What the browser tests share: the live panel started on a free port, a
// headless Debian Chromium, checks that count, and waits on conditions
// (never on the clock alone) with deadlines generous enough for a loaded
// machine.
import { chromium } from "playwright-core";
import { spawn } from "node:child_process";
import { mkdtempSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

export const DEADLINE = 60000;
let failures = 0, passes = 0;

export function check(ok, what) {
  console.log(`${ok ? "ok" : "FAILED"}: ${what}`);
  if (ok) passes++; else failures++;
}

export function finish() {
  console.log(`${passes} passed, ${failures} failed`);
  process.exit(failures || !passes ? 1 : 0);
}

// A part that cannot run in this build: reported to CTest as skipped
// (SKIP_RETURN_CODE 77) with its reason, never as a pass.
// What is still running is stopped first (the previewer, the browser).
export const SKIP_CODE = 77;
const running = new Set();
export async function skip(why) {
  console.log(`SKIPPED: ${why}`);
  for (const stop of running) await stop();
  process.exit(SKIP_CODE);
}

// The previewer serving on a free port; resolves with its address.
export async function startPanel(preview, args = []) {
  if (!preview) {
    console.error("usage: node TEST.mjs MORVANE_PREVIEW [previewer options]");
    process.exit(2);
  }
  const server = spawn(preview, ["--serve", "0", "--out", mkdtempSync(join(tmpdir(), "panel-")), ...args],
                       { stdio: ["ignore", "pipe", "inherit"] });
  const url = await new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error("the previewer did not start serving")), DEADLINE);
    let seen = "";
    server.stdout.on("data", chunk => {
      seen += chunk;
      const m = seen.match(/live panel: (http:\/\/127\.0\.0\.1:\d+\/)/);
      if (m) { clearTimeout(timer); resolve(m[1]); }
    });
    server.on("exit", code => { clearTimeout(timer); reject(new Error(`the previewer stopped (${code})`)); });
  });
  const stop = () => { running.delete(stop); server.kill("SIGTERM"); };
  running.add(stop);
  return { url, process: server, stop };
}

export async function launchBrowser() {
  const browser = await chromium.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync",
           "--autoplay-policy=no-user-gesture-required", "--disable-background-timer-throttling",
           "--disable-renderer-backgrounding", "--disable-backgrounding-occluded-windows"],
  });
  const stop = () => { running.delete(stop); return browser.close().catch(() => {}); };
  running.add(stop);
  browser.on("disconnected", () => running.delete(stop));
  return browser;
}

// Waits until fn(arg) is true in the page, or fails naming what it waited for.
export async function waitFor(page, fn, what, arg) {
  try {
    await page.waitForFunction(fn, arg, { timeout: DEADLINE, polling: "raf" });
  } catch (e) {
    throw new Error(`waited ${DEADLINE / 1000} s for: ${what}`);
  }
}

// Clicks the ADF main switch `clicks` times, as a pilot would, each after
// the last one's change has shown and two more states have been drawn, and
// answers the times from each press to the first frame whose picture of the
// switch's power lamp changed, in milliseconds, shortest first.
export async function clickToVisibleTimes(page, clicks) {
  const layout = await page.evaluate(async () => (await fetch("/layout.json")).json());
  const radio = layout.gauges.find(g => g.name === "Radio_ADF");
  const k = radio.w / radio.bw;
  const lamp = [Math.floor(radio.x + 290 * k), Math.floor(radio.y + 6 * k), Math.ceil(23 * k), Math.ceil(23 * k)];
  await page.evaluate(lamp => {
    const canvas = document.getElementById("panel"), g = canvas.getContext("2d");
    const sum = () => g.getImageData(...lamp).data.reduce((a, v) => a + v, 0);
    window.clickTimes = [];
    let pressedAt = null, before = 0;
    canvas.addEventListener("pointerdown", ev => { pressedAt = ev.timeStamp; before = sum(); }, { capture: true });
    window.onPanelDrawn = now => {
      if (pressedAt === null) return;
      if (Math.abs(sum() - before) > 2000) { window.clickTimes.push(now - pressedAt); pressedAt = null; }
    };
  }, lamp);
  const box = await page.locator("#panel").boundingBox();
  const sx = box.x + (radio.x + 276 * k) * box.width / layout.width, sy = box.y + (radio.y + 254 * k) * box.height / layout.height;
  for (let i = 0; i < clicks; ++i) {
    await page.mouse.click(sx, sy);
    await waitFor(page, n => window.clickTimes.length > n, `click ${i + 1} to show`, i);
    const seen = await page.evaluate(() => window.panelStats.seq);
    await waitFor(page, s => window.panelStats.drawnSeq > s + 1, "two more states before the next click", seen);
  }
  return (await page.evaluate(() => window.clickTimes)).sort((a, b) => a - b);
}

// Resolves once the panel's place on the screen has stopped moving (a zoom
// or fit is applied over a few frames): unchanged for ten frames running.
export function panelSettled(page) {
  return page.evaluate(() => new Promise(resolve => {
    let last = "", same = 0;
    const look = () => {
      const r = document.getElementById("panel").getBoundingClientRect();
      const now = [r.x, r.y, r.width, r.height].join();
      same = now === last ? same + 1 : 0;
      last = now;
      if (same >= 10) resolve(); else requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
  }));
}

// Points of the panel on the page's screen, whatever the zoom: a panel
// point (in panel pixels), and a point of a gauge given in its own bitmap
// pixels.
export function panelPoints(page, layout) {
  const screenPoint = async (x, y) => {
    const r = await page.locator("#panel").boundingBox();
    return { x: r.x + (x + 0.5) * r.width / layout.width, y: r.y + (y + 0.5) * r.height / layout.height };
  };
  const onGauge = (name, bx, by) => {
    const g = layout.gauges.find(g => g.name === name);
    return screenPoint(g.x + bx * g.w / g.bw, g.y + by * g.h / g.bh);
  };
  return { screenPoint, onGauge };
}
