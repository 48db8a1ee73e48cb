#pragma once

#include "ViewContentBase.h"

namespace Ui
{
class ViewContentDeviceErasingWizardPage2;
}

// Second page of the device erasing wizard: the explicit confirmation, and whether the name goes too.
// The main window erases the device when the confirmation is reported.
class ViewContentDeviceErasingWizardPage2 : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentDeviceErasingWizardPage2(QWidget* parent);
    ~ViewContentDeviceErasingWizardPage2() override;

    void activate() override;

Q_SIGNALS:
    void erasingConfirmed(bool isDeviceNameResetRequested);

private Q_SLOTS:
    void _slotCheckBoxConfirmationCheckStateChanged(int state);
    void _slotPushButtonNextClicked();
    void _slotPushButtonCancelClicked();

private:
    Ui::ViewContentDeviceErasingWizardPage2* form;
};
