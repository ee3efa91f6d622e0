#pragma once
// The engine's RPN trace as Qt log messages in the category "quillo.rpn",
// silent unless enabled, e.g. QT_LOGGING_RULES="quillo.rpn.debug=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcQuilloRpn)

// The trace sink: gathers the pieces and logs one message per line.
void LogRpnTracePiece(const char* text);
