// Timings of the legend editor on the largest legend file: opening it to its
// first painted frame, selecting and deleting every legend, adding one, and
// the save; each beside the plain read and the plain write of the same file
// taken in the same run.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPainter>

#include "bench_report.h"
#include "components/attstru/att_stru.h"
#include "editor/legend_edit_dlg.h"
#include "editor/model/editor_store.h"
#include "largest_file.h"
#include "legendfile/data_block.h"
#include "legendfile/head_record.h"
#include "legendfile/packed_file.h"
#include "legendfile/prompter.h"

namespace {

using benchreport::formatRatio;
using benchreport::formatTime;
using benchreport::ratioOf;
using benchreport::RecordingReporter;

constexpr std::int32_t kLegends = 32767;
constexpr double kFirstFrameTargetSeconds = 0.100;
constexpr double kSelectDeleteTargetSeconds = 0.200;
constexpr double kSaveTargetFactor = 2.0;
constexpr double kPeakMemoryFactor = 3.0;
// The destructive figures rebuild the editor before every iteration, which
// costs more than what is timed; a fixed count keeps the run short.
constexpr benchmark::IterationCount kRebuiltIterations = 8;

/// Answers every question with Yes, as a user deleting everything would.
class YesPrompter : public legend::Prompter {
 public:
  void inform(std::string_view) override {}
  bool askYesNo(std::string_view, bool) override { return true; }
};

struct Workspace {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "legend-bench-editor";
  std::filesystem::path file = folder / "largest.CLN";
  std::filesystem::path rawCopy = folder / "raw.CLN";
  std::vector<std::uint8_t> bytes = bench::largestFile(kLegends);
  Workspace() {
    std::filesystem::create_directories(folder);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  ~Workspace() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

void rawRead(benchmark::State& state, const Workspace& ws) {
  std::vector<std::uint8_t> buffer(ws.bytes.size());
  for (auto _ : state) {
    const int fd = ::open(ws.file.c_str(), O_RDONLY);
    std::size_t done = 0;
    while (fd >= 0 && done < buffer.size()) {
      const ssize_t got = ::read(fd, buffer.data() + done, buffer.size() - done);
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    if (fd >= 0) ::close(fd);
    if (done != buffer.size()) {
      state.SkipWithError("the file could not be read whole");
      break;
    }
    benchmark::DoNotOptimize(buffer.data());
  }
}

/// Writes @p bytes whole into @p fd (opened by the caller), flushes and
/// closes it. With fsync: the save flushes its file before it renames it,
/// and a write that stops in the page cache would make a baseline of a
/// different job.
bool writeFlushClose(int fd, const std::vector<std::uint8_t>& bytes) {
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put <= 0) break;
    done += static_cast<std::size_t>(put);
  }
  const bool flushed = ::fsync(fd) == 0;
  return ::close(fd) == 0 && flushed && done == bytes.size();
}

void rawWrite(benchmark::State& state, const Workspace& ws) {
  for (auto _ : state) {
    if (!writeFlushClose(::open(ws.rawCopy.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), ws.bytes)) {
      state.SkipWithError("the file could not be written whole");
      break;
    }
  }
}

// What replacing a file crash-safely costs at the least: a new file beside
// it, written, flushed and renamed over it; the save does the same after it
// has built the image.
void rawReplace(benchmark::State& state, const Workspace& ws) {
  const std::filesystem::path fresh = ws.folder / "raw.CLN.new";
  for (auto _ : state) {
    if (!writeFlushClose(::open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644), ws.bytes) ||
        ::rename(fresh.c_str(), ws.rawCopy.c_str()) != 0) {
      state.SkipWithError("the file could not be replaced");
      break;
    }
  }
}

/// An editor open on the file, shown and painted, as the user first sees it.
struct OpenEditor {
  std::array<char, legend::layout::kPathBufferSize> name{};
  YesPrompter prompter;
  std::unique_ptr<CLegendEditDlg> dialog;
  explicit OpenEditor(const Workspace& ws) : OpenEditor(ws.file.string()) {}
  explicit OpenEditor(const std::string& path) {
    std::strncpy(name.data(), path.c_str(), name.size() - 1);
    dialog = std::make_unique<CLegendEditDlg>(name.data(), std::function<void()>{}, nullptr);
    dialog->setPrompter(&prompter);
    dialog->show();
    QApplication::processEvents();
  }
  ~OpenEditor() {
    dialog.reset();
    QApplication::processEvents();
  }
  legend::editor::EditorStore& store() { return dialog->store(); }
};

/// The rows the editor's list view shows.
int listedRows(OpenEditor& open) {
  const auto* list = open.dialog->findChild<QAbstractItemView*>(QStringLiteral("legendList"));
  return list && list->model() ? list->model()->rowCount() : -1;
}

void firstFrame(benchmark::State& state, const Workspace& ws) {
  for (auto _ : state) {
    std::optional<OpenEditor> open;
    open.emplace(ws);
    state.PauseTiming();
    // A frame without the rows would time the empty window.
    if (listedRows(*open) != kLegends) {
      state.SkipWithError("the list does not show every legend");
      break;
    }
    open.reset();
    state.ResumeTiming();
  }
}

/// An editor's control by object name; throws when the window has none, so
/// a renamed control fails the run instead of timing nothing.
template <typename Control>
Control* control(OpenEditor& open, const char* name) {
  auto* found = open.dialog->findChild<Control*>(QString::fromLatin1(name));
  if (!found) throw std::runtime_error(std::string("the editor has no ") + name);
  return found;
}

// As the user does it: Ctrl+A (the list menu's 选中全部), then 删除 with its
// question answered Yes.
void selectAllAndDelete(benchmark::State& state, const Workspace& ws) {
  for (auto _ : state) {
    state.PauseTiming();
    auto open = std::make_unique<OpenEditor>(ws);
    QAction* selectAll = control<QAction>(*open, "selectAllAction");
    QAbstractButton* remove = control<QAbstractButton>(*open, "deleteButton");
    state.ResumeTiming();
    selectAll->trigger();
    remove->click();
    QApplication::processEvents();  // the emptied list is painted
    state.PauseTiming();
    if (open->store().totalListed() != 0) {
      state.SkipWithError("not every legend was selected and deleted");
      break;
    }
    open.reset();
    state.ResumeTiming();
  }
}

// 添加 with the template as the editor starts: one legend more, the list
// rebuilt over all of them and painted.
void addOne(benchmark::State& state, const Workspace& ws) {
  for (auto _ : state) {
    state.PauseTiming();
    auto open = std::make_unique<OpenEditor>(ws);
    // One out first (the editor opens with the first row selected), so the
    // file stays within what the format holds.
    control<QAbstractButton>(*open, "deleteButton")->click();
    QAbstractButton* add = control<QAbstractButton>(*open, "addButton");
    QApplication::processEvents();
    if (open->store().totalListed() != kLegends - 1) {
      state.SkipWithError("the first legend was not deleted");
      break;
    }
    state.ResumeTiming();
    add->click();
    QApplication::processEvents();
    state.PauseTiming();
    if (open->store().totalListed() != kLegends) {
      state.SkipWithError("the legend was not added");
      break;
    }
    open.reset();
    state.ResumeTiming();
  }
}

// The store alone: the save neither needs nor touches the window.
void save(benchmark::State& state, const Workspace& ws) {
  YesPrompter prompter;
  for (auto _ : state) {
    state.PauseTiming();
    legend::editor::EditorStore store(prompter);
    store.load(ws.file.string());
    state.ResumeTiming();
    if (store.save() != legend::editor::EditorSaveStatus::Ok) {
      state.SkipWithError("the save failed");
      break;
    }
  }
}

/// In the child: the editor on @p path shown, then its file saved, as a
/// user opens it and presses 保存. Qt's own start-up (platform, font
/// database) is done before the peak is taken.
int peakMemoryChild(const std::string& job, const std::string& path) {
  if (job != "editor") return 2;
  {
    QWidget window;
    window.show();
    QImage image(64, 16, QImage::Format_RGB32);
    QPainter(&image).drawText(2, 12, QStringLiteral("warm"));
    QApplication::processEvents();
  }
  const double before = benchreport::peakResidentBytes();
  OpenEditor open(path);
  if (open.store().save() != legend::editor::EditorSaveStatus::Ok) return 1;
  benchreport::printPeakGrowth(before);
  return 0;
}

void printSummary(const RecordingReporter& results, const Workspace& ws) {
  const auto real = [&](const char* name) { return results.realSeconds(name); };
  // CPU time beside each figure: on a shared machine a real time far above
  // it was spent waiting for the processor or the disk, not in our code.
  const auto cpu = [&](const char* name) {
    const auto times = results.times(name);
    return formatTime(times ? std::optional<double>(times->cpu) : std::nullopt);
  };
  const std::optional<double> read = real("RawRead");
  const std::optional<double> write = real("RawWrite");
  const std::optional<double> replace = real("RawReplace");
  const std::optional<double> frame = real("FirstFrame");
  const std::optional<double> removeAll = real("SelectAllAndDelete");
  const std::optional<double> add = real("AddOne");
  const std::optional<double> saved = real("Save");
  const std::optional<double> readWrite = read && write ? std::optional<double>(*read + *write) : std::nullopt;

  std::printf(
      "\nSummary (%d legends, %zu bytes, fingerprint %016llx; real time per iteration, median; CPU time in "
      "brackets):\n",
      kLegends, ws.bytes.size(), static_cast<unsigned long long>(benchreport::fingerprint(ws.bytes)));
  std::printf("  raw read of the file           %10s (%s)\n", formatTime(read).c_str(), cpu("RawRead").c_str());
  std::printf("  raw write of the file, fsync   %10s (%s)\n", formatTime(write).c_str(), cpu("RawWrite").c_str());
  std::printf("  raw replace: new file, rename  %10s (%s)   %s of raw write\n", formatTime(replace).c_str(),
              cpu("RawReplace").c_str(), formatRatio(ratioOf(replace, write)).c_str());
  std::printf("  editor to first painted frame  %10s (%s)   %s of raw read (target < %s)\n", formatTime(frame).c_str(),
              cpu("FirstFrame").c_str(), formatRatio(ratioOf(frame, read)).c_str(),
              formatTime(kFirstFrameTargetSeconds).c_str());
  std::printf("  select all + delete all        %10s (%s)   %s of raw read (target < %s)\n",
              formatTime(removeAll).c_str(), cpu("SelectAllAndDelete").c_str(),
              formatRatio(ratioOf(removeAll, read)).c_str(), formatTime(kSelectDeleteTargetSeconds).c_str());
  std::printf("  add one legend, list rebuilt   %10s (%s)   %s of raw read\n", formatTime(add).c_str(),
              cpu("AddOne").c_str(), formatRatio(ratioOf(add, read)).c_str());
  std::printf(
      "  save                           %10s (%s)   %s of raw write (target %.1fx), %s of raw read + write, "
      "%s of raw replace\n",
      formatTime(saved).c_str(), cpu("Save").c_str(), formatRatio(ratioOf(saved, write)).c_str(), kSaveTargetFactor,
      formatRatio(ratioOf(saved, readWrite)).c_str(), formatRatio(ratioOf(saved, replace)).c_str());
  const auto fileBytes = static_cast<double>(ws.bytes.size());
  const std::optional<double> peak = benchreport::childPeakGrowth(
      std::filesystem::read_symlink("/proc/self/exe").string(), "editor", ws.file.string());
  std::printf("  peak memory, editor open + save %9s   %s of the file's %s (target %.1fx)\n",
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

  benchmark::RegisterBenchmark("RawRead", [&ws](benchmark::State& s) { rawRead(s, ws); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("RawWrite", [&ws](benchmark::State& s) { rawWrite(s, ws); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("RawReplace", [&ws](benchmark::State& s) { rawReplace(s, ws); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("FirstFrame", [&ws](benchmark::State& s) { firstFrame(s, ws); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("SelectAllAndDelete", [&ws](benchmark::State& s) { selectAllAndDelete(s, ws); })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(kRebuiltIterations)
      ->UseRealTime();
  benchmark::RegisterBenchmark("AddOne", [&ws](benchmark::State& s) { addOne(s, ws); })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(kRebuiltIterations)
      ->UseRealTime();
  benchmark::RegisterBenchmark("Save", [&ws](benchmark::State& s) { save(s, ws); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();

  return benchreport::runRegistered(argc, argv, [&](const RecordingReporter& reporter) { printSummary(reporter, ws); });
}
