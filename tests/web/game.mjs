// The game page: it plays, keeps its saves across reloads, hidden pages and a second tab,
// and says in words when it cannot start.
import { regionMean } from "./png.mjs";
import { check, framesPass, gameStarted, int32, openGame, pageHolds, pollUntil, same, savedFile,
         shot, sleep, storedSave, until } from "./harness.mjs";

// As the desktop tests judge the screen: the lit ground of a round is bright blue below.
const groundLit = (img) => regionMean(img, 0, 400, 640, 480)[2] > 115;
const anythingDrawn = (img) => regionMean(img, 0, 0, 640, 480).some((v) => v > 8);

// Past the intro: Escape, then a few frames for the title to come up (the intro flushes the
// keys it ends on).
async function toTitle(page) {
  await page.keyboard.press("Escape");
  return framesPass(page, 10);
}

// Escape on the title ends the game, and the page offers to play again.
async function leaveGame(page) {
  const ended = () => document.getElementById("ended").classList.contains("shown");
  for (let i = 0; i < 20; i++) {
    await page.keyboard.press("Escape");
    if (await pageHolds(page, 1500, ended)) return true;
  }
  return false;
}

export async function gamePlays(context, base) {
  const { page, errors } = await openGame(context, base);
  check(await gameStarted(page) && await until(page, 30000, anythingDrawn), "the game page draws the intro");
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
    started = await until(page, 3000, groundLit);
  }
  check(started, "a click on Start Game starts a round");
  // The player flies at the left; holding Up moves it.
  const before = regionMean(await shot(page), 0, 60, 200, 400);
  await page.keyboard.down("ArrowUp");
  const moved = await until(page, 5000,
                            (img) => regionMean(img, 0, 60, 200, 400).some((v, k) => Math.abs(v - before[k]) > 0.5));
  await page.keyboard.up("ArrowUp");
  check(moved, "Up steers the player");
  // Alt+Enter asks the page for full screen, and again to leave it.
  const altEnter = async () => {
    await page.keyboard.down("Alt");
    await page.keyboard.press("Enter");
    await page.keyboard.up("Alt");
  };
  // A 16:10 screen: full screen keeps the picture 4:3, centred between black bars.
  await page.setViewport({ width: 1280, height: 800 });
  await altEnter();
  const entered = await pageHolds(page, 10000, () => document.fullscreenElement !== null);
  await framesPass(page, 2);
  const box = await page.evaluate(() => {
    const r = document.getElementById("canvas").getBoundingClientRect();
    return [r.left, r.top, r.width, r.height].map(Math.round);
  });
  check(same(box, [107, 0, 1067, 800]), `full screen shows the picture at 4:3 (${box}, want 107,0,1067,800)`);
  await altEnter();
  const left = await pageHolds(page, 10000, () => document.fullscreenElement === null);
  check(entered && left, "Alt+Enter switches full screen on and off");
  check(errors.length === 0, `no page errors on the game page ${errors.join("; ")}`);
}

// The best score and the 3D choice live in IndexedDB: a reload finds them, and the game
// reads them.
export async function savesSurvive(context, base) {
  const { page, errors } = await openGame(context, base);
  check(await gameStarted(page), "the game page starts");
  const kept = await page.evaluate(() => {
    FS.writeFile("/save/anaglyph3d.dat", new Uint8Array([3, 0, 0, 0]));
    return Module.gfPersist();
  });
  check(kept && same(await storedSave(page, "anaglyph3d.dat"), [3, 0, 0, 0]), "a save reaches IndexedDB");
  await page.reload();
  check(await gameStarted(page), "the reloaded page starts");
  check(same(await savedFile(page, "anaglyph3d.dat"), [3, 0, 0, 0]), "a saved file survives a reload");
  // Leaving the game writes both files again, from what it read.
  check(await toTitle(page) && await leaveGame(page),
        "Escape on the title ends the game and the page offers to play again");
  check(same(await savedFile(page, "anaglyph3d.dat"), [3, 0, 0, 0]), "the game kept the 3D choice it loaded");
  check(same(await savedFile(page, "hiscore.dat"), int32(0)), "the game saved its best score on the way out");
  check(await page.evaluate(() => document.activeElement.id) === "again", "Play again has the keyboard's focus");
  await page.keyboard.press("Enter");
  check(await framesPass(page, 30) && await until(page, 20000, anythingDrawn), "Enter on Play again starts the game afresh");
  check(errors.length === 0, `no page errors across a reload ${errors.join("; ")}`);
}

