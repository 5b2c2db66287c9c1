// The page's words in Japanese (the window's own language) and English. The window's captions,
// the state captions and the system's messages come from the desktop's sources, taken at build
// time (web/tools/sources.mjs); only what the page has and the window has not is written here.
import sources from "patapata:sources";

/** Texts of the page alone, Japanese first as in the window's sources. */
const PAGE_TEXTS = {
  "フォルダを開く...": "Open Folder...",
  "キャラクタファイル": "Character file",
  "サンプルを開く": "Open the Sample",
  "フォルダ「%1」をもう一度開く": "Open the folder “%1” again",
  "フォルダ「%1」に .chp ファイルがありません": "The folder “%1” has no .chp file",
  "ドロップされたファイルに .chp ファイルがありません": "None of the dropped files is a .chp file",
  ".chp ファイルとその画像をここにドロップできます。":
    "You can drop a .chp file with its picture here.",
  "このブラウザはフォルダを読めないので、自動再読込みはできません。.chp ファイルとその画像をドロップしてください。保存したら、もう一度ドロップしてください。":
    "This browser cannot read folders, so there is no automatic reload: drop the .chp file with its picture. After saving, drop them again.",
  "クリップボードに書けません: %1": "Cannot write to the clipboard: %1",
  "%1 を読めません: %2": "Cannot read %1: %2",
  "OK": "OK",
};

let language = "ja";

export function setLanguage(code) {
  language = code === "en" ? "en" : "ja";
  document.documentElement.lang = language;
}

export function currentLanguage() {
  return language;
}

function english(context, source) {
  return sources.english[context]?.[source] ?? source;
}

/** A caption of the main window (context "MainWindow"). */
export function ui(source) {
  return language === "en" ? english("MainWindow", source) : source;
}

/** A caption the core gives (a state caption, a label's default). */
export function coreText(source) {
  return language === "en" ? english("Core", source) : source;
}

/** A state button's caption from the state table. */
export function buttonText(source) {
  return language === "en" ? english("StateButton", source) : source;
}

/** A text of the page alone. */
export function pageText(source) {
  return language === "en" ? (PAGE_TEXTS[source] ?? source) : source;
}

/**
 * One of the system's messages ({id, arguments}) in the page's language: the errors are
 * Japanese in the list and translated to English, the check's warnings and the importer's
 * messages the other way round.
 */
export function messageText(message, core) {
  const entry = sources.messages[message.id];
  if (!entry) return `#${message.id}`;
  let pattern = entry.text;
  if (entry.kind === "ERROR" && language === "en") pattern = english("Messages", entry.text);
  if (entry.kind !== "ERROR" && language === "ja") {
    const context = entry.kind === "LINT" ? "Lint" : "Import";
    pattern = sources.japanese[context]?.[entry.text] ?? entry.text;
  }
  return core.fillArguments(pattern, message.arguments);
}

/** The message in the system's own words, whatever the page's language. */
export function systemText(message, core) {
  const entry = sources.messages[message.id];
  return entry ? core.fillArguments(entry.text, message.arguments) : `#${message.id}`;
}

export const layout = sources.layout;
