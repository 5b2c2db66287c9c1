// The page in place of the desktop's main window: the same controls at the same places, the
// same handlers, run by the same core (the module built from src/web). Files come from a folder
// the author picks, from a drop, or from the page's own host (the sample).
import createPatapataModule from "./patapata_page.mjs";
import { Files, folderAccess, rememberFolder, rememberedFolder } from "./files.js";
import { decodePng } from "./png.js";
import * as texts from "./texts.js";

const { ui, coreText, buttonText, pageText, layout } = texts;

// The core's enums (src/common/controls.h, src/character/state_table.h).
const Edit = { Interval: 0, Pattern: 1, Layer: 2, Destination: 3 };
const Switch = { PatternLoop: 0, OneShotLoop: 1, AutoSheetReload: 2, AutoCharacterReload: 3 };
const PATTERN_CHECK_KIND = 2;
const EMPTY_CEL = -1;
/** The interval edit takes at most this many typed characters; the program may put in more. */
const INTERVAL_TYPED_LIMIT = 3;
/** Ticks come at least this often while watched files are polled, whatever the interval. */
const POLL_MS = 100;

const search = new URLSearchParams(location.search);

// What the page remembers between visits, as the desktop's settings do.
const preferences = {
  read(key, fallback) {
    try {
      const value = JSON.parse(localStorage.getItem(`patapata.${key}`));
      return value ?? fallback;
    } catch {
      return fallback;
    }
  },
  write(key, value) {
    try {
      localStorage.setItem(`patapata.${key}`, JSON.stringify(value));
    } catch {
      // private browsing: not remembered
    }
  },
};

// The sample's files; when the page is opened on the sample, its head has begun reading them.
const { files: SAMPLE, fetched: sampleFetches = [] } = window.patapataSample;

// The code the page began compiling (index.html), instantiated with the module's imports. The
// sample asked for with the page is awaited too, so that it is opened and drawn before the
// browser first lays out the controls, which with the Japanese font takes long.
const [core] = await Promise.all([
  createPatapataModule({
    instantiateWasm(imports, receive) {
      window.patapataCode
        .then((code) => WebAssembly.instantiate(code, imports).then((instance) => receive(instance, code)))
        .catch((error) => {
          document.body.textContent = String(error);  // no core, no page
        });
      return {};
    },
  }),
  Promise.allSettled(sampleFetches),
]);
const page = new core.Page(decodePng);
const files = new Files(core.FS, page);
const VIEW_WIDTH = core.viewWidth();
const VIEW_HEIGHT = core.viewHeight();
const states = core.stateTable();

const $ = (id) => document.getElementById(id);
const client = $("client");
const errorBox = $("errorBox");

/** Formats a pattern of the window's texts with the core's %1..%9 rule. */
function format(pattern, ...args) {
  return core.fillArguments(pattern, args.map(String));
}

const baseName = (path) => path.slice(path.lastIndexOf("/") + 1);

function whereText(file, line) {
  return format(ui("%1, %2 行目"), baseName(file), line);
}

/** A message as the error box shows it: in the page's language, with the "." rule. */
function boxText(message) {
  return core.errorBoxText(texts.messageText(message, core));
}

// ---- captions, remembered so that a change of language sets them again -------------------

const captions = [];
function caption(element, text, kind = ui) {
  captions.push({ element, text, kind });
  element.textContent = kind(text);
  return element;
}

function retranslate() {
  for (const { element, text, kind } of captions) element.textContent = kind(text);
  shown = null;
  render();
}

// ---- the client area ----------------------------------------------------------------------

const stateButtons = new Map();
const edits = new Map();
const boxes = new Map();
const labels = new Map();
let view;
let patternCheckButton;
let reloadButton;
let sheetReloadButton;

function place(element, x, y, width, height) {
  element.dataset.x = x;
  element.dataset.y = y;
  element.style.left = `${x}px`;
  element.style.top = `${y}px`;
  if (width !== undefined) element.style.width = `${width}px`;
  if (height !== undefined) element.style.height = `${height}px`;
  client.append(element);
  return element;
}

