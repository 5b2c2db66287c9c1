#!/usr/bin/env bash
# Usage: bench/frame_timing.sh [frames per round]
# Times the composed frame natively (default preset) and as WebAssembly under Node (wasm
# preset), from the same source (bench/frame_timing.cpp), one after the other, three times, then
# prints the medians side by side with their ratio (the goal: WebAssembly ≤ 2× native). When the
# page's packages are installed (web/node_modules), each round also runs the WebAssembly in
# headless Chromium, the browser the page runs in.
set -euo pipefail
cd "$(dirname "$0")/.."
export NODE_PATH=/usr/share/nodejs
cmake --preset default >/dev/null
cmake --build --preset default --target patapata_frame_timing >/dev/null
cmake --preset wasm >/dev/null
cmake --build --preset wasm --target patapata_frame_timing patapata_frame_timing_web >/dev/null
browser=false
[ -d web/node_modules/playwright-core ] && browser=true
runs=$(mktemp)
trap 'rm -f "$runs"' EXIT
for round in 1 2 3; do
  echo "native:"
  build/default/patapata_frame_timing "$@" | tee >(sed 's/^/native /' >>"$runs")
  echo "wasm (node $(node --version)):"
  node build/wasm/patapata_frame_timing.js "$@" | tee >(sed 's/^/wasm /' >>"$runs")
  if $browser; then
    echo "wasm in headless Chromium:"
    node web/bench/frame_timing.mjs | tee >(sed 's/^/chromium /' >>"$runs")
  fi
done
sleep 0.2  # the tee copies finish
echo
python3 - "$runs" <<'PY'
import re, statistics, sys
times = {}
for line in open(sys.argv[1]):
    m = re.match(r"(native|wasm|chromium) (\S+)\s+(\d+) ns/frame.*best (\d+)", line)
    if m:
        by = times.setdefault(m[2], {})
        by.setdefault(m[1], []).append(int(m[3]))
        by.setdefault(m[1] + " best", []).append(int(m[4]))
# On a shared machine a round is slowed by what else runs; the best rounds show the programs.
print(f"{'frame':<10}{'native':>12}{'wasm':>12}{'wasm/native':>14}{'best rounds':>14}")
for name, by in times.items():
    native, wasm = statistics.median(by["native"]), statistics.median(by["wasm"])
    best = min(by["wasm best"]) / min(by["native best"])
    verdict = "within 2×" if wasm <= 2 * native else "over 2×"
    print(f"{name:<10}{native / 1000:>9.1f} µs{wasm / 1000:>9.1f} µs{wasm / native:>13.2f}×"
          f"{best:>13.2f}×  {verdict}")
    if "chromium" in by:
        browser = statistics.median(by["chromium"])
        print(f"{'':<22}{browser / 1000:>9.1f} µs{browser / native:>13.2f}×{'':>14}  in Chromium")
PY
