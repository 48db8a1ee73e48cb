// corvane-cli against simulated devices: listing, device choice, information, backup and restore. The
// program runs as a child process with its standard input on a pipe, the devices are simulator processes
// on real pseudo-terminals.

#include "support/SimulatorProcess.h"
#include "support/SlowTest.h"
#include "test_cli_support.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace
{
constexpr int MEMORY_SIZE = 131072;

QByteArray _randomImage_helper(quint32 seed)
{
    QByteArray image(MEMORY_SIZE, '\0');
    QRandomGenerator generator(seed);
    generator.fillRange(reinterpret_cast<quint32*>(image.data()), MEMORY_SIZE / 4);
    return image;
}

// Each request of a whole write sequence, as the start of its log line: LED blinking, main memory
// selected and its 512 blocks in order, the same for the backup memory, LED stopped.
QStringList _writeSequencePrefixes_helper()
{
    QStringList prefixes = {"A5 01 03"};
    for (const QString& selection : {QStringLiteral("A5 02 00"), QStringLiteral("A5 02 01")})
    {
        prefixes << selection;
        for (int block = 0; block < 512; block++)
            prefixes << QStringLiteral("A5 04 %1 %2 ")
                            .arg(block >> 8, 2, 16, QLatin1Char('0'))
                            .arg(block & 0xFF, 2, 16, QLatin1Char('0'))
                            .toUpper();
        // The main memory is read back before the backup memory is touched.
        if (selection.endsWith(QLatin1String("00")))
            prefixes << "A5 02 00"
                     << "A5 05";
    }
    prefixes << "A5 01 01";
    return prefixes;
}

const QStringList READ_SEQUENCE = {"A5 01 03", "A5 02 00", "A5 05", "A5 02 01", "A5 05", "A5 01 01"};

bool _hasRequestStartingWith_helper(const QStringList& log, const QString& prefix)
{
    for (const QString& line : log)
        if (line.startsWith(prefix))
            return true;
    return false;
}
// corvane-cli running on a pseudo-terminal of its own, as its controlling terminal and as its standard
// input and outputs: what a person at a terminal sees and types.
class TerminalCliRun
{
public:
    TerminalCliRun()
    {
        _masterDescriptor = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (_masterDescriptor >= 0 &&
            (::grantpt(_masterDescriptor) != 0 || ::unlockpt(_masterDescriptor) != 0))
        {
            ::close(_masterDescriptor);
            _masterDescriptor = -1;
        }
    }
    ~TerminalCliRun()
    {
        if (_process.state() != QProcess::NotRunning)
        {
            _process.kill();
            _process.waitForFinished(10000);
        }
        if (_masterDescriptor >= 0)
            ::close(_masterDescriptor);
    }

    bool start(const QStringList& arguments, const QString& deviceDirectory)
    {
        if (_masterDescriptor < 0)
            return false;
        const QByteArray slavePath = ::ptsname(_masterDescriptor);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CORVANE_DEVICE_DIR"), deviceDirectory);
        _process.setProcessEnvironment(environment);
        _process.setChildProcessModifier(
            [slavePath]()
            {
                ::setsid();
                const int slaveDescriptor = ::open(slavePath.constData(), O_RDWR);
                ::ioctl(slaveDescriptor, TIOCSCTTY, 0);
                ::dup2(slaveDescriptor, STDIN_FILENO);
                ::dup2(slaveDescriptor, STDOUT_FILENO);
                ::dup2(slaveDescriptor, STDERR_FILENO);
                if (slaveDescriptor > STDERR_FILENO)
                    ::close(slaveDescriptor);
            });
        _process.start(cliProgramPath(), arguments);
        return _process.waitForStarted(30000);
    }

    // Collects what the terminal shows until it contains text or the program has ended.
    bool waitForOutput(const QByteArray& text)
    {
        const QDeadlineTimer deadline(60000);
        while (!_output.contains(text) && !deadline.hasExpired())
        {
            if (!readOutput(50) && _process.state() == QProcess::NotRunning)
                break;
        }
        return _output.contains(text);
    }

    void type(const QByteArray& keys)
    {
        ::write(_masterDescriptor, keys.constData(), static_cast<size_t>(keys.size()));
    }

    // Waits for the end, reading the terminal meanwhile so that the program never blocks on its output.
    int waitForExitCode()
    {
        const QDeadlineTimer deadline(240000);
        while (!_process.waitForFinished(20) && !deadline.hasExpired())
            readOutput(0);
        while (readOutput(0))
        {
        }
        return _process.state() == QProcess::NotRunning ? _process.exitCode() : -1;
    }

    QByteArray output() const
    {
        return _output;
    }

    // The terminal settings as the program left them.
    bool isEchoOn() const
    {
        struct termios attributes;
        return ::tcgetattr(_masterDescriptor, &attributes) == 0 && (attributes.c_lflag & ECHO) != 0;
    }

private:
    bool readOutput(int timeoutMilliseconds)
    {
        struct pollfd pollDescriptor = {_masterDescriptor, POLLIN, 0};
        if (::poll(&pollDescriptor, 1, timeoutMilliseconds) <= 0 || !(pollDescriptor.revents & POLLIN))
            return false;
        char buffer[4096];
        const ssize_t count = ::read(_masterDescriptor, buffer, sizeof(buffer));
        if (count <= 0)
            return false;
        _output.append(buffer, count);
        return true;
    }

    int _masterDescriptor = -1;
    QProcess _process;
    QByteArray _output;
};
} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listsDevices();
    void choosesTheDevice();
    void showsDeviceInformation();
    void backupThenRestoreOntoAnotherDevice();
    void backupOfDifferingMemories();
    void restoreRefusals();
    void deviceFaultsAreReported();
    void backupAndRestoreAtTheRealLineSpeed();
    void ctrlCStopsAtASafePoint();
    void askingOnTheTerminal();
    void usageErrors();

