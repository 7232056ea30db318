#pragma once

#include "core/fill/rowlist.h"
#include "ui/dialogs/singleinstance.h"

#include <QList>
#include <QWidget>

#include <memory>

struct BatchInput;
class OfficeSession;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Workspace;

// Mail merge: the model's documents and spreadsheets filled once per row of
// a list, each field from the column of its name, the others with the value
// typed in the main window. Shows what comes from where before anything runs.
class ListForm : public SingleWindow<ListForm, QWidget> {
    Q_OBJECT
public:
    // Asks for a list file; once one is picked and read, shows the window
    // for it (or what is wrong with the list).
    static void pickList(Workspace &workspace, QWidget *parent);
    // Shows the window for the list at `path`; false, after telling the
    // user, when the list cannot be used.
    static bool openList(Workspace &workspace, const QString &path, QWidget *parent);

    ListForm(Workspace &workspace, const QString &path, RowList::List list);
    ~ListForm() override;

    // Runs every row, in a progress window.
    void runAll();
    // Shows the first ticked document filled with the first row.
    void preview();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildMapping();
    QWidget *buildRowsTable();
    QWidget *buildItems();
    QWidget *buildChoices();
    BatchInput batchInput() const;
    int firstTickedDocument() const; // from 0, or -1
    void setRunning(bool running);

    Workspace &m_workspace;
    QString m_path;
    RowList::List m_list;
    QList<int> m_columnField;
    QList<QCheckBox *> m_printTicks; // one per document
    QList<QCheckBox *> m_saveTicks;  // one per document, then per spreadsheet
    QRadioButton *m_fasterPrint = nullptr;
    QRadioButton *m_higherQualityPrint = nullptr;
    QLineEdit *m_saveNameBox = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_previewButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    bool m_running = false;
    std::unique_ptr<OfficeSession> m_office; // started ahead for the runs and the preview
};
