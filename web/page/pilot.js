"use strict";
// The pilot's strip: built from the aircraft's own table of controls
// (GET /pilot), each a slider and two keyboard keys, with the figures the
// aircraft reads back; a change is sent as POST /pilot?name=..&value=...
(() => {
  const strip = document.getElementById("pilot");
  const keys = document.getElementById("keys");
  const sliders = {}, figures = {};
  // When the pilot last moved each control here: the aircraft's read-back
  // of a control is shown only once it can include that move, so a poll
  // answered before a quick run of key presses reached the aircraft does
  // not throw the lever back.
  const movedAt = {};
  const kReadBackSettle = 1500;  // ms
  let controls = [];

  const decimals = step => (String(step).split(".")[1] || "").length;
  // One request at a time per control, always with the latest value, so
  // requests on separate connections cannot land out of order.
  const inFlight = {}, latest = {};
  function send(name, value) {
    latest[name] = value;
    if (inFlight[name]) return;
    inFlight[name] = true;
    fetch(`/pilot?name=${name}&value=${value}`, { method: "POST" }).catch(() => {}).finally(() => {
      inFlight[name] = false;
      if (latest[name] !== value) send(name, latest[name]);
    });
  }

  function setControl(c, value) {
    const v = Math.min(c.max, Math.max(c.min, value));
    const input = sliders[c.name];
    input.value = v;
    input.nextElementSibling.textContent = v.toFixed(decimals(c.step));
    movedAt[c.name] = performance.now();
    send(c.name, input.value);
  }

  function build(p) {
    // One slider per control with keys of its own: the per-engine
    // throttles (no keys) belong with a "both" lock, not beside it.
    controls = p.controls.filter(c => c.key_up);
    for (const c of controls) {
      const label = document.createElement("label");
      label.textContent = c.label + " ";
      const input = document.createElement("input");
      Object.assign(input, { type: "range", min: c.min, max: c.max, step: c.step, value: c.value });
      input.dataset.control = c.name;
      const out = document.createElement("output");
      out.textContent = Number(c.value).toFixed(decimals(c.step));
      input.addEventListener("input", () => setControl(c, Number(input.value)));
      label.append(input, out, c.unit ? " " + c.unit : "");
      strip.insertBefore(label, document.getElementById("status"));
      sliders[c.name] = input;
      const li = document.createElement("li");
      li.innerHTML = `<kbd></kbd> / <kbd></kbd> ${c.label} up / down`;
      li.children[0].textContent = c.key_up;
      li.children[1].textContent = c.key_down;
      keys.append(li);
    }
    for (const s of p.state) {
      const span = document.createElement("span");
      span.className = "figure";
      span.dataset.figure = s.name;
      const out = document.createElement("output");
      span.append(s.label + " ", out, s.unit ? " " + s.unit : "");
      strip.insertBefore(span, document.getElementById("status"));
      figures[s.name] = out;
    }
    show(p);
  }

  function show(p) {
    for (const s of p.state) if (figures[s.name]) figures[s.name].textContent = String(Math.round(s.value));
    for (const c of p.controls) {
      const input = sliders[c.name];
      const settled = !inFlight[c.name] && !(performance.now() - (movedAt[c.name] || -Infinity) < kReadBackSettle);
      if (input && document.activeElement !== input && settled) {
        input.value = c.value;
        input.nextElementSibling.textContent = Number(c.value).toFixed(decimals(c.step));
      }
    }
  }

  const poll = () => fetch("/pilot").then(r => (r.ok ? r.json() : null)).then(p => p && show(p)).catch(() => {});

  fetch("/pilot").then(r => (r.ok ? r.json() : null)).then(p => {
    if (!p) return;
    build(p);
    setInterval(poll, 500);
  }).catch(() => {});

  window.addEventListener("keydown", ev => {
    if (ev.target instanceof HTMLInputElement && ev.target.type !== "range") return;
    for (const c of controls) {
      const sign = ev.key === c.key_up ? 1 : ev.key === c.key_down ? -1 : 0;
      if (!sign) continue;
      ev.preventDefault();
      setControl(c, Number(sliders[c.name].value) + sign * c.step);
      return;
    }
  });
})();
