// The browser tests' harness: checks and their tally, tests that fail alone, and waits that
// poll against generous deadlines instead of sleeping.
import { decodePng } from "./png.mjs";

const tally = { passed: 0, failed: 0, skipped: 0 };
let consoles = [];  // the console lines of the current test's game pages

export function check(ok, what) {
  console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
  if (ok) tally.passed++;
  else tally.failed++;
  return ok;
}

export function skip(what, why) {
  console.log(`skip ${what} (${why})`);
  tally.skipped++;
}

// The line CI reads.
export function summary() {
  return `web: ${tally.passed} passed, ${tally.failed} failed, ${tally.skipped} skipped`;
}

export const anyFailed = () => tally.failed > 0;

// Runs test(context) in a browser context of its own: its own IndexedDB, so no page of an
// earlier test shares its saves. Anything it throws, or a run past `minutes`, fails it as
// one check; the context is closed after it, with every page it left open.
// GF_WEB_ONLY=TEXT runs only the tests whose names hold TEXT; the others count as skipped.
export async function runTest(browser, name, minutes, test) {
  const only = process.env.GF_WEB_ONLY;
  if (only && !name.includes(only)) return skip(name, `GF_WEB_ONLY is ${only}`);
  console.log(`-- ${name}`);
  const failedBefore = tally.failed;
  consoles = [];
  let context = null, timer = null;
  try {
    context = await browser.createBrowserContext();
    const run = test(context);
    run.catch(() => {});  // after a time-out its pages close under it
    const late = new Promise((_, reject) => {
      timer = setTimeout(() => reject(new Error(`still running after ${minutes} min`)), minutes * 60000);
    });
    await Promise.race([run, late]);
  } catch (e) {
    check(false, `${name}: ${String(e && e.stack ? e.stack.split("\n").slice(0, 3).join(" | ") : e)}`);
  } finally {
    clearTimeout(timer);
    if (context) await context.close().catch((e) => console.log(`  could not close its pages: ${e}`));
  }
  if (tally.failed > failedBefore) {
    for (const { url, lines } of consoles) {
      if (lines.length) console.log(`  console of ${url} (last ${Math.min(lines.length, 15)} lines):\n    ` +
                                    lines.slice(-15).join("\n    "));
    }
  }
}

export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

export async function shot(page) {
  return decodePng(await page.screenshot({ clip: { x: 0, y: 0, width: 640, height: 480 } }));
}

// Polls the screen until `test` holds; false after `ms`.
export async function until(page, ms, test) {
  const end = Date.now() + ms;
  while (Date.now() < end) {
    if (test(await shot(page))) return true;
    await sleep(250);
  }
  return false;
}

// True once the async `test` holds, false after `ms`.
export async function pollUntil(ms, test) {
  const end = Date.now() + ms;
  while (Date.now() < end) {
    if (await test()) return true;
    await sleep(250);
  }
  return false;
}

// True once `fn` holds in the page, false after `ms`.
export function pageHolds(page, ms, fn, ...args) {
  return page.waitForFunction(fn, { timeout: ms, polling: 100 }, ...args).then(() => true, () => false);
}

// `prepare`, when given, runs in the page before any of its own scripts.
export function openGame(context, base, prepare = null) {
  return openGameIn(context, base, { width: 640, height: 480 }, prepare);
}

// The game has loaded its saves and presented a frame. The screen alone cannot tell: the
// page's loading notice already lights it.
export function gameStarted(page, ms = 60000) {
  return pageHolds(page, ms, () => window.gfFrames > 0);
}

// Waits until the game has presented `n` more frames: game time, however slow the machine.
export async function framesPass(page, n, ms = 30000) {
  const start = await page.evaluate(() => window.gfFrames || 0);
  return pageHolds(page, ms, (s, k) => (window.gfFrames || 0) >= s + k, start, n);
}

// A save as the page kept it in IndexedDB (as IDBFS keeps /save), or null.
export function storedSave(page, name) {
  return page.evaluate((name) => new Promise((resolve, reject) => {
    const open = indexedDB.open("/save");
    open.onerror = () => reject(open.error);
    open.onsuccess = () => {
      const db = open.result;
      if (!db.objectStoreNames.contains("FILE_DATA")) {
        db.close();
        return resolve(null);
      }
      const get = db.transaction(["FILE_DATA"], "readonly").objectStore("FILE_DATA").get("/save/" + name);
      get.onerror = () => reject(get.error);
      get.onsuccess = () => {
        db.close();
        resolve(get.result ? Array.from(get.result.contents) : null);
      };
    };
  }), name);
}

// A save in the page's /save, or null.
export function savedFile(page, name) {
  return page.evaluate((name) => {
    try {
      return Array.from(FS.readFile("/save/" + name));
    } catch (e) {
      return null;
    }
  }, name);
}

// A save's bytes: one 32-bit little-endian integer.
export const int32 = (v) => [v & 255, (v >> 8) & 255, (v >> 16) & 255, (v >>> 24) & 255];
export const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);

// openGame in another viewport: a phone's, say ({ width, height, isMobile, hasTouch }).
export async function openGameIn(context, base, viewport, prepare = null) {
  const page = await context.newPage();
  if (prepare) await page.evaluateOnNewDocument(prepare);
  await page.setViewport(viewport);
  const errors = [], lines = [];
  page.on("pageerror", (e) => errors.push(String(e)));
  page.on("console", (m) => lines.push(m.text()));
  consoles.push({ url: `${base}/index.html`, lines });
  await page.goto(`${base}/index.html`);
  return { page, errors, console_: lines };
}
