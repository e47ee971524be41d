// The browser build in headless Chromium (SwiftShader WebGL 2), and in Firefox and WebKit
// (engines.mjs):
// - the runner page gives the very traces the desktop runner gives;
// - the game page draws the intro, skips it on Escape, starts a round on a click on
//   "Start Game", and steers; its saves survive a reload, a hidden page and a second tab;
//   no page errors (game.mjs).
// Each test runs on its own (harness.mjs): what it throws fails it as one check and the run
// goes on. The last line is `web: N passed, N failed, N skipped`.
// Usage: node run.mjs SITE_DIR NATIVE_BUILD_DIR [--measure]
// --measure also reports the frame rate, the game's own work per frame and the site's size.
// GF_WEB_SKIP_TRACES=1 skips the long trace comparisons, GF_WEB_ONLY=TEXT all tests but those
// whose names hold TEXT (reported as skipped).
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import puppeteer from "puppeteer-core";

import { badStartShows, choiceSurvivesAnyEnd, earlierSavesLoad, frameRate, gamePlays, hidingKeepsTheSaves,
         refusedStoragePlays, savesSurvive, twoTabsKeepTheNewest } from "./game.mjs";
import { engineSaves, enginePlays, engineTraces, openFirefox, openWebKit, startDisplay } from "./engines.mjs";
import { anyFailed, check, runTest, skip, summary } from "./harness.mjs";
import { installsAndPlaysOffline, newBuildReplaces, padSteers, pageHoldsStill, phoneFirstFrame, tapsPlay } from "./phone.mjs";
import { firstDifference, nativeTrace, pageTrace, pixelsOff, scriptDirs, scriptFile } from "./runner.mjs";
import { serve } from "./serve.mjs";

const [siteDir, nativeDir] = process.argv.slice(2).map((p) => path.resolve(p));
const measure = process.argv.includes("--measure");
if (!siteDir || !nativeDir) {
  console.error("usage: node run.mjs SITE_DIR NATIVE_BUILD_DIR [--measure]");
  process.exit(2);
}
async function browserTrace(context, base, name, clock, frames, mode = null, shots = []) {
  const page = await context.newPage();
  const errors = [];
  page.on("pageerror", (e) => errors.push(String(e)));
  const result = await pageTrace(page, base, name, clock, frames, mode, shots);
  await page.close();
  return { ...result, errors };
}

const traceCases = [
  { name: "golden.txt", clock: 20261208, frames: 3100 },
  { name: "menus.txt", clock: 99, frames: 700 },
  { name: "soak.txt", clock: 555 },
  { name: "every_present_1065.txt", clock: 1065, frames: 5470 },
];

async function tracesMatch(context, base) {
  for (const c of traceCases) {
    const want = nativeTrace(nativeDir, scriptFile(c.name), c.clock, c.frames);
    const got = await browserTrace(context, base, c.name, c.clock, c.frames);
    const frames = want.trace.split("\n").filter((l) => l).length;
    check(got.exitCode === want.code && got.trace === want.trace && frames > 0,
          `${c.name}: the browser trace equals the desktop one (${frames} frames, ` +
          `${got.seconds.toFixed(1)} s in the page)`);
    if (got.trace !== want.trace) console.log("  first difference at " + firstDifference(want.trace, got.trace));
    if (got.exitCode !== want.code) console.log(`  exit ${got.exitCode}, desktop ${want.code}: ${got.output}`);
    check(got.errors.length === 0, `${c.name}: no page errors ${got.errors.join("; ")}`);
  }
}

// A run that cannot go on says why on the runner page, not only in gfReplay.
async function runnerErrorsShow(context, base) {
  for (const [query, words] of [["script=scripts/no-such-script.txt", "cannot fetch the script"],
                                ["frames=zero", "--frames"]]) {
    const page = await context.newPage();
    await page.goto(`${base}/replay.html?${query}`);
    await page.waitForFunction(() => window.gfReplay && window.gfReplay.done, { timeout: 120000, polling: 200 });
    const shown = await page.evaluate(() => {
      const box = document.getElementById("problem");
      return box.classList.contains("shown") ? box.textContent : "";
    });
    check(shown.includes("The run stopped with status 2.") && shown.includes(words),
          `replay.html?${query}: the page says why the run stopped ("${shown.replace(/\s+/g, " ").slice(0, 120)}")`);
    await page.close();
  }
}

// Frames of the golden round drawn by WebGL 2 in the page and by the desktop's OpenGL, flat
// and in every colour pair: every pixel the same within 1. The renderer makes them so: one
// texel rule for sharp pictures, and corners on a grid that every rasteriser resolves
// exactly. Only the smooth font is filtered by each GL its own way, so its glyphs' edges
// may stray by a few steps; a wrong texel, or a pixel that one GL covers and the other
// does not, strays by far more. GF_WEB_KEEP_FRAMES=DIR keeps both pictures of each.
const glyphEdgeMost = 8, glyphEdgeShare = 0.01;
async function framesMatch(context, base) {
  const script = scriptFile("golden.txt"), frames = [40, 300, 650];
  const keep = process.env.GF_WEB_KEEP_FRAMES;
  for (const mode of [0, 1, 2, 3, 4]) {
    const want = nativeTrace(nativeDir, script, 20261208, 700, mode, frames);
    const got = await browserTrace(context, base, "golden.txt", 20261208, 700, mode, frames);
    for (const n of frames) {
      if (!got.shots[n]) { check(false, `3D mode ${mode}, frame ${n}: the page kept no picture`); continue; }
      const page = got.shots[n];
      if (keep) {
        fs.mkdirSync(keep, { recursive: true });
        fs.writeFileSync(path.join(keep, `mode${mode}-${n}-desktop.png`), want.shots[n]);
        fs.writeFileSync(path.join(keep, `mode${mode}-${n}-page.png`), page);
      }
      const { worst, off, pixels } = pixelsOff(want.shots[n], page);
      check(worst <= glyphEdgeMost && off <= glyphEdgeShare * pixels,
            `3D mode ${mode}, frame ${n}: the page draws the desktop's pixels within 1 but for ` +
            `glyph edges (${off} pixels off by more, by up to ${worst})`);
    }
  }
}

