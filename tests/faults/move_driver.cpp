// The mover without the window, as the fault tests run it (under the fault
// shim) and the soak runs it: load the rule file, run scan cycles over a
// desktop folder logging the moves, and save the rules as shutdown does.
//
//   move_driver RULE_FILE DESKTOP LOG [--cycles N] [--pause-ms N] [--stop-file F] [--save]
//
// Runs N cycles (default 1) with a pause between them, or until the stop file
// exists; --save then writes the rule file back. Exits 0: the outcome of each
// move is only ever seen in the folders and the log.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "mover/move_log.h"
#include "mover/scan_cycle.h"
#include "platform/posix/clock.h"
#include "platform/posix/posix_file_system.h"
#include "rules/rule_file.h"

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string rule_file = argv[1];
  const std::string desktop = argv[2];
  long cycles = 1;
  long pause_ms = 0;
  std::string stop_file;
  bool save = false;
  for (int i = 4; i < argc; ++i) {
    const std::string option = argv[i];
    const bool has_value = i + 1 < argc;
    if (option == "--cycles" && has_value)
      cycles = std::atol(argv[++i]);
    else if (option == "--pause-ms" && has_value)
      pause_ms = std::atol(argv[++i]);
    else if (option == "--stop-file" && has_value)
      stop_file = argv[++i];
    else if (option == "--save")
      save = true;
    else
      return 2;
  }

  veskora::RuleList rules;
  veskora::LoadRules(rules, rule_file);
  const veskora::SystemClock clock;
  veskora::MoveLog log(argv[3], clock, nullptr);
  veskora::PosixFileSystem files;
  const veskora::ScanEnvironment env{[&desktop] { return desktop; }, &files, &log};

  for (long cycle = 0; cycle < cycles; ++cycle) {
    if (!stop_file.empty() && access(stop_file.c_str(), F_OK) == 0) break;
    veskora::RunScanCycle(rules, env);
    if (pause_ms > 0) usleep(static_cast<useconds_t>(pause_ms * 1000));
  }
  if (save) veskora::SaveRules(rules, rule_file);
  return 0;
}
