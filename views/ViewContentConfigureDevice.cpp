#include "ViewContentConfigureDevice.h"

#include "ViewHost.h"
#include "device/Device.h"
#include "ui_ViewContentConfigureDevice.h"

ViewContentConfigureDevice::ViewContentConfigureDevice(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentConfigureDevice)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);
    setMainWidgetWidth(form->widgetMain);

    connect(form->lineEditName, &QLineEdit::textChanged, this,
            &ViewContentConfigureDevice::_slotLineEditNameTextChanged);
    connect(form->pushButtonOk, &QPushButton::clicked, this,
            &ViewContentConfigureDevice::_slotPushButtonOkClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentConfigureDevice::_slotPushButtonCancelClicked);
}

ViewContentConfigureDevice::~ViewContentConfigureDevice()
{
    delete form;
}

void ViewContentConfigureDevice::setDevice(Device* device)
{
    this->device = device;
}

void ViewContentConfigureDevice::activate()
{
    initialName = device ? device->getName() : QString();
    form->lineEditName->setText(initialName);
    _slotLineEditNameTextChanged(initialName);

    bool isDisabled = false;
    if (!device || device->getBackupDisableFlag(isDisabled) != 0)
    {
        Q_EMIT configurationLoadingFailed(-1);
        return;
    }
    initialFlag = isDisabled;
    form->checkBoxDisableBackup->setChecked(isDisabled);
    form->pushButtonCancel->setFocus();
}

void ViewContentConfigureDevice::_slotLineEditNameTextChanged(QString referenceText)
{
    form->pushButtonOk->setEnabled(!referenceText.isEmpty());
}

void ViewContentConfigureDevice::_slotPushButtonOkClicked()
{
    QString title;
    QString text;
    bool isSuccessful = false;

    const QString name = form->lineEditName->text();
    const bool isDisabled = form->checkBoxDisableBackup->isChecked();
    // Only what the user changed is sent; nothing changed still reports success.
    const int nameResult = (device && name != initialName) ? device->setName(name) : 0;
    if (nameResult == -2)
    {
        // Refused before anything was sent: the device is unchanged and stays open, and the user can shorten
        // the name right here.
        form->lineEditName->setFocus();
        viewHost()->pushMessageBoxDialogView(
            ViewContentMessageBoxDialog::ICON_ERROR, tr("Name too long"),
            tr("Device name is limited to %1 ASCII characters (some UTF-8 characters can use several ASCII "
               "characters).\nPlease retry with a shorter name.")
                .arg(DEVICE_NAME_FIELD_SIZE),
            ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
        return;
    }

    if (!device || nameResult != 0)
    {
        title = tr("Device access error");
        text = tr("Could not write the device name.");
    }
    else if (isDisabled != initialFlag && device->setBackupDisableFlag(isDisabled) != 0)
    {
        title = tr("Device access error");
        text = tr("Could not write the device backup disable flag.");
    }
    else
    {
        title = tr("Success", "Device configuration");
        text = tr("The device configuration was successfully updated.");
        isSuccessful = true;
    }

    viewHost()->removeView(this);
    viewHost()->pushMessageBoxDialogView(
        isSuccessful ? ViewContentMessageBoxDialog::ICON_SUCCESS : ViewContentMessageBoxDialog::ICON_ERROR,
        title, text, ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
    Q_EMIT configurationFinished();
}

void ViewContentConfigureDevice::_slotPushButtonCancelClicked()
{
    viewHost()->removeView(this);
    Q_EMIT configurationFinished();
}
