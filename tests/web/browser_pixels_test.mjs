// The page's own drawing against the still renderer: the host is paused in
// a known state (the built-in circuit played for a while), and the page's
// canvas must match the previewer's PNG of the same state, pixel by pixel
// within a small tolerance, over at least 99% of the panel.
//
//   node browser_pixels_test.mjs PATH/TO/morvane-preview [--night] [--layout FILE]
import { startPanel, launchBrowser, check, finish, waitFor } from "./live_panel_harness.mjs";

const [preview, ...rest] = process.argv.slice(2);
const TOLERANCE = 24;    // per channel, of 255
const REQUIRED = 0.99;   // share of pixels within it

const panel = await startPanel(preview, ["--run", ...rest]);
const browser = await launchBrowser();
try {
  const page = await browser.newPage({ viewport: { width: 1200, height: 800 } });
  await page.goto(panel.url);
  await waitFor(page, () => window.panelStats && window.panelStats.drawnSeq > 0, "the page draws the panel");
  // Some seconds of the circuit, so that needles, cards, texts and lamps
  // stand away from their rest.
  await waitFor(page, () => window.panelStats.clock >= 4, "the circuit runs for 4 simulated seconds");
  const paused = await page.evaluate(async () => (await (await fetch("/pause?on=1", { method: "POST" })).json()).seq);
  await waitFor(page, s => window.panelStats.drawnSeq >= s && window.panelStats.seq === window.panelStats.drawnSeq,
                "the page shows the paused state", paused);
  const result = await page.evaluate(async tolerance => {
    const canvas = document.getElementById("panel");
    const mine = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    const blob = await (await fetch("/frame.png")).blob();
    const still = await createImageBitmap(blob);
    const c = document.createElement("canvas");
    c.width = still.width; c.height = still.height;
    const g = c.getContext("2d");
    g.drawImage(still, 0, 0);
    const ref = g.getImageData(0, 0, c.width, c.height).data;
    if (c.width !== canvas.width || c.height !== canvas.height)
      return { share: 0, why: `sizes differ: ${canvas.width}x${canvas.height} against ${c.width}x${c.height}` };
    let within = 0, close = 0, worst = 0;
    const n = ref.length / 4;
    for (let i = 0; i < ref.length; i += 4) {
      const d = Math.max(Math.abs(mine[i] - ref[i]), Math.abs(mine[i + 1] - ref[i + 1]), Math.abs(mine[i + 2] - ref[i + 2]));
      if (d <= tolerance) within++;
      if (d <= 8) close++;
      worst = Math.max(worst, d);
    }
    return { share: within / n, closeShare: close / n, pixels: n, worst };
  }, TOLERANCE);
  console.log(`pixels within ${TOLERANCE}/255 of the still renderer: ${(result.share * 100).toFixed(2)}% of ${result.pixels}` +
              `; within 8/255: ${(result.closeShare * 100).toFixed(2)}%` +
              (result.why ? ` (${result.why})` : ""));
  check(result.share >= REQUIRED, `the page's canvas matches the still renderer over at least ${REQUIRED * 100}% of the pixels`);
} finally {
  await browser.close();
  panel.stop();
}
finish();
