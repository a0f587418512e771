#!/usr/bin/env bash
# Measures how faithfully QGIS draws exported legends. Installs QGIS
# (Debian's qgis and python3-qgis) when it is missing, builds clntool,
# exports the legend file (samples/demo.CLN unless another is given) as a
# QGIS style library, an SLD and one SVG per legend, and runs
# scripts/qgis_fidelity.py: one line per legend with the intersection over
# union of inked pixels and the mean colour difference between QGIS's drawing
# and ours, for the style and for the SLD. Exits 1 when fewer than 90% of the
# legends reach an IoU of 0.6. Leaves the files, a side-by-side picture and
# (with Xvfb) QGIS's Style Manager showing the symbols in build/qgis-check/.
# Not part of the test suite: installing QGIS takes a while.
set -euo pipefail
cd "$(dirname "$0")/.."
input=${1:-samples/demo.CLN}

# QGIS's Python bindings are built for Debian's own Python.
python=/usr/bin/python3
if ! "$python" -c 'import qgis.core' 2>/dev/null; then
  echo "installing QGIS"
  sudo=""
  if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq qgis python3-qgis
fi

scripts/bootstrap.sh
cmake --preset default >/dev/null
cmake --build --preset default --target clntool
clntool=build/default/apps/clntool/clntool

out=build/qgis-check
rm -rf "$out"
mkdir -p "$out"
name=$(basename "${input%.*}")
"$clntool" export "$input" --to qgis-style -o "$out/$name.xml" >/dev/null
"$clntool" export "$input" --to sld -o "$out/$name.sld" >/dev/null
"$clntool" export "$input" --to svg -o "$out/svg" >/dev/null
if command -v xvfb-run >/dev/null; then
  xvfb-run -a -s "-screen 0 1600x1200x24" "$python" scripts/qgis_style_picture.py "$out/$name.xml" \
    "$out/style-manager.png"
fi
QT_QPA_PLATFORM=offscreen "$python" scripts/qgis_fidelity.py "$out/$name.xml" "$out/$name.sld" "$out/svg" \
  --sheet "$out/fidelity.png"
