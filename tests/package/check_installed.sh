#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks its contents and
# metadata, installs it, starts the installed program twice as a new user on
# a virtual screen (with the simulated camera), and checks that the settings
# and the log went to that user's folders, that a changed setting was kept,
# and that nothing under /usr changed; the same once more as root, who could
# write there. Then removes the package again.
#   bash tests/package/check_installed.sh [build-dir]
# Needs root (it installs the package and adds a user). Without root or a
# tool it stops with a note, and fails when CI is set.
set -euo pipefail

SELF="$(readlink -f "$0")"
WAIT_S=60

fail() { echo "check_installed: FAIL: $*" >&2; exit 1; }
note() { echo "check_installed: $*"; }

# Waits up to WAIT_S seconds for a command to succeed.
wait_for() {
  local what="$1"; shift
  local end=$((SECONDS + WAIT_S))
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$end" ] || fail "timed out waiting for $what"
    sleep 0.2
  done
}

# ---- the part that runs as the new user ----------------------------------
map_line() { grep -P "^$1\t" "$MAP" 2>/dev/null | grep -P "$2" | head -n 1; }
main_window_shown() { [ -n "$(map_line window $'\tCPixmetraDlg\t')" ]; }
process_gone() { ! kill -0 "$1" 2>/dev/null; }

# Starts the installed program, waits for its main window, checks the text
# of its exit button (which tells the language in use), and clicks it.
run_once() {
  local exit_text="$1"
  rm -f "$MAP"
  PIXMETRA_WINDOW_MAP="$MAP" /usr/bin/pixmetra >"$HOME/run.out" 2>&1 &
  local pid=$!
  wait_for "the main window" main_window_shown
  wait_for "the exit button" bash -c "grep -qP '^control\t.*\tbtnExit\t' '$MAP'"
  local line; line=$(map_line control $'\tbtnExit\t')
  IFS=$'\t' read -r _ _ _ _ text x y w h _ <<<"$line"
  [ "$text" = "$exit_text" ] || fail "exit button reads '$text', expected '$exit_text'"
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
  wait_for "the program to end" process_gone "$pid"
  wait "$pid" || fail "the program ended with status $?: $(cat "$HOME/run.out")"
}

ini_text() { iconv -f UTF-16 -t UTF-8 "$HOME/.config/pixmetra/Pixmetra.ini" | tr -d '\r'; }

as_user() {
  cd "$HOME"
  MAP="$HOME/windows.map"
  # A session's own runtime folder, as a login gives one: the single-instance
  # guard lives there, apart from any other copy running on this machine.
  export XDG_RUNTIME_DIR="$HOME/runtime"
  mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
  # A free display number, as the server picks it: others may run screens too.
  local number="$HOME/display"
  : >"$number"
  Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
  XVFB_PID=$!
  trap 'kill ${WM_PID:-} ${XVFB_PID:-} 2>/dev/null || true' EXIT
  wait_for "the virtual screen" test -s "$number"
  export DISPLAY=":$(head -n 1 "$number")"
  wait_for "the virtual screen" xdpyinfo
  openbox >/dev/null 2>&1 &
  WM_PID=$!
  wait_for "the window manager" bash -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window"

  run_once "終了"
  [ -f "$HOME/.config/pixmetra/Pixmetra.ini" ] || fail "no ~/.config/pixmetra/Pixmetra.ini"
  ls "$HOME"/.local/state/pixmetra/Log/LogFile-*.txt >/dev/null || fail "no log in ~/.local/state/pixmetra/Log"
  ini_text | grep -q '^MainWndRight=' || fail "the window placement was not stored"

  # The user changes the language; the next start shows English and keeps it.
  ini_text | sed 's/^LanguageKind=.*/LanguageKind=1/' | iconv -f UTF-8 -t UTF-16LE \
    | { printf '\xff\xfe'; cat; } >"$HOME/new.ini"
  mv "$HOME/new.ini" "$HOME/.config/pixmetra/Pixmetra.ini"
  run_once "Exit"
  ini_text | grep -q '^LanguageKind=1$' || fail "the changed language was not kept"
  [ "$(ls "$HOME"/.local/state/pixmetra/Log/LogFile-*.txt | wc -l)" -ge 1 ] || fail "the log is gone"
  note "as $(id -un): settings in ~/.config/pixmetra, log in ~/.local/state/pixmetra/Log, language kept"
}

