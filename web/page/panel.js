"use strict";
// The live panel, drawn here: the layout and every bitmap come once, then
// the host's drawn state arrives over a WebSocket, each message holding only
// what changed. Each gauge is drawn at its bitmaps' own size, as the host
// draws it, and the gauges are scaled into their windows on one canvas, at
// the display's rate, whenever something changed.

const canvas = document.getElementById("panel");
const ctx = canvas.getContext("2d");
const tip = document.getElementById("tooltip");
const readout = document.getElementById("readout");
const $ = id => document.getElementById(id);

const NEEDLE = 1, STRING = 2, SLIDER = 3, ICON = 4, MOVING = 5, SPRITE = 6;
const HIDDEN = 1, LIT = 2;

let layout = null;
const bitmaps = new Map();     // "module/id" -> decoded image
let elements = [];             // per element: {flags, a, b, c, text, fg, bg}
let gaugeOf = [];              // element index -> gauge index
let gaugeCanvases = [];        // one per gauge, at its bitmaps' size
let gaugeDirty = [];
let windowShown = new Map();   // panel ident -> visible
let panelDirty = true, windowsDirty = true;
let seq = 0, drawnSeq = 0, clock = 0, running = false, paused = false;
let zoom = 1, rightButton = false;

// Figures for the readout, the benchmark and the tests.
const stats = window.panelStats = {
  frames: 0, updates: 0, messages: 0, bytes: 0, fps: 0, updatesPerSecond: 0, bytesPerSecond: 0,
  latencies: [], inputsTaken: 0, seq: 0, drawnSeq: 0, clock: 0, connected: false, sounds: 0, motionFrames: 0,
  dropped: 0, badElements: 0, link: null,
};
// Where element i is drawn now ([a, b, c]: a needle's angle, a drum's or
// slider's offsets, a sprite's offsets and turn), for the tests.
window.panelDrawn = i => elements[i] ? [elements[i].da, elements[i].db, elements[i].dc] : null;
// And where the host has it.
window.panelHost = i => elements[i] ? [elements[i].a, elements[i].b, elements[i].c] : null;
window.soundsPlayed = 0;

// ------------------------------------------------------------ loading

function loadImage(key) {
  return new Promise(resolve => {
    const img = new Image();
    img.onload = () => { bitmaps.set(key, img); resolve(); };
    img.onerror = () => resolve();  // drawn as the host draws a missing bitmap: not at all
    img.src = "/bitmap/" + key + ".png";
  });
}

async function start() {
  layout = await (await fetch("/layout.json")).json();
  const keys = new Set();
  for (const e of layout.elements) {
    for (const k of [].concat(e.b ?? [], e.win ?? [])) if (k) keys.add(k);
  }
  await Promise.all([...keys].map(loadImage));
  canvas.width = layout.width;
  canvas.height = layout.height;
  // a, b, c: the host's values; da, db, dc: where the page draws them (the
  // same, or on their way there while smoothing).
  elements = layout.elements.map(() => ({ flags: 0, a: 0, b: 0, c: 0, da: 0, db: 0, dc: 0, text: "", fg: 0, bg: 0 }));
  gaugeOf = new Array(layout.elements.length);
  layout.gauges.forEach((g, gi) => {
    for (let i = g.first; i < g.first + g.count; ++i) gaugeOf[i] = gi;
    const c = document.createElement("canvas");
    c.width = g.bw; c.height = g.bh;
    gaugeCanvases.push(c);
    gaugeDirty.push(true);
  });
  for (const w of layout.windows) windowShown.set(w.ident, true);
  buildWindowList();
  fit(true);
  connect();
  requestAnimationFrame(frame);
}

// ------------------------------------------------------------ the stream

// The stream reconnects by itself (reconnect.js); a new connection starts
// with the whole drawn state.
let link = null;
function connect() {
  link = stats.link = openLiveStream({
    onMessage: text => apply(text),
    onStatus: up => {
      stats.connected = up;
      if (!up) readout.textContent = "disconnected: reconnecting\u2026";
    },
    layoutNow: () => layout,
  });
}

