#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace veskora {

// One row of the rule list. The key is the authoritative form of the rule;
// text (description) and sub-item (destination) are for display.
struct RuleRow {
  std::string text;
  std::string subItem;
  std::string key;
  bool checked = false;
  // The rule as the rule file held it (all after the enabled field), kept only
  // when those bytes were not all UTF-8, so that a rule nobody edited is
  // written back exactly as it was read. A changed row has none.
  std::string stored{};
};

// Told about every change so a view can follow the one copy of the rules.
// Positions count from 1.
class RuleListObserver {
 public:
  virtual ~RuleListObserver() = default;
  virtual void RowsAboutToBeInserted(int /*first*/, int /*last*/) {}
  virtual void RowsInserted() {}
  virtual void RowsAboutToBeRemoved(int /*first*/, int /*last*/) {}
  virtual void RowsRemoved() {}
  virtual void RowChanged(int /*position*/) {}
  virtual void SelectionChanged(int /*position*/) {}
};

// The ordered rule rows: order is priority, never sorted. Holds two
// invariants: a non-empty key stands on at most one row, and at most one row
// is selected. Positions count from 1; 0 means "none".
class RuleList {
 public:
  int Count() const { return static_cast<int>(rows_.size()); }
  bool IsValid(int position) const { return position >= 1 && position <= Count(); }
  const RuleRow& Row(int position) const { return rows_[static_cast<std::size_t>(position - 1)]; }
  const std::vector<RuleRow>& Rows() const { return rows_; }

  void Clear();
  // Appends the row at the end and returns its position; 0, changing nothing,
  // when another row carries the same non-empty key.
  int Append(RuleRow row = {});
  // Removes the row; the rows below move up one place. The selection is dropped
  // when it was that row and follows its row otherwise.
  bool Remove(int position);
  // Puts new contents into the row at a position; fails, changing nothing,
  // when another row carries the same non-empty key.
  bool Replace(int position, RuleRow row);
  // Exchanges the contents of two rows; positions and selection stay.
  bool Swap(int a, int b);

  bool SetChecked(int position, bool checked);
  bool HasKey(std::string_view key) const;

  int Selected() const { return selected_; }
  // Selects the row at a position (the previous selection is cleared); 0 or an
  // invalid position clears the selection.
  void Select(int position);

  void SetObserver(RuleListObserver* observer) { observer_ = observer; }

 private:
  RuleRow& At(int position) { return rows_[static_cast<std::size_t>(position - 1)]; }
  void Changed(int position);

  std::vector<RuleRow> rows_;
  std::unordered_set<std::string> keys_;
  int selected_ = 0;
  RuleListObserver* observer_ = nullptr;
};

}  // namespace veskora
