// The real program's scan cycle seen from outside, as on a user's machine:
// the CPU time of its main thread per cycle (its cycles come 2000 ms apart),
// on a desktop of 32,767 files where no rule matches, beside the listing
// floor run by a resident process of its own in the gaps between cycles, so
// both sides idle alike between runs. Single cycles swing by a fifth on a
// shared machine, so both sides run many times, interleaved, and the least of
// each is compared. A program at rest skips the cycle of a tick when nothing
// on the desktop changed, so after each measured cycle one file's mode is set
// again as it was: the next tick then runs a whole cycle.
//
//   bench_program_cycle [--place tmpfs|disk] [--cycles N] [--rounds N] [--program PATH]
//
// --program measures another build of the program (an older one, say).

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

namespace veskora::bench {
namespace {

constexpr std::size_t kFiles = 32767;

struct Case {
  const char* label;
  std::size_t rules;
  RuleMix mix;
  bool statEach;  // the floor asks every file's size and time too
  double goal;    // the most the cycle may cost, times the floor
  std::vector<double> cycleMs;
  std::vector<double> floorMs;
};

// Bursts of CPU time of the program's main thread; a burst ends after this
// long without any.
constexpr double kQuietSeconds = 0.1;
// What the program does at start-up is no cycle.
constexpr double kStartupSeconds = 1.5;

std::vector<std::string> ProgramEnvironment(const std::string& root) {
  return {"HOME=" + root, "XDG_CONFIG_HOME=" + root + "/config", "XDG_DATA_HOME=" + root + "/data",
          "XDG_RUNTIME_DIR=" + root + "/run", "QT_QPA_PLATFORM=offscreen"};
}

// One run of the program with the case's rules: `cycles` cycles, each
// followed, one second later, by one run of the floor.
void RunCase(const BenchDesktop& desktop, const std::string& binary, Case& c, int cycles) {
  const std::string root = desktop.Root();
  const std::string program = root + "/program";
  std::filesystem::create_directories(program);
  std::filesystem::create_directories(root + "/run");
  chmod((root + "/run").c_str(), 0700);
  std::filesystem::copy_file(binary, program + "/veskora", std::filesystem::copy_options::overwrite_existing);
  const RuleList rules = RulesMatchingNothing(c.rules, c.mix);
  PosixDataFiles dataFiles;
  if (!NothingMatches(desktop, rules) || RuleFile(dataFiles, program + "/ZUL.dat").SaveRules(rules) == SaveOutcome::kFailed) {
    throw std::runtime_error(std::string("cannot set up ") + c.label);
  }

  const std::string touched = desktop.Desktop() + "/" + desktop.Names().front();
  const ResidentProcess floor({VESKORA_FLOOR_LOOP, desktop.Desktop(), c.statEach ? "stat" : "list"}, {});
  ResidentProcess veskora({program + "/veskora"}, ProgramEnvironment(root));
  const double started = WallSeconds();
  std::uint64_t previous = veskora.MainThreadCpuNs();
  std::uint64_t burst = 0;
  double burstStart = 0;
  double lastActive = 0;
  int seen = 0;
  while (seen < cycles) {
    usleep(2000);
    // Thrown, so that the floor process is ended and the desktop removed.
    if (!veskora.Running()) throw std::runtime_error(std::string("the program ended during ") + c.label);
    const std::uint64_t now = veskora.MainThreadCpuNs();
    const double t = WallSeconds();
    if (now == 0) continue;
    if (now > previous) {
      if (burst == 0) burstStart = t;
      burst += now - previous;
      lastActive = t;
    } else if (burst > 0 && t - lastActive > kQuietSeconds) {
      if (burstStart - started > kStartupSeconds) {
        c.cycleMs.push_back(static_cast<double>(burst) * 1e-6);
        ++seen;
        usleep(1000000);
        floor.SendLine("run");
        c.floorMs.push_back(std::atof(floor.ReadLine().c_str()) * 1e-6);
        // An event the desktop watch reports (an attribute changed) that
        // changes nothing a rule tests. An access time alone would not do: it
        // is reported as a read.
        struct stat st {};
        if (stat(touched.c_str(), &st) != 0 || chmod(touched.c_str(), st.st_mode & 07777) != 0) {
          throw std::runtime_error("cannot touch " + touched);
        }
      }
      burst = 0;
    }
    previous = now;
  }
  std::filesystem::remove_all(root + "/config");
  std::filesystem::remove_all(root + "/data");
}

void Run(const std::string& base, const std::string& binary, int cycles, int rounds) {
  const BenchDesktop desktop(base, kFiles, BenchDesktop::Naming::kDesktopMixture);
  std::vector<Case> cases = {{"no rules", 0, RuleMix::kNamesOnly, false, 1.10, {}, {}},
                             {"realistic mix", 100, RuleMix::kRealistic, true, 1.10, {}, {}},
                             {"keywords+extensions", 1000, RuleMix::kNamesOnly, false, 1.25, {}, {}},
                             {"all-six-kinds", 1000, RuleMix::kAllKinds, true, 1.25, {}, {}}};
  // Round by round, so that a busy spell of the machine does not fall on one
  // case alone.
  for (int round = 0; round < rounds; ++round) {
    for (Case& c : cases) RunCase(desktop, binary, c, cycles);
  }

  std::printf("Machine: %s\n", MachineLine().c_str());
  std::printf("Program: %s\n", binary.c_str());
  std::printf("Desktop: %zu files on %s (%s); %d cycles of the real program per case, %d rounds\n", kFiles,
              base.c_str(), FileSystemName(base).c_str(), cycles, rounds);
  std::printf("CPU time of one cycle (program's main thread) and of one floor run, in ms\n\n");
  std::printf("%-20s %6s %9s %9s %9s %9s %7s %7s\n", "mix", "rules", "cyc min", "cyc med", "floor min", "floor med",
              "ratio", "goal");
  for (const Case& c : cases) {
    const double ratio = Least(c.cycleMs) / Least(c.floorMs);
    std::printf("%-20s %6zu %9.3f %9.3f %9.3f %9.3f %7.3f %7s\n", c.label, c.rules, Least(c.cycleMs), Median(c.cycleMs),
                Least(c.floorMs), Median(c.floorMs), ratio, ratio <= c.goal ? "met" : "MISSED");
  }
}

}  // namespace
}  // namespace veskora::bench

int main(int argc, char** argv) {
  using namespace veskora::bench;
  std::string base = "/dev/shm";
  int cycles = 6;
  int rounds = 2;
  std::string binary = VESKORA_PROGRAM;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--place") {
      base = std::string(argv[i + 1]) == "disk" ? "/tmp" : "/dev/shm";
    } else if (option == "--cycles") {
      cycles = std::atoi(argv[i + 1]);
    } else if (option == "--rounds") {
      rounds = std::atoi(argv[i + 1]);
    } else if (option == "--program") {
      binary = argv[i + 1];
    } else {
      std::fprintf(stderr, "usage: %s [--place tmpfs|disk] [--cycles N] [--rounds N] [--program PATH]\n", argv[0]);
      return 2;
    }
  }
  try {
    Run(base, binary, cycles, rounds);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
    return 1;
  }
  return 0;
}
