"""Measures how faithfully QGIS draws exported legends.

Imports a QGIS style library and an SLD written by `clntool export` into
QGIS, renders every symbol with QgsSymbolLayerUtils.symbolPreviewPixmap at the
cell size, and compares it with our own drawing of the same legend at the same
size (the SVG that `clntool export --to svg` wrote for it). Prints, per legend,
the intersection over union of inked pixels and the mean colour difference of
the pixels either drawing inks, for the style and for the SLD, and exits 1
when fewer than 90% of the legends reach an IoU of 0.6 in either.

Run with QGIS's Python (Debian: python3-qgis):
  QT_QPA_PLATFORM=offscreen python3 scripts/qgis_fidelity.py STYLE.xml STYLE.sld SVG_DIR [--sheet OUT.png]
"""
import argparse
import os
import re
import sys
import unicodedata

from qgis.core import QgsApplication, QgsRenderContext, QgsStyle, QgsSymbol, QgsSymbolLayerUtils, QgsVectorLayer
from qgis.PyQt.QtCore import QRectF, QSize, Qt
from qgis.PyQt.QtGui import QColor, QFont, QImage, QPainter
from qgis.PyQt.QtSvg import QSvgRenderer

GOAL_IOU = 0.6
GOAL_SHARE = 0.9
# A pixel counts as inked when it is at least this opaque; antialiased fringes do not.
INK_ALPHA = 64
# Our pixels are CSS pixels; the style's millimetres are drawn at the same 96 per inch.
DOTS_PER_INCH = 96
KINDS = {QgsSymbol.Marker: "point", QgsSymbol.Line: "line", QgsSymbol.Fill: "region"}


def padded(text, width):
    """@p text followed by spaces up to @p width columns; Chinese characters take two."""
    columns = sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)
    return text + " " * max(0, width - columns)


def blank(size):
    image = QImage(size, size, QImage.Format_ARGB32)
    image.fill(Qt.transparent)
    return image


def render_svg(path, size):
    image = blank(size)
    painter = QPainter(image)
    painter.setRenderHint(QPainter.Antialiasing)
    painter.setClipRect(0, 0, size, size)
    QSvgRenderer(path).render(painter, QRectF(0, 0, size, size))
    painter.end()
    return image


def render_symbol(symbol, size):
    context = QgsRenderContext()
    context.setScaleFactor(DOTS_PER_INCH / 25.4)
    context.setFlag(QgsRenderContext.Antialiasing, True)
    pixmap = QgsSymbolLayerUtils.symbolPreviewPixmap(symbol, QSize(size, size), 0, context)
    return pixmap.toImage().convertToFormat(QImage.Format_ARGB32)


def compare(ours, theirs):
    """IoU of inked pixels and mean colour difference (0-255) over them, both over white."""
    union = both = 0
    difference = 0.0
    for y in range(ours.height()):
        for x in range(ours.width()):
            a, b = QColor.fromRgba(ours.pixel(x, y)), QColor.fromRgba(theirs.pixel(x, y))
            inked_a, inked_b = a.alpha() >= INK_ALPHA, b.alpha() >= INK_ALPHA
            if not (inked_a or inked_b):
                continue
            union += 1
            both += inked_a and inked_b
            over_white = [lambda c, k=k: 255 - (255 - getattr(c, k)()) * c.alphaF() for k in ("red", "green", "blue")]
            difference += sum(abs(f(a) - f(b)) for f in over_white) / 3
    if union == 0:
        return 1.0, 0.0
    return both / union, difference / union


def style_symbols(path):
    style = QgsStyle()
    style.createMemoryDatabase()
    if not style.importXml(path):
        sys.exit(f"QGIS cannot import {path}: {style.errorString()}")
    symbols = {}
    for name in style.symbolNames():
        for tag in style.tagsOfSymbol(QgsStyle.SymbolEntity, name):
            match = re.fullmatch(r"class_code (-?\d+)", tag)
            if match:
                symbols[int(match.group(1))] = (name, style.symbol(name))
    return style, symbols


