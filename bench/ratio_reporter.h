// A console reporter that keeps each run's real time and, after the runs, prints the ratio of
// named pairs: ours against a reference, with a mark where a limit is passed.
#pragma once
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tessivo::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  using Pairs = std::vector<std::pair<std::string, std::string>>;

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (!run.error_occurred) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }

  // The real time of the first run whose name starts with `prefix` (runs carry their
  // arguments and iteration counts after the name), or 0.
  double Find(const std::string& prefix) const {
    for (const auto& [name, time] : times_)
      if (name.rfind(prefix, 0) == 0) return time;
    return 0;
  }

  // Prints `title`, then "ours vs theirs ratio" per pair that ran; limit 0 marks nothing.
  void PrintRatios(const char* title, const Pairs& pairs, double limit) const {
    std::printf("\n%s\n", title);
    for (const auto& [ours, theirs] : pairs) {
      const double a = Find(ours), b = Find(theirs);
      if (a > 0 && b > 0)
        std::printf("  %-24s vs %-26s %6.2f %s\n", ours.c_str(), theirs.c_str(), a / b,
                    limit > 0 && a / b > limit ? "(over)" : "");
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace tessivo::bench