// A tab may be closed without a shutdown: hiding the page writes the saves and keeps them.
export async function hidingKeepsTheSaves(context, base) {
  const { page, errors } = await openGame(context, base);
  check(await gameStarted(page), "the game page starts");
  // Return on "3D Graphics" steps the 3D choice from none (flat) to the first pair.
  await toTitle(page);
  await page.keyboard.press("ArrowDown");
  await framesPass(page, 3);
  await page.keyboard.press("Enter");
  await framesPass(page, 3);
  await page.evaluate(() => window.dispatchEvent(new Event("pagehide")));
  const kept = await pollUntil(20000, async () => same(await storedSave(page, "anaglyph3d.dat"), int32(1)));
  check(kept, "a 3D choice made before the page was hidden reaches IndexedDB");
  await page.reload();
  check(await gameStarted(page), "the reloaded page starts");
  const loaded = await savedFile(page, "anaglyph3d.dat");
  check(same(loaded, [1, 0, 0, 0]), `a reload finds it (${loaded}, want 1,0,0,0)`);
  check(errors.length === 0, `no page errors when hidden ${errors.join("; ")}`);
}

// Steps the 3D choice once from the title: Down to "3D Graphics", Return.
async function step3d(page) {
  await toTitle(page);
  await page.keyboard.press("ArrowDown");
  await framesPass(page, 3);
  await page.keyboard.press("Enter");
  return framesPass(page, 3);
}

// A reload or a closed tab gives the game no turn after it: the 3D choice must already be
// kept when it is made.
export async function choiceSurvivesAnyEnd(context, base) {
  const { page, errors } = await openGame(context, base);
  check(await gameStarted(page) && await step3d(page), "the game starts and the 3D choice steps");
  await page.reload();
  check(await gameStarted(page), "the reloaded page starts");
  check(same(await savedFile(page, "anaglyph3d.dat"), int32(1)), "the 3D choice survives a plain reload");
  check(await step3d(page), "the 3D choice steps again");
  await page.close();
  const next = await openGame(context, base);
  check(await gameStarted(next.page), "a new tab starts");
  check(same(await savedFile(next.page, "anaglyph3d.dat"), int32(2)), "the 3D choice survives a closed tab");
  check(errors.length + next.errors.length === 0, `no page errors ${errors.concat(next.errors).join("; ")}`);
}

// Storage that a browser refuses, in each way it can: the game plays, unsaved, and the
// console says so once.
export async function refusedStoragePlays(context, base) {
  const refusals = {
    "IndexedDB missing": () => Object.defineProperty(window, "indexedDB", { value: undefined }),
    "reading IndexedDB throws": () => Object.defineProperty(window, "indexedDB", {
      get() { throw new DOMException("The operation is insecure.", "SecurityError"); },
    }),
    "opening it throws": () => {
      IDBFactory.prototype.open = () => { throw new DOMException("The operation is insecure.", "SecurityError"); };
    },
    "opening it fails later": () => {
      IDBFactory.prototype.open = () => {
        const request = { error: new DOMException("Storage is blocked.", "UnknownError") };
        setTimeout(() => request.onerror && request.onerror({ preventDefault() {} }), 50);
        return request;
      };
    },
  };
  for (const [how, refuse] of Object.entries(refusals)) {
    const { page, errors, console_ } = await openGame(context, base, refuse);
    const plays = await gameStarted(page) && await step3d(page) && await until(page, 20000, anythingDrawn);
    const said = console_.filter((l) => l.includes("saves cannot be kept"));
    check(plays && said.length === 1 && errors.length === 0,
          `${how}: the game plays, and says once that it cannot keep saves (${said.length} lines; ${errors.join("; ")})`);
    await page.close();
  }
}

