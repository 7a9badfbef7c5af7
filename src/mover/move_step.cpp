#include "mover/move_step.h"

#include "rules/move_rule.h"

namespace veskora {

namespace {

std::string LogMessage(std::string_view name, std::string_view folder, std::string_view done) {
  std::string message(name);
  message += " を ";
  message += folder;
  message += " へ";
  message += done;
  return message;
}

}  // namespace

std::string MoveLogMessage(std::string_view name, std::string_view folder) {
  return LogMessage(name, folder, "移動しました");
}

std::string PutBackLogMessage(std::string_view name, std::string_view desktop) {
  return LogMessage(name, desktop, "戻しました");
}

bool IsMoveDestination(std::string_view destination) {
  // Only a full folder path can be a destination; anything else (a path from
  // another platform, a hand-edited line) would land relative to wherever the
  // program was started.
  return !IsNoDestination(destination) && !destination.empty() && destination.front() == '/';
}

bool MoveFileByRule(const std::string& folder, const std::string& name, const std::string& destination,
                    FileSystem& files, MoveLog& log, FileIdentity* arrived) {
  if (!IsMoveDestination(destination)) return false;
  // Every failure ends here without a word on purpose: the file stays on the
  // desktop and the next cycle tries again.
  if (files.Move(folder, name, destination, arrived) != MoveOutcome::kMoved) return false;
  log.WriteMoveLog(MoveLogMessage(name, destination));
  return true;
}

}  // namespace veskora
