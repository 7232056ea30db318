#pragma once

#include "core/fill/documents.h"

class OfficeSession;

// Printing on this machine's default printer: "Faster" renders the text with
// our rich-text reader, "Higher quality" hands the file to the program that
// handles its type.
class SystemPrinting : public Documents::Printing {
public:
    // With a session, "Higher quality" prints go through its one office
    // (the run's wait window says when it waits for it).
    explicit SystemPrinting(OfficeSession *session = nullptr, RunContext *run = nullptr)
        : m_session(session), m_run(run)
    {
    }
    Status printText(const QByteArray &text, const QString &title) override;
    Status printFile(const QString &path) override;

private:
    OfficeSession *m_session;
    RunContext *m_run;
};
