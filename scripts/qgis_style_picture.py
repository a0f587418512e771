"""Pictures QGIS's Style Manager listing an exported style library.

Imports the style library that `clntool export --to qgis-style` wrote into a
QGIS style held in memory, opens QGIS's own Style Manager on it with every
symbol shown, and saves the window as a PNG. It needs a display larger than
the window; without one, run it under Xvfb:
  xvfb-run -a -s "-screen 0 1600x1200x24" python3 scripts/qgis_style_picture.py STYLE.xml OUT.png
"""
import argparse
import sys

from qgis.core import QgsApplication, QgsStyle
from qgis.gui import QgsStyleManagerDialog
from qgis.PyQt.QtWidgets import QTreeView


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("style")
    parser.add_argument("png")
    parser.add_argument("--size", default="1080x700", help="window size, WxH")
    arguments = parser.parse_args()
    width, height = (int(n) for n in arguments.size.split("x"))

    application = QgsApplication([], True)
    application.initQgis()
    style = QgsStyle()
    style.createMemoryDatabase()
    if not style.importXml(arguments.style):
        sys.exit(f"QGIS cannot import {arguments.style}: {style.errorString()}")

    dialog = QgsStyleManagerDialog(style, None)
    dialog.show()
    # After show: the manager restores the size it had when last closed.
    dialog.resize(width, height)
    # The manager opens on the (empty) favourites; show everything.
    groups = dialog.findChild(QTreeView, "groupTree")
    model = groups.model()
    for row in range(model.rowCount()):
        index = model.index(row, 0)
        if model.data(index) == "All":
            groups.setCurrentIndex(index)
    for _ in range(50):
        application.processEvents()
    saved = dialog.grab().save(arguments.png)
    # QGIS crashes on the way out unless its windows go first.
    dialog.close()
    del dialog
    application.exitQgis()
    if not saved:
        sys.exit(f"cannot write {arguments.png}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
