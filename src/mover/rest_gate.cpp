#include "mover/rest_gate.h"

#include <algorithm>

#include "mover/local_time.h"

namespace veskora {

namespace {

// Long enough that a desktop at rest costs nothing worth measuring, short
// enough that a change no event reported waits no longer than a coffee.
constexpr std::int64_t kLongestRestSeconds = 300;

// Seconds counted from the local calendar; only differences are used, and a
// step back (summer time ending, the clock set) counts as time up.
std::int64_t CalendarSeconds(const LocalTime& t) {
  return ((DaysFromCivil(t.year, t.month, t.day) * 24 + t.hour) * 60 + t.minute) * 60 + t.second;
}

}  // namespace

bool RestGate::Rearm(const std::string& desktop) {
  if (armedOn_ == desktop && reach_ != WatchReach::kNone) return false;
  reach_ = watch_->Arm(desktop);
  armedOn_ = desktop;
  return true;
}

void RestGate::CycleLeft(const CycleReport& report) {
  // A file that waits for what no event shows and that no back-off holds
  // (a download still arriving, one whose facts cannot be read) is looked at
  // every tick.
  waiting_ = std::any_of(report.waiting.begin(), report.waiting.end(), [this](const WaitingFile& file) {
    return file.outcome != Outcome::kNoFolder && !backOff_.Holds(file.name);
  });
}

bool RestGate::ShouldRun(const std::string& desktop) {
  backOff_.Tick();
  if (!watch_) return true;
  const bool rearmed = Rearm(desktop);
  // Read even when the answer is known already, so that what happened
  // before this cycle's listing is not taken for news at the next tick.
  const WatchNews news = watch_->Poll();
  if (news == WatchNews::kFolderGone) armedOn_.reset();
  const std::int64_t now = CalendarSeconds(clock_.Now());
  const bool run = rearmed || news != WatchNews::kNothing || reach_ != WatchReach::kEverything || wake_ || waiting_ || backOff_.Due() ||
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
  once.backOff = &gate.Retries();
  CycleReport report = RunScanCycle(rules, matcher, once);
  gate.CycleLeft(report);
  return report;
}

}  // namespace veskora
