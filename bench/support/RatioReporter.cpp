#include "RatioReporter.h"

#include <cstdio>
#include <cstring>
#include <fstream>

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs)
    if (!run.error_occurred && run.run_type == Run::RT_Iteration && run.iterations > 0)
      seconds_[run.run_name.function_name] = run.real_accumulated_time / double(run.iterations);
}

void RatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::ofstream out;
  if (!ratiosFile_.empty()) out.open(ratiosFile_, std::ios::app);
  std::printf("\n%-40s %-40s %s\n", "case", "peer", "time / peer time");
  for (const auto& [subject, peer] : pairs_) {
    auto s = seconds_.find(subject);
    auto p = seconds_.find(peer);
    if (s == seconds_.end() || p == seconds_.end() || p->second <= 0) continue;
    double ratio = s->second / p->second;
    std::printf("%-40s %-40s %.2f\n", subject.c_str(), peer.c_str(), ratio);
    if (out) out << subject << '\t' << peer << '\t' << s->second << '\t' << p->second << '\t' << ratio << '\n';
  }
}

int RunWithRatios(int argc, char** argv, std::vector<RatioReporter::Pair> pairs) {
  benchmark::Initialize(&argc, argv);
  std::string ratiosFile;
  const char* flag = "--ratios_out=";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0) {
      ratiosFile = argv[i] + std::strlen(flag);
    } else {
      std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
      return 2;
    }
  }
  RatioReporter reporter(std::move(pairs), ratiosFile);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
