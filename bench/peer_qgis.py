#!/usr/bin/python3
"""A peer's figure beside ours: QGIS drawing 18 symbol previews.

QGIS (a GIS of its own, not an implementation of this library) draws 6
marker, 6 line and 6 fill symbols with QgsSymbolLayerUtils.symbolPreviewPixmap
at the pad's cell size; the time for those 18 is a page. In the same
invocation bench_drawing times our full pass over a page of 18 mixed legends
(grid, samples, captions and numbers). Both figures are printed with their
ratio; nothing passes or fails on a time.

Needs the qgis and python3-qgis packages (not in CI). Usage:

    bench/peer_qgis.py [--bench build/release/bench/bench_drawing] [--repetitions 5]
"""

import argparse
import re
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

# The pad's default drawing area is 240 x 480 pixels in 3 columns of 6 rows.
CELL_SIZE = (80, 80)
MIN_SECONDS = 0.5


def our_full_pass(bench, repetitions):
    """Median real time of bench_drawing's FullPassMixed, in seconds, read
    from its console report."""
    result = subprocess.run(
        [str(bench), "--benchmark_filter=^FullPassMixed(/|$)", f"--benchmark_repetitions={repetitions}"],
        check=True, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
        env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    pattern = re.compile(r"^FullPassMixed\S*_median\s+([\d.]+) (ns|us|ms|s)\b", re.MULTILINE)
    found = pattern.search(re.sub(r"\x1b\[[0-9;]*m", "", result.stdout))
    if not found:
        sys.exit("peer_qgis: bench_drawing printed no median for FullPassMixed")
    return float(found.group(1)) * scale[found.group(2)]


def peer_symbols():
    from qgis.core import QgsFillSymbol, QgsLineSymbol, QgsMarkerSymbol
    colours = ["#d7191c", "#fdae61", "#2b83ba", "#1a9641", "#7b3294", "#404040"]
    markers = ["circle", "square", "triangle", "star", "diamond", "cross"]
    lines = ["solid", "dash", "dot", "dash dot", "dash dot dot", "solid"]
    fills = ["solid", "horizontal", "vertical", "cross", "b_diagonal", "diagonal_x"]
    symbols = []
    for name, colour in zip(markers, colours):
        symbols.append(QgsMarkerSymbol.createSimple({"name": name, "color": colour, "size": "4"}))
    for style, colour in zip(lines, colours):
        symbols.append(QgsLineSymbol.createSimple({"line_style": style, "line_color": colour, "line_width": "0.6"}))
    for style, colour in zip(fills, colours):
        symbols.append(QgsFillSymbol.createSimple({"style": style, "color": colour, "outline_color": "#000000"}))
    return symbols


def peer_page(repetitions):
    """Median time to draw the 18 previews once, in seconds."""
    os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    from qgis.core import QgsApplication, QgsSymbolLayerUtils
    from qgis.PyQt.QtCore import QSize

    QgsApplication.setPrefixPath("/usr", True)
    app = QgsApplication([], True)
    app.initQgis()
    symbols = peer_symbols()
    size = QSize(*CELL_SIZE)

    def page():
        for symbol in symbols:
            QgsSymbolLayerUtils.symbolPreviewPixmap(symbol, size)

    for _ in range(20):  # warm caches, as our run warms its own
        page()
    medians = []
    for _ in range(repetitions):
        pages = 0
        start = time.perf_counter()
        while True:
            page()
            pages += 1
            elapsed = time.perf_counter() - start
            if elapsed >= MIN_SECONDS:
                break
        medians.append(elapsed / pages)
    app.exitQgis()
    return statistics.median(medians)


def main():
    here = Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bench", type=Path,
                        default=next((p for p in (here / "build/release/bench/bench_drawing",
                                                  here / "build/default/bench/bench_drawing") if p.exists()),
                                     here / "build/release/bench/bench_drawing"))
    parser.add_argument("--repetitions", type=int, default=5)
    args = parser.parse_args()
    if not args.bench.exists():
        sys.exit(f"peer_qgis: no {args.bench}; build bench_drawing first")
    try:
        import qgis.core  # noqa: F401
    except ImportError:
        sys.exit("peer_qgis: QGIS's Python bindings are missing (apt-get install qgis python3-qgis)")

    ours = our_full_pass(args.bench, args.repetitions)
    peer = peer_page(args.repetitions)
    from qgis.core import Qgis
    print(f"Cell size {CELL_SIZE[0]} x {CELL_SIZE[1]} px; median of {args.repetitions} repetitions, "
          f"each the mean of at least {MIN_SECONDS} s")
    print(f"  QGIS {Qgis.QGIS_VERSION}: 18 symbol previews (6 markers, 6 lines, 6 fills)  "
          f"{peer * 1e3:8.3f} ms per page")
    print(f"  ours: full pass, 18 cells (grid, samples, captions, numbers)      "
          f"{ours * 1e3:8.3f} ms per page   {ours / peer:.2f}x of QGIS")


if __name__ == "__main__":
    main()
