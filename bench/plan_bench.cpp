// What "veskora-cli plan" costs on a desktop of 32,767 files, beside one scan
// cycle that moves nothing on the same desktop with the same rows. The plan
// judges every file as the cycle does and, for each file a row matches, asks
// the file system what the move would answer (Check) instead of moving.
//
// Cases, all with 100 rows of all six kinds that match nothing:
//  - nothing matches: the plan is the cycle;
//  - all protected: one more row protects every file;
//  - all taken: one more row sends every file to a folder that already has a
//    file of each name, so the cycle tries every move and moves nothing;
//  - all would move: the same row into an empty folder; the plan checks every
//    move in full (writer probe included). Its cycle would move, so it is set
//    against the "all taken" cycle, which tries as many moves.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "adapters/posix/posix_data_files.h"
#include "bench_desktop.h"
#include "bench_stats.h"
#include "mover/judge.h"
#include "mover/move_log.h"
#include "mover/scan_cycle.h"
#include "ports/clock.h"
#include "adapters/posix/posix_file_system.h"
#include "rules/move_rule.h"
#include "rules/rule_list_ops.h"
#include "adapters/posix/system_clock.h"

namespace veskora::bench {
namespace {

constexpr std::size_t kFiles = 32767;

struct Place {
  const char* label;
  const char* base;
};
constexpr Place kPlaces[] = {{"tmpfs", "/dev/shm"}, {"disk", "/tmp"}};

enum class Case { kNothingMatches, kAllProtected, kAllTaken, kAllWouldMove };
constexpr const char* kCaseNames[] = {"nothing matches", "all protected", "all taken", "all would move"};

struct Result {
  std::string place;
  Case which = Case::kNothingMatches;
  double planMs = 0;
  double cycleMs = 0;
  std::size_t planned = 0;
};

// One desktop per place, with a folder holding a file of every desktop name
// and an empty one.
struct World {
  explicit World(const Place& place)
      : desktop(place.base, kFiles, BenchDesktop::Naming::kDesktopMixture),
        taken(desktop.Root() + "/Taken"),
        empty(desktop.Root() + "/Empty") {
    if (mkdir(taken.c_str(), 0755) != 0 || mkdir(empty.c_str(), 0755) != 0) {
      throw std::runtime_error("cannot create the destination folders");
    }
    for (const std::string& name : desktop.Names()) {
      const int fd = open((taken + "/" + name).c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
      if (fd < 0) throw std::runtime_error("cannot create " + name);
      close(fd);
    }
  }
  BenchDesktop desktop;
  std::string taken;
  std::string empty;
};

RuleList RulesFor(Case which, const World& world) {
  RuleList rules = RulesMatchingNothing(100, RuleMix::kAllKinds);
  const std::string destination = which == Case::kAllProtected ? std::string(kProtectMarker)
                                  : which == Case::kAllTaken   ? world.taken
                                                               : world.empty;
  // Every bench file is far below 1G; the row stands last, below all others.
  if (which != Case::kNothingMatches) AddRuleItem(rules, true, kSizeSmaller, "1G", destination);
  return rules;
}

double CycleMs(const RuleList& rules, const ScanEnvironment& env) {
  const double start = WallSeconds();
  RunScanCycle(rules, RuleMatcher(rules), env);
  return (WallSeconds() - start) * 1e3;
}

void Measure(benchmark::State& state, World& world, Result& result) {
  const RuleList rules = RulesFor(result.which, world);
  // The cycle it is set against never moves: for "all would move" it is
  // the "all taken" cycle.
  const RuleList cycleRules = RulesFor(result.which == Case::kAllWouldMove ? Case::kAllTaken : result.which, world);
  const SystemClock clock;
  PosixDataFiles dataFiles;
  MoveLog log(dataFiles, world.desktop.Root() + "/veskora.log", clock, nullptr);
  PosixFileSystem files;
  const std::string& folder = world.desktop.Desktop();
  const ScanEnvironment env{[&folder] { return folder; }, &files, &log};
  std::vector<double> plans, cycles;
  bool planFirst = true;
  for (auto _ : state) {
    double planMs = 0;
    const auto plan = [&] {
      const double start = WallSeconds();
      const auto listing = ScanDesktop(env);
      const RuleMatcher matcher(rules);
      const std::size_t planned = listing ? JudgeListing(*listing, {rules, matcher, files}).size() : 0;
      planMs = (WallSeconds() - start) * 1e3;
      result.planned = planned;
    };
    if (planFirst) plan();
    const double cycleMs = CycleMs(cycleRules, env);
    if (!planFirst) plan();
    planFirst = !planFirst;
    state.SetIterationTime(planMs / 1e3);
    plans.push_back(planMs);
    cycles.push_back(cycleMs);
  }
  if (files.List(world.empty)->size() != 0 || files.List(folder)->size() != kFiles) {
    state.SkipWithError("a cycle moved a file");
    return;
  }
  result.planMs = Median(plans);
  result.cycleMs = Median(cycles);
  state.counters["plan_ms"] = result.planMs;
  state.counters["cycle_ms"] = result.cycleMs;
  state.counters["ratio"] = result.planMs / result.cycleMs;
}

void PrintSummary(const std::vector<std::unique_ptr<Result>>& results) {
  std::printf("\nMachine: %s\n", MachineLine().c_str());
  std::printf("%zu files, medians in ms (wall):\n\n%-6s %-10s %-16s %8s %10s %10s %7s\n", kFiles, "place", "fs", "case",
              "matched", "plan", "cycle", "ratio");
  double worst = 0;
  for (const auto& r : results) {
    if (r->planMs <= 0) continue;
    const double ratio = r->planMs / r->cycleMs;
    worst = std::max(worst, ratio);
    const char* base = r->place == kPlaces[0].label ? kPlaces[0].base : kPlaces[1].base;
    std::printf("%-6s %-10s %-16s %8zu %10.2f %10.2f %7.3f\n", r->place.c_str(), FileSystemName(base).c_str(),
                kCaseNames[static_cast<int>(r->which)], r->planned, r->planMs, r->cycleMs, ratio);
  }
  std::printf("\nGoal: plan <= 1.5 x a cycle that moves nothing: worst ratio %.3f -> %s\n", worst,
              worst <= 1.5 ? "met" : "MISSED");
}

}  // namespace
}  // namespace veskora::bench

int main(int argc, char** argv) {
  using namespace veskora::bench;
  // Made on first use, so a filter that skips a place costs nothing.
  std::vector<std::unique_ptr<World>> worlds(std::size(kPlaces));
  std::vector<std::unique_ptr<Result>> results;
  for (std::size_t p = 0; p < std::size(kPlaces); ++p) {
    for (const Case which : {Case::kNothingMatches, Case::kAllProtected, Case::kAllTaken, Case::kAllWouldMove}) {
      results.push_back(std::make_unique<Result>(Result{kPlaces[p].label, which}));
      Result& slot = *results.back();
      const std::string name = std::string("Plan/") + kPlaces[p].label + "/" + kCaseNames[static_cast<int>(which)];
      benchmark::RegisterBenchmark(name.c_str(),
                                   [&worlds, p, &slot](benchmark::State& state) {
                                     if (!worlds[p]) worlds[p] = std::make_unique<World>(kPlaces[p]);
                                     Measure(state, *worlds[p], slot);
                                   })
          ->UseManualTime()
          ->Unit(benchmark::kMillisecond)
          ->Iterations(15);
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintSummary(results);
  return 0;
}
