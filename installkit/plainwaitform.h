#pragma once

#include <QFrame>

class QLabel;

// The installer's and the uninstaller's wait window: no title bar, a fixed
// border and three centred lines: "Please Wait" (Label2), what is being
// done (Label1, "Working" at first) and a third line of the program's own.
class PlainWaitForm : public QFrame {
    Q_OBJECT
public:
    PlainWaitForm(const char *thirdName, const QString &thirdText);

    // Shows the window and returns once it is on the screen and painted, so
    // that work started next never leaves an empty frame in view.
    void showPainted();
    void setLabel1(const QString &text);
    // Sets the third line and repaints at once: the programs only let the
    // event loop run now and then.
    void setThird(const QString &text);

private:
    QLabel *m_label1;
    QLabel *m_third;
};
