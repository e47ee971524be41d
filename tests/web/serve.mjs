// A static server on 127.0.0.1 for the site, with extra folders mounted under prefixes.
// The site uses no threads, so it needs no cross-origin isolation headers.
import fs from "node:fs";
import http from "node:http";
import path from "node:path";

const types = { ".html": "text/html", ".js": "text/javascript", ".mjs": "text/javascript",
                ".wasm": "application/wasm", ".css": "text/css", ".data": "application/octet-stream",
                ".txt": "text/plain" };

// mounts: { "/prefix/": [folder, ...] }, looked up in order.
export function serve(root, mounts = {}, port = 0) {
  const server = http.createServer((req, res) => {
    const url = decodeURIComponent(new URL(req.url, "http://x").pathname);
    let folders = [root], rest = url;
    for (const [prefix, dirs] of Object.entries(mounts)) {
      if (url.startsWith(prefix)) { folders = dirs; rest = url.slice(prefix.length); }
    }
    if (rest === "/" || rest === "") rest = "index.html";
    for (const dir of folders) {
      const file = path.join(dir, path.normalize("/" + rest));
      if (!file.startsWith(path.resolve(dir))) break;
      if (fs.existsSync(file) && fs.statSync(file).isFile()) {
        res.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream",
                             "Cache-Control": "no-cache" });
        fs.createReadStream(file).pipe(res);
        return;
      }
    }
    res.writeHead(404, { "Content-Type": "text/plain" });
    res.end("not found\n");
  });
  return new Promise((resolve) => server.listen(port, "127.0.0.1", () => resolve(server)));
}
