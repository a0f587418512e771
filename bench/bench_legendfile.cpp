// Timings of the paths the pad takes through a legend file: loading, the
// attribute query and the two saves. Every figure is printed beside a
// baseline of plain file I/O measured in the same run; the targets in the
// summary are information, nothing here passes or fails on a time.
//
// The legend files are generated at start-up with the library's own writers
// (header, head records, composed blocks, attribute structures) from a fixed
// seed, so every run measures the same bytes.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "bench_report.h"
#include "components/attstru/att_stru.h"
#include "legendfile/byte_order.h"
#include "legendfile/data_block.h"
#include "legendfile/file_io.h"
#include "legendfile/head_record.h"
#include "legendfile/header.h"
#include "legendfile/layout.h"
#include "legendfile/legend_set.h"
#include "legendfile/packed_file.h"
#include "legendfile/pad_save.h"
#include "legendfile/status.h"

namespace {

using benchreport::fingerprint;
using benchreport::formatRatio;
using benchreport::formatTime;
using benchreport::ratioOf;
using benchreport::RecordingReporter;
using benchreport::withDefaults;

using Bytes = std::vector<std::uint8_t>;

/// Legend counts of the generated files; the last is the most a set holds.
constexpr std::array<std::int32_t, 4> kSizes{1024, 4096, 16384, legend::layout::kMaxLegends};
constexpr std::int32_t kSmallest = kSizes.front();
constexpr std::int32_t kLargest = kSizes.back();
/// Any fixed value: the files must be byte-identical from run to run. Every
/// size uses the same seed, so a smaller file holds the first legends of a
/// larger one and the per-legend figures compare like with like.
constexpr std::uint32_t kSeed = 0x5eed1e9d;
/// One legend in this many gets an attribute structure and record.
constexpr std::uint32_t kAttributeShare = 3;

// Iteration budgets, chosen so the whole run (five repetitions of each by
// default) stays near a minute on two cores. Saves end in fsync and take tens
// of milliseconds each, so they run a fixed count; the reads run for a
// minimum time.
constexpr double kReadMinSeconds = 0.3;
constexpr benchmark::IterationCount kQueryIterations = 3;
constexpr benchmark::IterationCount kSaveIterations = 8;

// Generated files

/// The engine's output sequence is fixed by the language; the standard
/// distributions are not, so values are drawn with a plain remainder.
std::uint32_t below(std::mt19937& random, std::uint32_t bound) { return static_cast<std::uint32_t>(random() % bound); }

/// A field the generated structures may hold; text fields get a length drawn
/// from [textMin, textMax] so records differ in size.
struct FieldTemplate {
  const char* name;
  AttFieldType type;
  std::int32_t textMin;
  std::int32_t textMax;
  std::uint8_t decimals;
};

constexpr std::array<FieldTemplate, 9> kFieldPool{{
    {"code", AttFieldType::Int32, 0, 0, 0},
    {"name", AttFieldType::Text, 8, 64, 0},
    {"note", AttFieldType::Text, 16, 240, 0},
    {"area", AttFieldType::Double, 0, 0, 3},
    {"height", AttFieldType::Float, 0, 0, 1},
    {"built", AttFieldType::Date, 0, 0, 0},
    {"opened", AttFieldType::Time, 0, 0, 0},
    {"rank", AttFieldType::Int16, 0, 0, 0},
    {"owner_id", AttFieldType::Int64, 0, 0, 0},
}};
constexpr std::uint32_t kMinFields = 2;
constexpr std::uint32_t kMaxFields = 6;

std::unique_ptr<CATT_STRU> makeStructure(std::mt19937& random) {
  std::array<std::size_t, kFieldPool.size()> order{};
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  for (std::size_t k = order.size() - 1; k > 0; --k)
    std::swap(order[k], order[below(random, static_cast<std::uint32_t>(k + 1))]);

  auto structure = std::make_unique<CATT_STRU>();
  const std::uint32_t fields = kMinFields + below(random, kMaxFields - kMinFields + 1);
  for (std::uint32_t k = 0; k < fields; ++k) {
    const FieldTemplate& pick = kFieldPool[order[k]];
    AttField field;
    field.name = pick.name;
    field.type = pick.type;
    field.decimals = pick.decimals;
    field.length = pick.type == AttFieldType::Text
                       ? pick.textMin + static_cast<std::int32_t>(
                                            below(random, static_cast<std::uint32_t>(pick.textMax - pick.textMin + 1)))
                       : AttFieldWidth(pick.type);
    if (structure->AddFld(field) != AttStatus::Ok) throw std::runtime_error("generator: a field was refused");
  }
  if (structure->CalSize() < 0) throw std::runtime_error("generator: a structure does not serialise");
  return structure;
}

AttValue makeValue(const AttField& field, std::mt19937& random) {
  switch (field.type) {
    case AttFieldType::Text: {
      std::string text(below(random, static_cast<std::uint32_t>(field.length) + 1), 'a');
      for (char& c : text) c = static_cast<char>('a' + below(random, 26));
      return text;
    }
    case AttFieldType::Int8: return std::int64_t{static_cast<std::int8_t>(random())};
    case AttFieldType::Int16: return std::int64_t{static_cast<std::int16_t>(random())};
    case AttFieldType::Int32: return std::int64_t{static_cast<std::int32_t>(random())};
    case AttFieldType::Int64: return static_cast<std::int64_t>((std::uint64_t{random()} << 32) | random()) / 2;
    case AttFieldType::Float:
    case AttFieldType::Double: return static_cast<double>(random()) / 1024.0;
    case AttFieldType::Date:
      return AttDate{1990 + static_cast<std::int32_t>(below(random, 35)),
                     1 + static_cast<std::int32_t>(below(random, 12)),
                     1 + static_cast<std::int32_t>(below(random, 28))};
    case AttFieldType::Time:
      return AttTime{static_cast<std::int32_t>(below(random, 24)), static_cast<std::int32_t>(below(random, 60)),
                     static_cast<std::int32_t>(below(random, 60)), static_cast<std::int32_t>(below(random, 1000))};
  }
  return std::monostate{};
}

/// A record laid out by @p structure, every field set.
Bytes makeRecord(const CATT_STRU& structure, std::mt19937& random) {
  Bytes record(static_cast<std::size_t>(structure.RecordLength()), 0);
  for (std::int16_t k = 0; k < structure.FieldCount(); ++k) {
    if (structure.SetValue(record, k, makeValue(*structure.Field(k), random)) != AttStatus::Ok)
      throw std::runtime_error("generator: a value was refused");
  }
  return record;
}

/// What a generated file holds.
struct FileStats {
  std::int32_t legends = 0;
  std::int32_t points = 0;
  std::int32_t lines = 0;
  std::int32_t regions = 0;
  std::int32_t withAttributes = 0;
  std::uint64_t bytes = 0;
  std::uint64_t fingerprint = 0;
};

/// A legend file of @p n legends of mixed types, blocks packed in legend order.
Bytes makeLegendFile(std::int32_t n, FileStats& stats) {
  std::mt19937 random(kSeed);
  const auto count = static_cast<std::size_t>(n);
  legend::PackedFileBuilder file;
  stats = {};
  stats.legends = n;
  for (std::size_t i = 0; i < count; ++i) {
    const auto type = static_cast<std::int8_t>(below(random, 3));
    switch (static_cast<legend::LegendType>(type)) {
      case legend::LegendType::Line: ++stats.lines; break;
      case legend::LegendType::Point: ++stats.points; break;
      case legend::LegendType::Region: ++stats.regions; break;
    }
    Bytes params(legend::layout::param_record_size(type));
    for (std::uint8_t& b : params) b = static_cast<std::uint8_t>(random());

    std::unique_ptr<CATT_STRU> structure;
    Bytes record;
    if (below(random, kAttributeShare) == 0) {
      structure = makeStructure(random);
      record = makeRecord(*structure, random);
      ++stats.withAttributes;
    }
    const auto block = legend::composeBlock(params, structure.get(), record);
    if (!block) throw std::runtime_error("generator: a block could not be composed");

    legend::HeadRecord headRecord;
    legend::HeadRef head = headRecord.ref();
    const std::string name = "legend " + std::to_string(i);
    const std::string description = "generated, type " + std::to_string(type) + ", " +
                                    (structure ? std::to_string(structure->FieldCount()) + " fields" : "no attributes");
    head.setName(name);
    head.setDescription(description);
    head.setType(type);
    head.setClassCode(static_cast<std::int32_t>(below(random, 100000)));
    if (!file.append(headRecord, *block)) throw std::runtime_error("generator: the file outgrows the format");
  }

  Bytes image = file.image();
  stats.bytes = image.size();
  stats.fingerprint = fingerprint(image);
  return image;
}

// The folder the files live in

/// Reads a whole file the way the library does: open, fstat, one pread loop
/// into a buffer of the file's length, close.
Bytes readWholeFile(const std::string& path) {
  Bytes bytes;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return bytes;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && status.st_size > 0) {
    bytes.resize(static_cast<std::size_t>(status.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t got = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
  }
  ::close(fd);
  return bytes;
}

/// A temporary folder holding the generated files and everything the saves
/// write; removed with everything in it when the run ends.
class Workspace {
 public:
  Workspace() {
    std::string pattern = (std::filesystem::temp_directory_path() / "legend-bench-XXXXXX").string();
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

  const std::filesystem::path& folder() const noexcept { return folder_; }
  std::string pathOf(const std::string& name) const { return (folder_ / name).string(); }

  /// Generates and writes the file of @p n legends.
  void generate(std::int32_t n) {
    FileStats stats;
    const Bytes image = makeLegendFile(n, stats);
    const std::string path = pathOf("legends-" + std::to_string(n) + ".CLN");
    write(path, image);
    files_[n] = path;
    stats_[n] = stats;
    if (n == kLargest) {
      inPlacePath_ = pathOf("in-place-" + std::to_string(n) + ".CLN");
      write(inPlacePath_, image);
    }
  }

  /// Saves the in-place copy once and a current-display copy once, and keeps
  /// the bytes they leave as the images the baselines write.
  void prepareSaveImages() {
    legend::LegendSet inPlace;
    if (!openSet(inPlace, inPlacePath_)) throw std::runtime_error("cannot load " + inPlacePath_);
    inPlace.setModified(true);
    if (legend::saveInPlace(inPlace) != legend::LegendStatus::Ok) throw std::runtime_error("saveInPlace failed");
    inPlaceImage_ = readWholeFile(inPlacePath_);

    legend::LegendSet display;
    if (!openDisplayCopySource(display)) throw std::runtime_error("cannot load " + file(kLargest));
    const std::string scratch = freshPath();
    if (legend::saveCopy(display, scratch, legend::CopyScope::CurrentDisplay) != legend::LegendStatus::Ok)
      throw std::runtime_error("saveCopy failed");
    copyImage_ = readWholeFile(scratch);
    ::unlink(scratch.c_str());
  }

  /// The largest file loaded with regions hidden and marked modified, as the
  /// pad holds it before "save current display as".
  bool openDisplayCopySource(legend::LegendSet& set) const {
    if (!openSet(set, file(kLargest))) return false;
    set.setShowRegions(false);
    set.rebuildDisplayList();
    set.setModified(true);
    return true;
  }

  /// Loads @p path into @p set and builds its display list.
  static bool openSet(legend::LegendSet& set, const std::string& path) {
    if (set.setPath(path) != legend::LegendStatus::Ok || set.load() != legend::LegendStatus::Ok) return false;
    set.rebuildDisplayList();
    return true;
  }

  const std::string& file(std::int32_t n) const { return files_.at(n); }
  const FileStats& stats(std::int32_t n) const { return stats_.at(n); }
  const std::string& inPlacePath() const noexcept { return inPlacePath_; }
  const Bytes& inPlaceImage() const noexcept { return inPlaceImage_; }
  const Bytes& copyImage() const noexcept { return copyImage_; }

  /// A path in the folder that no file has had yet.
  std::string freshPath() { return pathOf("fresh-" + std::to_string(nextFresh_++) + ".CLN"); }

 private:
  static void write(const std::string& path, const Bytes& image) {
    if (!legend::replaceFile(path, image)) throw std::runtime_error("cannot write " + path);
  }

  std::filesystem::path folder_;
  std::map<std::int32_t, std::string> files_;
  std::map<std::int32_t, FileStats> stats_;
  std::string inPlacePath_;
  Bytes inPlaceImage_;
  Bytes copyImage_;
  std::uint64_t nextFresh_ = 0;
};

// Benchmarks

/// Time per legend: iteration time divided by the legend count.
benchmark::Counter perLegend(std::int32_t n) {
  return benchmark::Counter(static_cast<double>(n),
                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void setFileCounters(benchmark::State& state, const Workspace& ws, std::int32_t n) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(ws.stats(n).bytes));
  state.counters["legends"] = static_cast<double>(n);
  state.counters["per_legend"] = perLegend(n);
}

/// Removes what an iteration wrote, outside the timed part.
void removeUntimed(benchmark::State& state, const std::string& path) {
  state.PauseTiming();
  ::unlink(path.c_str());
  state.ResumeTiming();
}

void rawRead(benchmark::State& state, const Workspace& ws) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  const std::string& path = ws.file(n);
  for (auto _ : state) {
    Bytes bytes = readWholeFile(path);
    if (bytes.size() != ws.stats(n).bytes) {
      state.SkipWithError("short read");
      break;
    }
    benchmark::DoNotOptimize(bytes.data());
    benchmark::ClobberMemory();
  }
  setFileCounters(state, ws, n);
}

void padLoad(benchmark::State& state, const Workspace& ws) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  const std::string& path = ws.file(n);
  for (auto _ : state) {
    legend::LegendSet set;
    const bool pathTaken = set.setPath(path) == legend::LegendStatus::Ok;
    const legend::LegendStatus status = set.load();
    set.rebuildDisplayList();
    if (!pathTaken || status != legend::LegendStatus::Ok || set.displayCount() != n) {
      state.SkipWithError("load failed");
      break;
    }
    benchmark::DoNotOptimize(set.displayList().data());
  }
  setFileCounters(state, ws, n);
}

void attributeQueryAll(benchmark::State& state, const Workspace& ws) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  legend::LegendSet set;
  if (!Workspace::openSet(set, ws.file(n))) {
    state.SkipWithError("load failed");
    return;
  }

