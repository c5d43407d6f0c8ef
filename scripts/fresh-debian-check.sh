#!/usr/bin/env bash
# Holds the README's promise to a fresh Debian 12 that has nothing but apt: makes a Debian 12
# minbase system in a folder (debootstrap, with bookworm, bookworm-updates and
# bookworm-security in its sources), puts a clone of this repository's current commit in it
# (and ../shared beside it, when there is one), and there runs .ci/run, then scripts/play.sh
# until the game shows its first picture under Xvfb, and scripts/web.sh until its page can be
# fetched from the address it prints. Run it as root, after any change to install-deps.sh, to
# the test drivers or to the tools' versions (docs/testing.md):
#
#   scripts/fresh-debian-check.sh [--reuse] [--steps ci,play,web] [FOLDER]
#
# FOLDER (default /var/tmp/crowdfire-fresh-debian) holds the system (system/), the packages
# downloaded (debs/, kept, so a second run downloads nothing again) and each step's log.
# Without --reuse the system is made anew from those packages; with it the system of the last
# run is used as it is, with what that run installed. Exits non-zero when any step failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mirror=http://deb.debian.org
reuse=no
steps=ci,play,web
folder=/var/tmp/crowdfire-fresh-debian

usage() {
  echo "usage: fresh-debian-check.sh [--reuse] [--steps ci,play,web] [FOLDER]" >&2
  exit 2
}
while [[ $# -gt 0 ]]; do
  case $1 in
    --reuse) reuse=yes ;;
    --steps) [[ $# -ge 2 ]] || usage; steps=$2; shift ;;
    -*) usage ;;
    *) folder=$1 ;;
  esac
  shift