// The travel of a drum (its picture beyond its window) or the size of what
// slides, for telling a wrapped drum from a turning one.
function spanOf(d) {
  const img = typeof d.b === "string" ? bitmaps.get(d.b) : null, win = d.win ? bitmaps.get(d.win) : null;
  if (d.k === MOVING && img && win) return { x: Math.max(1, img.width - win.width), y: Math.max(1, img.height - win.height) };
  return { x: img ? img.width : 1, y: img ? img.height : 1 };
}

// A message that is not the state the page knows is dropped with a note on
// the console; the next one is applied as usual. An element whose values
// are not numbers is skipped alone.
let inputInLastState = 0, clockBefore = null;
function apply(text) {
  stats.bytes += text.length;
  let m;
  try {
    m = JSON.parse(text);
    if (!m || !Array.isArray(m.e) || !Array.isArray(m.w) || !Array.isArray(m.s) || !Number.isFinite(m.seq))
      throw new Error("not a panel state");
  } catch (e) {
    stats.dropped++;
    console.warn(`live panel: dropped a state message (${e.message}): ${text.slice(0, 80)}`);
    return;
  }
  stats.messages++;
  const number = v => typeof v === "number" && Number.isFinite(v);
  const good = e => Array.isArray(e) && number(e[1]) && number(e[2]) && number(e[3]) && number(e[4]);
  const hostClock = number(m.clock) ? m.clock : clock;
  // A state that took an input is drawn as it is: the pilot's own change
  // shows at once. So is everything when the host's clock went back, and a
  // gauge that switched an icon or a flag (the module changed its mode).
  const clockWentOn = smoothing.arrived(performance.now(), hostClock);
  if (!clockWentOn) { smoothing.settle(elements, touch); clockBefore = null; }
  const input = number(m.input) ? m.input : 0;
  const tookInput = input > inputInLastState;
  inputInLastState = Math.max(inputInLastState, input);
  const modeChanged = new Set();
  for (const e of m.e) {
    if (!good(e)) continue;
    const s = elements[e[0]], d = layout.elements[e[0]];
    if (!s) continue;
    if (s.flags !== e[1] || (d.k === ICON && s.a !== e[2])) modeChanged.add(gaugeOf[e[0]]);
  }
  for (const e of m.e) {
    if (!good(e)) { stats.badElements++; continue; }
    const s = elements[e[0]], d = layout.elements[e[0]];
    if (!s) continue;
    const old = [s.a, s.b, s.c], wasDrawn = [s.da, s.db, s.dc].join();
    s.flags = e[1]; s.a = e[2]; s.b = e[3]; s.c = e[4];
    s.text = e.length > 5 ? String(e[5]) : ""; s.fg = e[6] || 0; s.bg = e[7] || 0;
    smoothing.changed(e[0], d, s, old, clockBefore, hostClock, tookInput || modeChanged.has(gaugeOf[e[0]]), spanOf(d));
    if (smoothing.travels(d.k) && [s.da, s.db, s.dc].join() !== wasDrawn) motionToDraw = true;
    gaugeDirty[gaugeOf[e[0]]] = true;
  }
  clockBefore = hostClock;
  for (const w of m.w) if (Array.isArray(w)) windowShown.set(w[0], !!w[1]);
  if (m.w.length) { refreshWindowList(); windowsDirty = true; showMainHidden(); }
  for (const id of m.s) if (Number.isInteger(id)) playSound(id);
  seq = m.seq; clock = hostClock; running = !!m.running; paused = !!m.paused;
  stats.seq = seq; stats.clock = clock;
  noteInputTaken(m.input);
  panelDirty = true;
}

// ------------------------------------------------------------ drawing

function colour(bgr) { return `rgb(${bgr & 255},${(bgr >> 8) & 255},${(bgr >> 16) & 255})`; }

// A picture seen through its window bitmap (opaque where the window is),
// drawn by `paint` into a scratch canvas the window's size.
const scratch = document.createElement("canvas");
const sctx = scratch.getContext("2d");
function throughWindow(g, win, x, y, paint) {
  scratch.width = win.width; scratch.height = win.height;  // also clears it
  sctx.imageSmoothingEnabled = true;
  sctx.imageSmoothingQuality = "low";
  paint(sctx);
  sctx.setTransform(1, 0, 0, 1, 0, 0);
  sctx.globalCompositeOperation = "destination-in";
  sctx.drawImage(win, 0, 0);
  sctx.globalCompositeOperation = "source-over";
  g.drawImage(scratch, x, y);
}

