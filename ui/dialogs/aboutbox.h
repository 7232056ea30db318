#pragma once

#include "ui/dialogs/singleinstance.h"

#include <QWidget>

class QLabel;
class Workspace;

class AboutBox : public SingleWindow<AboutBox, QWidget> {
    Q_OBJECT
public:
    explicit AboutBox(const Workspace &workspace);

    static QString makerAddress();

private:
    bool eventFilter(QObject *watched, QEvent *event) override;
    const Workspace &m_workspace;
    QLabel *m_makerAddress;
};

// Opens the maker's page in the browser associated with web pages; does
// nothing, silently, when there is none.
void OpenMakerPage(const Workspace &workspace);
