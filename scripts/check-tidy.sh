#!/usr/bin/env bash
# Runs clang-tidy with the root .clang-tidy over the project's own sources in src/, cli/ and hook/
# (their headers come in through HeaderFilterRegex; tests, benchmarks, fuzz harnesses and generated
# moc files are left out) and fails on any finding. Needs build/compile_commands.json from a build
# that has run at least its autogen (moc) steps: scripts/test.sh leaves one behind.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
db="$build_dir/compile_commands.json"
if [ ! -f "$db" ]; then
  echo "check-tidy: $db is missing; configure and build first (bash scripts/test.sh)" >&2
  exit 2
fi
tidy=$(command -v clang-tidy-14 || command -v clang-tidy || true)
if [ -z "$tidy" ]; then
  echo "check-tidy: clang-tidy not found (bash scripts/install-deps.sh installs it)" >&2
  exit 2
fi

# Only the files the build compiles: a source left out by a build option has no compile command,
# and clang-tidy would guess its flags and report errors that are not there.
mapfile -t files < <(
  git ls-files -- 'src/*.cpp' 'cli/*.cpp' 'hook/*.cpp' | while read -r f; do
    grep -qF "\"file\": \"$PWD/$f\"" "$db" && printf '%s\n' "$f"
  done
)
if [ ${#files[@]} -eq 0 ]; then
  echo "check-tidy: no project sources in $db" >&2
  exit 2
fi

echo "check-tidy: $tidy over ${#files[@]} files"
start=$SECONDS
# Each file's report is printed whole once its run ends, so parallel runs do not interleave lines.
status=0
# shellcheck disable=SC2016 # the inner sh expands $0, $1 and $2, not this one
printf '%s\0' "${files[@]}" |
  xargs -0 -n1 -P"$(nproc)" sh -c '
    out=$("$0" -p "$1" --quiet "$2" 2>&1) && exit 0
    printf "%s\n" "$out" | grep -v "warnings\? generated\.$"
    exit 1' "$tidy" "$build_dir" || status=1
echo "check-tidy: $((SECONDS - start)) s"
if [ "$status" -ne 0 ]; then
  echo "check-tidy: findings above (checks and options in .clang-tidy)" >&2
fi
exit "$status"
