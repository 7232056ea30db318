#include "core/workspace.h"

#include "core/model/qltbas.h"
#include "platform/folders.h"
#include "version.h"

namespace {
Workspace *g_current = nullptr;
} // namespace

Workspace::Workspace(QObject *parent) : QObject(parent) {}

Workspace::~Workspace()
{
    if (g_current == this)
        g_current = nullptr;
}

Workspace &Workspace::current()
{
    if (!g_current) {
        static Workspace fallback;
        g_current = &fallback;
    }
    return *g_current;
}

void Workspace::makeCurrent() { g_current = this; }

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
