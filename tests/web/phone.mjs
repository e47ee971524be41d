// The game page on a phone or tablet (Chromium emulating one: touch, a small screen in
// either orientation): taps play it and the Pause button pauses; the page holds still
// under any finger; it installs, plays offline, and a new build replaces the one it kept;
// a game pad steers.
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";
import { decodePng, regionMean } from "./png.mjs";
import { check, framesPass, gameStarted, openGame, openGameIn, pageHolds, pollUntil, shot, sleep,
         until } from "./harness.mjs";
import { serve } from "./serve.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
const landscape = { width: 844, height: 390, isMobile: true, hasTouch: true };
const portrait = { width: 390, height: 844, isMobile: true, hasTouch: true };

const groundLit = (img) => regionMean(img, 0, 400, 640, 478)[2] > 115;
const anythingDrawn = (img) => regionMean(img, 0, 0, 640, 478).some((v) => v > 8);
const differ = (a, b, limit) => a.some((v, k) => Math.abs(v - b[k]) > limit);

const boxOf = (page, id) => page.evaluate((id) => {
  const e = document.getElementById(id), r = e.getBoundingClientRect();
  return { x: r.left, y: r.top, width: r.width, height: r.height, shown: e.checkVisibility() && r.width > 0 };
}, id);
const overlap = (a, b) => a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;

// The picture at the game's own 640x480, whatever the canvas's size on the page.
async function gameShot(page) {
  const box = await boxOf(page, "canvas");
  const scale = 640 / box.width;
  return decodePng(await page.screenshot({ clip: { x: box.x, y: box.y, width: box.width, height: box.height, scale } }));
}

async function untilDrawn(page, ms, test) {
  const end = Date.now() + ms;
  while (Date.now() < end) {
    if (test(await gameShot(page))) return true;
    await sleep(250);
  }
  return false;
}

// A tap at a point of the game's 640x480 screen.
async function tap(page, x, y) {
  const box = await boxOf(page, "canvas");
  await page.touchscreen.tap(box.x + (x * box.width) / 640, box.y + (y * box.height) / 480);
}

// The sleigh's height on the screen: the mean row of its red at the left.
function sleighRow(img) {
  let rows = 0, n = 0;
  for (let y = 30; y < 470; y++) {
    for (let x = 40; x < 240; x++) {
      const i = (y * img.width + x) * img.channels, [r, g, b] = img.px.subarray(i, i + 3);
      if (r > 150 && g < 90 && b < 90) { rows += y; n++; }
    }
  }
  return n > 50 ? Math.round(rows / n) : NaN;
}

// The picture stands still for a second: the game is paused (in a round, the gifts and the
// snow never stop).
async function standsStill(page, grab) {
  const a = regionMean(await grab(page), 0, 0, 640, 478);
  await framesPass(page, 60);
  const b = regionMean(await grab(page), 0, 0, 640, 478);
  return !differ(a, b, 0.05);
}

export async function tapsPlay(context, base) {
  const { page, errors } = await openGameIn(context, base, landscape);
  check(await gameStarted(page) && await untilDrawn(page, 30000, anythingDrawn), "the game draws on a phone");
  const pause = await boxOf(page, "pause"), picture = await boxOf(page, "canvas");
  check(pause.shown && !overlap(pause, picture), "a Pause button shows beside the picture");
  check(await page.$("aria/Pause[role=\"button\"]") !== null, "the button's accessible name is Pause");

  // A tap is a touch only: no mouse events follow it to the game.
  await page.evaluate(() => {
    window.gfSeen = { mousedown: 0, touchstart: 0 };
    for (const type of Object.keys(window.gfSeen)) {
      document.getElementById("canvas").addEventListener(type, () => window.gfSeen[type]++);
    }
  });
  const intro = regionMean(await gameShot(page), 0, 0, 640, 478);
  await tap(page, 320, 240);
  await framesPass(page, 10);
  const seen = await page.evaluate(() => window.gfSeen);
  check(seen.touchstart === 1 && seen.mousedown === 0, `one tap, one touch, no mouse events (${JSON.stringify(seen)})`);
  check(await pageHolds(page, 5000, () => document.fullscreenElement === document.getElementById("stage")),
        "the first tap asks for full screen");

  // Through the intro to the title, and Start Game, by taps only.
  const title = await untilDrawn(page, 10000, (img) => differ(regionMean(img, 0, 0, 640, 478), intro, 3));
  check(title, "a tap skips the intro");
  let started = false;
  for (let i = 0; i < 8 && !started; i++) {
    await tap(page, 320, 222);
    started = await untilDrawn(page, 3000, groundLit);
  }
  check(started, "a tap on Start Game starts a round");
  if (!started) {
    // Taps do not reach the game: the mouse brings the round, so that Pause is still tried.
    await page.screenshot({ path: path.join(os.tmpdir(), "gf-phone-no-round.png") });
    for (let i = 0; i < 8 && !await untilDrawn(page, 3000, groundLit); i++) {
      await page.mouse.click(picture.x + picture.width / 2, picture.y + (222 * picture.height) / 480);
    }
  }

  // Pause opens the pause menu, where the round stands still; Pause again resumes it.
  check(!await standsStill(page, gameShot), "the round moves before the Pause button");
  await page.touchscreen.tap(pause.x + pause.width / 2, pause.y + pause.height / 2);
  // Each look takes 60 frames and two pictures, which a loaded machine can stretch past 5 s.
  check(await pollUntil(30000, () => standsStill(page, gameShot)), "the Pause button pauses the round");
  check(await page.evaluate(() => document.activeElement.id) === "canvas", "the keyboard's focus stays on the game");
  await page.touchscreen.tap(pause.x + pause.width / 2, pause.y + pause.height / 2);
  check(await pollUntil(30000, async () => !await standsStill(page, gameShot)), "Pause again resumes it");
  check(errors.length === 0, `no page errors on a phone ${errors.join("; ")}`);
}

