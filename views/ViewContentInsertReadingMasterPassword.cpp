#include "ViewContentInsertReadingMasterPassword.h"

#include "ViewHost.h"
#include "device/Device.h"
#include "ui_ViewContentInsertReadingMasterPassword.h"
#include "widgets/PasswordVisibilityToggle.h"

ViewContentInsertReadingMasterPassword::ViewContentInsertReadingMasterPassword(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentInsertReadingMasterPassword)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);
    passwordVisibilityToggle =
        new PasswordVisibilityToggle(form->pushButtonShow, {form->lineEditPasswordField});
    setErrorText(QString());

    connect(form->pushButtonOk, &QPushButton::clicked, this,
            &ViewContentInsertReadingMasterPassword::_slotPushButtonOkClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentInsertReadingMasterPassword::_slotPushButtonCancelClicked);
    connect(form->lineEditPasswordField, &QLineEdit::textEdited, this,
            &ViewContentInsertReadingMasterPassword::_slotLineEditTextEdited);
}

ViewContentInsertReadingMasterPassword::~ViewContentInsertReadingMasterPassword()
{
    delete form;
}

void ViewContentInsertReadingMasterPassword::activate()
{
    form->pushButtonOk->setEnabled(false);
    form->lineEditPasswordField->clear();
    passwordVisibilityToggle->hidePasswords();
    form->lineEditPasswordField->setFocus();
}

void ViewContentInsertReadingMasterPassword::deactivate()
{
    form->lineEditPasswordField->clear();
    passwordVisibilityToggle->hidePasswords();
    form->pushButtonOk->setEnabled(false);
    setErrorText(QString());
}

void ViewContentInsertReadingMasterPassword::setErrorText(const QString& text)
{
    form->labelError->setText(text);
    form->labelError->setVisible(!text.isEmpty());
    // The field takes the focus on the page: its description is what a screen reader reads out after the
    // name, so the error is heard without leaving the field.
    form->lineEditPasswordField->setAccessibleDescription(text);
}

QString ViewContentInsertReadingMasterPassword::errorText() const
{
    return form->labelError->text();
}

void ViewContentInsertReadingMasterPassword::_slotPushButtonOkClicked()
{
    // Leaving the page clears the field: take the text first.
    const QString password = form->lineEditPasswordField->text();
    viewHost()->removeView(this);
    Q_EMIT insertionFinished(true, password);
}

void ViewContentInsertReadingMasterPassword::_slotPushButtonCancelClicked()
{
    // The workflow closes the device whose vault was about to be opened.
    viewHost()->removeView(this);
    Q_EMIT insertionFinished(false, QString());
}

void ViewContentInsertReadingMasterPassword::_slotLineEditTextEdited(QString)
{
    form->pushButtonOk->setEnabled(!form->lineEditPasswordField->text().isEmpty());
}
