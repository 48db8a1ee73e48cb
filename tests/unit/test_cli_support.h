#pragma once

// Running the real corvane-cli program from the command-line tool tests.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <sys/stat.h>

struct CliRun
{
    bool isFinished = false;
    int exitCode = -1;
    QByteArray standardOutput;
    QByteArray standardError;

    QString describe() const
    {
        return QStringLiteral("exit %1, stdout: %2, stderr: %3")
            .arg(exitCode)
            .arg(QString::fromUtf8(standardOutput.left(2000)), QString::fromUtf8(standardError));
    }
};

inline QString cliProgramPath()
{
    return QStringLiteral(CORVANE_CLI_PATH);
}

// Runs corvane-cli with input on its standard input (a pipe, never a terminal) and the simulated devices
// of deviceDirectory only. Waits for the end, however long the device transfers take.
inline CliRun runCli(const QStringList& arguments, const QByteArray& input = QByteArray(),
                     const QString& deviceDirectory = QString(), const QString& workingDirectory = QString())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVANE_DEVICE_DIR"), deviceDirectory);
    process.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(cliProgramPath(), arguments);
    CliRun run;
    if (!process.waitForStarted(30000))
        return run;
    process.write(input);
    process.closeWriteChannel();
    run.isFinished = process.waitForFinished(240000) && process.exitStatus() == QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.standardOutput = process.readAllStandardOutput();
    run.standardError = process.readAllStandardError();
    // In the sanitizer build a report may come with the very exit code a test expects: it fails the run.
    if (run.standardError.contains("Sanitizer") || run.standardError.contains("runtime error:"))
        run.isFinished = false;
    return run;
}

inline QByteArray readWholeFile(const QString& filePath)
{
    QFile file(filePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeWholeFile(const QString& filePath, const QByteArray& content)
{
    QFile file(filePath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

// The permission bits of a file, -1 when it does not exist.
inline int filePermissionBits(const QString& filePath)
{
    struct stat status;
    if (::stat(QFile::encodeName(filePath).constData(), &status) != 0)
        return -1;
    return static_cast<int>(status.st_mode & 07777);
}
