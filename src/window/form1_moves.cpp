// The main window's side of the moves: the timer's cycle and what it left
// waiting, putting moves back, and the windows that show the moves.
#include <QString>
#include <QStringList>
#include <QTimer>

#include "mover/scan_cycle.h"
#include "mover/undo_moves.h"
#include "mover/verdict_words.h"
#include "session/app_settings.h"
#include "window/form1.h"
#include "window/history_dialog.h"
#include "window/list_label.h"
#include "window/move_notices.h"
#include "window/preview_dialog.h"
#include "window/rule_list_model.h"

namespace veskora {

void Form1::Timer1Tick() {
  std::vector<JournalRecord> moved;
  const std::optional<CycleReport> report =
      RunTick(gate_, book_.Rules(), matchers_.For(book_.Rules()),
              ScanEnvironment{services_.desktopFolder, &services_.files, &log_, services_.ending, services_.journal,
                              [this] { return putBack_ ? &putBack_->Files(services_.files) : nullptr; }, &moved});
  notices_->Tell(std::move(moved));
  // A tick the gate kept at rest changed nothing: what the last cycle left stands.
  if (report) ShowWaiting(*report);
  if (history_ && history_->isVisible()) history_->Refresh();
}

void Form1::ShowWaiting(const CycleReport& report) {
  QStringList lines;
  std::vector<std::pair<MoveRule, QString>> rows;
  // The rules are those the cycle judged with: nothing changed them since.
  for (const WaitingFile& file : report.waiting) {
    const MoveRule& rule = book_.Rules().Row(file.row).rule;
    lines << QString::fromStdString(FileLine(file.name, file.outcome, file.row, rule, Language::kJapanese));
    rows.emplace_back(rule, QString::fromStdString(file.name) + QStringLiteral(" — ") +
                                QString::fromUtf8(OutcomeWords(file.outcome, Language::kJapanese)));
  }
  const int count = static_cast<int>(report.waiting.size());
  waiting->Show(count == 0 ? QString() : QStringLiteral("%1件のファイルが移動待ちです").arg(count), lines, true);
  model_->SetWaiting(std::move(rows));
  if (count != waitingCount_) {
    waitingCount_ = count;
    ShowAutomoveInTray();
    OnResizeNotification();  // the status line gives the label its room
  }
}

void Form1::PutBack(const std::vector<JournalRecord>& moves) {
  const std::string desktop = services_.desktopFolder ? services_.desktopFolder() : std::string();
  UndoMoves(moves, UndoContext{desktop, false, services_.files, &log_, services_.journal});
  if (history_ && history_->isVisible()) history_->Refresh();
}

void Form1::ShowHistory() {
  // Without a journal there is no history to show.
  if (!services_.journal) return;
  if (!history_) {
    history_ = new HistoryDialog(
        services_.dataFiles, services_.journal->Path(), services_.files, services_.handoff,
        [this](const std::vector<JournalRecord>& moves) { PutBack(moves); }, this);
  }
  history_->Refresh(true);
  history_->show();
  history_->raise();
  history_->activateWindow();
}

void Form1::ShowPreview() {
  if (!preview_) {
    preview_ = new PreviewDialog({book_.Rules(), services_.files, services_.desktopFolder,
                                  [this] { return putBack_ ? &putBack_->Files(services_.files) : nullptr; }},
                                 this);
  }
  preview_->Refresh();
  preview_->show();
  preview_->raise();
  preview_->activateWindow();
}

void Form1::SwitchAutomove(bool on) {
  gate_.Wake();
  if (on) {
    Timer1->start();
  } else {
    Timer1->stop();
  }
  ShowAutomoveInTray();
  WriteAutomove(services_.settings, on);
}

void Form1::ShowAutomoveInTray() {
  services_.tray.SetState(menus_.m2mauto->isChecked() ? Tray::State::kRunning : Tray::State::kPaused, waitingCount_);
}

}  // namespace veskora