function drawElement(g, d, s) {
  const img = typeof d.b === "string" ? bitmaps.get(d.b) : null;
  switch (d.k) {
  case 0: if (img) g.drawImage(img, d.x, d.y); break;
  case NEEDLE:
    if (!img) break;
    g.translate(d.x, d.y);
    g.rotate((s.da - 90) * Math.PI / 180);  // the needle's art points along +x
    g.drawImage(img, -(d.ox + 0.5), -(d.oy + 0.5));
    break;
  case SLIDER: if (img) g.drawImage(img, d.x + s.da, d.y + s.db); break;
  case ICON: {
    const i = Math.round(s.a);
    const pic = i >= 0 && Array.isArray(d.b) && d.b[i] ? bitmaps.get(d.b[i]) : null;
    if (pic) g.drawImage(pic, d.x, d.y);
    break;
  }
  case MOVING: {
    const win = bitmaps.get(d.win);
    if (img && win) throughWindow(g, win, d.x, d.y, c => c.drawImage(img, -s.da, -s.db));
    break;
  }
  case SPRITE: {
    const win = bitmaps.get(d.win);
    if (!img || !win) break;
    throughWindow(g, win, d.x, d.y, c => {
      c.translate(d.ox + s.da - d.x, d.oy + s.db - d.y);
      c.rotate(-s.dc * Math.PI / 180);  // positive degrees turn the card counter-clockwise
      c.scale(d.tx, d.ty);
      c.drawImage(img, -img.width / 2, -img.height / 2);
    });
    break;
  }
  case STRING: {
    if (s.bg) { g.fillStyle = colour(s.bg); g.fillRect(d.x, d.y, d.bw, d.bh); }
    if (!s.text) break;
    g.font = `${d.bold ? "bold " : ""}${d.px}px "DejaVu Sans", sans-serif`;
    const m = g.measureText(s.text);
    const ascent = Math.ceil(m.fontBoundingBoxAscent), descent = Math.ceil(m.fontBoundingBoxDescent);
    const width = Math.round(m.width);
    const x = d.x + (d.cx ? Math.trunc((d.bw - width) / 2) : 0);
    const y = d.y + (d.cy ? Math.trunc((d.bh - ascent - descent) / 2) : 0) + ascent;
    g.beginPath(); g.rect(d.x, d.y, d.bw, d.bh); g.clip();
    g.fillStyle = colour(s.fg);
    g.textBaseline = "alphabetic";
    g.fillText(s.text, x, y);
    break;
  }
  }
}

function drawGauge(gi) {
  const info = layout.gauges[gi], c = gaugeCanvases[gi], g = c.getContext("2d");
  g.setTransform(1, 0, 0, 1, 0, 0);
  g.clearRect(0, 0, c.width, c.height);
  g.imageSmoothingEnabled = true;
  g.imageSmoothingQuality = "low";
  for (let i = info.first; i < info.first + info.count; ++i) {
    const s = elements[i];
    if (s.flags & HIDDEN) continue;
    g.save();
    if (layout.night && !(s.flags & LIT)) g.filter = `brightness(${layout.nightDim})`;
    drawElement(g, layout.elements[i], s);
    g.restore();
  }
}

function drawPanel(region) {
  // The windows and gauges under the region (the whole panel when null),
  // in their drawing order.
  const [rx, ry, rw, rh] = region || [0, 0, canvas.width, canvas.height];
  ctx.setTransform(1, 0, 0, 1, 0, 0);
  ctx.imageSmoothingEnabled = true;
  ctx.imageSmoothingQuality = "low";
  ctx.save();
  ctx.beginPath(); ctx.rect(rx, ry, rw, rh); ctx.clip();
  const [r, gr, b] = layout.screen;
  ctx.fillStyle = `rgb(${r},${gr},${b})`;
  ctx.fillRect(rx, ry, rw, rh);
  const meets = (x, y, w, h) => x < rx + rw && rx < x + w && y < ry + rh && ry < y + h;
  layout.windows.forEach((w, wi) => {
    if (!windowShown.get(w.ident) || !meets(w.x, w.y, w.w, w.h)) return;
    ctx.save();
    ctx.beginPath(); ctx.rect(w.x, w.y, w.w, w.h); ctx.clip();
    ctx.fillStyle = `rgb(${w.bg[0]},${w.bg[1]},${w.bg[2]})`;
    ctx.fillRect(w.x, w.y, w.w, w.h);
    layout.gauges.forEach((g, gi) => {
      if (g.window === wi && meets(g.x, g.y, g.w, g.h)) ctx.drawImage(gaugeCanvases[gi], g.x, g.y, g.w, g.h);
    });
    ctx.restore();
  });
  ctx.restore();
}

