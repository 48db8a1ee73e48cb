#include "ViewContentInsertWritingMasterPassword.h"

#include "mainwindow/FormContentEditor.h"
#include "mainwindow/HelpLauncher.h"
#include "mainwindow/PasswordFieldGuard.h"
#include "passwordtools/PasswordStrength.h"
#include "ui_ViewContentInsertWritingMasterPassword.h"

#include <QApplication>

ViewContentInsertWritingMasterPassword::ViewContentInsertWritingMasterPassword(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentInsertWritingMasterPassword)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);
    firstPasswordFieldGuard = new PasswordFieldGuard(form->lineEditFirstPasswordField);
    secondPasswordFieldGuard = new PasswordFieldGuard(form->lineEditSecondPasswordField);

    connect(form->lineEditFirstPasswordField, &QLineEdit::textChanged, this,
            &ViewContentInsertWritingMasterPassword::_slotLineEditTextChanged);
    connect(form->lineEditSecondPasswordField, &QLineEdit::textChanged, this,
            &ViewContentInsertWritingMasterPassword::_slotLineEditTextChanged);
    connect(form->pushButtonOk, &QPushButton::clicked, this,
            &ViewContentInsertWritingMasterPassword::_slotPushButtonOkClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentInsertWritingMasterPassword::_slotPushButtonCancelClicked);
    connect(form->pushButtonShow, &QPushButton::clicked, this,
            &ViewContentInsertWritingMasterPassword::_slotPushButtonShowClicked);
    connect(form->labelHelp, &QLabel::linkActivated, this,
            &ViewContentInsertWritingMasterPassword::_slotLabelHelpLinkActivated);
    lastFocusedPasswordField = form->lineEditFirstPasswordField;
    connect(qApp, &QApplication::focusChanged, this,
            &ViewContentInsertWritingMasterPassword::_slotApplicationFocusChanged);
}

ViewContentInsertWritingMasterPassword::~ViewContentInsertWritingMasterPassword()
{
    delete form;
}

void ViewContentInsertWritingMasterPassword::activate()
{
    clearFields();
    _slotLineEditTextChanged(QString());
    form->pushButtonShow->setText(tr("Show"));
    form->pushButtonOk->setDefault(true);
    form->pushButtonOk->setEnabled(false);
    form->lineEditFirstPasswordField->setFocus();
    lastFocusedPasswordField = form->lineEditFirstPasswordField;
}

void ViewContentInsertWritingMasterPassword::deactivate()
{
    clearFields();
    form->pushButtonShow->setText(tr("Show"));
}

void ViewContentInsertWritingMasterPassword::clearFields()
{
    form->lineEditFirstPasswordField->clear();
    form->lineEditSecondPasswordField->clear();
    firstPasswordFieldGuard->setPasswordShown(false);
    secondPasswordFieldGuard->setPasswordShown(false);
}

void ViewContentInsertWritingMasterPassword::_slotLineEditTextChanged(QString)
{
    // Only the first field is rated: the second one is a copy of it, or a typing mistake.
    const QString firstPassword = form->lineEditFirstPasswordField->text();
    const QString secondPassword = form->lineEditSecondPasswordField->text();
    QString strengthText;
    getPasswordStrength(firstPassword, &strengthText);
    form->labelPasswordStrength->setText(tr("Password strength: <b>%1</b>").arg(strengthText));

    const bool isMatching =
        !firstPassword.isEmpty() && !secondPassword.isEmpty() && firstPassword == secondPassword;
    form->pushButtonOk->setEnabled(isMatching);
    form->labelPasswordsMatchingState->setText(isMatching ? tr("Passwords are matching.")
                                                          : tr("Passwords do not match."));
}

void ViewContentInsertWritingMasterPassword::_slotPushButtonOkClicked()
{
    // Leaving the page clears the fields: take the text first.
    const QString password = form->lineEditFirstPasswordField->text();
    mainWindow->removeView(this);
    Q_EMIT insertionFinished(true, password);
}

void ViewContentInsertWritingMasterPassword::_slotPushButtonCancelClicked()
{
    mainWindow->removeView(this);
    Q_EMIT insertionFinished(false, QString());
}

void ViewContentInsertWritingMasterPassword::_slotPushButtonShowClicked()
{
    // Both fields together, decided by the first one.
    const bool isHidden = !firstPasswordFieldGuard->isPasswordShown();
    firstPasswordFieldGuard->setPasswordShown(isHidden);
    secondPasswordFieldGuard->setPasswordShown(isHidden);
    form->pushButtonShow->setText(isHidden ? tr("Hide") : tr("Show"));
    // The click took the focus; give it back to the field the user was typing in.
    lastFocusedPasswordField->setFocus();
}

void ViewContentInsertWritingMasterPassword::_slotApplicationFocusChanged(QWidget*, QWidget* now)
{
    if (now == form->lineEditFirstPasswordField || now == form->lineEditSecondPasswordField)
        lastFocusedPasswordField = static_cast<QLineEdit*>(now);
}

void ViewContentInsertWritingMasterPassword::_slotLabelHelpLinkActivated(QString referenceDocumentFileName)
{
    showHelpPage(referenceDocumentFileName);
}
