#include "ViewContentInsertWritingMasterPassword.h"

#include "ViewHost.h"
#include "passwordtools/PasswordStrength.h"
#include "ui_ViewContentInsertWritingMasterPassword.h"
#include "widgets/HelpLauncher.h"
#include "widgets/PasswordVisibilityToggle.h"
#include "widgets/WeakMasterPasswordQuestion.h"

#include <QApplication>

ViewContentInsertWritingMasterPassword::ViewContentInsertWritingMasterPassword(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentInsertWritingMasterPassword)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);
    passwordVisibilityToggle = new PasswordVisibilityToggle(
        form->pushButtonShow, {form->lineEditFirstPasswordField, form->lineEditSecondPasswordField});

    connect(form->lineEditFirstPasswordField, &QLineEdit::textChanged, this,
            &ViewContentInsertWritingMasterPassword::_slotLineEditTextChanged);
    connect(form->lineEditSecondPasswordField, &QLineEdit::textChanged, this,
            &ViewContentInsertWritingMasterPassword::_slotLineEditTextChanged);
    connect(form->pushButtonOk, &QPushButton::clicked, this,
            &ViewContentInsertWritingMasterPassword::_slotPushButtonOkClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentInsertWritingMasterPassword::_slotPushButtonCancelClicked);
    connect(form->labelHelp, &QLabel::linkActivated, this,
            &ViewContentInsertWritingMasterPassword::_slotLabelHelpLinkActivated);
}

ViewContentInsertWritingMasterPassword::~ViewContentInsertWritingMasterPassword()
{
    delete form;
}

void ViewContentInsertWritingMasterPassword::activate()
{
    clearFields();
    _slotLineEditTextChanged(QString());
    form->pushButtonOk->setDefault(true);
    form->pushButtonOk->setEnabled(false);
    form->lineEditFirstPasswordField->setFocus();
}

void ViewContentInsertWritingMasterPassword::deactivate()
{
    clearFields();
}

void ViewContentInsertWritingMasterPassword::clearFields()
{
    form->lineEditFirstPasswordField->clear();
    form->lineEditSecondPasswordField->clear();
    passwordVisibilityToggle->hidePasswords();
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
    // No: the user changes the password here, as typed so far.
    if (!WeakMasterPasswordQuestion::isAccepted(this, password))
    {
        form->lineEditFirstPasswordField->setFocus();
        form->lineEditFirstPasswordField->selectAll();
        return;
    }
    viewHost()->removeView(this);
    Q_EMIT insertionFinished(true, password);
}

void ViewContentInsertWritingMasterPassword::_slotPushButtonCancelClicked()
{
    viewHost()->removeView(this);
    Q_EMIT insertionFinished(false, QString());
}

void ViewContentInsertWritingMasterPassword::_slotLabelHelpLinkActivated(QString referenceDocumentFileName)
{
    showHelpPage(referenceDocumentFileName);
}
