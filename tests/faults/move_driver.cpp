// The mover without the window, as the fault and race tests run it (under the
// fault shim, as another user, on odd file systems): load the rule file, run
// scan cycles over a desktop folder logging the moves, and save the rules as
// shutdown does. SIGTERM ends it as it ends the program: the cycle stops at
// the next file and a copy in progress gives up.
//
//   move_driver RULE_FILE DESKTOP LOG [--cycles N] [--pause-ms N] [--save]
//
// Runs N cycles (default 1; -1 runs until SIGTERM) with a pause between them.
// Exits 0: the outcome of each move is only ever seen in the folders and log.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "mover/move_log.h"
#include "mover/scan_cycle.h"
#include "platform/posix/clock.h"
#include "platform/posix/posix_file_system.h"
#include "rules/rule_file.h"

namespace {

std::atomic<bool> ending{false};

void AskToEnd(int) { ending = true; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string desktop = argv[2];
  long cycles = 1;
  long pauseMs = 0;
  bool save = false;
  for (int i = 4; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--cycles" && i + 1 < argc) {
      cycles = std::atol(argv[++i]);
    } else if (option == "--pause-ms" && i + 1 < argc) {
      pauseMs = std::atol(argv[++i]);
    } else if (option == "--save") {
      save = true;
    } else {
      return 2;
    }
  }
  struct sigaction action {};
  action.sa_handler = AskToEnd;
  sigaction(SIGTERM, &action, nullptr);

  veskora::RuleList rules;
  veskora::RuleFile ruleFile(argv[1]);
  ruleFile.LoadRules(rules);
  const veskora::SystemClock clock;
  veskora::MoveLog log(argv[3], clock, nullptr);
  veskora::PosixFileSystem files(&ending);
  const veskora::ScanEnvironment env{[&desktop] { return desktop; }, &files, &log, &ending};
  for (long cycle = 0; (cycles < 0 || cycle < cycles) && !ending; ++cycle) {
    veskora::RunScanCycle(rules, env);
    if (pauseMs > 0 && !ending) usleep(static_cast<useconds_t>(pauseMs * 1000));
  }
  if (save) ruleFile.SaveRules(rules);
  return 0;
}
