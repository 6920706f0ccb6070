// How long one complete catalogue scan takes over the standard roots, and the desktop entries'
// part of it alone. Point it at trees with JOLSTRAND_ROOT, HOME, XDG_DATA_HOME and XDG_DATA_DIRS
// (bench/compare_scan.sh does).

#include <benchmark/benchmark.h>

#include "environment.hpp"
#include "jolstrand/app_scanner.hpp"

namespace {

// The standard scanner for this process's environment.
jolstrand::AppScanner standardScanner() {
  const auto environment = jolstrand::Environment::fromProcess();
  return jolstrand::AppScanner::standard(environment.home, environment.root,
                                         environment.desktopSettings());
}

void BM_Scan(benchmark::State& state) {
  const auto scanner = standardScanner();
  std::size_t found = 0;
  for (auto _ : state) found = scanner.scan().size();
  state.counters["apps"] = static_cast<double>(found);
}
BENCHMARK(BM_Scan)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ScanDesktopEntries(benchmark::State& state) {
  jolstrand::AppScanner scanner = standardScanner();
  scanner.roots.clear();
  scanner.extraApps.clear();
  std::size_t found = 0;
  for (auto _ : state) found = scanner.scan().size();
  state.counters["apps"] = static_cast<double>(found);
}
BENCHMARK(BM_ScanDesktopEntries)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