let lastSecond = performance.now(), framesThisSecond = 0, updatesThisSecond = 0, bytesAtSecond = 0;
// Whether a needle, slider, drum or sprite is drawn somewhere new in the
// next frame drawn: frames with motion, for the benchmark.
let motionToDraw = false;
const touch = i => { gaugeDirty[gaugeOf[i]] = true; panelDirty = true; };
function frame(now) {
  requestAnimationFrame(frame);  // first: a drawing that fails does not stop the loop
  framesThisSecond++;
  stats.frames++;
  if (smoothing.on) { if (smoothing.step(now, elements, touch)) motionToDraw = true; }
  else if (smoothing.moving) smoothing.settle(elements, touch);
  if (panelDirty) {
    if (motionToDraw) stats.motionFrames++;
    motionToDraw = false;
    panelDirty = false;
    const regions = [];
    gaugeDirty.forEach((dirty, gi) => {
      if (!dirty) return;
      drawGauge(gi);
      gaugeDirty[gi] = false;
      const g = layout.gauges[gi];
      regions.push([Math.floor(g.x), Math.floor(g.y), Math.ceil(g.w) + 1, Math.ceil(g.h) + 1]);
    });
    if (windowsDirty || regions.length > layout.gauges.length / 2) drawPanel(null);
    else for (const r of regions) drawPanel(r);
    windowsDirty = false;
    if (seq !== drawnSeq) { updatesThisSecond++; stats.updates++; }
    drawnSeq = seq;
    stats.drawnSeq = seq;
    stats.inputDrawn = inputTakenInState;  // the last input the drawn state took
    canvas.dataset.seq = String(seq);
    noteDrawn(now);
    if (window.onPanelDrawn) window.onPanelDrawn(now);
  }
  if (window.onPanelFrame) window.onPanelFrame(now);
  if (now - lastSecond >= 1000) {
    const span = (now - lastSecond) / 1000;
    stats.fps = framesThisSecond / span;
    stats.updatesPerSecond = updatesThisSecond / span;
    stats.bytesPerSecond = (stats.bytes - bytesAtSecond) / span;
    framesThisSecond = 0; updatesThisSecond = 0; bytesAtSecond = stats.bytes; lastSecond = now;
    showReadout();
  }
}

function showReadout() {
  if (!stats.connected) { readout.textContent = "disconnected: reconnecting\u2026"; return; }
  const l = stats.latencies.slice(-10);
  const rtt = link ? link.networkRtt : NaN;
  const latency = (l.length ? `${Math.round(l.reduce((a, b) => a + b, 0) / l.length)} ms` : "\u2013") +
    (Number.isFinite(rtt) ? ` (network ${Math.round(rtt)} ms)` : "");
  readout.textContent = `${stats.fps.toFixed(0)} fps \u00b7 ${stats.updatesPerSecond.toFixed(1)} updates/s \u00b7 ` +
    `click to picture ${latency} \u00b7 ${(stats.bytesPerSecond / 1024).toFixed(1)} KiB/s \u00b7 ` +
    `sim ${clock.toFixed(1)} s${paused ? " (paused)" : running ? " (scenario)" : ""}`;
  $("pause").textContent = paused ? "Resume" : "Pause";
}

// ------------------------------------------------------------ latency

