// What the browser tests share: the built page served on 127.0.0.1, Debian's Chromium driven by
// playwright-core, folders written into the page's origin-private file system (a real folder
// handle, which the test hook hands to the page in place of the picker), and the frames of the
// desktop's `patapata --render` to compare the canvas with.
import { execFileSync } from "node:child_process";
import { existsSync, mkdtempSync, readFileSync, readdirSync, rmSync } from "node:fs";
import { createServer } from "node:http";
import { tmpdir } from "node:os";
import { dirname, extname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { decode } from "fast-png";
import { chromium } from "playwright-core";

export const root = resolve(dirname(fileURLToPath(import.meta.url)), "../..");
const site = join(root, "build/web");
const patapata = process.env.PATAPATA_BIN ?? join(root, "build/default/src/app/patapata");
export const VIEW_WIDTH = 121;
export const VIEW_HEIGHT = 271;

const TYPES = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript",
  ".mjs": "text/javascript",
  ".css": "text/css",
  ".wasm": "application/wasm",
  ".png": "image/png",
  ".map": "application/json",
};

/** The page's server and a headless browser; `close()` ends both. */
export async function startBrowser() {
  if (!existsSync(join(site, "index.html"))) throw new Error(`${site} is not built: run scripts/web --build`);
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, "http://127.0.0.1").pathname);
    const file = join(site, path.endsWith("/") ? `${path}index.html` : path);
    if (!file.startsWith(site) || !existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { "Content-Type": TYPES[extname(file)] ?? "application/octet-stream" });
    response.end(readFileSync(file));
  });
  await new Promise((done) => server.listen(0, "127.0.0.1", done));
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    args: ["--no-sandbox", "--force-color-profile=srgb"],
  });
  const url = `http://127.0.0.1:${server.address().port}/`;
  return {
    url,
    browser,
    /** A fresh page (with its own storage) on `query`. */
    async open(query = "?test") {
      const context = await browser.newContext({ viewport: { width: 800, height: 1400 } });
      const page = await context.newPage();
      const errors = [];
      page.on("pageerror", (error) => errors.push(error.message));
      page.errors = errors;
      await page.goto(url + query);
      await page.waitForFunction(() => document.querySelector("#view") !== null);
      return page;
    },
    async close() {
      await browser.close();
      await new Promise((done) => server.close(done));
    },
  };
}

/** Writes `files` ({name: bytes}) into the folder `folder` of the page's private file system. */
export async function writeFolder(page, folder, files) {
  const encoded = Object.fromEntries(
    Object.entries(files).map(([name, bytes]) => [name, Buffer.from(bytes).toString("base64")]),
  );
  await page.evaluate(async ({ folder, encoded }) => {
    const dir = await (await navigator.storage.getDirectory()).getDirectoryHandle(folder, { create: true });
    for (const [name, text] of Object.entries(encoded)) {
      const bytes = Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
      const writable = await (await dir.getFileHandle(name, { create: true })).createWritable();
      await writable.write(bytes);
      await writable.close();
    }
  }, { folder, encoded });
}

/** The files of a folder of the repository the page can read: character files and pictures. */
export function repositoryFolder(path) {
  const files = {};
  for (const name of readdirSync(join(root, path))) {
    if (/\.(chp|bmp|dib|png)$/i.test(name)) files[name] = readFileSync(join(root, path, name));
  }
  return files;
}

/** Opens `folder` with the page's own button, the test hook standing in for the picker. */
export async function openFolder(page, folder) {
  await page.evaluate((folder) => {
    window.patapataTest.usePicker(async () => (await navigator.storage.getDirectory()).getDirectoryHandle(folder));
  }, folder);
  await page.click("#openFolderButton");
  await page.waitForFunction(() => !document.querySelector("#characterList").hidden);
}

/** Opens one character file of the folder's list. */
export async function chooseCharacter(page, name) {
  const before = await page.evaluate(() => window.patapataTest.framesDrawn());
  await page.selectOption("#characterList", name);
  await page.waitForFunction((name) => window.patapataTest.opened() === name, name);
  return before;
}

/** The canvas's pixels, RGBA. */
export async function canvasPixels(page) {
  return Buffer.from(await page.evaluate(() => window.patapataTest.canvasBase64()), "base64");
}

/** A PNG's pixels as RGBA, 8 bits. */
export function pngPixels(bytes) {
  const png = decode(bytes);
  if (png.depth !== 8) throw new Error(`a ${png.depth}-bit PNG`);
  const out = new Uint8Array(png.width * png.height * 4);
  for (let i = 0; i < png.width * png.height; ++i) {
    for (let c = 0; c < 3; ++c) out[4 * i + c] = png.data[i * png.channels + c];
    out[4 * i + 3] = png.channels === 4 ? png.data[i * 4 + 3] : 255;
  }
  return { width: png.width, height: png.height, data: out };
}

/** The frames `patapata --render` draws of `state` for `ticks` ticks, RGBA. */
export function renderFrames(characterFile, state, ticks) {
  const dir = mkdtempSync(join(tmpdir(), "patapata-render-"));
  try {
    execFileSync(patapata, ["--render", characterFile, "--state", String(state), "--ticks", String(ticks),
      "--out", join(dir, "f")], { env: { ...process.env, QT_QPA_PLATFORM: "offscreen" }, stdio: "pipe" });
    const frames = [];
    for (let t = 1; t <= ticks; ++t) {
      frames.push(pngPixels(readFileSync(join(dir, `f-${String(t).padStart(4, "0")}.png`))).data);
    }
    return frames;
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

/** `frame` enlarged `zoom` times, each pixel a block, as pixelated rendering shows it. */
export function enlarged(frame, zoom) {
  const width = VIEW_WIDTH * zoom;
  const out = new Uint8Array(width * VIEW_HEIGHT * zoom * 4);
  for (let y = 0; y < VIEW_HEIGHT * zoom; ++y) {
    for (let x = 0; x < width; ++x) {
      const from = (Math.floor(y / zoom) * VIEW_WIDTH + Math.floor(x / zoom)) * 4;
      out.set(frame.subarray(from, from + 4), (y * width + x) * 4);
    }
  }
  return out;
}

/** Where two RGBA pictures of `width` differ first, or null when they are equal. */
export function firstDifference(a, b, width) {
  if (a.length !== b.length) return `sizes ${a.length / 4} and ${b.length / 4} pixels`;
  for (let i = 0; i < a.length; i += 4) {
    if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2] || a[i + 3] !== b[i + 3]) {
      const p = i / 4;
      return `pixel (${p % width}, ${Math.floor(p / width)}): ${[...a.subarray(i, i + 4)]} against ${[...b.subarray(i, i + 4)]}`;
    }
  }
  return null;
}
