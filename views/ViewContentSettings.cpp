#include "ViewContentSettings.h"

#include "ViewHost.h"
#include "app/Configuration.h"
#include "ui_ViewContentSettings.h"
#include "widgets/ScreenshotProtection.h"

ViewContentSettings::ViewContentSettings(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentSettings)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);
    // Say so where the system cannot keep the window out of captures, instead of promising a protection.
    form->labelScreenshotProtectionUnavailable->setVisible(!isScreenshotProtectionSupported());
    form->labelSessionLockUnavailable->setVisible(false);

    // toggled, not stateChanged: newer Qt deprecates the latter, and its replacement is newer than Qt 6.4.
    connect(form->checkBoxApplicationAutoLocking, &QCheckBox::toggled, this,
            [this](bool isChecked) {
                _slotCheckBoxApplicationAutoLockingCheckStateChanged(isChecked ? Qt::Checked : Qt::Unchecked);
            });
    connect(form->pushButtonSave, &QPushButton::clicked, this,
            &ViewContentSettings::_slotPushButtonSaveClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentSettings::_slotPushButtonCancelClicked);
}

ViewContentSettings::~ViewContentSettings()
{
    delete form;
}

void ViewContentSettings::activate()
{
    if (settings)
    {
        form->checkBoxNewApplicationVersionCheck->setChecked(
            settings->value(CONFIGURATION_KEY_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED).toBool());

        const bool isAutoLockingEnabled =
            settings->value(CONFIGURATION_KEY_IS_APPLICATION_AUTO_LOCKING_ENABLED).toBool();
        form->checkBoxApplicationAutoLocking->setChecked(isAutoLockingEnabled);
        // setChecked() emits nothing when the state does not change: match the delay explicitly.
        form->widgetApplicationAutoLockingDelay->setEnabled(isAutoLockingEnabled);

        // The spin box brings a stored value outside 1 to 1440 back into that range.
        form->spinBoxApplicationAutoLocking->setValue(
            settings->value(CONFIGURATION_KEY_APPLICATION_AUTO_LOCKING_DELAY_MINUTES).toInt());

        form->checkBoxLockWithSession->setChecked(
            settings->value(CONFIGURATION_KEY_IS_APPLICATION_LOCKED_WITH_SESSION, true).toBool());
        // The spin box brings a stored value outside 0 to 3600 back into that range.
        form->spinBoxClipboardClearingDelay->setValue(
            settings->value(CONFIGURATION_KEY_CLIPBOARD_CLEARING_DELAY_SECONDS, 30).toInt());

        form->checkBoxAllowScreenshot->setChecked(
            settings->value(CONFIGURATION_KEY_IS_APPLICATION_SCREENSHOT_ALLOWED).toBool());
        form->checkBoxBackupReminder->setChecked(
            settings->value(CONFIGURATION_KEY_IS_BACKUP_REMINDER_ENABLED, true).toBool());
    }
    form->pushButtonCancel->setFocus();
}

void ViewContentSettings::setSessionLockDetectionAvailable(bool isAvailable)
{
    form->labelSessionLockUnavailable->setVisible(!isAvailable);
}

void ViewContentSettings::_slotCheckBoxApplicationAutoLockingCheckStateChanged(int state)
{
    form->widgetApplicationAutoLockingDelay->setEnabled(state == Qt::Checked);
}

void ViewContentSettings::_slotPushButtonSaveClicked()
{
    if (settings)
    {
        settings->setValue(CONFIGURATION_KEY_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED,
                           form->checkBoxNewApplicationVersionCheck->isChecked());
        settings->setValue(CONFIGURATION_KEY_IS_APPLICATION_AUTO_LOCKING_ENABLED,
                           form->checkBoxApplicationAutoLocking->isChecked());
        // Kept even when auto locking is off, so that turning it on again finds the user's delay.
        settings->setValue(CONFIGURATION_KEY_APPLICATION_AUTO_LOCKING_DELAY_MINUTES,
                           form->spinBoxApplicationAutoLocking->value());
        settings->setValue(CONFIGURATION_KEY_IS_APPLICATION_LOCKED_WITH_SESSION,
                           form->checkBoxLockWithSession->isChecked());
        settings->setValue(CONFIGURATION_KEY_CLIPBOARD_CLEARING_DELAY_SECONDS,
                           form->spinBoxClipboardClearingDelay->value());
        settings->setValue(CONFIGURATION_KEY_IS_APPLICATION_SCREENSHOT_ALLOWED,
                           form->checkBoxAllowScreenshot->isChecked());
        settings->setValue(CONFIGURATION_KEY_IS_BACKUP_REMINDER_ENABLED,
                           form->checkBoxBackupReminder->isChecked());
    }
    viewHost()->removeView(this);
    Q_EMIT configurationChanged();
}

void ViewContentSettings::_slotPushButtonCancelClicked()
{
    viewHost()->removeView(this);
}
