#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test: the unit and window tests on the
# offscreen platform, the end-to-end ones on a virtual X server that they start, and the
# checks under scripts/checks (each installs what it needs and fails on any finding).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${TEMPOLARIO_RUN_PACKAGES[@]}" "${TEMPOLARIO_TEST_PACKAGES[@]}"
ensure_italian_locale
build_tree "$TEMPOLARIO_ROOT/build"

shopt -s nullglob
for check in "$TEMPOLARIO_ROOT"/scripts/checks/*.sh; do
    say "check: $(basename "$check" .sh)"
    bash "$check" || { say "check failed: $(basename "$check" .sh)"; exit 1; }
done

cd "$TEMPOLARIO_ROOT/build"
ctest --output-on-failure --timeout 600 -j 2
