#include "mover/move_log.h"

#include <cstdio>
#include <utility>

#include "mover/decimal_digits.h"
#include "rules/text_encoding.h"

namespace veskora {

std::string FormatLogTime(const LocalTime& time) {
  std::string text = "00/00 00:00:00";
  for (const auto& [at, value] :
       {std::pair{0, time.month}, {3, time.day}, {6, time.hour}, {9, time.minute}, {12, time.second}}) {
    PutDigits(&text[static_cast<std::size_t>(at)], ((value % 100) + 100) % 100, 2);
  }
  return text;
}

void AppendEscaped(std::string& out, std::string_view text) {
  // Runs that need nothing are copied whole.
  std::size_t run = 0;
  const auto escape = [&](std::size_t at, std::size_t length, const char* form, unsigned int value) {
    out.append(text.substr(run, at - run));
    char escaped[16];
    std::snprintf(escaped, sizeof escaped, form, value);
    out += escaped;
    run = at + length;
  };
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      ++i;
      continue;
    }
    if (c < 0x80) {
      escape(i, 1, c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : "\\x%02X", c);
      ++i;
      continue;
    }
    unsigned int codePoint = 0;
    const std::size_t length = Utf8SequenceAt(text, i, codePoint);
    if (length == 0) {
      escape(i, 1, "\\x%02X", c);
      ++i;
      continue;
    }
    // C1 controls and the Unicode line and paragraph separators also break
    // lines in some readers.
    if ((codePoint >= 0x80 && codePoint <= 0x9F) || codePoint == 0x2028 || codePoint == 0x2029) {
      escape(i, length, "\\u%04X", codePoint);
    }
    i += length;
  }
  out.append(text.substr(run));
}

std::string EscapeForLog(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscaped(out, text);
  return out;
}

MoveLog::MoveLog(DataFiles& files, std::string path, const Clock& clock, StatusSink status)
    : files_(files), path_(std::move(path)), clock_(clock), status_(std::move(status)) {}

int MoveLog::WriteMoveLog(std::string_view message) {
  std::string line;
  line.reserve(message.size() + 24);
  line += '[';
  line += FormatLogTime(clock_.Now());
  line += "] ";
  AppendEscaped(line, message);
  if (status_) status_(line);
  line += "\r\n";
  return files_.Append(path_, line);
}

bool MoveLog::Touch() const { return files_.Append(path_, {}) == 0; }

}  // namespace veskora
