#include "core/editor/modeledit.h"

#include <limits>
#include <optional>

namespace ModelEdit {

namespace {
template <class List>
bool swapEntries(List &list, qsizetype a, qsizetype b)
{
    if (a < 0 || b < 0 || a >= list.size() || b >= list.size())
        return false;
    list.swapItemsAt(a, b);
    return true;
}

bool swapInMode(ModelLists &model, Mode mode, qsizetype a, qsizetype b)
{
    switch (mode) {
    case Fields: return swapEntries(model.FieldNames, a, b);
    case Documents: return swapEntries(model.DocNames, a, b);
    case Spreadsheets:
        return swapEntries(model.SheetPaths, a, b) && swapEntries(model.SheetNumbers, a, b);
    }
    return false;
}
} // namespace

QStringList items(const ModelLists &model, Mode mode)
{
    switch (mode) {
    case Fields: return model.FieldNames;
    case Documents: return model.DocNames;
    case Spreadsheets: return model.SheetPaths;
    }
    return {};
}

qsizetype indexOfNoCase(const QStringList &list, const QString &text)
{
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list[i].compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool moveUp(ModelLists &model, Mode mode, qsizetype p) { return p > 0 && swapInMode(model, mode, p - 1, p); }

bool moveDown(ModelLists &model, Mode mode, qsizetype p) { return p >= 0 && swapInMode(model, mode, p, p + 1); }

bool removeAt(ModelLists &model, Mode mode, qsizetype p)
{
    switch (mode) {
    case Fields:
        if (p < 0 || p >= model.FieldNames.size())
            return false;
        model.FieldNames.removeAt(p);
        return true;
    case Documents:
        if (p < 0 || p >= model.DocNames.size())
            return false;
        model.DocNames.removeAt(p);
        return true;
    case Spreadsheets:
        if (p < 0 || p >= model.SheetPaths.size())
            return false;
        model.SheetPaths.removeAt(p);
        model.SheetNumbers.removeAt(p);
        return true;
    }
    return false;
}

qint64 leadingNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    qint64 value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > std::numeric_limits<qint32>::max())
            break; // far beyond any sheet number; no need to read on
    }
    return negative ? -value : value;
}

std::optional<qint16> sheetNumber(const QString &text)
{
    const qint64 v = leadingNumber(text);
    if (v < 1 || v > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(v);
}

bool splitPath(const QString &path, QString &folder, QString &fileName)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    if (cut < 0)
        return false;
    folder = path.left(cut + 1);
    fileName = path.mid(cut + 1);
    return true;
}

} // namespace ModelEdit
