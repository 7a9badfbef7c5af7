#pragma once

#include <string>
#include <string_view>

#include "ports/data_files.h"
#include "rules/rule_list.h"

namespace veskora {

enum class LoadOutcome {
  kComplete,    // every record became a row
  kNoFile,      // there is no rule file: the list stays empty
  kUnreadable,  // there is one, but it cannot be read (or is no regular file)
  kStopped,     // a record could not be read or was a duplicate: loading stopped there
};

enum class SaveOutcome {
  kSaved,
  kSavedKeepingOriginal,  // the file held more than could be loaded; its original went to a backup first
  kFailed,                // nothing was written; the file is as it was
};

// Replaces the list's rows with the records of a rule file's text. Accepts
// UTF-8 (with or without a byte-order mark) and, field by field, Shift-JIS
// (CP932) as older files were written. Sets `oddBytes` when some field was
// neither. Every row keeps the bytes it was read from; what stands before the
// first record (a byte-order mark, blank lines) goes to `lead`. A record that
// holds a NUL byte cannot be read: loading stops there.
LoadOutcome ParseRuleFile(std::string_view bytes, RuleList& list, bool* oddBytes = nullptr,
                          std::string* lead = nullptr);

// The file's text: `lead`, then every row as it was read, or, for a row made or
// changed since, one CR LF line: "-1" or "0", ",", the key. A file loaded whole
// and never edited is written back byte for byte.
std::string FormatRuleFile(const RuleList& list, std::string_view lead = {});

// The rule file of one run. It remembers whether the list holds all that the
// file held: when it does not (loading stopped at a record, the file could not
// be read, some bytes were not UTF-8), the first save that changes the file
// keeps the original first, under a free name beside it ("ZUL.dat.bak",
// "ZUL.dat.bak2", ...), so that no rule is ever lost to a save.
class RuleFile {
 public:
  RuleFile(DataFiles& files, std::string path) : files_(files), path_(std::move(path)) {}

  LoadOutcome LoadRules(RuleList& list);
  // Writes through a temporary file and a rename, so a failed save leaves the
  // previous file whole; a rule file that is a link keeps leading to the
  // file that gets the rules.
  SaveOutcome SaveRules(const RuleList& list);

  const std::string& Path() const { return path_; }
  // Where the original went, once it was kept.
  const std::string& BackupPath() const { return backup_; }

 private:
  bool KeepOriginal();

  DataFiles& files_;
  std::string path_;
  std::string backup_;
  std::string lead_;
  bool keepOriginal_ = false;
};

}  // namespace veskora