def sld_symbols(path):
    """Class code -> symbol, for the layer of each geometry an SLD rule can style."""
    symbols = {}
    kinds = {QgsSymbol.Marker: "Point", QgsSymbol.Line: "LineString", QgsSymbol.Fill: "Polygon"}
    layers = []  # kept alive while their symbols are in use
    for kind, geometry in kinds.items():
        layer = QgsVectorLayer(f"{geometry}?field=class_code:integer", "legends", "memory")
        message, ok = layer.loadSldStyle(path)
        if not ok:
            sys.exit(f"QGIS cannot load {path}: {message}")
        layers.append(layer)
        for rule in layer.renderer().rootRule().children():
            match = re.search(r"(-?\d+)\s*$", rule.filterExpression())
            if match and rule.symbol() is not None:
                symbols[(kind, int(match.group(1)))] = rule.symbol().clone()
    return layers, symbols


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("style")
    parser.add_argument("sld")
    parser.add_argument("svg_dir")
    parser.add_argument("--sheet", help="write the drawings side by side (ours, style, SLD) to this PNG")
    arguments = parser.parse_args()

    application = QgsApplication([], False)
    application.initQgis()
    style, by_code = style_symbols(arguments.style)
    layers, by_rule = sld_symbols(arguments.sld)

    rows = []
    for file in sorted(os.listdir(arguments.svg_dir)):
        match = re.fullmatch(r"(\d{5})-(-?\d+)\.svg", file)
        if not match:
            continue
        code = int(match.group(2))
        path = os.path.join(arguments.svg_dir, file)
        size = QSvgRenderer(path).defaultSize().width()
        ours = render_svg(path, size)
        name, symbol = by_code.get(code, (None, None))
        kind = KINDS.get(symbol.type(), "?") if symbol is not None else "?"
        row = {"file": file, "name": name or "?", "kind": kind, "ours": ours, "style": None, "sld": None}
        if symbol is not None:
            row["style"] = render_symbol(symbol, size)
            sld_symbol = by_rule.get((symbol.type(), code))
            if sld_symbol is not None:
                row["sld"] = render_symbol(sld_symbol, size)
        rows.append(row)

    print(f"{padded('legend', 28)} {'kind':<6} {'IoU style':>9} {'dC style':>8} {'IoU SLD':>8} {'dC SLD':>7}")
    passed = {"style": 0, "sld": 0}
    for row in rows:
        cells = []
        for source in ("style", "sld"):
            if row[source] is None:
                cells.append(f"{'missing':>9} {'':>8}")
                continue
            iou, colour = compare(row["ours"], row[source])
            passed[source] += iou >= GOAL_IOU
            cells.append(f"{iou:>9.2f} {colour:>8.1f}")
        label = f"{row['file'][:-4]} {row['name']}"
        print(f"{padded(label, 28)} {row['kind']:<6} {cells[0]} {cells[1]}")
    total = len(rows)
    ok = total > 0
    for source, count in passed.items():
        share = count / total if total else 0
        print(f"{source}: {count} of {total} legends at IoU >= {GOAL_IOU} ({share:.0%}; goal {GOAL_SHARE:.0%})")
        ok = ok and share >= GOAL_SHARE

    if arguments.sheet:
        write_sheet(rows, arguments.sheet)
    return 0 if ok else 1


def write_sheet(rows, path):
    cell = max(row["ours"].width() for row in rows) if rows else 64
    scale, gap, label = 2, 8, 160
    columns = ("ours", "style", "sld")
    sheet = QImage(label + len(columns) * (cell * scale + gap), len(rows) * (cell * scale + gap) + 24,
                   QImage.Format_ARGB32)
    sheet.fill(QColor("white"))
    painter = QPainter(sheet)
    painter.setFont(QFont("Sans", 10))
    for i, title in enumerate(("ours", "QGIS style", "QGIS SLD")):
        painter.drawText(label + i * (cell * scale + gap), 16, title)
    for r, row in enumerate(rows):
        top = 24 + r * (cell * scale + gap)
        painter.drawText(4, top + cell * scale // 2, f"{row['file'][:-4]} {row['name']}")
        for c, source in enumerate(columns):
            left = label + c * (cell * scale + gap)
            painter.fillRect(left, top, cell * scale, cell * scale, QColor(238, 238, 238))
            if row[source] is not None:
                painter.drawImage(QRectF(left, top, cell * scale, cell * scale), row[source])
    painter.end()
    sheet.save(path)


if __name__ == "__main__":
    sys.exit(main())
