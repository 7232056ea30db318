#include "ui/editor/filepickers.h"
#include "core/editor/modeledit.h"
#include "ui/editor/modelform.h"
#include "platform/gui/screen.h"

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

    m_modelNameLabel->adjustSize();
    const int nameLeft = kLeft + Screen::toTwips(m_modelNameLabel->width()) + 100;
    place(m_modelNameLabel, kLeft, 150, Screen::toTwips(m_modelNameLabel->width()), 255);
    place(m_modelNameBox, nameLeft, 120, 4200, kBoxHeight);
    const int frameWidth = w - kLeft * 5 / 2;
    place(m_modeBox, kLeft, 540, frameWidth, 660);
    const int optionTop = Screen::toTwips(m_modeBox->height()) / 2 - 60;
    m_fieldsMode->move(twips(240), twips(optionTop));
    m_documentsMode->move((m_modeBox->width() - m_documentsMode->width()) / 2, twips(optionTop));
    m_spreadsheetsMode->move(m_modeBox->width() - m_spreadsheetsMode->width() - twips(240), twips(optionTop));

    const int entryTop = m_mode == ModelEdit::Fields ? 1700 : 2160;
    place(m_instructions, kLeft, 1240, w - 2 * kLeft, entryTop - 1260);
    m_itemLabel->adjustSize();
    place(m_itemLabel, kLeft, entryTop + 30, Screen::toTwips(m_itemLabel->width()), 255);
    const int fieldLeft = kLeft + Screen::toTwips(m_itemLabel->width()) + 50;
    place(m_itemBox, fieldLeft, entryTop, w - kLeft - fieldLeft, kBoxHeight);

    int next = bottom(m_itemBox);
    if (m_mode == ModelEdit::Spreadsheets) {
        const int driveW = w * 123 / 1000, dirW = w * 46 / 100, fileW = w / 4;
        const int lefts[] = {kLeft, kLeft + driveW + 100, kLeft + driveW + dirW + 200,
                             kLeft + driveW + dirW + fileW + 300};
        const int labelTop = next + 50;
        for (int i = 0; i < 4; ++i)
            place(m_pickerLabels[i], lefts[i], labelTop, 1000, 255);
        const int pickerTop = labelTop + 255 + 50;
        place(m_drivePicker, lefts[0], pickerTop, driveW, kBoxHeight);
        place(m_folderPicker, lefts[1], pickerTop, dirW, 1200);
        place(m_filePicker, lefts[2], pickerTop, fileW, 1200);
        place(m_sheetBox, lefts[3], pickerTop, std::max(400, w - lefts[3] - kLeft), kBoxHeight);
        next = bottom(m_folderPicker);
    }
    const int labelGap = m_mode == ModelEdit::Fields ? 250 : 50;
    place(m_listInstructions, kLeft, next + labelGap, w - 2 * kLeft, m_mode == ModelEdit::Fields ? 400 : 700);
    const int label3Top = m_mode == ModelEdit::Fields ? Screen::toTwips(m_listInstructions->y()) + 400 : bottom(m_listInstructions) + 50;
    place(m_listLabel, kLeft, label3Top, 3000, 255);
    const int listTop = bottom(m_listLabel) + (m_mode == ModelEdit::Fields ? 100 : 50);

    const int closeTop = h - 100 - kButtonHeight;
    const int columnLeft = w - kButtonWidth * 5 / 4;
    const int listWidth = w - kLeft * 5 / 2 - kButtonWidth * 5 / 4;
    place(m_itemList, kLeft, listTop, listWidth, closeTop - 50 - listTop);
    int buttonTop = listTop;
    for (QPushButton *b : {m_upButton, m_downButton, m_deleteButton, m_unselectButton}) {
        place(b, columnLeft, buttonTop, kButtonWidth, kButtonHeight);
        buttonTop += kButtonHeight * 6 / 5;
    }
    place(m_closeButton, kLeft + listWidth - kButtonWidth, closeTop, kButtonWidth, kButtonHeight);
    place(m_operationButton, kLeft, closeTop, kButtonWidth, kButtonHeight);
    place(m_helpButton, (w - kButtonWidth) / 2, closeTop, kButtonWidth, kButtonHeight);
}

void ModelForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    placeControls();
}
