// Timings of the pad's drawing: a full pass over a page of 18 mixed legends
// and a single-cell pass, both into a 240 x 480 image, and a PNG sheet of the
// largest legend file. Every figure is printed beside a baseline measured in
// the same run (the grid alone, blank pages of the same sizes); the target in
// the summary is information, nothing here passes or fails on a time.
//
// The legend files are generated at start-up with the library's own writers
// (header, head records, composed blocks) from a fixed seed, with records
// in the ranges legends really use, so every run draws the same samples.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include "bench_report.h"
#include "components/display/qpainter_driver.h"
#include "components/drawing/graphic_records.h"
#include "components/drawing/kernel_driver.h"
#include "legendfile/byte_order.h"
#include "legendfile/data_block.h"
#include "legendfile/file_io.h"
#include "legendfile/head_record.h"
#include "legendfile/header.h"
#include "legendfile/layout.h"
#include "legendfile/legend_set.h"
#include "legendfile/packed_file.h"
#include "legendfile/status.h"
#include "pad/model/cell_drawing.h"
#include "pad/model/pad_geometry.h"
#include "pad/model/pad_surface.h"
#include "pad/model/scale_maxima.h"
#include "pad/sheet/legend_sheet.h"

namespace {

using benchreport::fingerprint;
using benchreport::formatRatio;
using benchreport::formatTime;
using benchreport::ratioOf;
using benchreport::RecordingReporter;
using benchreport::Times;
using benchreport::withDefaults;

using Bytes = std::vector<std::uint8_t>;
using legend::pad::AreaSize;
using legend::pad::CaptionMode;
using legend::records::PointType;

/// One pad page and the most legends a file holds.
constexpr std::int32_t kPageLegends = legend::pad::kGridCells;
constexpr std::int32_t kSheetLegends = legend::layout::kMaxLegends;
/// The pad's drawing area as a window of the default size gives it.
constexpr AreaSize kPadArea{240, 480};
/// Any fixed value: the files must be byte-identical from run to run.
constexpr std::uint32_t kSeed = 0x5eedd7a3;
/// The page's selected legend, so a pass draws the selected style too.
constexpr std::int32_t kSelectedPosition = 4;
/// A full pass should stay below this to keep scrolling smooth.
constexpr double kFullPassTargetSeconds = 2e-3;

// Iteration budgets, chosen so the whole run stays near a minute on two
// cores: each pass repetition runs for a minimum time; a sheet of 32767
// legends takes seconds, so it and its baseline run once.
constexpr double kPassMinSeconds = 0.5;
constexpr benchmark::IterationCount kSheetIterations = 1;
/// The blank baseline encodes its pages as the sheet does.
constexpr int kPngCompression = legend::sheet::kDefaultPngCompression;

// Ranges of the generated records.
constexpr std::uint32_t kColours = 200;  ///< palette numbers 1 ... 200
constexpr std::uint32_t kSymbols = 52;   ///< symbol numbers 1 ... 52
constexpr std::uint32_t kPointSizeMin = 4, kPointSizeMax = 12;
constexpr std::uint32_t kLineStyles = 21;  ///< styles 0 ... 20
constexpr std::uint32_t kLineWidthMin = 1, kLineWidthMax = 3;
constexpr std::uint32_t kLineFactorMin = 5, kLineFactorMax = 20;
constexpr std::uint32_t kPatterns = 31;  ///< patterns 0 ... 30
constexpr std::uint32_t kPatternSizeMin = 4, kPatternSizeMax = 10;
constexpr std::uint32_t kPointTypes = 6;  ///< annotation ... text

// Generated files

/// The engine's output sequence is fixed by the language; the standard
/// distributions are not, so values are drawn with a plain remainder.
std::uint32_t below(std::mt19937& random, std::uint32_t bound) { return static_cast<std::uint32_t>(random() % bound); }
std::uint32_t between(std::mt19937& random, std::uint32_t low, std::uint32_t high) {
  return low + below(random, high - low + 1);
}
float sizeBetween(std::mt19937& random, std::uint32_t low, std::uint32_t high) {
  return static_cast<float>(between(random, low, high));
}
std::uint32_t colour(std::mt19937& random) { return between(random, 1, kColours); }

Bytes pointRecord(PointType type, std::mt19937& random) {
  namespace point = legend::records::point;
  Bytes r(legend::layout::kPointRecordSize, 0);
  r[point::kType] = static_cast<std::uint8_t>(type);
  switch (type) {
    case PointType::Annotation:
    case PointType::Text:
      legend::store_le<float>(r, point::kTextHeight, sizeBetween(random, kPointSizeMin, kPointSizeMax));
      legend::store_le<float>(r, point::kTextWidth, sizeBetween(random, kPointSizeMin, kPointSizeMax));
      r[type == PointType::Annotation ? point::kAnnotationLayout : point::kTextLayout] =
          static_cast<std::uint8_t>(below(random, 2));
      break;
    case PointType::Symbol:
      legend::store_le<std::uint32_t>(r, point::kSymbolNumber, between(random, 1, kSymbols));
      legend::store_le<float>(r, point::kSymbolHeight, sizeBetween(random, kPointSizeMin, kPointSizeMax));
      legend::store_le<float>(r, point::kSymbolWidth, sizeBetween(random, kPointSizeMin, kPointSizeMax));
      legend::store_le<float>(r, point::kPenWidth, 1.0f);
      break;
    case PointType::Dot:
    case PointType::Ring:
      legend::store_le<double>(r, point::kMarkerSize, between(random, kPointSizeMin, kPointSizeMax));
      legend::store_le<float>(r, point::kPenWidth, 1.0f);
      break;
    case PointType::Image: break;  // always the same icon
  }
  legend::store_le<std::uint32_t>(r, point::kColour, colour(random));
  return r;
}

Bytes lineRecord(std::mt19937& random) {
  namespace line = legend::records::line;
  Bytes r(legend::layout::kLineRecordSize, 0);
  legend::store_le<std::uint16_t>(r, line::kStyle, static_cast<std::uint16_t>(below(random, kLineStyles)));
  legend::store_le<std::uint32_t>(r, line::kColour, colour(random));
  legend::store_le<float>(r, line::kPenWidth, sizeBetween(random, kLineWidthMin, kLineWidthMax));
  legend::store_le<float>(r, line::kPatternLength, sizeBetween(random, kLineFactorMin, kLineFactorMax));
  legend::store_le<float>(r, line::kPatternWidth, sizeBetween(random, kLineFactorMin, kLineFactorMax));
  legend::store_le<std::uint32_t>(r, line::kSecondColour, colour(random));
  return r;
}

Bytes regionRecord(std::mt19937& random) {
  namespace region = legend::records::region;
  Bytes r(legend::layout::kRegionRecordSize, 0);
  legend::store_le<std::uint32_t>(r, region::kFillColour, colour(random));
  legend::store_le<std::uint16_t>(r, region::kPattern, static_cast<std::uint16_t>(below(random, kPatterns)));
  const float size = sizeBetween(random, kPatternSizeMin, kPatternSizeMax);
  legend::store_le<float>(r, region::kPatternSize, size);
  legend::store_le<float>(r, region::kPatternHeight, size);
  legend::store_le<std::uint32_t>(r, region::kPatternColour, colour(random));
  return r;
}

// 城市, 河流 and 省会 in GBK: captions hold double-byte text as often as not.
constexpr std::array<std::string_view, 3> kGbkWords{"\xb3\xc7\xca\xd0", "\xba\xd3\xc1\xf7", "\xca\xa1\xbb\xe1"};

struct FileStats {
  std::int32_t legends = 0;
  std::int32_t points = 0;
  std::int32_t lines = 0;
  std::int32_t regions = 0;
  std::uint64_t bytes = 0;
  std::uint64_t fingerprint = 0;
};

/// A legend file of @p n legends taking turns as line, point and region, the
/// points cycling through the six point types, so any 18 of them show every
/// kind of sample. Captions alternate between short GBK names and ASCII ones
/// too long for a cell.
Bytes makeLegendFile(std::int32_t n, FileStats& stats) {
  std::mt19937 random(kSeed);
  const auto count = static_cast<std::size_t>(n);
  legend::PackedFileBuilder file;
  stats = {};
  stats.legends = n;
  for (std::size_t i = 0; i < count; ++i) {
    const auto type = static_cast<legend::LegendType>(i % 3);
    Bytes params;
    switch (type) {
      case legend::LegendType::Line:
        params = lineRecord(random);
        ++stats.lines;
        break;
      case legend::LegendType::Point:
        params = pointRecord(static_cast<PointType>((i / 3) % kPointTypes), random);
        ++stats.points;
        break;
      case legend::LegendType::Region:
        params = regionRecord(random);
        ++stats.regions;
        break;
    }
    const auto block = legend::composeBlock(params, nullptr, {});
    if (!block) throw std::runtime_error("generator: a block could not be composed");

    legend::HeadRecord headRecord;
    legend::HeadRef head = headRecord.ref();
    const std::string name = i % 2 == 0 ? std::string(kGbkWords[(i / 2) % kGbkWords.size()]) + std::to_string(i)
                                        : "generated legend number " + std::to_string(i);
    head.setName(name);
    head.setDescription("generated for the drawing benchmark");
    head.setType(static_cast<std::int8_t>(type));
    head.setClassCode(static_cast<std::int32_t>(below(random, 100000)));
    if (!file.append(headRecord, *block)) throw std::runtime_error("generator: the file outgrows the format");
  }

  Bytes image = file.image();
  stats.bytes = image.size();
  stats.fingerprint = fingerprint(image);
  return image;
}

// The pad's drawing area

/// The pad's drawing area as an image, cleared to white like a window's
/// background.
class ImageSurface final : public legend::pad::PadSurface {
 public:
  ImageSurface() : image_(kPadArea.width, kPadArea.height, QImage::Format_RGB32) { image_.fill(Qt::white); }

