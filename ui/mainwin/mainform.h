#pragma once

#include "ui/dialogs/mainwindowlink.h"
#include "ui/dialogs/singleinstance.h"

#include <QList>
#include <QMainWindow>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class Workspace;

// The field entry window: one label and one entry box per field of the
// current model. The entry boxes show and edit the workspace's values.
// Its menu bar is built by the menu layer above it.
class MainForm : public SingleWindow<MainForm, QMainWindow>, public MainWindowLink {
    Q_OBJECT
public:
    explicit MainForm(Workspace &workspace);

    // The start-up sequence: folders, settings, last model, entry rows.
    void startUp();

    void showWindow() override { show(); }
    void hideWindow() override { hide(); }
    void ShowModel() override;
    void LayoutFields();
    void ShowFieldsFrom(int first);

    void focusFirstField() override;
    int rowCount() const { return static_cast<int>(m_valueBoxes.size()) - 1; }
    // Whether the rows are paged by the scroll bar, and how many fit a page.
    bool scrollingOn() const { return m_scrollingOn; }
    int rowsPerPage() const { return m_rowsPerPage; }

    void okClicked();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void setModelCaption(const QString &name);
    void createRow(int i);
    void removeRows();
    void placeRow(int r, int yTwips);
    void enterPressed(int i);
    void showValue(int i);
    void showValues();
    void scrollValueChanged(int value);

    int widthTwips() const;
    int heightTwips() const;

    Workspace &m_workspace;
    QWidget *m_central;
    QLabel *m_modelCaption;
    QLabel *m_modelNameLabel;
    QList<QLabel *> m_fieldLabels;     // element 0 is the hidden template
    QList<QLineEdit *> m_valueBoxes;  // element 0 is the hidden template
    QScrollBar *m_pageScrollBar;
    QPushButton *m_okButton;
    bool m_scrollingOn = false;
    int m_rowsPerPage = 0;
};

// Ends the program: every window closes and the event loop stops.
void EndProgram();
// How often the program was ended (tests check that a command ended it).
int programEndCount();
