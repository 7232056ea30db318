#include "core/fill/officesession.h"

#include "core/fill/calcengines.h"
#include "core/fill/documents.h"
#include "core/fill/engines.h"
#include "platform/officeconvert.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {
constexpr int kPollMs = 100;

bool isOneOf(const QString &extension, std::initializer_list<const char *> list)
{
    for (const char *e : list)
        if (extension.compare(QLatin1String(e), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The module's office, or none when the module cannot give one: the session
// then stands aside and each run reports why itself.
std::shared_ptr<CalcModule::Office> officeOrNull()
{
    Result<std::unique_ptr<CalcModule::Office>> office = SystemEngines::createOffice();
    return office ? std::move(office).value() : nullptr;
}

// Waits for the office before the first workbook of a run, under the
// run's wait window.
class SessionEngines : public Sheets::Engines {
public:
    SessionEngines(OfficeSession &session, RunContext &run, std::unique_ptr<Sheets::Engines> calc)
        : m_session(session), m_run(run), m_calc(std::move(calc))
    {
    }
    Result<std::unique_ptr<Sheets::Application>> createApplication(const QString &path) override
    {
        m_session.waitReady(m_run);
        return m_calc->createApplication(path);
    }

private:
    OfficeSession &m_session;
    RunContext &m_run;
    std::unique_ptr<Sheets::Engines> m_calc;
};
} // namespace

OfficeSession::OfficeSession()
{
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &OfficeSession::check);
}

OfficeSession::~OfficeSession() = default; // the office ends with the module's object

bool OfficeSession::printsThroughOffice(const QString &path)
{
    return !isOneOf(QFileInfo(path).suffix(), {"txt", "pdf"});
}

bool OfficeSession::mayNeed(const QString &modelFolder, const QStringList &docNames, const QStringList &sheetPaths,
                            bool higherQuality)
{
    for (const QString &path : sheetPaths)
        if (engineFor(path) == SheetEngine::Office)
            return true;
    for (const QString &name : docNames) {
        const QString file = Documents::FindDocumentFile(modelFolder, name);
        if (file.isEmpty())
            continue;
        // Packages always print through the office, and only it makes
        // their PDF copies.
        const bool package = isOneOf(QFileInfo(file).suffix(), {"docx", "odt"});
        if (package || (higherQuality && printsThroughOffice(file)))
            return true;
    }
    return false;
}

int OfficeSession::officeLaunches()
{
    const Result<std::unique_ptr<CalcModule::Office>> office = SystemEngines::createOffice();
    return office ? (*office)->launches() : 0;
}

void OfficeSession::startAhead()
{
    if (m_state == State::Starting || m_state == State::Ready)
        return;
    if (!m_office)
        m_office = officeOrNull();
    if (!m_office || !m_office->startAhead()) {
        m_state = State::Failed;
        Q_EMIT settled();
        return;
    }
    m_state = State::Starting;
    m_poll.start();
}

void OfficeSession::check()
{
    const Result<bool> ready = m_office->poll();
    if (!ready)
        m_state = State::Failed;
    else if (*ready)
        m_state = State::Ready;
    else
        return;
    m_poll.stop();
    Q_EMIT settled();
}

bool OfficeSession::waitReady(RunContext &run)
{
    if (m_state == State::Idle || m_state == State::Failed)
        startAhead(); // a run may need it after all, or a failed start may pass now
    else if (m_state == State::Ready)
        m_state = State::Starting; // asked again: one that died since is replaced now, and waited for
    if (m_state == State::Starting) {
        check();
        if (m_state == State::Starting) {
            m_poll.start();
            run.showWait(QStringLiteral("Starting the office"));
            QEventLoop loop;
            connect(this, &OfficeSession::settled, &loop, &QEventLoop::quit);
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        }
    }
    return m_state == State::Ready;
}

std::shared_ptr<Sheets::Engines> OfficeSession::calcEngines(RunContext &run)
{
    if (!m_office)
        m_office = officeOrNull();
    if (!m_office)
        return nullptr; // the run loads the module itself and reports why not
    return std::make_shared<SessionEngines>(*this, run, ::calcEngines(m_office));
}

Status OfficeSession::print(const QString &path, const QString &printer)
{
    return m_office->print(path, printer);
}

Status OfficeSession::exportPdf(const QString &documentPath, const QString &pdfPath)
{
    // Made in a folder of its own first: a failed export never leaves half
    // a PDF where the copy belongs.
    QTemporaryDir outDir;
    if (!outDir.isValid())
        return Failure{QStringLiteral("Could not make a folder for the PDF copy")};
    const QString made = outDir.filePath(QFileInfo(pdfPath).fileName());
    if (Status exported = m_office->exportPdf(documentPath, made); !exported)
        return exported;
    return Platform::placePdf(made, documentPath, pdfPath);
}

std::optional<Status> OfficeSession::pdfCopyBeside(const QString &savedPath, OfficeSession *session, RunContext *run)
{
    const QString pdfPath = Documents::pdfPathFor(savedPath);
    if (pdfPath == QFileInfo(savedPath).absoluteFilePath())
        return Status{}; // a saved PDF is its own copy
    const QString suffix = QFileInfo(savedPath).suffix();
    if (suffix.compare(QStringLiteral("docx"), Qt::CaseInsensitive) != 0
        && suffix.compare(QStringLiteral("odt"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    if (session && run && session->waitReady(*run))
        return session->exportPdf(savedPath, pdfPath);
    return Platform::exportPdf(savedPath, pdfPath);
}
