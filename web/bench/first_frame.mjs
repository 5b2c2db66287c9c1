// From the page's load to the first frame of the sample, in headless Chromium: the page is
// opened with ?sample (it fetches the sample from its own host, loads it and draws), and the
// time of its first frame is read from the performance mark it sets, counted from the
// navigation's start. Each run is a fresh browser context with an empty cache.
//
// Usage: node web/bench/first_frame.mjs [runs]   (default 9; scripts/web --build first)
import { startBrowser } from "../tests/harness.mjs";

const runs = Number(process.argv[2] ?? 9);
const session = await startBrowser();
const times = [];
try {
  for (let i = 0; i < runs; ++i) {
    const context = await session.browser.newContext();
    const page = await context.newPage();
    await page.goto(`${session.url}?sample`);
    const ms = await page.evaluate(async () => {
      for (;;) {
        const [mark] = performance.getEntriesByName("patapata-first-frame");
        if (mark) return mark.startTime;
        await new Promise((resolve) => setTimeout(resolve, 10));
      }
    });
    times.push(ms);
    await context.close();
  }
} finally {
  await session.close();
}
times.sort((a, b) => a - b);
const median = times[times.length >> 1];
console.log(`load to first frame of the sample, headless Chromium, ${runs} runs:` +
  ` median ${median.toFixed(0)} ms, best ${times[0].toFixed(0)} ms, worst ${times.at(-1).toFixed(0)} ms` +
  ` (goal ≤ 300 ms: ${median <= 300 ? "met" : "not met"})`);
