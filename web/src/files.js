// The author's files as the page reads them: a folder picked with the File System Access API
// (read again and again, which keeps the live loop), files dropped on the page, or the sample
// from the page's own host. The page only reads; nothing leaves the browser.
//
// The core reads files from its module's file system, so the page keeps a copy of each file
// it needs there, under the path the core uses, and tells the core the stamp of each copy
// (lastModified and size). A copy is replaced only by a complete read during which the file did
// not change; so the core's settle-and-swap rule sees every save, and never half of one.

/** How much of a picked folder is listed: the sheet may lie in a sub-folder. */
const MAX_DEPTH = 4;
const MAX_ENTRIES = 5000;

const sameStamp = (a, b) => a && b && a.ms === b.ms && a.size === b.size;
const stampOf = (file) => ({ ms: file.lastModified, size: file.size });

export const folderAccess = typeof window.showDirectoryPicker === "function";

/**
 * A file of the page's host: {response, bytes}, the bytes straight from the response (a Blob
 * would be stored and read back once more), null when it failed. The page's head reads the
 * sample the same way.
 */
export function fetchBytes(url) {
  return fetch(url).then(async (response) => ({ response, bytes: response.ok ? await response.arrayBuffer() : null }));
}

export class Files {
  /** `fs` is the module's file system, `page` the core's Page. */
  constructor(fs, page) {
    this.fs = fs;
    this.page = page;
    this.entries = new Map();
    this.folders = 0;
    /** The files can be read again: a folder, or handles of dropped files. */
    this.live = false;
    this.folderName = "";
  }

