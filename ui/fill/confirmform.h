#pragma once

#include "ui/dialogs/singleinstance.h"

#include <QList>
#include <QWidget>

#include <memory>

struct FillRunInput;
class OfficeSession;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class Workspace;

// The last step before output: one row per document (Print, Save) and per
// spreadsheet (Save), the print method and the save name; OK runs the fill.
class ConfirmForm : public SingleWindow<ConfirmForm, QWidget> {
    Q_OBJECT
public:
    explicit ConfirmForm(Workspace &workspace);
    ~ConfirmForm() override;

    void runFill();
    // Shows the first ticked document filled with the current values.
    void preview();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildRows();
    void createRow(int n, bool withPrint);
    void saveToggled(int n);
    bool anyDocumentToSave() const;
    FillRunInput runInput() const;
    int firstTickedDocument() const; // from 1, or 0
    void setKeyboardOrder();
    void setRunning(bool running);
    void updatePreviewButton();

    Workspace &m_workspace;
    QLabel *m_instructions;
    QScrollArea *m_rowsArea;
    QWidget *m_rows;
    QList<QLabel *> m_itemLabels;        // element 0 is the hidden template
    QList<QCheckBox *> m_printTicks;   // null for spreadsheet rows
    QList<QCheckBox *> m_saveTicks;
    QGroupBox *m_printMethodBox;
    QRadioButton *m_fasterPrint;
    QRadioButton *m_higherQualityPrint;
    QLabel *m_saveNameLabel;
    QLineEdit *m_saveNameBox;
    QPushButton *m_okButton;
    QPushButton *m_closeButton;
    QPushButton *m_helpButton;
    QPushButton *m_previewButton;
    bool m_running = false;
    std::unique_ptr<OfficeSession> m_office; // the runs' one office, started ahead
};
