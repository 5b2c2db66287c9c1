// The page's canvas against the desktop's `patapata --render`, pixel for pixel: the same states
// played for the same ticks, at ×1 and enlarged; and every PNG of the corpus as a sheet.
import assert from "node:assert/strict";
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, before, test } from "node:test";
import {
  VIEW_WIDTH, canvasPixels, chooseCharacter, enlarged, firstDifference, openFolder, pngPixels,
  renderFrames, repositoryFolder, root, startBrowser, writeFolder,
} from "./harness.mjs";

let session;
before(async () => {
  session = await startBrowser();
});
after(() => session?.close());

// Each state as its button plays it, for a pass and a little more.
const CHARACTERS = [
  { folder: "samples/hiyoko", file: "hiyoko.chp", states: [1, 2, 6, 10, 4], ticks: 7, zoomed: 6 },
  { folder: "tests/data/player/render", file: "multi.chp", states: [1, 6, 10], ticks: 5, zoomed: 10 },
  { folder: "tests/data/player/png_render", file: "png.chp", states: [1, 6, 10], ticks: 5, zoomed: 6 },
  { folder: "tests/data/player/png_render", file: "bmp.chp", states: [1, 6, 10], ticks: 5 },
];

async function playAndCompare(page, character, state, ticks, zoom) {
  const expected = renderFrames(join(root, character.folder, character.file), state, ticks);
  // Loaded afresh, as --render loads it: what a state returns to depends on what played before.
  await page.evaluate((file) => window.patapataTest.open(file), character.file);
  await page.click(`#stateButton${state}`);
  for (let t = 0; t < ticks; ++t) {
    await page.evaluate(() => window.patapataTest.tick());
    const where = `${character.file}, state ${state}, tick ${t + 1}, ×${zoom}`;
    if (zoom === 1) {
      assert.equal(firstDifference(await canvasPixels(page), expected[t], VIEW_WIDTH), null, where);
    } else {
      const shot = pngPixels(await page.locator("#view").screenshot());
      assert.equal(firstDifference(shot.data, enlarged(expected[t], zoom), VIEW_WIDTH * zoom), null, where);
    }
  }
}

for (const character of CHARACTERS) {
  test(`${character.file} plays as --render draws it`, async () => {
    const page = await session.open();
    const folder = character.folder.replaceAll("/", "_");
    await writeFolder(page, folder, repositoryFolder(character.folder));
    await openFolder(page, folder);
    await chooseCharacter(page, character.file);
    await page.evaluate(() => window.patapataTest.useManualClock());
    for (const state of character.states) await playAndCompare(page, character, state, character.ticks, 1);
    if (character.zoomed) {
      await page.click("summary >> text=表示");
      await page.click("button >> text=3 倍");
      await playAndCompare(page, character, character.zoomed, character.ticks, 3);
    }
    assert.deepEqual(page.errors, []);
    await page.context().close();
  });
}

// fast-png's Adam7 rows of fewer than 8 bits per sample come out wrong: the page refuses those
// pictures (see web/src/png.js).
const REFUSED = /^interlaced_(grey_1bit|palette_2bit_3x2|palette_4bit_trns)\.png$/;

test("every PNG of the corpus is keyed as the desktop keys it", async () => {
  const corpus = join(root, "tests/data/png");
  const manifest = readFileSync(join(corpus, "manifest.txt"), "utf8").trim().split("\n").map((l) => l.split(/\s+/));
  const files = {};
  const characters = [];
  for (const [name, width, height] of manifest) {
    if (REFUSED.test(name)) continue;
    const chp = name.replace(/\.png$/, ".chp");
    // Cel 1 is copied opaque, so the frame shows the colour the transparent pixels were given.
    files[chp] = Buffer.from(`#CHARBMP ${name}\r\n#1 0 0 ${width} ${height}\r\n#PATERN 01 01\r\n`);
    files[name] = readFileSync(join(corpus, name));
    characters.push(chp);
  }
  assert.ok(characters.length >= 40);
  const page = await session.open();
  await writeFolder(page, "png", files);
  await openFolder(page, "png");
  await page.evaluate(() => window.patapataTest.useManualClock());
  // One pass over the whole list in the page, as the list would open each file.
  const shown = await page.evaluate(async (characters) => {
    const frames = [];
    for (const chp of characters) {
      await window.patapataTest.open(chp);
      document.querySelector("#stateButton1").click();
      await window.patapataTest.tick();
      frames.push(window.patapataTest.canvasBase64());
    }
    return frames;
  }, characters);
  const scratch = mkdtempSync(join(tmpdir(), "patapata-png-"));
  try {
    characters.forEach((chp, i) => {
      const png = chp.replace(/\.chp$/, ".png");
      writeFileSync(join(scratch, chp), files[chp]);
      writeFileSync(join(scratch, png), files[png]);
      const [expected] = renderFrames(join(scratch, chp), 1, 1);
      assert.equal(firstDifference(Buffer.from(shown[i], "base64"), expected, VIEW_WIDTH), null, chp);
    });
  } finally {
    rmSync(scratch, { recursive: true, force: true });
  }
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test("a refused PNG says so in the error box", async () => {
  const page = await session.open();
  const name = "interlaced_grey_1bit.png";
  await writeFolder(page, "refused", {
    "refused.chp": Buffer.from(`#CHARBMP ${name}\r\n#1 0 0 8 8\r\n`),
    [name]: readFileSync(join(root, "tests/data/png", name)),
  });
  await openFolder(page, "refused");
  await page.waitForFunction(() => window.patapataTest.errorShown() !== null);
  assert.match(await page.evaluate(() => window.patapataTest.errorShown()), /ビットマップイメージが不正です/);
  await page.context().close();
});
