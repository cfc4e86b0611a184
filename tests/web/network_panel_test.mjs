// The live panel opened to the network, seen from another machine: the
// test makes a network namespace joined to this one by a veth pair (torn
// down on every way out), serves the panel on this end's address with its
// access key, and puts a relay of its own between the two that holds every
// chunk 10 ms each way (20 ms of round trip; the kernel here has no delay
// queue). Headless Chromium runs inside the namespace and reaches the
// panel by this machine's name through the relay:
//   - without the key: 401, and nothing drawn
//   - with it: the key becomes a cookie, the panel loads and updates at
//     15 states a second or more, and a click shows within 100 ms plus
//     the round trip (95th percentile)
// Skipped (exit 77) where the machine refuses namespaces.
//
//   node network_panel_test.mjs PATH/TO/morvane-preview
import { spawn, spawnSync } from "node:child_process";
import { mkdtempSync, writeFileSync, chmodSync, rmSync } from "node:fs";
import { createServer, connect } from "node:net";
import { hostname, tmpdir } from "node:os";
import { join } from "node:path";
import { chromium } from "playwright-core";
import { check, finish, waitFor, clickToVisibleTimes, DEADLINE } from "./live_panel_harness.mjs";

const SKIP = 77;
const DELAY_MS = 10;  // each way
const CLICKS = 20;
const [preview] = process.argv.slice(2);
if (!preview) {
  console.error("usage: node network_panel_test.mjs MORVANE_PREVIEW");
  process.exit(2);
}

const ip = (...args) => spawnSync("ip", args, { encoding: "utf8" });
const skip = why => { console.log(`SKIPPED: ${why}`); process.exit(SKIP); };
if (process.getuid && process.getuid() !== 0) skip("making a network namespace needs root");
if (ip("-V").error) skip("the ip program is missing");

const tag = String(process.pid % 100000);
const ns = `mvpanel${tag}`, outer = `mvo${tag}`, inner = `mvi${tag}`;
const net = `10.231.${process.pid % 250}`;
const serverAddr = `${net}.1`, relayAddr = `${net}.3`, browserAddr = `${net}.2`;
const work = mkdtempSync(join(tmpdir(), "panel-net-"));
let server = null, relay = null, browser = null;

function teardown() {
  try { browser && browser.close(); } catch { /* gone already */ }
  if (server) server.kill("SIGTERM");
  if (relay) relay.close();
  ip("link", "del", outer);  // takes its peer with it
  ip("netns", "del", ns);
  rmSync(work, { recursive: true, force: true });
}
process.on("exit", teardown);
for (const sig of ["SIGINT", "SIGTERM"]) process.on(sig, () => process.exit(1));

const made = ip("netns", "add", ns);
if (made.status !== 0) skip(`this machine refuses network namespaces: ${made.stderr.trim()}`);
for (const step of [
  ["link", "add", outer, "type", "veth", "peer", "name", inner],
  ["link", "set", inner, "netns", ns],
  ["addr", "add", `${serverAddr}/24`, "dev", outer],
  ["addr", "add", `${relayAddr}/24`, "dev", outer],
  ["link", "set", outer, "up"],
  ["netns", "exec", ns, "ip", "addr", "add", `${browserAddr}/24`, "dev", inner],
  ["netns", "exec", ns, "ip", "link", "set", inner, "up"],
  ["netns", "exec", ns, "ip", "link", "set", "lo", "up"],
]) {
  const r = ip(...step);
  if (r.status !== 0) skip(`this machine refuses a veth pair (ip ${step.join(" ")}: ${r.stderr.trim()})`);
}

// The panel on this end of the pair, with its key.
server = spawn(preview, ["--serve", `${serverAddr}:0`, "--run", "--out", work], { stdio: ["ignore", "pipe", "inherit"] });
const { port, key } = await new Promise((resolve, reject) => {
  const timer = setTimeout(() => reject(new Error("the previewer did not start serving")), DEADLINE);
  let seen = "";
  server.stdout.on("data", chunk => {
    seen += chunk;
    const m = seen.match(/http:\/\/10\.231\.\d+\.1:(\d+)\/\?key=([A-Za-z0-9_-]+)/);
    if (m) { clearTimeout(timer); resolve({ port: Number(m[1]), key: m[2] }); }
  });
  server.on("exit", code => { clearTimeout(timer); reject(new Error(`the previewer stopped (${code})`)); });
});

