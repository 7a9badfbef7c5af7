#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ports/clock.h"
#include "ports/data_files.h"

namespace veskora {

// "mm/dd hh:mm:ss"
std::string FormatLogTime(const LocalTime& time);

// Control characters and bytes that are not UTF-8 written as \n, \r, \t or
// \xHH, so one move is always exactly one line.
std::string EscapeForLog(std::string_view text);
void AppendEscaped(std::string& out, std::string_view text);

// Receives each line as the status label should show it.
using StatusSink = std::function<void(const std::string&)>;

// The move log: each completed move becomes one line "[mm/dd hh:mm:ss] text",
// shown through the status sink and appended to the log file with CR LF.
class MoveLog {
 public:
  MoveLog(DataFiles& files, std::string path, const Clock& clock, StatusSink status);

  // The status line is shown whatever becomes of the file: a log that cannot
  // be written does not undo the move. 0 or the errno value of the append.
  int WriteMoveLog(std::string_view message);

  // Creates the log file when missing, writing nothing (the "open log"
  // command does this before handing the file to the desktop).
  bool Touch() const;

  const std::string& Path() const { return path_; }

 private:
  DataFiles& files_;
  std::string path_;
  const Clock& clock_;
  StatusSink status_;
};

}  // namespace veskora
