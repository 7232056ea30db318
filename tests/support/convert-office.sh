#!/usr/bin/env bash
# One LibreOffice for the whole test run that only makes fixtures and reads
# results back, so that those conversions do not start an office each.
#   convert-office.sh start DIR TOOL   starts it and waits until it answers
#   convert-office.sh stop DIR         stops it
# DIR/pipe names its pipe while it runs; the tests ask it through TOOL and
# start an office of their own when DIR/pipe is missing.
set -euo pipefail
cmd=$1
dir=$(mkdir -p "$2" && cd "$2" && pwd)

stop() {
  rm -f "$dir/pipe"
  if [ -f "$dir/pid" ]; then
    # The office runs as a process group of its own: the launcher and
    # soffice.bin. Killed outright: every conversion it made is written and
    # closed, and asked to end it takes a second or two to tidy its profile.
    kill -KILL -- "-$(cat "$dir/pid")" 2>/dev/null || true
    rm -f "$dir/pid"
  fi
  rm -rf "$dir/tmp" 2>/dev/null || true
}

if [ "$cmd" = stop ]; then stop; exit 0; fi

tool=$3
stop
pipe="qlt_fixtures_$$_$RANDOM"
# Its temporary files, which a killed office leaves behind, stay in DIR.
mkdir -p "$dir/tmp"
TMPDIR="$dir/tmp" setsid /usr/lib/libreoffice/program/soffice --headless --invisible --norestore --nologo --nodefault \
  --nolockcheck "-env:UserInstallation=file://$dir/profile" "--accept=pipe,name=$pipe;urp;" \
  </dev/null >"$dir/office.log" 2>&1 &
echo $! >"$dir/pid"
if ! "$tool" "$pipe" --wait 120; then
  cat "$dir/office.log" >&2
  stop
  exit 1
fi
echo "$pipe" >"$dir/pipe"
echo "Fixture office answers on pipe $pipe"
