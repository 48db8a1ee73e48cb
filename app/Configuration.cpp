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

struct DefaultSetting
{
    QString key;
    QVariant value;
};

const QList<DefaultSetting>& _defaultSettings_helper()
{
    static const QList<DefaultSetting> defaults = {
        {QStringLiteral(CONFIGURATION_KEY_IS_FIRST_RUN), QVariant(true)},
        {QStringLiteral(CONFIGURATION_KEY_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED), QVariant(true)},
        {QStringLiteral(CONFIGURATION_KEY_IS_APPLICATION_AUTO_LOCKING_ENABLED), QVariant(true)},
        {QStringLiteral(CONFIGURATION_KEY_APPLICATION_AUTO_LOCKING_DELAY_MINUTES), QVariant(10)},
        {QStringLiteral(CONFIGURATION_KEY_IS_APPLICATION_SCREENSHOT_ALLOWED), QVariant(false)},
        {QStringLiteral(CONFIGURATION_KEY_IS_APPLICATION_LOCKED_WITH_SESSION), QVariant(true)},
        {QStringLiteral(CONFIGURATION_KEY_CLIPBOARD_CLEARING_DELAY_SECONDS), QVariant(30)},
        {QStringLiteral(CONFIGURATION_KEY_IS_BACKUP_REMINDER_ENABLED), QVariant(true)},
    };
    return defaults;
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

    for (const DefaultSetting& entry : _defaultSettings_helper())
    {
        if (!settings->contains(entry.key))
            settings->setValue(entry.key, entry.value);
    }
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