// Swipes, a pinch and a long press neither scroll, zoom, select nor open a menu; the help
// line and the portrait hint show where they should, never over the picture.
export async function pageHoldsStill(context, base) {
  const { page, errors } = await openGameIn(context, base, landscape);
  check(await gameStarted(page), "the game starts on a phone");
  const session = await page.createCDPSession();
  await page.evaluate(() => {
    window.gfMenus = 0;
    window.addEventListener("contextmenu", (e) => { if (!e.defaultPrevented) window.gfMenus++; });
  });
  const picture = await boxOf(page, "canvas");
  const held = () => page.evaluate(() => [window.scrollX, window.scrollY, visualViewport.scale,
                                          String(getSelection()), window.gfMenus]);
  for (const [x, y, dx, dy] of [[422, 300, 0, -250], [422, 100, 0, 250], [600, 200, -300, 0], [20, 200, 0, -150]]) {
    await session.send("Input.synthesizeScrollGesture", { x, y, xDistance: dx, yDistance: dy,
                                                          gestureSourceType: "touch", speed: 2000 });
  }
  await session.send("Input.synthesizePinchGesture", { x: 422, y: 195, scaleFactor: 3, gestureSourceType: "touch" });
  // A long press, on the picture and on the help line.
  for (const at of [[picture.x + 100, picture.y + 100], [40, 195]]) {
    await session.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: [{ x: at[0], y: at[1] }] });
    await sleep(1500);
    await session.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
  }
  await sleep(500);
  const [sx, sy, scale, selected, menus] = await held();
  check(sx === 0 && sy === 0 && scale === 1 && selected === "" && menus === 0,
        `swipes, a pinch and long presses leave the page as it was (scroll ${sx},${sy}, zoom ${scale}, ` +
        `selection "${selected}", menus ${menus})`);

  const shown = async (id) => (await boxOf(page, id)).shown;
  const beside = async (id) => !overlap(await boxOf(page, id), await boxOf(page, "canvas"));
  check(await shown("help") && await beside("help") && !await shown("turn"),
        "in landscape the help line shows beside the picture, and no hint to turn");
  await page.setViewport(portrait);
  await framesPass(page, 2);
  check(await shown("turn") && await beside("turn") && await shown("help") && await beside("help") &&
        await shown("pause") && await beside("pause"),
        "in portrait the hint to turn, the Pause button and the help line show around the picture");
  const box = await boxOf(page, "canvas");
  check(Math.round(box.width) === 390 && Math.round(box.height * 4) === 1170,
        `the picture keeps 4:3 across the width in portrait (${box.width}x${box.height})`);
  // A 4:3 tablet leaves no margin: Pause goes over a corner of the picture, the help line away.
  await page.setViewport({ width: 1024, height: 768, isMobile: true, hasTouch: true });
  await framesPass(page, 2);
  const pause = await boxOf(page, "pause");
  check(pause.shown && pause.x + pause.width <= 1024 && pause.y + pause.height <= 768 && !await shown("help"),
        "on a 4:3 tablet Pause sits on the picture's corner and the help line is left out");

  const desktop = await openGame(context, base);
  const none = async (p) => !(await boxOf(p, "pause")).shown && !(await boxOf(p, "help")).shown &&
                            !(await boxOf(p, "turn")).shown;
  check(await gameStarted(desktop.page) && await none(desktop.page), "a desktop page shows none of them");
  check(errors.length + desktop.errors.length === 0, `no page errors ${errors.concat(desktop.errors).join("; ")}`);
}

