// How long one complete catalogue scan takes over the standard roots. Point it at a tree with
// JOLSTRAND_ROOT and HOME (bench/compare_scan.sh does).

#include <benchmark/benchmark.h>

#include "environment.hpp"
#include "jolstrand/app_scanner.hpp"

namespace {

void BM_Scan(benchmark::State& state) {
  const auto environment = jolstrand::Environment::fromProcess();
  const auto scanner = jolstrand::AppScanner::standard(environment.home, environment.root);
  std::size_t found = 0;
  for (auto _ : state) found = scanner.scan().size();
  state.counters["apps"] = static_cast<double>(found);
}
BENCHMARK(BM_Scan)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
