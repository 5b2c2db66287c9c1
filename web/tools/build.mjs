// Builds the page into build/web/: the bundle of web/src with the texts and the layout taken from
// the desktop's sources, the page's files, the core's module (built by scripts/web into
// build/wasm) and the sample character.
//
// Usage: node web/tools/build.mjs
import * as esbuild from "esbuild";
import { copyFileSync, mkdirSync, existsSync } from "node:fs";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { pageSources } from "./sources.mjs";

const root = resolve(dirname(fileURLToPath(import.meta.url)), "../..");
const out = join(root, "build/web");
const moduleDir = join(root, "build/wasm/src/web");

for (const name of ["patapata_page.mjs", "patapata_page.wasm"]) {
  if (!existsSync(join(moduleDir, name))) {
    throw new Error(`${join(moduleDir, name)} is missing: build the target patapata_page first`);
  }
}
mkdirSync(join(out, "samples/hiyoko"), { recursive: true });

// The desktop's texts and layout, as a module the bundle imports.
const sourcesPlugin = {
  name: "patapata-sources",
  setup(build) {
    build.onResolve({ filter: /^patapata:sources$/ }, () => ({ path: "sources", namespace: "patapata" }));
    build.onLoad({ filter: /.*/, namespace: "patapata" }, () => ({
      contents: `export default ${JSON.stringify(pageSources(root))};`,
      loader: "js",
    }));
  },
};

await esbuild.build({
  entryPoints: [join(root, "web/src/main.js")],
  bundle: true,
  format: "esm",
  target: "es2022",
  minify: true,
  sourcemap: true,
  outfile: join(out, "app.js"),
  // The core's module is loaded beside the page, with its .wasm.
  external: ["./patapata_page.mjs"],
  plugins: [sourcesPlugin],
  logLevel: "warning",
});

copyFileSync(join(root, "web/index.html"), join(out, "index.html"));
copyFileSync(join(root, "web/style.css"), join(out, "style.css"));
copyFileSync(join(root, "src/window/resources/icons/patapata-32.png"), join(out, "icon.png"));
for (const name of ["patapata_page.mjs", "patapata_page.wasm"]) {
  copyFileSync(join(moduleDir, name), join(out, name));
}
for (const name of ["hiyoko.chp", "hiyoko.bmp"]) {
  copyFileSync(join(root, "samples/hiyoko", name), join(out, "samples/hiyoko", name));
}
console.log(`web/tools/build.mjs: the page is in ${out}`);
