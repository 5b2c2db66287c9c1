// The page as the author uses it: a folder opened through the test hook in place of the picker
// (and opened again on the next visit), a state button, a typed pattern checked, the automatic
// reload of a rewritten sheet (also one saved in two halves), a broken file's line on the status
// line, the page in English, and the page opened on the sample.
import assert from "node:assert/strict";
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, before, test } from "node:test";
import {
  VIEW_WIDTH, canvasPixels, chooseCharacter, firstDifference, openFolder, renderFrames,
  repositoryFolder, startBrowser, writeFolder,
} from "./harness.mjs";

const SAMPLE = repositoryFolder("samples/hiyoko");
const hook = (page, call) => page.evaluate(call);
const tick = (page) => hook(page, () => window.patapataTest.tick());
const text = (page, selector) => page.locator(selector).textContent();

let session;
before(async () => {
  session = await startBrowser();
});
after(() => session?.close());

/** A page with the sample's folder open and hiyoko.chp loaded. */
async function sampleFolder() {
  const page = await session.open();
  await writeFolder(page, "hiyoko", SAMPLE);
  await openFolder(page, "hiyoko");
  await page.waitForFunction(() => window.patapataTest.opened() === "hiyoko.chp");
  return page;
}

/** The sample's frames of state 1 with `files` in place of its own, as --render draws them. */
function sampleFrames(files, state = 1, ticks = 4) {
  const dir = mkdtempSync(join(tmpdir(), "patapata-page-"));
  try {
    for (const [name, bytes] of Object.entries({ ...SAMPLE, ...files })) writeFileSync(join(dir, name), bytes);
    return renderFrames(join(dir, "hiyoko.chp"), state, ticks);
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

/** The sample's sheet with its colour table changed: the same picture in other colours. */
function recoloured(change) {
  const bytes = Buffer.from(SAMPLE["hiyoko.bmp"]);
  const pixels = bytes.readUInt32LE(10);
  for (let i = 54; i < pixels; ++i) if ((i - 54) % 4 !== 3) bytes[i] = change(bytes[i], (i - 54) % 4);
  return bytes;
}

/** Ticks until the canvas shows the frame of `frames` the player is at; how many it took. */
async function ticksUntilShown(page, frames, limit) {
  for (let t = 1; t <= limit; ++t) {
    const { frame } = await tick(page);
    if (firstDifference(await canvasPixels(page), frames[frame - 1], VIEW_WIDTH) === null) return t;
  }
  return null;
}

// The page opened on the sample reads it from its head and opens it without looking for its
// sheets first, and marks its first frame for the load benchmark: a sheet missing or cut short,
// or the mark set before the sample's frame is on the canvas, shows here as a canvas other than
// --render's first frame at the moment of the mark.
test("the sample opened with the page is drawn as --render draws it when its first frame is marked", async () => {
  const context = await session.browser.newContext();
  await context.addInitScript(() => {
    const mark = performance.mark.bind(performance);
    performance.mark = (name, ...rest) => {
      if (name === "patapata-first-frame") {
        window.atFirstFrame = { readout: window.patapataTest.readout(), canvas: window.patapataTest.canvasBase64() };
      }
      return mark(name, ...rest);
    };
  });
  const page = await context.newPage();
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));
  await page.goto(`${session.url}?sample&test`);
  await page.waitForFunction(() => window.atFirstFrame);
  const { readout, canvas } = await page.evaluate(() => window.atFirstFrame);
  assert.deepEqual([readout.state, readout.frame], [1, 1]);
  const [expected] = sampleFrames({}, 1, 1);
  assert.equal(firstDifference(Buffer.from(canvas, "base64"), expected, VIEW_WIDTH), null);
  assert.equal(await text(page, "#characterName"), "ひよこ");
  assert.deepEqual(errors, []);
  await context.close();
});

