// The browser build in headless Chromium (SwiftShader WebGL 2):
// - the runner page gives the very traces the desktop runner gives;
// - the game page draws the intro, skips it on Escape, starts a round on a click on
//   "Start Game", and steers; its saves survive a reload; no page errors.
// Usage: node run.mjs SITE_DIR NATIVE_BUILD_DIR [--measure]
// --measure also reports the frame rate, the game's own work per frame and the site's size.
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";
import puppeteer from "puppeteer-core";

import { serve } from "./serve.mjs";
import { decodePng, regionMean } from "./png.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
const [siteDir, nativeDir] = process.argv.slice(2).map((p) => path.resolve(p));
const measure = process.argv.includes("--measure");
if (!siteDir || !nativeDir) {
  console.error("usage: node run.mjs SITE_DIR NATIVE_BUILD_DIR [--measure]");
  process.exit(2);
}
const scriptDirs = [path.join(here, "scripts"), path.join(here, "../integration/scripts")];

let failures = 0;
function check(ok, what) {
  console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
  if (!ok) failures++;
  return ok;
}

// The same script through the desktop runner, in a game folder of its own.
function nativeTrace(script, clock, frames, mode = null, shots = []) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), "gf-web-native-"));
  fs.mkdirSync(path.join(dir, "Data"));
  if (mode !== null) fs.writeFileSync(path.join(dir, "Data", "anaglyph3d.dat"), Buffer.from([mode, 0, 0, 0]));
  for (const f of fs.readdirSync(path.join(nativeDir, "Data"))) {
    if (f.endsWith(".ogg")) fs.copyFileSync(path.join(nativeDir, "Data", f), path.join(dir, "Data", f));
  }
  const args = ["--game-dir", dir, "--script", script, "--clock-start", String(clock),
                "--trace", path.join(dir, "trace.jsonl")];
  if (frames) args.push("--frames", String(frames));
  for (const n of shots) args.push("--shot", `${n}:${path.join(dir, `shot-${n}.png`)}`);
  let code = 0;
  const started = process.hrtime.bigint();
  try {
    execFileSync(path.join(nativeDir, "glimmerfrost-replay"), args,
                 { env: { ...process.env, SDL_VIDEODRIVER: "offscreen" }, stdio: "ignore" });
  } catch (e) {
    code = e.status ?? -1;
  }
  const ms = Number(process.hrtime.bigint() - started) / 1e6;
  const trace = fs.readFileSync(path.join(dir, "trace.jsonl"), "utf8");
  const pictures = {};
  for (const n of shots) pictures[n] = fs.readFileSync(path.join(dir, `shot-${n}.png`));
  fs.rmSync(dir, { recursive: true, force: true });
  return { code, trace, ms, shots: pictures };
}

function firstDifference(a, b) {
  const la = a.split("\n"), lb = b.split("\n");
  for (let i = 0; i < Math.max(la.length, lb.length); i++) {
    if (la[i] !== lb[i]) return `line ${i + 1}:\n  desktop ${la[i]}\n  browser ${lb[i]}`;
  }
  return "none";
}

async function browserTrace(browser, base, name, clock, frames, mode = null, shots = []) {
  const page = await browser.newPage();
  const errors = [];
  page.on("pageerror", (e) => errors.push(String(e)));
  let url = `${base}/replay.html?script=scripts/${name}&clock-start=${clock}`;
  if (frames) url += `&frames=${frames}`;
  if (mode !== null) url += `&anaglyph=${mode}`;
  for (const n of shots) url += `&shot=${n}`;
  const started = Date.now();
  await page.goto(url);
  await page.waitForFunction(() => window.gfReplay && window.gfReplay.done,
                             { timeout: 600000, polling: 500 });
  const result = await page.evaluate(() => window.gfReplay);
  await page.close();
  return { ...result, errors, seconds: (Date.now() - started) / 1000 };
}

const traceCases = [
  { name: "golden.txt", clock: 20261208, frames: 3100 },
  { name: "menus.txt", clock: 99, frames: 700 },
  { name: "soak.txt", clock: 555 },
  { name: "every_present_1065.txt", clock: 1065, frames: 5470 },
];

