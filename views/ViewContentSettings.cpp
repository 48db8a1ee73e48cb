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
            settingValue(SETTING_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED));

        const bool isAutoLockingEnabled = settingValue(SETTING_IS_APPLICATION_AUTO_LOCKING_ENABLED);
        form->checkBoxApplicationAutoLocking->setChecked(isAutoLockingEnabled);
        // setChecked() emits nothing when the state does not change: match the delay explicitly.
        form->widgetApplicationAutoLockingDelay->setEnabled(isAutoLockingEnabled);

        // The spin box brings a stored value outside 1 to 1440 back into that range.
        form->spinBoxApplicationAutoLocking->setValue(
            settingValue(SETTING_APPLICATION_AUTO_LOCKING_DELAY_MINUTES));

        form->checkBoxLockWithSession->setChecked(settingValue(SETTING_IS_APPLICATION_LOCKED_WITH_SESSION));
        // The spin box brings a stored value outside 0 to 3600 back into that range.
        form->spinBoxClipboardClearingDelay->setValue(settingValue(SETTING_CLIPBOARD_CLEARING_DELAY_SECONDS));

        form->checkBoxAllowScreenshot->setChecked(settingValue(SETTING_IS_APPLICATION_SCREENSHOT_ALLOWED));
        form->checkBoxBackupReminder->setChecked(settingValue(SETTING_IS_BACKUP_REMINDER_ENABLED));
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
    setSettingValue(SETTING_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED,
                    form->checkBoxNewApplicationVersionCheck->isChecked());
    setSettingValue(SETTING_IS_APPLICATION_AUTO_LOCKING_ENABLED,
                    form->checkBoxApplicationAutoLocking->isChecked());
    // Kept even when auto locking is off, so that turning it on again finds the user's delay.
    setSettingValue(SETTING_APPLICATION_AUTO_LOCKING_DELAY_MINUTES,
                    form->spinBoxApplicationAutoLocking->value());
    setSettingValue(SETTING_IS_APPLICATION_LOCKED_WITH_SESSION, form->checkBoxLockWithSession->isChecked());
    setSettingValue(SETTING_CLIPBOARD_CLEARING_DELAY_SECONDS, form->spinBoxClipboardClearingDelay->value());
    setSettingValue(SETTING_IS_APPLICATION_SCREENSHOT_ALLOWED, form->checkBoxAllowScreenshot->isChecked());
    setSettingValue(SETTING_IS_BACKUP_REMINDER_ENABLED, form->checkBoxBackupReminder->isChecked());
    viewHost()->removeView(this);
    Q_EMIT configurationChanged();
}

void ViewContentSettings::_slotPushButtonCancelClicked()
{
    viewHost()->removeView(this);
}
