// The game page on a phone or tablet. index.html loads this before the game.
//
// A touch on the picture goes to the game as a touch only: the page turns off what the
// browser would make of it (scrolling, zooming, a menu, text selection, and the mouse
// events it sends after a tap, which the game would take for a second click). The first
// tap asks for full screen, and starts the sound where the browser waits for a tap's end.
// Touch screens also get a Pause button, which does what Escape does, and a line on how
// to play; in portrait, a line suggests turning the phone.
"use strict";

// The browser lets sound start on a tap's end, the game's audio listens for its start: the
// page keeps each audio context the game makes, to start them itself.
const gameAudio = [];
for (const name of ["AudioContext", "webkitAudioContext"]) {
  const Base = window[name];
  if (typeof Base !== "function") continue;
  window[name] = class extends Base {
    constructor(...args) {
      super(...args);
      gameAudio.push(this);
    }
  };
}

function startSound() {
  for (const ac of gameAudio) {
    if (ac.state === "suspended") ac.resume().catch(() => {});
  }
}

function showTouchControls() {
  document.body.classList.add("touch");
}

if (window.matchMedia && matchMedia("(pointer: coarse)").matches) showTouchControls();
window.addEventListener("touchstart", showTouchControls, { capture: true, passive: true, once: true });

document.addEventListener("DOMContentLoaded", () => {
  const canvas = document.getElementById("canvas");
  const stage = document.getElementById("stage");

  // preventDefault on a touch's start and end keeps the browser from sending mouse events
  // after it, and from scrolling or zooming; the game reads the touch events themselves.
  let tapped = false;
  const ownTouch = (e) => e.preventDefault();
  canvas.addEventListener("touchstart", ownTouch, { passive: false });
  canvas.addEventListener("touchmove", ownTouch, { passive: false });
  canvas.addEventListener("touchend", (e) => {
    e.preventDefault();
    startSound();
    if (tapped) return;
    // A tap's end is the first moment the browser lets a page go full screen.
    tapped = true;
    if (document.fullscreenEnabled && !document.fullscreenElement) {
      stage.requestFullscreen().catch((err) => console.log("full screen refused: " + err));
    }
  }, { passive: false });
  canvas.addEventListener("touchcancel", ownTouch, { passive: false });
  stage.addEventListener("contextmenu", (e) => e.preventDefault());
  window.addEventListener("pointerup", startSound, { capture: true });

  // The game answers the Escape it is given at its next turn, whatever its state.
  const pause = document.getElementById("pause");
  pause.addEventListener("click", () => {
    Module.gfEscapeAsked = true;
    canvas.focus();
  });
  // Without full screen in this browser (a phone's Safari), its button would do nothing.
  if (!document.fullscreenEnabled) document.getElementById("full").classList.add("unused");
});
