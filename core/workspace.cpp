#include "core/workspace.h"

#include "core/model/datasets.h"
#include "core/model/qltbas.h"
#include "platform/folders.h"
#include "version.h"

Workspace::Workspace(QObject *parent) : QObject(parent) {}

Workspace::~Workspace() = default;

void Workspace::reset()
{
    static_cast<WorkspaceData &>(*this) = WorkspaceData();
    clearValues();
}

void Workspace::findStartupFolders()
{
    AppFolder = Platform::appFolder();
    UninstallerFolder = Platform::uninstallerFolder();
    VersionText = QLTBas::versionText(QLT_VERSION_MAJOR, QLT_VERSION_MINOR, QLT_VERSION_PATCH);
}

QString Workspace::value(int j) const { return m_values.value(j - 1); }

void Workspace::setValue(int j, const QString &text)
{
    if (j < 1 || value(j) == text)
        return;
    while (m_values.size() < j)
        m_values.append(QString());
    m_values[j - 1] = text;
    Q_EMIT valueChanged(j);
}

void Workspace::clearValues()
{
    m_values.clear();
    Q_EMIT valuesCleared();
}

void Workspace::setModel(const ModelLists &model)
{
    static_cast<ModelLists &>(*this) = model;
    Q_EMIT modelChanged();
}

QString Workspace::dataFolder() const { return DataSets::dataFolder(ModelFolder, ModelName); }

Status Workspace::saveDataSet() const
{
    QStringList lines;
    for (int i = 1; i <= FieldCount(); ++i)
        lines << value(i);
    return DataSets::save(dataFolder(), DataTag, lines);
}

Status Workspace::loadDataSet()
{
    const Result<QStringList> lines = DataSets::load(dataFolder(), DataTag);
    if (!lines)
        return lines.failure();
    for (int i = 1; i <= FieldCount() && i <= lines->size(); ++i)
        setValue(i, lines->at(i - 1));
    return {};
}
