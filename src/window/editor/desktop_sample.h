#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mover/judge.h"
#include "rules/move_rule.h"

namespace veskora {

class FileSystem;
class RuleList;

// The desktop as the editor saw it when it opened, so that what a rule being
// typed would decide is judged at each pause in the typing without listing
// the folder again.
class DesktopSample {
 public:
  DesktopSample(FileSystem& files, std::function<std::string()> desktopFolder)
      : files_(files), desktopFolder_(std::move(desktopFolder)) {}

  // Lists the desktop now.
  void Take();
  // The files that `rule`, ticked, would decide standing in place of row
  // `position` of `rules` (after the last row when 0), in listing order.
  std::vector<std::string> Decided(const RuleList& rules, int position, const MoveRule& rule) const;

 private:
  FileSystem& files_;
  std::function<std::string()> desktopFolder_;
  std::optional<DesktopListing> listing_;
};

}  // namespace veskora
