#include "ViewContentDeviceCopyWizardPage2.h"

#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordFieldGuard.h"
#include "ui_ViewContentDeviceCopyWizardPage2.h"

ViewContentDeviceCopyWizardPage2::ViewContentDeviceCopyWizardPage2(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentDeviceCopyWizardPage2)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);
    passwordFieldGuard = new PasswordFieldGuard(form->lineEditPassword);
    setMainWidgetWidth(form->widgetMain);

    connect(form->lineEditPassword, &QLineEdit::textChanged, this,
            &ViewContentDeviceCopyWizardPage2::_slotLineEditPasswordTextChanged);
    connect(form->pushButtonShowPassword, &QPushButton::clicked, this,
            &ViewContentDeviceCopyWizardPage2::_slotPushButtonShowPasswordClicked);
    connect(form->pushButtonNext, &QPushButton::clicked, this,
            &ViewContentDeviceCopyWizardPage2::_slotPushButtonNextClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentDeviceCopyWizardPage2::_slotPushButtonCancelClicked);
}

ViewContentDeviceCopyWizardPage2::~ViewContentDeviceCopyWizardPage2()
{
    delete form;
}

void ViewContentDeviceCopyWizardPage2::activate()
{
    form->lineEditPassword->clear();
    _slotLineEditPasswordTextChanged(QString());
    passwordFieldGuard->setPasswordShown(false);
    form->pushButtonShowPassword->setText(tr("Show"));
    form->lineEditPassword->setFocus();
}

void ViewContentDeviceCopyWizardPage2::deactivate()
{
    form->lineEditPassword->clear();
    Q_EMIT wizardPageLeft();
}

void ViewContentDeviceCopyWizardPage2::_slotLineEditPasswordTextChanged(QString referenceText)
{
    form->pushButtonNext->setEnabled(!referenceText.isEmpty());
}

void ViewContentDeviceCopyWizardPage2::_slotPushButtonShowPasswordClicked()
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

void ViewContentDeviceCopyWizardPage2::_slotPushButtonNextClicked()
{
    // The page stays: the main window pushes its pages over it, and a failed read comes back here with the
    // password still typed in for another try.
    Q_EMIT passwordInserted(form->lineEditPassword->text());
}

void ViewContentDeviceCopyWizardPage2::_slotPushButtonCancelClicked()
{
    mainWindow->removeView(this);
}