function button(text, kind, handler) {
  const element = document.createElement("button");
  element.type = "button";
  caption(element, text, kind);
  element.addEventListener("click", handler);
  return element;
}

function createControls() {
  for (const label of layout.labels) {
    const element = document.createElement("span");
    element.id = label.name;
    element.style.fontSize = `${label.fontHeight}px`;
    if (label.caption) caption(element, label.caption);
    labels.set(label.label, place(element, label.x, label.y));
  }
  for (const c of layout.controls) {
    let element;
    switch (c.control) {
      case "StateButton": {
        const info = states.find((s) => s.state === c.state);
        element = button(info.buttonCaption, buttonText, () => enter(() => page.selectState(c.state)));
        element.id = `stateButton${c.state}`;
        element.disabled = true;
        stateButtons.set(c.state, element);
        break;
      }
      case "IntervalEdit":
      case "PatternEdit":
      case "LayerEdit":
      case "DestinationEdit":
        element = createEdit(c.control);
        break;
      case "PatternCheckButton": {
        const info = states.find((s) => s.kind === PATTERN_CHECK_KIND);
        element = patternCheckButton = button(info.buttonCaption, buttonText, () =>
          enter(() => page.startPatternCheck()));
        element.id = "patternCheckButton";
        element.disabled = true;
        break;
      }
      case "PatternLoopBox":
        element = createBox(Switch.PatternLoop, "patternLoopBox", "ループ");
        break;
      case "OneShotLoopBox":
        element = createBox(Switch.OneShotLoop, "oneShotLoopBox", "ﾙｰﾌﾟ");
        break;
      case "ReloadButton":
        element = reloadButton = button("再読込み", ui, reloadFile);
        element.id = "reloadButton";
        element.disabled = true;
        break;
      case "SheetReloadButton":
        element = sheetReloadButton = button("CG再読込み", ui, reloadSheet);
        element.id = "sheetReloadButton";
        element.disabled = true;
        break;
      case "CopyPatternButton":
        element = button("ｸﾘｯﾌﾟﾎﾞｰﾄﾞへ", ui, copyPattern);
        element.id = "copyPatternButton";
        break;
      case "View":
        element = view = document.createElement("canvas");
        view.id = "view";
        view.width = VIEW_WIDTH;
        view.height = VIEW_HEIGHT;
        view.tabIndex = 0;
        break;
      default:
        throw new Error(`no control ${c.control}`);
    }
    place(element, c.x, c.y, c.width, c.height);
  }
}

const EDITS = {
  IntervalEdit: [Edit.Interval, "intervalEdit"],
  PatternEdit: [Edit.Pattern, "patternEdit"],
  LayerEdit: [Edit.Layer, "layerEdit"],
  DestinationEdit: [Edit.Destination, "destinationEdit"],
};

function createEdit(control) {
  const [id, name] = EDITS[control];
  const input = document.createElement("input");
  input.type = "text";
  input.id = name;
  input.spellcheck = false;
  input.autocomplete = "off";
  if (id === Edit.Interval) {
    input.value = "100";
    input.maxLength = INTERVAL_TYPED_LIMIT;
  }
  // What was typed, and where the caret is, for the core's next tick.
  const caretStart = () => input.selectionStart ?? 0;
  input.addEventListener("input", () => {
    if (id === Edit.Interval) input.maxLength = Math.max(INTERVAL_TYPED_LIMIT, input.value.length);
    enter(() => page.typed(id, input.value, caretStart()));
  });
  const moved = () => page.caretMoved(id, caretStart());
  for (const event of ["keyup", "mouseup", "select", "focus", "selectionchange"]) {
    input.addEventListener(event, moved);
  }
  edits.set(id, input);
  return input;
}

function createBox(id, name, text) {
  const label = document.createElement("label");
  label.className = "box";
  const input = document.createElement("input");
  input.type = "checkbox";
  input.id = name;
  input.addEventListener("change", () => page.setChecked(id, input.checked));
  const span = document.createElement("span");
  caption(span, text);
  label.append(input, span);
  boxes.set(id, input);
  return label;
}

