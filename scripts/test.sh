#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit and window tests on the
# offscreen platform and the end-to-end ones on a virtual X server that they start.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${TEMPOLARIO_RUN_PACKAGES[@]}" "${TEMPOLARIO_TEST_PACKAGES[@]}"
build_tree "$TEMPOLARIO_ROOT/build"
cd "$TEMPOLARIO_ROOT/build"
ctest --output-on-failure --timeout 600 -j 2
