#pragma once

#include "ViewContentBase.h"

namespace Ui
{
class ViewContentDeviceErasingWizardPage1;
}

// First page of the device erasing wizard: what the wizard does and that nothing can be recovered.
class ViewContentDeviceErasingWizardPage1 : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentDeviceErasingWizardPage1(QWidget* parent);
    ~ViewContentDeviceErasingWizardPage1() override;

    void activate() override;

private Q_SLOTS:
    void _slotPushButtonNextClicked();
    void _slotPushButtonCancelClicked();

private:
    Ui::ViewContentDeviceErasingWizardPage1* form;
};
