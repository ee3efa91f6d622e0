#include "ui/qt/rpn_trace_log.h"

#include <cstddef>

Q_LOGGING_CATEGORY(lcQuilloRpn, "quillo.rpn", QtInfoMsg)

namespace {

// One trace line: the header holds the whole expression, below 1000 bytes.
constexpr std::size_t kTraceLineCapacity = 1024;
char pendingLine[kTraceLineCapacity];
std::size_t pendingLength = 0;

void FlushLine() {
  if (pendingLength > 0) {
    qCDebug(lcQuilloRpn, "%.*s", static_cast<int>(pendingLength), pendingLine);
    pendingLength = 0;
  }
}

}  // namespace

void LogRpnTracePiece(const char* text) {
  if (!lcQuilloRpn().isDebugEnabled()) {
    return;
  }
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '\n' || pendingLength == kTraceLineCapacity) {
      FlushLine();
    }
    if (*c != '\n') {
      pendingLine[pendingLength++] = *c;
    }
  }
}
