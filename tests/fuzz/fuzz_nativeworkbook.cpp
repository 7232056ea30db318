// Our own .xlsx/.ods engine: any bytes (a zip file, or parts stored into
// one) are opened as an .xlsx and as an .ods workbook; the marker line of
// sheet 1 is filled as a fill run does, the workbook saved and opened
// again, and, when every XML part was well-formed, every cell the fill
// wrote must read back as written.

#include "fuzzsupport.h"
#include "partspackage.h"
#include "sheetrecording.h"

#include "core/fill/fillrun.h"
#include "core/fill/nativeworkbook.h"
#include "core/fill/sheetfill.h"
#include "core/fill/zippackage.h"

#include <QMap>

#include <memory>

namespace {
// Values an XML writer must escape, keep the spaces of, or break lines in.
const char *const kValues[] = {"a < b & c > d", " lead", "tail  ", "two\nlines", "caf\xc3\xa9 \xe2\x82\xac",
                               "&Name&", "x]]>y", "\tTab", "", "  ", "=1+2", "plain"};

bool allPartsWellFormed(const QString &path)
{
    Zip::Package package;
    if (!package.open(path))
        return false;
    for (const QString &name : package.entryNames()) {
        QByteArray bytes;
        if ((name.endsWith(QStringLiteral(".xml")) || name.endsWith(QStringLiteral(".rels")))
            && (!package.read(name, &bytes) || !Fuzz::wellFormedXml(bytes)))
            return false;
    }
    return true;
}

void fillAndReread(const QString &source, const QString &extension, size_t size)
{
    QMap<QPair<int, int>, QString> written;
    const QString saved = Fuzz::scratchFolder() + QStringLiteral("Saved") + extension;
    Native::Application application;
    const auto fill = [&]() -> Status {
        const Result<std::unique_ptr<Sheets::Workbook>> book = application.open(source);
        if (!book)
            return book.failure();
        const QStringList fieldNames{QStringLiteral("Name"), QStringLiteral("City"), QStringLiteral("Amount"),
                                     QStringLiteral("Phone"), QStringLiteral("A")};
        auto value = [size](int j) {
            return QString::fromUtf8(kValues[(j + static_cast<int>(size)) % std::size(kValues)]);
        };
        const Status filled = Fuzz::fillFirstSheet(**book, fieldNames, value,
                                                   [&written](int row, int column, const QString &text) {
                                                       written.insert({row, column}, text);
                                                   });
        if (!filled)
            return filled;
        return (*book)->saveAs(saved);
    };
    if (!fill())
        return; // refused, nothing saved
    if (!allPartsWellFormed(source))
        return;
    const auto reread = [&]() -> Status {
        const Result<std::unique_ptr<Sheets::Workbook>> again = application.open(saved);
        if (!again)
            return again.failure();
        const Result<Sheets::Worksheet *> sheet = (*again)->worksheet(1);
        if (!sheet)
            return sheet.failure();
        for (auto it = written.cbegin(); it != written.cend(); ++it) {
            const Result<QString> text = (*sheet)->cellText(it.key().first, it.key().second);
            if (!text)
                return text.failure();
            FUZZ_CHECK(*text == it.value());
        }
        return {};
    };
    if (const Status checked = reread(); !checked) {
        std::fprintf(stderr, "%s\n", qPrintable(checked.error()));
        Fuzz::fail("the engine refused a workbook it had saved");
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::packageBytes(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    for (const QString &extension : {QStringLiteral(".xlsx"), QStringLiteral(".ods")})
        fillAndReread(Fuzz::writeScratch(QStringLiteral("In") + extension, bytes.constData(),
                                         static_cast<size_t>(bytes.size())),
                      extension, size);
    return 0;
}
