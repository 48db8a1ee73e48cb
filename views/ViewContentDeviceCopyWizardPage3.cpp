#include "ViewContentDeviceCopyWizardPage3.h"

#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordFieldGuard.h"
#include "passwordtools/PasswordStrength.h"
#include "ui_ViewContentDeviceCopyWizardPage3.h"

ViewContentDeviceCopyWizardPage3::ViewContentDeviceCopyWizardPage3(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentDeviceCopyWizardPage3)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);
    passwordFieldGuard = new PasswordFieldGuard(form->lineEditPassword);
    setMainWidgetWidth(form->widgetMain);

    connect(form->lineEditPassword, &QLineEdit::textEdited, this,
            &ViewContentDeviceCopyWizardPage3::_slotLineEditPasswordTextEdited);
    connect(form->pushButtonShowPassword, &QPushButton::clicked, this,
            &ViewContentDeviceCopyWizardPage3::_slotPushButtonShowPasswordClicked);
    connect(form->pushButtonPrevious, &QPushButton::clicked, this,
            &ViewContentDeviceCopyWizardPage3::_slotPushButtonPreviousClicked);
    connect(form->pushButtonNext, &QPushButton::clicked, this,
            &ViewContentDeviceCopyWizardPage3::_slotPushButtonNextClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentDeviceCopyWizardPage3::_slotPushButtonCancelClicked);
}

ViewContentDeviceCopyWizardPage3::~ViewContentDeviceCopyWizardPage3()
{
    delete form;
}

void ViewContentDeviceCopyWizardPage3::activate()
{
    form->lineEditPassword->clear();
    updatePasswordStrength();
    passwordFieldGuard->setPasswordShown(false);
    form->pushButtonShowPassword->setText(tr("Show"));
    form->lineEditPassword->setFocus();
}

void ViewContentDeviceCopyWizardPage3::deactivate()
{
    form->lineEditPassword->clear();
    Q_EMIT wizardPageLeft();
}

void ViewContentDeviceCopyWizardPage3::_slotLineEditPasswordTextEdited(QString)
{
    updatePasswordStrength();
}

void ViewContentDeviceCopyWizardPage3::_slotPushButtonShowPasswordClicked()
{
    if (!passwordFieldGuard->isPasswordShown())
    {
        passwordFieldGuard->setPasswordShown(true);
        form->pushButtonShowPassword->setText(tr("Hide"));
    }
    else
    {
        passwordFieldGuard->setPasswordShown(false);
        form->pushButtonShowPassword->setText(tr("Show"));
    }
}

void ViewContentDeviceCopyWizardPage3::_slotPushButtonPreviousClicked()
{
    // Page 2 is revealed as it was left, source password included.
    mainWindow->removeView(this);
}

void ViewContentDeviceCopyWizardPage3::_slotPushButtonNextClicked()
{
    Q_EMIT passwordInserted(form->lineEditPassword->text());
}

void ViewContentDeviceCopyWizardPage3::_slotPushButtonCancelClicked()
{
    mainWindow->popView(VIEW_ID_CONTENT_EDITOR);
}

void ViewContentDeviceCopyWizardPage3::updatePasswordStrength()
{
    QString strengthText;
    getPasswordStrength(form->lineEditPassword->text(), &strengthText);
    form->labelPasswordStrength->setText(tr("Password strength: <b>%1</b>").arg(strengthText));
}
