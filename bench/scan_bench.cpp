// How long one complete catalogue scan takes over the standard roots, and the desktop entries'
// part of it alone. Point it at trees with JOLSTRAND_ROOT, HOME, XDG_DATA_HOME and XDG_DATA_DIRS
// (bench/compare_scan.sh does).

#include <benchmark/benchmark.h>

#include "jolstrand/app_scanner.hpp"

namespace {

void BM_Scan(benchmark::State& state) {
  const jolstrand::AppScanner scanner = jolstrand::AppScanner::standard();
  std::size_t found = 0;
  for (auto _ : state) found = scanner.scan().size();
  state.counters["apps"] = static_cast<double>(found);
}
BENCHMARK(BM_Scan)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ScanDesktopEntries(benchmark::State& state) {
  const jolstrand::AppScanner scanner({}, {},
                                      jolstrand::AppScanner::standard().desktopEntryFolders);
  std::size_t found = 0;
  for (auto _ : state) found = scanner.scan().size();
  state.counters["apps"] = static_cast<double>(found);
}
BENCHMARK(BM_ScanDesktopEntries)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
