#!/usr/bin/env bash
# Sets everything up and runs the main job on the bundled sample file.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake --preset default >/dev/null
cmake --build --preset default --target clntool
build/default/apps/clntool/clntool info samples/demo.CLN
build/default/apps/clntool/clntool render samples/demo.CLN -o build/demo.png
