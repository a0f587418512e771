// Timings of finding legends in the largest legend file: the pad's search
// for the next legend answering a text and the editor's filter over every
// row, each beside a plain pass over the same names taken in the same run.
// The texts searched for are in no legend, so every search visits them all.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_report.h"
#include "editor/model/editor_store.h"
#include "editor/model/legend_list_order.h"
#include "legendfile/data_block.h"
#include "legendfile/gbk_codec.h"
#include "legendfile/head_record.h"
#include "legendfile/legend_query.h"
#include "legendfile/legend_set.h"
#include "legendfile/packed_file.h"
#include "legendfile/prompter.h"
#include "pad/model/legend_finder.h"

namespace {

using benchreport::formatRatio;
using benchreport::formatTime;
using benchreport::ratioOf;
using benchreport::RecordingReporter;

constexpr std::int32_t kLegends = 32767;
constexpr double kTargetSeconds = 10e-3;
// Chinese text the names do not hold, and Latin text (case folded) they do not.
constexpr const char* kChineseMiss = "高速公路";
constexpr const char* kLatinMiss = "MOTORWAY";

/// Names and descriptions as map makers write them: Chinese words with a
/// number, the way a large symbol library is named.
std::vector<std::uint8_t> makeFile() {
  const std::vector<std::string> words = {"铁路", "河流", "居民地", "水库", "等高线", "植被", "道路", "桥梁"};
  legend::PackedFileBuilder file;
  for (std::int32_t i = 0; i < kLegends; ++i) {
    const auto type = static_cast<std::int8_t>(i % 3);
    const std::vector<std::uint8_t> params(legend::layout::param_record_size(type), 0);
    const auto block = legend::composeBlock(params, nullptr, {});
    if (!block) throw std::runtime_error("generator: a block could not be composed");
    const std::string& word = words[static_cast<std::size_t>(i) % words.size()];
    legend::HeadRecord head;
    head.ref().setName(*legend::gbk::fromUtf8(word + " line " + std::to_string(i)));
    head.ref().setDescription(*legend::gbk::fromUtf8("图式 " + word + std::to_string(i % 97)));
    head.ref().setType(type);
    head.ref().setClassCode(100000 + i);
    if (!file.append(head, *block)) throw std::runtime_error("generator: the file outgrows the format");
  }
  return file.image();
}

class QuietPrompter final : public legend::Prompter {
 public:
  void inform(std::string_view) override {}
  bool askYesNo(std::string_view, bool defaultYes) override { return defaultYes; }
  void beep() override {}
};

struct Workspace {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "legend-bench-find";
  std::filesystem::path file = folder / "largest.CLN";
  legend::LegendSet set;
  QuietPrompter prompter;
  legend::editor::EditorStore store{prompter};

  Workspace() {
    std::filesystem::create_directories(folder);
    const std::vector<std::uint8_t> bytes = makeFile();
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (set.setPath(file.string()) != legend::LegendStatus::Ok || set.load() != legend::LegendStatus::Ok)
      throw std::runtime_error("the generated file does not load");
    set.rebuildDisplayList();
    store.load(file.string());
    store.open();
    if (set.displayCount() != kLegends || static_cast<std::int32_t>(store.rows().size()) != kLegends)
      throw std::runtime_error("the generated file does not list every legend");
  }
  ~Workspace() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

/// The baseline: one byte-wise search of each shown legend's name, as the
/// least a search by name can do.
void namePass(benchmark::State& state, const Workspace& ws) {
  const std::string needle = *legend::gbk::fromUtf8(kChineseMiss);
  for (auto _ : state) {
    std::int32_t found = 0;
    for (std::int32_t position = 0; position < ws.set.displayCount(); ++position)
      if (ws.set.head(ws.set.legendAt(position)).name().find(needle) != std::string_view::npos) ++found;
    benchmark::DoNotOptimize(found);
  }
}

void padFind(benchmark::State& state, const Workspace& ws, const char* typed) {
  for (auto _ : state) {
    const legend::LegendQuery query(typed);
    benchmark::DoNotOptimize(legend::pad::findAfter(ws.set, query, -1));
  }
}

void editorFilter(benchmark::State& state, const Workspace& ws, const char* typed) {
  for (auto _ : state) {
    const legend::LegendQuery query(typed);
    std::int32_t kept = 0;
    for (const legend::editor::LegendRow& row : ws.store.rows())
      if (legend::editor::rowAnswers(row, query)) ++kept;
    benchmark::DoNotOptimize(kept);
  }
}

void printSummary(const RecordingReporter& results) {
  const auto real = [&](const char* name) { return results.realSeconds(name); };
  const std::optional<double> pass = real("NamePass");
  std::printf("\nSummary (%d legends, a text no legend holds, real time per search, median of the repetitions):\n",
              kLegends);
  std::printf("  plain pass over the names     %10s\n", formatTime(pass).c_str());
  for (const char* name : {"PadFindChinese", "PadFindLatin", "PadFindNumber", "EditorFilterChinese",
                           "EditorFilterLatin", "EditorFilterNumber"}) {
    const std::optional<double> time = real(name);
    std::printf("  %-28s  %10s   %s of the plain pass (target < %s)\n", name, formatTime(time).c_str(),
                formatRatio(ratioOf(time, pass)).c_str(), formatTime(kTargetSeconds).c_str());
  }
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  const Workspace ws;
  const auto add = [](const char* name, auto run) {
    benchmark::RegisterBenchmark(name, run)->Unit(benchmark::kMicrosecond)->UseRealTime();
  };
  add("NamePass", [&ws](benchmark::State& s) { namePass(s, ws); });
  add("PadFindChinese", [&ws](benchmark::State& s) { padFind(s, ws, kChineseMiss); });
  add("PadFindLatin", [&ws](benchmark::State& s) { padFind(s, ws, kLatinMiss); });
  add("PadFindNumber", [&ws](benchmark::State& s) { padFind(s, ws, "99999"); });
  add("EditorFilterChinese", [&ws](benchmark::State& s) { editorFilter(s, ws, kChineseMiss); });
  add("EditorFilterLatin", [&ws](benchmark::State& s) { editorFilter(s, ws, kLatinMiss); });
  add("EditorFilterNumber", [&ws](benchmark::State& s) { editorFilter(s, ws, "99999"); });
  return benchreport::runRegistered(argc, argv, [&](const RecordingReporter& reporter) { printSummary(reporter); });
}
