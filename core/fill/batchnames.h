#pragma once

#include "core/fill/documents.h"

#include <QSet>
#include <QString>
#include <QStringList>

// The save names of one batch's rows. A copy made earlier in the batch is
// never replaced: a row whose copies (or their PDF copies) would take the
// name of one gets "NAME (2)", "NAME (3)", ... instead. Copies from before
// the batch are replaced as always.
class BatchNames {
public:
    // `saved` names the model documents whose copies the batch saves.
    BatchNames(const Documents::Folders &folders, const QStringList &saved, bool pdfCopies);

    // The save name this row uses, its files now taken.
    QString claim(const QString &saveName);

private:
    QStringList pathsFor(const QString &saveName) const;

    QString m_folder;
    QStringList m_endings; // "-" + document + extension, per saved document
    bool m_pdf = false;
    QSet<QString> m_taken; // case-folded: a shared folder may not tell cases apart
};
