#pragma once

#include "app/dialogs/singleinstance.h"

#include <QList>
#include <QWidget>

#include <memory>

class OfficeSession;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;

// The last step before output: one row per document (Print, Save) and per
// spreadsheet (Save), the print method and the save name; OK runs the fill.
class ConfirmForm : public SingleWindow<ConfirmForm, QWidget> {
    Q_OBJECT
public:
    ConfirmForm();
    ~ConfirmForm() override;

    void runFill();
    bool isRunning() const { return m_running; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildRows();
    void createRow(int n, bool withPrint);
    void saveToggled(int n);
    bool anyDocumentToSave() const;
    void processSheets(class GuiRunContext &run);

    QLabel *m_label1;
    QScrollArea *m_rowsArea;
    QWidget *m_rows;
    QList<QLabel *> m_lblDoc;        // element 0 is the hidden template
    QList<QCheckBox *> m_chkPrint;   // null for spreadsheet rows
    QList<QCheckBox *> m_chkSave;
    QGroupBox *m_frame1;
    QRadioButton *m_option1;
    QRadioButton *m_option2;
    QLabel *m_label2;
    QLineEdit *m_txtSaveName;
    QPushButton *m_command1;
    QPushButton *m_command2;
    QPushButton *m_command3;
    bool m_running = false;
    std::unique_ptr<OfficeSession> m_office; // the runs' one office, started ahead
};
