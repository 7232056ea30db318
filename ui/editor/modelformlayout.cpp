#include "ui/editor/filepickers.h"
#include "core/editor/modeledit.h"
#include "ui/editor/modelform.h"
#include "platform/screen.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using Screen::twips;

namespace {
constexpr int kLeft = 120;
constexpr int kButtonWidth = 1200;
constexpr int kButtonHeight = 375;
constexpr int kBoxHeight = 315;
} // namespace

// Where the controls stand, in twips, for the current mode and size.
void ModelForm::placeControls()
{
    const int w = Screen::toTwips(centralWidget()->width());
    const int h = Screen::toTwips(centralWidget()->height());
    auto place = [](QWidget *widget, int left, int top, int width, int height) {
        widget->setGeometry(twips(left), twips(top), std::max(0, twips(width)), std::max(0, twips(height)));
    };
    auto bottom = [](QWidget *widget) { return Screen::toTwips(widget->y() + widget->height()); };

    m_label5->adjustSize();
    const int nameLeft = kLeft + Screen::toTwips(m_label5->width()) + 100;
    place(m_label5, kLeft, 150, Screen::toTwips(m_label5->width()), 255);
    place(m_txtModelName, nameLeft, 120, 4200, kBoxHeight);
    const int frameWidth = w - kLeft * 5 / 2;
    place(m_frame1, kLeft, 540, frameWidth, 660);
    const int optionTop = Screen::toTwips(m_frame1->height()) / 2 - 60;
    m_option1->move(twips(240), twips(optionTop));
    m_option2->move((m_frame1->width() - m_option2->width()) / 2, twips(optionTop));
    m_option3->move(m_frame1->width() - m_option3->width() - twips(240), twips(optionTop));

    const int entryTop = m_mode == ModelEdit::Fields ? 1700 : 2160;
    place(m_label2, kLeft, 1240, w - 2 * kLeft, entryTop - 1260);
    m_label1->adjustSize();
    place(m_label1, kLeft, entryTop + 30, Screen::toTwips(m_label1->width()), 255);
    const int fieldLeft = kLeft + Screen::toTwips(m_label1->width()) + 50;
    place(m_txtField, fieldLeft, entryTop, w - kLeft - fieldLeft, kBoxHeight);

    int next = bottom(m_txtField);
    if (m_mode == ModelEdit::Spreadsheets) {
        const int driveW = w * 123 / 1000, dirW = w * 46 / 100, fileW = w / 4;
        const int lefts[] = {kLeft, kLeft + driveW + 100, kLeft + driveW + dirW + 200,
                             kLeft + driveW + dirW + fileW + 300};
        const int labelTop = next + 50;
        for (int i = 0; i < 4; ++i)
            place(m_lblS[i], lefts[i], labelTop, 1000, 255);
        const int pickerTop = labelTop + 255 + 50;
        place(m_drive1, lefts[0], pickerTop, driveW, kBoxHeight);
        place(m_dir1, lefts[1], pickerTop, dirW, 1200);
        place(m_file1, lefts[2], pickerTop, fileW, 1200);
        place(m_txtSheet, lefts[3], pickerTop, std::max(400, w - lefts[3] - kLeft), kBoxHeight);
        next = bottom(m_dir1);
    }
    const int labelGap = m_mode == ModelEdit::Fields ? 250 : 50;
    place(m_label4, kLeft, next + labelGap, w - 2 * kLeft, m_mode == ModelEdit::Fields ? 400 : 700);
    const int label3Top = m_mode == ModelEdit::Fields ? Screen::toTwips(m_label4->y()) + 400 : bottom(m_label4) + 50;
    place(m_label3, kLeft, label3Top, 3000, 255);
    const int listTop = bottom(m_label3) + (m_mode == ModelEdit::Fields ? 100 : 50);

    const int closeTop = h - 100 - kButtonHeight;
    const int columnLeft = w - kButtonWidth * 5 / 4;
    const int listWidth = w - kLeft * 5 / 2 - kButtonWidth * 5 / 4;
    place(m_list1, kLeft, listTop, listWidth, closeTop - 50 - listTop);
    int buttonTop = listTop;
    for (QPushButton *b : {m_butUp, m_butDown, m_butDelete, m_butUnselect}) {
        place(b, columnLeft, buttonTop, kButtonWidth, kButtonHeight);
        buttonTop += kButtonHeight * 6 / 5;
    }
    place(m_butClose, kLeft + listWidth - kButtonWidth, closeTop, kButtonWidth, kButtonHeight);
    place(m_butEdit, kLeft, closeTop, kButtonWidth, kButtonHeight);
    place(m_butHelp, (w - kButtonWidth) / 2, closeTop, kButtonWidth, kButtonHeight);
}

void ModelForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    placeControls();
}
