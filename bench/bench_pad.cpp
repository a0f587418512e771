// Timings of the pad window on the largest legend file: opening it to its
// first painted frame, a click on a legend with attributes up to the owner's
// message, and paging from the top to the bottom; each beside its baseline
// (the bare load of the same file, one drawing pass) taken in the same run.
// Beside the first frame, Qt's own share of it: the same controls in a
// dialog of the same size, with nothing of the library.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>

#include "bench_report.h"
#include "components/attstru/att_stru.h"
#include "largest_file.h"
#include "legend/legend_events.h"
#include "legend/map_project.h"
#include "legendfile/data_block.h"
#include "legendfile/head_record.h"
#include "legendfile/legend_set.h"
#include "legendfile/packed_file.h"
#include "pad/model/pad_model.h"
#include "pad/window/legend_pad_dlg.h"

namespace {

using benchreport::formatRatio;
using benchreport::formatTime;
using benchreport::ratioOf;
using benchreport::RecordingReporter;

constexpr double kPeakMemoryFactor = 3.0;

constexpr std::int32_t kLegends = 32767;
constexpr double kFirstFrameFactor = 1.2;
constexpr int kInterleavedRounds = 200;
constexpr double kClickTargetSeconds = 1e-3;

class Owner : public QWidget {
 public:
  int selected = 0;

