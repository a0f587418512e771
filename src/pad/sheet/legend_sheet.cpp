#include "pad/sheet/legend_sheet.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "components/display/clipped_svg.h"
#include "components/display/qpainter_driver.h"
#include "legendfile/legend_set.h"
#include "pad/model/scale_maxima.h"
#include "pad/sheet/svg_bands.h"

namespace legend::sheet {

namespace {
constexpr int kGridColour = legend::pad::colour::kGrid;
constexpr int kMargin = 24;       // pixels around the grid
constexpr int kTitleHeight = 28;  // band above the grid holding the title
constexpr int kMaxPngHeight = 8192;
constexpr int kPdfDotsPerInch = 96;  // one pixel of the layout is 1/96 inch on paper
constexpr int kSvgBandRows = 16;     // rows of cells generated at a time for an SVG sheet

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

bool stopped(const SheetOptions& options) {
  return options.stop != nullptr && options.stop->load(std::memory_order_relaxed);
}

// The files of one sheet, each written beside its name and put in place
// together once every one of them is complete. Files not put in place are
// removed when the set goes.
class PendingFiles {
 public:
  explicit PendingFiles(int count) : files_(static_cast<std::size_t>(count)) {}

  /// Opens file @p index for writing under @p name; null when it cannot be.
  QIODevice* open(int index, const QString& name) {
    auto file = std::make_unique<QSaveFile>(name);
    file->setDirectWriteFallback(false);
    if (!file->open(QIODevice::WriteOnly)) return nullptr;
    files_[static_cast<std::size_t>(index)] = std::move(file);
    return files_[static_cast<std::size_t>(index)].get();
  }

  QIODevice* device(int index) const { return files_[static_cast<std::size_t>(index)].get(); }

  /// Puts every file in place, in order; false at the first that fails.
  bool commit(QStringList& written) {
    for (const auto& file : files_) {
      if (!file || !file->commit()) return false;
      written << file->fileName();
    }
    return true;
  }

 private:
  std::vector<std::unique_ptr<QSaveFile>> files_;
};

// Text drawn off the main thread must find the font database already
// loaded; so must glyphs measured there for the first time.
void prepareFontsOnThisThread() {
  QFont font;
  font.setPixelSize(14);
  (void)QFontMetricsF(font).height();
}

}  // namespace

int pngQuality(int zlibLevel) {
  // Qt's PNG writer takes a quality of 0 to 100 and makes it the zlib level
  // (100 - quality) * 9 / 91; a negative one leaves zlib's default.
  if (zlibLevel < 0) return -1;
  const int level = std::min(zlibLevel, 9);
  return 100 - (level * 91 + 8) / 9;
}

namespace {

int threadCount(const SheetOptions& options, int pages) {
  const int wanted = options.threads > 0 ? options.threads : static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(wanted, 1, std::max(1, pages));
}

// Draws and encodes PNG pages, taking the next page not yet taken until
// none is left, a page fails or the sheet is stopped. A thread keeps its
// page image from page to page: pages share a size but the last.
class PngPages {
 public:
  PngPages(const legend::LegendSet& legends, const SheetLayout& layout, const SheetOptions& options,
           const QString& name, const PendingFiles& files)
      : legends_(legends), layout_(layout), options_(options), name_(name), files_(files) {}

  /// One drawing thread: pages until none is left.
  void work() {
    drawPages();
    std::lock_guard guard(lock_);
    ++finishedThreads_;
    changed_.notify_one();
  }

  /// Waits for @p threads threads running work(), reporting each finished
  /// page on this thread.
  void waitFor(int threads) {
    int reported = 0;
    std::unique_lock guard(lock_);
    while (true) {
      changed_.wait(guard, [&] { return done_ > reported || finishedThreads_ == threads; });
      if (done_ > reported) {
        reported = done_;
        if (options_.progress) {
          guard.unlock();
          options_.progress(reported, layout_.pages(), ProgressUnit::Pages);
          guard.lock();
        }
        continue;
      }
      if (finishedThreads_ == threads) return;
    }
  }

  bool failed() const { return failed_.load(); }

 private:
  void drawPages() {
    QImage image;
    for (int page = next_.fetch_add(1); page < layout_.pages(); page = next_.fetch_add(1)) {
      if (failed_.load() || stopped(options_)) return;
      const bool ok = drawAndEncode(page, image);
      std::lock_guard guard(lock_);
      ++done_;
      changed_.notify_one();
      if (!ok) {
        failed_ = true;
        return;
      }
    }
  }

  bool drawAndEncode(int page, QImage& image) {
    const QSize grid = layout_.gridSize(std::max(1, layout_.rowsOn(page)));
    const QSize size(grid.width() + 2 * kMargin, grid.height() + 2 * kMargin + kTitleHeight);
    if (image.size() != size) image = QImage(size, QImage::Format_RGB32);
    if (image.isNull()) return false;
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      drawTitle(painter, QRect(kMargin, kMargin, grid.width(), kTitleHeight),
                sheetTitle(name_, layout_.legends, page, layout_.pages()));
      drawSheetPage(painter, QRect(QPoint(kMargin, kMargin + kTitleHeight), grid), legends_, layout_, page,
                    options_.captions);
    }
    QImageWriter writer(files_.device(page), "png");
    writer.setQuality(pngQuality(options_.pngCompression));
    return writer.write(image);
  }

