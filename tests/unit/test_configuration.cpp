#include "app/Configuration.h"
#include "vault/DeviceSealMemory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

// initializeConfiguration() depends on process-wide state: the system locale read from the environment,
// the executable's directory and the native store under the user's configuration directory. Each case
// therefore runs a copy of this test program, placed in a temporary directory, as a child process with its
// own environment; the child initializes the configuration, reports what it sees and releases it.

namespace
{
const char PROBE_VARIABLE[] = "CORVANE_CONFIGURATION_PROBE";
const QStringList DEFAULT_KEYS = {"ApplicationAutoLockingDelayMinutes",
                                  "ClipboardClearingDelaySeconds",
                                  "IsApplicationAutoLockingEnabled",
                                  "IsApplicationLockedWithSession",
                                  "IsApplicationScreenshotAllowed",
                                  "IsBackupReminderEnabled",
                                  "IsFirstRun",
                                  "IsNewApplicationVersionCheckEnabled"};

int _runConfigurationProbe(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    initializeConfiguration();
    // A device seen sealed is remembered, and forgotten after a save too full for a seal.
    DeviceSealMemory sealMemory(settings);
    const DeviceIdentity probe{QStringLiteral("TZQVR-PROBE"), QStringLiteral("P1")};
    sealMemory.recordVerifiedWrite(VaultSeal{VAULT_SEAL_VALID, 3}, probe);
    const bool isRemembered = sealMemory.isKnownSealed(probe);
    sealMemory.recordVerifiedWrite(VaultSeal{VAULT_SEAL_ABSENT, 0}, probe);
    QTextStream output(stdout);
    output << "sealMemory=" << isRemembered << sealMemory.isKnownSealed(probe) << '\n'
           << "systemLanguage=" << static_cast<int>(getSystemLanguage()) << '\n'
           << "applicationLanguageCode=" << getApplicationLanguageCode() << '\n'
           << "organizationName=" << QCoreApplication::organizationName() << '\n'
           << "applicationName=" << QCoreApplication::applicationName() << '\n'
           << "format=" << static_cast<int>(settings->format()) << '\n'
           << "fileName=" << settings->fileName() << '\n';
    output.flush();
    releaseConfiguration();
    return 0;
}

struct ProbeResult
{
    QMap<QString, QString> values;
    QString applicationDirectory;
    QString nativeStorePath;
    QString configurationHome;
};

class Sandbox
{
public:
    Sandbox()
    {
        QDir root(directory.path());
        root.mkpath("application");
        root.mkpath("config");
        root.mkpath("home");
    }

    QString applicationDirectory() const
    {
        return directory.filePath("application");
    }
    QString portableFilePath() const
    {
        return applicationDirectory() + "/Configuration.ini";
    }
    QString configurationHome() const
    {
        return directory.filePath("config");
    }
    QString nativeStorePath() const
    {
        return configurationHome() + "/corvane.example/Corvane Key Manager.conf";
    }
    QString executablePath() const
    {
        return applicationDirectory() + "/" + QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    }

