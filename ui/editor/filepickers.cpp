#include "ui/editor/filepickers.h"

#include "platform/folders.h"

#include <QDir>
#include <QFileInfo>

DrivePicker::DrivePicker(QWidget *parent)
    : QComboBox(parent)
{
    addItems(Platform::driveRoots());
}

FolderPicker::FolderPicker(QWidget *parent)
    : QListWidget(parent)
{
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        const QString target = item->text() == QStringLiteral("..") ? QFileInfo(m_path).absolutePath()
                                                                     : QDir(m_path).filePath(item->text());
        setPath(target);
    });
}

bool FolderPicker::setPath(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir() || !info.isReadable())
        return false;
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    clear();
    if (!QDir(clean).isRoot())
        addItem(QStringLiteral(".."));
    addItems(QDir(clean).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    if (clean != m_path) {
        m_path = clean;
        Q_EMIT pathChanged(m_path);
    }
    return true;
}

FilePicker::FilePicker(QWidget *parent)
    : QListWidget(parent)
{
}

QStringList FilePicker::patterns()
{
    // The classic file list showed "*.xls;*.csv"; the spreadsheet engines
    // also read the newer formats.
    return {QStringLiteral("*.xls"),  QStringLiteral("*.csv"),  QStringLiteral("*.xlsx"),
            QStringLiteral("*.xlsm"), QStringLiteral("*.xltx"), QStringLiteral("*.xltm"), QStringLiteral("*.ods")};
}

void FilePicker::setFolder(const QString &folder)
{
    clear();
    addItems(QDir(folder).entryList(patterns(), QDir::Files, QDir::Name | QDir::IgnoreCase));
}

QString FilePicker::fileName() const
{
    const QListWidgetItem *item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}
