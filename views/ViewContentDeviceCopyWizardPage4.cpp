#include "ViewContentDeviceCopyWizardPage4.h"

#include "ViewHost.h"
#include "ViewId.h"
#include "ui_ViewContentDeviceCopyWizardPage4.h"

ViewContentDeviceCopyWizardPage4::ViewContentDeviceCopyWizardPage4(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentDeviceCopyWizardPage4)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonExit);

    connect(form->pushButtonExit, &QPushButton::clicked, this,
            &ViewContentDeviceCopyWizardPage4::_slotPushButtonExitClicked);
}

ViewContentDeviceCopyWizardPage4::~ViewContentDeviceCopyWizardPage4()
{
    delete form;
}

void ViewContentDeviceCopyWizardPage4::activate()
{
    form->pushButtonExit->setFocus();
}

void ViewContentDeviceCopyWizardPage4::_slotPushButtonExitClicked()
{
    // Unwinds the whole wizard, to the vault editor or, when started from the start menu, to it.
    viewHost()->popView(VIEW_ID_CONTENT_EDITOR);
}
