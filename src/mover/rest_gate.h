#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "mover/back_off.h"
#include "mover/rule_matcher.h"
#include "mover/scan_cycle.h"
#include "ports/clock.h"
#include "ports/desktop_watch.h"
#include "rules/rule_list.h"

namespace veskora {

// Whether a tick's cycle can change anything, so that a desktop at rest costs
// one read of the watch per tick. The cycle runs when
// - the watch saw a change, lost events, lost the folder, or cannot watch;
// - the desktop is another folder than at the last tick;
// - the desktop's file system may change without telling (network, FUSE);
// - something the events cannot show changed: the rules, a tick box, the
//   automatic-move switch, or the user asked for a cycle (Wake);
// - a file the last cycles left waiting for something the events cannot show
//   (a name taken, a missing destination, a file in use) is to be tried
//   again (see BackOff), or one waits that no back-off holds (a download);
// - and at least every five minutes, for whatever slipped past all of these.
class RestGate {
 public:
  // Without a watch every tick runs.
  RestGate(DesktopWatch* watch, const Clock& clock) : watch_(watch), clock_(clock) {}

  // Also tries every waiting file again at once.
  void Wake() {
    wake_ = true;
    backOff_.Reset();
  }
  // Asked at the start of each tick, before anything is listed, with the
  // folder the cycle would list: events after the answer are seen next time.
  bool ShouldRun(const std::string& desktop);
  // What the cycle that ran left waiting.
  void CycleLeft(const CycleReport& report);
  BackOff& Retries() { return backOff_; }

 private:
  bool Rearm(const std::string& desktop);

  DesktopWatch* watch_;
  const Clock& clock_;
  std::optional<std::string> armedOn_;
  WatchReach reach_ = WatchReach::kNone;
  bool wake_ = true;
  bool waiting_ = false;
  BackOff backOff_;
  std::int64_t lastRun_ = 0;
};

// One tick of the timer: the desktop looked up once, and the cycle run on it
// when the gate says it can change anything. What that cycle did, or nothing
// when the gate kept it from running.
std::optional<CycleReport> RunTick(RestGate& gate, const RuleList& rules, const RuleMatcher& matcher,
                                   const ScanEnvironment& env);

}  // namespace veskora
