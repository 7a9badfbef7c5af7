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

}  // namespace veskora
