#include "window/form1.h"

#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <algorithm>

#include "mover/rest_gate.h"
#include "ports/desktop_handoff.h"
#include "ports/dialogs.h"
#include "rules/rule_file.h"
#include "rules/rule_list_ops.h"
#include "session/app_settings.h"
#include "window/app_icon.h"
#include "window/button_pictures.h"
#include "window/editor/rule_editor.h"
#include "window/elided_label.h"
#include "window/list_label.h"
#include "window/move_notices.h"
#include "window/picture_button.h"
#include "window/rule_list_model.h"
#include "window/rule_list_view.h"
#include "window/rule_selection_model.h"
#include "window/twips.h"
#include "window/window_layout.h"

namespace veskora {

namespace {

const QString kCaption = QStringLiteral("VESKORA");
constexpr int kTimerIntervalMs = 2000;

Qt::WindowStates StateFlags(int state) {
  switch (state) {
    case 1:
      return Qt::WindowMinimized;
    case 2:
      return Qt::WindowMaximized;
    default:
      return Qt::WindowNoState;
  }
}

}  // namespace

Form1::Form1(const ShellServices& services, const std::string& dataFolder, QWidget* parent)
    : QMainWindow(parent),
      services_(services),
      log_(services.dataFiles, dataFolder + "/veskora.log", services.clock,
           [this](const std::string& line) { monitor->SetFullText(QString::fromStdString(line)); }),
      book_(services.dataFiles, dataFolder + "/ZUL.dat",
            [this](const std::string& backupPath) { ShowOriginalKept(backupPath); }),
      gate_(services.watch, services.clock),
      sample_(services.files, services.desktopFolder) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(kCaption);
  setWindowIcon(MakeAppIcon());
  QPalette background = palette();
  background.setColor(QPalette::Window, QColor(224, 224, 224));
  setPalette(background);
  BuildControls();
  menus_ = BuildMainMenus(*this);
  WireCommands();
  if (services_.journal) putBack_.emplace(services_.dataFiles, services_.journal->Path());
}

Form1::~Form1() {
  // The views and the editor refer to book_, a member that dies before the
  // base class deletes its children: take them down first.
  delete takeCentralWidget();
  delete model_;
  services_.tray.OnClick(nullptr);
}

void Form1::BuildControls() {
  auto* client = new QWidget(this);
  setCentralWidget(client);

  model_ = new RuleListModel(book_, this);
  ListView1 = new RuleListView(client);
  ListView1->setModel(model_);
  QItemSelectionModel* defaultSelection = ListView1->selectionModel();
  ListView1->setSelectionModel(new RuleSelectionModel(model_, model_));
  delete defaultSelection;

  // Drawn first so the editor panel covers it while the panel is shown.
  Command0 = new PictureButton(QStringLiteral("Command0"), &PaintAddRulePicture, client);
  Command5 = new PictureButton(QStringLiteral("Command5"), &PaintToTrayPicture, client);
  Command5->setToolTip(QStringLiteral("タスクトレイに収納"));
  // The bottom row is reached by Tab and pressed by Space; Command0 has its
  // menu entries.
  Command5->setFocusPolicy(Qt::TabFocus);
  Command2 = new PictureButton(QStringLiteral("Command2"), &PaintClockPicture, client);
  Command2->setToolTip(QStringLiteral("移動ログを開く"));
  Command2->setFocusPolicy(Qt::TabFocus);

  monitor = new ElidedLabel(QStringLiteral("\u3000\u3000\u3000"), Qt::ElideRight, client);
  monitor->setObjectName(QStringLiteral("monitor"));

  waiting = new ListLabel(QStringLiteral("waiting"), client);
  waiting->hide();

  Frame1 = new RuleEditor(book_, services_.dialogs, services_.clock, sample_, client);
  Frame1->raise();
  layout_ = {this,
             client,
             ListView1,
             Frame1,
             Command0,
             Command2,
             Command5,
             Frame1->findChild<QWidget*>(QStringLiteral("Command3")),
             Frame1->findChild<QWidget*>(QStringLiteral("Command4")),
             Frame1->findChild<QWidget*>(QStringLiteral("Label1")),
             monitor,
             waiting};
  client->installEventFilter(this);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(kTimerIntervalMs);
  notices_ = new MoveNotices(services_.notifier, this);
}