async function tracesMatch(browser, base) {
  for (const c of traceCases) {
    const file = scriptDirs.map((d) => path.join(d, c.name)).find((f) => fs.existsSync(f));
    const want = nativeTrace(file, c.clock, c.frames);
    const got = await browserTrace(browser, base, c.name, c.clock, c.frames);
    const frames = want.trace.split("\n").filter((l) => l).length;
    check(got.exitCode === want.code && got.trace === want.trace && frames > 0,
          `${c.name}: the browser trace equals the desktop one (${frames} frames, ` +
          `${got.seconds.toFixed(1)} s in the page)`);
    if (got.trace !== want.trace) console.log("  first difference at " + firstDifference(want.trace, got.trace));
    if (got.exitCode !== want.code) console.log(`  exit ${got.exitCode}, desktop ${want.code}: ${got.output}`);
    check(got.errors.length === 0, `${c.name}: no page errors ${got.errors.join("; ")}`);
  }
}

// Frames of the golden round drawn by WebGL 2 in the page and by the desktop's OpenGL, flat
// and in every colour pair. Most pixels are the same within 1. Two kinds differ between
// GL implementations, a few percent of the frame: the mountains, stretched 1.5 times with
// nearest sampling, put every third row's samples exactly on a texel edge, where each GL
// rounds its own way; and the smoothed glyphs' edges filter a little differently.
async function framesMatch(browser, base) {
  const script = path.join(here, "scripts", "golden.txt"), frames = [40, 300, 650];
  for (const mode of [0, 1, 2, 3, 4]) {
    const want = nativeTrace(script, 20261208, 700, mode, frames);
    const got = await browserTrace(browser, base, "golden.txt", 20261208, 700, mode, frames);
    for (const n of frames) {
      if (!got.shots[n]) { check(false, `3D mode ${mode}, frame ${n}: the page kept no picture`); continue; }
      const a = decodePng(want.shots[n]), b = decodePng(Buffer.from(got.shots[n], "base64"));
      let worst = 0, off = 0;
      for (let y = 0; y < a.height; y++) {
        for (let x = 0; x < a.width; x++) {
          let d = 0;
          for (let k = 0; k < 3; k++) {
            d = Math.max(d, Math.abs(a.px[(y * a.width + x) * a.channels + k] - b.px[(y * b.width + x) * b.channels + k]));
          }
          worst = Math.max(worst, d);
          off += d > 1;
        }
      }
      check(a.width === b.width && off * 12 <= a.width * a.height,
            `3D mode ${mode}, frame ${n}: the page draws the desktop's pixels but for texel ` +
            `edges (${(100 * off / (a.width * a.height)).toFixed(1)} % off by more than 1, worst ${worst})`);
    }
  }
}

async function shot(page) {
  return decodePng(await page.screenshot({ clip: { x: 0, y: 0, width: 640, height: 480 } }));
}

// Polls the screen until `test` holds; false after `ms`.
async function until(page, ms, test) {
  const end = Date.now() + ms;
  while (Date.now() < end) {
    if (test(await shot(page))) return true;
    await new Promise((r) => setTimeout(r, 250));
  }
  return false;
}

// As the desktop tests judge the screen: the lit ground of a round is bright blue below.
const groundLit = (img) => regionMean(img, 0, 400, 640, 480)[2] > 115;
const anythingDrawn = (img) => regionMean(img, 0, 0, 640, 480).some((v) => v > 8);

async function openGame(browser, base) {
  const page = await browser.newPage();
  await page.setViewport({ width: 640, height: 480 });
  const errors = [], console_ = [];
  page.on("pageerror", (e) => errors.push(String(e)));
  page.on("console", (m) => console_.push(m.text()));
  await page.goto(`${base}/index.html`);
  return { page, errors, console_ };
}