private:
    // Restore records what it wrote in the settings store: a private one.
    QTemporaryDir configurationDirectory;
};

void TestCli::initTestCase()
{
    QVERIFY(configurationDirectory.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configurationDirectory.path()));
}

void TestCli::listsDevices()
{
    QTemporaryDir deviceDirectory;
    const CliRun empty = runCli({"list"}, QByteArray(), deviceDirectory.path());
    QVERIFY2(empty.isFinished && empty.exitCode == 0, qPrintable(empty.describe()));
    QVERIFY(empty.standardOutput.isEmpty());

    SimulatorProcess home;
    SimulatorProcess office;
    SimulatorProcess lowerCase;
    SimulatorProcess silent;
    QVERIFY2(home.start(deviceDirectory.path(), "TZQVR-0001", {"--name", "Home"}),
             qPrintable(home.errorString()));
    QVERIFY2(office.start(deviceDirectory.path(), "TZQVR-0002", {"--name", "Bureau é"}),
             qPrintable(office.errorString()));
    // The USB serial number prefix is compared case-sensitively: this one is some other product.
    QVERIFY2(lowerCase.start(deviceDirectory.path(), "tzqvr-0003", {"--name", "Other"}),
             qPrintable(lowerCase.errorString()));
    const CliRun two = runCli({"list"}, QByteArray(), deviceDirectory.path());
    QVERIFY2(two.isFinished && two.exitCode == 0, qPrintable(two.describe()));
    QCOMPARE(QString::fromUtf8(two.standardOutput),
             QStringLiteral("TZQVR-0001\t%1\tHome\nTZQVR-0002\t%2\tBureau é\n")
                 .arg(home.portPath(), office.portPath()));
    QVERIFY(lowerCase.requestLog().isEmpty());

    // A device that does not answer is listed with the reason instead of its name.
    QVERIFY2(silent.start(deviceDirectory.path(), "TZQVR-0004", {"--silent"}),
             qPrintable(silent.errorString()));
    const CliRun withSilent = runCli({"list"}, QByteArray(), deviceDirectory.path());
    QVERIFY2(withSilent.isFinished && withSilent.exitCode == 0, qPrintable(withSilent.describe()));
    const QStringList lines = QString::fromUtf8(withSilent.standardOutput).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(
        lines.at(2),
        QStringLiteral("TZQVR-0004\t%1\t(cannot open: the device did not answer)").arg(silent.portPath()));
}

void TestCli::choosesTheDevice()
{
    QTemporaryDir deviceDirectory;
    const CliRun none = runCli({"info"}, QByteArray(), deviceDirectory.path());
    QVERIFY2(none.isFinished && none.exitCode == 1, qPrintable(none.describe()));
    QVERIFY2(none.standardError.startsWith("corvane-cli: no device found"), qPrintable(none.describe()));

    SimulatorProcess first;
    SimulatorProcess second;
    QVERIFY2(first.start(deviceDirectory.path(), "TZQVR-0001", {"--name", "First"}),
             qPrintable(first.errorString()));
    QVERIFY2(second.start(deviceDirectory.path(), "TZQVR-0002", {"--name", "Second"}),
             qPrintable(second.errorString()));
    QTemporaryDir workDirectory;
    QVERIFY(writeWholeFile(workDirectory.filePath("image.bin"), QByteArray(MEMORY_SIZE, 'i')));
    for (const QStringList& arguments :
         {QStringList{"info"}, QStringList{"backup", workDirectory.filePath("new.bin")},
          QStringList{"restore", "--unchecked", "--yes", workDirectory.filePath("image.bin")}})
    {
        const CliRun several = runCli(arguments, QByteArray(), deviceDirectory.path());
        QVERIFY2(several.isFinished && several.exitCode == 1, qPrintable(several.describe()));
        QCOMPARE(several.standardError, QByteArray("corvane-cli: several devices are connected (TZQVR-0001, "
                                                   "TZQVR-0002): choose one with --device USB_SERIAL\n"));
    }
    QVERIFY(!QFile::exists(workDirectory.filePath("new.bin")));
    // Nothing was sent to either device: the choice comes before any opening.
    QVERIFY(first.requestLog().isEmpty());
    QVERIFY(second.requestLog().isEmpty());

    const CliRun missing = runCli({"info", "--device", "TZQVR-0009"}, QByteArray(), deviceDirectory.path());
    QVERIFY2(missing.isFinished && missing.exitCode == 1, qPrintable(missing.describe()));
    QCOMPARE(missing.standardError, QByteArray("corvane-cli: device TZQVR-0009 not found\n"));

    const CliRun chosen = runCli({"info", "--device", "TZQVR-0002"}, QByteArray(), deviceDirectory.path());
    QVERIFY2(chosen.isFinished && chosen.exitCode == 0, qPrintable(chosen.describe()));
    QVERIFY(chosen.standardOutput.startsWith("Device name: Second\n"));
    QVERIFY(first.requestLog().isEmpty());
}