// A server of the test's own for a site folder, which it may stop (offline) or change.
async function ownServer(dir) {
  const server = await serve(dir);
  const stop = () => {
    server.close();
    server.closeAllConnections();
  };
  return { base: `http://127.0.0.1:${server.address().port}`, stop };
}

const cacheNames = (page) => page.evaluate(() => caches.keys());
const keptFiles = (page, name) => page.evaluate((name) => caches.open(name).then((c) => c.keys()).then((k) => k.length), name);
const workerFiles = (dir) => /const files = "([^"]*)"/.exec(fs.readFileSync(path.join(dir, "sw.js"), "utf8"))[1];
const workerBuild = (dir) => /const build = "([^"]*)"/.exec(fs.readFileSync(path.join(dir, "sw.js"), "utf8"))[1];

// What the build does once the site's files are in: writes the worker with their name.
function stampWorker(dir) {
  const web = path.join(here, "../../web");
  execFileSync("cmake", [`-DSITE=${dir}`, `-DFILES=${workerFiles(dir)}`, `-DTEMPLATE=${path.join(web, "sw.js")}`,
                         "-P", path.join(web, "stamp-sw.cmake")]);
  return workerBuild(dir);
}

// The worker controls the page and keeps every file it names.
async function keptForOffline(page, dir) {
  const want = workerFiles(dir).split(" ").length, name = workerBuild(dir);
  return await pageHolds(page, 60000, () => navigator.serviceWorker.controller !== null) &&
         await pollUntil(60000, async () => await keptFiles(page, name) === want);
}

// Chromium finds the game installable; once the worker keeps the site, the game starts and
// draws with its server gone and the browser offline. Chromium installs nothing from a
// private window, which a test's own context is: this runs in the browser's first one, on
// an origin (a port) of its own.
export async function installsAndPlaysOffline(context, siteDir) {
  const { base, stop } = await ownServer(siteDir);
  let page = null;
  try {
    const opened = await openGameIn(context.browser().defaultBrowserContext(), base, landscape);
    page = opened.page;
    const errors = opened.errors;
    check(await gameStarted(page), "the game starts");
    check(await keptForOffline(page, siteDir), "the service worker keeps the game's files once it has drawn");
    const session = await page.createCDPSession();
    const { installabilityErrors } = await session.send("Page.getInstallabilityErrors");
    check(installabilityErrors.length === 0, `Chromium finds the game installable ${JSON.stringify(installabilityErrors)}`);
    const manifest = await session.send("Page.getAppManifest");
    const icons = JSON.parse(manifest.data || "{}").icons || [];
    check(manifest.errors.length === 0 && icons.length === 2, `the manifest reads cleanly ${JSON.stringify(manifest.errors)}`);
    for (const icon of icons) {
      const img = decodePng(fs.readFileSync(path.join(siteDir, icon.src)));
      check(icon.sizes === `${img.width}x${img.height}`, `${icon.src} is ${icon.sizes} as the manifest says (${img.width}x${img.height})`);
    }
    stop();
    await page.setOfflineMode(true);
    await page.reload();
    check(await gameStarted(page) && await untilDrawn(page, 30000, anythingDrawn), "offline, the game starts and draws");
    check(errors.length === 0, `no page errors offline ${errors.join("; ")}`);
  } finally {
    stop();
    if (page) await page.close();
  }
}

// A new build (here, page.css changed) is a new cache name; the next visit installs it,
// and the cache of the build before is gone.
export async function newBuildReplaces(context, siteDir) {
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), "gf-web-site-"));
  fs.cpSync(siteDir, copy, { recursive: true });
  const { base, stop } = await ownServer(copy);
  try {
    const { page, errors } = await openGameIn(context, base, landscape);
    check(await gameStarted(page) && await keptForOffline(page, copy), "the first build is kept");
    const first = await cacheNames(page);
    check(stampWorker(copy) === workerBuild(siteDir), "building the same files again keeps the cache's name");
    fs.appendFileSync(path.join(copy, "page.css"), "\n/* the next build */\n");
    const next = stampWorker(copy);
    check(!first.includes(next), `a changed file gives a new cache name (${first} -> ${next})`);
    await page.reload();
    check(await gameStarted(page), "the page starts, from the build it kept");
    const replaced = await pollUntil(60000, async () => JSON.stringify(await cacheNames(page)) === JSON.stringify([next]));
    check(replaced, `the new build's cache replaces the old one (${await cacheNames(page)})`);
    await page.reload();
    check(await gameStarted(page), "the next visit starts");
    const css = await page.evaluate(() => fetch("page.css").then((r) => r.text()));
    check(css.includes("the next build") && await keptFiles(page, next) === workerFiles(copy).split(" ").length,
          "the next visit plays the new build, all of it kept");
    check(errors.length === 0, `no page errors across the update ${errors.join("; ")}`);
  } finally {
    stop();
    fs.rmSync(copy, { recursive: true, force: true });
  }
}

