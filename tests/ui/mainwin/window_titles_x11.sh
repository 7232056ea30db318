#!/usr/bin/env bash
# Starts the real QLT on a virtual X display in a home of its own and reads
# the titles the window system shows (_NET_WM_NAME) for the windows a user
# opens from the keyboard. Usage: window_titles_x11.sh <path to QLT>
set -euo pipefail
qlt=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/Quillmate"

cat >"$home/check.sh" <<'INNER'
set -euo pipefail
qlt=$1
export HOME=$2 XDG_CONFIG_HOME=$2/.config XDG_DATA_HOME=$2/.local/share QT_QPA_PLATFORM=xcb
"$qlt" 2>/dev/null &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
failed=0
wid=
# Finds the window with exactly this title (into $wid) and checks the title
# the window system shows for it.
expect() {
  local title=$1 shown
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name "^${title}\$" | head -1) || true
  if [ -z "$wid" ]; then echo "no window titled \"$title\""; failed=1; return; fi
  shown=$(xprop -id "$wid" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
  if [ "$shown" != "$title" ]; then echo "shown \"$shown\", expected \"$title\""; failed=1; fi
}
expect "Quillmate"
main=$wid
xdotool windowfocus --sync "$main" key alt+h a
expect "About Quillmate"
xdotool windowfocus --sync "$main" key alt+f p
expect "Select location to store models"
exit $failed
INNER
xvfb-run -a bash "$home/check.sh" "$qlt" "$home"
