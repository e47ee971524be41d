// The runner on both sides: the desktop's glimmerfrost-replay and the site's replay.html,
// on the same script, and what their traces and pictures have in common.
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";

import { decodePng } from "./png.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
export const scriptDirs = [path.join(here, "scripts"), path.join(here, "../integration/scripts")];
export const scriptFile = (name) => scriptDirs.map((d) => path.join(d, name)).find((f) => fs.existsSync(f));

// The script through the desktop runner of `nativeDir`, in a game folder of its own.
export function nativeTrace(nativeDir, script, clock, frames, mode = null, shots = []) {
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

// The same run in `page` (puppeteer's, or a WebDriver session): gfReplay as the runner page
// leaves it, with its pictures as PNG bytes, and the seconds it took.
export async function pageTrace(page, base, name, clock, frames, mode = null, shots = []) {
  let url = `${base}/replay.html?script=scripts/${name}&clock-start=${clock}`;
  if (frames) url += `&frames=${frames}`;
  if (mode !== null) url += `&anaglyph=${mode}`;
  for (const n of shots) url += `&shot=${n}`;
  const started = Date.now();
  await page.goto(url);
  await page.waitForFunction(() => window.gfReplay && window.gfReplay.done, { timeout: 600000, polling: 500 });
  const result = await page.evaluate(() => window.gfReplay);
  const pictures = {};
  for (const [n, b64] of Object.entries(result.shots || {})) pictures[n] = Buffer.from(b64, "base64");
  return { ...result, shots: pictures, seconds: (Date.now() - started) / 1000 };
}

export function firstDifference(a, b) {
  const la = a.split("\n"), lb = b.split("\n");
  for (let i = 0; i < Math.max(la.length, lb.length); i++) {
    if (la[i] !== lb[i]) return `line ${i + 1}:\n  desktop ${la[i]}\n  browser ${lb[i]}`;
  }
  return "none";
}

// How far two PNG pictures of the screen differ: the largest difference in any channel, and
// how many pixels differ by more than 1. Pictures of other sizes differ everywhere.
export function pixelsOff(pngA, pngB) {
  const a = decodePng(pngA), b = decodePng(pngB);
  const pixels = a.width * a.height;
  if (a.width !== b.width || a.height !== b.height) return { worst: 255, off: Math.max(pixels, 1), pixels };
  let worst = 0, off = 0;
  for (let i = 0; i < pixels; i++) {
    let d = 0;
    for (let k = 0; k < 3; k++) d = Math.max(d, Math.abs(a.px[i * a.channels + k] - b.px[i * b.channels + k]));
    worst = Math.max(worst, d);
    off += d > 1;
  }
  return { worst, off, pixels };
}
