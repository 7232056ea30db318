#pragma once

#include "core/model/modelfile.h"

#include <QObject>
#include <QString>
#include <QStringList>

// What the user works on: the model and its name, the folders, the values
// typed for the fields and the selection in progress. The windows show and
// edit it and follow its signals; it knows no window.
struct WorkspaceData : ModelLists {
    enum class DataOperation : qint16 { None, Save, Load };

    QString AppFolder;
    QString ModelFolder;
    QString ModelName;
    QString DataTag;              // the data set named in the selection in progress
    DataOperation Operation = DataOperation::None;
    QString VersionText;
    QString UninstallerFolder;
};

class Workspace : public QObject, public WorkspaceData {
    Q_OBJECT
public:
    explicit Workspace(QObject *parent = nullptr);
    ~Workspace() override;

    // Back to a fresh, empty workspace (start of a test).
    void reset();

    // Fills the folders and the version text, at start-up.
    void findStartupFolders();

    // The value typed for field j (1-based); "" for one not typed.
    QString value(int j) const;
    QStringList values() const { return m_values; }
    void setValue(int j, const QString &text);
    void clearValues();

    // Takes the lists of a model just read (the model name is set apart).
    void setModel(const ModelLists &model);

    // The folder of the current model's data sets.
    QString dataFolder() const;
    // Writes the values of the model's fields under DataTag.
    Status saveDataSet() const;
    // Takes the values saved under DataTag, one per field; a data set with
    // fewer lines leaves the last fields as they are, extra lines are
    // ignored. Fails when there is no such data set or it cannot be read;
    // the values stay as they were then.
    Status loadDataSet();

Q_SIGNALS:
    void valueChanged(int j);
    void valuesCleared();
    void modelChanged();

private:
    QStringList m_values;
};
