#pragma once

#include "platform/gui/messagebox.h"
#include "core/workspace.h"
#include "platform/process.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

// Finds a top-level window of the program by its object name.
template <class T = QWidget>
T *topWindow(const char *name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible())
            if (auto *t = qobject_cast<T *>(w))
                return t;
    return nullptr;
}

template <class T>
T *child(QWidget *parent, const QString &name)
{
    return parent ? parent->findChild<T *>(name) : nullptr;
}

// Closes every window and lets the deferred deletions run, so the next test
// case starts with fresh windows.
inline void closeAllWindows()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->close();
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// Programs the code under test would start are recorded, as "program
// arguments...", instead of being started.
inline void recordStarts(QStringList *started)
{
    started->clear();
    Platform::setStartHook([started](const QString &program, const QStringList &arguments) {
        *started << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
        return true;
    });
}

// Replaces the box's text by `text` through the clipboard, as a user
// pasting with Ctrl+V would.
inline void pasteInto(QLineEdit *box, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

// The main window's entry box of field i (txtWord(i)) shows and edits the
// value of that field; "" and nothing done for a row that does not exist.
inline QString entryText(QWidget *main, int i)
{
    const auto *box = child<QLineEdit>(main, QStringLiteral("txtWord_%1").arg(i));
    return box ? box->text() : QString();
}

inline void setEntryText(QWidget *main, int i, const QString &text)
{
    if (auto *box = child<QLineEdit>(main, QStringLiteral("txtWord_%1").arg(i)))
        box->setText(text);
}

inline QString lastMessage()
{
    const auto &r = Ask::records();
    return r.isEmpty() ? QString() : r.last().text;
}

inline QString lastTitle()
{
    const auto &r = Ask::records();
    return r.isEmpty() ? QString() : r.last().title;
}

#include "ui/mainwin/mainform.h"
#include "ui/menu/mainmenu.h"
#include "core/model/qltbas.h"

// Starts QLT as the program's start-up would, in the current (test) home,
// on the test's own workspace, emptied first.
inline MainForm *startProgram(Workspace &workspace)
{
    closeAllWindows();
    workspace.reset();
    Ask::setScripted(true);
    Ask::clearRecords();
    MainForm *main = openMainForm(workspace);
    main->startUp();
    return main;
}