async function gamePlays(browser, base) {
  const { page, errors } = await openGame(browser, base);
  check(await until(page, 30000, anythingDrawn), "the game page draws the intro");
  const intro = regionMean(await shot(page), 0, 0, 640, 480);
  await page.keyboard.press("Escape");
  const title = await until(page, 10000, (img) => {
    const m = regionMean(img, 0, 0, 640, 480);
    return Math.abs(m[0] - intro[0]) + Math.abs(m[1] - intro[1]) + Math.abs(m[2] - intro[2]) > 3;
  });
  check(title, "Escape skips the intro");
  // "Start Game" is the first entry of the title menu.
  let started = false;
  for (let i = 0; i < 20 && !started; i++) {
    await page.mouse.click(320, 222);
    started = await until(page, 1000, groundLit);
  }
  check(started, "a click on Start Game starts a round");
  const before = await shot(page);
  await page.keyboard.down("ArrowUp");
  await new Promise((r) => setTimeout(r, 700));
  const after = await shot(page);
  await page.keyboard.up("ArrowUp");
  // The player flies at the left; holding Up moves it.
  const moved = regionMean(before, 0, 60, 200, 400).some(
      (v, k) => Math.abs(v - regionMean(after, 0, 60, 200, 400)[k]) > 0.5);
  check(moved, "Up steers the player");
  // Alt+Enter asks the page for full screen, and again to leave it.
  const full = () => page.evaluate(() => document.fullscreenElement !== null);
  const altEnter = async () => {
    await page.keyboard.down("Alt");
    await page.keyboard.press("Enter");
    await page.keyboard.up("Alt");
  };
  await altEnter();
  const entered = await page.waitForFunction(() => document.fullscreenElement !== null,
                                             { timeout: 5000 }).then(() => true, () => false);
  await altEnter();
  const left = await page.waitForFunction(() => document.fullscreenElement === null,
                                          { timeout: 5000 }).then(() => true, () => false);
  check(entered && left && !(await full()), "Alt+Enter switches full screen on and off");
  check(errors.length === 0, `no page errors on the game page ${errors.join("; ")}`);
  await page.close();
}

// The best score and the 3D choice live in IndexedDB: a reload finds them.
async function savesSurvive(browser, base) {
  const { page, errors } = await openGame(browser, base);
  await until(page, 30000, anythingDrawn);
  const written = await page.evaluate(async () => {
    FS.writeFile("/save/anaglyph3d.dat", new Uint8Array([3, 0, 0, 0]));
    await new Promise((r, j) => FS.syncfs(false, (e) => (e ? j(e) : r())));
    return true;
  });
  await page.reload();
  await until(page, 30000, anythingDrawn);
  const back = await page.evaluate(() => Array.from(FS.readFile("/save/anaglyph3d.dat")));
  check(written && back.join(",") === "3,0,0,0", "a saved file survives a reload");
  // The game reads it back: leaving the game writes both files again, from what it read.
  // Past the intro, then two quick Escapes on the title.
  await page.keyboard.press("Escape");
  await until(page, 5000, () => true);
  await new Promise((r) => setTimeout(r, 1000));
  await page.keyboard.press("Escape");
  await new Promise((r) => setTimeout(r, 100));
  await page.keyboard.press("Escape");
  const ended = await page.waitForFunction(
      () => document.getElementById("ended").classList.contains("shown"), { timeout: 20000 })
      .then(() => true, () => false);
  check(ended, "Escape on the title ends the game and the page offers to play again");
  const after = await page.evaluate(() => Array.from(FS.readFile("/save/anaglyph3d.dat")));
  check(after.join(",") === "3,0,0,0", "the game kept the 3D choice it loaded");
  const hiscore = await page.evaluate(() => { try { return FS.readFile("/save/hiscore.dat").length; } catch (e) { return 0; } });
  check(hiscore > 0, "the game saved its best score on the way out");
  await page.click("#again");
  check(await until(page, 20000, anythingDrawn), "Play again starts the game afresh");
  check(errors.length === 0, `no page errors across a reload ${errors.join("; ")}`);
  await page.close();
}

// The game's own work a frame, flat and in stereo, on the golden round (its crowded middle
// is the heaviest play), in the page against the desktop runner on this machine.
async function workPerFrame(browser, base) {
  const script = path.join(here, "scripts", "golden.txt");
  for (const [mode, label] of [[0, "flat"], [1, "stereo"]]) {
    let best = { page: Infinity, desktop: Infinity };
    for (let i = 0; i < 3; i++) {
      const want = nativeTrace(script, 20261208, 3100, mode);
      const got = await browserTrace(browser, base, "golden.txt", 20261208, 3100, mode);
      check(got.trace === want.trace, `golden.txt in ${label}: the browser trace equals the desktop one`);
      best = { page: Math.min(best.page, got.ms / 3100), desktop: Math.min(best.desktop, want.ms / 3100) };
    }
    console.log(`work a frame, ${label}: page ${best.page.toFixed(2)} ms, desktop ${best.desktop.toFixed(2)} ms ` +
                `(ratio ${(best.page / best.desktop).toFixed(2)}, best of 3)`);
  }
}

