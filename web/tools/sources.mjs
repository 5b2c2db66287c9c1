// What the page takes from the desktop's sources at build time, so that each text and each
// control's place is written once: the system's messages (src/common/message_texts.inc), the
// window's translations (src/window/translations/*.ts) and the window's layout
// (src/window/window_layout.h).
import { readFileSync } from "node:fs";
import { join } from "node:path";

const ESCAPES = { '\\"': '"', "\\\\": "\\", "\\n": "\n", "\\t": "\t", "\\'": "'" };

function fail(text) {
  throw new Error(`web/tools/sources.mjs: ${text}`);
}

function unescapeC(literal) {
  return literal.replace(/\\./g, (escape) => {
    if (!(escape in ESCAPES)) fail(`escape ${escape} is not understood`);
    return ESCAPES[escape];
  });
}

/** The messages in the order of the MessageId enum: {id, kind ("ERROR", "LINT", "IMPORT"), text}. */
export function readMessages(root) {
  const file = join(root, "src/common/message_texts.inc");
  const code = readFileSync(file, "utf8")
    .split("\n")
    .filter((line) => !line.trimStart().startsWith("//"))
    .join("\n");
  const entry = /PATAPATA_(ERROR|LINT|IMPORT)\(\s*(\w+)\s*,((?:\s*"(?:[^"\\\n]|\\.)*")+)\s*\)/g;
  const messages = [];
  for (const [, kind, id, literals] of code.matchAll(entry)) {
    const text = [...literals.matchAll(/"((?:[^"\\\n]|\\.)*)"/g)].map((m) => unescapeC(m[1])).join("");
    messages.push({ id, kind, text });
  }
  // A text the pattern above does not understand would shift every identifier after it.
  const written = (code.match(/PATAPATA_(?:ERROR|LINT|IMPORT)\(/g) ?? []).length;
  if (written !== messages.length) fail(`${file} has ${written} entries, ${messages.length} read`);
  return messages;
}

function unescapeXml(text) {
  return text
    .replace(/&lt;/g, "<")
    .replace(/&gt;/g, ">")
    .replace(/&apos;/g, "'")
    .replace(/&quot;/g, '"')
    .replace(/&amp;/g, "&");
}

/** A Qt translation file's finished translations: {context: {source: translation}}. */
export function readTranslations(file) {
  const xml = readFileSync(file, "utf8");
  const contexts = {};
  for (const [, body] of xml.matchAll(/<context>([\s\S]*?)<\/context>/g)) {
    const name = /<name>([^<]*)<\/name>/.exec(body)?.[1] ?? fail(`${file}: a context has no name`);
    const texts = (contexts[name] ??= {});
    for (const [, message] of body.matchAll(/<message>([\s\S]*?)<\/message>/g)) {
      const source = /<source>([\s\S]*?)<\/source>/.exec(message);
      const translation = /<translation(?:\s+type="([^"]*)")?>([\s\S]*?)<\/translation>/.exec(message);
      if (!source || !translation || translation[1]) continue;
      texts[unescapeXml(source[1])] = unescapeXml(translation[2]);
    }
  }
  return contexts;
}

/**
 * The window's layout: the client area, the view's place, where the controls under the view
 * begin, and every control and label with its box, as window_layout.h gives them.
 */
export function readLayout(root) {
  const file = join(root, "src/window/window_layout.h");
  const header = readFileSync(file, "utf8");
  const constant = (name) => {
    const match = new RegExp(`constexpr int ${name} = (\\d+);`).exec(header);
    return match ? Number(match[1]) : fail(`${file} has no ${name}`);
  };
  const controls = [];
  const box = /\{Control::(\w+),\s*(\d+),\s*\{(\d+),\s*(\d+),\s*(\w+),\s*(\w+)\}\}/g;
  for (const [, control, state, x, y, width, height] of header.matchAll(box)) {
    const size = (v) => (/^\d+$/.test(v) ? Number(v) : v === "kViewWidth" ? 121 : v === "kViewHeight" ? 271 : fail(v));
    controls.push({ control, state: Number(state), x: Number(x), y: Number(y), width: size(width), height: size(height) });
  }
  const labels = [];
  const label =
    /\{Label::(\w+),\s*"(\w+)",\s*(nullptr|QT_TRANSLATE_NOOP\("MainWindow", "([^"]*)"\)),\s*(\d+),\s*(\d+),\s*(\w+)\}/g;
  for (const [, kind, name, , caption, x, y, font] of header.matchAll(label)) {
    const height = /^\d+$/.test(font) ? Number(font) : constant(font);
    labels.push({ label: kind, name, caption: caption ?? null, x: Number(x), y: Number(y), fontHeight: height });
  }
  if (controls.length !== 24 || labels.length !== 8) {
    fail(`${file}: ${controls.length} controls and ${labels.length} labels read, 24 and 8 expected`);
  }
  return {
    clientWidth: constant("kClientWidth"),
    clientHeight: constant("kClientHeight"),
    patternToolTop: constant("kPatternToolTop"),
    fontHeight: constant("kFontHeight"),
    controls,
    labels,
  };
}

/** Everything above as one object for the page. */
export function pageSources(root) {
  const english = readTranslations(join(root, "src/window/translations/patapata_en.ts"));
  const japanese = readTranslations(join(root, "src/window/translations/patapata_ja.ts"));
  return { messages: readMessages(root), english, japanese, layout: readLayout(root) };
}
