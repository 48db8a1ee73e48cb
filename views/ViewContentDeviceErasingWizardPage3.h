#pragma once

#include "ViewContentBase.h"

namespace Ui
{
class ViewContentDeviceErasingWizardPage3;
}

// Last page of the device erasing wizard: both memories were erased and verified.
class ViewContentDeviceErasingWizardPage3 : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentDeviceErasingWizardPage3(QWidget* parent);
    ~ViewContentDeviceErasingWizardPage3() override;

    void activate() override;

private Q_SLOTS:
    void _slotPushButtonExitClicked();

private:
    Ui::ViewContentDeviceErasingWizardPage3* form;
};
