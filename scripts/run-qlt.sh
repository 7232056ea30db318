#!/usr/bin/env bash
# Builds QLT and starts it on its sample model, in a private home folder
# under the build folder, so nothing of yours is touched.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QLT_BUILD_DIR:-$root/build}
# shellcheck source=deps.sh
. "$root/scripts/deps.sh"
qlt_install_deps
"$root/scripts/build.sh"

sandbox="$build/sandbox-home"
app="$sandbox/Quillmate"
mkdir -p "$app" "$sandbox/Documents"
for f in "QLT.txt" "Pointer.html" "Template.rtf" "Sample Doc.rtf" "Sample Spreadsheet.xls"; do
  [ -e "$app/$f" ] || cp "$root/data/$f" "$app/$f"
done
if [ ! -e "$app/Sample Model.mod" ]; then
  # The sample model names its spreadsheet by full path: point it at this copy.
  sed "s|^C:\\\\Quillmate\\\\Sample Spreadsheet.xls\r\$|$app/Sample Spreadsheet.xls\r|" \
    "$root/data/Sample Model.mod" > "$app/Sample Model.mod"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "There is no display here, so QLT cannot open its window."
  echo "To run it anyway on a virtual display:  xvfb-run -a $0"
  exit 1
fi
echo "Starting QLT with home folder $sandbox"
HOME="$sandbox" XDG_CONFIG_HOME="$sandbox/.config" exec "$build/app/QLT"
