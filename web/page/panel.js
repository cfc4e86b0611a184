"use strict";
const panel = document.getElementById("panel");
const tip = document.getElementById("tooltip");
const status = document.getElementById("status");
let frame = 0, loading = false, wanted = 0, pressed = false, hoverTimer = null;

function post(path) { return fetch(path, { method: "POST" }).catch(() => {}); }

// A new frame is shown as soon as the previous one has loaded.
function showFrame(n) {
  wanted = n;
  if (loading) return;
  loading = true;
  const next = new Image();
  next.onload = () => { panel.src = next.src; frame = wanted; panel.dataset.frame = String(frame); loading = false;
                        if (wanted !== frame) showFrame(wanted); };
  next.onerror = () => { loading = false; };
  next.src = "/frame.png?n=" + n;
}

function panelPoint(ev) {
  const r = panel.getBoundingClientRect();
  const x = Math.floor((ev.clientX - r.left) * panel.naturalWidth / r.width);
  const y = Math.floor((ev.clientY - r.top) * panel.naturalHeight / r.height);
  return { x: Math.max(0, Math.min(panel.naturalWidth - 1, x)), y: Math.max(0, Math.min(panel.naturalHeight - 1, y)) };
}

const cursors = { "-1": "default", "1": "n-resize", "2": "s-resize", "5": "pointer" };
function hover(ev) {
  const p = panelPoint(ev);
  fetch(`/hover?x=${p.x}&y=${p.y}`).then(r => r.json()).then(h => {
    panel.style.cursor = cursors[String(h.cursor)] || "default";
    if (h.tooltip) {
      tip.textContent = h.tooltip;
      tip.style.left = (ev.clientX + 14) + "px";
      tip.style.top = (ev.clientY + 18) + "px";
      tip.style.display = "block";
    } else {
      tip.style.display = "none";
    }
  }).catch(() => {});
}

panel.addEventListener("contextmenu", ev => ev.preventDefault());
panel.addEventListener("mousedown", ev => {
  ev.preventDefault();
  const p = panelPoint(ev);
  pressed = true;
  post(`/mouse?kind=down&x=${p.x}&y=${p.y}&button=${ev.button === 2 ? "right" : "left"}`);
});
window.addEventListener("mouseup", () => { if (pressed) { pressed = false; post("/mouse?kind=up"); } });
panel.addEventListener("mousemove", ev => {
  if (pressed) { const p = panelPoint(ev); post(`/mouse?kind=move&x=${p.x}&y=${p.y}`); }
  clearTimeout(hoverTimer);
  hoverTimer = setTimeout(() => hover(ev), 60);
});
panel.addEventListener("mouseleave", () => { tip.style.display = "none"; });

for (const input of document.querySelectorAll("input[data-token]")) {
  const out = input.nextElementSibling;
  input.addEventListener("input", () => {
    out.textContent = input.value;
    post(`/var?token=${input.dataset.token}&value=${input.value}`);
  });
}
document.getElementById("run").onclick = () => post("/scenario?run=1");
document.getElementById("halt").onclick = () => post("/scenario?run=0");

const events = new EventSource("/events");
events.addEventListener("frame", ev => { status.textContent = "frame " + ev.data; showFrame(Number(ev.data)); });
events.addEventListener("sound", ev => {
  window.soundsPlayed = (window.soundsPlayed || 0) + 1;
  new Audio("/wave/" + ev.data + ".wav").play().catch(() => {});
});
events.onerror = () => { status.textContent = "disconnected"; };
