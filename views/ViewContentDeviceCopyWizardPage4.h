#pragma once

#include "ViewContentBase.h"

namespace Ui
{
class ViewContentDeviceCopyWizardPage4;
}

// Last page of the device copy wizard: the target holds the source's content and was verified.
class ViewContentDeviceCopyWizardPage4 : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentDeviceCopyWizardPage4(QWidget* parent);
    ~ViewContentDeviceCopyWizardPage4() override;

    void activate() override;

private Q_SLOTS:
    void _slotPushButtonExitClicked();

private:
    Ui::ViewContentDeviceCopyWizardPage4* form;
};
