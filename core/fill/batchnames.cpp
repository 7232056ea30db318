#include "core/fill/batchnames.h"

#include "core/fill/documents.h"

BatchNames::BatchNames(const Documents::Folders &folders, const QStringList &saved, bool pdfCopies)
    : m_folder(folders.saveFolder), m_pdf(pdfCopies)
{
    for (const QString &name : saved) {
        const QString file = Documents::FindDocumentFile(folders.modelFolder, name);
        if (!file.isEmpty())
            m_endings << QLatin1Char('-') + name + Documents::extensionOf(file);
    }
}

QStringList BatchNames::pathsFor(const QString &saveName) const
{
    QStringList paths;
    for (const QString &ending : m_endings) {
        const QString saved = m_folder + saveName + ending;
        paths << saved.toCaseFolded();
        if (m_pdf)
            paths << Documents::pdfPathFor(saved).toCaseFolded();
    }
    return paths;
}

QString BatchNames::claim(const QString &saveName)
{
    QString name = saveName;
    QStringList paths = pathsFor(name);
    const auto taken = [this](const QStringList &candidate) {
        for (const QString &path : candidate)
            if (m_taken.contains(path))
                return true;
        return false;
    };
    for (int n = 2; taken(paths); ++n) {
        name = saveName + QStringLiteral(" (") + QString::number(n) + QLatin1Char(')');
        paths = pathsFor(name);
    }
    for (const QString &path : std::as_const(paths))
        m_taken.insert(path);
    return name;
}
