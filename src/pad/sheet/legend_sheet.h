#pragma once
// Legend sheets: every legend of a file drawn as a grid of cells in the
// pad's display order, with the pad's own cell drawing, split into pages.

#include <atomic>
#include <functional>

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

/// zlib level of PNG pages. Chosen by measuring a sheet of the largest
/// file: 1 writes it several times faster than zlib's default of 6 for
/// files about a fifth larger; the higher levels buy little more.
inline constexpr int kDefaultPngCompression = 1;

/// What a sheet's progress counts.
enum class ProgressUnit { Pages, Rows };

/// What a sheet looks like.
struct SheetOptions {
  int columns = 6;
  int cellWidth = 100;
  int cellHeight = 100;
  legend::pad::CaptionMode captions = legend::pad::CaptionMode::Names;
  /// Threads drawing and encoding PNG pages; 0 for one per core.
  int threads = 0;
  /// zlib level of PNG pages, 0 (none) to 9 (smallest, slowest); -1 for
  /// zlib's default.
  int pngCompression = kDefaultPngCompression;
  /// Called on the thread that called writeSheet after each page is done;
  /// an SVG sheet, one page however long, counts the rows of cells instead.
  std::function<void(int done, int total, ProgressUnit unit)> progress;
  /// Checked between pages, and between the bands of rows an SVG sheet is
  /// made in; once set, the sheet stops and writes nothing.
  const std::atomic<bool>* stop = nullptr;
};

enum class SheetResult {
  Ok,
  UnknownFormat,  ///< the output does not end in .png, .svg or .pdf
  CannotWrite,
  Stopped,  ///< options.stop was set; no output file was written or changed
};

/// Writes the sheet of every legend in @p legends' display list to
/// @p output: PNG pages of at most 8192 pixels (the second and later ones
/// next to it as NAME-2.png, NAME-3.png ...), one SVG, or a PDF of A4 pages.
/// @p title names the file in each page's title line. The files written are
/// appended to @p written. The scale maxima are the caller's to update.
/// Every file is written beside its name and put in place only when all
/// of them are complete, so a failure or a stop leaves the old ones (or
/// none) and never half a page.
SheetResult writeSheet(const legend::LegendSet& legends, const SheetOptions& options, const QString& output,
                       const QString& title, QStringList& written);

/// Draws page @p page of @p layout: the cells of the legends shown there,
/// in display order, with their grid, inside @p gridArea of @p painter.
void drawSheetPage(QPainter& painter, const QRect& gridArea, const legend::LegendSet& legends,
                   const SheetLayout& layout, int page, legend::pad::CaptionMode captions);

/// The quality to give Qt's PNG writer for zlib level @p zlibLevel (0 to
/// 9, or -1 for zlib's default).
int pngQuality(int zlibLevel);

/// The line above each page: file name, number of legends, page number.
QString sheetTitle(const QString& fileName, int legends, int page, int pages);

}  // namespace legend::sheet
