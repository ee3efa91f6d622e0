#include "ui/qt/display_text.h"

#include <QByteArray>

#include <array>
#include <cstring>

#include "settings/text_encoding.h"

namespace {
// Every program text is below 1000 bytes; each byte becomes at most three.
constexpr std::size_t kDisplayCapacity = 3 * 1024 + 1;
}  // namespace

QString ToDisplayText(const char* text) {
  std::array<char, kDisplayCapacity> utf8;
  ConvertToDisplayText(text != nullptr ? text : "", utf8.data(), utf8.size());
  return QString::fromUtf8(utf8.data());
}

bool CopyUtf8(const QString& text, char* buffer, unsigned capacity) {
  if (capacity == 0) {
    return false;
  }
  const QByteArray bytes = text.toUtf8();
  std::size_t length = static_cast<std::size_t>(bytes.size());
  const bool fits = length < capacity;
  if (!fits) {
    length = capacity - 1;
    // Step back over continuation bytes so no character is split.
    while (length > 0 && (static_cast<unsigned char>(bytes[static_cast<qsizetype>(length)]) & 0xC0) == 0x80) {
      --length;
    }
  }
  std::memcpy(buffer, bytes.constData(), length);
  buffer[length] = '\0';
  return fits;
}
