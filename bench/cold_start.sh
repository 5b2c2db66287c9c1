#!/usr/bin/env bash
# Usage: bench/cold_start.sh [path/to/patapata] [runs]
# The time from exec to the first frame on screen, under a virtual X server: the viewer is
# started `runs` times (10 by default) with PATAPATA_MEASURE_START set to the time just before
# exec, prints when its first frame has been painted and quits; the median is reported. Once
# with the sample character, once with the same character on a 4096 x 4096 24-bit sheet. The
# files are in the page cache after the first run, as they are when an author restarts the
# viewer. A measurement, not a test.
set -euo pipefail
cd "$(dirname "$0")/.."

viewer="$(realpath "${1:-build/default/src/app/patapata}")"
runs="${2:-10}"
[[ -x "$viewer" ]] || { echo "no viewer at $viewer (build it first)" >&2; exit 2; }
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (apt-get install xvfb)" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/sample" "$work/large"
cp samples/hiyoko/hiyoko.bmp samples/hiyoko/hiyoko.chp "$work/sample/"
cp samples/hiyoko/hiyoko.chp "$work/large/"
# The sample's picture in the top left corner of a 4096 x 4096 24-bit sheet, gradients
# elsewhere, so that the character's cels are where it expects them.
python3 - samples/hiyoko/hiyoko.bmp "$work/large/hiyoko.bmp" <<'PY'
import struct, sys
src = open(sys.argv[1], "rb").read()
off, = struct.unpack_from("<I", src, 10)
hsize, w, h, _, bits = struct.unpack_from("<IiiHH", src, 14)
assert bits == 8
colours = struct.unpack_from("<I", src, 46)[0] or 256
pal = [src[14 + hsize + 4 * i: 14 + hsize + 4 * i + 3] for i in range(colours)]
stride = (w + 3) & ~3
n = 4096
rows = []
for y in range(n):  # bottom-up, as the file stores them
    sy = h - 1 - (n - 1 - y)  # the sample's row shown at the same height from the top
    fill = bytes(((x // 16 + y // 16) & 255, x & 255, y & 255)[k] for x in range(0, 64) for k in range(3))
    row = bytearray(fill * (n // 64))
    if 0 <= sy < h:
        line = src[off + sy * stride: off + sy * stride + w]
        row[0:3 * w] = b"".join(pal[i] for i in line)
    rows.append(bytes(row))
# The bottom-right pixel is the colour key: the sample's, so that its cels stay keyed.
key = pal[src[off + w - 1]]
rows[0] = rows[0][:3 * (n - 1)] + key
data = b"".join(rows)
header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, n, n, 1, 24, 0, len(data), 2835, 2835, 0, 0)
open(sys.argv[2], "wb").write(header + info + data)
PY

cat > "$work/measure.sh" <<INNER
#!/usr/bin/env bash
set -euo pipefail
for kind in sample large; do
  for ((i = 0; i < $runs; ++i)); do
    PATAPATA_MEASURE_START=\$(date +%s%N) XDG_CONFIG_HOME="$work/config" \
      timeout 30 "$viewer" "$work/\$kind/hiyoko.chp" 2>/dev/null |
      sed -n 's/^first frame on screen \([0-9.]*\) ms.*/\1/p'
  done | sort -n | awk -v kind="\$kind" -v runs=$runs '{ t[NR] = \$1 }
    END {
      if (NR == 0) { printf "%s: no first frame\n", kind; exit }
      m = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
      printf "%s sheet: median %.1f ms from exec to the first frame (%d of %d runs, %.1f to %.1f ms)\n",
             kind == "sample" ? "sample (726 x 1116, 8-bit)" : "4096 x 4096 24-bit", m, NR, runs, t[1], t[NR] }'
done
INNER
chmod +x "$work/measure.sh" bench/cold_start.sh
xvfb-run -a -s "-screen 0 640x480x24" "$work/measure.sh"
