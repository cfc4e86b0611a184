"use strict";
// Kiosk mode (?kiosk=1): the panel alone on the screen of a tablet or an
// old laptop beside the simulator. No bars, no text selection, no context
// menu and no long-press callout, so that a finger resting on the glass
// works the panel and nothing else. Loaded in the page's head, so the bars
// are never drawn first.
(() => {
  const kiosk = new URLSearchParams(location.search).get("kiosk") === "1";
  window.panelKiosk = kiosk;
  if (!kiosk) return;
  document.documentElement.classList.add("kiosk");
  const refuse = ev => ev.preventDefault();
  document.addEventListener("contextmenu", refuse);
  document.addEventListener("selectstart", refuse);
  document.addEventListener("dragstart", refuse);
})();