  // Every query must succeed and about a third must find a structure; this
  // pass also brings the file into the page cache like the timed ones.
  std::int32_t withStructure = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    legend::AttributeInfo info;
    if (set.getAttributeInfo(i, info) != legend::LegendStatus::Ok) {
      state.SkipWithError("an attribute query failed");
      return;
    }
    if (info.structure->FieldCount() > 0) ++withStructure;
  }
  if (withStructure != ws.stats(n).withAttributes) {
    state.SkipWithError("attribute queries disagree with the generated file");
    return;
  }

  for (auto _ : state) {
    for (std::int32_t i = 0; i < n; ++i) {
      legend::AttributeInfo info;
      const legend::LegendStatus status = set.getAttributeInfo(i, info);
      benchmark::DoNotOptimize(status);
      benchmark::DoNotOptimize(info.record);
    }
  }
  state.counters["legends"] = static_cast<double>(n);
  state.counters["per_legend"] = perLegend(n);
}

void saveInPlace(benchmark::State& state, const Workspace& ws) {
  legend::LegendSet set;
  if (!Workspace::openSet(set, ws.inPlacePath())) {
    state.SkipWithError("load failed");
    return;
  }
  set.setModified(true);
  for (auto _ : state) {
    if (legend::saveInPlace(set) != legend::LegendStatus::Ok) {
      state.SkipWithError("saveInPlace failed");
      break;
    }
    // As the pad does: the file just written is the one the set now stands for.
    set.noteFileSaved();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(ws.inPlaceImage().size()));
}

