#include "PrivateSettingsStore.h"

#include "app/Configuration.h"

#include <QStandardPaths>
#include <QTemporaryDir>

void usePrivateSettingsStore()
{
    static QTemporaryDir directory;
    static bool isInitialized = false;
    if (isInitialized)
        return;
    isInitialized = true;

    // The language values come from the normal initialization; its store is then replaced.
    QStandardPaths::setTestModeEnabled(true);
    initializeConfiguration();
    releaseConfiguration();
    settings = new QSettings(directory.filePath(QStringLiteral("Configuration.ini")), QSettings::IniFormat);

    settings->setValue(CONFIGURATION_KEY_IS_FIRST_RUN, false);
    settings->setValue(CONFIGURATION_KEY_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED, true);
    settings->setValue(CONFIGURATION_KEY_IS_APPLICATION_AUTO_LOCKING_ENABLED, true);
    settings->setValue(CONFIGURATION_KEY_APPLICATION_AUTO_LOCKING_DELAY_MINUTES, 10);
    settings->setValue(CONFIGURATION_KEY_IS_APPLICATION_SCREENSHOT_ALLOWED, false);
    settings->setValue(CONFIGURATION_KEY_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION, APPLICATION_VERSION);
}
