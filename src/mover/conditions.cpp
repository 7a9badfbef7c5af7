#include "mover/conditions.h"

#include "mover/paths.h"
#include "rules/move_rule.h"
#include "rules/rule_description.h"

namespace veskora {

std::string_view Candidate::Extension() const { return ExtensionOf(name_); }

const std::optional<FileFacts>& Candidate::Facts() const {
  if (!asked_) {
    facts_ = files_.Facts(folder_, name_);
    asked_ = true;
  }
  return facts_;
}

const std::string* Candidate::TimeText() const {
  if (!timeText_) {
    const auto& facts = Facts();
    if (!facts) return nullptr;
    timeText_ = TimeStampText(facts->mtime);
  }
  return &*timeText_;
}

bool MeetsCondition(int kind, std::string_view value, const Candidate& file) {
  switch (kind) {
    case kNameKeyword:
      return std::string_view(file.Name()).find(value) != std::string_view::npos;
    case kExtension:
      return file.Extension() == value;
    case kSizeSmaller:
    case kSizeLarger: {
      // A file that vanished or cannot be queried meets no condition.
      const auto& facts = file.Facts();
      if (!facts) return false;
      const double length = static_cast<double>(facts->size);
      const double threshold = SizeThreshold(value);
      return kind == kSizeSmaller ? length < threshold : length > threshold;
    }
    case kTimeOlder:
    case kTimeNewer: {
      const auto& facts = file.Facts();
      if (!facts) return false;
      const std::int64_t bound = TimeBound(kind, value);
      return kind == kTimeOlder ? facts->mtime < bound : facts->mtime >= bound;
    }
    default:
      return false;
  }
}

}  // namespace veskora
