#!/usr/bin/env bash
# Usage: bench/cpu_usage.sh [path/to/patapata]
# Starts the viewer under a virtual X server on the sample character at a 100 ms frame
# interval, lets it animate for 10 s and prints its processor use in percent of one core,
# from the process's own user and system times (/proc/PID/stat). A measurement, not a test.
set -euo pipefail
cd "$(dirname "$0")/.."

viewer="$(realpath "${1:-build/default/src/app/patapata}")"
seconds=10
[[ -x "$viewer" ]] || { echo "no viewer at $viewer (build it first)" >&2; exit 2; }
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (apt-get install xvfb)" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp samples/hiyoko/hiyoko.bmp "$work/"
sed 's/^#ANIME .*/#ANIME 100/' samples/hiyoko/hiyoko.chp > "$work/hiyoko.chp"

cat > "$work/measure.sh" <<INNER
#!/usr/bin/env bash
set -euo pipefail
"$viewer" "$work/hiyoko.chp" >"$work/viewer.log" 2>&1 &
pid=\$!
sleep 2  # start-up and the first load are not part of the figure
ticks() { awk '{ print \$14 + \$15 }' "/proc/\$pid/stat"; }
before=\$(ticks)
start=\$(date +%s.%N)
sleep $seconds
after=\$(ticks)
end=\$(date +%s.%N)
kill "\$pid"
wait "\$pid" 2>/dev/null || true
hz=\$(getconf CLK_TCK)
awk -v t=\$((after - before)) -v hz="\$hz" -v s="\$start" -v e="\$end" 'BEGIN {
  printf "patapata at a 100 ms frame interval: %.2f %% of one core over %.1f s (%d clock ticks)\n",
         100 * t / hz / (e - s), e - s, t }'
INNER
chmod +x "$work/measure.sh"
xvfb-run -a -s "-screen 0 640x480x24" "$work/measure.sh"