void Form1::WireCommands() {
  const MainMenus& m = menus_;
  connect(Command0, &QAbstractButton::clicked, Frame1, &RuleEditor::OpenForNewRule);
  connect(m.mlnew, &QAction::triggered, Frame1, &RuleEditor::OpenForNewRule);
  connect(m.m2new, &QAction::triggered, Frame1, &RuleEditor::OpenForNewRule);
  connect(m.mledit, &QAction::triggered, this, &Form1::MleditClick);
  // From the keyboard the editor takes the focus, so that Enter and Escape
  // reach it next.
  connect(ListView1, &RuleListView::editRequested, this, [this](bool byKey) {
    MleditClick();
    if (byKey && Frame1->isVisible()) Frame1->findChild<QWidget*>(QStringLiteral("Combo1"))->setFocus();
  });
  connect(Frame1, &RuleEditor::ruleListFocusRequested, ListView1, qOverload<>(&QWidget::setFocus));
  connect(Frame1, &RuleEditor::changingRuleChanged, model_, &RuleListModel::Mark);

  connect(m.mlfopen, &QAction::triggered, this, &Form1::OpenSelectedRuleFolder);
  connect(m.mlup, &QAction::triggered, this, [this] { book_.MoveSelectedUp(); });
  connect(m.mldown, &QAction::triggered, this, [this] { book_.MoveSelectedDown(); });
  connect(m.mldel, &QAction::triggered, this, &Form1::DeleteSelectedRuleAfterQuestion);
  connect(ListView1, &RuleListView::menuRequested, m.mlmenu, [this](const QPoint& at) { menus_.mlmenu->popup(at); });
  // The list's keys run the popup's own entries.
  connect(ListView1, &RuleListView::deleteRequested, m.mldel, &QAction::trigger);
  connect(ListView1, &RuleListView::moveUpRequested, m.mlup, &QAction::trigger);
  connect(ListView1, &RuleListView::moveDownRequested, m.mldown, &QAction::trigger);
  // F10 opens the first menu, as on other desktops; the entries keep their
  // captions, without shortcut texts.
  connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
          [this] { menuBar()->setActiveAction(menus_.m1menu->menuAction()); });

  connect(m.ttopen, &QAction::triggered, this, &Form1::RestoreFromTray);
  connect(m.ttend, &QAction::triggered, this, &Form1::EndProgram);
  connect(m.ttundo, &QAction::triggered, this, [this] { PutBack(notices_->Latest()); });
  connect(notices_, &MoveNotices::undoRequested, this, &Form1::PutBack);
  connect(notices_, &MoveNotices::historyRequested, this, &Form1::ShowHistory);
  connect(m.m2history, &QAction::triggered, this, &Form1::ShowHistory);
  connect(m.m2preview, &QAction::triggered, this, &Form1::ShowPreview);
  connect(waiting, &ListLabel::listRequested, this,
          [this](const QString& list) { services_.dialogs.Inform(this, list, Dialogs::Icon::kNone); });
  connect(m.m2notify, &QAction::triggered, this, [this](bool on) {
    notices_->SetShown(on);
    WriteNotify(services_.settings, on);
  });
  connect(m.tthistory, &QAction::triggered, this, &Form1::ShowHistory);
  connect(m.m1mini, &QAction::triggered, this, &Form1::PutIntoTray);
  connect(Command5, &QAbstractButton::clicked, this, &Form1::PutIntoTray);
  connect(m.m1end, &QAction::triggered, this, &Form1::ConfirmEnd);

  connect(m.m2mauto, &QAction::triggered, this, &Form1::SwitchAutomove);
  connect(m.m2mexec, &QAction::triggered, this, [this] {
    gate_.Wake();
    Timer1Tick();
  });
  // The desktop's events cannot show a change of the rules; what the list
  // only shows about them (a mark, the files waiting) is none.
  const auto wake = [this] { gate_.Wake(); };
  connect(model_, &QAbstractItemModel::rowsInserted, this, wake);
  connect(model_, &QAbstractItemModel::rowsRemoved, this, wake);
  connect(model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
            const QList<int> shownOnly{Qt::FontRole, Qt::DecorationRole, Qt::ToolTipRole};
            if (roles.isEmpty() ||
                std::any_of(roles.begin(), roles.end(), [&](int role) { return !shownOnly.contains(role); })) {
              gate_.Wake();
            }
          });
  connect(Timer1, &QTimer::timeout, this, &Form1::Timer1Tick);
  connect(Command2, &QAbstractButton::clicked, this, &Form1::Command2Click);
  connect(m.m2log, &QAction::triggered, this, &Form1::Command2Click);
  connect(m.m2about, &QAction::triggered, this, &Form1::ShowAbout);

  services_.tray.OnClick([this](Tray::Click click) { TrayClicked(click); });
}

void Form1::Load() {
  services_.tray.SetVisible(true);

  const AppSettings saved = ReadAppSettings(services_.settings);
  const TwipsScale twips(*this);
  RestoreOuterSize(QSize(twips.X(saved.width), twips.Y(saved.height)));
  setWindowState(StateFlags(saved.state));

  menus_.m2mauto->setChecked(saved.automove);
  menus_.m2notify->setChecked(saved.notify);
  notices_->SetShown(saved.notify);
  if (menus_.m2mauto->isChecked()) {
    Timer1->start();
  } else {
    Timer1->stop();
  }
  ShowAutomoveInTray();

  book_.Load();

  const bool intoTray = (windowState() & Qt::WindowMinimized) && services_.trayAvailable();
  if (!intoTray) setVisible(true);
}

void Form1::EndProgram() {
  if (unloaded_) return;
  Unload();
  emit ended();
}

