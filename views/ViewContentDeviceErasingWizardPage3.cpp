#include "ViewContentDeviceErasingWizardPage3.h"

#include "ViewHost.h"
#include "ui_ViewContentDeviceErasingWizardPage3.h"

ViewContentDeviceErasingWizardPage3::ViewContentDeviceErasingWizardPage3(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentDeviceErasingWizardPage3)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonExit);

    connect(form->pushButtonExit, &QPushButton::clicked, this,
            &ViewContentDeviceErasingWizardPage3::_slotPushButtonExitClicked);
}

ViewContentDeviceErasingWizardPage3::~ViewContentDeviceErasingWizardPage3()
{
    delete form;
}

void ViewContentDeviceErasingWizardPage3::activate()
{
    form->pushButtonExit->setFocus();
}

void ViewContentDeviceErasingWizardPage3::_slotPushButtonExitClicked()
{
    // This page replaced the confirmation page, which replaced the first one: one level back is where the
    // wizard was started.
    viewHost()->removeView(this);
}
