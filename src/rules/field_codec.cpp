#include "rules/field_codec.h"

#include <limits>

namespace veskora {

namespace {

bool NeedsQuotes(std::string_view field) {
  return (!field.empty() && field.front() == '"') || field.find_first_of(",\r\n") != std::string_view::npos;
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

std::vector<std::string> SplitFields(std::string_view text) {
  std::vector<std::string> fields;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (true) {
    std::string field;
    if (i < n && text[i] == '"') {
      ++i;
      while (i < n) {
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            field.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field.push_back(text[i++]);
      }
    }
    // Anything after a closing quote, up to the comma, is kept as written.
    while (i < n && text[i] != ',') field.push_back(text[i++]);
    fields.push_back(std::move(field));
    if (i >= n) break;
    ++i;  // the comma
  }
  return fields;
}

std::optional<std::vector<std::string>> RecordReader::Next() {
  const std::size_t n = text_.size();
  // Blank lines carry no record.
  while (pos_ < n && IsLineEnd(text_[pos_])) ++pos_;
  if (pos_ >= n) return std::nullopt;

  std::vector<std::string> fields;
  while (true) {
    std::string field;
    if (text_[pos_] == '"') {
      ++pos_;
      bool closed = false;
      while (pos_ < n) {
        if (text_[pos_] == '"') {
          if (pos_ + 1 < n && text_[pos_ + 1] == '"') {
            field.push_back('"');
            pos_ += 2;
            continue;
          }
          ++pos_;
          closed = true;
          break;
        }
        field.push_back(text_[pos_++]);
      }
      if (!closed) return Fail();
      if (pos_ < n && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) return Fail();
    } else {
      while (pos_ < n && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) field.push_back(text_[pos_++]);
    }
    fields.push_back(std::move(field));
    if (pos_ >= n) break;
    if (text_[pos_] == ',') {
      ++pos_;
      if (pos_ >= n || IsLineEnd(text_[pos_])) {
        fields.emplace_back();  // a trailing comma ends in an empty field
        break;
      }
      continue;
    }
    // CR LF, LF or CR ends the record.
    if (text_[pos_] == '\r' && pos_ + 1 < n && text_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    break;
  }
  return fields;
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
