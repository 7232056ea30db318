#pragma once

#include "core/editor/modeledit.h"
#include "core/model/modelfile.h"

#include <QString>

#include <functional>

// What an editor command answers: ok, or the message and title the user
// sees. A refusal with an empty message is silent.
struct EditResult {
    bool ok = true;
    QString message;
    QString title;

    static EditResult failed(const QString &message, const QString &title) { return {false, message, title}; }
    static EditResult refused() { return {false, {}, {}}; }
};

// The model editor's rules on the model's lists: what may be added,
// renamed, removed and moved, and the model file written after each change.
// The editor window only shows the lists and the results.
class ModelEditor {
public:
    // Writes the model after a change; the result is handed on.
    using Saver = std::function<EditResult()>;

    // Without a saver the model is written to its file in `modelFolder`.
    ModelEditor(ModelLists &model, QString modelFolder, QString modelName, QString appFolder, Saver save = {});

    // The model file, refused for a name that could lead out of its folder.
    static EditResult saveModel(const ModelLists &model, const QString &modelFolder, const QString &modelName);
    // A model name the commands may work under; `title` is the refusal's.
    static EditResult checkModelName(const QString &name, const QString &title);

    EditResult addField(const QString &name);
    // An empty name removes the field.
    EditResult changeField(int index, const QString &name);

    // A new document starts from the template, unless a file of that name
    // is there already; `file` is the document's file to open.
    EditResult openDocument(const QString &name, QString *file);

    // Checks a spreadsheet to add or open; `sheetText` is normalised ("" and
    // "0" are sheet 1). On success, folder and fileName name the file, and
    // `known` says it is in the model already.
    struct SheetCheck {
        EditResult result;
        QString folder;
        QString fileName;
        QString sheetText;
        qint16 sheetNumber = 1;
        bool known = false;
    };
    SheetCheck checkSpreadsheet(const QString &path, const QString &sheetText) const;
    EditResult addSpreadsheet(const QString &path, qint16 sheetNumber);
    // The sheet number shown for a path: its own when known, else "1".
    QString sheetNumberText(const QString &path) const;
    // A typed sheet number for the spreadsheet at index; others are not stored.
    void setSheetNumber(int index, const QString &text);

    // Item p of the mode's list; false, changing nothing, at an end.
    bool moveUp(ModelEdit::Mode mode, int p);
    bool moveDown(ModelEdit::Mode mode, int p);
    EditResult removeAt(ModelEdit::Mode mode, int p, const QString &title = QStringLiteral("Error in Deleting"));

private:
    EditResult save();
    EditResult duplicateField(qsizetype same) const;

    ModelLists &m_model;
    QString m_modelFolder;
    QString m_modelName;
    QString m_appFolder;
    Saver m_save;
};
