#pragma once
// Ending the program from outside while the window is open: SIGTERM, SIGHUP
// or SIGINT (kill, shutdown, a closed terminal, Ctrl+C in the terminal that
// started it) ends it as the close box does,
// and the end of the desktop session saves, so the history is never lost.

#include <QObject>

class MainDialog;
class QSocketNotifier;

class SessionEndWatcher : public QObject {
 public:
  // Watches while it exists; one watcher at a time.
  explicit SessionEndWatcher(MainDialog& dialog);
  ~SessionEndWatcher() override;
  SessionEndWatcher(const SessionEndWatcher&) = delete;
  SessionEndWatcher& operator=(const SessionEndWatcher&) = delete;

 private:
  void OnSignalPipeReadable();

  MainDialog& dialog_;
  QSocketNotifier* notifier_ = nullptr;
};
