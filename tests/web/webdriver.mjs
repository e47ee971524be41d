// A small W3C WebDriver client for WebKitGTK's WebKitWebDriver, with just what the engine
// tests use: a session on MiniBrowser, pages, scripts, screenshots. Classic WebDriver has
// no console feed, so the tests read the page's own state instead.
import { spawn } from "node:child_process";
import net from "node:net";

const miniBrowser = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser";

function freePort() {
  return new Promise((resolve, reject) => {
    const s = net.createServer();
    s.on("error", reject);
    s.listen(0, "127.0.0.1", () => {
      const { port } = s.address();
      s.close(() => resolve(port));
    });
  });
}

async function call(base, method, path, body) {
  const res = await fetch(base + path, {
    method,
    headers: { "Content-Type": "application/json" },
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  const reply = await res.json().catch(() => ({}));
  if (!res.ok) {
    const v = reply.value || {};
    throw new Error(`WebDriver ${method} ${path}: ${v.error || res.status} ${v.message || ""}`.trim());
  }
  return reply.value;
}

// One WebDriver session: one MiniBrowser window with its own storage. It answers the few
// calls of puppeteer's Page that the tests use, so that one test can drive either.
class Session {
  constructor(base, id) {
    this.base = base;
    this.path = `/session/${id}`;
  }
  goto(url) {
    return call(this.base, "POST", `${this.path}/url`, { url });
  }
  reload() {
    return call(this.base, "POST", `${this.path}/refresh`, {});
  }
  // `fn` runs in the page as a function of `args`; a promise it returns is awaited.
  evaluate(fn, ...args) {
    const script = `return Promise.resolve((${fn}).apply(null, arguments));`;
    return call(this.base, "POST", `${this.path}/execute/sync`, { script, args });
  }
  // As puppeteer's: resolves once `fn` holds in the page, rejects after `timeout` ms.
  async waitForFunction(fn, { timeout = 30000, polling = 100 } = {}, ...args) {
    const end = Date.now() + timeout;
    while (!(await this.evaluate(fn, ...args))) {
      if (Date.now() > end) throw new Error(`waiting for ${String(fn).slice(0, 80)} took over ${timeout} ms`);
      await new Promise((r) => setTimeout(r, polling));
    }
  }
  async screenshot() {
    return Buffer.from(await call(this.base, "GET", `${this.path}/screenshot`), "base64");
  }
  close() {
    return call(this.base, "DELETE", this.path).catch(() => {});
  }
}

// WebKitWebDriver on a port of its own, drawing on `display` (an X display such as ":99").
export async function startWebKit(display) {
  const port = await freePort();
  const driver = spawn("WebKitWebDriver", [`--port=${port}`], {
    env: { ...process.env, DISPLAY: display },
    stdio: "ignore",
  });
  const base = `http://127.0.0.1:${port}`;
  const end = Date.now() + 20000;
  for (;;) {
    try {
      const status = await call(base, "GET", "/status");
      if (status.ready !== false) break;
    } catch (e) {
      if (Date.now() > end) {
        driver.kill();
        throw new Error(`WebKitWebDriver did not answer on port ${port}: ${e.message}`);
      }
    }
    await new Promise((r) => setTimeout(r, 200));
  }
  return {
    async newSession() {
      const value = await call(base, "POST", "/session", {
        capabilities: {
          alwaysMatch: { "webkitgtk:browserOptions": { binary: miniBrowser, args: ["--automation"] } },
        },
      });
      return new Session(base, value.sessionId);
    },
    stop() {
      driver.kill();
    },
  };
}
