#include "ViewContentShowDeviceInformation.h"

#include "ViewHost.h"
#include "common/UntrustedText.h"
#include "device/Device.h"
#include "ui_ViewContentShowDeviceInformation.h"

ViewContentShowDeviceInformation::ViewContentShowDeviceInformation(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentShowDeviceInformation)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonOk);

    connect(form->pushButtonOk, &QPushButton::clicked, this,
            &ViewContentShowDeviceInformation::_slotPushButtonOkClicked);
}

ViewContentShowDeviceInformation::~ViewContentShowDeviceInformation()
{
    delete form;
}

void ViewContentShowDeviceInformation::setDevice(Device* device)
{
    this->device = device;
}

void ViewContentShowDeviceInformation::activate()
{
    form->labelName->setText(device ? makeVisibleAndIsolated(device->getName()) : QString());
    const QString errorText = tr("ERROR");
    form->labelSerialNumber->setText(errorText);
    form->labelHardwareVersion->setText(errorText);
    form->labelFirmwareVersion->setText(errorText);
    form->pushButtonOk->setFocus();

    QString serialNumber;
    if (!device || device->getSerialNumber(serialNumber) != 0)
    {
        reportReadingFailure(tr("Could not retrieve the device serial number."));
        return;
    }
    form->labelSerialNumber->setText(makeVisibleAndIsolated(serialNumber));

    unsigned hardwareVersion = 0;
    unsigned firmwareVersion = 0;
    if (device->getVersions(hardwareVersion, firmwareVersion) != 0)
    {
        reportReadingFailure(tr("Could not retrieve the device hardware and firmware versions."));
        return;
    }
    form->labelHardwareVersion->setText(QString::number(hardwareVersion));
    form->labelFirmwareVersion->setText(QString::number(firmwareVersion));
    Q_EMIT deviceReadingFinished();
}

void ViewContentShowDeviceInformation::_slotPushButtonOkClicked()
{
    viewHost()->removeView(this);
}

void ViewContentShowDeviceInformation::reportReadingFailure(const QString& text)
{
    // The page stays underneath the message with what could be read; its OK button leaves it.
    Q_EMIT deviceReadingFinished();
    viewHost()->pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_ERROR, tr("Error"), text,
                                         ViewContentMessageBoxDialog::BUTTON_OK,
                                         ViewContentMessageBoxDialog::BUTTON_OK);
}
