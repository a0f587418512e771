#include "pad/sheet/legend_sheet.h"

#include <algorithm>
#include <optional>

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "components/display/qpainter_driver.h"
#include "legendfile/legend_set.h"
#include "pad/model/scale_maxima.h"

namespace legend::sheet {

namespace {
constexpr int kGridColour = legend::pad::colour::kGrid;
constexpr int kMargin = 24;       // pixels around the grid
constexpr int kTitleHeight = 28;  // band above the grid holding the title
constexpr int kMaxPngHeight = 8192;
constexpr int kPdfDotsPerInch = 96;  // one pixel of the layout is 1/96 inch on paper

void drawTitle(QPainter& painter, const QRect& band, const QString& title) {
  painter.save();
  QFont font = painter.font();
  font.setPixelSize(14);
  painter.setFont(font);
  painter.setPen(QColor(40, 48, 64));
  painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, title);
  painter.restore();
}

QString pageFileName(const QString& output, int page) {
  if (page == 0) return output;
  const QFileInfo info(output);
  return info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral("-%1.").arg(page + 1) +
         info.suffix();
}

SheetResult writePng(const legend::LegendSet& legends, SheetLayout layout, const SheetOptions& options,
                     const QString& output, const QString& name, QStringList& written) {
  layout.rowsPerPage = std::max(1, (kMaxPngHeight - 2 * kMargin - kTitleHeight) / layout.cellHeight);
  for (int page = 0; page < layout.pages(); ++page) {
    const QSize grid = layout.gridSize(std::max(1, layout.rowsOn(page)));
    QImage image(grid.width() + 2 * kMargin, grid.height() + 2 * kMargin + kTitleHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      drawTitle(painter, QRect(kMargin, kMargin, grid.width(), kTitleHeight),
                sheetTitle(name, layout.legends, page, layout.pages()));
      drawSheetPage(painter, QRect(QPoint(kMargin, kMargin + kTitleHeight), grid), legends, layout, page,
                    options.captions);
    }
    const QString file = pageFileName(output, page);
    if (!image.save(file, "PNG")) return SheetResult::CannotWrite;
    written << file;
  }
  return SheetResult::Ok;
}

SheetResult writeSvg(const legend::LegendSet& legends, SheetLayout layout, const SheetOptions& options,
                     const QString& output, const QString& name, QStringList& written) {
  layout.rowsPerPage = std::max(1, layout.rows());
  const QSize grid = layout.gridSize(std::max(1, layout.rows()));
  const QSize size(grid.width() + 2 * kMargin, grid.height() + 2 * kMargin + kTitleHeight);
  QSvgGenerator svg;
  svg.setFileName(output);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setTitle(name);
  QPainter painter;
  if (!painter.begin(&svg)) return SheetResult::CannotWrite;
  painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  drawTitle(painter, QRect(kMargin, kMargin, grid.width(), kTitleHeight), sheetTitle(name, layout.legends, 0, 1));
  drawSheetPage(painter, QRect(QPoint(kMargin, kMargin + kTitleHeight), grid), legends, layout, 0, options.captions);
  if (!painter.end()) return SheetResult::CannotWrite;
  written << output;
  return SheetResult::Ok;
}

SheetResult writePdf(const legend::LegendSet& legends, SheetLayout layout, const SheetOptions& options,
                     const QString& output, const QString& name, QStringList& written) {
  QPdfWriter pdf(output);
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  pdf.setResolution(kPdfDotsPerInch);
  pdf.setTitle(name);
  const QRect paper(0, 0, pdf.width(), pdf.height());

  // A grid wider than the paper is scaled down to fit; rows follow from the
  // scaled cell height.
  const QSize fullGrid = layout.gridSize(1);
  const double scale = std::min(1.0, double(paper.width() - 2 * kMargin) / fullGrid.width());
  const int usable = int((paper.height() - 2 * kMargin - kTitleHeight) / scale);
  layout.rowsPerPage = std::max(1, (usable - 1) / layout.cellHeight);

  QPainter painter;
  if (!painter.begin(&pdf)) return SheetResult::CannotWrite;
  for (int page = 0; page < layout.pages(); ++page) {
    if (page > 0) pdf.newPage();
    drawTitle(painter, QRect(kMargin, kMargin, paper.width() - 2 * kMargin, kTitleHeight),
              sheetTitle(name, layout.legends, page, layout.pages()));
    painter.save();
    painter.translate(kMargin, kMargin + kTitleHeight);
    painter.scale(scale, scale);
    drawSheetPage(painter, QRect(QPoint(0, 0), layout.gridSize(std::max(1, layout.rowsOn(page)))), legends, layout,
                  page, options.captions);
    painter.restore();
  }
  if (!painter.end()) return SheetResult::CannotWrite;
  written << output;
  return SheetResult::Ok;
}

}  // namespace

