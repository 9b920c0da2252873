#!/usr/bin/env bash
# Runs one Windows program of the build under the rig's Wine (CTest's cross-compiling emulator).
# The rig folder comes from TOLVEX_RIG_DIR, which CTest sets for every test.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"
exec "$WINE" "$@"