// Two tabs of the game, as a player has them: a tab in the background is hidden (and its
// game all but stops); brought back, its game takes the save request that hiding made.
// An older tab must not take back what a newer one saved; what its own player does last
// is kept; the best score only rises.
export async function twoTabsKeepTheNewest(context, base) {
  const older = await openGame(context, base);
  check(await gameStarted(older.page), "a first tab starts");
  const newer = await openGame(context, base);
  check(await gameStarted(newer.page), "a second tab starts, the first goes to the background");
  // A save written into a tab's /save, as its game writes one, and kept by its page.
  const save = (tab, name, bytes) => tab.page.evaluate((name, bytes) => {
    FS.writeFile("/save/" + name, new Uint8Array(bytes));
    return Module.gfPersist();
  }, name, bytes);
  // The tab is hidden; its game writes its saves at its next turn, and its page keeps them.
  const hideAndSave = async (tab) => {
    const since = await tab.page.evaluate(() => {
      window.dispatchEvent(new Event("pagehide"));
      return Date.now();
    });
    const wrote = await pageHolds(tab.page, 20000, (t) => {
      const at = (f) => (FS.analyzePath(f).exists ? FS.stat(f).mtime.getTime() : 0);
      return at("/save/anaglyph3d.dat") >= t && at("/save/hiscore.dat") >= t;
    }, since);
    await tab.page.evaluate(() => Module.gfPersist());
    return wrote;
  };
  // What IndexedDB holds, as [3D choice, best score], each a number or "none".
  const holds = async (tab, want, what) => {
    const value = (bytes) => (bytes ? new DataView(Uint8Array.from(bytes).buffer).getInt32(0, true) : "none");
    const got = [value(await storedSave(tab.page, "anaglyph3d.dat")), value(await storedSave(tab.page, "hiscore.dat"))];
    return check(same(got, want), `${what} (kept ${got.join(", ")}; want ${want.join(", ")})`);
  };

  // The newer tab saves a 3D choice and a best score, and is closed.
  await save(newer, "anaglyph3d.dat", int32(2));
  await save(newer, "hiscore.dat", int32(5000));
  await holds(newer, [2, 5000], "the newer tab keeps its saves");
  await newer.page.close();
  // Back in the older tab, which started with no saves: its game writes its own (flat,
  // best 0) when it is hidden again.
  await older.page.bringToFront();
  check(await toTitle(older.page) && await hideAndSave(older), "the older tab's game writes its saves");
  await holds(older, [2, 5000], "the older tab does not take back the newer tab's saves");
  // Its player now steps the 3D choice (flat to the first pair), and sets a lower best.
  await older.page.keyboard.press("ArrowDown");  // "3D Graphics"
  await framesPass(older.page, 3);
  await older.page.keyboard.press("Enter");
  await framesPass(older.page, 3);
  check(await hideAndSave(older), "the older tab's game writes its saves again");
  await holds(older, [1, 5000], "a 3D choice made later in the older tab is kept");
  await save(older, "hiscore.dat", int32(100));
  await holds(older, [1, 5000], "a lower best score does not replace a higher one");
  await older.page.close();

  const third = await openGame(context, base);
  check(await gameStarted(third.page), "a third tab starts");
  check(same([await savedFile(third.page, "anaglyph3d.dat"), await savedFile(third.page, "hiscore.dat")],
             [int32(1), int32(5000)]), "a third tab loads the newest saves");
  await save(third, "hiscore.dat", int32(6000));
  await holds(third, [1, 6000], "a higher best score replaces it");
  check(older.errors.length + newer.errors.length + third.errors.length === 0, "no page errors in the tabs");
}

// A file that fails to load is said in words on the page.
export async function badStartShows(context, base) {
  const page = await context.newPage();
  await page.setRequestInterception(true);
  page.on("request", (r) => (r.url().endsWith(".data") ? r.abort() : r.continue()));
  await page.goto(`${base}/index.html`);
  const said = await pageHolds(page, 20000, () => {
    const box = document.getElementById("problem");
    return box.classList.contains("shown") && box.textContent.length > 20;
  });
  check(said, "a sounds' package that fails to load is said on the page");
}

