// The game page's saves. index.html loads this first; FS and the run dependencies come with
// the game's script, before its preRun calls loadSaves.
//
// Saves live in /save, in memory, and in IndexedDB between visits: the page loads them
// before the game starts and writes them back after each save. A player may have the game
// open in two tabs, so a page writes only the saves its own game has changed since it
// started, and deletes none: an older tab, hidden or closed, cannot take back what a newer
// one saved. Each save is one 32-bit little-endian integer that the game reads as 0 when it
// is missing. The best score only rises, so of two the higher stays. A write that fails is
// tried again at the next save; storage that cannot be opened or read (a private window,
// say) leaves the game playing, unsaved.
// /save is not an IDBFS mount: there, every fsync the game makes copies the page's whole
// folder over IndexedDB, deleting what another tab saved. The database keeps IDBFS's
// layout (named after the folder, one record per file), so saves made before still load.
"use strict";

const saveDir = "/save", bestFile = "/save/hiscore.dat";
const saveDb = { name: "/save", version: 21, store: "FILE_DATA" };
const unsaved = new Uint8Array(4);
const startedFrom = new Map();  // each save as the game started from it, or as last kept
let storage = "loading", db = null, keeping = Promise.resolve();

function storageOff(why) {
  storage = "off";
  console.log("saves cannot be kept in this browser: " + why);
}

function sameBytes(a, b) {
  return a.length === b.length && a.every((v, i) => v === b[i]);
}

// A save's value; -Infinity for a record that holds no such value.
function savedInt(bytes) {
  return ArrayBuffer.isView(bytes) && bytes.byteLength >= 4
      ? new DataView(bytes.buffer, bytes.byteOffset).getInt32(0, true) : -Infinity;
}

// The saves in /save: its files, but for the game's half-written ones (".name.tmp-...").
function saveFiles() {
  return FS.readdir(saveDir).filter((name) => !name.startsWith("."))
      .map((name) => saveDir + "/" + name).filter((path) => FS.isFile(FS.stat(path).mode));
}

// The saves that differ from what the game started from.
function changedSaves() {
  const changed = [];
  for (const path of saveFiles()) {
    const bytes = FS.readFile(path);
    if (!sameBytes(bytes, startedFrom.get(path) || unsaved)) changed.push({ path, stat: FS.stat(path), bytes });
  }
  return changed;
}

// Writes the changed saves to IndexedDB in one transaction. Resolves true when they are
// kept.
function keepChanged() {
  return new Promise((resolve) => {
    const failed = (why) => {
      console.log("saves could not be kept this time: " + why);
      resolve(false);
    };
    let changed, tx;
    try {
      changed = changedSaves();
      if (changed.length === 0) return resolve(true);
      tx = db.transaction([saveDb.store], "readwrite");
    } catch (e) {
      return failed(e);
    }
    // Committed as soon as the last write is asked for: a page being closed has no time
    // to spare.
    const store = tx.objectStore(saveDb.store);
    let reading = 0;
    const commit = () => {
      if (reading === 0 && tx.commit) tx.commit();
    };
    for (const c of changed) {
      const record = { timestamp: c.stat.mtime, mode: c.stat.mode, contents: c.bytes };
      if (c.path !== bestFile) {
        store.put(record, c.path);
        continue;
      }
      reading++;
      store.get(c.path).onsuccess = (e) => {
        const kept = e.target.result;
        if (!kept || savedInt(kept.contents) < savedInt(c.bytes)) store.put(record, c.path);
        reading--;
        commit();
      };
    }
    commit();
    tx.oncomplete = () => {
      for (const c of changed) startedFrom.set(c.path, c.bytes);
      resolve(true);
    };
    tx.onabort = () => failed(tx.error || "the write was cut off");
  });
}

// After every save, and when the page is hidden or closed. Resolves when this call's
// saves are kept (true) or could not be (false). With none under way, the writes are asked
// for at once, before a closing page goes.
let rounds = 0;
function persist() {
  if (storage !== "on") return Promise.resolve(false);
  const round = () => {
    rounds++;
    return keepChanged().finally(() => rounds--);
  };
  keeping = rounds > 0 ? keeping.then(round) : round();
  return keeping;
}

// Fills /save from IndexedDB before the game starts.
function loadSaves() {
  FS.mkdir(saveDir);
  addRunDependency("saves");
  const done = (why) => {
    if (why) storageOff(why);
    else storage = "on";
    removeRunDependency("saves");
  };
  let open;
  try {
    open = indexedDB.open(saveDb.name, saveDb.version);
  } catch (e) {
    return done(e);
  }
  open.onupgradeneeded = () => {
    const store = open.result.objectStoreNames.contains(saveDb.store)
        ? open.transaction.objectStore(saveDb.store) : open.result.createObjectStore(saveDb.store);
    if (!store.indexNames.contains("timestamp")) store.createIndex("timestamp", "timestamp", { unique: false });
  };
  open.onerror = (e) => {
    e.preventDefault();
    done(open.error);
  };
  open.onsuccess = () => {
    db = open.result;
    db.onversionchange = () => db.close();  // a newer page wants the database
    const prefix = saveDir + "/";
    let cursor;
    try {
      cursor = db.transaction([saveDb.store], "readonly").objectStore(saveDb.store).openCursor();
    } catch (e) {
      return done(e);
    }
    cursor.onerror = (e) => {
      e.preventDefault();
      done(cursor.error);
    };
    cursor.onsuccess = () => {
      const at = cursor.result;
      if (!at) return done(null);
      const path = String(at.key), name = path.slice(prefix.length), r = at.value;
      // Not saves: records of another folder, and half-written files an older page kept.
      const save = path.startsWith(prefix) && !name.startsWith(".");
      try {
        if (save && !name.includes("/") && r && FS.isFile(r.mode) && ArrayBuffer.isView(r.contents)) {
          const bytes = new Uint8Array(r.contents.buffer, r.contents.byteOffset, r.contents.byteLength).slice();
          FS.writeFile(path, bytes);
          const ms = new Date(r.timestamp).getTime();
          if (ms > 0) FS.utime(path, ms, ms);
          startedFrom.set(path, bytes);
        } else if (save) {
          console.log(`the save ${path} is not a file the game reads; it is left as it is`);
        }
      } catch (e) {
        console.log(`the save ${path} cannot be read; it is left as it is: ${e}`);
      }
      at.continue();
    };
  };
}