// ---- zoom ---------------------------------------------------------------------------------

let zoom = 1;
const viewPlace = layout.controls.find((c) => c.control === "View");

/** The view enlarged `factor` times; what lies under it moves down with its bottom. */
function setZoom(factor) {
  zoom = Math.min(4, Math.max(1, factor));
  view.style.width = `${VIEW_WIDTH * zoom}px`;
  view.style.height = `${VIEW_HEIGHT * zoom}px`;
  const grown = VIEW_HEIGHT * (zoom - 1);
  for (const element of client.children) {
    if (element === view) continue;
    const x = Number(element.dataset.x);
    const y = Number(element.dataset.y);
    const below = y >= layout.patternToolTop || (x >= viewPlace.x && y >= viewPlace.height);
    element.style.top = `${below ? y + grown : y}px`;
  }
  client.style.width = `${Math.max(layout.clientWidth, viewPlace.x + VIEW_WIDTH * zoom)}px`;
  client.style.height = `${layout.clientHeight + grown}px`;
  for (const [factor, item] of zoomItems) item.setAttribute("aria-checked", factor === zoom);
}

// ---- the menus ----------------------------------------------------------------------------

const zoomItems = new Map();
let reloadItem;
let pauseItem;
let readoutItem;
const switchItems = new Map();

function menu(title) {
  const details = document.createElement("details");
  details.className = "menu";
  const summary = document.createElement("summary");
  if (title.startsWith("Language")) {
    summary.textContent = title;
  } else {
    caption(summary, title);
  }
  const items = document.createElement("div");
  items.className = "items";
  details.append(summary, items);
  $("menubar").append(details);
  return items;
}

function closeMenus() {
  for (const open of document.querySelectorAll("details.menu[open]")) open.open = false;
}

function menuItem(items, text, shortcut, handler, kind = ui) {
  const item = document.createElement("button");
  item.type = "button";
  const name = document.createElement("span");
  caption(name, text, kind);
  item.append(name);
  if (shortcut) {
    const key = document.createElement("span");
    key.className = "shortcut";
    key.textContent = shortcut;
    item.append(key);
  }
  item.addEventListener("click", () => {
    closeMenus();
    handler();
  });
  items.append(item);
  return item;
}

function separator(items) {
  items.append(document.createElement("hr"));
}

function createMenus() {
  const file = menu("ファイル");
  if (folderAccess) menuItem(file, "フォルダを開く...", "", pickFolder, pageText);
  menuItem(file, "サンプルを開く", "", openSample, pageText);
  reloadItem = menuItem(file, "再読込み", "F5", reloadFile);
  reloadItem.disabled = true;

  const show = menu("表示");
  for (const [factor, text] of [[1, "等倍"], [2, "2 倍"], [3, "3 倍"], [4, "4 倍"]]) {
    zoomItems.set(factor, menuItem(show, text, "", () => {
      setZoom(factor);
      preferences.write("zoom", factor);
    }));
  }
  separator(show);
  pauseItem = menuItem(show, "一時停止", "F6", () => setPaused(!page.isPaused()));
  menuItem(show, "1 コマ戻る", "F7", () => enter(() => page.stepBack()));
  menuItem(show, "1 コマ進む", "F8", () => enter(() => page.stepForward()));
  separator(show);
  readoutItem = menuItem(show, "フレーム情報", "", () => {
    readout = !readout;
    preferences.write("readout", readout);
    readoutItem.setAttribute("aria-checked", readout);
    renderStatus();
  });

  const settings = menu("設定");
  for (const [id, text, key] of [
    [Switch.AutoSheetReload, "自動ＣＧ再読込み", "autoSheetReload"],
    [Switch.AutoCharacterReload, "自動キャラ再読込み", "autoCharacterReload"],
  ]) {
    const item = menuItem(settings, text, "", () => {
      const checked = !page.isChecked(id);
      page.setChecked(id, checked);
      preferences.write(key, checked);
      item.setAttribute("aria-checked", checked);
    });
    item.id = key;
    const checked = preferences.read(key, false);
    page.setChecked(id, checked);
    item.setAttribute("aria-checked", checked);
    switchItems.set(id, item);
  }
  // Named in both languages, so that whoever reads neither word of one finds it.
  const language = menu("Language / 言語");
  for (const [code, name] of [["ja", "日本語"], ["en", "English"]]) {
    const item = menuItem(language, name, "", () => setLanguage(code), (t) => t);
    item.id = `language_${code}`;
    item.dataset.language = code;
  }
}

