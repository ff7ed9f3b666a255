#!/usr/bin/env bash
# Fails when a tracked C or C++ file differs from what the root .clang-format makes of it.
# Fix with: git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format-14 -i
set -euo pipefail
cd "$(dirname "$0")/.."

# Another major version formats some constructs differently, so only 14 (Debian 12's) decides.
format=$(command -v clang-format-14 || true)
if [ -z "$format" ]; then
  echo "check-format: clang-format-14 not found (bash scripts/install-deps.sh installs it)" >&2
  exit 2
fi

if ! git ls-files -z -- '*.c' '*.cpp' '*.h' | xargs -0 "$format" --dry-run --Werror; then
  echo "check-format: files above are not formatted (clang-format-14 -i FILE)" >&2
  exit 1
fi
echo "check-format: every tracked C/C++ file is formatted"
