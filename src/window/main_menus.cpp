#include "window/main_menus.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace veskora {

namespace {

QAction* Entry(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QLatin1String(name));
  return action;
}

void Separator(QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QLatin1String(name)); }

QMenu* Menu(QWidget* parent, const char* name, const QString& title) {
  auto* menu = new QMenu(title, parent);
  menu->setObjectName(QLatin1String(name));
  return menu;
}

}  // namespace

MainMenus BuildMainMenus(QMainWindow& window) {
  MainMenus m;

  m.mlmenu = Menu(&window, "mlmenu", QStringLiteral("mlmenu"));
  m.mlnew = Entry(m.mlmenu, "mlnew", QStringLiteral("新規移動条件を追加"));
  m.mlfopen = Entry(m.mlmenu, "mlfopen", QStringLiteral("移動先を開く"));
  Separator(m.mlmenu, "mlbar0");
  m.mledit = Entry(m.mlmenu, "mledit", QStringLiteral("変更"));
  m.mlup = Entry(m.mlmenu, "mlup", QStringLiteral("優先順位を上へ"));
  m.mldown = Entry(m.mlmenu, "mldown", QStringLiteral("優先順位を下へ"));
  Separator(m.mlmenu, "mlbar1");
  m.mldel = Entry(m.mlmenu, "mldel", QStringLiteral("削除"));

  m.ttmenu = Menu(&window, "ttmenu", QStringLiteral("ttmenu"));
  m.ttopen = Entry(m.ttmenu, "ttopen", QStringLiteral("開く"));
  m.ttundo = Entry(m.ttmenu, "ttundo", QStringLiteral("直前の移動を元に戻す"));
  m.tthistory = Entry(m.ttmenu, "tthistory", QStringLiteral("移動履歴を表示"));
  Separator(m.ttmenu, "ttbar0");
  m.ttend = Entry(m.ttmenu, "ttend", QStringLiteral("終了"));

  QMenuBar* bar = window.menuBar();
  m.m1menu = Menu(bar, "m1menu", QStringLiteral("ファイル"));
  m.m1mini = Entry(m.m1menu, "m1mini", QStringLiteral("タスクトレイに収納"));
  Separator(m.m1menu, "m1bar0");
  m.m1end = Entry(m.m1menu, "m1end", QStringLiteral("終了"));
  bar->addMenu(m.m1menu);

  m.m2menu = Menu(bar, "m2menu", QStringLiteral("移動"));
  m.m2mauto = Entry(m.m2menu, "m2mauto", QStringLiteral("移動を自動実行"));
  m.m2mauto->setCheckable(true);
  m.m2mexec = Entry(m.m2menu, "m2mexec", QStringLiteral("いますぐ移動を実行"));
  Separator(m.m2menu, "m2bar0");
  m.m2new = Entry(m.m2menu, "m2new", QStringLiteral("新規移動条件を追加"));
  Separator(m.m2menu, "m2bar1");
  m.m2log = Entry(m.m2menu, "m2log", QStringLiteral("移動ログを開く"));
  m.m2history = Entry(m.m2menu, "m2history", QStringLiteral("移動履歴を表示"));
  m.m2preview = Entry(m.m2menu, "m2preview", QStringLiteral("移動のプレビュー…"));
  m.m2notify = Entry(m.m2menu, "m2notify", QStringLiteral("移動したら通知する"));
  m.m2notify->setCheckable(true);
  bar->addMenu(m.m2menu);

  m.m2help = Menu(bar, "m2help", QStringLiteral("ヘルプ"));
  m.m2about = Entry(m.m2help, "m2about", QStringLiteral("バージョン情報"));
  bar->addMenu(m.m2help);

  return m;
}

}  // namespace veskora
