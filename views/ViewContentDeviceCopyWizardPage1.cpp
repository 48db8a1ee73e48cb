#include "ViewContentDeviceCopyWizardPage1.h"

#include "ViewHost.h"
#include "ViewId.h"
#include "ui_ViewContentDeviceCopyWizardPage1.h"

ViewContentDeviceCopyWizardPage1::ViewContentDeviceCopyWizardPage1(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentDeviceCopyWizardPage1)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);

    connect(form->pushButtonNext, &QPushButton::clicked, this,
            &ViewContentDeviceCopyWizardPage1::_slotPushButtonNextClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentDeviceCopyWizardPage1::_slotPushButtonCancelClicked);
}

ViewContentDeviceCopyWizardPage1::~ViewContentDeviceCopyWizardPage1()
{
    delete form;
}

void ViewContentDeviceCopyWizardPage1::activate()
{
    form->pushButtonNext->setFocus();
}

void ViewContentDeviceCopyWizardPage1::_slotPushButtonNextClicked()
{
    // Page 2 replaces this one: leaving page 2 one level back leaves the whole wizard.
    viewHost()->switchView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2);
}

void ViewContentDeviceCopyWizardPage1::_slotPushButtonCancelClicked()
{
    viewHost()->removeView(this);
}
