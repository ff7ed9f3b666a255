#!/usr/bin/env bash
# Installs the Debian 12 packages Quorvi Studio needs to build, run, test and benchmark.
# Only what is missing is installed, so a second run takes a few seconds.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config
  # toolkit
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl-dev
  # image libraries
  libjpeg-dev libpng-dev zlib1g-dev libtiff-dev libgif-dev
  libwmf-dev libemf2svg-dev librsvg2-dev
  # X11 and sound
  libx11-dev libx11-xcb-dev libxext-dev libxfixes-dev libxtst-dev
  libxcb1-dev libxcb-shm0-dev libxcb-xfixes0-dev libxcb-xtest0-dev libxcb-keysyms1-dev libxcb-randr0-dev
  libxcb-xkb-dev libxcb-xinput-dev
  libcanberra-dev
  # source checks of CI (scripts/check-format.sh, scripts/check-tidy.sh)
  clang-format clang-tidy
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  xvfb xauth openbox xdotool x11-utils imagemagick graphicsmagick netpbm libvips-tools hyperfine poppler-utils
  # capture peers and tools of bench/capture.sh and bench/capture-soak.sh
  scrot maim xclip xrestop
  # validators of the installed desktop entry and metainfo (tests/install)
  desktop-file-utils appstream
  # Wayland sessions: the portal's D-Bus interface, and the headless desktop of tests/wayland
  # (sway with XWayland, PipeWire, the portal with the wlroots and GTK backends, grim as the
  # reference grab, gdbus and xhost for its set-up, wayland-scanner for the virtual pointer, and
  # Qt's Wayland platform for the test's pattern window)
  qt6-wayland sway xwayland grim pipewire xdg-desktop-portal xdg-desktop-portal-wlr
  xdg-desktop-portal-gtk libglib2.0-bin x11-xserver-utils libwayland-dev libwayland-bin dbus-bin
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is already installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