function setLanguage(code) {
  texts.setLanguage(code);
  preferences.write("language", code);
  for (const item of document.querySelectorAll("[data-language]")) {
    item.setAttribute("aria-checked", item.dataset.language === texts.currentLanguage());
  }
  retranslate();
}

// ---- files --------------------------------------------------------------------------------

const filesBar = $("files");
const characterList = document.createElement("select");
characterList.id = "characterList";
const listLabel = document.createElement("label");
const reopenButton = document.createElement("button");
reopenButton.type = "button";
reopenButton.hidden = true;
const note = document.createElement("span");
note.className = "note";
let folderHandle = null;
let fileNote = "";

function createFilesBar() {
  if (folderAccess) {
    const open = button("フォルダを開く...", pageText, pickFolder);
    open.id = "openFolderButton";
    filesBar.append(open);
  }
  filesBar.append(reopenButton);
  caption(listLabel, "キャラクタファイル", pageText);
  listLabel.htmlFor = "characterList";
  characterList.hidden = listLabel.hidden = true;
  characterList.addEventListener("change", () => openCharacter(characterList.value));
  const sample = button("サンプルを開く", pageText, openSample);
  sample.id = "sampleButton";
  filesBar.append(listLabel, characterList, sample, note);
  caption(
    note,
    folderAccess
      ? ".chp ファイルとその画像をここにドロップできます。"
      : "このブラウザはフォルダを読めないので、自動再読込みはできません。.chp ファイルとその画像をドロップしてください。保存したら、もう一度ドロップしてください。",
    pageText,
  );
}

function showCharacters(list, chosen) {
  const option = (path) => {
    const element = document.createElement("option");
    element.value = element.textContent = path;
    return element;
  };
  // Until one is chosen the list shows none, so that choosing the first is a change too.
  const none = option("");
  none.disabled = true;
  characterList.replaceChildren(...(chosen ? [] : [none]), ...list.map(option));
  characterList.hidden = listLabel.hidden = list.length === 0;
  characterList.value = chosen ?? "";
}

/** The folder picker; the test hook stands in for it. */
let choose = () => window.showDirectoryPicker({ id: "patapata", mode: "read" });

async function pickFolder() {
  let handle;
  try {
    handle = await choose();
  } catch (error) {
    if (error?.name !== "AbortError") report(String(error?.message ?? error));
    return;
  }
  await openFolder(handle);
}

async function openFolder(handle, wanted) {
  folderHandle = handle;
  reopenButton.hidden = true;
  const list = await files.openFolder(handle);
  // The file of the last visit, or the only one; among several the author chooses.
  const chosen = list.includes(wanted) ? wanted : list.length === 1 ? list[0] : undefined;
  showCharacters(list, chosen);
  fileNote = list.length === 0 ? format(pageText("フォルダ「%1」に .chp ファイルがありません"), handle.name) : "";
  renderStatus();
  await rememberFolder(handle, chosen).catch(() => {});
  if (chosen) await openCharacter(chosen);
}

/**
 * Opens a character file of the current files, as a drop or the file dialog does; `copied` when
 * the copies of all its files are up to date already.
 */
let lastOpened = "";
async function openCharacter(path, copied = false) {
  if (!copied) await files.prepare(path);
  enter(() => page.open(path));
  lastOpened = path;
  if (folderHandle && files.live) await rememberFolder(folderHandle, path).catch(() => {});
}

