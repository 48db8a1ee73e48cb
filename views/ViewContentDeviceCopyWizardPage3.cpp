#include "ViewContentDeviceCopyWizardPage3.h"

#include "ViewHost.h"
#include "ViewId.h"
#include "passwordtools/PasswordStrength.h"
#include "ui_ViewContentDeviceCopyWizardPage3.h"
#include "widgets/PasswordVisibilityToggle.h"
#include "widgets/WeakMasterPasswordQuestion.h"

ViewContentDeviceCopyWizardPage3::ViewContentDeviceCopyWizardPage3(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentDeviceCopyWizardPage3)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);
    passwordVisibilityToggle =
        new PasswordVisibilityToggle(form->pushButtonShowPassword, {form->lineEditPassword});
    setMainWidgetWidth(form->widgetMain);

    connect(form->lineEditPassword, &QLineEdit::textEdited, this,
            &ViewContentDeviceCopyWizardPage3::_slotLineEditPasswordTextEdited);
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
    passwordVisibilityToggle->hidePasswords();
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

void ViewContentDeviceCopyWizardPage3::_slotPushButtonPreviousClicked()
{
    // Page 2 is revealed as it was left, source password included.
    viewHost()->removeView(this);
}

void ViewContentDeviceCopyWizardPage3::_slotPushButtonNextClicked()
{
    // Empty stands for the source device's master password, which was chosen before.
    const QString password = form->lineEditPassword->text();
    if (!password.isEmpty() && !WeakMasterPasswordQuestion::isAccepted(this, password))
    {
        form->lineEditPassword->setFocus();
        form->lineEditPassword->selectAll();
        return;
    }
    Q_EMIT passwordInserted(form->lineEditPassword->text());
}

void ViewContentDeviceCopyWizardPage3::_slotPushButtonCancelClicked()
{
    viewHost()->popView(VIEW_ID_CONTENT_EDITOR);
}

void ViewContentDeviceCopyWizardPage3::updatePasswordStrength()
{
    // An empty field is no weak password: it stands for the source device's master password.
    if (form->lineEditPassword->text().isEmpty())
    {
        form->labelPasswordStrength->setText(tr("The source device master password will be used."));
        return;
    }
    QString strengthText;
    getPasswordStrength(form->lineEditPassword->text(), &strengthText);
    form->labelPasswordStrength->setText(tr("Password strength: <b>%1</b>").arg(strengthText));
}
