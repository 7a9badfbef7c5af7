// The mover without the window, as the fault and race tests run it (under the
// fault shim, as another user, on odd file systems):
//
//   move_driver RULE_FILE DESKTOP LOG CYCLES PAUSE_MS [--save]
//
// runs CYCLES scan cycles (-1: until SIGTERM) with a pause between them, then
// saves the rules as shutdown does when asked. SIGTERM ends it as it ends the
// program: the cycle stops at the next file and a copy in progress gives up.
// Exits 0: the outcome of each move is seen in the folders and log, and in the
// file VESKORA_WAITING names, if any: "NAME REASON" for each file the last
// cycle left waiting.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <string>

#include "mover/move_log.h"
#include "mover/outcome_words.h"
#include "mover/scan_cycle.h"
#include "ports/clock.h"
#include "adapters/posix/posix_data_files.h"
#include "adapters/posix/posix_file_system.h"
#include "rules/rule_file.h"
#include "adapters/posix/system_clock.h"

namespace {
std::atomic<bool> ending{false};
}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) return 2;
  const std::string desktop = argv[2];
  const long cycles = std::atol(argv[4]), pauseMs = std::atol(argv[5]);
  struct sigaction action {};
  action.sa_handler = [](int) { ending = true; };
  sigaction(SIGTERM, &action, nullptr);

  veskora::RuleList rules;
  veskora::PosixDataFiles dataFiles;
  veskora::RuleFile ruleFile(dataFiles, argv[1]);
  ruleFile.LoadRules(rules);
  const veskora::SystemClock clock;
  veskora::MoveLog log(dataFiles, argv[3], clock, nullptr);
  veskora::PosixFileSystem files(&ending);
  const veskora::ScanEnvironment env{[&desktop] { return desktop; }, &files, &log, &ending};
  for (long cycle = 0; (cycles < 0 || cycle < cycles) && !ending; ++cycle) {
    const veskora::CycleReport report = veskora::RunScanCycle(rules, veskora::RuleMatcher(rules), env);
    if (const char* waiting = std::getenv("VESKORA_WAITING")) {
      std::ofstream out(waiting, std::ios::trunc);
      for (const auto& file : report.waiting) out << file.name << ' ' << veskora::OutcomeCode(file.outcome) << '\n';
    }
    if (pauseMs > 0 && !ending) usleep(static_cast<useconds_t>(pauseMs * 1000));
  }
  if (argc > 6) ruleFile.SaveRules(rules);
  return 0;
}
