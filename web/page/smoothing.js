"use strict";
// Smooth needles. The host sends its drawn state 18 times a second; the page
// draws at the display's rate. Needles, sliders, drums and sprites are drawn
// between the host's states, on the host's own clock: each state carries
// the simulated time of its cycle, and the page plays the states back a
// little behind the newest, at an even pace, however unevenly they reach it
// over the network. A turning needle thus moves on every frame instead of
// in 18 steps a second.
//
// The delay behind the newest state is one host cycle plus how late states
// have lately come (most often a few milliseconds; bounded). It applies to
// what the host moves by itself only. What is never smoothed, and drawn at
// once:
//   - icons and strings (they change, they do not travel);
//   - an element whose hidden or lit flag changed, and every element of a
//     gauge that changed an icon or a flag in the same state: the module
//     switched the gauge into another mode (a flag shown, a power loss);
//   - a state that took an input (a click, a drag): the pilot's own change
//     is drawn as soon as it comes, with no added latency;
//   - everything, when the host's clock went back (a scenario restarted).
// A jump the module made on purpose (a drum that wrapped: a move of more
// than half its travel; a needle or card turned more than 120 degrees in one
// cycle) is drawn as a jump at its own moment, never travelled through.
// Angles travel the short way round (350 to 10 degrees passes through 0).
//
// Off (the bar's "Smooth" box), every state is drawn as it comes: the raw
// 18 Hz steps.
const smoothing = (() => {
  const NEEDLE = 1, SLIDER = 3, MOVING = 5, SPRITE = 6;
  const kMaxTurn = 120;            // degrees in one host cycle
  const kSeen = 0.05;              // degrees or pixels: less is not drawn again
  const kMaxLate = 150;            // ms: a later state is drawn late rather than waited for
  const kStall = 1000;             // ms: the host stood still (paused, busy): start the clocks again
  const kStored = "morvane.smooth";
  let on = true;
  try { on = localStorage.getItem(kStored) !== "0"; } catch (e) { /* storage refused: default on */ }

  // The page's time of a host clock reading is clock + offset + delay (ms).
  // offset: the earliest any state has come after its clock (crept up
  // slowly, so that one state come unusually early is forgotten); late: how
  // much later than that nine states in ten of the last three seconds came
  // (waiting for the slowest would hold every needle back for one).
  let offset = null, late = 0, cycle = 1000 / 18, lastClock = null;
  const lates = [];
  const kLates = 54;
  const queues = new Map();        // element index -> [{t: clock ms, v: [a, b, c], jump}]

  const shortWay = (from, to) => from + ((((to - from) % 360) + 540) % 360 - 180);
  const travels = kind => kind === NEEDLE || kind === SLIDER || kind === MOVING || kind === SPRITE;
  const delay = () => cycle + Math.min(late, kMaxLate);

  // Whether going from the values `was` to `v` is a jump the module made on
  // purpose. `span` gives the travel of a drum or the size of what slides.
  function jumped(kind, was, v, span) {
    switch (kind) {
    case NEEDLE: return Math.abs(shortWay(was[0], v[0]) - was[0]) > kMaxTurn;
    case SPRITE:
      return Math.abs(shortWay(was[2], v[2]) - was[2]) > kMaxTurn ||
             Math.abs(v[0] - was[0]) > span.x / 2 || Math.abs(v[1] - was[1]) > span.y / 2;
    case MOVING:
    case SLIDER:
      return Math.abs(v[0] - was[0]) > span.x / 2 || Math.abs(v[1] - was[1]) > span.y / 2;
    default: return true;
    }
  }

  function drawHost(s) { s.da = s.a; s.db = s.b; s.dc = s.c; }

  return {
    get on() { return on; },
    set on(v) {
      on = !!v;
      try { localStorage.setItem(kStored, on ? "1" : "0"); } catch (e) { /* not kept: fine */ }
    },
    travels,
    get delay() { return delay(); },
    get moving() { return queues.size; },

    // A state of the host's clock `clock` (seconds) came at `now`. Returns
    // false when the clock went back: everything is then drawn as it is.
    arrived(now, clock) {
      const t = clock * 1000;
      if (lastClock !== null && t < lastClock) {
        lastClock = t;
        offset = null;
        return false;
      }
      const fresh = lastClock === null || t > lastClock;  // a new cycle, not a repeat of the last
      if (lastClock !== null && t > lastClock && t - lastClock < 500) cycle += (t - lastClock - cycle) * 0.1;
      lastClock = t;
      if (!fresh) return true;
      const lag = now - t;
      if (offset === null || lag - offset > kStall) { offset = lag; late = 0; lates.length = 0; return true; }
      offset = Math.min(lag, offset + 0.1);
      lates.push(lag - offset);
      if (lates.length > kLates) lates.shift();
      const sorted = [...lates].sort((x, y) => x - y);
      late = sorted[Math.floor(sorted.length * 0.9)];
      return true;
    },

    // Element i (description d, state s with its new host values in a, b, c
    // and its drawn values in da, db, dc; `old` its host values before) has
    // changed in the state of clock `clock`, the one before being of
    // `before` (seconds). `snap`: drawn at once (see above).
    changed(i, d, s, old, before, clock, snap, span) {
      if (!on || snap || !travels(d.k) || before === null) {
        queues.delete(i);
        drawHost(s);
        return;
      }
      let q = queues.get(i);
      if (!q) queues.set(i, q = [{ t: before * 1000, v: old }]);
      const last = q[q.length - 1].v;
      const v = [s.a, s.b, s.c];
      const jump = jumped(d.k, last, v, span);
      if (!jump && d.k === NEEDLE) v[0] = shortWay(last[0], v[0]);
      if (!jump && d.k === SPRITE) v[2] = shortWay(last[2], v[2]);
      q.push({ t: clock * 1000, v, jump });
    },

    // Draws every travelling element where it stands at `now` on the host's
    // clock played back; calls touched(i) for each that moved, and returns
    // whether any did.
    step(now, states, touched) {
      if (offset === null) return false;
      const at = now - offset - delay();
      let moved = false;
      for (const [i, q] of queues) {
        const s = states[i];
        while (q.length >= 2 && q[1].t <= at) q.shift();
        let a, b, c;
        if (q.length < 2) {
          queues.delete(i);
          a = s.a; b = s.b; c = s.c;
        } else {
          const [p, n] = q;
          const f = n.jump || n.t <= p.t ? 0 : Math.max(0, Math.min(1, (at - p.t) / (n.t - p.t)));
          a = p.v[0] + (n.v[0] - p.v[0]) * f;
          b = p.v[1] + (n.v[1] - p.v[1]) * f;
          c = p.v[2] + (n.v[2] - p.v[2]) * f;
        }
        // A slow needle is drawn again only once it has moved a visible
        // amount; its last step always lands where the host has it.
        const visible = q.length < 2 || Math.abs(a - s.da) >= kSeen || Math.abs(b - s.db) >= kSeen || Math.abs(c - s.dc) >= kSeen;
        if (visible && (a !== s.da || b !== s.db || c !== s.dc)) {
          s.da = a; s.db = b; s.dc = c;
          moved = true;
          touched(i);
        }
      }
      return moved;
    },

    // Every element drawn where the host has it (smoothing switched off, or
    // the host's clock went back).
    settle(states, touched) {
      for (const i of queues.keys()) { drawHost(states[i]); touched(i); }
      queues.clear();
    },
  };
})();