/// Baseline of the saves: replaceFile of a finished image to a new path.
void writeImage(benchmark::State& state, Workspace& ws, const Bytes& image) {
  for (auto _ : state) {
    const std::string path = ws.freshPath();
    if (!legend::replaceFile(path, image)) {
      state.SkipWithError("replaceFile failed");
      break;
    }
    removeUntimed(state, path);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(image.size()));
}

void saveCopyDisplay(benchmark::State& state, Workspace& ws) {
  legend::LegendSet set;
  if (!ws.openDisplayCopySource(set)) {
    state.SkipWithError("load failed");
    return;
  }
  for (auto _ : state) {
    const std::string path = ws.freshPath();
    if (legend::saveCopy(set, path, legend::CopyScope::CurrentDisplay) != legend::LegendStatus::Ok) {
      state.SkipWithError("saveCopy failed");
      break;
    }
    removeUntimed(state, path);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(ws.copyImage().size()));
  state.counters["legends"] = static_cast<double>(set.displayCount());
}

void registerBenchmarks(Workspace& ws) {
  const auto eachSize = [](benchmark::internal::Benchmark* b) {
    for (const std::int32_t n : kSizes) b->Arg(n);
  };
  benchmark::RegisterBenchmark("RawRead", [&ws](benchmark::State& s) { rawRead(s, ws); })
      ->Apply(eachSize)
      ->MinTime(kReadMinSeconds)
      ->UseRealTime()
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("PadLoad", [&ws](benchmark::State& s) { padLoad(s, ws); })
      ->Apply(eachSize)
      ->MinTime(kReadMinSeconds)
      ->UseRealTime()
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("AttributeQueryAll", [&ws](benchmark::State& s) { attributeQueryAll(s, ws); })
      ->Arg(kLargest)
      ->Iterations(kQueryIterations)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("SaveInPlace", [&ws](benchmark::State& s) { saveInPlace(s, ws); })
      ->Arg(kLargest)
      ->Iterations(kSaveIterations)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("WriteSameBytes", [&ws](benchmark::State& s) { writeImage(s, ws, ws.inPlaceImage()); })
      ->Arg(kLargest)
      ->Iterations(kSaveIterations)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("SaveCopyDisplay", [&ws](benchmark::State& s) { saveCopyDisplay(s, ws); })
      ->Arg(kLargest)
      ->Iterations(kSaveIterations)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("WriteCopyBytes", [&ws](benchmark::State& s) { writeImage(s, ws, ws.copyImage()); })
      ->Arg(kLargest)
      ->Iterations(kSaveIterations)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
}