// The relay: same port, the pair's other address of this end, every
// chunk held DELAY_MS before it goes on (in order).
relay = createServer(client => {
  const upstream = connect(port, serverAddr);
  // No coalescing of small writes: the delay is the relay's own.
  client.setNoDelay(true);
  upstream.setNoDelay(true);
  const pipe = (from, to) => {
    from.on("data", chunk => setTimeout(() => to.destroyed || to.write(chunk), DELAY_MS));
    from.on("end", () => setTimeout(() => to.destroyed || to.end(), DELAY_MS));
    from.on("error", () => to.destroy());
  };
  pipe(client, upstream);
  pipe(upstream, client);
});
await new Promise((resolve, reject) => relay.listen(port, relayAddr, resolve).on("error", reject));

// Chromium inside the namespace, finding this machine's name at the relay.
const name = hostname().toLowerCase();
const wrapper = join(work, "chromium-in-namespace");
writeFileSync(wrapper, `#!/bin/sh\nexec ip netns exec ${ns} /usr/bin/chromium "$@"\n`);
chmodSync(wrapper, 0o755);
browser = await chromium.launch({
  executablePath: wrapper,
  args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
         `--host-resolver-rules=MAP ${name} ${relayAddr}`],
});
const origin = `http://${name}:${port}`;
try {
  const page = await browser.newPage({ viewport: { width: 1400, height: 900 } });
  const refused = await page.goto(`${origin}/`);
  check(refused.status() === 401, `without the key: ${refused.status()} (401 wanted)`);
  check(!(await page.evaluate(() => !!window.panelStats)), "without the key no page runs");

  const opened = await page.goto(`${origin}/?key=${key}`);
  check(opened.status() === 200 && page.url() === `${origin}/`, `with the key: ${opened.status()} at ${page.url()} (the key gone from the address)`);
  const cookies = await page.context().cookies();
  check(cookies.some(c => c.value === key && c.httpOnly && c.sameSite === "Strict"), "the key kept as an HttpOnly, SameSite=Strict cookie");
  await waitFor(page, () => window.panelStats && window.panelStats.drawnSeq > 0, "the page draws the panel");

  // The round trip through the relay, as the page sees it.
  const rtt = await page.evaluate(async () => {
    const times = [];
    for (let i = 0; i < 10; ++i) {
      const t = performance.now();
      await (await fetch("/state")).json();
      times.push(performance.now() - t);
    }
    return times.sort((a, b) => a - b)[4];
  });
  check(rtt >= 2 * 10 - 1, `a request's round trip ${rtt.toFixed(1)} ms (the relay adds 20)`);

  // Visual updates over five seconds.
  const p0 = await page.evaluate(() => ({ updates: window.panelStats.updates, at: performance.now() }));
  await page.waitForFunction(t => performance.now() >= t, p0.at + 5000, { timeout: 65000, polling: 250 });
  const p1 = await page.evaluate(() => ({ updates: window.panelStats.updates, at: performance.now() }));
  const rate = (p1.updates - p0.updates) / ((p1.at - p0.at) / 1000);
  check(rate >= 15, `visual updates ${rate.toFixed(1)} a second (15 wanted)`);

  // The circuit clicks the ADF switch itself at 8 s: click after it.
  await waitFor(page, () => window.panelStats.clock >= 9, "the circuit past its first 9 s");
  // Click to visible change: the ADF main switch and its lamp.
  const times = await clickToVisibleTimes(page, CLICKS);
  const p95 = times[Math.min(times.length - 1, Math.ceil(0.95 * times.length) - 1)];
  check(p95 <= 100 + rtt, `click to visible change p95 ${p95.toFixed(1)} ms (at most 100 + ${rtt.toFixed(1)} ms)`);
} catch (e) {
  check(false, e.message);
} finally {
  await browser.close();
  browser = null;
}
finish();
