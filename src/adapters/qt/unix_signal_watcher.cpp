#include "adapters/qt/unix_signal_watcher.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace veskora {

namespace {

// The one piece of state a signal handler can reach: it may call nothing but
// async-signal-safe functions and has no object to ask, so the write end of the
// socket pair has to live at file scope.
volatile sig_atomic_t writeFd = -1;
std::atomic<bool> endRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void OnSignal(int signalNumber) {
  const int savedErrno = errno;
  endRequested = true;
  const unsigned char byte = static_cast<unsigned char>(signalNumber);
  // A full socket means a signal is already waiting to be handled; one is
  // enough to end the program, so a failed write is left alone.
  [[maybe_unused]] const ssize_t written = ::write(writeFd, &byte, 1);
  errno = savedErrno;
}

}  // namespace

UnixSignalWatcher::UnixSignalWatcher(std::initializer_list<int> signalNumbers, QObject* parent) : QObject(parent) {
  if (writeFd != -1) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0) return;
  writeFd = fds_[0];

  notifier_ = new QSocketNotifier(fds_[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &UnixSignalWatcher::ReadPending);

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  watching_ = true;
  for (const int number : signalNumbers) {
    signals_.push_back(number);
    if (::sigaction(number, &action, nullptr) != 0) watching_ = false;
  }
}

UnixSignalWatcher::~UnixSignalWatcher() {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (const int number : signals_) ::sigaction(number, &action, nullptr);
  if (fds_[0] != -1) {
    writeFd = -1;
    ::close(fds_[0]);
    ::close(fds_[1]);
  }
}

const std::atomic<bool>& UnixSignalWatcher::EndRequested() { return endRequested; }

void UnixSignalWatcher::ReadPending() {
  unsigned char byte = 0;
  while (::read(fds_[1], &byte, 1) == 1) emit received(byte);
}

}  // namespace veskora
