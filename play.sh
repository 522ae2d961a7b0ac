#!/usr/bin/env bash
# Installs what is missing, builds the game and its data, and starts it.
set -euo pipefail
LW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/setup.sh
source "$LW_ROOT/scripts/setup.sh"
# The game reads its pictures and music from its working directory.
cd "$LW_BUILD/data"
exec "$LW_BUILD/bin/lunaweave"
