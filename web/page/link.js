// The line under the panel that says how the simulator behind it is doing
// (the FlightGear link's health: receiving, or "no data"). Shown only when
// the panel has such a simulation.
"use strict";
(function () {
  const line = document.getElementById("link");
  function refresh() {
    fetch("/state", { cache: "no-store" })
      .then(r => r.json())
      .then(s => {
        line.hidden = !s.status;
        line.textContent = s.status || "";
        line.classList.toggle("silent", / no data/.test(s.status || ""));
      })
      .catch(() => {})
      .finally(() => setTimeout(refresh, 1000));
  }
  refresh();
})();