// Frames a second while a round plays, and the time from navigation to the first frame.
async function frameRate(browser, base) {
  const { page } = await openGame(browser, base);
  await until(page, 30000, anythingDrawn);
  const first = await page.evaluate(() => window.gfFirstFrameMs);
  await page.keyboard.press("Escape");
  await new Promise((r) => setTimeout(r, 1000));
  await page.mouse.click(320, 222);
  await until(page, 10000, groundLit);
  const count = () => page.evaluate(() => [window.gfFrames, performance.now()]);
  const [f0, t0] = await count();
  await new Promise((r) => setTimeout(r, 5000));
  const [f1, t1] = await count();
  const fps = ((f1 - f0) * 1000) / (t1 - t0);
  console.log(`first frame ${(first / 1000).toFixed(2)} s after navigation; ${fps.toFixed(1)} frames a second in a round`);
  check(fps > 57, "the game holds 60 frames a second");
  await page.close();
}

// A tab may be closed without a shutdown: hiding the page writes the saves and keeps them.
async function hidingKeepsTheSaves(browser, base) {
  const { page, errors } = await openGame(browser, base);
  await until(page, 30000, anythingDrawn);
  // The game loaded the mode that an earlier page kept; Return on "3D Graphics" steps it.
  const loaded = await page.evaluate(() => {
    try { return FS.readFile("/save/anaglyph3d.dat")[0]; } catch (e) { return 0; } finally {
      try { FS.unlink("/save/anaglyph3d.dat"); } catch (e) {}
    }
  });
  const want = `${(loaded + 1) % 5},0,0,0`;
  await page.keyboard.press("Escape");
  await new Promise((r) => setTimeout(r, 1000));
  await page.keyboard.press("ArrowDown");  // "3D Graphics"
  await new Promise((r) => setTimeout(r, 200));
  await page.keyboard.press("Enter");
  await new Promise((r) => setTimeout(r, 500));
  await page.evaluate(() => window.dispatchEvent(new Event("pagehide")));
  await new Promise((r) => setTimeout(r, 1500));
  await page.reload();
  await until(page, 30000, anythingDrawn);
  const kept = await page.evaluate(() => { try { return Array.from(FS.readFile("/save/anaglyph3d.dat")).join(","); } catch (e) { return "none"; } });
  check(kept === want, `a 3D choice made before the page was hidden is kept (${kept}, want ${want})`);
  check(errors.length === 0, `no page errors when hidden ${errors.join("; ")}`);
  await page.close();
}

// A file that fails to load is said in words on the page.
async function badStartShows(browser, base) {
  const page = await browser.newPage();
  await page.setRequestInterception(true);
  page.on("request", (r) => (r.url().endsWith(".data") ? r.abort() : r.continue()));
  await page.goto(`${base}/index.html`);
  const said = await page.waitForFunction(() => {
    const box = document.getElementById("problem");
    return box.classList.contains("shown") && box.textContent.length > 20;
  }, { timeout: 20000 }).then(() => true, () => false);
  check(said, "a sounds' package that fails to load is said on the page");
  await page.close();
}

function siteSize() {
  let raw = 0, gz = 0;
  for (const f of fs.readdirSync(siteDir)) {
    const bytes = fs.readFileSync(path.join(siteDir, f));
    raw += bytes.length;
    gz += execFileSync("gzip", ["-9c"], { input: bytes, maxBuffer: 1 << 28 }).length;
  }
  return { raw, gz };
}

const server = await serve(siteDir, { "/scripts/": scriptDirs });
const base = `http://127.0.0.1:${server.address().port}`;
const browser = await puppeteer.launch({
  executablePath: process.env.GF_CHROMIUM || "/usr/bin/chromium",
  headless: true,
  args: ["--no-sandbox", "--use-gl=angle", "--use-angle=swiftshader",
         "--enable-unsafe-swiftshader", "--autoplay-policy=no-user-gesture-required"],
  protocolTimeout: 900000,
});
try {
  if (!process.env.GF_WEB_SKIP_TRACES) await tracesMatch(browser, base);
  await framesMatch(browser, base);
  await gamePlays(browser, base);
  await savesSurvive(browser, base);
  await hidingKeepsTheSaves(browser, base);
  await badStartShows(browser, base);
  if (measure) {
    await frameRate(browser, base);
    await workPerFrame(browser, base);
    const { raw, gz } = siteSize();
    console.log(`site: ${(raw / 1048576).toFixed(2)} MiB raw, ${(gz / 1048576).toFixed(2)} MiB gzipped`);
    check(raw < 8 * 1048576, "the site stays under 8 MiB");
  }
} finally {
  await browser.close();
  server.close();
}
console.log(failures ? `${failures} failed` : "all passed");
process.exit(failures ? 1 : 0);
