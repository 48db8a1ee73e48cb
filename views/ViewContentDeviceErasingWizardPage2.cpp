#include "ViewContentDeviceErasingWizardPage2.h"

#include "ViewHost.h"
#include "ui_ViewContentDeviceErasingWizardPage2.h"

ViewContentDeviceErasingWizardPage2::ViewContentDeviceErasingWizardPage2(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentDeviceErasingWizardPage2)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);

    // toggled, not stateChanged: newer Qt deprecates the latter, and its replacement is newer than Qt 6.4.
    connect(form->checkBoxConfirmation, &QCheckBox::toggled, this,
            [this](bool isChecked)
            { _slotCheckBoxConfirmationCheckStateChanged(isChecked ? Qt::Checked : Qt::Unchecked); });
    connect(form->pushButtonNext, &QPushButton::clicked, this,
            &ViewContentDeviceErasingWizardPage2::_slotPushButtonNextClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentDeviceErasingWizardPage2::_slotPushButtonCancelClicked);
}

ViewContentDeviceErasingWizardPage2::~ViewContentDeviceErasingWizardPage2()
{
    delete form;
}

void ViewContentDeviceErasingWizardPage2::activate()
{
    // Every visit asks again, whatever was chosen last time.
    form->checkBoxResetDeviceName->setChecked(false);
    form->checkBoxConfirmation->setChecked(false);
    form->pushButtonNext->setEnabled(false);
    form->checkBoxResetDeviceName->setFocus();
}

void ViewContentDeviceErasingWizardPage2::_slotCheckBoxConfirmationCheckStateChanged(int state)
{
    form->pushButtonNext->setEnabled(state == Qt::Checked);
}

void ViewContentDeviceErasingWizardPage2::_slotPushButtonNextClicked()
{
    // The page stays: the main window continues from it and switches to the last page on success.
    Q_EMIT erasingConfirmed(form->checkBoxResetDeviceName->isChecked());
}

void ViewContentDeviceErasingWizardPage2::_slotPushButtonCancelClicked()
{
    viewHost()->removeView(this);
}
