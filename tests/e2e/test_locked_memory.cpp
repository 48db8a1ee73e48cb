// What a locked application holds: the real window, started in a process of its own against a simulated
// device, opens a vault, leaves a record page open with its password shown and locks; its memory, read from
// outside as a debugger would, holds neither a record password nor the master password, in UTF-8 or
// UTF-16. The unlock brings the vault and the page back. Reading another process's memory takes root (the
// application makes itself non-dumpable); elsewhere the test skips.
#include "app/Configuration.h"
#include "common/SecureMemory.h"
#include "gui/support/EditorTestSupport.h"
#include "gui/support/PrivateSettingsStore.h"
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "support/DeviceWorkflowSupport.h"
#include "support/SimulatorProcess.h"
#include "views/ViewBase.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

using namespace deviceworkflowtest;

namespace
{
constexpr char CHILD_ARGUMENT[] = "--locked-application";

// A secret nobody else holds: made up at run time, so that no copy sits in the program's own bytes.
QString _randomSecret_helper(const QString& prefix)
{
    QString secret = prefix;
    for (int index = 0; index < 14; index++)
        secret += QLatin1Char("abcdefghjkmnpqrstuvwxyz23456789"[QRandomGenerator::global()->bounded(31)]);
    return secret;
}

// What the unlocked window shows, as one line the parent can compare: the page and a digest of every record.
QByteArray _vaultDigest_helper(const Vault& vault, int viewId)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const VaultTab& tab : vault)
    {
        hash.addData(tab.name.toUtf8());
        for (const PasswordRecord& record : tab.passwords)
        {
            for (int field = 0; field < PasswordRecord::FIELD_COUNT; field++)
                hash.addData(record.field(field).toUtf8() + '\0');
        }
    }
    return QByteArray::number(viewId) + ' ' + hash.result().toHex();
}

// One line of standard input, read byte by byte with no library buffer that would keep a copy.
QString _readSecretLine_helper()
{
    char line[256];
    std::size_t size = 0;
    char character = 0;
    while (size < sizeof(line) && ::read(STDIN_FILENO, &character, 1) == 1 && character != '\n')
        line[size++] = character;
    QString text = QString::fromUtf8(line, static_cast<qsizetype>(size));
    secureZeroMemory(line, sizeof(line));
    return text;
}

void _report_helper(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The application side: the window as the application runs it, driven through its widgets.
int _runLockedApplication_helper(int argc, char* argv[])
{
    disableCoreDumps();
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    usePrivateSettingsStore();
    FormContentEditor* window = editortest::createEditorWindow();
    setSettingValue(SETTING_IS_APPLICATION_AUTO_LOCKING_ENABLED, false);

    QString password = _readSecretLine_helper();
    if (!openVault(window, password))
    {
        _report_helper("open failed: " + editortest::describeScreen(window).toUtf8());
        return 1;
    }
    // The first record's page, its password shown, over the table.
    editortest::clickCell(editortest::tableAt(window, 0), 0, 0);
    action(window, "actionEditRecord")->trigger();
    QWidget* recordPage = window->view(VIEW_ID_PASSWORD_INFORMATION);
    if (!waitForPage(window, VIEW_ID_PASSWORD_INFORMATION))
        return 1;
    QTest::mouseClick(editortest::child<QPushButton>(recordPage, "pushButtonShowPassword"), Qt::LeftButton);
    action(window, "actionLockApplication")->trigger();
    secureClearString(password);
    // Whatever the lock set off has had its turns of the event loop.
    for (int round = 0; round < 10; round++)
        QCoreApplication::processEvents();
    _report_helper(window->isApplicationLocked() ? "locked" : "not locked");

    password = _readSecretLine_helper();
    const bool isUnlocked = unlockWindow(window, password);
    secureClearString(password);
    auto* passwordField = editortest::child<QLineEdit>(recordPage, "lineEditPassword");
    _report_helper(
        (isUnlocked ? "unlocked " : "still locked ") +
        _vaultDigest_helper(window->getVault(), window->currentViewId()) +
        (passwordField->echoMode() == QLineEdit::Password ? " hidden " : " shown ") +
        QCryptographicHash::hash(passwordField->text().toUtf8(), QCryptographicHash::Sha256).toHex());
    editortest::destroyEditorWindow(window);
    return 0;
}

struct MemoryHit
{
    QString secretName;
    quint64 address;
    QString region;
};
} // namespace

