#!/usr/bin/env bash
# clang-tidy (the checks in .clang-tidy) and cppcheck over our own sources under src/,
# tools/, tests/ and bench/, not over the files moc and rcc generate in the build folder.
# Fails on any finding. A false positive is suppressed where it occurs, with its reason.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"

ensure_packages "${TEMPOLARIO_RUN_PACKAGES[@]}" clang-tidy cppcheck python3
: "${CMAKE_BUILD_PARALLEL_LEVEL:=2}"
export CMAKE_BUILD_PARALLEL_LEVEL
# The build folder gives clang-tidy each file's compiler flags and the .moc files that the
# tests include.
tree="$TEMPOLARIO_ROOT/build"
build_tree "$tree"

cd "$TEMPOLARIO_ROOT"
ours="^$(printf '%s' "$TEMPOLARIO_ROOT" | sed 's/[].[^$*+?(){}|\\]/\\&/g')/(src|tools|tests|bench)/"
mapfile -t sources < <(python3 - "$tree/compile_commands.json" "$ours" <<'PY'
import json, re, sys
entries = json.load(open(sys.argv[1]))
ours = re.compile(sys.argv[2])
for path in sorted({e["file"] for e in entries}):
    if ours.match(path):
        print(path)
PY
)
[ ${#sources[@]} -gt 0 ] || { say "no sources found in $tree/compile_commands.json"; exit 1; }

status=0
say "clang-tidy over ${#sources[@]} files"
# run-clang-tidy takes regular expressions; anchor each file name.
patterns=()
for source in "${sources[@]}"; do
    patterns+=("^$(printf '%s' "$source" | sed 's/[].[^$*+?(){}|\\]/\\&/g')\$")
done
tidy_log=$(mktemp)
trap 'rm -f "$tidy_log"' EXIT
run-clang-tidy -j 2 -quiet -p "$tree" -header-filter "$ours" "${patterns[@]}" \
    >"$tidy_log" 2>&1 || status=1
# Warnings are errors in .clang-tidy; the search is a second guard against a finding that
# does not change the exit status.
if grep -Eq '(warning|error): ' "$tidy_log"; then
    status=1
fi
[ "$status" -eq 0 ] || grep -vE '^(clang-tidy-14|Running clang-tidy|[0-9]+ warnings? (and [0-9]+ errors? )?generated|Suppressed [0-9]+ warnings|Use -header-filter|$)' "$tidy_log"

# style brings the checks for code that is legal but suspect or wasteful; unusedFunction is
# left out, since Qt calls slots and event handlers that no code of ours names.
# qtest.cfg comes before qt.cfg so that its reading of QtTest's macros wins.
say "cppcheck"
cppcheck --quiet --std=c++20 --library=scripts/checks/qtest.cfg --library=qt \
    --enable=warning,style,performance,portability \
    --inline-suppr --suppress=missingIncludeSystem --error-exitcode=1 -I src/core -I src/ui -I src \
    --template='{file}:{line}: {severity} [{id}] {message}' \
    src tools tests bench || status=1

[ "$status" -eq 0 ] || { say "static analysis found problems (see above)"; exit 1; }
say "static analysis: no findings"
