#pragma once

#include "ViewContentBase.h"

#include <QPointer>

class Device;

namespace Ui
{
class ViewContentConfigureDevice;
}

// Edits a device's name and its backup disable flag ("Prevent using this device as a backup target"). The
// workflow opens the device and gives it to the page before showing it; the page tells when it is left.
class ViewContentConfigureDevice : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentConfigureDevice(QWidget* parent);
    ~ViewContentConfigureDevice() override;

    // The device of the next visit (not owned).
    void setDevice(Device* device);
    // Loads the name and the flag. When the flag cannot be read, configurationLoadingFailed() is emitted;
    // the workflow, connected queued, then leaves the page and closes the device.
    void activate() override;

Q_SIGNALS:
    void configurationLoadingFailed(int returnValue);
    // The page was left (after its message, if any, was asked for): the device is no longer needed.
    void configurationFinished();

private Q_SLOTS:
    void _slotLineEditNameTextChanged(QString referenceText);
    void _slotPushButtonOkClicked();
    void _slotPushButtonCancelClicked();

private:
    Ui::ViewContentConfigureDevice* form;
    QPointer<Device> device;
    QString initialName;
    bool initialFlag = false;
};