  bool exists() const override { return true; }
  AreaSize areaSize() const override { return kPadArea; }
  void setTotalText(std::string_view text) override { total_.assign(text); }
  void clearArea() override { image_.fill(Qt::white); }
  void clearCell(const legend::pad::WindowRect& cell) override {
    QPainter painter(&image_);
    painter.fillRect(QRect(cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top), Qt::white);
  }
  std::unique_ptr<KernelDriver> openDriver() override { return OpenWinDriver(&image_); }
  void reportImageFailure() override { ++imageFailures_; }

  const QImage& image() const noexcept { return image_; }
  int imageFailures() const noexcept { return imageFailures_; }
  /// Pixels that are not white: how much a pass drew.
  std::int64_t inkedPixels() const {
    std::int64_t inked = 0;
    for (int y = 0; y < image_.height(); ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
      inked += std::count_if(line, line + image_.width(), [](QRgb p) { return (p & 0xffffffu) != 0xffffffu; });
    }
    return inked;
  }

 private:
  QImage image_;
  std::string total_;
  int imageFailures_ = 0;
};

// The folder the files live in

/// A temporary folder holding the generated files and the sheets written;
/// removed with everything in it when the run ends.
class Workspace {
 public:
  Workspace() {
    std::string pattern = (std::filesystem::temp_directory_path() / "legend-draw-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::system_error(errno, std::generic_category(), "cannot create a temporary folder");
    folder_ = pattern;
  }
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;
  ~Workspace() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  /// Generates both files, loads them as the pad does, selects a legend of
  /// the page and raises the scale maxima once from both (their records
  /// share the ranges, so either raises them to the same values).
  void prepare() {
    load(page_, pageStats_, kPageLegends);
    load(sheet_, sheetStats_, kSheetLegends);
    page_.selectPosition(kSelectedPosition);
    legend::pad::updateScaleMaxima(page_);
    legend::pad::updateScaleMaxima(sheet_);
  }

  /// Writes the sheet once, untimed: it warms fonts and caches for the one
  /// timed write, and its pages give the blank baseline its page sizes.
  /// Done when a sheet figure first needs it, so a run of the passes alone
  /// stays short.
  void measureSheetPages() {
    if (!pageSizes_.empty()) return;
    QStringList written;
    if (writeSheet(written) != legend::sheet::SheetResult::Ok) throw std::runtime_error("the sheet was not written");
    for (const QString& file : written) {
      const QSize size = QImageReader(file).size();
      if (!size.isValid()) throw std::runtime_error("a sheet page cannot be read back");
      pageSizes_.push_back(size);
    }
    removeAll(written);
  }

  legend::sheet::SheetResult writeSheet(QStringList& written, const legend::sheet::SheetOptions& options = {}) const {
    return legend::sheet::writeSheet(sheet_, options, sheetOutput(),
                                     QStringLiteral("legends-%1.CLN").arg(kSheetLegends), written);
  }
  QString sheetOutput() const { return QString::fromStdString(pathOf("sheet.png")); }
  QString blankOutput(std::size_t page) const {
    return QString::fromStdString(pathOf("blank-" + std::to_string(page + 1) + ".png"));
  }
  static void removeAll(const QStringList& files) {
    for (const QString& file : files) QFile::remove(file);
  }

  const std::filesystem::path& folder() const noexcept { return folder_; }
  const legend::LegendSet& page() const noexcept { return page_; }
  const legend::LegendSet& empty() const noexcept { return empty_; }
  const legend::LegendSet& sheet() const noexcept { return sheet_; }
  const FileStats& pageStats() const noexcept { return pageStats_; }
  const FileStats& sheetStats() const noexcept { return sheetStats_; }
  const std::vector<QSize>& pageSizes() const noexcept { return pageSizes_; }
  /// Writes the generated file of @p n legends to @p path, for profiling
  /// a tool on the same file the benchmarks use.
  static bool writeFile(std::int32_t n, const std::string& path) {
    FileStats stats;
    return static_cast<bool>(legend::replaceFile(path, makeLegendFile(n, stats)));
  }

 private:
  std::string pathOf(const std::string& name) const { return (folder_ / name).string(); }

  void load(legend::LegendSet& set, FileStats& stats, std::int32_t n) {
    const std::string path = pathOf("legends-" + std::to_string(n) + ".CLN");
    if (!legend::replaceFile(path, makeLegendFile(n, stats))) throw std::runtime_error("cannot write " + path);
    if (set.setPath(path) != legend::LegendStatus::Ok || set.reload() != legend::LegendStatus::Ok ||
        set.displayCount() != n)
      throw std::runtime_error("cannot load " + path);
  }

  std::filesystem::path folder_;
  legend::LegendSet page_;
  legend::LegendSet empty_;  // never loaded: the pad before a file is opened
  legend::LegendSet sheet_;
  FileStats pageStats_;
  FileStats sheetStats_;
  std::vector<QSize> pageSizes_;
};

// Benchmarks

/// CPU seconds the whole process (every thread) has used: on a shared
/// machine wall-clock figures of threaded work wait on others' builds too.
double processCpuSeconds() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

/// Time per legend: iteration time divided by the legend count.
benchmark::Counter perLegend(std::int32_t n) {
  return benchmark::Counter(static_cast<double>(n),
                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void fullPass(benchmark::State& state, const legend::LegendSet& legends) {
  ImageSurface surface;
  legend::pad::CellPainter painter;
  for (auto _ : state) {
    painter.fullPass(surface, legends, legend::pad::ScrollRange::kMinimum, CaptionMode::Names);
    benchmark::DoNotOptimize(surface.image().constBits());
    benchmark::ClobberMemory();
  }
  // A pass that drew nothing, or lost a sample, measures the wrong thing.
  if (surface.imageFailures() > 0 || surface.inkedPixels() == 0) state.SkipWithError("the pass did not draw");
  state.counters["cells"] = static_cast<double>(std::min(legends.displayCount(), legend::pad::kGridCells));
  state.counters["ink_px"] = static_cast<double>(surface.inkedPixels());
}

/// A selection change redraws single cells: each iteration redraws the next
/// cell of the page, selected and normal by turns.
void singlePass(benchmark::State& state, const legend::LegendSet& legends) {
  ImageSurface surface;
  legend::pad::CellPainter painter;
  // The pad has drawn the page before the selection can change.
  painter.fullPass(surface, legends, legend::pad::ScrollRange::kMinimum, CaptionMode::Names);
  std::int32_t position = 0;
  bool selected = true;
  for (auto _ : state) {
    painter.singleCellPass(surface, legends, legend::pad::ScrollRange::kMinimum, CaptionMode::Names, position,
                           selected);
    benchmark::DoNotOptimize(surface.image().constBits());
    benchmark::ClobberMemory();
    position = (position + 1) % legend::pad::kGridCells;
    selected = !selected;
  }
  if (surface.imageFailures() > 0) state.SkipWithError("a sample was not drawn");
}

void sheetPng(benchmark::State& state, Workspace& ws, const legend::sheet::SheetOptions& options = {}) {
  ws.measureSheetPages();
  QStringList written;
  std::uintmax_t bytes = 0;
  double cpu = 0;
  for (auto _ : state) {
    written.clear();
    const double before = processCpuSeconds();
    if (ws.writeSheet(written, options) != legend::sheet::SheetResult::Ok) {
      state.SkipWithError("the sheet was not written");
      break;
    }
    cpu += processCpuSeconds() - before;
    state.PauseTiming();
    bytes = 0;
    for (const QString& file : written) bytes += std::filesystem::file_size(file.toStdString());
    Workspace::removeAll(written);
    state.ResumeTiming();
  }
  state.counters["pages"] = static_cast<double>(written.size());
  state.counters["legends"] = static_cast<double>(kSheetLegends);
  state.counters["per_legend"] = perLegend(kSheetLegends);
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["process_cpu_s"] =
      cpu / static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
}

/// Baseline of the sheet: as many white pages of the same sizes, filled and
/// saved as PNG the way the sheet saves its pages.
void blankPagesPng(benchmark::State& state, Workspace& ws) {
  ws.measureSheetPages();
  QStringList written;
  for (auto _ : state) {
    written.clear();
    for (std::size_t page = 0; page < ws.pageSizes().size(); ++page) {
      QImage image(ws.pageSizes()[page], QImage::Format_RGB32);
      image.fill(Qt::white);
      const QString file = ws.blankOutput(page);
      QImageWriter writer(file, "png");
      writer.setQuality(legend::sheet::pngQuality(kPngCompression));
      if (!writer.write(image)) {
        state.SkipWithError("a blank page was not written");
        return;
      }
      written << file;
    }
    state.PauseTiming();
    Workspace::removeAll(written);
    state.ResumeTiming();
  }
  state.counters["pages"] = static_cast<double>(written.size());
  state.counters["per_legend"] = perLegend(kSheetLegends);
}

/// The sheet as it was written before pages were drawn side by side: one
/// thread, zlib's default level.
legend::sheet::SheetOptions oneThreadDefaultLevel() {
  legend::sheet::SheetOptions options;
  options.threads = 1;
  options.pngCompression = -1;
  return options;
}

void registerBenchmarks(Workspace& ws, bool pngLevels) {
  benchmark::RegisterBenchmark("FullPassMixed", [&ws](benchmark::State& s) { fullPass(s, ws.page()); })
      ->MinTime(kPassMinSeconds)
      ->UseRealTime()
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("FullPassEmpty", [&ws](benchmark::State& s) { fullPass(s, ws.empty()); })
      ->MinTime(kPassMinSeconds)
      ->UseRealTime()
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("SinglePassSelection", [&ws](benchmark::State& s) { singlePass(s, ws.page()); })
      ->MinTime(kPassMinSeconds)
      ->UseRealTime()
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("Sheet32767Png", [&ws](benchmark::State& s) { sheetPng(s, ws); })
      ->Iterations(kSheetIterations)
      ->Repetitions(1)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BlankPagesPng", [&ws](benchmark::State& s) { blankPagesPng(s, ws); })
      ->Iterations(kSheetIterations)
      ->Repetitions(1)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Sheet32767PngOneThread",
                               [&ws](benchmark::State& s) { sheetPng(s, ws, oneThreadDefaultLevel()); })
      ->Iterations(kSheetIterations)
      ->Repetitions(1)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  // --png-levels: the sheet at every zlib level, for choosing the default.
  if (!pngLevels) return;
  for (int level = 0; level <= 9; ++level)
    benchmark::RegisterBenchmark(("SheetPngLevel/" + std::to_string(level)).c_str(),
                                 [&ws, level](benchmark::State& s) {
                                   legend::sheet::SheetOptions options;
                                   options.pngCompression = level;
                                   sheetPng(s, ws, options);
                                 })
        ->Iterations(kSheetIterations)
        ->Repetitions(1)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

// Reporting

/// "< 2 ms  (within)"; an absent target prints as a dash.
std::string formatTarget(std::optional<double> time, std::optional<double> target) {
  if (!target) return "-";
  return "< " + formatTime(target) + (!time ? "" : *time < *target ? "  (within)" : "  (above)");
}

std::optional<Times> divided(std::optional<Times> times, std::int32_t n) {
  if (!times) return std::nullopt;
  return Times{times->real / n, times->cpu / n};
}
std::optional<double> real(std::optional<Times> times) {
  return times ? std::optional<double>(times->real) : std::nullopt;
}
std::optional<double> cpu(std::optional<Times> times) {
  return times ? std::optional<double>(times->cpu) : std::nullopt;
}

constexpr const char* kRowFormat = "%-25s %9s %9s   %-21s %9s %9s %8s   %s\n";

void printRow(const char* figure, std::optional<Times> time, const char* baseline, std::optional<Times> baseTime,
              std::optional<double> target) {
  std::printf(kRowFormat, figure, formatTime(real(time)).c_str(), formatTime(cpu(time)).c_str(), baseline,
              formatTime(real(baseTime)).c_str(), formatTime(cpu(baseTime)).c_str(),
              formatRatio(ratioOf(real(time), real(baseTime))).c_str(), formatTarget(real(time), target).c_str());
}

void printSummary(const RecordingReporter& results, const Workspace& ws) {
  const auto at = [&](const char* name) { return results.times(name); };
  const std::optional<Times> sheet = at("Sheet32767Png");
  const std::optional<Times> blank = at("BlankPagesPng");

  std::printf(
      "\nSummary: time per iteration, real and CPU; ratio = real / baseline real; the target is information\n"
      "only. Passes: median of the repetitions, each the mean of at least %.1f s of passes into a %d x %d\n"
      "image. Sheets: %lld timed write(s) each, after one untimed write.\n\n",
      kPassMinSeconds, kPadArea.width, kPadArea.height, static_cast<long long>(kSheetIterations));
  std::printf(kRowFormat, "figure", "real", "cpu", "baseline", "real", "cpu", "ratio", "target");
  printRow("FullPassMixed (18 cells)", at("FullPassMixed"), "FullPassEmpty (grid)", at("FullPassEmpty"),
           kFullPassTargetSeconds);
  printRow("SinglePassSelection", at("SinglePassSelection"), "FullPassMixed", at("FullPassMixed"), std::nullopt);
  printRow("Sheet32767Png", sheet, "BlankPagesPng", blank, std::nullopt);
  printRow("  per legend", divided(sheet, kSheetLegends), "  per legend", divided(blank, kSheetLegends), std::nullopt);
  printRow("Sheet32767Png", sheet, "  one thread, level 6", at("Sheet32767PngOneThread"), std::nullopt);

  std::printf("  process CPU (all threads): Sheet32767Png %s, one thread level 6 %s, ratio %s\n",
              formatTime(results.counter("Sheet32767Png", "process_cpu_s")).c_str(),
              formatTime(results.counter("Sheet32767PngOneThread", "process_cpu_s")).c_str(),
              formatRatio(ratioOf(results.counter("Sheet32767Png", "process_cpu_s"),
                                  results.counter("Sheet32767PngOneThread", "process_cpu_s")))
                  .c_str());
  const std::string drawing =
      sheet && blank ? formatTime((sheet->real - blank->real) / kSheetLegends) : std::string("n/a");
  std::printf("\nSheet of %d legends: drawing cost %s per legend ((sheet - blank) / N, real)\n", kSheetLegends,
              drawing.c_str());
  const std::vector<QSize>& sizes = ws.pageSizes();
  const std::optional<double> pages = results.counter("Sheet32767Png", "pages");
  std::printf("  %s PNG pages written (%zu in the baseline)",
              pages ? std::to_string(std::llround(*pages)).c_str() : "n/a", sizes.size());
  if (!sizes.empty())
    std::printf(", %d x %d px each, the last %d x %d px", sizes.front().width(), sizes.front().height(),
                sizes.back().width(), sizes.back().height());
  const auto ink = [&](const char* name) {
    const std::optional<double> value = results.counter(name, "ink_px");
    return value ? std::llround(*value) : -1LL;
  };
  std::printf("\nInk after a full pass: %lld px with 18 legends, %lld px for the grid alone\n\n", ink("FullPassMixed"),
              ink("FullPassEmpty"));
  bool levelsShown = false;
  for (int level = 0; level <= 9; ++level) {
    const std::string key = "SheetPngLevel/" + std::to_string(level);
    const std::optional<Times> time = results.times(key);
    if (!time) continue;
    if (!levelsShown)
      std::printf("Sheet by zlib level (default %d):\n  level      real  proc cpu       MB\n", kPngCompression);
    levelsShown = true;
    const std::optional<double> megabytes = results.counter(key, "MB");
    const std::optional<double> cpuSeconds = results.counter(key, "process_cpu_s");
    std::printf("  %5d %9s %9s %8.1f\n", level, formatTime(time->real).c_str(), formatTime(cpuSeconds).c_str(),
                megabytes ? *megabytes : -1.0);
  }
  if (levelsShown) std::printf("\n");
}

void printFiles(const Workspace& ws) {
  std::printf("Generated legend files in %s (seed %#x):\n", ws.folder().c_str(), kSeed);
  for (const FileStats* s : {&ws.pageStats(), &ws.sheetStats()})
    std::printf("  %6d legends  %9llu bytes  points %d, lines %d, regions %d  fnv1a %016llx\n", s->legends,
                static_cast<unsigned long long>(s->bytes), s->points, s->lines, s->regions,
                static_cast<unsigned long long>(s->fingerprint));
  std::printf("\n");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  // Drawing needs fonts, so the run is a GUI application, on the offscreen
  // platform unless another one is asked for.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);

  // --write-legend-file N PATH: the generated file of N legends, and exit.
  if (argc == 4 && std::string(argv[1]) == "--write-legend-file")
    return Workspace::writeFile(std::stoi(argv[2]), argv[3]) ? 0 : 1;
  std::vector<char*> ours;
  bool pngLevels = false;
  for (int i = 0; i < argc; ++i) {
    if (i > 0 && std::string(argv[i]) == "--png-levels")
      pngLevels = true;
    else
      ours.push_back(argv[i]);
  }
  std::vector<std::string> defaults;
  std::vector<char*> args = withDefaults(static_cast<int>(ours.size()), ours.data(), defaults);
  int count = static_cast<int>(args.size()) - 1;
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

  std::optional<Workspace> ws;
  try {
    ws.emplace();
    ws->prepare();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_drawing: %s\n", error.what());
    return 1;
  }
  printFiles(*ws);
  registerBenchmarks(*ws, pngLevels);

  RecordingReporter reporter(::isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                     : benchmark::ConsoleReporter::OO_Tabular);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printSummary(reporter, *ws);
  benchmark::Shutdown();
  return 0;
}
