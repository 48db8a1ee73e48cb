#pragma once

#include "DeviceWorkflow.h"

// Configuring a device (its name and its backup disable flag): the open step, then the page, which reports
// its own outcome; the device is closed when the page is left.
class ConfigureDeviceWorkflow : public DeviceWorkflow
{
    Q_OBJECT

public:
    explicit ConfigureDeviceWorkflow(WorkflowHost& host);

    void start() override;

private:
    void showConfiguration();
};