// Inputs by the number the host gave them, with the time they were made;
// an input is seen once a state that has taken it is on the canvas.
const inputsMade = new Map();
let inputTakenInState = 0;
function noteInputTaken(n) { inputTakenInState = Math.max(inputTakenInState, n || 0); }
function noteDrawn(now) {
  for (const [n, t] of inputsMade) {
    if (n > inputTakenInState) continue;
    stats.latencies.push(now - t);
    if (stats.latencies.length > 200) stats.latencies.shift();
    inputsMade.delete(n);
  }
}

// ------------------------------------------------------------ the mouse, touch and pen

// Mouse requests go one after another, so that a release never overtakes
// its press.
let mouseChain = Promise.resolve();
function sendMouse(query, madeAt) {
  mouseChain = mouseChain.then(() => fetch(`/mouse?${query}`, { method: "POST" })
    .then(r => r.json()).then(r => {
      if (madeAt !== undefined && r.taken) inputsMade.set(r.input, madeAt);
      if (r.taken) stats.inputsTaken++;
    })
    .catch(() => {}));
  return mouseChain;
}

function panelPoint(ev) {
  const r = canvas.getBoundingClientRect();
  const x = Math.floor((ev.clientX - r.left) * canvas.width / r.width);
  const y = Math.floor((ev.clientY - r.top) * canvas.height / r.height);
  return { x: Math.max(0, Math.min(canvas.width - 1, x)), y: Math.max(0, Math.min(canvas.height - 1, y)) };
}

let pressedPointer = null, moveWaiting = null, moveSending = false;
function sendMove() {
  if (moveSending || !moveWaiting) return;
  const p = moveWaiting;
  moveWaiting = null;
  moveSending = true;
  sendMouse(`kind=move&x=${p.x}&y=${p.y}`).then(() => { moveSending = false; sendMove(); });
}

// A press at a point of the screen, its moves and its release; the mouse
// and pen come here from the canvas's pointer events, fingers through
// touch.js (which tells taps from pinches first).
function press(at, pointerType, button, id, madeAt) {
  const p = panelPoint(at);
  const right = button === 2 || (pointerType !== "mouse" && rightButton);
  pressedPointer = id;
  tip.style.display = "none";
  sendMouse(`kind=down&x=${p.x}&y=${p.y}&button=${right ? "right" : "left"}`, madeAt);
}
function releasePress() {
  pressedPointer = null;
  moveWaiting = null;
  sendMouse("kind=up");
}
window.panelView = {
  zoom: () => zoom,
  setZoom: z => { if (layout) { fitting = false; setZoom(z); } },
  press: (at, pointerType, madeAt) => { if (layout && pressedPointer === null) press(at, pointerType, 0, "touch", madeAt); },
  move: at => { if (pressedPointer === "touch") { moveWaiting = panelPoint(at); sendMove(); } },
  release: () => { if (pressedPointer === "touch") releasePress(); },
};

canvas.addEventListener("contextmenu", ev => ev.preventDefault());
canvas.addEventListener("pointerdown", ev => {
  if (!layout || pressedPointer !== null) return;
  ev.preventDefault();
  canvas.setPointerCapture(ev.pointerId);
  press(ev, ev.pointerType, ev.button, ev.pointerId, performance.now());
});
function release(ev) {
  if (ev.pointerId !== pressedPointer) return;
  releasePress();
}
canvas.addEventListener("pointerup", release);
canvas.addEventListener("pointercancel", release);

let hoverTimer = null, hoverAsked = 0;
const cursors = { "-1": "default", "1": "n-resize", "2": "s-resize", "5": "pointer" };
function hover(ev) {
  const p = panelPoint(ev), asked = ++hoverAsked;
  fetch(`/hover?x=${p.x}&y=${p.y}`).then(r => r.json()).then(h => {
    if (asked !== hoverAsked) return;  // the pointer has moved on
    canvas.style.cursor = cursors[String(h.cursor)] || "default";
    if (h.tooltip) {
      tip.textContent = h.tooltip;
      tip.style.left = `${ev.clientX + 14}px`;
      tip.style.top = `${ev.clientY + 18}px`;
      tip.style.display = "block";
    } else {
      tip.style.display = "none";
    }
  }).catch(() => {});
}
canvas.addEventListener("pointermove", ev => {
  if (ev.pointerId === pressedPointer) {
    moveWaiting = panelPoint(ev);
    sendMove();
    return;
  }
  if (ev.pointerType === "touch") return;
  clearTimeout(hoverTimer);
  const copy = { clientX: ev.clientX, clientY: ev.clientY };
  hoverTimer = setTimeout(() => hover(copy), 80);
});
canvas.addEventListener("pointerleave", () => { clearTimeout(hoverTimer); hoverAsked++; tip.style.display = "none"; });