 protected:
  bool event(QEvent* e) override {
    if (static_cast<int>(e->type()) == WM_LEGEND_SELECTED) {
      ++selected;
      return true;
    }
    return QWidget::event(e);
  }
};

struct Workspace {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "legend-bench-pad";
  std::filesystem::path file = folder / "largest.CLN";
  Workspace() {
    std::filesystem::create_directories(folder);
    const std::vector<std::uint8_t> bytes = bench::largestFile(kLegends);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  ~Workspace() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

void bareLoad(benchmark::State& state, const Workspace& ws) {
  for (auto _ : state) {
    legend::LegendSet set;
    set.setPath(ws.file.string());
    set.load();
    set.rebuildDisplayList();
    benchmark::DoNotOptimize(set.displayCount());
  }
}

/// A visible pad on the file, for the figures that work on an open pad.
struct OpenPad {
  MapProject project;
  Owner owner;
  CLegendPadDlg* pad;
  explicit OpenPad(const Workspace& ws) : pad(new CLegendPadDlg(ws.file.string(), 1, 0, &project, &owner)) {
    pad->create();
    QApplication::processEvents();
  }
  ~OpenPad() { pad->destroyPad(); }
};

void drawingPass(benchmark::State& state, const Workspace& ws) {
  OpenPad open(ws);
  for (auto _ : state) open.pad->model().paint();
}

void firstFrame(benchmark::State& state, const Workspace& ws) {
  MapProject project;
  Owner owner;
  for (auto _ : state) {
    auto* pad = new CLegendPadDlg(ws.file.string(), 1, 0, &project, &owner);
    pad->create();
    QApplication::processEvents();  // the window shows its first frame
    state.PauseTiming();
    pad->destroyPad();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}

void clickToOwner(benchmark::State& state, const Workspace& ws) {
  OpenPad open(ws);
  QWidget* area = open.pad->drawingArea();
  const int cellWidth = area->width() / 3;
  const int cellHeight = area->height() / 6;
  int cell = 0;
  for (auto _ : state) {
    // Alternate between two cells, so every click selects.
    const QPoint global = area->mapToGlobal(QPoint(cellWidth * cell + cellWidth / 2, cellHeight / 2));
    QMouseEvent press(QEvent::MouseButtonPress, open.pad->mapFromGlobal(global), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(open.pad, &press);
    cell = 1 - cell;
  }
  if (open.owner.selected != static_cast<int>(state.iterations())) state.SkipWithError("a click was not reported");
}

void pageDownToBottom(benchmark::State& state, const Workspace& ws) {
  OpenPad open(ws);
  std::int64_t pages = 0;
  for (auto _ : state) {
    state.PauseTiming();
    open.pad->model().scroll(legend::pad::ScrollCode::Top);
    state.ResumeTiming();
    while (open.pad->model().scrollPosition() < open.pad->model().scrollRange().maximum) {
      QKeyEvent key(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
      QApplication::sendEvent(open.pad, &key);
      ++pages;
    }
  }
  state.counters["pages"] = static_cast<double>(pages) / static_cast<double>(state.iterations());
}

/// Stands for the pad's drawing area: paints a finished picture of its size.
class PictureArea : public QWidget {
 public:
  explicit PictureArea(QWidget* parent, QSize size) : QWidget(parent), picture_(size) { picture_.fill(Qt::white); }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).drawPixmap(0, 0, picture_); }

 private:
  QPixmap picture_;
};

/// A dialog of @p pad's size and window kind holding a widget of the same Qt
/// class, place, text, picture and visibility for each of the pad's
/// controls; the drawing area paints a finished picture. Shown, it is what
/// Qt alone spends on a first frame of such a window.
QDialog* qtOnlyCopyOf(const QWidget& pad) {
  auto* dialog = new QDialog(nullptr, pad.windowFlags());
  dialog->setWindowTitle(pad.windowTitle());
  dialog->setFixedSize(pad.size());
  // Focus goes as on the pad: to the first control that takes it.
  dialog->setFocusPolicy(pad.focusPolicy());
  for (const QWidget* control : pad.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (control->isWindow()) continue;
    QWidget* copy = nullptr;
    if (const auto* bar = qobject_cast<const QScrollBar*>(control)) {
      auto* barCopy = new QScrollBar(bar->orientation(), dialog);
      barCopy->setRange(bar->minimum(), bar->maximum());
      barCopy->setPageStep(bar->pageStep());
      copy = barCopy;
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
      copy = new QLineEdit(edit->text(), dialog);
    } else if (const auto* button = qobject_cast<const QPushButton*>(control)) {
      auto* buttonCopy = new QPushButton(button->icon(), button->text(), dialog);
      buttonCopy->setIconSize(button->iconSize());
      copy = buttonCopy;
    } else if (const auto* label = qobject_cast<const QLabel*>(control)) {
      auto* labelCopy = new QLabel(label->text(), dialog);
      if (!label->pixmap().isNull()) labelCopy->setPixmap(label->pixmap());
      labelCopy->setAlignment(label->alignment());
      copy = labelCopy;
    } else if (const auto* frame = qobject_cast<const QFrame*>(control)) {
      auto* frameCopy = new QFrame(dialog);
      frameCopy->setFrameStyle(frame->frameStyle());
      copy = frameCopy;
    } else {
      copy = new PictureArea(dialog, control->size());
    }
    copy->setGeometry(control->geometry());
    copy->setHidden(control->isHidden());
  }
  // The frame lies under the controls it surrounds, as on the pad.
  for (QFrame* frame : dialog->findChildren<QFrame*>(Qt::FindDirectChildrenOnly))
    if (frame->metaObject() == &QFrame::staticMetaObject) frame->lower();
  return dialog;
}

/// The first frame and its baseline taken in turn, round after round, so a
/// change in the machine's speed during the run falls on both alike.
struct Interleaved {
  double load = 0;  // bare load + display list, seconds (median)
  double pass = 0;
  double frame = 0;
  double qtOnly = 0;  // the pad's controls without the library
  int rounds = 0;
};

double medianOf(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
  return values[values.size() / 2];
}

Interleaved interleavedFirstFrame(const Workspace& ws, int rounds) {
  using Clock = std::chrono::steady_clock;
  const auto seconds = [](Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
  };
  OpenPad open(ws);
  MapProject project;
  Owner owner;
  std::vector<double> loads, passes, frames, qtOnly;
  for (int round = 0; round < rounds; ++round) {
    Clock::time_point start = Clock::now();
    {
      legend::LegendSet set;
      set.setPath(ws.file.string());
      set.load();
      set.rebuildDisplayList();
      benchmark::DoNotOptimize(set.displayCount());
      // Without freeing the set, as the first frame is timed without closing its pad.
      loads.push_back(seconds(start));
    }
    start = Clock::now();
    open.pad->model().paint();
    passes.push_back(seconds(start));
    start = Clock::now();
    auto* pad = new CLegendPadDlg(ws.file.string(), 1, 0, &project, &owner);
    pad->create();
    QApplication::processEvents();
    frames.push_back(seconds(start));
    pad->destroyPad();
    QApplication::processEvents();
    start = Clock::now();
    QDialog* copy = qtOnlyCopyOf(*open.pad);
    copy->show();
    QApplication::processEvents();
    qtOnly.push_back(seconds(start));
    delete copy;
    QApplication::processEvents();
  }
  return {medianOf(loads), medianOf(passes), medianOf(frames), medianOf(qtOnly), rounds};
}

/// Qt's own start-up (platform, font database) is not the pad's: a window
/// is shown and a text drawn before the peak is taken.
void warmUpQt() {
  QWidget window;
  window.show();
  QImage image(64, 16, QImage::Format_RGB32);
  QPainter(&image).drawText(2, 12, QStringLiteral("warm"));
  QApplication::processEvents();
}

/// In the child: a visible pad on @p path to its first painted frame.
int peakMemoryChild(const std::string& job, const std::string& path) {
  if (job != "pad") return 2;
  warmUpQt();
  const double before = benchreport::peakResidentBytes();
  MapProject project;
  Owner owner;
  auto* pad = new CLegendPadDlg(path, 1, 0, &project, &owner);
  pad->create();
  QApplication::processEvents();
  benchreport::printPeakGrowth(before);
  pad->destroyPad();
  return 0;
}

void printSummary(const RecordingReporter& results, const Workspace& ws) {
  const auto real = [&](const char* name) { return results.realSeconds(name); };
  const std::optional<double> load = real("BareLoad");
  const std::optional<double> pass = real("DrawingPass");
  const std::optional<double> frame = real("FirstFrame");
  const std::optional<double> click = real("ClickToOwner");
  const std::optional<double> paging = real("PageDownToBottom");
  const std::optional<double> pages = results.counter("PageDownToBottom", "pages");
  const std::optional<double> baseline = load && pass ? std::optional<double>(*load + *pass) : std::nullopt;
  // Only beside the figures it checks, not when a filter left them out.
  const Interleaved inTurn = frame ? interleavedFirstFrame(ws, kInterleavedRounds) : Interleaved{};

  std::printf("\nSummary (%d legends, real time per iteration, median of the repetitions):\n", kLegends);
  std::printf("  bare load + display list      %10s\n", formatTime(load).c_str());
  std::printf("  one full drawing pass         %10s\n", formatTime(pass).c_str());
  std::printf("  pad to first painted frame    %10s   %s of load + pass (target %.1fx)\n", formatTime(frame).c_str(),
              formatRatio(ratioOf(frame, baseline)).c_str(), kFirstFrameFactor);
  if (inTurn.rounds > 0) {
    std::printf("    taken in turn, %d rounds    %10s   %s of load + pass (%s + %s)\n", inTurn.rounds,
                formatTime(inTurn.frame).c_str(), formatRatio(inTurn.frame / (inTurn.load + inTurn.pass)).c_str(),
                formatTime(inTurn.load).c_str(), formatTime(inTurn.pass).c_str());
    std::printf("    of which Qt alone          %10s   %s of load + pass (its controls in a plain dialog)\n",
                formatTime(inTurn.qtOnly).c_str(), formatRatio(inTurn.qtOnly / (inTurn.load + inTurn.pass)).c_str());
  }
  std::printf("  click to owner's message      %10s   %s of one pass (target < %s)\n", formatTime(click).c_str(),
              formatRatio(ratioOf(click, pass)).c_str(), formatTime(kClickTargetSeconds).c_str());
  if (paging && pages && *pages > 0)
    std::printf("  Page Down top to bottom       %10s   %.0f pages, %s per page, %s of one pass\n",
                formatTime(paging).c_str(), *pages, formatTime(*paging / *pages).c_str(),
                formatRatio(ratioOf(*paging / *pages, pass)).c_str());
  const auto fileBytes = static_cast<double>(std::filesystem::file_size(ws.file));
  const std::optional<double> peak =
      benchreport::childPeakGrowth(std::filesystem::read_symlink("/proc/self/exe").string(), "pad", ws.file.string());
  std::printf("  peak memory of a visible pad  %10s   %s of the file's %s (target %.1fx)\n",
              benchreport::formatMegabytes(peak).c_str(), formatRatio(ratioOf(peak, fileBytes)).c_str(),
              benchreport::formatMegabytes(fileBytes).c_str(), kPeakMemoryFactor);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (argc == 4 && std::string(argv[1]) == benchreport::kPeakMemoryFlag) return peakMemoryChild(argv[2], argv[3]);
  const Workspace ws;

  benchmark::RegisterBenchmark("BareLoad", [&ws](benchmark::State& s) { bareLoad(s, ws); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("DrawingPass", [&ws](benchmark::State& s) { drawingPass(s, ws); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("FirstFrame", [&ws](benchmark::State& s) { firstFrame(s, ws); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("ClickToOwner", [&ws](benchmark::State& s) { clickToOwner(s, ws); })
      ->Unit(benchmark::kMicrosecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("PageDownToBottom", [&ws](benchmark::State& s) { pageDownToBottom(s, ws); })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(1)
      ->UseRealTime();

  return benchreport::runRegistered(argc, argv, [&](const RecordingReporter& reporter) { printSummary(reporter, ws); });
}
