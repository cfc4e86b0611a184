"use strict";
// The checklist beside the panel: the aircraft's own lists (start-up,
// before take-off, approach, shut-down; GET /checklist), each line lit once
// the aircraft's state says it is done, read again about once a second.
// Clicking a line outlines on the panel the control it names (its target,
// in panel pixels); when that line is done the outline moves on to the next
// line of its list that is not. A panel without an aircraft has no
// checklist: the button and the column stay hidden.
window.checklist = (() => {
  const column = document.getElementById("checklist");
  const button = document.getElementById("checklistbutton");
  const outline = document.getElementById("outline");
  const view = document.getElementById("view");
  const panelCanvas = document.getElementById("panel");
  let lists = null, shape = "", marked = null;  // marked: [section, line]
  // The pilot's choice: shown or not. Shown at first where the window has
  // width to spare beside the panel (a laptop's wide screen); a 4:3 tablet
  // gives the panel the whole width and keeps the list behind its button.
  let wanted = window.innerWidth >= 1.5 * window.innerHeight;

  const lineAt = m => (lists && m ? (lists.sections[m[0]] || { lines: [] }).lines[m[1]] : null);

  function render() {
    // Rebuilt only when the lists change shape; otherwise lines are lit in place.
    const now = JSON.stringify(lists.sections.map(s => [s.title, s.lines.map(l => [l.text, l.target])]));
    if (now !== shape) {
      shape = now;
      column.textContent = "";
      lists.sections.forEach((section, si) => {
        const h = document.createElement("h3");
        h.textContent = section.title;
        const ol = document.createElement("ol");
        section.lines.forEach((line, li) => {
          const item = document.createElement("li");
          item.textContent = line.text;
          item.dataset.section = String(si);
          item.dataset.line = String(li);
          if (!line.target) { item.classList.add("notarget"); item.title = "a control of the pilot's strip"; }
          item.addEventListener("click", () => mark([si, li]));
          ol.append(item);
        });
        column.append(h, ol);
      });
    }
    for (const item of column.querySelectorAll("li")) {
      const line = lineAt([Number(item.dataset.section), Number(item.dataset.line)]);
      item.classList.toggle("done", !!(line && line.done));
    }
    // The line outlined is done: on to the next of its list still to do.
    const m = lineAt(marked);
    if (marked && (!m || m.done)) {
      const lines = (lists.sections[marked[0]] || { lines: [] }).lines;
      const next = lines.findIndex((l, i) => i > marked[1] && !l.done);
      if (m && next >= 0 && lines[next].target) mark([marked[0], next]); else unmark();
    }
  }

  function place() {
    const line = lineAt(marked);
    if (!line || !line.target || !panelCanvas.width) { outline.hidden = true; return; }
    const c = panelCanvas.getBoundingClientRect(), v = view.getBoundingClientRect();
    // The frame stands around the control, its border included, so that
    // the outline's centre is the control's centre however small the zoom.
    const k = c.width / panelCanvas.width, t = line.target;
    const pad = 4 + (parseFloat(getComputedStyle(outline).borderLeftWidth) || 0);
    Object.assign(outline.style, {
      boxSizing: "border-box",
      left: `${c.left - v.left + view.scrollLeft + t.x * k - pad}px`,
      top: `${c.top - v.top + view.scrollTop + t.y * k - pad}px`,
      width: `${t.w * k + 2 * pad}px`,
      height: `${t.h * k + 2 * pad}px`,
    });
    outline.hidden = false;
  }
  // The outline follows the panel through zooms, fits and scrolls.
  function follow() {
    if (!marked) return;
    place();
    requestAnimationFrame(follow);
  }

  function mark(m) {
    const was = marked;
    marked = m;
    for (const item of column.querySelectorAll("li"))
      item.classList.toggle("shown", Number(item.dataset.section) === m[0] && Number(item.dataset.line) === m[1]);
    place();
    if (!outline.hidden) outline.scrollIntoView({ block: "nearest", inline: "nearest" });
    if (!was) requestAnimationFrame(follow);
  }
  function unmark() {
    marked = null;
    outline.hidden = true;
    for (const item of column.querySelectorAll("li.shown")) item.classList.remove("shown");
  }

  function refresh() {
    fetch("/checklist", { cache: "no-store" })
      .then(r => (r.ok ? r.json() : null))
      .then(c => {
        const ok = !!(c && Array.isArray(c.sections));
        button.hidden = !ok;
        column.hidden = !ok || !wanted;
        button.setAttribute("aria-expanded", String(!column.hidden));
        if (!ok) { lists = null; unmark(); return; }
        lists = c;
        render();
      })
      .catch(() => {})
      .finally(() => setTimeout(refresh, lists ? 1000 : 5000));
  }

  function toggle() {
    if (!lists) return;
    wanted = column.hidden;
    column.hidden = !wanted;
    button.setAttribute("aria-expanded", String(wanted));
    if (!wanted) unmark();
  }
  button.addEventListener("click", toggle);
  refresh();

  return { toggle, unmark, get lists() { return lists; } };
})();
