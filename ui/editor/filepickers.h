#pragma once

#include <QComboBox>
#include <QListWidget>

// Counterparts of the classic drive, folder and file pickers: together they
// yield a folder path and a file name.

// The roots to start from: the home folder and the file system root.
class DrivePicker : public QComboBox {
    Q_OBJECT
public:
    explicit DrivePicker(QWidget *parent = nullptr);
    QString drive() const { return currentText(); }
};

// The subfolders of one folder; ".." goes up, activating a folder enters it.
class FolderPicker : public QListWidget {
    Q_OBJECT
public:
    explicit FolderPicker(QWidget *parent = nullptr);
    QString path() const { return m_path; }
    // Answers false, changing nothing, when the folder cannot be read.
    bool setPath(const QString &path);

Q_SIGNALS:
    void pathChanged(const QString &path);

private:
    QString m_path;
};

// The spreadsheet files of one folder.
class FilePicker : public QListWidget {
    Q_OBJECT
public:
    explicit FilePicker(QWidget *parent = nullptr);
    void setFolder(const QString &folder);
    QString fileName() const; // the selected file, or ""

    static QStringList patterns();
};
