#!/usr/bin/env bash
# Measures what the game costs a player's machine, as a player runs it: full screen on a
# virtual X server at 1280 x 960 (no GPU), with and without a sound card (SDL's dummy
# audio driver stands for a card that opens at once; the default drivers on a machine
# with no device stand for none).
#
#   scripts/measure-display.sh [RUN_DIR] [ROUNDS] [SECONDS]
#
# RUN_DIR defaults to build/run; each of ROUNDS (default 3) plays the game twice, once per
# sound setting, for SECONDS (default 10) after a 2 s settling time. Printed per run and
# as medians: present cost (median, 99th percentile), present interval (99th percentile),
# start-up from launch to the first picture on screen, CPU of the whole process and of its
# display side (every thread but the game's and the sound mixer's), resident memory, and
# how many lines the game printed, and the X server's CPU (it copies what the game shows).
# The machine may be shared: compare medians. As root, CROWDFIRE_MEASURE_NICE=-15 runs
# the game and the X server ahead of other work, as on a player's quiet machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
run_dir=$(cd "${1:-$root/build/run}" && pwd)
rounds=${2:-3}
seconds=${3:-10}
settle=2

for tool in Xvfb getconf; do
  command -v "$tool" >/dev/null || { echo "measure-display: $tool is missing (scripts/install-deps.sh test)" >&2; exit 1; }
done
[[ -x $run_dir/crowdfire ]] || { echo "measure-display: no game in $run_dir (build it first)" >&2; exit 1; }

scratch=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [[ -n $game_pid ]] && kill "$game_pid" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# Xvfb picks a free display number itself and writes it to the given descriptor.
nice_level=${CROWDFIRE_MEASURE_NICE:-0}
Xvfb -displayfd 1 -screen 0 1280x960x24 -nolisten tcp -noreset >"$scratch/display" 2>/dev/null &
xvfb_pid=$!
[[ $nice_level != 0 ]] && renice -n "$nice_level" -p "$xvfb_pid" >/dev/null
for _ in $(seq 100); do [[ -s $scratch/display ]] && break; sleep 0.05; done
[[ -s $scratch/display ]] || { echo "measure-display: Xvfb did not start" >&2; exit 1; }
display=":$(head -n1 "$scratch/display")"
ticks=$(getconf CLK_TCK)

# "TID GROUP TICKS" for every thread of a process: GROUP is game, sound or display.
thread_ticks() {
  local pid=$1 task tid name rest
  for task in /proc/"$pid"/task/*; do
    tid=${task##*/}
    name=$(cat "$task/comm" 2>/dev/null) || continue
    rest=$(sed 's/^.*) //' "$task/stat" 2>/dev/null) || continue
    local group=display
    [[ $tid == "$pid" ]] && group=game
    [[ $name == SDLAudio* || $name == SDLHotplug* || $name == sound* ]] && group=sound
    echo "$tid $group $(awk '{print $12 + $13}' <<<"$rest")"
  done
}

stat_value() { awk -v k="$1" '$1 == k {print $2}' "$2"; }

# One run; appends "name value" lines to $scratch/results.
measure_run() {
  local sound=$1 stats=$scratch/stats-$1 log=$scratch/log-$1
  rm -f "$stats"
  local env=(env -u SDL_VIDEODRIVER -u SDL_AUDIODRIVER DISPLAY="$display" CROWDFIRE_DISPLAY_STATS="$stats")
  [[ $sound == card ]] && env+=(SDL_AUDIODRIVER=dummy)
  local launched
  launched=$(date +%s%N)
  (cd "$run_dir" && exec nice -n "$nice_level" "${env[@]}" ./crowdfire --fullscreen) 2>"$log" >/dev/null &
  game_pid=$!
  for _ in $(seq 500); do
    [[ -s $stats && $(stat_value first_picture_realtime_ns "$stats") != 0 ]] && break
    sleep 0.01
  done
  local first
  first=$(stat_value first_picture_realtime_ns "$stats" 2>/dev/null || echo 0)
  sleep "$settle"
  kill -0 "$game_pid" 2>/dev/null || { echo "measure-display: the game ended early:" >&2; cat "$log" >&2; exit 1; }
  thread_ticks "$game_pid" >"$scratch/before"
  local server_before server_after
  server_before=$(sed 's/^.*) //' /proc/"$xvfb_pid"/stat | awk '{print $12 + $13}')
  sleep "$seconds"
  thread_ticks "$game_pid" >"$scratch/after"
  server_after=$(sed 's/^.*) //' /proc/"$xvfb_pid"/stat | awk '{print $12 + $13}')
  local rss
  rss=$(awk '$1 == "VmRSS:" {print $2}' /proc/"$game_pid"/status)
  sleep 4  # the stats file is rewritten every 256 presents
  kill "$game_pid" && wait "$game_pid" 2>/dev/null || true
  game_pid=""
  local cpu
  cpu=$(awk -v t="$ticks" -v s="$seconds" '
      NR == FNR { before[$1] = $3; next }
      { used = $3 - before[$1]; total += used; group[$2] += used }
      END { printf "cpu_percent %.1f\ndisplay_cpu_percent %.1f\ngame_cpu_percent %.1f\nsound_cpu_percent %.1f\n",
            100 * total / t / s, 100 * group["display"] / t / s, 100 * group["game"] / t / s,
            100 * group["sound"] / t / s }' "$scratch/before" "$scratch/after")
  {
    echo "startup_ms_$sound $(((first - launched) / 1000000))"
    echo "printed_lines_$sound $(wc -l <"$log")"
    echo "rss_mb_$sound $((rss / 1024))"
    awk -v t="$ticks" -v s="$seconds" -v used=$((server_after - server_before)) -v k="xserver_cpu_percent_$sound" \
      'BEGIN { printf "%s %.1f\n", k, 100 * used / t / s }'
    echo "path $(stat_value path "$stats")"
    for key in present_median_ms present_p99_ms interval_p99_ms; do echo "${key}_$sound $(stat_value $key "$stats")"; done
    sed "s/\$/_$sound/; s/ \(.*\)_$sound\$/_$sound \1/" <<<"$cpu"
  } | tee -a "$scratch/results" | tr '\n' ' '
  echo
}

echo "measuring $run_dir on $display, $rounds rounds of ${seconds} s, $(nproc) cores, nice $nice_level, load $(cut -d' ' -f1-3 /proc/loadavg)"
for round in $(seq "$rounds"); do
  for sound in card none; do
    printf 'round %s, %-4s ' "$round" "$sound"
    measure_run "$sound"
  done
done

echo "medians over $rounds rounds (card: a sound device that opens at once; none: no sound device):"
awk '$1 != "path" { values[$1] = values[$1] " " $2 }
     $1 == "path" { path = $2 }
     END {
       for (key in values) {
         n = split(values[key], v, " ")
         for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
         median = n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
         printf "  %-26s %s\n", key, median
       }
       printf "  %-26s %s\n", "display path", path
     }' "$scratch/results" | sort
