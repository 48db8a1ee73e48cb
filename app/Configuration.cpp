#include "app/Configuration.h"

#include "common/OwnerOnlyAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

    // The store names the devices and when they were saved: readable by its owner only. Created empty
    // first, so that the store's own writes keep these permissions.
    restrictFileToOwner(settings->fileName());
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
