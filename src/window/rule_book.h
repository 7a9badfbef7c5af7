#pragma once

#include <functional>
#include <string>

#include "rules/move_rule.h"
#include "rules/rule_file.h"
#include "rules/rule_list.h"

namespace veskora {

// The owner of the rule list while the program runs, and of its rule file.
// Every command that changes the list comes here and the file is written at
// once after it, so the file always holds what the window shows; views only
// show the list and ask for commands.
class RuleBook {
 public:
  // Told where the file's original went when a save had to keep it first.
  using OriginalKept = std::function<void(const std::string& backupPath)>;
  RuleBook(DataFiles& files, std::string path, OriginalKept originalKept);

  // Reads the file; a missing or unreadable one leaves the list as far as it
  // could be read, and the program goes on with that.
  void Load();
  // Writes the list (at the end of the program; the commands save themselves).
  // A failed save leaves the previous file whole; the next one tries again.
  void Save();

  const RuleList& Rules() const { return rules_; }
  void SetObserver(RuleListObserver* observer) { rules_.SetObserver(observer); }
  void Select(int position) { rules_.Select(position); }

  // Each saves when it changed the list, and only then.
  // A ticked row at the end, selected; 0 when the list refused it.
  int Add(RuleRow row);
  // New contents for a row; its tick stays.
  bool Change(int position, RuleRow row);
  bool SetChecked(int position, bool checked);
  void MoveSelectedUp();
  void MoveSelectedDown();
  void DeleteSelected();

  // The row holding this rule (its condition and destination), or 0: a row
  // is found again wherever it moved, and not at all once it is deleted.
  int Find(const MoveRule& rule) const;

 private:
  RuleFile file_;
  RuleList rules_;
  OriginalKept originalKept_;
};

}  // namespace veskora
