#include "ViewContentInsertReadingMasterPassword.h"

#include "device/Device.h"
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordFieldGuard.h"
#include "ui_ViewContentInsertReadingMasterPassword.h"

ViewContentInsertReadingMasterPassword::ViewContentInsertReadingMasterPassword(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentInsertReadingMasterPassword)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);
    passwordFieldGuard = new PasswordFieldGuard(form->lineEditPasswordField);

    connect(form->pushButtonOk, &QPushButton::clicked, this,
            &ViewContentInsertReadingMasterPassword::_slotPushButtonOkClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentInsertReadingMasterPassword::_slotPushButtonCancelClicked);
    connect(form->pushButtonShow, &QPushButton::clicked, this,
            &ViewContentInsertReadingMasterPassword::_slotPushButtonShowClicked);
    connect(form->lineEditPasswordField, &QLineEdit::textEdited, this,
            &ViewContentInsertReadingMasterPassword::_slotLineEditTextEdited);
}

ViewContentInsertReadingMasterPassword::~ViewContentInsertReadingMasterPassword()
{
    delete form;
}

void ViewContentInsertReadingMasterPassword::activate()
{
    form->pushButtonShow->setText(tr("Show"));
    form->pushButtonOk->setEnabled(false);
    form->lineEditPasswordField->clear();
    passwordFieldGuard->setPasswordShown(false);
    form->lineEditPasswordField->setFocus();
}

void ViewContentInsertReadingMasterPassword::deactivate()
{
    form->lineEditPasswordField->clear();
    passwordFieldGuard->setPasswordShown(false);
    form->pushButtonShow->setText(tr("Show"));
    form->pushButtonOk->setEnabled(false);
}

void ViewContentInsertReadingMasterPassword::_slotPushButtonOkClicked()
{
    // Leaving the page clears the field: take the text first.
    const QString password = form->lineEditPasswordField->text();
    mainWindow->removeView(this);
    Q_EMIT insertionFinished(true, password);
}

void ViewContentInsertReadingMasterPassword::_slotPushButtonCancelClicked()
{
    // The device whose vault was about to be opened is not needed any more.
    closeCurrentDevice();
    mainWindow->removeView(this);
    Q_EMIT insertionFinished(false, QString());
}

void ViewContentInsertReadingMasterPassword::_slotPushButtonShowClicked()
{
    if (!passwordFieldGuard->isPasswordShown())
    {
        passwordFieldGuard->setPasswordShown(true);
        form->pushButtonShow->setText(tr("Hide"));
    }
    else
    {
        passwordFieldGuard->setPasswordShown(false);
        form->pushButtonShow->setText(tr("Show"));
    }
    // The click took the focus; typing and Return belong to the field.
    form->lineEditPasswordField->setFocus();
}

void ViewContentInsertReadingMasterPassword::_slotLineEditTextEdited(QString)
{
    form->pushButtonOk->setEnabled(!form->lineEditPasswordField->text().isEmpty());
}
