#pragma once

#include <QObject>
#include <atomic>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

namespace veskora {

// Turns Unix signals (SIGTERM at logout, SIGINT, SIGHUP) into a Qt signal on
// the GUI thread: the handler only writes the signal number into a socket
// pair, and a socket notifier reads it in the event loop. One watcher per
// process; the handlers are restored to their defaults when it goes.
class UnixSignalWatcher : public QObject {
  Q_OBJECT

 public:
  explicit UnixSignalWatcher(std::initializer_list<int> signalNumbers, QObject* parent = nullptr);
  ~UnixSignalWatcher() override;

  // False when the socket pair or a handler could not be set up (the signals
  // then keep their default action, which ends the process unsaved).
  bool IsWatching() const { return watching_; }

  // Set the moment a watched signal arrives, before the event loop hears of
  // it: work that holds up the event loop (a scan cycle, a long copy) asks it
  // to stop early, so that the program can end within a second.
  static const std::atomic<bool>& EndRequested();

 signals:
  void received(int signalNumber);

 private:
  void ReadPending();

  int fds_[2] = {-1, -1};
  std::vector<int> signals_;
  QSocketNotifier* notifier_ = nullptr;
  bool watching_ = false;
};

}  // namespace veskora
