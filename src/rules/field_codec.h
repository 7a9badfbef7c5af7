#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The comma-separated text form shared by the rule key and the rule file.
// A field is written as it stands unless it holds a comma, a line break or
// begins with a double quote; such a field is written in double quotes with
// inner quotes doubled. Comma-free fields therefore give exactly the plain
// "a,b,c" form older files use, and every other field still round-trips.
namespace veskora {

void AppendField(std::string& out, std::string_view field);

// Splits one in-memory text (a key) into its fields. Never fails: an opening
// quote that is never closed runs to the end of the text.
std::vector<std::string> SplitFields(std::string_view text);

// Reads records (lines) one after another from a whole file's text. Line ends
// may be CR LF, LF or CR; a line break inside quotes belongs to the field.
class RecordReader {
 public:
  explicit RecordReader(std::string_view text) : text_(text) {}

  // The next record's fields; std::nullopt at the end of the text or when the
  // record is malformed (an unclosed quote, text after a closing quote).
  std::optional<std::vector<std::string>> Next();

  // The last record's text as it stands in the file from the start of its
  // field `first` (counted from 0) up to the next record: its line end and any
  // blank lines after it included.
  std::string_view RawFrom(std::size_t first) const;
  // True once a malformed record was met.
  bool Failed() const { return failed_; }

 private:
  std::optional<std::vector<std::string>> Fail() {
    failed_ = true;
    return std::nullopt;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  bool failed_ = false;
  std::vector<std::size_t> fieldStarts_;
};

// The number at the start of a text, the way the rule file's numeric fields
// are read: leading blanks skipped, an optional sign, decimal digits; 0 when
// there is none. Saturates instead of overflowing.
long long LeadingNumber(std::string_view text);

}  // namespace veskora
