// How long one search takes over catalogues of 1,000 to 100,000 entries, for each shape of
// query, and how fast entries are prepared.

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "jolstrand/matcher.hpp"
#include "synthetic_catalogue.hpp"

namespace jolstrand::bench {
namespace {

struct Fixture {
  Matcher matcher;
  UsageScores usage;
};

const Fixture& fixture(std::size_t count) {
  static std::map<std::size_t, std::unique_ptr<Fixture>> fixtures;
  auto& slot = fixtures[count];
  if (!slot) {
    std::vector<AppEntry> entries = syntheticCatalogue(count);
    UsageScores usage = syntheticUsage(entries);
    slot = std::make_unique<Fixture>(Fixture{Matcher(std::move(entries)), std::move(usage)});
  }
  return *slot;
}

void searchFor(benchmark::State& state, const char* query) {
  const Fixture& f = fixture(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(f.matcher.search(query, f.usage, 9));
}

void BM_OneCharacter(benchmark::State& state) {
  searchFor(state, "s");
}
void BM_TwoLetterInitials(benchmark::State& state) {
  searchFor(state, "pe");
}
void BM_FourLetterPrefix(benchmark::State& state) {
  searchFor(state, "phot");
}
void BM_TwoWords(benchmark::State& state) {
  searchFor(state, "sound ed");
}
void BM_ScatteredLetters(benchmark::State& state) {
  searchFor(state, "swdr");
}
void BM_NoMatch(benchmark::State& state) {
  searchFor(state, "qqxj");
}
void BM_WhitespaceOnly(benchmark::State& state) {
  searchFor(state, "   ");
}

#define SIZES Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_OneCharacter)->SIZES;
BENCHMARK(BM_TwoLetterInitials)->SIZES;
BENCHMARK(BM_FourLetterPrefix)->SIZES;
BENCHMARK(BM_TwoWords)->SIZES;
BENCHMARK(BM_ScatteredLetters)->SIZES;
BENCHMARK(BM_NoMatch)->SIZES;
BENCHMARK(BM_WhitespaceOnly)->SIZES;

// Names prepared per second: every name of every entry, display and other names together.
void BM_PrepareEntries(benchmark::State& state) {
  const auto names = syntheticNames(10000);
  std::size_t prepared = 0;
  for (auto _ : state) {
    std::size_t i = 0;
    for (const SyntheticName& name : names) {
      AppEntry entry("id" + std::to_string(i++), "/Applications/x.app", name.displayName,
                     name.otherNames);
      benchmark::DoNotOptimize(entry);
      prepared += 1 + name.otherNames.size();
    }
  }
  state.counters["names"] =
      benchmark::Counter(static_cast<double>(prepared), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrepareEntries)->Unit(benchmark::kMillisecond);

void BM_BuildMatcher(benchmark::State& state) {
  const auto entries = syntheticCatalogue(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(Matcher(entries));
}
BENCHMARK(BM_BuildMatcher)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace jolstrand::bench

BENCHMARK_MAIN();
