#include "mover/move_log.h"

#include <cstdio>

#include "platform/posix/text_encoding.h"
#include "platform/posix/text_files.h"

namespace veskora {

namespace {

void AppendHex(std::string& out, unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02X", byte);
  out += text;
}

}  // namespace

std::string FormatLogTime(const LocalTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d/%02d %02d:%02d:%02d", time.month % 100, time.day % 100, time.hour % 100,
                time.minute % 100, time.second % 100);
  return text;
}

std::string EscapeForLog(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (c == '\n') {
        out += "\\n";
      } else if (c == '\r') {
        out += "\\r";
      } else if (c == '\t') {
        out += "\\t";
      } else if (c < 0x20 || c == 0x7F) {
        AppendHex(out, c);
      } else {
        out.push_back(static_cast<char>(c));
      }
      ++i;
      continue;
    }
    unsigned int codePoint = 0;
    const std::size_t length = Utf8SequenceAt(text, i, codePoint);
    if (length == 0) {
      AppendHex(out, c);
      ++i;
      continue;
    }
    // C1 controls and the Unicode line and paragraph separators also break
    // lines in some readers.
    if ((codePoint >= 0x80 && codePoint <= 0x9F) || codePoint == 0x2028 || codePoint == 0x2029) {
      char escaped[16];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", codePoint);
      out += escaped;
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

MoveLog::MoveLog(std::string path, const Clock& clock, StatusSink status)
    : path_(std::move(path)), clock_(clock), status_(std::move(status)) {}

void MoveLog::WriteMoveLog(std::string_view message) {
  std::string line = "[";
  line += FormatLogTime(clock_.Now());
  line += "] ";
  line += EscapeForLog(message);
  if (status_) status_(line);
  // A log that cannot be written does not undo the move, and the status line
  // still tells the user; the line goes to standard error instead.
  line += "\r\n";
  if (!AppendToFile(path_, line)) std::fprintf(stderr, "veskora: cannot write %s: %s", path_.c_str(), line.c_str());
}

bool MoveLog::Touch() const { return AppendToFile(path_, {}); }

}  // namespace veskora