  const legend::LegendSet& legends_;
  const SheetLayout& layout_;
  const SheetOptions& options_;
  const QString& name_;
  const PendingFiles& files_;
  std::atomic<int> next_{0};
  std::atomic<bool> failed_{false};
  std::mutex lock_;
  std::condition_variable changed_;
  int done_ = 0;  // pages drawn and encoded
  int finishedThreads_ = 0;
};

SheetResult writePng(const legend::LegendSet& legends, SheetLayout layout, const SheetOptions& options,
                     const QString& output, const QString& name, QStringList& written) {
  layout.rowsPerPage = std::max(1, (kMaxPngHeight - 2 * kMargin - kTitleHeight) / layout.cellHeight);
  const int pages = layout.pages();
  // Every file is opened before anything is drawn: an output that cannot be
  // written is known at once.
  PendingFiles files(pages);
  for (int page = 0; page < pages; ++page)
    if (files.open(page, pageFileName(output, page)) == nullptr) return SheetResult::CannotWrite;
  prepareFontsOnThisThread();
  legend::display::initResources();

  PngPages work(legends, layout, options, name, files);
  const int threads = threadCount(options, pages);
  std::vector<std::thread> workers;
  for (int i = 0; i < threads; ++i) {
    try {
      workers.emplace_back([&work] { work.work(); });
    } catch (const std::system_error&) {
      break;  // the threads already started do the rest
    }
  }
  if (workers.empty()) work.work();
  work.waitFor(std::max<int>(1, static_cast<int>(workers.size())));
  for (std::thread& worker : workers) worker.join();

  if (stopped(options)) return SheetResult::Stopped;
  if (work.failed() || !files.commit(written)) return SheetResult::CannotWrite;
  return SheetResult::Ok;
}

SheetResult writeSvg(const legend::LegendSet& legends, SheetLayout layout, const SheetOptions& options,
                     const QString& output, const QString& name, QStringList& written) {
  const QSize grid = layout.gridSize(std::max(1, layout.rows()));
  const QSize size(grid.width() + 2 * kMargin, grid.height() + 2 * kMargin + kTitleHeight);
  PendingFiles files(1);
  QIODevice* device = files.open(0, output);
  if (device == nullptr) return SheetResult::CannotWrite;
  // One page, generated a band of rows at a time, each at its place on it.
  layout.rowsPerPage = kSvgBandRows;
  SvgBandWriter sheet(*device, name);
  for (int band = 0; band < layout.pages(); ++band) {
    if (stopped(options)) return SheetResult::Stopped;
    const QRect bandGrid(QPoint(kMargin, kMargin + kTitleHeight + band * kSvgBandRows * layout.cellHeight),
                         layout.gridSize(layout.rowsOn(band)));
    const QByteArray generated =
        legend::display::generateClippedSvg(size, QRect(QPoint(0, 0), size), [&](QPainter& painter) {
          if (band == 0) {
            painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
            drawTitle(painter, QRect(kMargin, kMargin, grid.width(), kTitleHeight),
                      sheetTitle(name, layout.legends, 0, 1));
          }
          drawSheetPage(painter, bandGrid, legends, layout, band, options.captions);
        });
    if (generated.isEmpty() || !sheet.append(generated)) return SheetResult::CannotWrite;
    if (options.progress)
      options.progress(band * kSvgBandRows + layout.rowsOn(band), layout.rows(), ProgressUnit::Rows);
  }
  if (!sheet.finish()) return SheetResult::CannotWrite;
  if (stopped(options)) return SheetResult::Stopped;
  return files.commit(written) ? SheetResult::Ok : SheetResult::CannotWrite;
}

SheetResult writePdf(const legend::LegendSet& legends, SheetLayout layout, const SheetOptions& options,
                     const QString& output, const QString& name, QStringList& written) {
  PendingFiles files(1);
  QIODevice* device = files.open(0, output);
  if (device == nullptr) return SheetResult::CannotWrite;
  QPdfWriter pdf(device);
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
    if (stopped(options)) {
      painter.end();
      return SheetResult::Stopped;
    }
    if (page > 0) pdf.newPage();
    drawTitle(painter, QRect(kMargin, kMargin, paper.width() - 2 * kMargin, kTitleHeight),
              sheetTitle(name, layout.legends, page, layout.pages()));
    painter.save();
    painter.translate(kMargin, kMargin + kTitleHeight);
    painter.scale(scale, scale);
    drawSheetPage(painter, QRect(QPoint(0, 0), layout.gridSize(std::max(1, layout.rowsOn(page)))), legends, layout,
                  page, options.captions);
    painter.restore();
    if (options.progress) options.progress(page + 1, layout.pages(), ProgressUnit::Pages);
  }
  if (!painter.end()) return SheetResult::CannotWrite;
  return files.commit(written) ? SheetResult::Ok : SheetResult::CannotWrite;
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
