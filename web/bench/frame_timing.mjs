// The composed frame's timing program (bench/frame_timing.cpp, built by the wasm preset as
// patapata_frame_timing_web.js) run in headless Chromium, the browser the page runs in: its
// lines, printed to the console, are printed here as the native and Node runs print theirs.
//
// Usage: node web/bench/frame_timing.mjs [path of patapata_frame_timing_web.js]
import { readFileSync } from "node:fs";
import { chromium } from "playwright-core";

const program = process.argv[2] ?? new URL("../../build/wasm/patapata_frame_timing_web.js", import.meta.url);
const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  args: ["--no-sandbox"],
});
try {
  const page = await browser.newPage();
  const lines = [];
  let failed;
  const done = new Promise((resolve) => {
    page.on("console", (message) => {
      lines.push(message.text());
      console.log(message.text());
      if (message.text().startsWith("rgb565")) resolve();
    });
    page.on("pageerror", (error) => {
      failed = error;
      resolve();
    });
  });
  await page.addScriptTag({ content: readFileSync(program, "utf8") });
  await done;
  if (failed) throw failed;
  console.log(`(${await browser.version()}, headless)`);
} finally {
  await browser.close();
}
