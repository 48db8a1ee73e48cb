#include "ViewContentLineInputDialog.h"

#include "ViewHost.h"
#include "ui_ViewContentLineInputDialog.h"
#include "vault/VaultText.h"

ViewContentLineInputDialog::ViewContentLineInputDialog(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentLineInputDialog)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);

    connect(form->pushButtonOk, &QPushButton::clicked, this,
            &ViewContentLineInputDialog::_slotPushButtonOkClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentLineInputDialog::_slotPushButtonCancelClicked);
    connect(form->lineEdit, &QLineEdit::textEdited, this,
            &ViewContentLineInputDialog::_slotLineEditTextEdited);
}

ViewContentLineInputDialog::~ViewContentLineInputDialog()
{
    delete form;
}

void ViewContentLineInputDialog::setContent(const QString& labelText, const QString& lineEditText)
{
    form->labelText->setText(labelText);
    form->lineEdit->setText(removeForbiddenVaultCharacters(lineEditText));
}

void ViewContentLineInputDialog::activate()
{
    if (!form->lineEdit->text().isEmpty())
        form->lineEdit->selectAll();
    form->lineEdit->setFocus();
    updateOkButtonState();
}

void ViewContentLineInputDialog::_slotPushButtonOkClicked()
{
    const QString text = form->lineEdit->text();
    viewHost()->removeView(this);
    Q_EMIT insertionFinished(true, text);
}

void ViewContentLineInputDialog::_slotPushButtonCancelClicked()
{
    viewHost()->removeView(this);
    Q_EMIT insertionFinished(false, QString());
}

void ViewContentLineInputDialog::_slotLineEditTextEdited(QString referenceText)
{
    // The answer ends up in the vault, whose encoding uses these characters as terminators: a pasted
    // text loses them here rather than breaking the saved image later.
    int removedCount = 0;
    const QString cleanText = removeForbiddenVaultCharacters(referenceText, &removedCount);
    if (removedCount > 0)
    {
        const int cursorPosition = form->lineEdit->cursorPosition();
        form->lineEdit->setText(cleanText);
        form->lineEdit->setCursorPosition(qMax(0, cursorPosition - removedCount));
    }
    updateOkButtonState();
}

void ViewContentLineInputDialog::updateOkButtonState()
{
    // Any character counts, white space included: a tab may be named " ".
    if (form->lineEdit->text().length() < 1)
    {
        form->pushButtonOk->setEnabled(false);
        return;
    }
    form->pushButtonOk->setEnabled(true);
    form->pushButtonOk->setDefault(true);
}
