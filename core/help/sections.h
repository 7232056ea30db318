#pragma once

#include <QString>

// The instruction file is one plain text; help topics are cut out of it
// between two marker phrases.
namespace Sections {

QString fallbackText();

// The whole instruction file of the app folder, or the fallback text when
// it is missing.
QString instructionText(const QString &appFolder);

// From the first occurrence of `startMarker` (kept) up to, not including,
// the first occurrence of `endMarker` after it. An empty or missing marker
// leaves that end uncut.
QString cut(const QString &text, const QString &startMarker, const QString &endMarker);

} // namespace Sections