// Frames a second while a round plays, and the time from navigation to the first frame.
// Frames the game presents and frames the page shows (animation frames that brought a new
// one), over five seconds of a round.
async function framesPerSecond(page) {
  const count = () => page.evaluate(() => [window.gfFrames, window.gfShown, window.gfAnimationFrames, performance.now()]);
  const [f0, s0, a0, t0] = await count();
  await sleep(5000);
  const [f1, s1, a1, t1] = await count();
  const rate = (a, b) => ((b - a) * 1000) / (t1 - t0);
  return { presented: rate(f0, f1), shown: rate(s0, s1), animation: rate(a0, a1) };
}

export async function frameRate(context, base) {
  for (const stereo of [false, true]) {
    const { page } = await openGame(context, base);
    check(await gameStarted(page), "the game page starts");
    const first = await page.evaluate(() => window.gfFirstFrameMs);
    await toTitle(page);
    if (stereo) {
      await page.mouse.click(320, 262);  // 3D Graphics: the first colour pair
      await framesPass(page, 10);
      await page.mouse.click(320, 298);  // Retro line FX: on
      await framesPass(page, 10);
    }
    await page.mouse.click(320, 222);
    // Both rounds from two seconds in: measured as soon as the ground lit, the flat round
    // showed a frame or so a second fewer while the page was still settling.
    if (!stereo) await until(page, 10000, groundLit);
    await framesPass(page, 120);
    const { presented, shown, animation } = await framesPerSecond(page);
    const label = stereo ? "a stereo round with scan lines" : "a flat round";
    console.log(`first frame ${(first / 1000).toFixed(2)} s after navigation; in ${label} the game presents ` +
                `${presented.toFixed(1)} frames a second and the page shows ${shown.toFixed(1)} ` +
                `(of ${animation.toFixed(1)} animation frames)`);
    check(presented > 57, `${label}: the game holds 60 frames a second`);
    check(shown >= 59, `${label}: the page shows 59 or more of them a second`);
    await page.close();
  }
}

// Saves that an earlier page kept (IDBFS's records), beside a damaged record and a
// half-written file: the saves load, the rest is left as it is, and the game starts.
export async function earlierSavesLoad(context, base) {
  const { page, errors, console_ } = await openGame(context, base);
  check(await gameStarted(page), "the game page starts");
  await page.evaluate(() => new Promise((resolve, reject) => {
    const open = indexedDB.open("/save");
    open.onerror = () => reject(open.error);
    open.onsuccess = () => {
      const tx = open.result.transaction(["FILE_DATA"], "readwrite"), store = tx.objectStore("FILE_DATA");
      const file = (bytes) => ({ timestamp: new Date(), mode: 0o100666, contents: new Uint8Array(bytes) });
      store.put(file([2, 0, 0, 0]), "/save/anaglyph3d.dat");
      store.put(file([0x39, 0x30, 0, 0]), "/save/hiscore.dat");
      store.put({ timestamp: "yesterday", mode: 0o100666, contents: "not bytes" }, "/save/notes.dat");
      store.put(file([9, 9, 9, 9]), "/save/.hiscore.dat.tmp-42-1");
      tx.oncomplete = () => { open.result.close(); resolve(); };
      tx.onabort = () => reject(tx.error);
    };
  }));
  await page.reload();
  check(await gameStarted(page), "the reloaded page starts beside a damaged save");
  check(same(await savedFile(page, "anaglyph3d.dat"), int32(2)) && same(await savedFile(page, "hiscore.dat"), int32(12345)),
        "saves an earlier page kept load");
  check(await savedFile(page, "notes.dat") === null && await savedFile(page, ".hiscore.dat.tmp-42-1") === null,
        "a damaged save and a half-written file stay out of the game's folder");
  check(console_.some((l) => l.includes("/save/notes.dat") && l.includes("left as it is")),
        "the damaged save is named in the console");
  check(await storedSave(page, "notes.dat") !== null && await storedSave(page, ".hiscore.dat.tmp-42-1") !== null,
        "nothing is deleted from IndexedDB");
  check(errors.length === 0, `no page errors ${errors.join("; ")}`);
}