    void writePortableFile(const QByteArray& content) const
    {
        QFile file(portableFilePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    // Runs the probe with the given LANG; returns the lines "key=value" it printed.
    QMap<QString, QString> runProbe(const QString& language = QStringLiteral("en_US.UTF-8")) const
    {
        QMap<QString, QString> values;
        if (!QFile::exists(executablePath()) &&
            !QFile::copy(QCoreApplication::applicationFilePath(), executablePath()))
            return values;

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LC_NUMERIC", "LANGUAGE"})
            environment.remove(variable);
        environment.insert("LANG", language);
        environment.insert("XDG_CONFIG_HOME", configurationHome());
        environment.insert("HOME", directory.filePath("home"));
        environment.insert(PROBE_VARIABLE, "1");

        QProcess probe;
        probe.setProcessEnvironment(environment);
        probe.start(executablePath(), {});
        if (!probe.waitForFinished(120000) || probe.exitStatus() != QProcess::NormalExit ||
            probe.exitCode() != 0)
        {
            qWarning() << "probe failed:" << probe.readAllStandardError();
            return values;
        }
        const QStringList lines =
            QString::fromUtf8(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        for (QString line : lines)
        {
            // Windows writes the probe's lines with CR LF.
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            values.insert(line.section('=', 0, 0), line.section('=', 1));
        }
        return values;
    }

    bool nativeStoreTouched() const
    {
        return !QDir(configurationHome()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty();
    }

private:
    QTemporaryDir directory;
};

QStringList _sortedKeys(QSettings& store)
{
    QStringList keys = store.allKeys();
    keys.sort();
    return keys;
}
} // namespace

class TestConfiguration : public QObject
{
    Q_OBJECT

private slots:
    void settingsAreReadTypedAndTheirWritesAnnounced()
    {
        QTemporaryDir directory;
        const QString storePath = directory.filePath("Configuration.ini");
        settings = new QSettings(storePath, QSettings::IniFormat);
        // Missing, readable as text, unreadable.
        QCOMPARE(settingValue(SETTING_CLIPBOARD_CLEARING_DELAY_SECONDS), 30);
        QCOMPARE(settingValue(SETTING_IS_APPLICATION_LOCKED_WITH_SESSION), true);
        settings->setValue("ClipboardClearingDelaySeconds", "12");
        settings->setValue("ApplicationAutoLockingDelayMinutes", "soon");
        QCOMPARE(settingValue(SETTING_CLIPBOARD_CLEARING_DELAY_SECONDS), 12);
        QCOMPARE(settingValue(SETTING_APPLICATION_AUTO_LOCKING_DELAY_MINUTES), 10);

        QSignalSpy changed(ConfigurationNotifier::instance(), &ConfigurationNotifier::changed);
        setSettingValue(SETTING_IS_BACKUP_REMINDER_ENABLED, false);
        setSettingValue(SETTING_LAST_BACKUP_DIRECTORY, QStringLiteral("/backups"));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("IsBackupReminderEnabled"));
        QCOMPARE(changed.at(1).at(0).toString(), QStringLiteral("LastBackupDirectory"));
        QCOMPARE(settingValue(SETTING_IS_BACKUP_REMINDER_ENABLED), false);
        releaseConfiguration();

        // Stored under the same keys and in the same form as ever.
        QSettings store(storePath, QSettings::IniFormat);
        QCOMPARE(store.value("IsBackupReminderEnabled").toString(), QStringLiteral("false"));
        QCOMPARE(store.value("LastBackupDirectory").toString(), QStringLiteral("/backups"));
        // Without a store every setting reads as its default and a write goes nowhere.
        QCOMPARE(settingValue(SETTING_IS_BACKUP_REMINDER_ENABLED), true);
        setSettingValue(SETTING_IS_BACKUP_REMINDER_ENABLED, false);
        QCOMPARE(changed.count(), 2);
    }

    void freshNativeStoreGetsExactlyTheDefaults()
    {
#ifdef Q_OS_WIN
        QSKIP("the native store is the registry on Windows");
#endif
        Sandbox sandbox;
        const QMap<QString, QString> values = sandbox.runProbe();
        QCOMPARE(values.value("organizationName"), QStringLiteral("corvane.example"));
        QCOMPARE(values.value("applicationName"), QStringLiteral("Corvane Key Manager"));
        QCOMPARE(values.value("format"), QString::number(QSettings::NativeFormat));
        QCOMPARE(values.value("fileName"), sandbox.nativeStorePath());
        QVERIFY(!QFile::exists(sandbox.portableFilePath())); // portable mode is never created by the program

        {
            QSettings store(sandbox.nativeStorePath(), QSettings::IniFormat);
            QCOMPARE(_sortedKeys(store), DEFAULT_KEYS);
            QCOMPARE(store.value("IsFirstRun").toString(), QStringLiteral("true"));
            QCOMPARE(store.value("IsNewApplicationVersionCheckEnabled").toString(), QStringLiteral("true"));
            QCOMPARE(store.value("IsApplicationAutoLockingEnabled").toString(), QStringLiteral("true"));
            QCOMPARE(store.value("ApplicationAutoLockingDelayMinutes").toString(), QStringLiteral("10"));
            QCOMPARE(store.value("IsApplicationScreenshotAllowed").toString(), QStringLiteral("false"));
            QCOMPARE(store.value("IsApplicationLockedWithSession").toString(), QStringLiteral("true"));
            QCOMPARE(store.value("ClipboardClearingDelaySeconds").toString(), QStringLiteral("30"));
            QVERIFY(!store.contains(CONFIGURATION_KEY_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION));

            // What the user changed survives the next start.
            store.setValue("IsFirstRun", false);
            store.setValue("ApplicationAutoLockingDelayMinutes", 3);
        }
        sandbox.runProbe();
        QSettings store(sandbox.nativeStorePath(), QSettings::IniFormat);
        QCOMPARE(_sortedKeys(store), DEFAULT_KEYS);
        QCOMPARE(store.value("IsFirstRun").toBool(), false);
        QCOMPARE(store.value("ApplicationAutoLockingDelayMinutes").toInt(), 3);
    }

    void existingPortableFileKeepsItsValuesAndGainsMissingKeys()
    {
        Sandbox sandbox;
        sandbox.writePortableFile("[General]\nApplicationAutoLockingDelayMinutes=25\nIsFirstRun=later\n"
                                  "LicenseAcceptedForApplicationVersion=2.2\n");
        const QMap<QString, QString> values = sandbox.runProbe();
        QCOMPARE(values.value("format"), QString::number(QSettings::IniFormat));
        QCOMPARE(values.value("fileName"), sandbox.portableFilePath());
        QVERIFY(!sandbox.nativeStoreTouched());

        QSettings store(sandbox.portableFilePath(), QSettings::IniFormat);
        QCOMPARE(_sortedKeys(store), QStringList(DEFAULT_KEYS) << "LicenseAcceptedForApplicationVersion");
        QCOMPARE(store.value("ApplicationAutoLockingDelayMinutes").toInt(), 25);
        QCOMPARE(store.value("IsFirstRun").toString(),
                 QStringLiteral("later")); // never overwritten, whatever its type
        QCOMPARE(store.value("LicenseAcceptedForApplicationVersion").toString(), QStringLiteral("2.2"));
        QCOMPARE(store.value("IsApplicationAutoLockingEnabled").toBool(), true);
        QCOMPARE(store.value("IsApplicationScreenshotAllowed").toBool(), false);
    }

    void emptyPortableFileSwitchesToPortableMode()
    {
        Sandbox sandbox;
        sandbox.writePortableFile(QByteArray());
        const QMap<QString, QString> values = sandbox.runProbe();
        QCOMPARE(values.value("format"), QString::number(QSettings::IniFormat));
        QCOMPARE(values.value("organizationName"), QString());
        QCOMPARE(values.value("applicationName"), QFileInfo(sandbox.executablePath()).baseName());
        QVERIFY(!sandbox.nativeStoreTouched());

        QFile file(sandbox.portableFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.startsWith("[General]"));
        QVERIFY(content.contains("ApplicationAutoLockingDelayMinutes=10"));
#ifndef Q_OS_WIN
        // The store names devices and save dates: owner-only, whatever the umask (Windows keeps it in an
        // access list, which test_platform_seams checks).
        QCOMPARE(file.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 QFile::ReadOwner | QFile::WriteOwner);
#endif
        QCOMPARE(values.value("sealMemory"), QStringLiteral("10"));
        QSettings store(sandbox.portableFilePath(), QSettings::IniFormat);
        QCOMPARE(_sortedKeys(store), DEFAULT_KEYS);
    }

    void interfaceLanguageFollowsTheSystemLocale()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows takes the locale from the user's settings, not from LANG");
#endif
        Sandbox sandbox;
        const struct
        {
            const char* environment;
            QLocale::Language language;
            const char* code;
        } cases[] = {
            {"fr_FR.UTF-8", QLocale::French, "fr"},  {"fr_CA.UTF-8", QLocale::French, "fr"},
            {"en_US.UTF-8", QLocale::English, "en"}, {"de_DE.UTF-8", QLocale::German, "en"},
            {"es_ES.UTF-8", QLocale::Spanish, "en"},
        };
        QCOMPARE(static_cast<int>(QLocale::French), 85);
        for (const auto& entry : cases)
        {
            const QMap<QString, QString> values = sandbox.runProbe(entry.environment);
            QCOMPARE(values.value("systemLanguage"), QString::number(entry.language));
            QCOMPARE(values.value("applicationLanguageCode"), QString::fromLatin1(entry.code));
        }
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(PROBE_VARIABLE))
        return _runConfigurationProbe(argc, argv);
    QCoreApplication application(argc, argv);
    TestConfiguration test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_configuration.moc"
