#include "ViewContentDeviceCopyWizardPage2.h"

#include "ViewHost.h"
#include "ui_ViewContentDeviceCopyWizardPage2.h"
#include "widgets/PasswordVisibilityToggle.h"

ViewContentDeviceCopyWizardPage2::ViewContentDeviceCopyWizardPage2(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentDeviceCopyWizardPage2)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);
    passwordVisibilityToggle =
        new PasswordVisibilityToggle(form->pushButtonShowPassword, {form->lineEditPassword});
    setMainWidgetWidth(form->widgetMain);

    connect(form->lineEditPassword, &QLineEdit::textChanged, this,
            &ViewContentDeviceCopyWizardPage2::_slotLineEditPasswordTextChanged);
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
    passwordVisibilityToggle->hidePasswords();
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

void ViewContentDeviceCopyWizardPage2::_slotPushButtonNextClicked()
{
    // The page stays: the main window pushes its pages over it, and a failed read comes back here with the
    // password still typed in for another try.
    Q_EMIT passwordInserted(form->lineEditPassword->text());
}

void ViewContentDeviceCopyWizardPage2::_slotPushButtonCancelClicked()
{
    viewHost()->removeView(this);
}