// ------------------------------------------------------------ view: fit, zoom, full screen

// Sizes are whole pixels rounded down, so that a fitted panel never
// overflows its view by a rounding and brings up scroll bars.
function setZoom(z) {
  zoom = Math.max(0.1, Math.min(4, z));
  canvas.style.width = `${Math.floor(layout.width * zoom)}px`;
  canvas.style.height = `${Math.floor(layout.height * zoom)}px`;
  $("zoom").textContent = `${Math.round(zoom * 100)}%`;
}
let fitting = true;
function fit(on = true) {
  fitting = on;
  if (!layout) return;
  const view = $("view");
  setZoom(Math.min(view.clientWidth / layout.width, view.clientHeight / layout.height));
}
// The view changes size when the window does, and also when the bars
// around it fill in after the page has loaded (the pilot's strip, the
// checklist) or fold into one row: a fitted panel follows every change, so
// that the first fit is the whole window's.
new ResizeObserver(() => { if (fitting) fit(); }).observe($("view"));
// Ctrl and the wheel (or a touchpad's pinch) zoom the panel, not the page.
$("view").addEventListener("wheel", ev => {
  if (!ev.ctrlKey || !layout) return;
  ev.preventDefault();
  fitting = false;
  setZoom(zoom * Math.exp(-ev.deltaY / 500));
}, { passive: false });
document.addEventListener("fullscreenchange", () => {
  document.body.classList.toggle("fullscreen", !!document.fullscreenElement);
  if (fitting) requestAnimationFrame(() => fit());
});
function toggleFullScreen() {
  if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
  else document.documentElement.requestFullscreen().catch(() => {});
}

// ------------------------------------------------------------ panel windows

function buildWindowList() {
  const list = $("windowlist");
  list.textContent = "";
  const idents = [...new Set(layout.windows.map(w => w.ident))];
  for (const ident of idents) {
    const titles = layout.windows.filter(w => w.ident === ident).map(w => w.title).join(", ");
    const label = document.createElement("label");
    const box = document.createElement("input");
    box.type = "checkbox";
    box.dataset.ident = String(ident);
    box.addEventListener("change", () => {
      if (ident === mainIdent()) mainHiddenHere = !box.checked;
      post(`/window?ident=${ident}&visible=${box.checked ? 1 : 0}`);
    });
    label.append(box, ` ${titles}`);
    list.append(label);
  }
  refreshWindowList();
}
function refreshWindowList() {
  for (const box of $("windowlist").querySelectorAll("input")) box.checked = !!windowShown.get(Number(box.dataset.ident));
}
// The panel's own landing-view button hides the main panel on every page;
// a line above the panel says so and brings it back. A main panel this
// page hid from its window list needs no such word.
const mainIdent = () => (layout.windows.find(w => w.ident === 0) || layout.windows[0] || {}).ident;
let mainHiddenHere = false;
function showMainHidden() {
  if (!layout || !layout.windows.length) return;
  const shown = !!windowShown.get(mainIdent());
  if (shown) mainHiddenHere = false;
  $("mainhidden").hidden = shown || mainHiddenHere;
}
$("showmain").addEventListener("click", ev => {
  ev.preventDefault();
  post(`/window?ident=${mainIdent()}&visible=1`);
});

function toggleList(id) {
  const el = $(id);
  el.hidden = !el.hidden;
  if (id === "windows") $("windowsbutton").setAttribute("aria-expanded", String(!el.hidden));
}

// ------------------------------------------------------------ sound

function playSound(id) {
  stats.sounds++;
  if (!$("sound").checked) return;
  const a = new Audio(`/wave/${id}.wav`);
  a.volume = Number($("volume").value) / 100;
  a.play().then(() => { window.soundsPlayed++; }).catch(() => {});
}

// ------------------------------------------------------------ controls and keys