  /** A fresh folder of the module's file system for a new set of files, made the current one. */
  #begin() {
    for (const path of this.entries.keys()) this.page.forgetFile(path);
    const previous = this.fs.cwd();
    const folder = `/files${++this.folders}`;
    this.fs.mkdir(folder);
    this.fs.chdir(folder);
    if (previous.startsWith("/files")) removeTree(this.fs, previous);
    this.entries = new Map();
    this.live = false;
    this.folderName = "";
  }

  #add(path, source) {
    this.entries.set(path, source);
    // A name the core can find (also without regard to case); its bytes come when it is needed.
    this.fs.writeFile(path, new Uint8Array(0));
  }

  /** Lists a picked (or dropped) folder; returns the paths of its .chp files. */
  async openFolder(handle) {
    this.#begin();
    this.live = true;
    this.folderName = handle.name;
    const characters = [];
    let count = 0;
    const walk = async (dir, prefix, depth) => {
      for await (const [name, entry] of dir.entries()) {
        if (++count > MAX_ENTRIES) return;
        if (name.startsWith(".")) continue;
        const path = prefix + name;
        if (entry.kind === "directory") {
          if (depth >= MAX_DEPTH) continue;
          this.fs.mkdir(path);
          await walk(entry, `${path}/`, depth + 1);
        } else {
          this.#add(path, { handle: entry });
          if (/\.chp$/i.test(name)) characters.push(path);
        }
      }
    };
    await walk(handle, "", 0);
    return characters.sort();
  }

  /** Takes dropped files: FileSystemFileHandles where the browser gives them, else Files. */
  openDropped(items) {
    this.#begin();
    const characters = [];
    for (const { handle, file } of items) {
      const name = (handle ?? file).name;
      if (this.entries.has(name)) continue;
      this.#add(name, handle ? { handle } : { file });
      if (handle) this.live = true;
      if (/\.chp$/i.test(name)) characters.push(name);
    }
    return characters.sort();
  }

  /**
   * Files of the page's own host, read once (the sample); `fetched` may hold their reads under
   * way, as `fetchBytes` makes them.
   */
  openFetched(urls, fetched = []) {
    this.#begin();
    urls.forEach((url, i) => this.#add(url.split("/").pop(), { url, fetched: fetched[i] }));
    return urls.map((url) => url.split("/").pop()).filter((name) => /\.chp$/i.test(name));
  }

  async #fileOf(source) {
    if (source.handle) return source.handle.getFile();
    if (source.file) return source.file;
    const { response, bytes } = await (source.fetched ?? fetchBytes(source.url));
    source.fetched = undefined;
    if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
    const modified = Date.parse(response.headers.get("Last-Modified") ?? "");
    return { lastModified: modified || 0, size: bytes.byteLength, arrayBuffer: async () => bytes };
  }

  /**
   * Brings the copy of `path` up to date; true when a new copy was made. A file that is gone
   * loses its copy (the core sees it missing, as during a save that removes it first); a file
   * that changed while it was read keeps the old copy, to be read again at the next refresh.
   * With `holdStamp` the new copy's stamp is given to the core only by `commit`.
   */
  async refreshCopy(path, holdStamp = false) {
    const source = this.entries.get(path);
    // A file of the page's own host does not change under it.
    if (!source || (source.url && source.held)) return false;
    let file;
    try {
      file = await this.#fileOf(source);
    } catch (error) {
      if (error?.name === "NotFoundError") this.#drop(path);
      return false;
    }
    const stamp = stampOf(file);
    if (sameStamp(source.held, stamp)) return false;
    let bytes;
    try {
      bytes = new Uint8Array(await file.arrayBuffer());
      if (source.handle && !sameStamp(stampOf(await source.handle.getFile()), stamp)) return false;
    } catch {
      return false;
    }
    this.fs.writeFile(path, bytes);
    source.held = stamp;
    if (!holdStamp) this.commit(path);
    return true;
  }

  /** Gives the core the stamp of the copy of `path`. */
  commit(path) {
    const held = this.entries.get(path)?.held;
    if (held) this.page.setFileStamp(path, held.ms, held.size);
  }

  #drop(path) {
    const source = this.entries.get(path);
    if (source) source.held = undefined;
    this.page.forgetFile(path);
    try {
      this.fs.unlink(path);
    } catch {
      // already gone
    }
  }

  /** Copies a character file and the sheets it names, before the core loads it. */
  async prepare(path) {
    await this.refreshCopy(path);
    for (const sheet of this.page.sheetsNamedBy(path)) await this.refreshCopy(sheet);
  }

  /**
   * The refresh before a tick: new copies of the watched files that changed. A character
   * file's new copy is announced only once the sheets it names are copied too.
   */
  async refreshWatched(characterPath, sheetPath) {
    if (sheetPath) await this.refreshCopy(sheetPath);
    if (characterPath && (await this.refreshCopy(characterPath, true))) {
      for (const sheet of this.page.sheetsNamedBy(characterPath)) await this.refreshCopy(sheet);
      this.commit(characterPath);
    }
  }
}

function removeTree(fs, path) {
  for (const name of fs.readdir(path)) {
    if (name === "." || name === "..") continue;
    const child = `${path}/${name}`;
    if (fs.isDir(fs.stat(child).mode)) {
      removeTree(fs, child);
    } else {
      fs.unlink(child);
    }
  }
  fs.rmdir(path);
}

// The folder picked last, remembered for the next visit (handles are kept by IndexedDB).
const DATABASE = "patapata";
const STORE = "folders";

function withStore(mode, use) {
  return new Promise((resolve, reject) => {
    const opening = indexedDB.open(DATABASE, 1);
    opening.onupgradeneeded = () => opening.result.createObjectStore(STORE);
    opening.onerror = () => reject(opening.error);
    opening.onsuccess = () => {
      const db = opening.result;
      const transaction = db.transaction(STORE, mode);
      const request = use(transaction.objectStore(STORE));
      transaction.oncomplete = () => {
        db.close();
        resolve(request.result);
      };
      transaction.onerror = () => reject(transaction.error);
    };
  });
}

/** Remembers the folder, and the character file opened in it. */
export function rememberFolder(handle, characterPath) {
  return withStore("readwrite", (store) => store.put({ handle, characterPath }, "last"));
}

/** The folder remembered, {handle, characterPath}, or undefined. */
export async function rememberedFolder() {
  try {
    return await withStore("readonly", (store) => store.get("last"));
  } catch {
    return undefined;
  }
}