class TestLockedMemory : public QObject
{
    Q_OBJECT

private:
    // Every readable mapping of the process: where each needle occurs. False when the memory cannot be read.
    bool scanMemory(qint64 pid, const QList<QPair<QString, QByteArray>>& needles, QList<MemoryHit>& hits)
    {
        QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
        QFile memory(QStringLiteral("/proc/%1/mem").arg(pid));
        if (!maps.open(QIODevice::ReadOnly) || !memory.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return false;
        bool isAnythingRead = false;
        const QList<QByteArray> lines = maps.readAll().split('\n');
        for (const QByteArray& line : lines)
        {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() < 5 || !fields.at(1).startsWith('r'))
                continue;
            const QList<QByteArray> range = fields.at(0).split('-');
            const quint64 start = range.value(0).toULongLong(nullptr, 16);
            const quint64 end = range.value(1).toULongLong(nullptr, 16);
            const QString region =
                QString::fromUtf8(fields.size() > 5 ? fields.at(5) : QByteArray("[anonymous]"));
            if (region == QLatin1String("[vvar]") || region == QLatin1String("[vsyscall]"))
                continue;
            if (!memory.seek(static_cast<qint64>(start)))
                continue;
            const QByteArray bytes = memory.read(static_cast<qint64>(end - start));
            if (bytes.isEmpty())
                continue;
            isAnythingRead = true;
            for (const auto& needle : needles)
            {
                for (qsizetype at = bytes.indexOf(needle.second); at >= 0;
                     at = bytes.indexOf(needle.second, at + 1))
                    hits.append({needle.first, start + static_cast<quint64>(at), region});
            }
        }
        return isAnythingRead;
    }

private Q_SLOTS:
    void lockedApplicationHoldsNoSecret()
    {
#ifndef Q_OS_LINUX
        QSKIP("another process's memory is read through /proc, which only Linux offers");
#else
        const QString masterPassword = _randomSecret_helper(QStringLiteral("Master-"));
        const Vault vault = {
            VaultTab{QStringLiteral("Web"),
                     {editortest::makeRecord("Bank", "jane", _randomSecret_helper(QStringLiteral("Rec1-")),
                                             "bank.example", "note one"),
                      editortest::makeRecord("Mail", "joe", _randomSecret_helper(QStringLiteral("Rec2-")))}},
            VaultTab{
                QStringLiteral("Work"),
                {editortest::makeRecord("Forum", "nick", _randomSecret_helper(QStringLiteral("Rec3-")))}}};

        DeviceDirectory deviceDirectory;
        SimulatorProcess simulator;
        QVERIFY(startDevice(simulator, deviceDirectory, "TZQVR-0001", "Home",
                            encryptVault(vault, masterPassword)));

        QProcess application;
        application.setProgram(QCoreApplication::applicationFilePath());
        application.setArguments({QLatin1String(CHILD_ARGUMENT)});
        application.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        application.start();
        QVERIFY(application.waitForStarted());
        application.write(masterPassword.toUtf8() + '\n');
        QVERIFY(application.waitForReadyRead(60000));
        QByteArray report = application.readLine().trimmed();
        QCOMPARE(report, QByteArray("locked"));

        QList<QPair<QString, QByteArray>> needles;
        const auto addNeedle = [&needles](const QString& name, const QString& secret)
        {
            needles.append({name + QStringLiteral(" (UTF-8)"), secret.toUtf8()});
            needles.append({name + QStringLiteral(" (UTF-16)"),
                            QByteArray(reinterpret_cast<const char*>(secret.utf16()), secret.size() * 2)});
        };
        addNeedle(QStringLiteral("master password"), masterPassword);
        for (const VaultTab& tab : vault)
        {
            for (const PasswordRecord& record : tab.passwords)
                addNeedle(QStringLiteral("password of ") + record.name, record.password);
        }
        QList<MemoryHit> hits;
        const bool isRead = scanMemory(application.processId(), needles, hits);
        if (!isRead)
        {
            application.kill();
            application.waitForFinished();
            QSKIP("the application's memory cannot be read here (/proc/PID/mem needs root for a non-dumpable "
                  "process)");
        }
        for (const MemoryHit& hit : std::as_const(hits))
            qWarning("%s at 0x%llx in %s", qPrintable(hit.secretName),
                     static_cast<unsigned long long>(hit.address), qPrintable(hit.region));

        // Unlocking brings the vault and the record page back, its password hidden again.
        application.write(masterPassword.toUtf8() + '\n');
        QVERIFY(application.waitForReadyRead(60000));
        report = application.readLine().trimmed();
        QVERIFY(application.waitForFinished(60000));
        QCOMPARE(hits.size(), 0);
        const PasswordRecord& firstRecord = vault.first().passwords.first();
        QCOMPARE(
            report,
            "unlocked " + _vaultDigest_helper(vault, VIEW_ID_PASSWORD_INFORMATION) + " hidden " +
                QCryptographicHash::hash(firstRecord.password.toUtf8(), QCryptographicHash::Sha256).toHex());
#endif
    }
};

int main(int argc, char* argv[])
{
    if (argc > 1 && qstrcmp(argv[1], CHILD_ARGUMENT) == 0)
        return _runLockedApplication_helper(argc, argv);
    QApplication application(argc, argv);
    TestLockedMemory test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_locked_memory.moc"
