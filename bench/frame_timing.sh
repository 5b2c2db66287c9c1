#!/usr/bin/env bash
# Usage: bench/frame_timing.sh [frames per round]
# Times the composed frame natively (default preset) and as WebAssembly under Node (wasm
# preset), from the same source (bench/frame_timing.cpp), one after the other, three times.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target patapata_frame_timing >/dev/null
cmake --preset wasm >/dev/null
cmake --build --preset wasm --target patapata_frame_timing >/dev/null
for round in 1 2 3; do
  echo "native:"
  build/default/patapata_frame_timing "$@"
  echo "wasm (node $(node --version)):"
  node build/wasm/patapata_frame_timing.js "$@"
done
