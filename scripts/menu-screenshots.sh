#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Pictures of the menus (menu-bar menus, the tray menu with its banner, disabled, checked and
# selected items) in a light and a dark palette at 100 % and 200 % device scale, as the look
# tests draw them on the offscreen platform.
#   bash scripts/menu-screenshots.sh [build-dir] [out-dir]    -> OUT/<menu>-<light|dark>-<1|2>x.png
set -euo pipefail
build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-screenshots/menus}")
tests=$build/tests/framework_ui/test_framework_ui
[ -x "$tests" ] || { echo "menu-screenshots.sh: build test_framework_ui first ($tests)" >&2; exit 1; }
mkdir -p "$out"
screen=$(mktemp --suffix=.json)
trap 'rm -f "$screen"' EXIT
echo '{ "screens": [ { "name": "big", "x": 0, "y": 0, "width": 1600, "height": 1600, "logicalDpi": 96 } ] }' >"$screen"
for scale in 1 2; do
    QT_QPA_PLATFORM="offscreen:configfile=$screen" QT_SCALE_FACTOR=$scale QUORVI_MENU_SHOTS="$out" \
        "$tests" --gtest_filter='Looks/MenuLook.*' --gtest_brief=1 >/dev/null 2>&1
done
echo "menu pictures in $out"
