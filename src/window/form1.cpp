#include "window/form1.h"

#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QTimer>

#include "window/editor/rule_editor.h"
#include "mover/scan_cycle.h"
#include "ports/desktop_handoff.h"
#include "ports/dialogs.h"
#include "window/twips.h"
#include "rules/rule_file.h"
#include "rules/rule_list_ops.h"
#include "window/app_icon.h"
#include "session/app_settings.h"
#include "window/button_pictures.h"
#include "window/picture_button.h"
#include "window/rule_list_model.h"
#include "window/rule_list_view.h"
#include "window/rule_selection_model.h"
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
      ruleFile_(services.dataFiles, dataFolder + "/ZUL.dat"),
      log_(services.dataFiles, dataFolder + "/veskora.log", services.clock, [this](const std::string& line) {
        monitor->setText(QString::fromStdString(line));
        monitor->adjustSize();
      }) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(kCaption);
  setWindowIcon(MakeAppIcon());
  QPalette background = palette();
  background.setColor(QPalette::Window, QColor(224, 224, 224));
  setPalette(background);
  BuildControls();
  menus_ = BuildMainMenus(*this);
  WireCommands();
}

Form1::~Form1() {
  // The views and the editor refer to rules_, a member that dies before the
  // base class deletes its children: take them down first.
  delete takeCentralWidget();
  delete model_;
}

void Form1::BuildControls() {
  auto* client = new QWidget(this);
  setCentralWidget(client);

  model_ = new RuleListModel(rules_, this);
  ListView1 = new RuleListView(client);
  ListView1->setModel(model_);
  QItemSelectionModel* defaultSelection = ListView1->selectionModel();
  ListView1->setSelectionModel(new RuleSelectionModel(model_, model_));
  delete defaultSelection;

  // Drawn first so the editor panel covers it while the panel is shown.
  Command0 = new PictureButton(QStringLiteral("Command0"), &PaintAddRulePicture, client);
  Command5 = new PictureButton(QStringLiteral("Command5"), &PaintToTrayPicture, client);
  Command5->setToolTip(QStringLiteral("タスクトレイに収納"));
  Command2 = new PictureButton(QStringLiteral("Command2"), &PaintClockPicture, client);
  Command2->setToolTip(QStringLiteral("移動ログを開く"));

  monitor = new QLabel(QStringLiteral("\u3000\u3000\u3000"), client);
  monitor->setObjectName(QStringLiteral("monitor"));
  // It shows file names and folders: never read them as markup.
  monitor->setTextFormat(Qt::PlainText);
  monitor->adjustSize();

  Frame1 = new RuleEditor(rules_, services_.dialogs, services_.clock, client);
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
             monitor};
  client->installEventFilter(this);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(kTimerIntervalMs);

  trayIcon_ = new QSystemTrayIcon(windowIcon(), this);
  trayIcon_->setObjectName(QStringLiteral("trayIcon"));
  trayIcon_->setToolTip(kCaption);
}

void Form1::WireCommands() {
  const MainMenus& m = menus_;
  connect(Command0, &QAbstractButton::clicked, Frame1, &RuleEditor::OpenForNewRule);
  connect(m.mlnew, &QAction::triggered, Frame1, &RuleEditor::OpenForNewRule);
  connect(m.m2new, &QAction::triggered, Frame1, &RuleEditor::OpenForNewRule);
  connect(m.mledit, &QAction::triggered, this, &Form1::MleditClick);
  connect(ListView1, &RuleListView::doubleClickedAnywhere, this, &Form1::MleditClick);
  connect(Frame1, &RuleEditor::ruleListFocusRequested, ListView1, qOverload<>(&QWidget::setFocus));

  connect(m.mlfopen, &QAction::triggered, this, &Form1::OpenSelectedRuleFolder);
  connect(m.mlup, &QAction::triggered, this, [this] { MoveSelectedRuleUp(rules_); });
  connect(m.mldown, &QAction::triggered, this, [this] { MoveSelectedRuleDown(rules_); });
  connect(m.mldel, &QAction::triggered, this, &Form1::DeleteSelectedRuleAfterQuestion);
  connect(ListView1, &RuleListView::rightButtonPressed, m.mlmenu,
          [this](const QPoint& at) { menus_.mlmenu->popup(at); });

  connect(m.ttopen, &QAction::triggered, this, &Form1::RestoreFromTray);
  connect(m.ttend, &QAction::triggered, this, &Form1::EndProgram);
  connect(m.m1mini, &QAction::triggered, this, &Form1::PutIntoTray);
  connect(Command5, &QAbstractButton::clicked, this, &Form1::PutIntoTray);
  connect(m.m1end, &QAction::triggered, this, &Form1::ConfirmEnd);

  connect(m.m2mauto, &QAction::triggered, this, &Form1::SwitchAutomove);
  connect(m.m2mexec, &QAction::triggered, this, &Form1::Timer1Tick);
  connect(Timer1, &QTimer::timeout, this, &Form1::Timer1Tick);
  connect(Command2, &QAbstractButton::clicked, this, &Form1::Command2Click);
  connect(m.m2log, &QAction::triggered, this, &Form1::Command2Click);
  connect(m.m2about, &QAction::triggered, this, &Form1::ShowAbout);

  connect(trayIcon_, &QSystemTrayIcon::activated, this, &Form1::TrayActivated);
}

