#include "ui/qt/session_end.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "ui/main_dialog.h"

namespace {

constexpr int kWatchedSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The signal handler may only write to a pipe; the event loop reads the other
// end and does the saving on the program's one thread.
int signalPipe[2] = {-1, -1};
struct sigaction previousActions[std::size(kWatchedSignals)];

extern "C" void OnTerminationSignal(int /*signal*/) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
}

}  // namespace

SessionEndWatcher::SessionEndWatcher(MainDialog& dialog) : dialog_(dialog) {
  connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { dialog_.OnSessionEnd(); });
  if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    return;  // no watching of signals: they end the program as by default
  }
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SessionEndWatcher::OnSignalPipeReadable);
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kWatchedSignals); ++i) {
    sigaction(kWatchedSignals[i], &action, &previousActions[i]);
  }
}

SessionEndWatcher::~SessionEndWatcher() {
  if (notifier_ == nullptr) {
    return;
  }
  for (std::size_t i = 0; i < std::size(kWatchedSignals); ++i) {
    sigaction(kWatchedSignals[i], &previousActions[i], nullptr);
  }
  notifier_->setEnabled(false);
  close(signalPipe[0]);
  close(signalPipe[1]);
  signalPipe[0] = signalPipe[1] = -1;
}

void SessionEndWatcher::OnSignalPipeReadable() {
  char bytes[16];
  while (read(signalPipe[0], bytes, sizeof bytes) > 0) {
  }
  dialog_.OnCloseRequest();
}
