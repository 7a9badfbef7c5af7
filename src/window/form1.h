#pragma once

#include <QMainWindow>
#include <optional>
#include <string>

#include "mover/move_journal.h"
#include "mover/move_log.h"
#include "mover/put_back_watch.h"
#include "mover/rest_gate.h"
#include "mover/rule_matcher.h"
#include "ports/tray.h"
#include "window/editor/desktop_sample.h"
#include "window/main_menus.h"
#include "window/rule_book.h"
#include "window/shell_services.h"
#include "window/window_layout.h"

class QTimer;

namespace veskora {

class ElidedLabel;
class HistoryDialog;
class ListLabel;
class MoveNotices;
class PictureButton;
class PreviewDialog;
class RuleEditor;
class RuleListModel;
class RuleListView;

// The main window: the rule list, the editor panel, the picture buttons, the
// status label, the menus, the tray icon and Timer1, and the life of the
// program from its load handling to its shutdown.
class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  // dataFolder holds the rule file "ZUL.dat" and the move log "veskora.log".
  Form1(const ShellServices& services, const std::string& dataFolder, QWidget* parent = nullptr);
  ~Form1() override;

  // The load handling after the single-instance check, in this order: the
  // tray icon; width, height and state from the settings; the check mark of
  // m2mauto and Timer1; the rules. Then the window is shown, unless it comes
  // up in the tray.
  void Load();

 public slots:
  // Every way of ending comes here: the shutdown runs once (rules, width,
  // height, state, automove, tray icon), then ended() asks the program to end.
  void EndProgram();
  // Out of the tray or from behind other windows; a maximized window stays so.
  void BringForward();

 signals:
  void ended();

 protected:
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // The client area settles its size after the window's: the layout, which
  // places the bottom row from it, runs again then.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // A close request is never refused: it ends the program.
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void WireCommands();

  void Timer1Tick();
  // Puts the files of these moves back on the desktop, never replacing one.
  void PutBack(const std::vector<JournalRecord>& moves);
  void ShowHistory();
  void ShowPreview();
  // What the last cycle that ran left waiting: beside the status line, on
  // the rows that want the files, and in the tray's caption.
  void ShowWaiting(const CycleReport& report);
  void Command2Click();
  void MleditClick();
  void SwitchAutomove(bool on);
  void DeleteSelectedRuleAfterQuestion();
  void OpenSelectedRuleFolder();
  void ReportFailedHandoff(const QString& text);
  void ConfirmEnd();
  void ShowAbout();
  void PutIntoTray();
  void RestoreFromTray();
  void TrayClicked(Tray::Click click);
  // The tray icon says whether automatic moving is on, and how many files wait.
  void ShowAutomoveInTray();

  // Every change of size or state: hide into the tray when minimized, else
  // lay the window out.
  void OnResizeNotification();
  void RestoreOuterSize(const QSize& outer);
  void CorrectRestoredSizeForFrame();
  void Unload();
  // Says so in the status line when a save had to keep the rule file's
  // original aside first.
  void ShowOriginalKept(const std::string& backupPath);
  int StateNumber() const;

  ShellServices services_;
  MoveLog log_;
  // Every change of the rules reaches the rule file at once, so a crash or a
  // forced end loses no edit.
  RuleBook book_;
  std::optional<PutBackWatch> putBack_;
  MatcherCache matchers_;  // rebuilt only when the rules changed
  RestGate gate_;
  DesktopSample sample_;  // what the editor counts its rule against
  int waitingCount_ = 0;
  bool unloaded_ = false;
  // The outer size restored at start-up until the frame around the window is
  // known (the window manager adds it only once the window is mapped).
  std::optional<QSize> restoringOuterSize_;
  QSize frameUsedForRestore_;

  RuleListModel* model_ = nullptr;
  RuleListView* ListView1 = nullptr;
  RuleEditor* Frame1 = nullptr;
  PictureButton* Command0 = nullptr;
  PictureButton* Command2 = nullptr;
  PictureButton* Command5 = nullptr;
  ElidedLabel* monitor = nullptr;
  ListLabel* waiting = nullptr;
  QTimer* Timer1 = nullptr;
  MoveNotices* notices_ = nullptr;
  HistoryDialog* history_ = nullptr;  // made when first shown
  PreviewDialog* preview_ = nullptr;  // likewise
  MainMenus menus_;
  LayoutControls layout_;
};

}  // namespace veskora