if [ "${1:-}" = "--as-user" ]; then
  as_user
  exit 0
fi

# ---- the part that runs as root ------------------------------------------
missing=()
[ "$(id -u)" -eq 0 ] || missing+=("root")
for tool in dpkg-deb lintian desktop-file-validate appstreamcli apt-get useradd runuser Xvfb openbox xdotool xdpyinfo xprop iconv; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  [ -z "${CI:-}" ] || fail "missing: ${missing[*]}"
  note "not run, missing: ${missing[*]}"
  exit 0
fi

cd "$(dirname "$SELF")/../.."
BUILD_DIR="${1:-build}"
rm -f pixmetra_*_amd64.deb
DEB="$(bash scripts/package.sh "$BUILD_DIR" 2>/dev/null | tail -n 1)"
[ -f "$DEB" ] || fail "no package made"
note "made $DEB"

contents="$(dpkg-deb -c "$DEB" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }')"
for path in ./usr/lib/pixmetra/pixmetra ./usr/lib/pixmetra/libICubeSDK.so ./usr/lib/pixmetra/libICubeSim.so \
            ./usr/lib/pixmetra/LangTransEnglish.ini ./usr/lib/pixmetra/LangTransJapanese.ini \
            "./usr/bin/pixmetra -> ../lib/pixmetra/pixmetra" \
            ./usr/share/applications/org.pixmetra.Pixmetra.desktop \
            ./usr/share/metainfo/org.pixmetra.Pixmetra.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/pixmetra.svg \
            ./usr/share/doc/pixmetra/copyright ./usr/share/doc/pixmetra/changelog.gz \
            ./usr/share/doc/pixmetra/README.Debian ./usr/share/man/man1/pixmetra.1.gz; do
  grep -qxF "$path" <<<"$contents" || fail "the package lacks $path"
done
if grep -E 'test_|simcam-|\.a$|/include/' <<<"$contents"; then fail "the package holds build-only files"; fi
dpkg-deb -f "$DEB" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the Qt libraries: $(dpkg-deb -f "$DEB" Depends)"

lintian --fail-on error --tag-display-limit 0 "$DEB" || fail "lintian reports errors"

apt-get install -y -qq "./$DEB" >/dev/null
trap 'apt-get remove -y -qq pixmetra >/dev/null 2>&1 || true' EXIT
desktop-file-validate /usr/share/applications/org.pixmetra.Pixmetra.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.pixmetra.Pixmetra.metainfo.xml

# A new user, as a person who just installed the program is.
user="pixcheck$$"
useradd -m -s /bin/bash "$user"
trap 'userdel -r "$user" >/dev/null 2>&1 || true; apt-get remove -y -qq pixmetra >/dev/null 2>&1 || true' EXIT
marker="$(mktemp)"
sleep 1 # file times have whole-second steps on some file systems
touch "$marker"
home="$(getent passwd "$user" | cut -d: -f6)"
# The user may not reach this tree (a clone in a private folder): it runs its
# own copy of this script.
install -m 0755 -o "$user" "$SELF" "$home/check_installed.sh"
runuser -u "$user" -- env -i HOME="$home" USER="$user" LOGNAME="$user" PATH=/usr/bin:/bin LANG=C.UTF-8 \
  PIXMETRA_UVC_CAMERAS=0 bash "$home/check_installed.sh" --as-user
# Root may write into /usr/lib/pixmetra, yet the installed program must not.
roothome="$(mktemp -d)"
env -i HOME="$roothome" USER=root LOGNAME=root PATH=/usr/bin:/bin LANG=C.UTF-8 \
  PIXMETRA_UVC_CAMERAS=0 bash "$SELF" --as-user
rm -rf "$roothome"
changed="$(find /usr/lib/pixmetra /usr/share/doc/pixmetra -newer "$marker" -print)"
[ -z "$changed" ] || fail "the program wrote under /usr: $changed"
dpkg --verify pixmetra || fail "the installed files changed"
rm -f "$marker"

apt-get remove -y -qq pixmetra >/dev/null
[ ! -e /usr/lib/pixmetra ] || fail "/usr/lib/pixmetra is still there after removal"
dpkg --purge pixmetra >/dev/null
note "package built, checked, installed, started and removed"