done
[[ $(id -u) -eq 0 ]] || { echo "fresh-debian-check: run it as root (debootstrap, mount, chroot)" >&2; exit 1; }
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
case $folder/ in
  "$root"/*) echo "fresh-debian-check: $folder is inside the repository; give a folder outside it" >&2; exit 2 ;;
esac
system=$folder/system
debs=$folder/debs
# The mark that says a folder is a system this script made, and so may be removed.
mark=$system/.crowdfire-fresh-debian
# What the system's programs see of the environment: a fresh root login's, as CI's machine
# gives .ci/run, and an extra certificate file node is told to trust where this machine has one.
system_env=(HOME=/root LANG=C.UTF-8 TERM=dumb CI=true
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
[[ -n ${NODE_EXTRA_CA_CERTS:-} ]] && system_env+=("NODE_EXTRA_CA_CERTS=$NODE_EXTRA_CA_CERTS")

in_system() { chroot "$system" /usr/bin/env -i "${system_env[@]}" "$@"; }
wants() { [[ ,$steps, == *,$1,* ]]; }
results=()
failed=0
result() {  # step, words
  results+=("$(printf '%-5s %s' "$1" "$2")")
  echo "== fresh-debian-check: $1: $2"
}
fail() { result "$1" "FAILED: $2"; failed=1; }

# --- the system --------------------------------------------------------------------------

# Every process whose root is the system: whatever a step started and left running there.
stop_system_processes() {
  local pid
  for pid in /proc/[0-9]*; do
    [[ $(readlink "$pid/root" 2>/dev/null) == "$system" ]] && kill -KILL "${pid#/proc/}" 2>/dev/null
  done
  return 0
}
mounted_under() { awk -v top="$system" '$2 == top || index($2, top "/") == 1 { print $2 }' /proc/mounts; }
unmount_all() {
  stop_system_processes
  sleep 1
  local point
  # Deepest first: /proc/mounts lists a mount after the one it sits on.
  mounted_under | tac | while read -r point; do umount "$point" 2>/dev/null || umount -l "$point"; done
  [[ -z $(mounted_under) ]] || { echo "fresh-debian-check: still mounted under $system:" >&2; mounted_under >&2; }
}
mount_all() {
  mount -t proc proc "$system/proc"
  mount -t sysfs sysfs "$system/sys"
  mount --bind /dev "$system/dev"
  mount --bind /dev/pts "$system/dev/pts"
  mount -t tmpfs -o mode=1777 shm "$system/dev/shm"
  mkdir -p "$debs/partial"
  mount --bind "$debs" "$system/var/cache/apt/archives"
}

remove_old_system() {
  [[ -e $system ]] || return 0
  [[ -e $mark ]] || { echo "fresh-debian-check: $system was not made by this script; remove it yourself" >&2; exit 1; }
  [[ -z $(mounted_under) ]] || { echo "fresh-debian-check: something is still mounted under $system" >&2; exit 1; }
  rm -rf --one-file-system "$system"
}

need_debootstrap() {
  command -v debootstrap >/dev/null && return 0
  apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap
}

# What a system needs of this machine to reach the mirror and npm's registry as this machine
# does: its name servers, the few apt settings that change how the mirror is read (an apt
# proxy, and whether a mirror's Release file may be older than its Valid-Until), and the
# certificate authorities this machine adds to Debian's own. A machine with none of these
# gives none.
copy_network_settings() {
  cp -L /etc/resolv.conf "$system/etc/resolv.conf"
  cp /etc/hosts "$system/etc/hosts"
  apt-config dump | grep -E '^Acquire::(Check-Valid-Until|Check-Date|https?::Proxy) ' \
    >"$system/etc/apt/apt.conf.d/00from-host" || true
  if compgen -G '/usr/local/share/ca-certificates/*.crt' >/dev/null; then
    mkdir -p "$system/usr/local/share/ca-certificates"
    cp /usr/local/share/ca-certificates/*.crt "$system/usr/local/share/ca-certificates/"
  fi
}

make_system() {
  remove_old_system
  mkdir -p "$debs"
  echo "== fresh-debian-check: debootstrap --variant=minbase bookworm into $system"
  debootstrap --variant=minbase --cache-dir="$debs" bookworm "$system" "$mirror/debian" >"$folder/debootstrap.log" 2>&1 ||
    { tail -n 20 "$folder/debootstrap.log" >&2; echo "fresh-debian-check: debootstrap failed ($folder/debootstrap.log)" >&2; exit 1; }
  touch "$mark"
  cat >"$system/etc/apt/sources.list" <<EOF
deb $mirror/debian bookworm main
deb $mirror/debian bookworm-updates main
deb $mirror/debian-security bookworm-security main
EOF
}

place_repository() {
  local commit
  commit=$(git -C "$root" rev-parse HEAD)
  [[ -z $(git -C "$root" status --porcelain --untracked-files=no) ]] ||
    echo "fresh-debian-check: changes not committed are left out: the system gets commit $commit"
  rm -rf "$system/build"
  mkdir -p "$system/build"
  git clone -q --no-checkout "$root" "$system/build/crowdfire"
  git -C "$system/build/crowdfire" checkout -q --detach "$commit"
  # As CI lays it: beside the clone, without write bits.
  if [[ -d $root/../shared ]]; then
    cp -a "$root/../shared" "$system/build/shared"
    chmod -R a-w "$system/build/shared"
  fi
  echo "== fresh-debian-check: commit $commit in /build/crowdfire"
}

# --- the steps ---------------------------------------------------------------------------

installed_count() { in_system dpkg-query -W -f='${db:Status-Abbrev}\n' | grep -c '^ii'; }

check_ci() {
  local before after started seconds status=0
  before=$(installed_count)
  started=$SECONDS
  echo "== fresh-debian-check: .ci/run (its output: $folder/ci.log)"
  in_system bash -c 'cd /build/crowdfire && exec bash .ci/run' </dev/null 2>&1 | tee "$folder/ci.log" || status=$?
  seconds=$((SECONDS - started))
  stop_system_processes
  after=$(installed_count)
  local node
  node=$(in_system node --version 2>/dev/null || echo "no node")
  local facts="$((seconds / 60)) min $((seconds % 60)) s, $((after - before)) packages installed ($after in all), node $node"
  if [[ $status -eq 0 ]]; then result ci "passed: $facts"; else fail ci "exit $status: $facts"; fi
}

# Run inside the system: plays scripts/play.sh on a private Xvfb with a black root window
# until the game's window shows, keeps the screen as /tmp/first-picture.png, and ends the game
# with Escape as a player would. Passes when the picture is not all black and the game ended
# by itself with status 0.
play_inside() {
  local work display brightest ended=no game_status=none
  work=$(mktemp -d)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -br 3>"$work/display" 2>"$work/xvfb.log" &
  local xvfb=$!
  for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
  display=$(cat "$work/display")
  [[ -n $display ]] || { echo "Xvfb did not start"; return 1; }
  export DISPLAY=:$display
  cd /build/crowdfire
  scripts/play.sh >/tmp/play.log 2>&1 &
  local game=$!
  # play.sh builds first when it must, so the window may take minutes to come.
  if ! timeout 1800 xdotool search --sync --name crowdfire >/dev/null; then
    echo "the game opened no window; play.sh said: $(tail -n 20 /tmp/play.log)"
    kill "$game" "$xvfb"
    return 1
  fi
  sleep 3  # the crowd walks in
  import -window root /tmp/first-picture.png
  brightest=$(convert /tmp/first-picture.png -format '%[fx:round(255*maxima)]' info:)
  xdotool search --name crowdfire windowfocus key Escape
  for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || { ended=yes; break; }; sleep 0.1; done
  [[ $ended == yes ]] || kill "$game"
  wait "$game"
  game_status=$?
  kill "$xvfb"
  echo "brightest channel $brightest of 255; ended by Escape: $ended, status $game_status"
  [[ $brightest -gt 0 && $ended == yes && $game_status -eq 0 ]]
}

check_play() {
  local said status=0
  echo "== fresh-debian-check: scripts/play.sh under Xvfb"
  # The test set brings the X server, xdotool and ImageMagick; a run without the ci step
  # may not have them yet.
  in_system sh -c 'command -v Xvfb && command -v xdotool && command -v import' >/dev/null ||
    in_system apt-get install -y -q --no-install-recommends xvfb xauth xdotool imagemagick >"$folder/play-tools.log"
  said=$(in_system bash -c "$(declare -f play_inside); play_inside" 2>&1) || status=$?
  cp "$system/tmp/first-picture.png" "$folder/" 2>/dev/null || true
  if [[ $status -eq 0 ]]; then result play "passed: $said ($folder/first-picture.png)"; else fail play "$said"; fi
}

free_port() {
  local port=8070
  while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done
  echo "$port"
}

# scripts/web.sh serves on the loopback, which the system shares with this machine: its page is
# fetched from here, from the address it printed.
check_web() {
  local port address="" server status=0
  port=$(free_port)
  echo "== fresh-debian-check: scripts/web.sh $port (its output: $folder/web.log)"
  setsid chroot "$system" /usr/bin/env -i "${system_env[@]}" \
    bash -c "cd /build/crowdfire && exec scripts/web.sh $port" >"$folder/web.log" 2>&1 </dev/null &
  server=$!
  for _ in $(seq 1800); do
    address=$(grep -o 'http://127\.0\.0\.1:[0-9]*/' "$folder/web.log" | head -1) && break
    kill -0 "$server" 2>/dev/null || break
    sleep 1
  done
  if [[ -z $address ]]; then
    fail web "web.sh printed no address: $(tail -n 5 "$folder/web.log")"
  elif curl -fsS --retry 20 --retry-connrefused --retry-delay 1 -o "$folder/page.html" "$address" &&
    grep -q '<canvas' "$folder/page.html"; then
    result web "passed: $address served the page ($(wc -c <"$folder/page.html") bytes, with its canvas)"
  else
    status=1
    fail web "$address did not serve the game's page"
  fi
  kill -- "-$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  return "$status"
}

# --- the run -----------------------------------------------------------------------------

started=$SECONDS
need_debootstrap
if [[ $reuse == yes && -e $mark ]]; then
  echo "== fresh-debian-check: reusing $system as the last run left it"
else
  make_system
fi
copy_network_settings
trap unmount_all EXIT
mount_all
place_repository
wants ci && check_ci
wants play && check_play
wants web && { check_web || true; }
echo "== fresh-debian-check: Debian $(cat "$system/etc/debian_version") minbase in $system, $(((SECONDS - started) / 60)) min in all"
printf '%s\n' "${results[@]}"
exit "$failed"