async function openSample() {
  folderHandle = null;
  const list = files.openFetched(SAMPLE, sampleFetches.splice(0));
  showCharacters(list, list[0]);
  fileNote = "";
  // Both at once: which files the character needs is known here.
  await Promise.all(SAMPLE.map((url) => files.refreshCopy(baseName(url))));
  await openCharacter(list[0], true);
}

async function takeDrop(transfer) {
  // The handles are asked for while the drop lasts; they keep a dropped file readable again.
  const items = [...transfer.items].filter((item) => item.kind === "file");
  const asked = items.map((item) => item.getAsFileSystemHandle?.().catch(() => null) ?? null);
  const plain = [...transfer.files];
  const handles = await Promise.all(asked);
  if (handles.length > 0 && handles[0]?.kind === "directory") {
    await openFolder(handles[0]);
    return;
  }
  folderHandle = null;
  const list = files.openDropped(
    plain.map((file, i) => (handles[i]?.kind === "file" ? { handle: handles[i] } : { file })),
  );
  showCharacters(list, list[0]);
  fileNote = list.length === 0 ? pageText("ドロップされたファイルに .chp ファイルがありません") : "";
  renderStatus();
  if (list.length > 0) await openCharacter(list[0]);
}

function watchDrops() {
  const target = $("window");
  target.addEventListener("dragover", (event) => {
    event.preventDefault();
    client.classList.add("dropping");
  });
  target.addEventListener("dragleave", () => client.classList.remove("dropping"));
  target.addEventListener("drop", (event) => {
    event.preventDefault();
    client.classList.remove("dropping");
    takeDrop(event.dataTransfer);
  });
}

/** The folder of the last visit: opened again at once, or after the author allows it again. */
async function reopenRemembered() {
  const remembered = await rememberedFolder();
  if (!remembered?.handle?.queryPermission) return;
  const { handle, characterPath } = remembered;
  if ((await handle.queryPermission({ mode: "read" })) === "granted") {
    await openFolder(handle, characterPath);
    return;
  }
  captions.push({ element: reopenButton, text: "フォルダ「%1」をもう一度開く", kind: (t) => format(pageText(t), handle.name) });
  reopenButton.textContent = format(pageText("フォルダ「%1」をもう一度開く"), handle.name);
  reopenButton.hidden = false;
  reopenButton.onclick = async () => {
    if ((await handle.requestPermission({ mode: "read" })) === "granted") {
      await openFolder(handle, characterPath);
    }
  };
}

async function reloadFile() {
  const path = page.characterPath();
  if (path) await files.prepare(path);
  enter(() => page.reload());
}

async function reloadSheet() {
  const path = page.sheetPath();
  if (path) await files.refreshCopy(path);
  enter(() => page.reloadSheet());
}

async function copyPattern() {
  const copies = page.copies();
  enter(() => page.copyPattern());
  if (page.copies() === copies) return;
  const edit = edits.get(Edit.Pattern);
  edit.select();
  try {
    await navigator.clipboard.writeText(page.copiedText());
  } catch (error) {
    report(format(pageText("クリップボードに書けません: %1"), error?.message ?? error));
  }
}

function setPaused(paused) {
  enter(() => page.setPaused(paused));
  pauseItem.setAttribute("aria-checked", page.isPaused());
}

// ---- handlers, the error box --------------------------------------------------------------

/** Runs a handler of the core; what it did shows, and an error it raised goes to the error box. */
function enter(handler) {
  const ok = handler();
  paint();
  render();
  if (ok === false) report(errorText());
}

function errorText() {
  const error = page.lastError();
  if (!error) return core.errorBoxText(page.lastFault());
  let text = boxText(error);
  if (error.line > 0) text += `\n${whereText(error.file, error.line)}`;
  return text;
}

/** The error box: the tick waits while it is up, as under the desktop's modal box. */
function report(text) {
  $("errorText").textContent = text;
  $("errorOk").textContent = pageText("OK");
  if (!errorBox.open) errorBox.showModal();
}

// ---- showing what the core decided --------------------------------------------------------

