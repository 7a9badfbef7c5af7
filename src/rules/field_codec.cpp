#include "rules/field_codec.h"

#include <algorithm>
#include <limits>

namespace veskora {

namespace {

bool NeedsQuotes(std::string_view field) {
  if (!field.empty() && field.front() == '"') return true;
  // A plain loop: find_first_of calls memchr once per character, and the
  // move journal writes several fields for every move.
  for (const char c : field) {
    if (c == ',' || c == '\r' || c == '\n') return true;
  }
  return false;
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

void AppendField(std::string& out, std::string_view field) {
  if (!NeedsQuotes(field)) {
    out.append(field);
    return;
  }
  out.push_back('"');
  for (char c : field) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

namespace {

// One field from text[pos], up to the next comma (or, in a record, the next
// line end) outside quotes; pos is left on that delimiter or at the end. A
// field that begins with a quote runs to the closing quote, doubled quotes
// standing for one; anything after the closing quote is kept as written. The
// field is malformed when its quote is never closed or text follows it.
std::string ScanField(std::string_view text, std::size_t& pos, bool stopAtLineEnd, bool& malformed) {
  const std::size_t n = text.size();
  std::string field;
  bool quoted = false;
  bool closed = false;
  if (pos < n && text[pos] == '"') {
    quoted = true;
    ++pos;
    while (pos < n) {
      if (text[pos] == '"') {
        if (pos + 1 < n && text[pos + 1] == '"') {
          field.push_back('"');
          pos += 2;
          continue;
        }
        ++pos;
        closed = true;
        break;
      }
      field.push_back(text[pos++]);
    }
  }
  const std::size_t rest = pos;
  while (pos < n && text[pos] != ',' && !(stopAtLineEnd && IsLineEnd(text[pos]))) field.push_back(text[pos++]);
  malformed = quoted && (!closed || pos != rest);
  return field;
}

}  // namespace

std::vector<std::string> SplitFields(std::string_view text) {
  std::vector<std::string> fields;
  std::size_t pos = 0;
  bool malformed = false;  // a key is taken apart as far as it goes
  while (true) {
    fields.push_back(ScanField(text, pos, false, malformed));
    if (pos >= text.size()) break;
    ++pos;  // the comma
  }
  return fields;
}

std::optional<std::vector<std::string>> RecordReader::Next() {
  const std::size_t n = text_.size();
  // Blank lines carry no record.
  while (pos_ < n && IsLineEnd(text_[pos_])) ++pos_;
  if (pos_ >= n) return std::nullopt;

  std::vector<std::string> fields;
  fieldStarts_.clear();
  while (true) {
    bool malformed = false;
    fieldStarts_.push_back(pos_);
    fields.push_back(ScanField(text_, pos_, true, malformed));
    if (malformed) return Fail();
    if (pos_ >= n) break;
    if (text_[pos_] == ',') {
      ++pos_;
      if (pos_ >= n || IsLineEnd(text_[pos_])) {
        fieldStarts_.push_back(pos_);
        fields.emplace_back();  // a trailing comma ends in an empty field
        break;
      }
      continue;
    }
    // A line end ends the record; the next one skips it and any blank lines.
    break;
  }
  return fields;
}

std::string_view RecordReader::RawFrom(std::size_t first) const {
  if (first >= fieldStarts_.size()) return {};
  const std::size_t end = std::min(text_.find_first_not_of("\r\n", pos_), text_.size());
  return text_.substr(fieldStarts_[first], end - fieldStarts_[first]);
}

long long LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  constexpr long long kLimit = std::numeric_limits<long long>::max() / 10 - 10;
  long long number = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (number < kLimit) number = number * 10 + (text[i] - '0');
  }
  return negative ? -number : number;
}

}  // namespace veskora