function post(path) { return fetch(path, { method: "POST" }).catch(() => {}); }

for (const input of document.querySelectorAll("input[data-token]")) {
  const out = input.nextElementSibling;
  input.addEventListener("input", () => {
    out.textContent = input.value;
    post(`/var?token=${input.dataset.token}&value=${input.value}`);
  });
}
// Asks before an action that throws away the flight in progress: Enter or
// the first button goes on, Escape or Cancel leaves everything as it is.
let confirming = null;
function confirmThen(question, label, act) {
  const box = $("confirm");
  $("confirmtext").textContent = question;
  $("confirmok").textContent = label;
  confirming = act;
  box.hidden = false;
  $("confirmok").focus();
}
function closeConfirm(go) {
  const act = confirming;
  confirming = null;
  $("confirm").hidden = true;
  if (go && act) act();
}
$("confirmok").onclick = () => closeConfirm(true);
$("confirmcancel").onclick = () => closeConfirm(false);
const runScenario = () => confirmThen("Run the circuit from its beginning? The aircraft is put back cold and dark first.",
                                      "Run scenario", () => post("/scenario?run=1"));
const resetAircraft = () => confirmThen("Reset the aircraft? It goes back cold and dark to its parking place.",
                                        "Reset", () => post("/reset"));
$("run").onclick = runScenario;
$("reset").onclick = resetAircraft;
$("smooth").checked = smoothing.on;
$("smooth").onchange = ev => { smoothing.on = ev.target.checked; };
$("halt").onclick = () => post("/scenario?run=0");
$("pause").onclick = () => post(`/pause?on=${paused ? 0 : 1}`);
$("fit").onclick = () => fit();
$("zoomin").onclick = () => { fitting = false; setZoom(zoom * 1.25); };
$("zoomout").onclick = () => { fitting = false; setZoom(zoom / 1.25); };
$("actual").onclick = () => { fitting = false; setZoom(1); };
$("full").onclick = toggleFullScreen;
$("windowsbutton").onclick = () => toggleList("windows");
$("helpbutton").onclick = () => toggleList("shortcuts");
$("rightbutton").onchange = ev => { rightButton = ev.target.checked; };

// Shortcut keys; the letters a pilot's keys take (controls of an aircraft
// behind the panel) are left to them.
const keys = {
  "0": () => fit(), "1": () => $("actual").click(), "+": () => $("zoomin").click(), "=": () => $("zoomin").click(),
  "-": () => $("zoomout").click(), "f": toggleFullScreen, "l": () => toggleList("windows"),
  "r": runScenario, "home": resetAircraft, "n": () => post("/scenario?run=0"), "p": () => $("pause").click(),
  "m": () => { $("sound").checked = !$("sound").checked; },
  "[": () => { $("volume").value = String(Number($("volume").value) - 10); },
  "]": () => { $("volume").value = String(Number($("volume").value) + 10); },
  "c": () => { $("rightbutton").checked = !$("rightbutton").checked; rightButton = $("rightbutton").checked; },
  "?": () => toggleList("shortcuts"), "h": () => toggleList("shortcuts"),
  "escape": () => { $("shortcuts").hidden = true; $("windows").hidden = true; if (window.checklist) window.checklist.unmark(); },
  "k": () => { if (window.checklist) window.checklist.toggle(); },
};
document.addEventListener("keydown", ev => {
  if (confirming) {
    // Only the question's own keys while it is asked.
    if (ev.key === "Escape") { ev.preventDefault(); closeConfirm(false); }
    else if (ev.key === "Enter" && ev.target.id !== "confirmcancel") { ev.preventDefault(); closeConfirm(true); }
    else if (ev.key !== "Tab") ev.preventDefault();
    ev.stopImmediatePropagation();
    return;
  }
  if (ev.ctrlKey || ev.altKey || ev.metaKey || ev.target.matches("input[type=range], input[type=text]")) return;
  if (window.pilotKeys && window.pilotKeys.has(ev.key)) return;  // the aircraft's control
  const act = keys[ev.key.toLowerCase()];
  if (act) { ev.preventDefault(); act(); }
});

start().catch(e => { readout.textContent = `cannot load the panel: ${e}`; });