// Reporting

/// "target <= 1.5x (within)"; an absent target prints as a dash.
std::string formatTarget(std::optional<double> ratio, std::optional<double> target) {
  if (!target) return "-";
  char text[48];
  std::snprintf(text, sizeof text, "<= %.1fx%s", *target, !ratio ? "" : *ratio <= *target ? "  (within)" : "  (above)");
  return text;
}

std::optional<double> divided(std::optional<double> seconds, std::int32_t n) {
  if (!seconds) return std::nullopt;
  return *seconds / static_cast<double>(n);
}

void printRow(const char* figure, std::optional<double> time, const char* baseline, std::optional<double> baseTime,
              std::optional<double> target) {
  const std::optional<double> ratio = ratioOf(time, baseTime);
  std::printf("%-26s %11s   %-22s %11s %9s   %s\n", figure, formatTime(time).c_str(), baseline,
              formatTime(baseTime).c_str(), formatRatio(ratio).c_str(), formatTarget(ratio, target).c_str());
}

void printSummary(const RecordingReporter& results, const Workspace& ws) {
  const auto at = [&](const char* name, std::int32_t n = kLargest) {
    return results.realSeconds(std::string(name) + "/" + std::to_string(n));
  };
  const std::string largest = std::to_string(kLargest);
  const std::string padLoad = "PadLoad/" + largest;
  const std::string rawRead = "RawRead/" + largest;
  const std::string query = "AttributeQueryAll/" + largest;
  const std::string inPlace = "SaveInPlace/" + largest;
  const std::string same = "WriteSameBytes/" + largest;
  const std::string copy = "SaveCopyDisplay/" + largest;
  const std::string copyBytes = "WriteCopyBytes/" + largest;

  std::printf(
      "\nSummary: real time per iteration (median of the repetitions); ratio = figure / baseline;\n"
      "targets are information only\n\n");
  std::printf("%-26s %11s   %-22s %11s %9s   %s\n", "figure", "time", "baseline", "time", "ratio", "target");
  printRow(padLoad.c_str(), at("PadLoad"), rawRead.c_str(), at("RawRead"), 1.5);
  printRow(query.c_str(), at("AttributeQueryAll"), rawRead.c_str(), at("RawRead"), std::nullopt);
  printRow("  per legend", divided(at("AttributeQueryAll"), kLargest), "  per legend", divided(at("RawRead"), kLargest),
           std::nullopt);
  printRow(inPlace.c_str(), at("SaveInPlace"), same.c_str(), at("WriteSameBytes"), 2.0);
  printRow(copy.c_str(), at("SaveCopyDisplay"), copyBytes.c_str(), at("WriteCopyBytes"), 2.0);

  std::printf("\nLoad per legend (PadLoad / N; flat means every ratio to N=%d near 1)\n\n", kSmallest);
  std::printf("%7s %10s %11s %12s %14s   %11s %14s %12s\n", "N", "file", "PadLoad", "per legend", "ratio to 1024",
              "RawRead", "per legend", "load / raw");
  const std::optional<double> reference = divided(at("PadLoad", kSmallest), kSmallest);
  for (const std::int32_t n : kSizes) {
    const std::optional<double> load = at("PadLoad", n);
    const std::optional<double> raw = at("RawRead", n);
    char size[24];
    std::snprintf(size, sizeof size, "%.2f MB", static_cast<double>(ws.stats(n).bytes) / 1e6);
    std::printf("%7d %10s %11s %12s %14s   %11s %14s %12s\n", n, size, formatTime(load).c_str(),
                formatTime(divided(load, n)).c_str(), formatRatio(ratioOf(divided(load, n), reference)).c_str(),
                formatTime(raw).c_str(), formatTime(divided(raw, n)).c_str(), formatRatio(ratioOf(load, raw)).c_str());
  }
  std::printf("\n");
}

