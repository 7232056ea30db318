#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Text files are written as UTF-8. Files from older installations or other
// systems may be in the Windows 8-bit code page, so reading falls back to
// Windows-1252 whenever the bytes are not valid UTF-8.
namespace Platform {

QString decodeText(const QByteArray &bytes);
QByteArray encodeText(const QString &text);

bool isValidUtf8(const QByteArray &bytes);
QString decodeWindows1252(const QByteArray &bytes);
// The Windows-1252 byte of a character, or nothing when the code page has
// no such character.
std::optional<char> toWindows1252(char32_t codePoint);

} // namespace Platform
