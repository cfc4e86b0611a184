"use strict";
// Keeps the screen on while the panel is shown: a tablet used as an
// instrument panel must not dim in the middle of an approach. The browser
// lets the lock go whenever the page is hidden, so it is asked for again
// each time the page is shown (and on a touch, for browsers that grant it
// only after one). Browsers offer the lock only on a secure address
// (https, or this machine's loopback); elsewhere the page says why not.
(() => {
  const state = window.panelWakeLock = { supported: "wakeLock" in navigator, held: false, acquired: 0, reason: "" };
  if (!state.supported) {
    state.reason = window.isSecureContext ? "this browser has no screen wake lock"
                                          : "the browser keeps the screen awake only for https or loopback addresses";
    console.info(`live panel: screen not kept awake: ${state.reason}`);
    return;
  }
  let lock = null, asking = false;
  async function acquire() {
    if (lock || asking || document.visibilityState !== "visible") return;
    asking = true;
    try {
      const l = await navigator.wakeLock.request("screen");
      lock = l;
      state.held = true;
      state.acquired++;
      state.reason = "";
      l.addEventListener("release", () => {
        if (lock === l) { lock = null; state.held = false; }
      });
    } catch (e) {
      state.reason = String(e && e.message || e);
    } finally {
      asking = false;
    }
  }
  document.addEventListener("visibilitychange", acquire);
  document.addEventListener("fullscreenchange", acquire);
  document.addEventListener("pointerdown", () => { if (!lock) acquire(); }, { passive: true });
  acquire();
})();