void Form1::Load() {
  trayIcon_->show();

  const AppSettings saved = ReadAppSettings(services_.settings);
  const TwipsScale twips(*this);
  RestoreOuterSize(QSize(twips.X(saved.width), twips.Y(saved.height)));
  setWindowState(StateFlags(saved.state));

  menus_.m2mauto->setChecked(saved.automove);
  if (menus_.m2mauto->isChecked()) {
    Timer1->start();
  } else {
    Timer1->stop();
  }

  // The outcome needs no answer here: a missing or unreadable file leaves the
  // list as far as it could be read, and the program goes on with that.
  ruleFile_.LoadRules(rules_);
  KeepRuleFileCurrent();

  const bool intoTray = (windowState() & Qt::WindowMinimized) && services_.trayAvailable();
  if (!intoTray) setVisible(true);
}

void Form1::KeepRuleFileCurrent() {
  connect(model_, &QAbstractItemModel::rowsInserted, this, &Form1::SaveRuleFile);
  connect(model_, &QAbstractItemModel::rowsRemoved, this, &Form1::SaveRuleFile);
  connect(model_, &QAbstractItemModel::dataChanged, this, &Form1::SaveRuleFile);
}

void Form1::EndProgram() {
  if (unloaded_) return;
  Unload();
  emit ended();
}

void Form1::Unload() {
  unloaded_ = true;
  Timer1->stop();
  SaveRuleFile();
  const TwipsScale twips(*this);
  AppSettings now;
  now.width = twips.TwipsX(OuterSize(*this).width());
  now.height = twips.TwipsY(OuterSize(*this).height());
  now.state = StateNumber();
  now.automove = menus_.m2mauto->isChecked();
  WriteAppSettings(services_.settings, now);
  trayIcon_->hide();
}

void Form1::SaveRuleFile() {
  // A failed save leaves the previous file whole; the list still holds the
  // edit, and the next change or the end of the program tries again.
  if (ruleFile_.SaveRules(rules_) != SaveOutcome::kSavedKeepingOriginal) return;
  const LocalTime now = services_.clock.Now();
  monitor->setText(QStringLiteral("[%1] 移動条件ファイルの元の内容を %2 に残しました")
                       .arg(QString::fromStdString(FormatLogTime(now)), QString::fromStdString(ruleFile_.BackupPath())));
  monitor->adjustSize();
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

void Form1::Timer1Tick() {
  RunScanCycle(rules_, matchers_.For(rules_),
               ScanEnvironment{services_.desktopFolder, &services_.files, &log_, services_.ending, services_.journal});
}

void Form1::Command2Click() {
  // Opened even when the file could not be created: the desktop then says so
  // itself, and the program goes on either way.
  log_.Touch();
  services_.handoff.OpenFile(QString::fromStdString(log_.Path()));
}

void Form1::MleditClick() { Frame1->EditSelectedRule(); }

void Form1::SwitchAutomove(bool on) {
  if (on) {
    Timer1->start();
  } else {
    Timer1->stop();
  }
  WriteAutomove(services_.settings, on);
}

void Form1::DeleteSelectedRuleAfterQuestion() {
  if (!services_.dialogs.AskYesNo(this, QStringLiteral("選択中の移動条件を削除します。よろしいですか？"))) return;
  DeleteSelectedRule(rules_);
}

void Form1::OpenSelectedRuleFolder() {
  if (const std::optional<std::string> folder = SelectedRuleFolder(rules_)) {
    services_.handoff.OpenFolder(QString::fromStdString(*folder));
  }
}

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

void Form1::TrayActivated(QSystemTrayIcon::ActivationReason reason) {
  if (reason == QSystemTrayIcon::Trigger) {
    RestoreFromTray();
  } else if (reason == QSystemTrayIcon::Context && (windowState() & Qt::WindowMinimized)) {
    menus_.ttmenu->popup(QCursor::pos());
  }
}

}  // namespace veskora