int SheetLayout::rowsOn(int page) const {
  const int first = page * rowsPerPage;
  return std::clamp(rows() - first, 0, rowsPerPage);
}

void drawSheetPage(QPainter& painter, const QRect& gridArea, const legend::LegendSet& legends,
                   const SheetLayout& layout, int page, legend::pad::CaptionMode captions) {
  const int rows = layout.rowsOn(page);
  if (rows == 0) return;
  const auto driver = OpenWinDriver(painter, gridArea);
  if (!driver) return;
  driver->SetDrawing(true);

  // Drawing coordinates grow upwards from the bottom of the grid area, as
  // in the pad: a cell's top-left corner is (width x column, height - cell
  // height x row). The grid lines lie on the cell edges; the last ones fall
  // on the area's extra pixel.
  const int height = gridArea.height();
  driver->LockColor(kGridColour);
  for (int r = 0; r <= rows; ++r) {
    const double y = height - r * layout.cellHeight;
    driver->Line(0, y, layout.columns * layout.cellWidth, y);
  }
  for (int c = 0; c <= layout.columns; ++c) {
    const double x = c * layout.cellWidth;
    driver->Line(x, height, x, height - rows * layout.cellHeight);
  }
  driver->UnlockColor();

  driver->SetDrawing(false);
  driver->CloseWinDriver();

  // Each cell gets a driver of its own clipped to the cell, so a caption,
  // number or pattern that a large cell makes overflow never reaches the
  // neighbours. Its drawing coordinates start at the cell's bottom-left
  // grid line.
  const int first = page * layout.rowsPerPage * layout.columns;
  const int last = std::min(layout.legends, first + rows * layout.columns);
  const legend::pad::ScaleMaxima& maxima = legend::pad::scaleMaxima();
  legend::pad::CellFrame frame;
  frame.topLeft = {0, layout.cellHeight + 1};
  frame.width = layout.cellWidth;
  frame.height = layout.cellHeight;
  for (int position = first; position < last; ++position) {
    const std::optional<legend::LegendView> legend = legends.view(legends.legendAt(position));
    if (!legend) continue;
    const int cell = position - first;
    const QRect area(gridArea.left() + (cell % layout.columns) * layout.cellWidth,
                     gridArea.top() + (cell / layout.columns) * layout.cellHeight, layout.cellWidth + 1,
                     layout.cellHeight + 1);
    const auto cellDriver = OpenWinDriver(painter, area);
    if (!cellDriver) continue;
    cellDriver->SetDrawing(true);
    legend::pad::drawCell(*cellDriver, *legend, maxima, frame, position, captions, false);
    cellDriver->SetDrawing(false);
    cellDriver->CloseWinDriver();
  }
}

QString sheetTitle(const QString& fileName, int legends, int page, int pages) {
  return QStringLiteral("图例目录  %1  ·  %2 个图例  ·  第 %3/%4 页")
      .arg(fileName)
      .arg(legends)
      .arg(page + 1)
      .arg(pages);
}

SheetResult writeSheet(const legend::LegendSet& legends, const SheetOptions& options, const QString& output,
                       const QString& title, QStringList& written) {
  SheetLayout layout;
  layout.legends = legends.displayCount();
  layout.columns = std::max(1, options.columns);
  layout.cellWidth = std::max(1, options.cellWidth);
  layout.cellHeight = std::max(1, options.cellHeight);
  const QString suffix = QFileInfo(output).suffix().toLower();
  if (suffix == QLatin1String("png")) return writePng(legends, layout, options, output, title, written);
  if (suffix == QLatin1String("svg")) return writeSvg(legends, layout, options, output, title, written);
  if (suffix == QLatin1String("pdf")) return writePdf(legends, layout, options, output, title, written);
  return SheetResult::UnknownFormat;
}

}  // namespace legend::sheet
