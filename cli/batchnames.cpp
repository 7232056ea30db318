#include "cli/batchnames.h"

#include "core/fill/documents.h"

BatchNames::BatchNames(const FillPlan::Plan &plan) : m_folder(plan.folders.saveFolder), m_pdf(plan.options.pdf)
{
    for (int i = 0; i < plan.model.DocNames.size(); ++i) {
        if (!plan.documentChosen.value(i))
            continue;
        const QString &name = plan.model.DocNames[i];
        const QString file = Documents::FindDocumentFile(plan.folders.modelFolder, name);
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
