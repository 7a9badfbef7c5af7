#include "window/preview_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "mover/rule_matcher.h"
#include "mover/scan_cycle.h"
#include "mover/verdict_words.h"
#include "rules/rule_list.h"

namespace veskora {

PreviewDialog::PreviewDialog(Sources sources, QWidget* parent) : QDialog(parent), sources_(std::move(sources)) {
  setObjectName(QStringLiteral("previewDialog"));
  setWindowTitle(QStringLiteral("移動のプレビュー"));
  view_ = new QTreeWidget(this);
  view_->setObjectName(QStringLiteral("previewView"));
  view_->setRootIsDecorated(false);
  view_->setHeaderLabels(
      {QStringLiteral("ファイル名"), QStringLiteral("結果"), QStringLiteral("移動条件"), QStringLiteral("移動先")});
  view_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  why_ = new QPlainTextEdit(this);
  why_->setObjectName(QStringLiteral("previewWhy"));
  why_->setReadOnly(true);
  why_->setPlaceholderText(QStringLiteral("ファイルを選ぶと、移動する・しない理由を表示します"));
  auto* refresh = new QPushButton(QStringLiteral("最新の状態に更新"), this);
  refresh->setObjectName(QStringLiteral("previewRefresh"));
  auto* close = new QPushButton(QStringLiteral("閉じる"), this);
  connect(refresh, &QPushButton::clicked, this, &PreviewDialog::Refresh);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  connect(view_, &QTreeWidget::currentItemChanged, this, &PreviewDialog::ShowWhy);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(refresh);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_, 3);
  layout->addWidget(why_, 2);
  layout->addLayout(buttons);
  resize(760, 480);
}

void PreviewDialog::Refresh() {
  view_->clear();
  why_->clear();
  listing_ = ScanDesktop(ScanEnvironment{sources_.desktopFolder, &sources_.files});
  if (!listing_) {
    why_->setPlainText(QStringLiteral("デスクトップのフォルダを読み取れません"));
    return;
  }
  const RuleList& rules = sources_.rules;
  const RuleMatcher matcher(rules);
  for (const JudgedFile& file : JudgeListing(*listing_, {rules, matcher, sources_.files, sources_.putBack()})) {
    const MoveRule& rule = rules.Row(file.row).rule;
    auto* item =
        new QTreeWidgetItem({QString::fromStdString(listing_->entries[file.index].name),
                             QString::fromUtf8(OutcomeWords(file.outcome, Language::kJapanese)),
                             QString::fromStdString(RowName(file.row, rule, Language::kJapanese)),
                             QString::fromStdString(rule.destination)});
    // By its place in the listing: a name that is no UTF-8 would not come back from its text.
    item->setData(0, Qt::UserRole, static_cast<qulonglong>(file.index));
    view_->addTopLevelItem(item);
  }
  if (view_->topLevelItemCount() == 0) {
    why_->setPlainText(QStringLiteral("移動条件に該当するファイルはありません"));
    return;
  }
  // Selected, not only current: the keyboard's place shows, and its why with it.
  view_->setCurrentItem(view_->topLevelItem(0));
}

void PreviewDialog::ShowWhy() {
  const QTreeWidgetItem* item = view_->currentItem();
  if (!item || !listing_) return;
  const RuleList& rules = sources_.rules;
  const RuleMatcher matcher(rules);
  const std::string& name = listing_->entries[item->data(0, Qt::UserRole).toULongLong()].name;
  const FileExplanation why = ExplainFile(*listing_, name, {rules, matcher, sources_.files, sources_.putBack()});
  why_->setPlainText(QString::fromStdString(Explanation(why, rules, Language::kJapanese)));
}

}  // namespace veskora