void TestCli::showsDeviceInformation()
{
    QTemporaryDir deviceDirectory;
    SimulatorProcess simulator;
    QVERIFY2(simulator.start(deviceDirectory.path(), "TZQVR-0005",
                             {"--name", "Home", "--serial-number", "SN-42", "--hardware-version", "3",
                              "--firmware-version", "272", "--backup-disabled"}),
             qPrintable(simulator.errorString()));
    const CliRun info = runCli({"info"}, QByteArray(), deviceDirectory.path());
    QVERIFY2(info.isFinished && info.exitCode == 0, qPrintable(info.describe()));
    QCOMPARE(
        QString::fromUtf8(info.standardOutput),
        QStringLiteral("Device name: Home\nSerial number: SN-42\nHardware version: 3\nFirmware version: 272\n"
                       "Prevent using this device as a backup target: yes\nUSB serial number: TZQVR-0005\n"
                       "Port: %1\n")
            .arg(simulator.portPath()));
    QCOMPARE(simulator.requestLog(), QStringList({"A5 08", "A5 06", "A5 00", "A5 0A 00", "A5 01 01"}));

    // A name that would clear the screen, write the clipboard and fake a line through terminal escapes, a
    // line break and a right-to-left override: every control shows as an escape, in list, info and messages.
    QVERIFY(simulator.stop());
    const QString evilName = QStringLiteral("H\x1b[2J\x1b]52;c;eA==\x07\nSerial number: \u202eX");
    QVERIFY2(simulator.start(deviceDirectory.path(), "TZQVR-0005", {"--name", evilName}),
             qPrintable(simulator.errorString()));
    const QByteArray escapedName = "H\\x1b[2J\\x1b]52;c;eA==\\x07\\x0aSerial number: \\u202eX";
    const CliRun listed = runCli({"list"}, QByteArray(), deviceDirectory.path());
    const CliRun shown = runCli({"info"}, QByteArray(), deviceDirectory.path());
    const CliRun backedUp =
        runCli({"backup", deviceDirectory.filePath("erased.bin")}, QByteArray(), deviceDirectory.path());
    for (const CliRun& run : {listed, shown, backedUp})
    {
        QVERIFY2(run.isFinished, qPrintable(run.describe()));
        const QByteArray output = run.standardOutput + run.standardError;
        QVERIFY2(output.contains(escapedName), qPrintable(run.describe()));
        QVERIFY2(!output.contains('\x1b') && !output.contains('\x07') && !output.contains("\xe2\x80\xae"),
                 qPrintable(run.describe()));
    }
    QCOMPARE(shown.standardOutput.count('\n'), 7);

    // A device refusing the flag request: the failure is named, nothing goes to standard output.
    QVERIFY(simulator.stop());
    QVERIFY2(simulator.start(deviceDirectory.path(), "TZQVR-0005", {"--wrong-ack", "0x0A"}),
             qPrintable(simulator.errorString()));
    const CliRun refused = runCli({"info"}, QByteArray(), deviceDirectory.path());
    QVERIFY2(refused.isFinished && refused.exitCode == 1, qPrintable(refused.describe()));
    QVERIFY(refused.standardOutput.isEmpty());
    QVERIFY2(refused.standardError.contains("backup disable flag"), qPrintable(refused.describe()));
}

