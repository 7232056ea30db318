#!/usr/bin/env bash
# A private CUPS spooler for the printing tests, with one PDF printer that
# writes every job into an output folder.
#   cups-server.sh start DIR   starts it; prints the lines to export
#   cups-server.sh stop DIR    stops it
set -euo pipefail
cmd=$1
dir=$(mkdir -p "$2" && cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

stop() {
  if [ -f "$dir/cupsd.pid" ]; then
    kill "$(cat "$dir/cupsd.pid")" 2>/dev/null || true
    rm -f "$dir/cupsd.pid"
  fi
}

if [ "$cmd" = stop ]; then stop; exit 0; fi

stop
rm -rf "$dir/etc" "$dir/lib" "$dir/spool" "$dir/cache" "$dir/state" "$dir/tmp" "$dir/log" "$dir/out"
mkdir -p "$dir"/{etc/ppd,lib/backend,spool/tmp,cache,state/certs,tmp,log,out}
# Filters run as user lp: every folder on the way must be traversable.
p=$dir
while [ "$p" != / ]; do chmod o+x "$p" 2>/dev/null || true; p=$(dirname "$p"); done
chmod 1777 "$dir/out" "$dir/tmp" "$dir/spool/tmp"
for f in /usr/lib/cups/*; do
  [ "$(basename "$f")" = backend ] || ln -s "$f" "$dir/lib/"
done
cat > "$dir/lib/backend/qltpdf" <<BACKEND
#!/bin/sh
if [ \$# -eq 0 ]; then echo 'direct qltpdf "Unknown" "Quillmate test PDF printer"'; exit 0; fi
part="$dir/out/job-\$1.part"
if [ -n "\${6:-}" ]; then cat "\$6" > "\$part"; else cat > "\$part"; fi
mv "\$part" "$dir/out/job-\$1.pdf"
BACKEND
chmod 0700 "$dir/lib/backend/qltpdf"

cat > "$dir/cups-files.conf" <<CONF
ServerRoot $dir/etc
ServerBin $dir/lib
DataDir /usr/share/cups
RequestRoot $dir/spool
TempDir $dir/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
FileDevice Yes
Sandboxing Relaxed
CONF
cat > "$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
WebInterface No
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cp "$dir/cupsd.conf" "$dir/etc/cupsd.conf"

# Detached from our output, so a caller reading it is not kept waiting.
cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" </dev/null >"$dir/log/cupsd.out" 2>&1 &
echo $! > "$dir/cupsd.pid"
for _ in $(seq 1 100); do [ -S "$dir/cups.sock" ] && break; sleep 0.1; done
export CUPS_SERVER=$dir/cups.sock
unset LPDEST PRINTER
lpadmin -p QuillmatePDF -E -v qltpdf:/ -P "$here/quillmate-pdf.ppd" 2>/dev/null
lpadmin -d QuillmatePDF
echo "export CUPS_SERVER=$dir/cups.sock QLT_TEST_PRINT_OUT=$dir/out"
