#pragma once

#include "DeviceWorkflow.h"

// Showing a device's information: the open step, then the page, which reads what it shows; the device is
// closed as soon as it has.
class DeviceInformationWorkflow : public DeviceWorkflow
{
    Q_OBJECT

public:
    explicit DeviceInformationWorkflow(WorkflowHost& host);

    void start() override;
};
