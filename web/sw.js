// The game page's service worker: the first visit keeps the game's files in a cache named
// after their build, and later visits play from it, with or without a network. The build
// writes the name and the files in (stamp-sw.cmake); a new build is a new name, so the
// browser installs the new worker, which fills its own cache and deletes the older ones.
// The runner page (replay.html) is for tests: it always goes to the network.
"use strict";

const build = "glimmerfrost-@GF_BUILD@";
const files = "@GF_FILES@".split(" ");
const scope = new URL(self.registration.scope);

// A URL's file in the site, "" for the site itself; null outside it.
function siteFile(url) {
  if (url.origin !== scope.origin || !url.pathname.startsWith(scope.pathname)) return null;
  return url.pathname.slice(scope.pathname.length);
}

self.addEventListener("install", (event) => {
  // "no-cache": the browser's own cache may still hold files of the build before.
  event.waitUntil(caches.open(build)
    .then((cache) => cache.addAll(files.map((f) => new Request(f, { cache: "no-cache" }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n.startsWith("glimmerfrost-") && n !== build)
                                      .map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

// Only the game page and what it loads come from the cache, and only from this build's.
async function forGamePage(event) {
  if (event.request.mode === "navigate") return true;
  const client = event.clientId ? await self.clients.get(event.clientId) : null;
  if (!client) return false;
  const page = siteFile(new URL(client.url));
  return page === "" || page === "index.html";
}

async function answer(event, file) {
  if (await forGamePage(event)) {
    const cache = await caches.open(build);
    const kept = await cache.match(new URL(file, scope).href);
    if (kept) return kept;
  }
  return fetch(event.request);
}

self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  let file = siteFile(new URL(event.request.url));
  if (file === "") file = "index.html";
  if (file !== null && files.includes(file)) event.respondWith(answer(event, file));
});
