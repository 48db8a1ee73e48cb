#pragma once

#include "ViewContentBase.h"

namespace Ui
{
class ViewContentShowDeviceInformation;
}

// Shows the current device's name, its own serial number and its hardware and firmware versions. The
// main window opens the device before showing the page; the page closes it as soon as it has read them.
class ViewContentShowDeviceInformation : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentShowDeviceInformation(QWidget* parent);
    ~ViewContentShowDeviceInformation() override;

    void activate() override;

private Q_SLOTS:
    void _slotPushButtonOkClicked();

private:
    void reportReadingFailure(const QString& text);

    Ui::ViewContentShowDeviceInformation* form;
};
