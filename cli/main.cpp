// corvane-cli: the Corvane device and its vault from the command line, for scripts and backups.

#include "app/Configuration.h"
#include "app/DiagnosticOutput.h"
#include "cli/CliCommandLine.h"
#include "cli/CliCommands.h"
#include "cli/CliStandardStreams.h"
#include "common/SecureMemory.h"

#include <QCoreApplication>

#include <cstdio>

namespace
{
struct CliCommand
{
    const char* name;
    const char* summary;
    int (*run)(const QStringList& arguments);
};

const CliCommand COMMANDS[] = {
    {"list", "List the connected devices.", runListCommand},
    {"info", "Show a device's name, serial number, versions and backup disable flag.", runInfoCommand},
    {"backup", "Save the encrypted memory image of a device to a file.", runBackupCommand},
    {"restore", "Write a memory image file to both memories of a device and verify it.", runRestoreCommand},
    {"export", "Decrypt a device or image file and write its records as CSV.", runExportCommand},
    {"import", "Build an encrypted memory image file from a CSV file.", runImportCommand},
    {"generate", "Print a random password.", runGenerateCommand},
    {"estimate", "Rate the strength of a password.", runEstimateCommand},
    {"health", "List the weak, reused and empty passwords of a device or image file.", runHealthCommand},
};

QString _overviewText_helper()
{
    QString text = QStringLiteral("Usage: corvane-cli COMMAND [OPTIONS] [ARGUMENTS]\n"
                                  "       corvane-cli COMMAND --help\n\n"
                                  "Works with Corvane password vault devices and their memory images.\n\n"
                                  "Commands:\n");
    for (const CliCommand& command : COMMANDS)
        text +=
            QStringLiteral("  %1 %2\n")
                .arg(QString::fromLatin1(command.name).leftJustified(10), QString::fromUtf8(command.summary));
    text += QStringLiteral(
        "\nPasswords are read from the terminal without echo, or one line each from standard\n"
        "input when it is not a terminal; they are never taken from the command line.\n\n"
        "Exit status: 0 success, 1 failure (the reason on standard error), 2 command-line error.\n"
        "Environment: CORVANE_DEVICE_DIR names a directory of simulated devices to list as well.\n"
        "See corvane-cli(1) for details.\n");
    return text;
}

int _reportUnknownCommand_helper(const QString& message)
{
    std::fprintf(stderr, "corvane-cli: %s\nTry 'corvane-cli --help' for the list of commands.\n",
                 message.toUtf8().constData());
    return CLI_EXIT_CODE_USAGE;
}
} // namespace

int main(int argc, char* argv[])
{
    disableCoreDumps();
    prepareStandardStreams();
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(APPLICATION_VERSION));
    silenceDebugOutput();

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (arguments.isEmpty())
        return _reportUnknownCommand_helper(QStringLiteral("missing command"));
    const QString commandName = arguments.takeFirst();
    if (commandName == QLatin1String("--help") || commandName == QLatin1String("-h") ||
        commandName == QLatin1String("help"))
    {
        std::fputs(_overviewText_helper().toUtf8().constData(), stdout);
        return CLI_EXIT_CODE_SUCCESS;
    }
    if (commandName == QLatin1String("--version"))
    {
        printLine(QStringLiteral("corvane-cli %1").arg(QStringLiteral(APPLICATION_VERSION)));
        return CLI_EXIT_CODE_SUCCESS;
    }
    for (const CliCommand& command : COMMANDS)
    {
        if (commandName != QLatin1String(command.name))
            continue;
        const int exitCode = command.run(arguments);
        // Lines printed on standard output are buffered; a failed write shows in the stream's error flag.
        if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && exitCode == CLI_EXIT_CODE_SUCCESS)
            return reportFailure(QStringLiteral("cannot write to standard output"));
        return exitCode;
    }
    return _reportUnknownCommand_helper(QStringLiteral("unknown command '%1'").arg(commandName));
}
