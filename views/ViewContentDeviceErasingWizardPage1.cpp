#include "ViewContentDeviceErasingWizardPage1.h"

#include "ViewHost.h"
#include "ViewId.h"
#include "ui_ViewContentDeviceErasingWizardPage1.h"

ViewContentDeviceErasingWizardPage1::ViewContentDeviceErasingWizardPage1(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentDeviceErasingWizardPage1)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);

    connect(form->pushButtonNext, &QPushButton::clicked, this,
            &ViewContentDeviceErasingWizardPage1::_slotPushButtonNextClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentDeviceErasingWizardPage1::_slotPushButtonCancelClicked);
}

ViewContentDeviceErasingWizardPage1::~ViewContentDeviceErasingWizardPage1()
{
    delete form;
}

void ViewContentDeviceErasingWizardPage1::activate()
{
    form->pushButtonNext->setFocus();
}

void ViewContentDeviceErasingWizardPage1::_slotPushButtonNextClicked()
{
    // Every later page replaces its predecessor: one level back from any of them leaves the wizard.
    viewHost()->switchView(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2);
}

void ViewContentDeviceErasingWizardPage1::_slotPushButtonCancelClicked()
{
    viewHost()->removeView(this);
}
