#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "mover/judge.h"

class QPlainTextEdit;
class QTreeWidget;

namespace veskora {

class FileSystem;
class RuleList;

// 移動のプレビュー: what the next cycle would do with each desktop file that
// some row decides, as the judge says it now, and for the file selected why:
// every row's verdict with the values compared. Judging moves nothing.
class PreviewDialog : public QDialog {
  Q_OBJECT

 public:
  struct Sources {
    const RuleList& rules;
    FileSystem& files;
    std::function<std::string()> desktopFolder;
    // The files the user put back, which the cycles leave alone.
    std::function<const PutBackFiles*()> putBack;
  };
  PreviewDialog(Sources sources, QWidget* parent);

  // Lists the desktop again and judges it.
  void Refresh();

 private:
  void ShowWhy();

  Sources sources_;
  std::optional<DesktopListing> listing_;
  QTreeWidget* view_ = nullptr;
  QPlainTextEdit* why_ = nullptr;
};

}  // namespace veskora
