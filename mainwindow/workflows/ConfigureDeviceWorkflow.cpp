#include "ConfigureDeviceWorkflow.h"

#include "WorkflowHost.h"
#include "mainwindow/WindowPages.h"
#include "views/ViewContentConfigureDevice.h"

ConfigureDeviceWorkflow::ConfigureDeviceWorkflow(WorkflowHost& host) : DeviceWorkflow(host) {}

void ConfigureDeviceWorkflow::start()
{
    openDevice([this]() { showConfiguration(); }, [this]() { finish(RESULT_FAILED); },
               [this]() { finish(RESULT_CANCELLED); });
}

void ConfigureDeviceWorkflow::showConfiguration()
{
    ViewContentConfigureDevice* page = pages().configureDevice;
    page->setDevice(session.device());
    // Queued: the page reports the failure from its activate(), before the page switch has completed.
    track(connect(
        page, &ViewContentConfigureDevice::configurationLoadingFailed, this,
        [this]()
        {
            host.popView(VIEW_ID_COUNT);
            showFailure(tr("Could not retrieve the device backup disable flag."), tr("Device access error"));
            finish(RESULT_FAILED);
        },
        Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection)));
    track(connect(
        page, &ViewContentConfigureDevice::configurationFinished, this, [this]() { finish(RESULT_SUCCESS); },
        Qt::SingleShotConnection));
    host.pushView(VIEW_ID_CONFIGURE_DEVICE);
}