let shown = null;
let display = null;
let readout = false;
let watched = { character: "", sheet: "" };

function render() {
  const revision = page.displayRevision();
  if (shown !== revision) {
    shown = revision;
    display = page.display();
    watched = { character: page.characterPath(), sheet: page.sheetPath() };
    labels.get("CharacterName").textContent = display.name ?? coreText("名前");
    labels.get("StateCaption").textContent = coreText(display.caption);
    ["PatternCounter", "LayerCounter", "DestinationCounter"].forEach((name, i) => {
      labels.get(name).textContent = display.counters[i];
    });
    states.forEach((info, i) => {
      const element = stateButtons.get(info.state);
      if (element) element.disabled = !display.buttons[i];
    });
    patternCheckButton.disabled = !display.patternCheckEnabled;
    reloadButton.disabled = sheetReloadButton.disabled = reloadItem.disabled = !display.reloadEnabled;
    const interval = edits.get(Edit.Interval);
    if (interval.value !== display.interval) {
      interval.maxLength = Math.max(INTERVAL_TYPED_LIMIT, display.interval.length);
      interval.value = display.interval;
    }
    renderStatus();
  } else if (readout) {
    renderStatus();
  }
}

const status = $("status");

function renderStatus() {
  if (!display) return;
  const lines = [];
  const tips = [];
  if (fileNote) lines.push(fileNote);
  const failure = display.failure;
  if (failure) {
    const where = failure.line > 0 ? whereText(failure.file, failure.line) : baseName(failure.file);
    lines.push(`${where}: ${boxText(failure)}`);
    tips.push(failure.file);
  }
  if (display.warnings.length > 0) {
    // The count on the line, the warnings where the pointer rests on it: the batch check's,
    // which speaks the system's own words in either language.
    lines.push(format(ui("警告 %1 件（ここにポインタを置くと表示）"), display.warnings.length));
    for (const warning of display.warnings) {
      tips.push(format(ui("%1 行目: %2"), warning.line, texts.systemText(warning, core)));
    }
  }
  if (readout && display.characterLoaded) lines.push(readoutText());
  const text = lines.join("\n");
  if (status.textContent !== text) status.textContent = text;
  status.title = tips.join("\n");
  status.hidden = text === "";
}

function celText(cel) {
  return cel === EMPTY_CEL ? "--" : cel.toString(16).toUpperCase().padStart(2, "0");
}

function readoutText() {
  const r = page.readout();
  let text = format(ui("状態 %1 %2  コマ %3/%4  パターン %5"), r.state, coreText(display.caption), r.frame,
    r.length, celText(r.pattern));
  if (r.layerOn) text += format(ui("  レイヤ %1→%2"), celText(r.layer), celText(r.destination));
  if (r.paused) {
    text += ui("  一時停止中");
  } else if (r.meanMs !== null) {
    text += format(ui("  %1 ms（指定 %2）"), Math.round(r.meanMs), r.intervalMs);
  }
  return text;
}

// The view's pixels, straight from the module's memory; remade only when the memory grew.
const context = () => view.getContext("2d");
let frameImage = null;
let painted = -1;

function paint() {
  const presented = page.framesPresented();
  if (presented === painted) return;
  painted = presented;
  const memory = core.HEAPU8.buffer;
  if (frameImage?.data.buffer !== memory) {
    const bytes = new Uint8ClampedArray(memory, page.frameAddress(), VIEW_WIDTH * VIEW_HEIGHT * 4);
    frameImage = new ImageData(bytes, VIEW_WIDTH, VIEW_HEIGHT);
  }
  context().putImageData(frameImage, 0, 0);
  if (firstFrameMs === null && display?.characterLoaded) {
    firstFrameMs = performance.now();
    performance.mark("patapata-first-frame");
    // And once the browser has laid out and painted the page with it (a task queued from the
    // next frame's callback runs after that frame's rendering).
    requestAnimationFrame(() => setTimeout(() => performance.mark("patapata-first-frame-shown")));
  }
}
let firstFrameMs = null;

