// The README's picture of the page: the sample playing state 1 in headless Chromium, with the
// frame readout on.
//
// Usage: node web/tools/screenshot.mjs OUT.png   (scripts/web --build first)
import { startBrowser } from "../tests/harness.mjs";

const out = process.argv[2] ?? "docs/web-screenshot.png";
const session = await startBrowser();
try {
  const page = await session.open("?sample");
  await page.waitForFunction(() => performance.getEntriesByName("patapata-first-frame").length > 0);
  await page.click("#stateButton1");
  await page.click("summary >> text=表示");
  await page.click("button >> text=フレーム情報");
  await page.waitForTimeout(700);
  await page.locator("#window").screenshot({ path: out });
  console.log(`web/tools/screenshot.mjs: ${out}`);
} finally {
  await session.close();
}