void printFiles(const Workspace& ws) {
  std::printf("Generated legend files in %s (seed %#x):\n", ws.folder().c_str(), kSeed);
  for (const std::int32_t n : kSizes) {
    const FileStats& s = ws.stats(n);
    std::printf("  %6d legends  %10llu bytes  points %d, lines %d, regions %d, with attributes %d  fnv1a %016llx\n",
                s.legends, static_cast<unsigned long long>(s.bytes), s.points, s.lines, s.regions, s.withAttributes,
                static_cast<unsigned long long>(s.fingerprint));
  }
  std::printf("  save-in-place image %zu bytes, current-display copy (regions hidden) %zu bytes\n\n",
              ws.inPlaceImage().size(), ws.copyImage().size());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> defaults;
  std::vector<char*> args = withDefaults(argc, argv, defaults);
  int count = static_cast<int>(args.size()) - 1;
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

  std::optional<Workspace> ws;
  try {
    ws.emplace();
    for (const std::int32_t n : kSizes) ws->generate(n);
    ws->prepareSaveImages();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_legendfile: %s\n", error.what());
    return 1;
  }
  printFiles(*ws);
  registerBenchmarks(*ws);

  RecordingReporter reporter(::isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                     : benchmark::ConsoleReporter::OO_Tabular);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printSummary(reporter, *ws);
  benchmark::Shutdown();
  return 0;
}
