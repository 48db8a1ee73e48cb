#pragma once

#include "ViewContentBase.h"

namespace Ui
{
class ViewContentDeviceCopyWizardPage1;
}

// First page of the device copy wizard: what the wizard does and that the target will be overwritten.
class ViewContentDeviceCopyWizardPage1 : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentDeviceCopyWizardPage1(QWidget* parent);
    ~ViewContentDeviceCopyWizardPage1() override;

    void activate() override;

private Q_SLOTS:
    void _slotPushButtonNextClicked();
    void _slotPushButtonCancelClicked();

private:
    Ui::ViewContentDeviceCopyWizardPage1* form;
};