// ---- the tick -----------------------------------------------------------------------------

let manualClock = false;

/** New copies of the watched files whose automatic reload is on, then one tick at `now`. */
async function tickAt(now) {
  const sheet = page.isChecked(Switch.AutoSheetReload) ? watched.sheet : "";
  const character = page.isChecked(Switch.AutoCharacterReload) ? watched.character : "";
  if (files.live && (sheet || character)) await files.refreshWatched(character, sheet);
  const wait = page.tick(now);
  paint();
  render();
  if (wait < 0) report(errorText());
  return wait < 0 ? POLL_MS : wait;
}

async function run() {
  while (!manualClock) {
    let wait = POLL_MS;
    if (!errorBox.open) wait = await tickAt(performance.now() >>> 0);
    const polling = files.live &&
      (page.isChecked(Switch.AutoSheetReload) || page.isChecked(Switch.AutoCharacterReload));
    await new Promise((resolve) => setTimeout(resolve, polling ? Math.min(wait, POLL_MS) : wait));
  }
}

function watchKeys() {
  document.addEventListener("keydown", (event) => {
    const actions = {
      F5: reloadFile,
      F6: () => setPaused(!page.isPaused()),
      F7: () => enter(() => page.stepBack()),
      F8: () => enter(() => page.stepForward()),
    };
    const action = actions[event.key];
    if (!action || event.ctrlKey || event.altKey || event.metaKey) return;
    event.preventDefault();
    if (event.key === "F5" && reloadButton.disabled) return;
    action();
  });
  document.addEventListener("click", (event) => {
    for (const open of document.querySelectorAll("details.menu[open]")) {
      if (!open.contains(event.target)) open.open = false;
    }
  });
}

// ---- the test hook ------------------------------------------------------------------------

/** For the browser tests (?test): the picker's stand-in and a clock that jumps, as --render's. */
function installTestHook() {
  let virtualNow = 0;
  window.patapataTest = {
    /** The folder picker returns what `chooser` gives instead of asking the author. */
    usePicker(chooser) {
      choose = chooser;
    },
    /** Stops the page's own ticks; tick() then moves a virtual clock over every wait. */
    useManualClock() {
      manualClock = true;
      virtualNow = performance.now() >>> 0;
    },
    /** One tick as --render makes it: the first finds the frame not yet due and moves the
        clock to its deadline. */
    async tick() {
      const before = page.framesDrawn();
      for (let i = 0; i < 2 && page.framesDrawn() === before; ++i) {
        const wait = await tickAt(virtualNow);
        if (page.framesDrawn() === before) virtualNow = (virtualNow + wait) >>> 0;
      }
      return page.readout();
    },
    readout: () => page.readout(),
    framesDrawn: () => page.framesDrawn(),
    errorShown: () => (errorBox.open ? $("errorText").textContent : null),
    closeError: () => errorBox.close(),
    firstFrameMs: () => firstFrameMs,
    /** The character file opened last. */
    opened: () => lastOpened,
    /** Opens a character file of the files open, as the list does. */
    open: (path) => openCharacter(path),
    /** The canvas's RGBA pixels, base64. */
    canvasBase64() {
      const { data } = context().getImageData(0, 0, view.width, view.height);
      let text = "";
      for (let i = 0; i < data.length; i += 0x8000) text += String.fromCharCode(...data.subarray(i, i + 0x8000));
      return btoa(text);
    },
  };
}

// ---- start --------------------------------------------------------------------------------

texts.setLanguage(preferences.read("language", "ja"));
createControls();
createMenus();
createFilesBar();
watchDrops();
watchKeys();
readout = preferences.read("readout", false);
readoutItem.setAttribute("aria-checked", readout);
setZoom(preferences.read("zoom", 1));
setLanguage(texts.currentLanguage());
errorBox.addEventListener("close", () => view.focus());
if (search.has("test")) installTestHook();
paint();
render();
if (search.has("sample")) {
  await openSample();
} else if (folderAccess) {
  await reopenRemembered();
}
run();
