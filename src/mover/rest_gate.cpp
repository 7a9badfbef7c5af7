#include "mover/rest_gate.h"

#include <algorithm>

namespace veskora {

namespace {

// Long enough that a desktop at rest costs nothing worth measuring, short
// enough that a change no event reported waits no longer than a coffee.
constexpr std::int64_t kLongestRestSeconds = 300;

// Seconds counted from the local calendar; only differences are used, and a
// step back (summer time ending, the clock set) counts as time up.
std::int64_t CalendarSeconds(const LocalTime& t) {
  const std::int64_t y = t.year - (t.month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (t.month + (t.month > 2 ? -3 : 9)) + 2) / 5 + t.day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const std::int64_t days = era * 146097 + dayOfEra;
  return ((days * 24 + t.hour) * 60 + t.minute) * 60 + t.second;
}

// Whether a file the cycle left waits for something no event of the desktop
// shows: a name taken or a folder missing at the destination, a writer or a
// stability wait. A row naming no folder waits for an edit of the rules.
bool WaitsUnseen(const CycleReport& report) {
  return std::any_of(report.waiting.begin(), report.waiting.end(), [](const WaitingFile& file) {
    return file.outcome == Outcome::kInUse || file.outcome == Outcome::kNameTaken ||
           file.outcome == Outcome::kNoDestination;
  });
}

}  // namespace

bool RestGate::Rearm(const std::string& desktop) {
  if (armedOn_ == desktop && reach_ != WatchReach::kNone) return false;
  reach_ = watch_->Arm(desktop);
  armedOn_ = desktop;
  return true;
}

bool RestGate::ShouldRun(const std::string& desktop) {
  if (!watch_) return true;
  const bool rearmed = Rearm(desktop);
  // Read even when the answer is known already, so that what happened
  // before this cycle's listing is not taken for news at the next tick.
  const WatchNews news = watch_->Poll();
  if (news == WatchNews::kFolderGone) armedOn_.reset();
  const std::int64_t now = CalendarSeconds(clock_.Now());
  const bool run = rearmed || news != WatchNews::kNothing || reach_ != WatchReach::kEverything || wake_ || waiting_ ||
                   now < lastRun_ || now - lastRun_ >= kLongestRestSeconds;
  if (run) {
    wake_ = false;
    lastRun_ = now;
  }
  return run;
}

std::optional<CycleReport> RunTick(RestGate& gate, const RuleList& rules, const RuleMatcher& matcher,
                                   const ScanEnvironment& env) {
  const std::string desktop = env.desktopFolder ? env.desktopFolder() : std::string();
  if (!gate.ShouldRun(desktop)) return std::nullopt;
  ScanEnvironment once = env;
  once.desktopFolder = [&desktop] { return desktop; };
  CycleReport report = RunScanCycle(rules, matcher, once);
  gate.CycleLeft(WaitsUnseen(report));
  return report;
}

}  // namespace veskora
