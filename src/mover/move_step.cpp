#include "mover/move_step.h"

#include "rules/move_rule.h"

namespace veskora {

std::string MoveLogMessage(std::string_view name, std::string_view folder) {
  std::string message(name);
  message += " を ";
  message += folder;
  message += " へ移動しました";
  return message;
}

bool IsMoveDestination(std::string_view destination) {
  // Only a full folder path can be a destination; anything else (a path from
  // another platform, a hand-edited line) would land relative to wherever the
  // program was started.
  return !IsNoDestination(destination) && !destination.empty() && destination.front() == '/';
}

}  // namespace veskora
