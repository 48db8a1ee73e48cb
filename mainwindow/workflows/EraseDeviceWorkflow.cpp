#include "EraseDeviceWorkflow.h"

#include "WorkflowHost.h"
#include "device/DeviceIdentityReading.h"
#include "mainwindow/WindowPages.h"
#include "views/ViewContentDeviceErasingWizardPage2.h"

#include <QDate>

#include <cstring>

EraseDeviceWorkflow::EraseDeviceWorkflow(WorkflowHost& host) : DeviceWorkflow(host) {}

void EraseDeviceWorkflow::start()
{
    // The confirmation page may confirm again after a failure.
    track(connect(pages().deviceErasingWizardPage2, &ViewContentDeviceErasingWizardPage2::erasingConfirmed,
                  this, &EraseDeviceWorkflow::erase));
    host.pushView(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_1);
}

void EraseDeviceWorkflow::erase(bool isNameResetRequested)
{
    this->isNameResetRequested = isNameResetRequested;
    openDevice(
        [this]()
        {
            // The device has no erase command: both memories receive zero-filled images.
            Device* device = session.device();
            for (int memoryIndex = 0; memoryIndex < DEVICE_MEMORY_COUNT; memoryIndex++)
                std::memset(device->getMemoryBuffer(memoryIndex), 0, DEVICE_MEMORY_SIZE);
            // An erased device holds no vault: this computer no longer expects a seal on it.
            writeAndVerifyDevice(
                VaultSeal(), readDeviceIdentity(*device), [this]() { resetName(); },
                [this](bool isVerificationFailure)
                {
                    // A device that does not hold what was written ends the wizard; the
                    // message comes on top of the page it was started from.
                    if (isVerificationFailure)
                        host.popView(VIEW_ID_COUNT);
                });
        },
        []() {}, []() {});
}

void EraseDeviceWorkflow::resetName()
{
    if (isNameResetRequested)
    {
        const QDate today = QDate::currentDate();
        const QString name =
            QString::asprintf("Corvane %d-%02d-%02d", today.year(), today.month(), today.day());
        if (session.device()->setName(name) != 0)
        {
            host.popView(VIEW_ID_COUNT);
            showFailure(tr("Could not write the device name."));
            finish(RESULT_FAILED);
            return;
        }
    }
    host.switchView(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_3);
    finish(RESULT_SUCCESS);
}
