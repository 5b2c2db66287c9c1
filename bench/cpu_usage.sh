#!/usr/bin/env bash
# Usage: bench/cpu_usage.sh [path/to/patapata] [seconds] [side-by-side] [rounds]
# Starts the viewer under a virtual X server on the sample character, once at a 16 ms and once
# at a 100 ms frame interval, lets it animate (20 s by default) and prints its processor use
# in percent of one core, from the process's own user and system times (/proc/PID/stat); then
# once more on a copy whose first state holds one cel, so that every frame equals the last.
# Then the same for patapata_repaint_floor of the same build, when it is there: a bare Qt
# window repainting a picture of the view's size at the same intervals, the floor the viewer's
# figure stands on. Last, on a screen that holds them all, the main window alone and beside the
# window of every state at once (表示 → 全状態, opened at start-up as the settings remember it),
# both at 100 ms, side by side, with their ratio; "side-by-side" measures only those two. The
# figures are a few dozen clock ticks a minute, so `rounds` (1 by default) measures the pair
# that many times, one after the other, and gives the ratio of the sums too. A measurement, not
# a test.
set -euo pipefail
cd "$(dirname "$0")/.."

viewer="$(realpath "${1:-build/default/src/app/patapata}")"
seconds="${2:-20}"
only="${3:-}"
rounds="${4:-1}"
floor="$(dirname "$viewer")/../../bench/patapata_repaint_floor"
[[ -x "$floor" ]] && floor="$(realpath "$floor")" || floor=""
[[ -x "$viewer" ]] || { echo "no viewer at $viewer (build it first)" >&2; exit 2; }
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (apt-get install xvfb)" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp samples/hiyoko/hiyoko.bmp "$work/"
for interval in 16 100; do
  sed "s/^#ANIME .*/#ANIME $interval/" samples/hiyoko/hiyoko.chp > "$work/hiyoko$interval.chp"
  # The same character holding one cel in the state it starts in, as a paused player does.
  sed "s/^#PATERN 01 .*/#PATERN 01 02/" "$work/hiyoko$interval.chp" > "$work/held$interval.chp"
done

cat > "$work/measure.sh" <<INNER
#!/usr/bin/env bash
set -euo pipefail
# measure LABEL INTERVAL COMMAND...: the processor use of COMMAND while it runs.
measure() {
  local label=\$1 interval=\$2
  shift 2
  "\$@" >"$work/viewer.log" 2>&1 &
  local pid=\$!
  sleep 2  # start-up and the first load are not part of the figure
  ticks() { awk '{ print \$14 + \$15 }' "/proc/\$pid/stat"; }
  local before start after end
  before=\$(ticks)
  start=\$(date +%s.%N)
  sleep $seconds
  after=\$(ticks)
  end=\$(date +%s.%N)
  kill "\$pid"
  wait "\$pid" 2>/dev/null || true
  echo "\$((after - before)) \$start \$end" >"$work/last.figure"
  awk -v t=\$((after - before)) -v hz="\$(getconf CLK_TCK)" -v s="\$start" -v e="\$end" \
      -v i="\$interval" -v l="\$label" 'BEGIN {
    printf "%s at a %d ms frame interval: %.2f %% of one core over %.1f s (%d clock ticks)\n",
           l, i, 100 * t / hz / (e - s), e - s, t }'
}
for interval in 16 100; do
  # Settings of its own, so that the user's zoom or language do not change the figure.
  measure patapata \$interval env XDG_CONFIG_HOME="$work/config" "$viewer" "$work/hiyoko\$interval.chp"
done
for interval in 16 100; do
  measure "patapata, one cel held" \$interval env XDG_CONFIG_HOME="$work/config" "$viewer" \
    "$work/held\$interval.chp"
done
if [[ -n "$floor" ]]; then
  for interval in 16 100; do
    measure "the Qt repaint floor" \$interval "$floor" \$interval
  done
fi
INNER
cat > "$work/side_by_side.sh" <<INNER
#!/usr/bin/env bash
set -euo pipefail
$(sed -n '/^measure() {/,/^}/p' "$work/measure.sh")
rate() { awk '{ printf "%.6f", \$1 / (\$3 - \$2) }' "$work/last.figure"; }
mkdir -p "$work/alone/patapata" "$work/all/patapata"
printf '[allStates]\nopen=true\n' >"$work/all/patapata/patapata.conf"
for ((round = 1; round <= $rounds; ++round)); do
  measure "patapata alone" 100 env XDG_CONFIG_HOME="$work/alone" "$viewer" "$work/hiyoko100.chp"
  alone=\$(rate)
  cat "$work/last.figure" >>"$work/alone.figures"
  measure "patapata with every state at once" 100 env XDG_CONFIG_HOME="$work/all" "$viewer" \
    "$work/hiyoko100.chp"
  all=\$(rate)
  cat "$work/last.figure" >>"$work/all.figures"
  awk -v a="\$alone" -v b="\$all" 'BEGIN {
    if (a > 0) printf "every state at once costs %.2f x the main window alone\n", b / a }'
done
# The ratio of the sums: clock ticks per second of each, over every round.
if (($rounds > 1)); then
  awk 'FNR == 1 { ++file } { ticks[file] += \$1; time[file] += \$3 - \$2 }
    END { printf "over %d rounds: %d against %d clock ticks", FNR, ticks[1], ticks[2]
          if (ticks[1] > 0) printf ", every state at once costs %.2f x the main window alone",
                                   (ticks[2] / time[2]) / (ticks[1] / time[1])
          printf "\n" }' "$work/alone.figures" "$work/all.figures"
fi
INNER
chmod +x "$work/measure.sh" "$work/side_by_side.sh"
[[ "$only" == side-by-side ]] || xvfb-run -a -s "-screen 0 640x480x24" "$work/measure.sh"
xvfb-run -a -s "-screen 0 1920x1200x24" "$work/side_by_side.sh"
