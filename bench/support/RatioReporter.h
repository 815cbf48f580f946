// Console reporter that closes the run with each benchmark's time as a multiple of its peer's,
// and, when asked, writes those ratios as tab-separated lines (case, peer, subject seconds, peer
// seconds, ratio) for the report script.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  using Pair = std::pair<std::string, std::string>;  // subject, peer
  RatioReporter(std::vector<Pair> pairs, std::string ratiosFile)
      : pairs_(std::move(pairs)), ratiosFile_(std::move(ratiosFile)) {}

  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  std::vector<Pair> pairs_;
  std::string ratiosFile_;
  std::map<std::string, double> seconds_;
};

// Runs the registered benchmarks with a RatioReporter; `--ratios_out=FILE` (after the benchmark
// library's own flags) names the tab-separated file. Returns the process exit code.
int RunWithRatios(int argc, char** argv, std::vector<RatioReporter::Pair> pairs);
