#pragma once

#include "ViewContentBase.h"

#include <QPointer>

class Device;

namespace Ui
{
class ViewContentShowDeviceInformation;
}

// Shows a device's name, its own serial number and its hardware and firmware versions. The workflow opens
// the device and gives it to the page before showing it; the page tells when it no longer needs the device,
// as soon as it has read them.
class ViewContentShowDeviceInformation : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentShowDeviceInformation(QWidget* parent);
    ~ViewContentShowDeviceInformation() override;

    // The device of the next visit (not owned).
    void setDevice(Device* device);
    void activate() override;

Q_SIGNALS:
    // Everything was read (or reading failed): the device can be closed while the page stays.
    void deviceReadingFinished();

private Q_SLOTS:
    void _slotPushButtonOkClicked();

private:
    void reportReadingFailure(const QString& text);

    Ui::ViewContentShowDeviceInformation* form;
    QPointer<Device> device;
};
