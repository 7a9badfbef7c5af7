#include "rules/rule_description.h"

#include <algorithm>

#include "rules/text_encoding.h"
#include "rules/field_codec.h"
#include "rules/move_rule.h"

namespace veskora {

namespace {

// Characters a to b (counted from 1) of a UTF-8 text; what lies beyond its
// end is simply missing. A byte that starts no valid sequence counts as one.
std::string_view CharRange(std::string_view text, std::size_t a, std::size_t b) {
  std::size_t index = 1;
  std::size_t start = text.size();
  std::size_t i = 0;
  while (i < text.size()) {
    if (index == a) start = i;
    unsigned int codePoint = 0;
    i += std::max<std::size_t>(Utf8SequenceAt(text, i, codePoint), 1);
    if (index == b) return start < text.size() ? text.substr(start, i - start) : std::string_view{};
    ++index;
  }
  return start < text.size() ? text.substr(start) : std::string_view{};
}

std::string DescribeTime(std::string_view value) {
  std::string text = "ファイル作成時刻が\"";
  text.append(CharRange(value, 1, 4)).append("/");
  text.append(CharRange(value, 5, 6)).append("/");
  text.append(CharRange(value, 7, 8)).append(" ");
  text.append(CharRange(value, 9, 10)).append(":");
  text.append(CharRange(value, 11, 12)).append(":");
  text.append(CharRange(value, 13, 14)).append("\"");
  return text;
}

}  // namespace

std::string DescribeRule(int kind, std::string_view value) {
  const std::string v(value);
  switch (kind) {
    case kNameKeyword:
      return "ファイル名に\"" + v + "\"が含まれる";
    case kExtension:
      return "拡張子が\"" + v + "\"";
    case kSizeSmaller:
      return "ファイルサイズが\"" + v + "Byte\"より小さい";
    case kSizeLarger:
      return "ファイルサイズが\"" + v + "Byte\"より大きい";
    case kTimeOlder:
      return DescribeTime(value) + "より古い";
    case kTimeNewer:
      return DescribeTime(value) + "より新しい";
    default:
      return {};
  }
}

std::string DescribeRule(const MoveRule& rule) { return DescribeRule(rule.kind, rule.value); }

double SizeThreshold(std::string_view value) {
  const double n = static_cast<double>(LeadingNumber(value));
  if (value.find('M') != std::string_view::npos) return n * 1024.0 * 1024.0;
  if (value.find('K') != std::string_view::npos) return n * 1024.0;
  if (value.find('G') != std::string_view::npos) return n * 1024.0 * 1024.0 * 1024.0;
  return n;
}

}  // namespace veskora