void TestCli::backupThenRestoreOntoAnotherDevice()
{
    QTemporaryDir deviceDirectory;
    QTemporaryDir workDirectory;
    const QByteArray sourceImage = _randomImage_helper(1);
    SimulatorProcess source;
    SimulatorProcess target;
    QVERIFY(source.writeMemory(0, sourceImage) && source.writeMemory(1, sourceImage));
    QVERIFY(target.writeMemory(0, _randomImage_helper(2)) && target.writeMemory(1, _randomImage_helper(3)));
    QVERIFY2(source.start(deviceDirectory.path(), "TZQVR-0001", {"--name", "Source"}),
             qPrintable(source.errorString()));
    QVERIFY2(target.start(deviceDirectory.path(), "TZQVR-0002", {"--name", "Target"}),
             qPrintable(target.errorString()));

    const QString imagePath = workDirectory.filePath("source.bin");
    const CliRun backup =
        runCli({"backup", "--device", "TZQVR-0001", imagePath}, QByteArray(), deviceDirectory.path());
    QVERIFY2(backup.isFinished && backup.exitCode == 0, qPrintable(backup.describe()));
    QCOMPARE(readWholeFile(imagePath), sourceImage);
    QCOMPARE(filePermissionBits(imagePath), 0600);
    // Read exactly as the application reads: LED blinking around main then backup, LED stopped on close.
    QCOMPARE(source.requestLog(), QStringList({"A5 08"}) + READ_SEQUENCE + QStringList({"A5 01 01"}));

    // An existing file is kept unless --force; with it, the file is replaced and stays private.
    QVERIFY(writeWholeFile(imagePath, "old"));
    QVERIFY(QFile::setPermissions(imagePath, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    source.clearRequestLog();
    const CliRun kept =
        runCli({"backup", "--device", "TZQVR-0001", imagePath}, QByteArray(), deviceDirectory.path());
    QVERIFY2(kept.isFinished && kept.exitCode == 1, qPrintable(kept.describe()));
    QVERIFY2(kept.standardError.contains("already exists"), qPrintable(kept.describe()));
    QCOMPARE(readWholeFile(imagePath), QByteArray("old"));
    QVERIFY(source.requestLog().isEmpty());
    const CliRun forced = runCli({"backup", "--device", "TZQVR-0001", "--force", imagePath}, QByteArray(),
                                 deviceDirectory.path());
    QVERIFY2(forced.isFinished && forced.exitCode == 0, qPrintable(forced.describe()));
    QCOMPARE(readWholeFile(imagePath), sourceImage);
    QCOMPARE(filePermissionBits(imagePath), 0600);
    QCOMPARE(QDir(workDirectory.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"source.bin"}));

    const CliRun restore = runCli({"restore", "--unchecked", "--device", "TZQVR-0002", "--yes", imagePath},
                                  QByteArray(), deviceDirectory.path());
    QVERIFY2(restore.isFinished && restore.exitCode == 0, qPrintable(restore.describe()));
    QCOMPARE(target.memory(0), sourceImage);
    QCOMPARE(target.memory(1), sourceImage);
    // Flag checked first, the device's serial number asked for this computer's records, then main before
    // backup block by block, then both read back; LED stopped on close.
    const QStringList log = target.requestLog();
    const QStringList expectedPrefixes = QStringList({"A5 08", "A5 0A 00", "A5 06"}) +
                                         _writeSequencePrefixes_helper() + READ_SEQUENCE +
                                         QStringList({"A5 01 01"});
    QCOMPARE(log.size(), expectedPrefixes.size());
    for (int index = 0; index < log.size(); index++)
        QVERIFY2(log.at(index).startsWith(expectedPrefixes.at(index)), qPrintable(QString::number(index)));
    QCOMPARE(log.at(5).mid(12), source.memory(0).left(256).toHex(' ').toUpper());
}

void TestCli::backupOfDifferingMemories()
{
    QTemporaryDir deviceDirectory;
    QTemporaryDir workDirectory;
    SimulatorProcess simulator;
    QVERIFY(simulator.writeMemory(0, _randomImage_helper(4)) &&
            simulator.writeMemory(1, _randomImage_helper(4)));
    QVERIFY2(simulator.start(deviceDirectory.path(), "TZQVR-0001", {"--backup-differs-at", "100"}),
             qPrintable(simulator.errorString()));
    const QString imagePath = workDirectory.filePath("image.bin");
    const CliRun refused = runCli({"backup", imagePath}, QByteArray(), deviceDirectory.path());
    QVERIFY2(refused.isFinished && refused.exitCode == 1, qPrintable(refused.describe()));
    QVERIFY2(refused.standardError.contains("main and backup memories") &&
                 refused.standardError.contains("--memory"),
             qPrintable(refused.describe()));
    QVERIFY(!QFile::exists(imagePath));

    for (const QString& memory : {QStringLiteral("backup"), QStringLiteral("main")})
    {
        const CliRun chosen = runCli({"backup", "--force", "--memory", memory, imagePath}, QByteArray(),
                                     deviceDirectory.path());
        QVERIFY2(chosen.isFinished && chosen.exitCode == 0, qPrintable(chosen.describe()));
        QCOMPARE(readWholeFile(imagePath), simulator.memory(memory == QLatin1String("main") ? 0 : 1));
    }
    QVERIFY(simulator.memory(0) != simulator.memory(1));
}

void TestCli::restoreRefusals()
{
    QTemporaryDir deviceDirectory;
    QTemporaryDir workDirectory;
    const QByteArray image = _randomImage_helper(5);
    const QString imagePath = workDirectory.filePath("image.bin");
    QVERIFY(writeWholeFile(imagePath, image));

    SimulatorProcess simulator;
    QVERIFY2(simulator.start(deviceDirectory.path(), "TZQVR-0001"), qPrintable(simulator.errorString()));
    for (const QByteArray& wrongImage : {image.left(MEMORY_SIZE - 1), image + 'x', QByteArray()})
    {
        const QString wrongPath = workDirectory.filePath("wrong.bin");
        QVERIFY(writeWholeFile(wrongPath, wrongImage));
        const CliRun wrongSize =
            runCli({"restore", "--unchecked", "--yes", wrongPath}, QByteArray(), deviceDirectory.path());
        QVERIFY2(wrongSize.isFinished && wrongSize.exitCode == 1, qPrintable(wrongSize.describe()));
        QVERIFY2(wrongSize.standardError.contains(QByteArray::number(wrongImage.size()) +
                                                  " bytes instead of 131072"),
                 qPrintable(wrongSize.describe()));
    }
    const CliRun absent = runCli({"restore", "--unchecked", "--yes", workDirectory.filePath("absent.bin")},
                                 QByteArray(), deviceDirectory.path());
    QVERIFY2(absent.isFinished && absent.exitCode == 1, qPrintable(absent.describe()));
    QVERIFY2(absent.standardError.contains("No such file"), qPrintable(absent.describe()));
    // Without --yes and without a terminal to ask on: a usage error, before anything is read or sent.
    const CliRun unconfirmed = runCli({"restore", "--unchecked", imagePath}, "y\n", deviceDirectory.path());
    QVERIFY2(unconfirmed.isFinished && unconfirmed.exitCode == 2, qPrintable(unconfirmed.describe()));
    QVERIFY2(unconfirmed.standardError.contains("--yes"), qPrintable(unconfirmed.describe()));
    QVERIFY(simulator.requestLog().isEmpty());
    QCOMPARE(simulator.memory(0), QByteArray(MEMORY_SIZE, '\0'));

    // A device that must not serve as a backup target: its flag is read, then nothing is selected or written.
    QVERIFY(simulator.stop());
    QVERIFY2(simulator.start(deviceDirectory.path(), "TZQVR-0001", {"--backup-disabled"}),
             qPrintable(simulator.errorString()));
    const CliRun flagged =
        runCli({"restore", "--unchecked", "--yes", imagePath}, QByteArray(), deviceDirectory.path());
    QVERIFY2(flagged.isFinished && flagged.exitCode == 1, qPrintable(flagged.describe()));
    QVERIFY2(flagged.standardError.contains("backup disable flag is set"), qPrintable(flagged.describe()));
    QCOMPARE(simulator.requestLog(), QStringList({"A5 08", "A5 0A 00", "A5 01 01"}));
    QVERIFY(!_hasRequestStartingWith_helper(simulator.requestLog(), "A5 04"));
    QCOMPARE(simulator.memory(0), QByteArray(MEMORY_SIZE, '\0'));

    // A device that acknowledges every block but stores something else: the read-back catches it.
    QVERIFY(simulator.stop());
    SimulatorProcess inverting;
    QVERIFY2(inverting.start(deviceDirectory.path(), "TZQVR-0001", {"--store-inverted"}),
             qPrintable(inverting.errorString()));
    const CliRun unverified =
        runCli({"restore", "--unchecked", "--yes", imagePath}, QByteArray(), deviceDirectory.path());
    QVERIFY2(unverified.isFinished && unverified.exitCode == 1, qPrintable(unverified.describe()));
    QVERIFY2(unverified.standardError.contains("write verification failed: the main memory"),
             qPrintable(unverified.describe()));

    // A device that stops answering in the middle of the backup memory: the failing block is named.
    QVERIFY(inverting.stop());
    SimulatorProcess stopping;
    QVERIFY2(stopping.start(deviceDirectory.path(), "TZQVR-0001", {"--silent-after-blocks", "612"}),
             qPrintable(stopping.errorString()));
    const CliRun interrupted =
        runCli({"restore", "--unchecked", "--yes", imagePath}, QByteArray(), deviceDirectory.path());
    QVERIFY2(interrupted.isFinished && interrupted.exitCode == 1, qPrintable(interrupted.describe()));
    QVERIFY2(interrupted.standardError.contains("writing block 100 of the backup memory: the device did not "
                                                "answer"),
             qPrintable(interrupted.describe()));
    QCOMPARE(stopping.memory(0), image);
}

void TestCli::ctrlCStopsAtASafePoint()
{
    QTemporaryDir deviceDirectory;
    QTemporaryDir workDirectory;
    const QByteArray previousImage = _randomImage_helper(20);
    const QByteArray newImage = _randomImage_helper(21);
    const QString newImagePath = workDirectory.filePath("new.bin");
    QVERIFY(writeWholeFile(newImagePath, newImage));
    SimulatorProcess simulator;
    QVERIFY(simulator.writeMemory(0, previousImage));
    QVERIFY(simulator.writeMemory(1, previousImage));
    // Fast enough for a short test, slow enough to press Ctrl+C in the middle.
    QVERIFY2(simulator.start(deviceDirectory.path(), "TZQVR-0001",
                             {"--name", "Home", "--speed", "100000", "--packet-size", "64"}),
             qPrintable(simulator.errorString()));
    const auto startCli = [&](QProcess& process, const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CORVANE_DEVICE_DIR"), deviceDirectory.path());
        process.setProcessEnvironment(environment);
        process.start(cliProgramPath(), arguments);
        process.closeWriteChannel();
        return process.waitForStarted(30000);
    };

    {
        // Restore, during the main memory: it stops after the block under way, says what each memory
        // holds, and the backup memory still holds the previous vault.
        QProcess restore;
        QVERIFY(startCli(restore, {"restore", "--unchecked", "--yes", newImagePath}));
        QVERIFY(QTest::qWaitFor([&]() { return simulator.requestLog().size() > 20; }, 30000));
        QCOMPARE(::kill(static_cast<pid_t>(restore.processId()), SIGINT), 0);
        QVERIFY(restore.waitForFinished(30000));
        const QString standardError = QString::fromUtf8(restore.readAllStandardError());
        QCOMPARE(restore.exitStatus(), QProcess::NormalExit);
        QCOMPARE(restore.exitCode(), 130);
        QVERIFY2(
            standardError.contains("Stopping at the next safe point (press Ctrl+C again to stop at once)."),
            qPrintable(standardError));
        QVERIFY2(standardError.contains("corvane-cli: restore stopped: the main memory of device 'Home' "
                                        "(TZQVR-0001) is incomplete; the backup memory still holds the "
                                        "previous vault; run restore again\n"),
                 qPrintable(standardError));
        const QStringList log = simulator.requestLog();
        QVERIFY(!log.contains("A5 02 01"));
        // No block was left half-sent, and the LED was stopped in order.
        QCOMPARE(log.last(), QStringLiteral("A5 01 01"));
        for (const QString& line : log)
            QVERIFY(!line.startsWith("A5 04 ") || line.size() == 260 * 3 - 1);
        QCOMPARE(simulator.memory(1), previousImage);
        QVERIFY(simulator.memory(0) != previousImage && simulator.memory(0) != newImage);
    }
    {
        // Run again, it finishes the job.
        const CliRun restore =
            runCli({"restore", "--unchecked", "--yes", newImagePath}, QByteArray(), deviceDirectory.path());
        QVERIFY2(restore.isFinished && restore.exitCode == 0, qPrintable(restore.describe()));
        QCOMPARE(simulator.memory(0), newImage);
        QCOMPARE(simulator.memory(1), newImage);
    }
    const QString backupPath = workDirectory.filePath("backup.bin");
    for (const bool isPressedTwice : {false, true})
    {
        // Backup: the first Ctrl+C stops the read and no file is written. The device is still sending the
        // abandoned memory (1.3 s at this speed) and the tool waits for it to finish before stopping the
        // LED: a second Ctrl+C ends the program at once.
        simulator.clearRequestLog();
        QProcess backup;
        QVERIFY(startCli(backup, {"backup", backupPath}));
        QVERIFY(QTest::qWaitFor([&]() { return simulator.requestLog().contains("A5 05"); }, 30000));
        QCOMPARE(::kill(static_cast<pid_t>(backup.processId()), SIGINT), 0);
        if (isPressedTwice)
        {
            // Once the first one was noticed (two signals close together would count as one).
            backup.setReadChannel(QProcess::StandardError);
            QByteArray errorOutput;
            QVERIFY(QTest::qWaitFor(
                [&]()
                {
                    backup.waitForReadyRead(10);
                    errorOutput += backup.readAllStandardError();
                    return errorOutput.contains("Stopping at the next safe point");
                },
                30000));
            QCOMPARE(::kill(static_cast<pid_t>(backup.processId()), SIGINT), 0);
            QVERIFY(backup.waitForFinished(30000));
            QCOMPARE(backup.exitStatus(), QProcess::CrashExit);
            QVERIFY(!simulator.requestLog().contains("A5 01 01"));
        }
        else
        {
            QVERIFY(backup.waitForFinished(30000));
            QCOMPARE(backup.exitCode(), 130);
            QVERIFY(
                backup.readAllStandardError().contains("corvane-cli: backup stopped; no file was written\n"));
            QCOMPARE(simulator.requestLog().last(), QStringLiteral("A5 01 01"));
        }
        QVERIFY(!QFile::exists(backupPath));
    }
}

void TestCli::deviceFaultsAreReported()
{
    QTemporaryDir deviceDirectory;
    QTemporaryDir workDirectory;
    const QString imagePath = workDirectory.filePath("backup.bin");
    const auto backUp = [&](const QStringList& faults, const QByteArray& memory)
    {
        SimulatorProcess simulator;
        if (!memory.isEmpty() && (!simulator.writeMemory(0, memory) || !simulator.writeMemory(1, memory)))
            return CliRun();
        if (!simulator.start(deviceDirectory.path(), "TZQVR-0001", faults))
            return CliRun();
        return runCli({"backup", imagePath}, QByteArray(), deviceDirectory.path());
    };

    // A reply that stops half-way names how far it came.
    const CliRun truncated = backUp({"--truncate-memory-reply", "1000"}, _randomImage_helper(8));
    QVERIFY2(truncated.isFinished && truncated.exitCode == 1, qPrintable(truncated.describe()));
    QVERIFY2(truncated.standardError.contains("could not read the main memory of device 'No name defined' "
                                              "(TZQVR-0001) (reading the main memory: the device stopped "
                                              "answering after 1000 of 131072 bytes)"),
             qPrintable(truncated.describe()));
    // An erased device has no vault to back up.
    const CliRun erased = backUp({}, QByteArray());
    QVERIFY2(erased.isFinished && erased.exitCode == 1, qPrintable(erased.describe()));
    QVERIFY2(erased.standardError.contains("holds no vault (its memory is erased); nothing was saved"),
             qPrintable(erased.describe()));
    // A device that babbles 0xA5, which looks like an acknowledgement, is never taken for a good one.
    const CliRun flooding = backUp({"--flood", "0xA5"}, _randomImage_helper(9));
    QVERIFY2(flooding.isFinished && flooding.exitCode == 1, qPrintable(flooding.describe()));
    QVERIFY2(flooding.standardError.contains("the device keeps sending data that nobody asked for"),
             qPrintable(flooding.describe()));
    QVERIFY(!QFile::exists(imagePath));
}

void TestCli::backupAndRestoreAtTheRealLineSpeed()
{
    CORVANE_SLOW_TEST();
#ifdef CORVANE_SANITIZED_BUILD
    QSKIP("minutes of line time; the regular build runs it");
#endif
    // 115 200 baud in USB packets: a backup reads both memories (23 s), a restore writes them, reads the main
    // memory back in between and both at the end (about a minute).
    QTemporaryDir deviceDirectory;
    QTemporaryDir workDirectory;
    const QByteArray image = _randomImage_helper(10);
    SimulatorProcess simulator;
    QVERIFY(simulator.writeMemory(0, image));
    QVERIFY(simulator.writeMemory(1, image));
    QVERIFY2(
        simulator.start(deviceDirectory.path(), "TZQVR-0001", {"--speed", "11520", "--packet-size", "64"}),
        qPrintable(simulator.errorString()));
    const QString imagePath = workDirectory.filePath("backup.bin");
    const CliRun backup = runCli({"backup", imagePath}, QByteArray(), deviceDirectory.path());
    QVERIFY2(backup.isFinished && backup.exitCode == 0, qPrintable(backup.describe()));
    QCOMPARE(readWholeFile(imagePath), image);

    const QByteArray otherImage = _randomImage_helper(11);
    const QString otherImagePath = workDirectory.filePath("other.bin");
    QVERIFY(writeWholeFile(otherImagePath, otherImage));
    const CliRun restore =
        runCli({"restore", "--unchecked", "--yes", otherImagePath}, QByteArray(), deviceDirectory.path());
    QVERIFY2(restore.isFinished && restore.exitCode == 0, qPrintable(restore.describe()));
    QCOMPARE(simulator.memory(0), otherImage);
    QCOMPARE(simulator.memory(1), otherImage);
}

void TestCli::askingOnTheTerminal()
{
    QTemporaryDir deviceDirectory;
    QTemporaryDir workDirectory;
    const QByteArray image = _randomImage_helper(6);
    const QString imagePath = workDirectory.filePath("image.bin");
    QVERIFY(writeWholeFile(imagePath, image));
    SimulatorProcess simulator;
    QVERIFY2(simulator.start(deviceDirectory.path(), "TZQVR-0001", {"--name", "Home"}),
             qPrintable(simulator.errorString()));

    // Anything but yes leaves the device untouched.
    {
        TerminalCliRun declined;
        QVERIFY(declined.start({"restore", "--unchecked", imagePath}, deviceDirectory.path()));
        QVERIFY2(declined.waitForOutput("Overwrite all data of device 'Home' (TZQVR-0001) with '" +
                                        imagePath.toUtf8() + "'? [y/N] "),
                 declined.output().constData());
        declined.type("no\r");
        QCOMPARE(declined.waitForExitCode(), 1);
        QVERIFY2(declined.output().contains("restore cancelled; nothing was written"),
                 declined.output().constData());
    }
    QVERIFY(!_hasRequestStartingWith_helper(simulator.requestLog(), "A5 02"));
    QCOMPARE(simulator.memory(0), QByteArray(MEMORY_SIZE, '\0'));

    {
        TerminalCliRun accepted;
        QVERIFY(accepted.start({"restore", "--unchecked", imagePath}, deviceDirectory.path()));
        QVERIFY2(accepted.waitForOutput("[y/N] "), accepted.output().constData());
        accepted.type("y\r");
        QCOMPARE(accepted.waitForExitCode(), 0);
        // A person watching sees the transfer progress.
        QVERIFY2(accepted.output().contains("Writing: 100%") && accepted.output().contains("Reading: 100%"),
                 accepted.output().constData());
    }
    QCOMPARE(simulator.memory(0), image);
    QCOMPARE(simulator.memory(1), image);

    // A password typed on the terminal is not echoed, and echo is back once it has been read.
    const QString csvPath = workDirectory.filePath("web.csv");
    QVERIFY(writeWholeFile(csvPath, "name,password\nMail,m41l\n"));
    TerminalCliRun import;
    QVERIFY(import.start({"import", "--output", workDirectory.filePath("web.bin"), csvPath},
                         deviceDirectory.path()));
    QVERIFY2(import.waitForOutput("New master password: "), import.output().constData());
    import.type("Hunter2Zq\r");
    QVERIFY2(import.waitForOutput("Confirm the new master password: "), import.output().constData());
    import.type("Hunter2Zq\r");
    QCOMPARE(import.waitForExitCode(), 0);
    QVERIFY2(!import.output().contains("Hunter2Zq"), import.output().constData());
    QVERIFY(import.isEchoOn());
    QCOMPARE(readWholeFile(workDirectory.filePath("web.bin")).size(), MEMORY_SIZE);
}

void TestCli::usageErrors()
{
    QTemporaryDir deviceDirectory;
    const QList<QStringList> usageErrorArguments = {
        {},
        {"frobnicate"},
        {"list", "extra"},
        {"info", "--no-such-option"},
        {"info", "--device"},
        {"backup"},
        {"backup", "a.bin", "b.bin"},
        {"backup", "--memory", "both", "a.bin"},
        {"restore", "--yes"},
        {"export"},
        {"export", "--device", "TZQVR-0001", "--image", "a.bin"},
        {"export", "--image", "a.bin", "--memory", "main"},
        {"export", "--image", "a.bin", "--split"},
        {"export", "--image", "a.bin", "extra"},
        {"import", "a.csv"},
        {"import", "--output", "a.bin"},
        {"import", "--output", "a.bin", "--separator", "|", "a.csv"},
        {"import", "--output", "a.bin", "--header", "yes", "a.csv"},
        {"generate", "--length", "3"},
        {"generate", "--length", "1025"},
        {"generate", "--length", "ten"},
        {"generate", "--auto", "--length", "12"},
        {"generate", "--auto", "--no-digits"},
        {"generate", "--no-lower", "--no-upper", "--no-digits", "--no-symbols"},
        {"estimate", "one", "two"},
    };
    for (const QStringList& arguments : usageErrorArguments)
    {
        const CliRun run = runCli(arguments, QByteArray(), deviceDirectory.path());
        QVERIFY2(run.isFinished && run.exitCode == 2,
                 qPrintable(arguments.join(' ') + ": " + run.describe()));
        QVERIFY2(run.standardOutput.isEmpty(), qPrintable(arguments.join(' ')));
        QVERIFY2(run.standardError.startsWith("corvane-cli"), qPrintable(arguments.join(' ')));
    }

    const QString manualPage =
        QString::fromUtf8(readWholeFile(QStringLiteral(CORVANE_SOURCE_DIR "/docs/corvane-cli.1.in")));
    QVERIFY(!manualPage.isEmpty());
    const CliRun overview = runCli({"--help"});
    QVERIFY2(overview.isFinished && overview.exitCode == 0, qPrintable(overview.describe()));
    const QStringList commands = {"list",   "info",   "backup",   "restore",
                                  "export", "import", "generate", "estimate"};
    for (const QString& command : commands)
    {
        QVERIFY2(overview.standardOutput.contains("\n  " + command.toUtf8() + " "), qPrintable(command));
        const CliRun help = runCli({command, "--help"});
        QVERIFY2(help.isFinished && help.exitCode == 0, qPrintable(help.describe()));
        QVERIFY2(help.standardOutput.startsWith("Usage: corvane-cli " + command.toUtf8()),
                 qPrintable(command));
        // The manual page keeps up with the program: every command and option is described there.
        QVERIFY2(manualPage.contains(".B corvane-cli " + command), qPrintable(command));
        const QRegularExpression optionPattern(QStringLiteral("^  (?:-h, )?--([a-z-]+)"),
                                               QRegularExpression::MultilineOption);
        for (const QRegularExpressionMatch& match :
             optionPattern.globalMatch(QString::fromUtf8(help.standardOutput)))
        {
            QString option = match.captured(1);
            if (option != QLatin1String("help"))
                QVERIFY2(manualPage.contains(QStringLiteral("\\-\\-") +
                                             option.replace('-', QStringLiteral("\\-"))),
                         qPrintable(command + " --" + match.captured(1)));
        }
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
