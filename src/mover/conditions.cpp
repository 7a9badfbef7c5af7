#include "mover/conditions.h"

#include <cstdio>

#include "mover/move_step.h"
#include "platform/posix/clock.h"
#include "rules/field_codec.h"
#include "rules/move_rule.h"

namespace veskora {

std::string_view FileNameOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view ExtensionOf(std::string_view path) {
  const std::string_view name = FileNameOf(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

double SizeThreshold(std::string_view value) {
  const double n = static_cast<double>(LeadingNumber(value));
  const bool hasK = value.find('K') != std::string_view::npos;
  const bool hasM = value.find('M') != std::string_view::npos;
  if (hasM) return n * 1024.0 * 1024.0;
  if (hasK) return n * 1024.0;
  if (value.find('G') != std::string_view::npos) return n * 1024.0 * 1024.0 * 1024.0;
  return n;
}

namespace {

// Writes the value as exactly `width` decimal digits, zero-padded.
char* PutDigits(char* out, int value, int width) {
  for (int i = width - 1; i >= 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
  return out + width;
}

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

std::string TimeStampText(std::int64_t epochSeconds) {
  const LocalTime t = ToLocalTime(epochSeconds);
  // Every cycle writes this once per file that a time rule looks at, so the
  // common case skips the formatter; odd years (negative, five digits) take it.
  if (InRange(t.year, 0, 9999) && InRange(t.month, 0, 99) && InRange(t.day, 0, 99) && InRange(t.hour, 0, 99) &&
      InRange(t.minute, 0, 99) && InRange(t.second, 0, 99)) {
    std::string text(14, '0');
    char* out = text.data();
    out = PutDigits(out, t.year, 4);
    out = PutDigits(out, t.month, 2);
    out = PutDigits(out, t.day, 2);
    out = PutDigits(out, t.hour, 2);
    out = PutDigits(out, t.minute, 2);
    PutDigits(out, t.second, 2);
    return text;
  }
  char text[80];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

const std::string& Candidate::Path() const {
  if (path_.empty()) path_ = TargetPath(folder_, name_);
  return path_;
}

const std::optional<FileStat>& Candidate::Stat() const {
  if (!statted_) {
    stat_ = facts_.StatOf(*this);
    statted_ = true;
  }
  return stat_;
}

const std::string* Candidate::TimeText() const {
  if (!timeText_) {
    const auto& stat = Stat();
    if (!stat) return nullptr;
    timeText_ = TimeStampText(stat->mtime);
  }
  return &*timeText_;
}

bool MeetsCondition(int kind, std::string_view value, const Candidate& file) {
  switch (kind) {
    case kNameKeyword:
      return file.Name().find(value) != std::string_view::npos;
    case kExtension:
      return file.Extension() == value;
    case kSizeSmaller:
    case kSizeLarger: {
      // A file that vanished or cannot be queried meets no condition.
      const auto& stat = file.Stat();
      if (!stat) return false;
      const double length = static_cast<double>(stat->size);
      const double threshold = SizeThreshold(value);
      return kind == kSizeSmaller ? length < threshold : length > threshold;
    }
    case kTimeOlder:
    case kTimeNewer: {
      const std::string* text = file.TimeText();
      if (!text) return false;
      return kind == kTimeOlder ? *text < value : *text > value;
    }
    default:
      return false;
  }
}

}  // namespace veskora