// A standard pad the test holds: navigator.getGamepads hands it out once it is plugged in,
// as SDL reads pads, each frame.
function fakePad() {
  const buttons = Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 }));
  const pad = { id: "Test pad (STANDARD GAMEPAD)", index: 0, connected: true, mapping: "standard",
                timestamp: 1, axes: [0, 0, 0, 0], buttons };
  let plugged = false;
  Object.defineProperty(navigator, "getGamepads", { configurable: true, value: () => [plugged ? pad : null, null, null, null] });
  window.gfPad = {
    plug() {
      plugged = true;
      const e = new Event("gamepadconnected");
      e.gamepad = pad;
      window.dispatchEvent(e);
    },
    hold(button, stickY) {
      buttons.forEach((b, i) => { b.pressed = b.touched = i === button; b.value = i === button ? 1 : 0; });
      pad.axes[1] = stickY;
      pad.timestamp = performance.now();
    },
  };
}

// Holding the pad's D-pad up, or its left stick, climbs the sleigh in a round.
export async function padSteers(context, base) {
  const { page, errors } = await openGame(context, base, fakePad);
  check(await gameStarted(page), "the game page starts");
  await page.evaluate(() => window.gfPad.plug());
  await page.keyboard.press("Escape");
  await framesPass(page, 10);
  let started = false;
  for (let i = 0; i < 20 && !started; i++) {
    await page.mouse.click(320, 222);
    started = await until(page, 3000, groundLit);
  }
  check(started, "a round starts");
  // The sleigh flies in over the round's first 67 frames, which a page in step with its
  // animation frames may not yet have drawn.
  await framesPass(page, 90);
  for (const [what, button, stickY] of [["D-pad up", 12, 0], ["the left stick pushed up", -1, -1]]) {
    await page.keyboard.down("ArrowDown");  // to the bottom first, so that up has room
    await framesPass(page, 90);
    await page.keyboard.up("ArrowDown");
    await framesPass(page, 10);
    const low = sleighRow(await shot(page));
    await page.evaluate((b, y) => window.gfPad.hold(b, y), button, stickY);
    // Watched until it shows, or for 20 s: a loaded machine may take many frames to get there.
    let high = low;
    const climbed = await until(page, 20000, (img) => (high = sleighRow(img)) < low - 40);
    await page.evaluate(() => window.gfPad.hold(-1, 0));
    check(climbed, `${what} climbs the sleigh (from row ${low} to ${high})`);
  }
  check(errors.length === 0, `no page errors with a pad ${errors.join("; ")}`);
}

// A phone's first visit (a CPU four times slower, a slow mobile network) against its
// second, which the service worker serves; and what the game page downloads.
export async function phoneFirstFrame(context, siteDir) {
  const { base, stop } = await ownServer(siteDir);
  try {
    const page = await context.newPage();
    await page.setViewport(landscape);
    const session = await page.createCDPSession();
    await session.send("Emulation.setCPUThrottlingRate", { rate: 4 });
    await session.send("Network.enable");
    await session.send("Network.emulateNetworkConditions", { offline: false, latency: 400,
                                                             downloadThroughput: 400000 / 8, uploadThroughput: 400000 / 8 });
    const visit = async () => {
      await page.goto(`${base}/index.html`);
      check(await pageHolds(page, 600000, () => window.gfFirstFrameMs > 0), "the game draws its first frame");
      return page.evaluate(() => window.gfFirstFrameMs);
    };
    const first = await visit();
    check(await keptForOffline(page, siteDir), "the service worker keeps the game's files");
    const second = await visit();
    let raw = 0, gz = 0;
    for (const f of workerFiles(siteDir).split(" ").concat("sw.js")) {
      const bytes = fs.readFileSync(path.join(siteDir, f));
      raw += bytes.length;
      gz += execFileSync("gzip", ["-9c"], { input: bytes, maxBuffer: 1 << 28 }).length;
    }
    console.log(`phone (CPU / 4, 400 kbit/s, 400 ms): first frame ${(first / 1000).toFixed(1)} s on the first visit, ` +
                `${(second / 1000).toFixed(1)} s from the service worker; the game page's files ` +
                `${(raw / 1048576).toFixed(2)} MiB raw, ${(gz / 1048576).toFixed(2)} MiB gzipped`);
  } finally {
    stop();
  }
}
