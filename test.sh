#!/usr/bin/env bash
# Installs what is missing, builds the game, its data and its tests, and runs every test headless.
set -euo pipefail
LW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The tests also need the tools that run the game under X with an assistive-technology bus.
export LW_WANT_TEST_TOOLS=${LW_WANT_TEST_TOOLS:-1}
# shellcheck source=scripts/setup.sh
source "$LW_ROOT/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$LW_BUILD" --output-on-failure -j"$(nproc 2>/dev/null || echo 2)" -LE soak "$@"
