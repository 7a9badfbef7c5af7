#include "mover/move_step.h"

#include "mover/conditions.h"
#include "platform/posix/safe_move.h"
#include "rules/move_rule.h"

namespace veskora {

std::string TargetPath(std::string_view destination, std::string_view name) {
  std::string target(destination);
  if (target.empty() || target.back() != '/') target.push_back('/');
  target.append(name);
  return target;
}

bool MoveFileByRule(const std::string& path, std::string_view destination, MoveLog& log) {
  if (IsNoDestination(destination)) return false;
  // Only a full folder path can be a destination; anything else (a path from
  // another platform, a hand-edited line) would land relative to wherever the
  // program was started.
  if (destination.empty() || destination.front() != '/') return false;
  const std::string_view name = FileNameOf(path);
  // Every failure ends here without a word on purpose: the file stays on the
  // desktop and the next cycle tries again.
  if (SafeMoveFile(path, TargetPath(destination, name)) != MoveOutcome::kMoved) return false;
  std::string message(name);
  message += " を ";
  message += destination;
  message += " へ移動しました";
  log.WriteMoveLog(message);
  return true;
}

}  // namespace veskora
