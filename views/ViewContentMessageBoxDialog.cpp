#include "ViewContentMessageBoxDialog.h"

#include "mainwindow/FormContentEditor.h"
#include "ui_ViewContentMessageBoxDialog.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QSvgRenderer>

namespace
{
// Messages at least this wide wrap; shorter ones keep their own line breaks.
constexpr qreal WRAPPING_WIDTH_PIXELS = 1024.0;

QString _iconFileName_helper(int icon)
{
    switch (icon)
    {
    case ViewContentMessageBoxDialog::ICON_SUCCESS:
        return QStringLiteral(":/Images/Success.svg");
    case ViewContentMessageBoxDialog::ICON_ERROR:
        return QStringLiteral(":/Images/Error.svg");
    case ViewContentMessageBoxDialog::ICON_INFORMATION:
        return QStringLiteral(":/Images/Information.svg");
    case ViewContentMessageBoxDialog::ICON_QUESTION:
        return QStringLiteral(":/Images/Question.svg");
    default:
        return QString();
    }
}
} // namespace

ViewContentMessageBoxDialog::ViewContentMessageBoxDialog(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentMessageBoxDialog)
{
    form->setupUi(this);

    connect(form->pushButtonOk, &QPushButton::clicked, this,
            &ViewContentMessageBoxDialog::_slotPushButtonOkClicked);
    connect(form->pushButtonYes, &QPushButton::clicked, this,
            &ViewContentMessageBoxDialog::_slotPushButtonYesClicked);
    connect(form->pushButtonNo, &QPushButton::clicked, this,
            &ViewContentMessageBoxDialog::_slotPushButtonNoClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentMessageBoxDialog::_slotPushButtonCancelClicked);
}

ViewContentMessageBoxDialog::~ViewContentMessageBoxDialog()
{
    delete form;
}

void ViewContentMessageBoxDialog::setContent(int icon, const QString& text, int buttons, int defaultButton)
{
    const QFontMetricsF metrics(QApplication::font());
    const qreal textWidth = metrics.boundingRect(QRectF(), Qt::AlignLeft, text).width();
    if (textWidth >= WRAPPING_WIDTH_PIXELS)
    {
        form->labelText->setMinimumWidth(static_cast<int>(WRAPPING_WIDTH_PIXELS));
        form->labelText->setWordWrap(true);
    }
    else
    {
        form->labelText->setMinimumWidth(0);
        form->labelText->setWordWrap(false);
    }
    form->labelText->setText(text);

    const struct
    {
        Button button;
        QPushButton* pushButton;
    } buttonWidgets[] = {{BUTTON_OK, form->pushButtonOk},
                         {BUTTON_YES, form->pushButtonYes},
                         {BUTTON_NO, form->pushButtonNo},
                         {BUTTON_CANCEL, form->pushButtonCancel}};

    for (const auto& entry : buttonWidgets)
        entry.pushButton->setVisible((buttons & entry.button) != 0);

    for (const auto& entry : buttonWidgets)
    {
        if (defaultButton != entry.button)
            continue;
        // Only one button answers Return: the one the caller considers the safe choice.
        for (const auto& other : buttonWidgets)
            other.pushButton->setDefault(other.pushButton == entry.pushButton);
        entry.pushButton->setFocus();
    }

    // Escape answers as a message box does: Cancel, else No, else the only button there is.
    QPushButton* cancelButton = nullptr;
    if (buttons & BUTTON_CANCEL)
        cancelButton = form->pushButtonCancel;
    else if (buttons & BUTTON_NO)
        cancelButton = form->pushButtonNo;
    else if (buttons == BUTTON_OK)
        cancelButton = form->pushButtonOk;
    setCancelButton(cancelButton);

    const QString iconFileName = _iconFileName_helper(icon);
    if (iconFileName.isEmpty())
        form->svgWidgetIcon->load(QByteArray()); // no picture, and no warning about a missing file
    else
        form->svgWidgetIcon->load(iconFileName);
    form->svgWidgetIcon->renderer()->setAspectRatioMode(Qt::KeepAspectRatio);
}

void ViewContentMessageBoxDialog::activate() {}

void ViewContentMessageBoxDialog::_slotPushButtonOkClicked()
{
    exitWithButton(BUTTON_OK);
}

void ViewContentMessageBoxDialog::_slotPushButtonYesClicked()
{
    exitWithButton(BUTTON_YES);
}

void ViewContentMessageBoxDialog::_slotPushButtonNoClicked()
{
    exitWithButton(BUTTON_NO);
}

void ViewContentMessageBoxDialog::_slotPushButtonCancelClicked()
{
    exitWithButton(BUTTON_CANCEL);
}

void ViewContentMessageBoxDialog::exitWithButton(Button button)
{
    // The receiver runs with the previous page already current, so it can push the next one at once.
    mainWindow->removeView(this);
    Q_EMIT dialogExited(button);
}
