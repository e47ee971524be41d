// The game page and the runner page in the other engines a phone may have: Firefox, and
// WebKit (Safari's engine, and every browser's on an iPhone). Both draw WebGL 2 with Mesa,
// so they need an X display: one Xvfb serves both. In each: the game starts and draws,
// the runner's traces and pictures equal the desktop's, the saves survive a reload, and the
// page shows no problem.
import { spawn } from "node:child_process";
import puppeteer from "puppeteer-core";

import { check, framesPass, gameStarted, int32, same, savedFile } from "./harness.mjs";
import { decodePng, regionMean } from "./png.mjs";
import { firstDifference, nativeTrace, pageTrace, pixelsOff, scriptFile } from "./runner.mjs";
import { startWebKit } from "./webdriver.mjs";

// An Xvfb display of its own: { display: ":N", stop() }.
export function startDisplay() {
  return new Promise((resolve, reject) => {
    const x = spawn("Xvfb", ["-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                    { stdio: ["ignore", "ignore", "ignore", "pipe"] });
    let text = "";
    x.on("error", reject);
    x.on("exit", (code) => reject(new Error(`Xvfb ended with status ${code} before it had a display`)));
    x.stdio[3].on("data", (d) => {
      text += d;
      if (text.includes("\n")) resolve({ display: `:${text.trim()}`, stop: () => x.kill() });
    });
  });
}

// Each engine opens as a "browser" whose contexts give pages with puppeteer's few calls
// that the tests use (goto, reload, evaluate, waitForFunction, screenshot, close).
export async function openFirefox(display) {
  return puppeteer.launch({ browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: true,
                            env: { ...process.env, DISPLAY: display }, protocolTimeout: 900000 });
}

export async function openWebKit(display) {
  const driver = await startWebKit(display);
  return {
    // A context is a set of sessions, each a MiniBrowser with its own storage.
    async createBrowserContext() {
      const sessions = [];
      return {
        async newPage() {
          const s = await driver.newSession();
          sessions.push(s);
          return s;
        },
        close: () => Promise.all(sessions.map((s) => s.close())),
      };
    },
    close: async () => driver.stop(),
  };
}

async function startedGame(context, base, engine) {
  const page = await context.newPage();
  await page.goto(`${base}/index.html`);
  check(await gameStarted(page), `${engine}: the game page starts`);
  return page;
}

// Nothing on the page says the game stopped or could not start, and no script failed.
async function noProblem(page) {
  return page.evaluate(() => !document.getElementById("problem").classList.contains("shown") &&
                             (window.gfErrors || []).length === 0);
}

// The intro draws a moving picture: falling snow, in a lit scene.
export async function enginePlays(context, base, engine) {
  const page = await startedGame(context, base, engine);
  await framesPass(page, 30);
  const first = decodePng(await page.screenshot());
  await framesPass(page, 30);
  const later = decodePng(await page.screenshot());
  const lit = regionMean(later, 0, 0, later.width, later.height).some((v) => v > 20);
  let moved = 0;
  for (let i = 0; i < first.px.length && first.px.length === later.px.length; i++) moved += first.px[i] !== later.px[i];
  check(lit && moved > 100, `${engine}: the intro draws and moves (${moved} channel values changed in 30 frames)`);
  check(await noProblem(page), `${engine}: the game page shows no problem`);
}

// The golden round and the menus through the runner page: the desktop's traces, and the
// desktop's pictures within 1 (both sides draw with Mesa). Early frames of a fresh page catch
// a picture read before the drawing finished: WebKit can show an older frame then.
export async function engineTraces(context, base, engine, nativeDir) {
  const shots = [10, 20, 40, 300];
  for (const [name, clock, frames] of [["golden.txt", 20261208, 3100], ["menus.txt", 99, 700]]) {
    const golden = name === "golden.txt";
    const page = await context.newPage();  // a fresh one: a read too early is likeliest there
    const want = nativeTrace(nativeDir, scriptFile(name), clock, frames, null, golden ? shots : []);
    const got = await pageTrace(page, base, name, clock, frames, null, golden ? shots : []);
    const lines = want.trace.split("\n").filter((l) => l).length;
    check(got.exitCode === want.code && got.trace === want.trace && lines > 0,
          `${engine}: ${name} gives the desktop's trace (${lines} frames, ${got.seconds.toFixed(1)} s)`);
    if (got.trace !== want.trace) console.log("  first difference at " + firstDifference(want.trace, got.trace));
    await page.close();  // WebKit's driver keeps one session at a time
    if (!golden) continue;
    for (const n of shots) {
      const { worst, off } = got.shots[n] ? pixelsOff(want.shots[n], got.shots[n]) : { worst: 255, off: -1 };
      check(worst <= 1, `${engine}: golden.txt frame ${n} is the desktop's picture within 1 ` +
                        `(${off} pixels off by more, by up to ${worst})`);
    }
  }
}

// A save written to /save reaches IndexedDB, and the reloaded game reads it.
export async function engineSaves(context, base, engine) {
  const page = await startedGame(context, base, engine);
  const kept = await page.evaluate(() => {
    FS.writeFile("/save/hiscore.dat", new Uint8Array([57, 48, 0, 0]));
    return Module.gfPersist();
  });
  check(kept, `${engine}: a save reaches IndexedDB`);
  await page.reload();
  check(await gameStarted(page), `${engine}: the reloaded page starts`);
  const loaded = await savedFile(page, "hiscore.dat");
  check(same(loaded, int32(12345)), `${engine}: the save survives a reload (${loaded}, want 57,48,0,0)`);
  check(await noProblem(page), `${engine}: the reloaded page shows no problem`);
}
