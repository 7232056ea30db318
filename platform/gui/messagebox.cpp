#include "platform/gui/messagebox.h"

#include <QApplication>
#include <QMessageBox>

namespace Ask {

namespace {
struct Script {
    bool on = false;
    QList<Answer> answers;
    QList<Record> records;
};

Script &script()
{
    static Script s;
    return s;
}

QMessageBox::Icon qtIcon(Icon icon)
{
    switch (icon) {
    case Information: return QMessageBox::Information;
    case Question: return QMessageBox::Question;
    case Warning: return QMessageBox::Warning;
    case Critical: return QMessageBox::Critical;
    case NoIcon: break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

Answer show(const QString &text, const QString &title, Buttons buttons, Icon icon, QWidget *parent)
{
    const QString caption = title.isEmpty() ? QCoreApplication::applicationName() : title;
    Script &s = script();
    if (s.on) {
        s.records.append({caption, text, buttons, icon});
        if (!s.answers.isEmpty())
            return s.answers.takeFirst();
        // An unscripted question is answered No: the cautious choice.
        return buttons == YesNo ? No : Ok;
    }

    QMessageBox box(qtIcon(icon), caption, text,
                    buttons == YesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, parent);
    const int result = box.exec();
    if (buttons == OkOnly)
        return Ok;
    return result == QMessageBox::Yes ? Yes : No;
}

void setScripted(bool on)
{
    script().on = on;
    script().answers.clear();
}

void pushAnswer(Answer answer) { script().answers.append(answer); }

const QList<Record> &records() { return script().records; }

void clearRecords() { script().records.clear(); }

} // namespace Ask
