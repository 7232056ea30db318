#!/usr/bin/env bash
# Installs the Debian packages Quillmate needs to build, run and test, when
# any of them is missing. Sourced by the run and test scripts.
set -euo pipefail

QLT_PACKAGES=(
  build-essential cmake
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # The preview: Qt's PDF module and its view.
  qt6-pdf-dev
  # Zip packages: .xlsx and .ods workbooks, .docx and .odt documents.
  libquazip1-qt6-dev zlib1g-dev
  xvfb xauth xdg-utils fonts-dejavu-core
  # Driving the real program on a virtual X display: window titles as shown.
  xdotool x11-utils
  # Printing: a private CUPS spooler for the tests, pdftotext to read its output.
  cups cups-client cups-bsd poppler-utils
  # libcups: QLT hands print jobs to the spooler and reads its answer.
  libcups2-dev
  # The full office (not the -nogui build, which cannot print), and its SDK
  # for driving Calc.
  libreoffice-core libreoffice-writer libreoffice-calc libreoffice-dev
  # The reliability gates: libFuzzer and the sanitizers' runtime come with clang.
  clang-14 libclang-rt-14-dev
  # The validators the install-tree test runs on the desktop entry and the
  # AppStream data.
  desktop-file-utils appstream
  # The package's dependencies are read from its binaries (dpkg-shlibdeps).
  dpkg-dev
  # Zip archives: the office tests read links out of .xlsx and .ods files.
  libquazip1-qt6-dev
)

qlt_missing_packages() {
  local missing=()
  for p in "${QLT_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[@]:-}"
}

qlt_install_deps() {
  local missing
  missing=$(qlt_missing_packages)
  [ -z "$missing" ] && return 0
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then sudo="sudo"; else
      echo "Missing packages: $missing" >&2
      echo "Install them as root: apt-get install $missing" >&2
      return 1
    fi
  fi
  echo "Installing: $missing"
  $sudo apt-get update -qq
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}
