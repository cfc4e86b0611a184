"use strict";
// Smooth needles. The host sends its drawn state 18 times a second; the page
// draws at the display's rate. Between two states the page moves needles,
// sliders, drums and sprites from where they were drawn to where the host
// now has them, over about one host cycle, so that a turning needle moves on
// every frame instead of in 18 steps a second.
//
// What is never smoothed:
//   - icons and strings (they change, they do not travel);
//   - an element whose hidden or lit flag changed, and every element of a
//     gauge that changed an icon or a flag in the same state: the module
//     switched the gauge into another mode (a flag shown, a power loss);
//   - a jump the module made on purpose: a drum that wrapped (a move of more
//     than half its travel), a needle or card that turned more than 120
//     degrees in one cycle;
//   - a state that took an input (a click, a drag): the click's own change is
//     drawn at once, adding no latency to what the pilot did.
// Angles travel the short way round (350 to 10 degrees passes through 0).
//
// Off (the bar's "Smooth" box), every state is drawn as it comes: the raw
// 18 Hz steps.
const smoothing = (() => {
  const NEEDLE = 1, SLIDER = 3, MOVING = 5, SPRITE = 6;
  const kMaxTurn = 120;           // degrees in one host cycle
  const kStored = "morvane.smooth";
  let on = true;
  try { on = localStorage.getItem(kStored) !== "0"; } catch (e) { /* storage refused: default on */ }

  // The spacing of the host's states as they arrive here (about 55 ms),
  // followed smoothly; a move takes a little longer than one spacing, so
  // that a state a little late does not leave the needle standing.
  let spacing = 1000 / 18, lastArrival = null;
  const moves = new Map();        // element index -> {from: [a,b,c], to: [a,b,c], t0, dur}

  const shortWay = (from, to) => from + ((((to - from) % 360) + 540) % 360 - 180);
  const travels = kind => kind === NEEDLE || kind === SLIDER || kind === MOVING || kind === SPRITE;

  // Whether a change from the drawn values `was` to the state `s` is a
  // jump the module made on purpose. `span` gives the travel of a drum or
  // the size of what slides.
  function jumped(d, was, s, span) {
    switch (d.k) {
    case NEEDLE: return Math.abs(shortWay(was[0], s.a) - was[0]) > kMaxTurn;
    case SPRITE:
      return Math.abs(shortWay(was[2], s.c) - was[2]) > kMaxTurn ||
             Math.abs(s.a - was[0]) > span.x / 2 || Math.abs(s.b - was[1]) > span.y / 2;
    case MOVING:
    case SLIDER:
      return Math.abs(s.a - was[0]) > span.x / 2 || Math.abs(s.b - was[1]) > span.y / 2;
    default: return true;
    }
  }

  return {
    get on() { return on; },
    set on(v) {
      on = !!v;
      try { localStorage.setItem(kStored, on ? "1" : "0"); } catch (e) { /* not kept: fine */ }
    },
    travels,

    // A state arrived now: note the spacing of states.
    arrived(now) {
      if (lastArrival !== null) {
        const gap = now - lastArrival;
        if (gap > 5 && gap < 500) spacing += (gap - spacing) * 0.2;
      }
      lastArrival = now;
    },

    // Element i (description d, state s with its new host values in a, b, c
    // and its drawn values in da, db, dc) has changed. `snap` when the state
    // took an input or the gauge changed mode; `span` as for jumped().
    // Sets the drawn values at once unless the element is to travel.
    changed(i, d, s, now, snap, span) {
      const was = [s.da, s.db, s.dc];
      moves.delete(i);
      if (!on || snap || !travels(d.k) || jumped(d, was, s, span)) {
        s.da = s.a; s.db = s.b; s.dc = s.c;
        return;
      }
      const to = [s.a, s.b, s.c];
      if (d.k === NEEDLE) to[0] = shortWay(was[0], s.a);
      if (d.k === SPRITE) to[2] = shortWay(was[2], s.c);
      moves.set(i, { from: was, to, t0: now, dur: Math.min(200, Math.max(30, spacing * 1.25)) });
    },

    // Moves every travelling element to where it is drawn at `now`; calls
    // touched(i) for each, and returns whether any moved.
    step(now, states, touched) {
      let moved = false;
      for (const [i, m] of moves) {
        const s = states[i];
        const t = Math.min(1, Math.max(0, (now - m.t0) / m.dur));
        let a, b, c;
        if (t >= 1) {
          a = s.a; b = s.b; c = s.c;
          moves.delete(i);
        } else {
          a = m.from[0] + (m.to[0] - m.from[0]) * t;
          b = m.from[1] + (m.to[1] - m.from[1]) * t;
          c = m.from[2] + (m.to[2] - m.from[2]) * t;
        }
        if (a !== s.da || b !== s.db || c !== s.dc) {
          s.da = a; s.db = b; s.dc = c;
          moved = true;
          touched(i);
        }
      }
      return moved;
    },

    // Every element drawn where the host has it (smoothing switched off).
    settle(states, touched) {
      for (const i of moves.keys()) {
        const s = states[i];
        s.da = s.a; s.db = s.b; s.dc = s.c;
        touched(i);
      }
      moves.clear();
    },

    get moving() { return moves.size; },
    get spacing() { return spacing; },
  };
})();
