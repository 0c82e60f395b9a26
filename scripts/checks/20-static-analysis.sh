#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# clang-tidy (the checks in .clang-tidy) and cppcheck over our own sources under src/,
# tools/, tests/ and bench/, not over the files moc and rcc generate in the build folder.
# Fails on any finding. A false positive is suppressed where it occurs, with its reason.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"

ensure_packages "${TEMPOLARIO_RUN_PACKAGES[@]}" "${TEMPOLARIO_ANALYSIS_PACKAGES[@]}"
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
# A file that passed is remembered, keyed by a hash of its preprocessed source, its compile
# command, .clang-tidy and clang-tidy's version, so a run over an unchanged tree is quick;
# the memory is in the build folder, so a fresh checkout (CI's clean run) checks every file.
# On CI (CI=true), or with TEMPOLARIO_TIDY_CACHE=0, every file is checked whatever is there.
cache="$tree/clang-tidy-passed"
[ "${TEMPOLARIO_TIDY_CACHE:-1}" != 0 ] && [ "${CI:-}" != true ] || cache=""
say "clang-tidy over ${#sources[@]} files"
python3 "$TEMPOLARIO_ROOT/scripts/checks/lib/clang-tidy-cached.py" "$tree" "$cache" "$ours" \
    "$TEMPOLARIO_ROOT/.clang-tidy" 2 "${sources[@]}" || status=1

# style brings the checks for code that is legal but suspect or wasteful; unusedFunction is
# left out, since Qt calls slots and event handlers that no code of ours names.
# qtest.h, included ahead of each file, gives QtTest's macros their returning reading.
# Newer cppcheck (Debian 13's) notes where it limits its analysis of branches, a note about
# itself rather than a finding, yet one that sets the exit status: it is left out.
say "cppcheck"
cppcheck --quiet --std=c++20 --include=scripts/checks/qtest.h --library=qt \
    --enable=warning,style,performance,portability \
    --inline-suppr --suppress=missingIncludeSystem --suppress=normalCheckLevelMaxBranches \
    --error-exitcode=1 -I src/core -I src/ui -I src \
    --template='{file}:{line}: {severity} [{id}] {message}' \
    src tools tests bench || status=1

[ "$status" -eq 0 ] || { say "static analysis found problems (see above)"; exit 1; }
say "static analysis: no findings"
