#include "DeviceInformationWorkflow.h"

#include "WorkflowHost.h"
#include "mainwindow/WindowPages.h"
#include "views/ViewContentShowDeviceInformation.h"

DeviceInformationWorkflow::DeviceInformationWorkflow(WorkflowHost& host) : DeviceWorkflow(host) {}

void DeviceInformationWorkflow::start()
{
    openDevice(
        [this]()
        {
            // The page reports a failed reading itself and stays with what it could read.
            pages().showDeviceInformation->setDevice(session.device());
            track(connect(
                pages().showDeviceInformation, &ViewContentShowDeviceInformation::deviceReadingFinished, this,
                [this]() { finish(RESULT_SUCCESS); }, Qt::SingleShotConnection));
            host.pushView(VIEW_ID_SHOW_DEVICE_INFORMATION);
        },
        [this]() { finish(RESULT_FAILED); }, [this]() { finish(RESULT_CANCELLED); });
}