// The game's own work a frame, flat and in stereo, on the golden round (its crowded middle
// is the heaviest play), in the page against the desktop runner on this machine.
async function workPerFrame(context, base) {
  const script = scriptFile("golden.txt");
  for (const [mode, label] of [[0, "flat"], [1, "stereo"]]) {
    let best = { page: Infinity, desktop: Infinity };
    for (let i = 0; i < 3; i++) {
      const want = nativeTrace(nativeDir, script, 20261208, 3100, mode);
      const got = await browserTrace(context, base, "golden.txt", 20261208, 3100, mode);
      check(got.trace === want.trace, `golden.txt in ${label}: the browser trace equals the desktop one`);
      best = { page: Math.min(best.page, got.ms / 3100), desktop: Math.min(best.desktop, want.ms / 3100) };
    }
    console.log(`work a frame, ${label}: page ${best.page.toFixed(2)} ms, desktop ${best.desktop.toFixed(2)} ms ` +
                `(ratio ${(best.page / best.desktop).toFixed(2)}, best of 3)`);
  }
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

// Firefox and WebKit, one after the other, on one X display. An engine, and the display,
// start only when one of their tests runs (GF_WEB_ONLY), and then only once.
async function otherEngines() {
  let screen = null;
  try {
    for (const [engine, open] of [["firefox", openFirefox], ["webkit", openWebKit]]) {
      let opened = null;
      const lazily = {
        async createBrowserContext() {
          screen ??= await startDisplay();
          opened ??= await open(screen.display);
          return opened.createBrowserContext();
        },
      };
      try {
        await runTest(lazily, `${engine}: the game`, 5, (c) => enginePlays(c, base, engine));
        if (process.env.GF_WEB_SKIP_TRACES) skip(`${engine}: traces`, "GF_WEB_SKIP_TRACES is set");
        else await runTest(lazily, `${engine}: traces`, 15, (c) => engineTraces(c, base, engine, nativeDir));
        await runTest(lazily, `${engine}: saves across a reload`, 5, (c) => engineSaves(c, base, engine));
      } finally {
        if (opened) await opened.close();
      }
    }
  } finally {
    if (screen) screen.stop();
  }
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
  if (process.env.GF_WEB_SKIP_TRACES) skip("traces", "GF_WEB_SKIP_TRACES is set");
  else await runTest(browser, "traces", 60, (c) => tracesMatch(c, base));
  await runTest(browser, "frames", 30, (c) => framesMatch(c, base));
  await runTest(browser, "runner errors", 5, (c) => runnerErrorsShow(c, base));
  await runTest(browser, "game", 5, (c) => gamePlays(c, base));
  await runTest(browser, "saves across a reload", 5, (c) => savesSurvive(c, base));
  await runTest(browser, "saves of a hidden page", 5, (c) => hidingKeepsTheSaves(c, base));
  await runTest(browser, "saves of two tabs", 5, (c) => twoTabsKeepTheNewest(c, base));
  await runTest(browser, "saves after a reload or a close", 5, (c) => choiceSurvivesAnyEnd(c, base));
  await runTest(browser, "storage refused", 5, (c) => refusedStoragePlays(c, base));
  await runTest(browser, "saves an earlier page kept", 5, (c) => earlierSavesLoad(c, base));
  await runTest(browser, "a start that fails", 5, (c) => badStartShows(c, base));
  await runTest(browser, "phone: taps and Pause", 10, (c) => tapsPlay(c, base));
  await runTest(browser, "phone: the page holds still", 5, (c) => pageHoldsStill(c, base));
  await runTest(browser, "phone: installed, offline", 5, (c) => installsAndPlaysOffline(c, siteDir));
  await runTest(browser, "phone: a new build replaces the kept one", 5, (c) => newBuildReplaces(c, siteDir));
  await runTest(browser, "phone: a game pad", 5, (c) => padSteers(c, base));
  await otherEngines();
  if (measure) await runTest(browser, "phone: first frame", 25, (c) => phoneFirstFrame(c, siteDir));
  if (measure) {
    await runTest(browser, "frame rate", 5, (c) => frameRate(c, base));
    await runTest(browser, "work a frame", 60, (c) => workPerFrame(c, base));
    const { raw, gz } = siteSize();
    console.log(`site: ${(raw / 1048576).toFixed(2)} MiB raw, ${(gz / 1048576).toFixed(2)} MiB gzipped`);
    check(raw < 8 * 1048576, "the site stays under 8 MiB");
  }
} finally {
  await browser.close();
  server.close();
}
console.log(summary());
process.exit(anyFailed() ? 1 : 0);
