"use strict";
// The state stream that comes back by itself. A tablet that sleeps, a
// laptop whose Wi-Fi drops, a server that was restarted: the socket either
// closes (then it is opened again after a growing, jittered pause) or goes
// silent without closing (a connection whose other end vanished), which the
// watchdog notices, since the host publishes a state every cycle. A new
// socket is sent the whole drawn state first, so nothing has to be replayed;
// a server that came back with another panel makes the page load again.
//
// Also measures the network's share of the click-to-picture time: the round
// trip of a cheap request (HEAD /state, answered without the panel thread),
// so that the readout can tell the network's delay from the host's.

// openLiveStream({ onMessage(text), onStatus(connected), layoutNow() }) opens
// the stream and returns its figures.
function openLiveStream({ onMessage, onStatus = () => {}, layoutNow = () => null }) {
  const kFirstRetry = 250, kLongestRetry = 8000;  // ms
  // The host publishes 18 states a second; this long without one, the
  // connection is taken for dead.
  const kSilentFor = 5000;
  const link = { connected: false, opens: 0, reconnects: 0, silentDrops: 0, networkRtt: NaN, rtts: [] };
  let socket = null, retry = kFirstRetry, timer = null, lastMessage = 0;

  function open() {
    clearTimeout(timer);
    timer = null;
    const s = new WebSocket(`${location.protocol === "https:" ? "wss" : "ws"}://${location.host}/live`);
    socket = s;
    s.onopen = () => {
      if (socket !== s) return;
      if (link.opens++ > 0) { link.reconnects++; checkLayout(); }
      retry = kFirstRetry;
      lastMessage = performance.now();
      link.connected = true;
      onStatus(true);
    };
    s.onmessage = ev => {
      if (socket !== s) return;
      lastMessage = performance.now();
      onMessage(ev.data);
    };
    s.onclose = () => {
      if (socket !== s) return;
      socket = null;
      lost();
    };
  }

  function lost() {
    link.connected = false;
    onStatus(false);
    schedule();
  }

  function schedule() {
    if (timer !== null || socket) return;
    const pause = retry * (0.75 + Math.random() * 0.5);  // pages do not all come back at once
    retry = Math.min(retry * 2, kLongestRetry);
    timer = setTimeout(open, pause);
  }

  // A socket that says nothing is closed and replaced at once.
  function dropSilent() {
    const s = socket;
    if (!s) return;
    socket = null;
    s.onclose = null;
    s.close();
    link.silentDrops++;
    link.connected = false;
    onStatus(false);
    open();
  }

  // The page is back (woken, shown, online again): check the stream now
  // instead of waiting for the next try.
  function back() {
    if (document.visibilityState !== "visible") return;
    if (!socket) {
      retry = kFirstRetry;
      open();
    } else if (socket.readyState === WebSocket.OPEN && performance.now() - lastMessage > kSilentFor) {
      dropSilent();
    }
    ping();
  }

  // After a reconnection: the same panel, or a server started with another
  // layout since this page loaded it.
  function checkLayout() {
    const mine = layoutNow();
    if (!mine) return;
    fetch("/layout.json", { cache: "no-store" }).then(r => (r.ok ? r.json() : null)).then(fresh => {
      if (fresh && JSON.stringify(fresh) !== JSON.stringify(mine)) {
        console.info("live panel: the server has another panel now; loading it");
        location.reload();
      }
    }).catch(() => {});
  }

  let pinging = false;
  function ping() {
    if (pinging || !link.connected || document.visibilityState !== "visible") return;
    pinging = true;
    const t0 = performance.now();
    fetch("/state", { method: "HEAD", cache: "no-store" }).then(r => {
      if (!r.ok) return;
      link.rtts.push(performance.now() - t0);
      if (link.rtts.length > 9) link.rtts.shift();
      const sorted = [...link.rtts].sort((a, b) => a - b);
      link.networkRtt = sorted[sorted.length >> 1];  // the median: one slow answer does not count
    }).catch(() => {}).finally(() => { pinging = false; });
  }

  setInterval(() => {
    if (document.visibilityState !== "visible") return;
    if (socket && socket.readyState === WebSocket.OPEN && performance.now() - lastMessage > kSilentFor) dropSilent();
  }, 1000);
  setInterval(ping, 2000);
  document.addEventListener("visibilitychange", back);
  window.addEventListener("online", back);
  window.addEventListener("pageshow", back);
  window.addEventListener("focus", back);
  open();
  return link;
}
