#pragma once
// Legend sheets: every legend of a file drawn as a grid of cells in the
// pad's display order, with the pad's own cell drawing, split into pages.

#include <QRect>
#include <QString>
#include <QStringList>

#include "pad/model/cell_drawing.h"

class QPainter;

namespace legend {
class LegendSet;
}

namespace legend::sheet {

/// How the cells of a sheet fall onto pages.
struct SheetLayout {
  int legends = 0;  ///< cells to draw
  int columns = 6;
  int cellWidth = 100;
  int cellHeight = 100;
  int rowsPerPage = 1;  ///< at least 1

  int rows() const { return (legends + columns - 1) / columns; }
  int pages() const { return rows() == 0 ? 1 : (rows() + rowsPerPage - 1) / rowsPerPage; }
  /// Rows on page @p page (0-based); the last page may hold fewer.
  int rowsOn(int page) const;
  /// Size of the grid of @p rows rows, lines included.
  QSize gridSize(int rows) const { return {columns * cellWidth + 1, rows * cellHeight + 1}; }
};

/// What a sheet looks like.
struct SheetOptions {
  int columns = 6;
  int cellWidth = 100;
  int cellHeight = 100;
  legend::pad::CaptionMode captions = legend::pad::CaptionMode::Names;
};

enum class SheetResult {
  Ok,
  UnknownFormat,  ///< the output does not end in .png, .svg or .pdf
  CannotWrite,
};

/// Writes the sheet of every legend in @p legends' display list to
/// @p output: PNG pages of at most 8192 pixels (the second and later ones
/// next to it as NAME-2.png, NAME-3.png ...), one SVG, or a PDF of A4 pages.
/// @p title names the file in each page's title line. The files written are
/// appended to @p written. The scale maxima are the caller's to update.
SheetResult writeSheet(const legend::LegendSet& legends, const SheetOptions& options, const QString& output,
                       const QString& title, QStringList& written);

/// Draws page @p page of @p layout: the cells of the legends shown there,
/// in display order, with their grid, inside @p gridArea of @p painter.
void drawSheetPage(QPainter& painter, const QRect& gridArea, const legend::LegendSet& legends,
                   const SheetLayout& layout, int page, legend::pad::CaptionMode captions);

/// The line above each page: file name, number of legends, page number.
QString sheetTitle(const QString& fileName, int legends, int page, int pages);

}  // namespace legend::sheet
