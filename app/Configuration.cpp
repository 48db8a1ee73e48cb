#include "app/Configuration.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>
#include <QVariant>

QSettings* settings = nullptr;

namespace
{
QLocale::Language systemLanguage = QLocale::AnyLanguage;
QString applicationLanguageCode = QStringLiteral("en");

template <typename T> void _storeDefault_helper(const ConfigurationSetting<T>& setting)
{
    if (setting.isDefaultStored && !settings->contains(QLatin1String(setting.key)))
        settings->setValue(QLatin1String(setting.key), QVariant::fromValue(setting.defaultValue));
}
} // namespace

void initializeConfiguration()
{
    releaseConfiguration(); // a second initialization replaces the store instead of leaking it
    systemLanguage = QLocale::system().language();
    applicationLanguageCode = systemLanguage == QLocale::French ? QStringLiteral("fr") : QStringLiteral("en");

    // A "Configuration.ini" placed beside the executable makes the installation portable.
    const QString portableFilePath = QCoreApplication::applicationDirPath() + "/Configuration.ini";
    if (QFile::exists(portableFilePath))
    {
        settings = new QSettings(portableFilePath, QSettings::IniFormat);
    }
    else
    {
        QCoreApplication::setOrganizationName(QStringLiteral("corvane.example"));
        QCoreApplication::setApplicationName(QStringLiteral("Corvane Key Manager"));
        settings = new QSettings();
    }

    _storeDefault_helper(SETTING_IS_FIRST_RUN);
    _storeDefault_helper(SETTING_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED);
    _storeDefault_helper(SETTING_IS_APPLICATION_AUTO_LOCKING_ENABLED);
    _storeDefault_helper(SETTING_APPLICATION_AUTO_LOCKING_DELAY_MINUTES);
    _storeDefault_helper(SETTING_IS_APPLICATION_SCREENSHOT_ALLOWED);
    _storeDefault_helper(SETTING_IS_APPLICATION_LOCKED_WITH_SESSION);
    _storeDefault_helper(SETTING_CLIPBOARD_CLEARING_DELAY_SECONDS);
    _storeDefault_helper(SETTING_IS_BACKUP_REMINDER_ENABLED);
    _storeDefault_helper(SETTING_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION);
    _storeDefault_helper(SETTING_LAST_BACKUP_DIRECTORY);
}

ConfigurationNotifier* ConfigurationNotifier::instance()
{
    static ConfigurationNotifier notifier;
    return &notifier;
}

void releaseConfiguration()
{
    delete settings;
    settings = nullptr;
}

bool isDeviceVaultKnownSealed(const QString& usbSerialNumber)
{
    if (!settings || usbSerialNumber.isEmpty())
        return false;
    return settings->value(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES))
        .toStringList()
        .contains(usbSerialNumber);
}

void rememberDeviceVaultSealed(const QString& usbSerialNumber)
{
    if (!settings || usbSerialNumber.isEmpty() || isDeviceVaultKnownSealed(usbSerialNumber))
        return;
    QStringList usbSerialNumbers =
        settings->value(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES)).toStringList();
    usbSerialNumbers.append(usbSerialNumber);
    settings->setValue(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES), usbSerialNumbers);
    settings->sync();
}

void forgetDeviceVaultSealed(const QString& usbSerialNumber)
{
    if (!settings || !isDeviceVaultKnownSealed(usbSerialNumber))
        return;
    QStringList usbSerialNumbers =
        settings->value(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES)).toStringList();
    usbSerialNumbers.removeAll(usbSerialNumber);
    if (usbSerialNumbers.isEmpty())
        settings->remove(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES));
    else
        settings->setValue(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES), usbSerialNumbers);
    settings->sync();
}

QLocale::Language getSystemLanguage()
{
    return systemLanguage;
}

QString getApplicationLanguageCode()
{
    return applicationLanguageCode;
}

bool loadQtTranslation(QTranslator& translator)
{
    return translator.load(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qt_" +
                           applicationLanguageCode + ".qm");
}

bool loadApplicationTranslation(QTranslator& translator)
{
    if (systemLanguage == QLocale::English)
        return false;
    return translator.load(":/Translations/" + applicationLanguageCode + ".qm");
}
