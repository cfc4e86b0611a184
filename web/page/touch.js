"use strict";
// Fingers on a touch screen: one finger works the panel (tap, hold, drag),
// two fingers pinch to zoom and pan the view, one finger beside the panel
// pans it. A finger that lands on the panel is held back for a moment
// (kGestureWait) before it presses, so that the first finger of a pinch
// never flips a switch; it presses at once when it lifts (a tap) or moves
// (a drag). The time a press reports as made is when the finger landed, so
// the readout's click-to-picture time includes that wait.
//
// Uses panel.js's window.panelView: zoom(), setZoom(z), press(point,
// pointerType, madeAt), move(point), release().
(() => {
  const view = document.getElementById("view");
  const canvas = document.getElementById("panel");
  const kGestureWait = 70;   // ms: how far apart the fingers of a pinch land
  const kDragSlop = 8;       // CSS px a finger may wander and still tap
  const touches = new Map(); // pointerId -> {x, y, x0, y0, t0}
  let mode = "idle";         // idle | pending | pressing | gesture | panning | lifting
  let presser = null, pendingTimer = null, pinch = null;
  const gestures = window.panelGestures = { pinches: 0, pans: 0, presses: 0 };

  const point = t => ({ clientX: t.x, clientY: t.y });
  const distance = (a, b) => Math.hypot(a.x - b.x, a.y - b.y);
  const centre = (a, b) => ({ x: (a.x + b.x) / 2, y: (a.y + b.y) / 2 });

  function commitPress() {
    clearTimeout(pendingTimer);
    pendingTimer = null;
    const t = touches.get(presser);
    if (!t) return;
    mode = "pressing";
    gestures.presses++;
    window.panelView.press({ clientX: t.x0, clientY: t.y0 }, "touch", t.t0);
    if (t.x !== t.x0 || t.y !== t.y0) window.panelView.move(point(t));
  }

  // The panel point under the fingers' centre stays under it: the pinch
  // zooms about it and moving both fingers pans.
  function beginPinch() {
    const [a, b] = [...touches.values()];
    const c = centre(a, b), r = canvas.getBoundingClientRect(), scale = r.width / canvas.width;
    pinch = { d0: Math.max(1, distance(a, b)), z0: window.panelView.zoom(),
              px: (c.x - r.left) / scale, py: (c.y - r.top) / scale };
    mode = "gesture";
    gestures.pinches++;
  }
  function followPinch() {
    const [a, b] = [...touches.values()];
    window.panelView.setZoom(pinch.z0 * distance(a, b) / pinch.d0);
    const c = centre(a, b), r = canvas.getBoundingClientRect(), scale = r.width / canvas.width;
    view.scrollLeft += r.left + pinch.px * scale - c.x;
    view.scrollTop += r.top + pinch.py * scale - c.y;
  }

  function down(ev) {
    if (ev.pointerType !== "touch") return;
    ev.stopPropagation();
    ev.preventDefault();
    touches.set(ev.pointerId, { x: ev.clientX, y: ev.clientY, x0: ev.clientX, y0: ev.clientY, t0: performance.now() });
    if (mode === "idle") {
      if (ev.target === canvas && window.panelView) {
        mode = "pending";
        presser = ev.pointerId;
        pendingTimer = setTimeout(commitPress, kGestureWait);
      } else {
        mode = "panning";
        gestures.pans++;
      }
    } else if ((mode === "pending" || mode === "panning") && touches.size === 2) {
      clearTimeout(pendingTimer);
      pendingTimer = null;
      presser = null;
      beginPinch();
    }
    // A finger more while pressing or pinching changes nothing.
  }

  function move(ev) {
    const t = touches.get(ev.pointerId);
    if (ev.pointerType !== "touch" || !t) return;
    ev.stopPropagation();
    ev.preventDefault();
    const dx = ev.clientX - t.x, dy = ev.clientY - t.y;
    t.x = ev.clientX; t.y = ev.clientY;
    if (mode === "pending" && Math.hypot(t.x - t.x0, t.y - t.y0) > kDragSlop) commitPress();
    else if (mode === "pressing" && ev.pointerId === presser) window.panelView.move(point(t));
    else if (mode === "gesture" && pinch && touches.size >= 2) followPinch();
    else if (mode === "panning") { view.scrollLeft -= dx; view.scrollTop -= dy; }
  }

  function up(ev) {
    if (ev.pointerType !== "touch" || !touches.has(ev.pointerId)) return;
    ev.stopPropagation();
    ev.preventDefault();
    const cancelled = ev.type === "pointercancel";
    if (mode === "pending" && ev.pointerId === presser) {
      if (cancelled) { clearTimeout(pendingTimer); pendingTimer = null; }
      else commitPress();  // a tap: press now, released just below
    }
    if (mode === "pressing" && ev.pointerId === presser) {
      window.panelView.release();
      presser = null;
      mode = "lifting";
    }
    touches.delete(ev.pointerId);
    if (mode === "gesture") {
      pinch = null;
      mode = "lifting";  // the finger left on the glass does not press
    }
    if (touches.size === 0) mode = "idle";
  }

  // Capture on the view: the canvas's own pointer handlers (mouse and pen)
  // never see a finger.
  view.addEventListener("pointerdown", down, { capture: true, passive: false });
  view.addEventListener("pointermove", move, { capture: true, passive: false });
  view.addEventListener("pointerup", up, { capture: true, passive: false });
  view.addEventListener("pointercancel", up, { capture: true, passive: false });
  // The browser's own page zoom stays out of the panel (Safari's gesture events).
  for (const name of ["gesturestart", "gesturechange"]) document.addEventListener(name, ev => ev.preventDefault());
})();
