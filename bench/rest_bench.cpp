// The real program at rest, seen from outside: a desktop of 32,767 files and
// 1,000 rules of the six kinds, nothing changing. Each round starts the
// program afresh and measures, over the same span of ticks (60 s by default):
// - at rest: the CPU time of its main thread per tick, against a full
//   cycle's, and how often the main thread woke;
// - a file that lands on the desktop at rest: how long until it has moved
//   (a tick is 2 s apart, so at most 2 s and one cycle);
// - one file that waits for ever (its rule's folder is missing): retried
//   after 2, 4 … 128 ticks, so most ticks rest;
// - a download still arriving (a ".crdownload" its rule wants): every tick
//   runs its cycle, the full cost per tick.
// The least of the rounds is reported, the machine being shared.
//
//   bench_rest [--place tmpfs|disk] [--seconds N] [--rounds N] [--program PATH]
//
// --program measures another build (an older one, which runs every tick).

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "adapters/posix/posix_data_files.h"
#include "bench_desktop.h"
#include "bench_stats.h"
#include "resident_process.h"
#include "rules/rule_file.h"
#include "rules/rule_list_ops.h"

namespace veskora::bench {
namespace {

constexpr std::size_t kFiles = 32767;
constexpr double kTickSeconds = 2.0;
// Start-up, the first cycle and the one after it (its own moves' events).
constexpr unsigned kSettleSeconds = 8;
constexpr int kLandings = 5;
// The longest rest between two cycles at rest, from the program's own figure.
constexpr double kSafetyNetSeconds = 300;

struct Results {
  std::vector<double> restMsPerTick, restWakeupsPerMinute, landingSeconds, waitingMsPerTick, waitingWakeupsPerMinute,
      fullMsPerTick;
};

struct Span {
  double msPerTick;
  double wakeupsPerMinute;
};

Span Measure(ResidentProcess& program, unsigned seconds) {
  const std::uint64_t cpu = program.MainThreadCpuNs(), woke = program.MainThreadWakeups();
  const double started = WallSeconds();
  for (unsigned s = 0; s < seconds; ++s) {
    sleep(1);
    if (!program.Running()) throw std::runtime_error("the program ended");
  }
  const double span = WallSeconds() - started;
  return {static_cast<double>(program.MainThreadCpuNs() - cpu) * 1e-6 / (span / kTickSeconds),
          static_cast<double>(program.MainThreadWakeups() - woke) * 60 / span};
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

void Touch(const std::string& path) {
  if (FILE* file = std::fopen(path.c_str(), "w")) std::fclose(file);
}

void RunRound(const BenchDesktop& desktop, const std::string& binary, unsigned seconds, Results& results) {
  const std::string root = desktop.Root(), program = root + "/program", landed = root + "/landed";
  for (const std::string& folder : {program, landed, root + "/run"}) std::filesystem::create_directories(folder);
  chmod((root + "/run").c_str(), 0700);
  std::filesystem::copy_file(binary, program + "/veskora", std::filesystem::copy_options::overwrite_existing);
  const RuleList mixed = RulesMatchingNothing(1000, RuleMix::kAllKinds);
  if (!NothingMatches(desktop, mixed)) throw std::runtime_error("a rule matches the desktop");
  // First, as the mixed rows' time rules take any file made today.
  RuleList rules;
  AddRuleItem(rules, true, 1, "veskora-bench-lands", landed);
  AddRuleItem(rules, true, 1, "veskora-bench-waits", root + "/missing");
  for (const RuleRow& row : mixed.Rows()) rules.Append(row);
  PosixDataFiles dataFiles;
  if (RuleFile(dataFiles, program + "/ZUL.dat").SaveRules(rules) == SaveOutcome::kFailed) throw std::runtime_error("rules");

  ResidentProcess veskora(
      {program + "/veskora"},
      {"HOME=" + root, "XDG_CONFIG_HOME=" + root + "/config", "XDG_DATA_HOME=" + root + "/data",
       "XDG_STATE_HOME=" + root + "/state", "XDG_RUNTIME_DIR=" + root + "/run", "QT_QPA_PLATFORM=offscreen"});
  sleep(kSettleSeconds);
  const Span rest = Measure(veskora, seconds);
  results.restMsPerTick.push_back(rest.msPerTick);
  results.restWakeupsPerMinute.push_back(rest.wakeupsPerMinute);

  for (int i = 0; i < kLandings; ++i) {
    const std::string name = "/veskora-bench-lands-" + std::to_string(i) + ".dat";
    sleep(1);  // somewhere between two ticks
    const double dropped = WallSeconds();
    Touch(desktop.Desktop() + name);
    while (Exists(desktop.Desktop() + name) && WallSeconds() - dropped < 30) usleep(2000);
    if (!Exists(landed + name)) throw std::runtime_error("a file that landed was not moved");
    results.landingSeconds.push_back(WallSeconds() - dropped);
  }

  const std::string waits = desktop.Desktop() + "/veskora-bench-waits.dat";
  Touch(waits);
  sleep(3);
  const Span waiting = Measure(veskora, seconds);
  results.waitingMsPerTick.push_back(waiting.msPerTick);
  results.waitingWakeupsPerMinute.push_back(waiting.wakeupsPerMinute);
  std::remove(waits.c_str());

  const std::string arrives = desktop.Desktop() + "/veskora-bench-waits.pdf.crdownload";
  Touch(arrives);
  sleep(3);
  results.fullMsPerTick.push_back(Measure(veskora, seconds).msPerTick);
  std::remove(arrives.c_str());
  for (const char* folder : {"/config", "/data", "/state", "/landed"}) std::filesystem::remove_all(root + folder);
}

void Run(const std::string& base, const std::string& binary, unsigned seconds, int rounds) {
  const BenchDesktop desktop(base, kFiles, BenchDesktop::Naming::kDesktopMixture);
  Results r;
  for (int round = 0; round < rounds; ++round) RunRound(desktop, binary, seconds, r);

  const double rest = Least(r.restMsPerTick), full = Least(r.fullMsPerTick);
  // A cycle every five minutes whatever happens, spread over its ticks.
  const double net = full * kTickSeconds / kSafetyNetSeconds;
  std::printf("Machine: %s\n", MachineLine().c_str());
  std::printf("Program: %s\n", binary.c_str());
  std::printf("Desktop: %zu files on %s (%s), 1,002 rules of the six kinds; %u s per span, %d rounds\n\n", kFiles,
              base.c_str(), FileSystemName(base).c_str(), seconds, rounds);
  std::printf("main thread, per tick of 2 s        least      median\n");
  std::printf("  at rest (CPU ms)               %9.4f  %9.4f\n", rest, Median(r.restMsPerTick));
  std::printf("  one file waiting (CPU ms)      %9.4f  %9.4f\n", Least(r.waitingMsPerTick), Median(r.waitingMsPerTick));
  std::printf("  a download arriving (CPU ms)   %9.4f  %9.4f   (a cycle every tick)\n", full,
              Median(r.fullMsPerTick));
  std::printf("wake-ups per minute, at rest     %9.1f  %9.1f\n", Least(r.restWakeupsPerMinute),
              Median(r.restWakeupsPerMinute));
  std::printf("wake-ups per minute, waiting     %9.1f  %9.1f\n", Least(r.waitingWakeupsPerMinute),
              Median(r.waitingWakeupsPerMinute));
  std::printf("a file landed at rest, moved after (s): least %.3f, median %.3f, most %.3f\n", Least(r.landingSeconds),
              Median(r.landingSeconds), *std::max_element(r.landingSeconds.begin(), r.landingSeconds.end()));
  std::printf("\nat rest / full cycle per tick: %.3f %% (%s: at most 1 %%); with the cycle every %.0f s: %.3f %%\n",
              100 * rest / full, rest <= full / 100 ? "met" : "MISSED", kSafetyNetSeconds, 100 * (rest + net) / full);
}

}  // namespace
}  // namespace veskora::bench

int main(int argc, char** argv) {
  using namespace veskora::bench;
  std::string base = "/dev/shm";
  unsigned seconds = 60;
  int rounds = 3;
  std::string binary = VESKORA_PROGRAM;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--place") {
      base = std::string(argv[i + 1]) == "disk" ? "/tmp" : "/dev/shm";
    } else if (option == "--seconds") {
      seconds = static_cast<unsigned>(std::atoi(argv[i + 1]));
    } else if (option == "--rounds") {
      rounds = std::atoi(argv[i + 1]);
    } else if (option == "--program") {
      binary = argv[i + 1];
    } else {
      std::fprintf(stderr, "usage: %s [--place tmpfs|disk] [--seconds N] [--rounds N] [--program PATH]\n", argv[0]);
      return 2;
    }
  }
  try {
    Run(base, binary, seconds, rounds);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
    return 1;
  }
  return 0;
}
