#pragma once

#include <QList>
#include <QString>

class QWidget;

// Every message of the programs goes through here. Tests switch it to
// scripted mode: nothing is shown, each call is recorded, and the answer is
// taken from a queue the test fills beforehand.
namespace Ask {

enum Buttons { OkOnly, YesNo };
enum Icon { NoIcon, Information, Question, Warning, Critical };
enum Answer { Ok, Yes, No };

struct Record {
    QString title;
    QString text;
    Buttons buttons = OkOnly;
    Icon icon = NoIcon;
};

// An empty title means the application's own default title.
Answer show(const QString &text, const QString &title = {}, Buttons buttons = OkOnly,
            Icon icon = NoIcon, QWidget *parent = nullptr);

// Test seam.
void setScripted(bool on);
void pushAnswer(Answer answer);
const QList<Record> &records();
void clearRecords();

} // namespace Ask
