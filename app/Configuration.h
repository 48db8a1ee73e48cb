#pragma once

// APPLICATION_VERSION: the running version, used by the license gate, the update check and the About box.
#include "app/ApplicationVersion.h"

#include <QLocale>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QVariant>

class QTranslator;

// The one settings store of the process, created by initializeConfiguration() and deleted at shutdown.
extern QSettings* settings;

// Setting keys (top-level, so they land in the "[General]" section of an INI file).
#define CONFIGURATION_KEY_IS_FIRST_RUN "IsFirstRun"
#define CONFIGURATION_KEY_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED "IsNewApplicationVersionCheckEnabled"
#define CONFIGURATION_KEY_IS_APPLICATION_AUTO_LOCKING_ENABLED "IsApplicationAutoLockingEnabled"
#define CONFIGURATION_KEY_APPLICATION_AUTO_LOCKING_DELAY_MINUTES "ApplicationAutoLockingDelayMinutes"
#define CONFIGURATION_KEY_IS_APPLICATION_SCREENSHOT_ALLOWED "IsApplicationScreenshotAllowed"
#define CONFIGURATION_KEY_IS_APPLICATION_LOCKED_WITH_SESSION "IsApplicationLockedWithSession"
#define CONFIGURATION_KEY_CLIPBOARD_CLEARING_DELAY_SECONDS "ClipboardClearingDelaySeconds"
#define CONFIGURATION_KEY_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION "LicenseAcceptedForApplicationVersion"
// USB serial numbers of the devices whose vault this computer has seen sealed, as earlier versions kept
// them; now read only (DeviceSealMemory keeps its records under "DeviceSeals").
#define CONFIGURATION_KEY_SEALED_VAULT_DEVICES "SealedVaultDevices"
#define CONFIGURATION_KEY_IS_BACKUP_REMINDER_ENABLED "IsBackupReminderEnabled"
#define CONFIGURATION_KEY_LAST_BACKUP_DIRECTORY "LastBackupDirectory"
// Per device, under "DeviceBackups/<USB serial number>/": when it was last backed up and last saved to,
// as ISO 8601 UTC date-times.
#define CONFIGURATION_GROUP_DEVICE_BACKUPS "DeviceBackups"
#define CONFIGURATION_KEY_DEVICE_LAST_BACKUP "LastBackup"
#define CONFIGURATION_KEY_DEVICE_LAST_SAVE "LastSave"
#define CONFIGURATION_KEY_DEVICE_BACKUP_IMAGES "BackupImages"

// One stored setting: its key, the type it is read as and its default, each written once in the table
// below. The default is also what a missing or unreadable value reads as, and what a process without a store
// (a unit test) sees.
template <typename T> struct ConfigurationSetting
{
    const char* key;
    T defaultValue;
    // Whether the first start writes the default into the store (the settings the settings page shows).
    bool isDefaultStored;
};

// The table of settings.
inline const ConfigurationSetting<bool> SETTING_IS_FIRST_RUN{CONFIGURATION_KEY_IS_FIRST_RUN, true, true};
inline const ConfigurationSetting<bool> SETTING_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED{
    CONFIGURATION_KEY_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED, true, true};
inline const ConfigurationSetting<bool> SETTING_IS_APPLICATION_AUTO_LOCKING_ENABLED{
    CONFIGURATION_KEY_IS_APPLICATION_AUTO_LOCKING_ENABLED, true, true};
inline const ConfigurationSetting<int> SETTING_APPLICATION_AUTO_LOCKING_DELAY_MINUTES{
    CONFIGURATION_KEY_APPLICATION_AUTO_LOCKING_DELAY_MINUTES, 10, true};
inline const ConfigurationSetting<bool> SETTING_IS_APPLICATION_SCREENSHOT_ALLOWED{
    CONFIGURATION_KEY_IS_APPLICATION_SCREENSHOT_ALLOWED, false, true};
inline const ConfigurationSetting<bool> SETTING_IS_APPLICATION_LOCKED_WITH_SESSION{
    CONFIGURATION_KEY_IS_APPLICATION_LOCKED_WITH_SESSION, true, true};
inline const ConfigurationSetting<int> SETTING_CLIPBOARD_CLEARING_DELAY_SECONDS{
    CONFIGURATION_KEY_CLIPBOARD_CLEARING_DELAY_SECONDS, 30, true};
inline const ConfigurationSetting<bool> SETTING_IS_BACKUP_REMINDER_ENABLED{
    CONFIGURATION_KEY_IS_BACKUP_REMINDER_ENABLED, true, true};
inline const ConfigurationSetting<QString> SETTING_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION{
    CONFIGURATION_KEY_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION, QString(), false};
inline const ConfigurationSetting<QString> SETTING_LAST_BACKUP_DIRECTORY{
    CONFIGURATION_KEY_LAST_BACKUP_DIRECTORY, QString(), false};

// Tells the parts that follow a setting (the window's locking, the clipboard delay) that one was written
// through setSettingValue().
class ConfigurationNotifier : public QObject
{
    Q_OBJECT

public:
    static ConfigurationNotifier* instance();

Q_SIGNALS:
    void changed(const QString& key);

private:
    ConfigurationNotifier() = default;
};

template <typename T> T settingValue(const ConfigurationSetting<T>& setting)
{
    if (!settings)
        return setting.defaultValue;
    // An INI store gives text back ("true", "30"); a value edited into something unreadable reads as the
    // default.
    QVariant value = settings->value(QLatin1String(setting.key));
    return value.isValid() && value.convert(QMetaType::fromType<T>()) ? value.value<T>()
                                                                      : setting.defaultValue;
}

// Stores the value and announces it (ConfigurationNotifier::changed); nothing without a store.
template <typename T> void setSettingValue(const ConfigurationSetting<T>& setting, const T& value)
{
    if (!settings)
        return;
    settings->setValue(QLatin1String(setting.key), QVariant::fromValue(value));
    Q_EMIT ConfigurationNotifier::instance()->changed(QLatin1String(setting.key));
}

// Sets the language values, selects the store ("Configuration.ini" beside the executable when present,
// otherwise the native per-user store) and writes the missing defaults.
void initializeConfiguration();

// Deletes the settings object, which writes pending values to the store.
void releaseConfiguration();

QLocale::Language getSystemLanguage();
// "fr" on a French system, otherwise "en".
QString getApplicationLanguageCode();

// Qt's own translation for the application language ("qt_<code>.qm" of Qt's translations directory), so
// that standard buttons and dialogs speak the user's language. False when there is none to load.
bool loadQtTranslation(QTranslator& translator);
// The application's compiled-in translation (":/Translations/<code>.qm"). Never attempted on an English
// system, whose texts are the sources. False when nothing was loaded.
bool loadApplicationTranslation(QTranslator& translator);
