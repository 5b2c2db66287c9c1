// From the page's load to the first frame of the sample, in headless Chromium: the page is
// opened with ?sample (it fetches the sample from its own host, loads it and draws), and the
// time of its first frame is read from the performance mark it sets when the frame is on the
// canvas, counted from the navigation's start; beside it, the mark it sets once the browser has
// laid out and painted the page with that frame. Each run is a fresh browser context with an
// empty cache.
//
// Usage: node web/bench/first_frame.mjs [runs]   (default 9; scripts/web --build first)
import { startBrowser } from "../tests/harness.mjs";

const runs = Number(process.argv[2] ?? 9);
const session = await startBrowser();
const drawn = [];
const shown = [];
try {
  for (let i = 0; i < runs; ++i) {
    const context = await session.browser.newContext();
    const page = await context.newPage();
    await page.goto(`${session.url}?sample`);
    const marks = await page.evaluate(async () => {
      const names = ["patapata-first-frame", "patapata-first-frame-shown"];
      for (;;) {
        const found = names.map((name) => performance.getEntriesByName(name)[0]);
        if (found.every(Boolean)) return found.map((mark) => mark.startTime);
        await new Promise((resolve) => setTimeout(resolve, 10));
      }
    });
    drawn.push(marks[0]);
    shown.push(marks[1]);
    await context.close();
  }
} finally {
  await session.close();
}

function summary(times) {
  times.sort((a, b) => a - b);
  const median = times[times.length >> 1];
  return {
    median,
    text: `median ${median.toFixed(0)} ms, best ${times[0].toFixed(0)} ms, worst ${times.at(-1).toFixed(0)} ms`,
  };
}
const frame = summary(drawn);
console.log(`load to first frame of the sample, headless Chromium, ${runs} runs: ${frame.text}` +
  ` (goal ≤ 300 ms: ${frame.median <= 300 ? "met" : "not met"})`);
console.log(`load to the page painted with that frame: ${summary(shown).text}`);
