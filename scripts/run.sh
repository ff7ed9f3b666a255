#!/usr/bin/env bash
# Installs what is missing, builds and starts Quorvi Studio.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
if [ -x build/src/app/quorvi-studio ]; then
  exec build/src/app/quorvi-studio "$@"
fi
# Until the desktop program lands, the command-line tool is the program.
exec build/cli/quorvi "${@:---help}"
