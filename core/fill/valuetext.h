#pragma once

#include <QString>

#include <optional>

// What a typed value may hold, as the formats it is written into see it.
// A value comes from an entry box, a data set, --set or a quoted CSV field,
// so it may hold line breaks and control characters.
namespace ValueText {

// The first character of `value` that no XML document can hold: a control
// character other than tab, line feed and carriage return, U+FFFE, U+FFFF,
// or half of a surrogate pair. Written raw, it makes the whole file
// unreadable; nothing when the value has none.
std::optional<char32_t> firstUnfitForXml(const QString &value);

// The problem's text for such a value, e.g. "The value of the field City
// holds a character that documents cannot hold (U+FFFE)"; `holders` is
// "documents" or "workbooks". Without a field: "The value holds ...".
QString unfitCharacterText(const QString &field, char32_t character, const QString &holders);

// The value with each CR LF and each lone CR turned into LF, the one line
// break that cells and the XML writers know.
QString withLineFeeds(const QString &value);

} // namespace ValueText
