#include "ui/dialogs/inputrules.h"

#include "core/model/names.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

namespace InputRules {

namespace {
// Accepts any text, with its line breaks turned into blanks. The line edit
// takes the changed text whenever it validates: typing, paste, drop, setText.
class SingleLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override
    {
        const qsizetype before = input.size();
        input = Names::singleLine(input);
        pos = static_cast<int>(std::min<qsizetype>(pos - (before - input.size()), input.size()));
        pos = std::max(pos, 0);
        return Acceptable;
    }
    void fixup(QString &input) const override { input = Names::singleLine(input); }
};

class Rules : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Polish:
            // Boxes with a validator of their own (numbers, spin boxes)
            // already refuse line breaks.
            if (auto *box = qobject_cast<QLineEdit *>(watched); box && !box->validator())
                box->setValidator(new SingleLineValidator(box));
            break;
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            auto *button = qobject_cast<QPushButton *>(watched);
            if (button && button->isEnabled() && !key->isAutoRepeat()
                && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                button->click();
                return true;
            }
            break;
        }
        case QEvent::FocusIn:
            if (auto *view = qobject_cast<QAbstractItemView *>(watched); view && view->model()) {
                const QModelIndex root = view->rootIndex();
                if (view->model()->rowCount(root) == 1 && view->selectionModel()
                    && !view->selectionModel()->hasSelection()
                    && view->selectionMode() != QAbstractItemView::NoSelection)
                    view->setCurrentIndex(view->model()->index(0, 0, root));
            }
            break;
        default: break;
        }
        return QObject::eventFilter(watched, event);
    }
};
} // namespace

void install()
{
    static Rules *rules = nullptr;
    if (rules || !qApp)
        return;
    rules = new Rules(qApp);
    qApp->installEventFilter(rules);
}

void configureApplication()
{
    QApplication::setApplicationName(QStringLiteral("QLT"));
    install();
}

} // namespace InputRules
