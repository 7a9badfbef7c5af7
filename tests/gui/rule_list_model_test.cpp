// The Qt model over the rule list and the selection shared with the view.
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QtTest>

#include "rules/rule_list.h"
#include "rules/rule_list_ops.h"
#include "shell/rule_list_model.h"
#include "shell/rule_list_view.h"
#include "shell/rule_selection_model.h"

using namespace veskora;

namespace {

void AddFive(RuleList& rules) {
  for (int i = 1; i <= 5; ++i) {
    AddRuleItem(rules, i % 2 == 1, 1, "r" + std::to_string(i), "/dest/" + std::to_string(i));
  }
}

// A view over the model with the shared selection, shown so clicks land.
struct ShownList {
  explicit ShownList(RuleListModel& model) {
    view.setModel(&model);
    view.setSelectionModel(new RuleSelectionModel(&model, &model));
    view.resize(400, 300);
    view.show();
  }
  int SelectedRow() const {
    const QModelIndexList rows = view.selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
  }
  RuleListView view;
};

}  // namespace

class RuleListModelTest : public QObject {
  Q_OBJECT

 private slots:
  void followsEveryChangeOfTheList() {
    RuleList rules;
    RuleListModel model(rules);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    AddFive(rules);
    QCOMPARE(model.rowCount(), 5);
    QCOMPARE(inserted.count(), 5);
    SwapRuleItems(rules, 2, 4);
    QCOMPARE(model.data(model.index(1, 0)).toString(), QStringLiteral("ファイル名に\"r4\"が含まれる"));
    QCOMPARE(model.data(model.index(3, 1)).toString(), QStringLiteral("/dest/2"));
    QVERIFY(changed.count() > 0);
    rules.Remove(1);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(model.rowCount(), 4);
    rules.Clear();
    QCOMPARE(model.rowCount(), 0);
  }

  void showsTwoColumnsWithACheckBoxInTheFirst() {
    RuleList rules;
    RuleListModel model(rules);
    AddRuleItem(rules, true, 2, "jpg", "/photos");
    AddRuleItem(rules, false, 1, "memo", "(移動を禁止する)");

    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("移動条件"));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("移動先フォルダ"));
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("拡張子が\"jpg\""));
    QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("/photos"));
    QCOMPARE(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(model.data(model.index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(!model.data(model.index(0, 1), Qt::CheckStateRole).isValid());
    QVERIFY(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(!model.flags(model.index(0, 1)).testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(!model.flags(model.index(0, 0)).testFlag(Qt::ItemIsEditable));
    QCOMPARE(model.rowCount(model.index(0, 0)), 0);
    QVERIFY(!model.index(2, 0).isValid());
  }

  void aTickChangesOnlyThatRowsCheckBox() {
    RuleList rules;
    RuleListModel model(rules);
    AddFive(rules);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    QVERIFY(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(!rules.Row(1).checked);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed[0][0].toModelIndex(), model.index(0, 0));
    QCOMPARE(changed[0][2].value<QList<int>>(), QList<int>{Qt::CheckStateRole});

    // Nothing else can be changed through the model.
    QVERIFY(!model.setData(model.index(1, 0), QStringLiteral("x"), Qt::EditRole));
    QVERIFY(!model.setData(model.index(1, 1), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(rules.Row(2).text, std::string("ファイル名に\"r2\"が含まれる"));
    QVERIFY(!rules.Row(2).checked);

    // A click on the box in the view ticks it.
    ShownList list(model);
    QStyleOptionViewItem option;
    option.initFrom(&list.view);
    option.rect = list.view.visualRect(model.index(1, 0));
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = list.view.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &list.view);
    QTest::mouseClick(list.view.viewport(), Qt::LeftButton, {}, box.center());
    QVERIFY(rules.Row(2).checked);
  }

  void theSelectionIsOneForTheViewAndTheList() {
    RuleList rules;
    RuleListModel model(rules);
    AddFive(rules);
    ShownList list(model);
    QCOMPARE(list.SelectedRow(), -1);

    QTest::mouseClick(list.view.viewport(), Qt::LeftButton, {}, list.view.visualRect(model.index(2, 1)).center());
    QCOMPARE(rules.Selected(), 3);
    QCOMPARE(list.SelectedRow(), 2);

    // Up, down and delete through the window: tests/gui/form1_commands_test.cpp.
    rules.Select(5);
    QCOMPARE(list.SelectedRow(), 4);
    // A row removed above the selection: both follow the selected rule.
    rules.Remove(1);
    QCOMPARE(rules.Selected(), 4);
    QCOMPARE(list.SelectedRow(), 3);

    // Single selection: a second click replaces the first.
    QTest::mouseClick(list.view.viewport(), Qt::LeftButton, {}, list.view.visualRect(model.index(0, 1)).center());
    QTest::mouseClick(list.view.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list.view.visualRect(model.index(1, 1)).center());
    QCOMPARE(list.view.selectionModel()->selectedRows().size(), 1);
    QCOMPARE(rules.Selected(), 2);
  }
};

QTEST_MAIN(RuleListModelTest)
#include "rule_list_model_test.moc"
