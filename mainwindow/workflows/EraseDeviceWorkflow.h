#pragma once

#include "DeviceWorkflow.h"

// The device erasing wizard: its pages, then the open step, zero-filled images written to both memories
// and read back, and the dated name when it was asked for. A failure leaves the wizard, or keeps its
// confirmation page for another try.
class EraseDeviceWorkflow : public DeviceWorkflow
{
    Q_OBJECT

public:
    explicit EraseDeviceWorkflow(WorkflowHost& host);

    void start() override;

private:
    void erase(bool isNameResetRequested);
    void resetName();

    bool isNameResetRequested = false;
};
