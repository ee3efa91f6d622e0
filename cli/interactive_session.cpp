#include "cli/interactive_session.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>

#include "cli/cli_run.h"
#include "cli/error_text.h"
#include "cli/line_editor.h"
#include "cli/shared_history.h"

namespace {

// The shared history of one session; off when sharing is off or failed.
struct SessionHistory {
  bool sharing = false;
  bool warned = false;  // a failure to save has been said
  SharedHistoryPlace place{};
  TerminalHistory entries;
};

// Writes "quillo-cli: history: <why>" after what out holds.
void WarnAboutHistory(OutputBuffer& out, std::FILE* errors, const std::string& why) {
  FlushOutput(out);
  WriteErrorText(errors, "quillo-cli: history: " + why + "\n");
}

void OpenHistory(const CliOptions& options, SessionHistory& history, OutputBuffer& out, std::FILE* errors) {
  if (options.noHistory) return;
  std::string why;
  history.sharing = LocateSharedHistory(history.place, why);
  if (!history.sharing) {
    WarnAboutHistory(out, errors, why + "; this session keeps its lines to itself");
    return;
  }
  LoadSharedHistory(history.place, history.entries);
}

// Adds text to the recall and, when sharing, to the window's history; a
// failed save is said once, and what was not saved goes with the next.
void KeepTypedLine(SessionHistory& history, const std::string& text, OutputBuffer& out, std::FILE* errors) {
  RecallLater(text);
  if (!history.sharing) return;
  std::string why;
  if (!AddToSharedHistory(history.place, history.entries, text, kTerminalLockPatienceMilliseconds, why) &&
      !history.warned) {
    WarnAboutHistory(out, errors, why);
    history.warned = true;
  }
}

bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

int RunTerminalSession(const CliOptions& options, const MessageTexts& messages, ByteSource input,
                       OutputBuffer& out, std::FILE* errors) {
  static SessionHistory history;
  OpenHistory(options, history, out, errors);
  if (!StartLineEditor(history.entries.OldestFirst(), kSessionRecallLimit)) {
    return RunCalculations(options, messages, input, out, errors);
  }
  StartCalculations(options);
  bool allCalculated = true;
  ReadOutcome outcome = ReadOutcome::End;
  TypedLine line;
  while (FlushOutput(out) && (outcome = ReadTypedLine(line)) == ReadOutcome::Line) {
    // An empty Enter asks for nothing: the prompt comes again.
    if (line.kind == LineKind::Text && IsBlank(line.text)) continue;
    allCalculated = CalculateLine(options, messages, {line.kind, line.text}, out) && allCalculated;
    PutChar(out, '\n');
    // The result is on the screen before the history waits for the file.
    if (!FlushOutput(out)) break;
    if (line.kind == LineKind::Text) KeepTypedLine(history, line.text, out, errors);
  }
  StopLineEditor();
  if (out.error != 0) {
    ReportIoError(errors, IoFailure::Write, out.error);
    return kExitIoError;
  }
  if (outcome == ReadOutcome::Failed) {
    ReportIoError(errors, IoFailure::Read, errno);
    return kExitIoError;
  }
  return allCalculated ? kExitAllCalculated : kExitSomeFailed;
}
