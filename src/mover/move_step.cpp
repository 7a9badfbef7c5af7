#include "mover/move_step.h"

#include "rules/move_rule.h"

namespace veskora {

bool MoveFileByRule(const std::string& folder, const std::string& name, const std::string& destination,
                    FileSystem& files, MoveLog& log) {
  if (IsNoDestination(destination)) return false;
  // Only a full folder path can be a destination; anything else (a path from
  // another platform, a hand-edited line) would land relative to wherever the
  // program was started.
  if (destination.empty() || destination.front() != '/') return false;
  // Every failure ends here without a word on purpose: the file stays on the
  // desktop and the next cycle tries again.
  if (files.Move(folder, name, destination) != MoveOutcome::kMoved) return false;
  std::string message = name;
  message += " を ";
  message += destination;
  message += " へ移動しました";
  log.WriteMoveLog(message);
  return true;
}

}  // namespace veskora
