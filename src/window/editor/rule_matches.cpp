// Under the condition: the desktop files the rule being edited would decide.
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include "rules/move_rule.h"
#include "window/editor/desktop_sample.h"
#include "window/editor/rule_editor.h"
#include "window/editor/utf8_text.h"
#include "window/list_label.h"
#include "window/rule_book.h"

namespace veskora {

namespace {
// Long enough that typing a word judges once, short enough to feel at once.
constexpr int kTypingPauseMs = 250;
// A tooltip taller than the screen helps nobody.
constexpr std::size_t kNamesShown = 40;
}  // namespace

void RuleEditor::CountMatchesSoon() { matchTimer_->start(kTypingPauseMs); }

void RuleEditor::CountMatches() {
  const int kind = Combo1->currentIndex() + 1;
  QString missing;
  const std::optional<QString> value = kind > 0 ? ValueOf(kind, &missing) : std::nullopt;
  if (isHidden() || !value) {
    editorMatches->Show(QString(), {}, false);
    return;
  }
  const QString destination = Option2->isChecked() ? ToQString(kProtectMarker) : destination_;
  const MoveRule rule{kind, value->toStdString(), destination.toStdString()};
  const int position = changing_ ? book_.Find(*changing_) : 0;
  const std::vector<std::string> names = sample_.Decided(book_.Rules(), position, rule);
  QStringList list;
  for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i) list << QString::fromStdString(names[i]);
  if (names.size() > kNamesShown) list << QStringLiteral("ほか %1件").arg(names.size() - kNamesShown);
  editorMatches->Show(QStringLiteral("%1件のファイルが該当します").arg(names.size()), list, false);
}

}  // namespace veskora
