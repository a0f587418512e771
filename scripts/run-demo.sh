#!/usr/bin/env bash
# Sets everything up and runs the main job on the bundled sample file: the
# demo host with the sample open in a legend pad. Without a display (neither
# DISPLAY nor WAYLAND_DISPLAY set) it runs offscreen and leaves a screenshot
# of the host and the pad in build/demo-host.png instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake --preset default >/dev/null
cmake --build --preset default --target clntool legendhost
build/default/apps/clntool/clntool info samples/demo.CLN
build/default/apps/clntool/clntool render samples/demo.CLN -o build/demo.png
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  QT_QPA_PLATFORM=offscreen build/default/apps/legendhost/legendhost samples/demo.CLN \
    --screenshot build/demo-host.png "$@"
  echo "screenshot: build/demo-host.png"
else
  build/default/apps/legendhost/legendhost samples/demo.CLN "$@"
fi
