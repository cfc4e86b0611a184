"use strict";
// The pilot's strip: built from the aircraft's own table of controls
// (GET /pilot), each a slider and two keyboard keys, with the figures the
// aircraft reads back; a change is sent as POST /pilot?name=..&value=...
// A read-back is shown in the aircraft's own words and units (its "text")
// when it gives them; entries come and go (the runway's heading and
// distance are read back only before take-off). The same read-backs stand
// on one compact line under the panel in full screen and on small screens.
(() => {
  const strip = document.getElementById("pilot");
  const keys = document.getElementById("keys");
  const readback = document.getElementById("readback");
  const sliders = {}, figures = {};
  // The keys the aircraft's controls take: the page's shortcuts leave them.
  const pilotKeys = window.pilotKeys = new Set();
  // When the pilot last moved each control here: the aircraft's read-back
  // of a control is shown only once it can include that move, so a poll
  // answered before a quick run of key presses reached the aircraft does
  // not throw the lever back.
  const movedAt = {};
  const kReadBackSettle = 1500;  // ms
  let controls = [];
  // A throttle per engine, when the aircraft has them, with a lock that
  // moves both together (through the aircraft's own "both" control).
  let perEngine = false, both = null;

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

  const find = name => controls.find(c => c.name === name);
  function showSlider(c, v) {
    const input = sliders[c.name];
    if (!input) return;
    input.value = v;
    input.nextElementSibling.textContent = Number(v).toFixed(decimals(c.step));
  }

  function setControl(c, value) {
    const v = Math.min(c.max, Math.max(c.min, value));
    const engineThrottle = perEngine && (c.name === "throttle1" || c.name === "throttle2");
    if (perEngine && (c.name === "throttle" || (engineThrottle && both.checked))) {
      // Both engines: the two sliders move together, the aircraft gets one
      // request for both.
      const all = find("throttle");
      for (const n of ["throttle", "throttle1", "throttle2"]) { showSlider(find(n), v); movedAt[n] = performance.now(); }
      send(all.name, String(v));
      return;
    }
    showSlider(c, v);
    movedAt[c.name] = performance.now();
    send(c.name, sliders[c.name].value);
  }

  function build(p) {
    controls = p.controls;
    perEngine = !!(find("throttle") && find("throttle1") && find("throttle2"));
    for (const c of p.controls) {
      const label = document.createElement("label");
      label.textContent = c.label + " ";
      const input = document.createElement("input");
      Object.assign(input, { type: "range", min: c.min, max: c.max, step: c.step, value: c.value });
      input.dataset.control = c.name;
      const out = document.createElement("output");
      out.textContent = Number(c.value).toFixed(decimals(c.step));
      input.addEventListener("input", () => setControl(c, Number(input.value)));
      label.append(input, out, c.unit ? " " + c.unit : "");
      // With a throttle per engine, the "both" throttle is the lock beside
      // them rather than a third slider.
      if (perEngine && c.name === "throttle") label.hidden = true;
      strip.insertBefore(label, document.getElementById("status"));
      sliders[c.name] = input;
      if (perEngine && c.name === "throttle2") {
        const lock = document.createElement("label");
        lock.title = "Move both engines' throttles together";
        both = document.createElement("input");
        Object.assign(both, { type: "checkbox", id: "throttleboth", checked: true });
        lock.append(both, " both");
        strip.insertBefore(lock, document.getElementById("status"));
      }
      for (const k of [c.key_up, c.key_down]) if (k) pilotKeys.add(k);
      const li = document.createElement("li");
      li.innerHTML = `<kbd></kbd> / <kbd></kbd> ${c.label} up / down`;
      li.children[0].textContent = c.key_up;
      li.children[1].textContent = c.key_down;
      keys.append(li);
    }
    show(p);
  }

  // A read-back in words: the aircraft's text, else its number and unit.
  // A text that is a bare figure ("2100 rpm") keeps its label before it;
  // one that says what it reads ("gear down and locked", "runway 27: ...")
  // stands alone.
  const textOf = s => (typeof s.text === "string" && s.text
    ? (/\d/.test(s.text) && !s.text.toLowerCase().includes(s.label.toLowerCase()) ? `${s.label} ${s.text}` : s.text)
    : "");
  const words = s => textOf(s) || `${s.label} ${Math.round(s.value)}${s.unit ? " " + s.unit : ""}`;
  // The strip's figure: the aircraft's text when it has one, else the
  // label, the number and the unit.
  function figure(s) {
    let f = figures[s.name];
    if (!f) {
      const span = document.createElement("span");
      span.className = "figure";
      span.dataset.figure = s.name;
      strip.insertBefore(span, document.getElementById("status"));
      f = figures[s.name] = { span, key: "" };
    }
    const text = textOf(s);
    const key = text ? "text" : "number";
    if (f.key !== key) {
      f.span.textContent = "";
      if (text) f.out = f.span.appendChild(document.createElement("output"));
      else {
        f.out = document.createElement("output");
        f.span.append(s.label + " ", f.out, s.unit ? " " + s.unit : "");
      }
      f.key = key;
    }
    f.out.textContent = text || String(Math.round(s.value));
    return f;
  }

  function show(p) {
    const present = new Set();
    for (const s of p.state) { figure(s).span.hidden = false; present.add(s.name); }
    for (const [name, f] of Object.entries(figures)) if (!present.has(name)) f.span.hidden = true;
    readback.textContent = p.state.map(words).join(" \u00b7 ");
    for (const c of p.controls) {
      const input = sliders[c.name];
      const settled = !inFlight[c.name] && !(performance.now() - (movedAt[c.name] || -Infinity) < kReadBackSettle);
      if (input && document.activeElement !== input && settled) showSlider(c, c.value);
    }
  }

  const poll = () => fetch("/pilot").then(r => (r.ok ? r.json() : null)).then(p => p && show(p)).catch(() => {});

  fetch("/pilot").then(r => (r.ok ? r.json() : null)).then(p => {
    if (!p) return;
    build(p);
    setInterval(poll, 500);
  }).catch(() => {});

  window.addEventListener("keydown", ev => {
    if (ev.target instanceof HTMLInputElement && ev.target.type !== "range" && ev.target.type !== "checkbox") return;
    for (const c of controls) {
      const sign = ev.key === c.key_up ? 1 : ev.key === c.key_down ? -1 : 0;
      if (!sign) continue;
      ev.preventDefault();
      setControl(c, Number(sliders[c.name].value) + sign * c.step);
      return;
    }
  });
})();
