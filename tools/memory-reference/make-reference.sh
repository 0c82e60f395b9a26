#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes tests/data/memory-reference.tsv from a second implementation of the memory model,
# installed from npm into a temporary folder. Run by hand when the model or its histories
# change: bash tools/memory-reference/make-reference.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
command -v npm >/dev/null || { echo "make-reference: npm is needed (apt-get install npm)" >&2; exit 1; }
cp "$here/package.json" "$here/reference.mjs" "$work/"
(cd "$work" && npm install --no-audit --no-fund --silent && node reference.mjs) \
    >"$here/../../tests/data/memory-reference.tsv"
echo "make-reference: wrote tests/data/memory-reference.tsv"
