#include "core/fill/engines.h"

#include "core/fill/calcengines.h"
#include "core/fill/csvengine.h"
#include "core/fill/nativeworkbook.h"
#include "platform/folders.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

namespace {
QString &chosenModulePath()
{
    static QString path;
    return path;
}
} // namespace

void SystemEngines::setCalcModulePath(const QString &path) { chosenModulePath() = path; }

QString SystemEngines::calcModulePath()
{
    if (!chosenModulePath().isEmpty())
        return chosenModulePath();
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + Platform::moduleFileName(QStringLiteral("qltcalc"));
}

Result<std::unique_ptr<CalcModule::Office>> SystemEngines::createOffice()
{
    // Loaded once and never unloaded: its code stays in use by the objects
    // it hands out.
    static QLibrary *library = nullptr;
    static CalcModule::CreateOffice create = nullptr;
    static QString loadError;
    if (!library) {
        library = new QLibrary(calcModulePath());
        create = reinterpret_cast<CalcModule::CreateOffice>(library->resolve(QLT_CALC_ENTRY));
        if (!create)
            loadError = QStringLiteral("LibreOffice is not installed (") + library->errorString() + QLatin1Char(')');
    }
    if (!create)
        return Failure{loadError};
    return create();
}

Result<std::unique_ptr<Sheets::Engines>> SystemEngines::loadCalc()
{
    Result<std::unique_ptr<CalcModule::Office>> office = createOffice();
    if (!office)
        return office.failure();
    return calcEngines(std::move(office).value());
}

SheetEngine engineFor(const QString &path)
{
    if (QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0)
        return SheetEngine::Csv;
    return Native::handles(path) ? SheetEngine::NativeXml : SheetEngine::Office;
}

Result<std::unique_ptr<Sheets::Application>> SystemEngines::createApplication(const QString &path)
{
    switch (engineFor(path)) {
    case SheetEngine::Csv:
        return std::unique_ptr<Sheets::Application>(std::make_unique<Csv::Application>());
    case SheetEngine::NativeXml:
        return std::unique_ptr<Sheets::Application>(std::make_unique<Native::Application>());
    case SheetEngine::Office:
        break;
    }
    if (!m_calc) {
        Result<std::unique_ptr<Sheets::Engines>> calc = loadCalc();
        if (!calc)
            return calc.failure();
        m_calc = std::move(calc).value();
    }
    return m_calc->createApplication(path);
}
