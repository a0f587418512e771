#pragma once
// What every benchmark program of the project shares: a console reporter
// that keeps each figure for the closing summary, the number formats of the
// summary, the default flags of a run, and a fingerprint of generated files.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace benchreport {

/// Seconds per iteration: real (the figure) and CPU (how much of it the
/// process itself spent, which shows when a shared machine was busy).
struct Times {
  double real = 0;
  double cpu = 0;
};

/// The console report, plus the times and counters of every benchmark kept
/// for the summary under "name" or "name/args": the median aggregate when
/// repetitions ran, otherwise the last run.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  using benchmark::ConsoleReporter::ConsoleReporter;

  void ReportRuns(const std::vector<Run>& runs) override {
    benchmark::ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      std::string key = run.run_name.function_name;
      if (!run.run_name.args.empty()) key += "/" + run.run_name.args;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      if (!median && medians_.contains(key)) continue;
      if (median) medians_[key] = true;
      const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
      times_[key] = {run.GetAdjustedRealTime() / unit, run.GetAdjustedCPUTime() / unit};
      counters_[key] = run.counters;
    }
  }

  std::optional<Times> times(const std::string& key) const {
    const auto found = times_.find(key);
    if (found == times_.end()) return std::nullopt;
    return found->second;
  }
  std::optional<double> realSeconds(const std::string& key) const {
    const auto found = times(key);
    return found ? std::optional<double>(found->real) : std::nullopt;
  }
  std::optional<double> counter(const std::string& key, const std::string& name) const {
    const auto found = counters_.find(key);
    if (found == counters_.end()) return std::nullopt;
    const auto value = found->second.find(name);
    if (value == found->second.end()) return std::nullopt;
    return value->second.value;
  }

 private:
  std::map<std::string, bool> medians_;
  std::map<std::string, Times> times_;
  std::map<std::string, benchmark::UserCounters> counters_;
};

/// FNV-1a over @p bytes, printed so runs can be seen to use the same files.
template <typename Bytes>
std::uint64_t fingerprint(const Bytes& bytes) {
  constexpr std::uint64_t kOffsetBasis = 0xcbf29ce484222325;
  constexpr std::uint64_t kPrime = 0x100000001b3;
  std::uint64_t hash = kOffsetBasis;
  for (const std::uint8_t b : bytes) hash = (hash ^ b) * kPrime;
  return hash;
}

inline std::string formatTime(std::optional<double> seconds) {
  if (!seconds) return "n/a";
  struct Scale {
    double factor;
    const char* unit;
  };
  constexpr std::array<Scale, 4> kScales{{{1.0, "s"}, {1e3, "ms"}, {1e6, "us"}, {1e9, "ns"}}};
  for (const Scale& scale : kScales) {
    const double value = *seconds * scale.factor;
    if (value >= 1.0 || scale.factor == kScales.back().factor) {
      char text[32];
      std::snprintf(text, sizeof text, "%.3g %s", value, scale.unit);
      return text;
    }
  }
  return "n/a";
}

inline std::optional<double> ratioOf(std::optional<double> figure, std::optional<double> baseline) {
  if (!figure || !baseline || *baseline <= 0.0) return std::nullopt;
  return *figure / *baseline;
}

inline std::string formatRatio(std::optional<double> ratio) {
  if (!ratio) return "n/a";
  char text[32];
  std::snprintf(text, sizeof text, "%.2fx", *ratio);
  return text;
}

/// Peak memory is measured in a child: this same program run again with
/// kPeakMemoryFlag, which does one job and prints how far that job raised
/// the process's peak resident set above what it was before.
inline constexpr const char* kPeakMemoryFlag = "--peak-memory-of";

/// The process's peak resident set so far, in bytes.
inline double peakResidentBytes() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

/// What a child prints: the growth of the peak over @p before.
inline void printPeakGrowth(double before) { std::printf("%.0f\n", peakResidentBytes() - before); }

/// Runs @p self with kPeakMemoryFlag @p job @p argument and reads back the
/// growth it printed; nothing when the child failed.
inline std::optional<double> childPeakGrowth(const std::string& self, const std::string& job,
                                             const std::string& argument) {
  const std::string command = "'" + self + "' " + kPeakMemoryFlag + " " + job + " '" + argument + "'";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  double bytes = -1;
  const bool read = std::fscanf(pipe, "%lf", &bytes) == 1;
  const int status = ::pclose(pipe);
  if (!read || status != 0 || bytes < 0) return std::nullopt;
  return bytes;
}

inline std::string formatMegabytes(std::optional<double> bytes) {
  if (!bytes) return "n/a";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", *bytes / 1e6);
  return text;
}

/// The command line with the run's defaults in front of the caller's flags,
/// so any --benchmark_* flag given overrides them. Repetitions run in random
/// order keep a burst of load on a shared machine from landing on a figure
/// and not on its baseline; the console shows only their aggregates.
inline std::vector<char*> withDefaults(int argc, char** argv, std::vector<std::string>& storage) {
  storage = {"--benchmark_repetitions=5", "--benchmark_enable_random_interleaving=true",
             "--benchmark_display_aggregates_only=true"};
  std::vector<char*> args{argv[0]};
  for (std::string& flag : storage) args.push_back(flag.data());
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  args.push_back(nullptr);
  return args;
}

/// Runs every registered benchmark with the run's defaults in front of the
/// caller's flags, then hands the kept figures to @p summary.
template <typename Summary>
int runRegistered(int argc, char** argv, Summary&& summary) {
  std::vector<std::string> storage;
  std::vector<char*> args = withDefaults(argc, argv, storage);
  int count = static_cast<int>(args.size()) - 1;
  benchmark::Initialize(&count, args.data());
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  summary(static_cast<const RecordingReporter&>(reporter));
  benchmark::Shutdown();
  return 0;
}

}  // namespace benchreport
