// Timings of the pad as a host meets it, through liblegend.so's exports, on
// the largest legend file: an invisible pad (created to serve queries) and a
// visible one to its first painted frame, each beside a raw read of the
// same file taken in the same run.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>

#include "bench_report.h"
#include "components/attstru/att_stru.h"
#include "largest_file.h"
#include "legend/legend.h"
#include "legend/map_project.h"
#include "legendfile/data_block.h"
#include "legendfile/head_record.h"
#include "legendfile/packed_file.h"

namespace {

using benchreport::formatRatio;
using benchreport::formatTime;
using benchreport::ratioOf;
using benchreport::RecordingReporter;

constexpr std::int32_t kLegends = 32767;
constexpr double kInvisibleFactor = 1.5;
constexpr double kVisibleFactor = 2.0;

struct Workspace {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "legend-bench-host";
  std::filesystem::path file = folder / "largest.CLN";
  std::size_t bytes = 0;
  Workspace() {
    std::filesystem::create_directories(folder);
    const std::vector<std::uint8_t> image = bench::largestFile(kLegends);
    bytes = image.size();
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  }
  ~Workspace() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

/// What any host pays at the least to see the file: open, read it whole
/// into a buffer of its own, close.
void rawRead(benchmark::State& state, const Workspace& ws) {
  for (auto _ : state) {
    std::vector<std::uint8_t> buffer(ws.bytes);
    const int fd = ::open(ws.file.c_str(), O_RDONLY | O_CLOEXEC);
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

/// CreateCLNPadWindow; for a visible pad also the events that paint its
/// first frame. Closing is not timed.
void createPad(benchmark::State& state, const Workspace& ws, int visible) {
  MapProject project;
  for (auto _ : state) {
    void* pad = CreateCLNPadWindow(ws.file.c_str(), visible, 0, &project, nullptr);
    if (visible != 0) QApplication::processEvents();
    state.PauseTiming();
    if (pad == nullptr || GetCLNType(pad, kLegends - 1) < 0) {
      state.SkipWithError("the pad did not open the file");
      break;
    }
    CloseCLNPadWindow(pad);
    QApplication::processEvents();
    state.ResumeTiming();
  }
}

void printSummary(const RecordingReporter& results, const Workspace& ws) {
  const auto real = [&](const char* name) { return results.realSeconds(name); };
  const std::optional<double> read = real("RawRead");
  const std::optional<double> invisible = real("InvisiblePad");
  const std::optional<double> visible = real("VisiblePadFirstFrame");
  std::printf("\nSummary (%d legends, %zu bytes; real time per iteration, median of the repetitions):\n", kLegends,
              ws.bytes);
  std::printf("  raw read of the file                  %10s\n", formatTime(read).c_str());
  std::printf("  CreateCLNPadWindow, invisible         %10s   %s of raw read (target %.1fx)\n",
              formatTime(invisible).c_str(), formatRatio(ratioOf(invisible, read)).c_str(), kInvisibleFactor);
  std::printf("  CreateCLNPadWindow to first frame     %10s   %s of raw read (target %.1fx)\n",
              formatTime(visible).c_str(), formatRatio(ratioOf(visible, read)).c_str(), kVisibleFactor);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const Workspace ws;

  benchmark::RegisterBenchmark("RawRead", [&ws](benchmark::State& s) { rawRead(s, ws); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("InvisiblePad", [&ws](benchmark::State& s) { createPad(s, ws, 0); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("VisiblePadFirstFrame", [&ws](benchmark::State& s) { createPad(s, ws, 1); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();

  return benchreport::runRegistered(argc, argv, [&](const RecordingReporter& reporter) { printSummary(reporter, ws); });
}