void Form1::Unload() {
  unloaded_ = true;
  Timer1->stop();
  book_.Save();
  const TwipsScale twips(*this);
  AppSettings now;
  now.width = twips.TwipsX(OuterSize(*this).width());
  now.height = twips.TwipsY(OuterSize(*this).height());
  now.state = StateNumber();
  now.automove = menus_.m2mauto->isChecked();
  WriteAppSettings(services_.settings, now);
  services_.tray.SetVisible(false);
}

void Form1::ShowOriginalKept(const std::string& backupPath) {
  const LocalTime now = services_.clock.Now();
  monitor->SetFullText(QStringLiteral("[%1] 移動条件ファイルの元の内容を %2 に残しました")
                           .arg(QString::fromStdString(FormatLogTime(now)), QString::fromStdString(backupPath)));
}

int Form1::StateNumber() const {
  if (windowState() & Qt::WindowMinimized) return 1;
  if (windowState() & Qt::WindowMaximized) return 2;
  return 0;
}

void Form1::closeEvent(QCloseEvent* event) {
  event->accept();
  EndProgram();
}

void Form1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) OnResizeNotification();
}

void Form1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  CorrectRestoredSizeForFrame();
  OnResizeNotification();
}

void Form1::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  CorrectRestoredSizeForFrame();
}

void Form1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  CorrectRestoredSizeForFrame();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == layout_.client && event->type() == QEvent::Resize) OnResizeNotification();
  return QMainWindow::eventFilter(watched, event);
}

void Form1::OnResizeNotification() {
  if (windowState() & Qt::WindowMinimized) {
    ListView1->setVisible(false);
    // Without a tray a hidden window could never come back: it stays in the
    // task bar instead.
    if (services_.trayAvailable()) setVisible(false);
    return;
  }
  LayOutMainWindow(layout_);
}

void Form1::RestoreOuterSize(const QSize& outer) {
  restoringOuterSize_ = outer;
  frameUsedForRestore_ = frameGeometry().size() - size();
  SetOuterSize(*this, outer);
  if (!frameUsedForRestore_.isNull()) restoringOuterSize_.reset();
}

// The size saved is the outer one, but before the window is mapped the frame
// is usually unknown and the restored size went to the inside: correct it
// once, as soon as the frame shows up.
void Form1::CorrectRestoredSizeForFrame() {
  if (!restoringOuterSize_) return;
  if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
    restoringOuterSize_.reset();
    return;
  }
  const QSize frame = frameGeometry().size() - size();
  if (frame == frameUsedForRestore_) return;
  const QSize outer = *restoringOuterSize_;
  restoringOuterSize_.reset();
  SetOuterSize(*this, outer);
}

void Form1::Command2Click() {
  // Opened even when the file could not be created: the desktop then says so
  // itself, and the program goes on either way.
  log_.Touch();
  const QString path = QString::fromStdString(log_.Path());
  if (!services_.handoff.OpenFile(path)) ReportFailedHandoff(QStringLiteral("ファイルを開けませんでした: ") + path);
}

void Form1::MleditClick() { Frame1->EditSelectedRule(); }

void Form1::DeleteSelectedRuleAfterQuestion() {
  if (!services_.dialogs.AskYesNo(this, QStringLiteral("選択中の移動条件を削除します。よろしいですか？"))) return;
  book_.DeleteSelected();
}

void Form1::OpenSelectedRuleFolder() {
  if (const std::optional<std::string> folder = SelectedRuleFolder(book_.Rules())) {
    const QString path = QString::fromStdString(*folder);
    if (!services_.handoff.OpenFolder(path)) ReportFailedHandoff(QStringLiteral("フォルダを開けませんでした: ") + path);
  }
}

// Without a file manager or xdg-open nothing would happen at all: say so.
void Form1::ReportFailedHandoff(const QString& text) { services_.dialogs.Inform(this, text, Dialogs::Icon::kNone); }

void Form1::ConfirmEnd() {
  if (services_.dialogs.AskYesNo(this, kCaption + QStringLiteral("を終了してもよろしいですか？"))) EndProgram();
}

void Form1::ShowAbout() {
  services_.dialogs.Inform(this, QStringLiteral("VESKORA  ver.1\r\n\r\n制作: VESKORA 開発チーム"),
                           Dialogs::Icon::kNone);
}

void Form1::PutIntoTray() { setWindowState(Qt::WindowMinimized); }

void Form1::RestoreFromTray() {
  setWindowState(Qt::WindowNoState);
  setVisible(true);
  activateWindow();
  raise();
}

void Form1::BringForward() {
  if (windowState() & Qt::WindowMinimized) setWindowState(windowState() & ~Qt::WindowMinimized);
  setVisible(true);
  raise();
  activateWindow();
}

void Form1::TrayClicked(Tray::Click click) {
  if (click == Tray::Click::kPrimary) {
    RestoreFromTray();
  } else if (click == Tray::Click::kContext && (windowState() & Qt::WindowMinimized)) {
    menus_.ttmenu->popup(QCursor::pos());
  }
}

}  // namespace veskora
