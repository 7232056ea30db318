#include "core/fill/scratchfile.h"

#include <QDir>

// On this machine's own temporary folder: the app folder may be shared by
// several machines, whose process ids say nothing to each other.
ScratchFile::ScratchFile(const QString &extension)
    : m_dir(QDir::tempPath() + QStringLiteral("/qlt-fill-XXXXXX")),
      m_path(m_dir.path() + QStringLiteral("/temprtf") + extension)
{
}