test("a folder opened through the picker lists its characters and is opened again next time", async () => {
  const page = await session.open();
  await writeFolder(page, "two", { ...SAMPLE, "other.chp": Buffer.from("#CHARNAME other\r\n") });
  await openFolder(page, "two");
  const listed = await page.$$eval("#characterList option:not([disabled])", (options) => options.map((o) => o.value));
  assert.deepEqual(listed, ["hiyoko.chp", "other.chp"]);
  await chooseCharacter(page, "hiyoko.chp");
  assert.equal(await text(page, "#characterName"), "ひよこ");
  assert.equal(await page.isEnabled("#stateButton1"), true);
  assert.equal(await page.isEnabled("#reloadButton"), true);
  // The handle is remembered; the page's own folder needs no new permission.
  await page.reload();
  await page.waitForFunction(() => document.querySelector("#characterName").textContent === "ひよこ");
  assert.equal(await page.inputValue("#characterList"), "hiyoko.chp");
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test("a one-shot state's button plays it once and returns to the base state", async () => {
  const page = await sampleFolder();
  await hook(page, () => window.patapataTest.useManualClock());
  await page.click("#stateButton1");
  await tick(page);
  await page.click("#stateButton6");
  assert.equal(await text(page, "#stateCaption"), "喜び１");
  const states = [];
  for (let t = 0; t < 7; ++t) states.push((await tick(page)).state);
  assert.deepEqual(states, [6, 6, 6, 6, 6, 1, 1]);
  assert.equal(await text(page, "#stateCaption"), "通常１");
  await page.context().close();
});

test("a typed pattern is tracked under the caret and checked as --render plays row 30", async () => {
  const page = await sampleFolder();
  await hook(page, () => window.patapataTest.useManualClock());
  await page.click("#patternEdit");
  await page.keyboard.type("0203");
  await tick(page);
  assert.equal(await text(page, "#patternCounter"), "2/2");
  await page.keyboard.press("Home");
  await page.keyboard.press("ArrowRight");
  await tick(page);
  assert.equal(await text(page, "#patternCounter"), "0/2");
  await page.click("#patternCheckButton");
  assert.equal(await text(page, "#stateCaption"), "ﾁｪｯｸﾊﾟﾀｰﾝ");
  const chp = readFileSync(new URL("../../samples/hiyoko/hiyoko.chp", import.meta.url));
  const expected = sampleFrames({ "hiyoko.chp": Buffer.concat([chp, Buffer.from("#PATERN 30 0203\r\n")]) }, 30, 2);
  for (let t = 0; t < 2; ++t) {
    assert.equal((await tick(page)).pattern, [2, 3][t]);
    assert.equal(firstDifference(await canvasPixels(page), expected[t], VIEW_WIDTH), null, `tick ${t + 1}`);
  }
  await page.context().close();
});

test("a rewritten sheet is reloaded, a save in two halves only once it is whole", async () => {
  const page = await sampleFolder();
  await hook(page, () => window.patapataTest.useManualClock());
  await page.click("summary >> text=設定");
  await page.click("#autoSheetReload");
  const first = sampleFrames({});
  assert.notEqual(await ticksUntilShown(page, first, 1), null, "the sample as loaded");

  const second = recoloured((v) => 255 - v);
  await writeFolder(page, "hiyoko", { "hiyoko.bmp": second });
  const took = await ticksUntilShown(page, sampleFrames({ "hiyoko.bmp": second }), 8);
  assert.notEqual(took, null, "the rewritten sheet is shown");
  assert.ok(took >= 2, "not before its stamp held still");

  // The first half of the next save lands and stays long past the settle time.
  const third = recoloured((v, channel) => (v + 85 * (channel + 1)) & 0xff);
  await writeFolder(page, "hiyoko", { "hiyoko.bmp": third.subarray(0, third.length >> 1) });
  const stillSecond = sampleFrames({ "hiyoko.bmp": second });
  for (let t = 0; t < 6; ++t) {
    const { frame } = await tick(page);
    assert.equal(firstDifference(await canvasPixels(page), stillSecond[frame - 1], VIEW_WIDTH), null, `half, tick ${t + 1}`);
  }
  assert.equal(await page.isHidden("#status"), true, "a save in progress is no failure");
  await writeFolder(page, "hiyoko", { "hiyoko.bmp": third });
  assert.notEqual(await ticksUntilShown(page, sampleFrames({ "hiyoko.bmp": third }), 8), null, "the whole save is shown");
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test("a broken character file's line is on the status line, in Japanese and in English", async () => {
  const page = await sampleFolder();
  await hook(page, () => window.patapataTest.useManualClock());
  await page.click("summary >> text=設定");
  await page.click("#autoCharacterReload");
  const lines = SAMPLE["hiyoko.chp"].toString("latin1").split("\r\n");
  const broken = lines.findIndex((line) => line.startsWith("#PATERN 01"));
  lines[broken] = "#PATERN 01 0203G405";
  await writeFolder(page, "hiyoko", { "hiyoko.chp": Buffer.from(lines.join("\r\n"), "latin1") });
  for (let t = 0; t < 8 && (await page.isHidden("#status")); ++t) await tick(page);
  assert.match(await text(page, "#status"), new RegExp(`^hiyoko\\.chp, ${broken + 1} 行目: '.*' は数値ではありません\\.?$`));
  // The last good picture stays.
  const { frame } = await tick(page);
  assert.equal(firstDifference(await canvasPixels(page), sampleFrames({})[frame - 1], VIEW_WIDTH), null);

  await page.click("summary >> text=Language / 言語");
  await page.click("#language_en");
  assert.match(await text(page, "#status"), new RegExp(`^hiyoko\\.chp, line ${broken + 1}: '.*' is not a number\\.?$`));
  assert.equal(await text(page, "#stateButton1"), "Norm 1");
  assert.equal(await text(page, "#intervalLabel"), "Delay");
  assert.equal(await text(page, "#openFolderButton"), "Open Folder...");
  await page.click("#stateButton1");
  assert.equal(await text(page, "#stateCaption"), "Normal 1");
  await page.context().close();
});

test("without folder access the page says so, and a dropped character file opens with its sheet", async () => {
  const context = await session.browser.newContext();
  // As in a browser without the File System Access API.
  await context.addInitScript(() => {
    delete window.showDirectoryPicker;
  });
  const page = await context.newPage();
  await page.goto(`${session.url}?test`);
  await page.waitForFunction(() => document.querySelector("#view") !== null);
  assert.equal(await page.locator("#openFolderButton").count(), 0);
  assert.match(await text(page, "#files .note"), /このブラウザはフォルダを読めない/);
  const encoded = Object.fromEntries(Object.entries(SAMPLE).map(([name, bytes]) => [name, bytes.toString("base64")]));
  await page.evaluate((encoded) => {
    const transfer = new DataTransfer();
    for (const [name, text] of Object.entries(encoded)) {
      transfer.items.add(new File([Uint8Array.from(atob(text), (c) => c.charCodeAt(0))], name));
    }
    document.querySelector("#client").dispatchEvent(new DragEvent("drop", { dataTransfer: transfer, bubbles: true }));
  }, encoded);
  await page.waitForFunction(() => window.patapataTest.opened() === "hiyoko.chp");
  await hook(page, () => window.patapataTest.useManualClock());
  const { frame } = await tick(page);
  assert.equal(firstDifference(await canvasPixels(page), sampleFrames({})[frame - 1], VIEW_WIDTH), null);
  await context.close();
});
