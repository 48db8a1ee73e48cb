// health: the password health report of a vault, one finding per line for scripts.

#include "cli/CliCommandLine.h"
#include "cli/CliCommands.h"
#include "cli/CliDeviceAccess.h"
#include "cli/CliFiles.h"
#include "cli/CliTerminalInput.h"
#include "cli/CliVaultImage.h"
#include "common/SecureImageBuffer.h"
#include "common/SecureMemory.h"
#include "passwordtools/PasswordHealthAnalysis.h"
#include "vault/MemoryImage.h"

namespace
{
const char* _kindName_helper(PasswordHealthFinding::Kind kind)
{
    switch (kind)
    {
    case PasswordHealthFinding::KIND_SAME_AS_MASTER_PASSWORD:
        return "master";
    case PasswordHealthFinding::KIND_REUSED:
        return "reused";
    case PasswordHealthFinding::KIND_EMPTY:
        return "empty";
    case PasswordHealthFinding::KIND_WEAK:
    case PasswordHealthFinding::KIND_COUNT:
        break;
    }
    return "weak";
}

// One finding is one line whatever the names hold: tab, line feed, carriage return and backslash are
// written as \t, \n, \r and \\.
QString _escapeField_helper(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar character : text)
    {
        switch (character.unicode())
        {
        case u'\t':
            escaped += QStringLiteral("\\t");
            break;
        case u'\n':
            escaped += QStringLiteral("\\n");
            break;
        case u'\r':
            escaped += QStringLiteral("\\r");
            break;
        case u'\\':
            escaped += QStringLiteral("\\\\");
            break;
        default:
            escaped += character;
        }
    }
    return escaped;
}

} // namespace

int runHealthCommand(const QStringList& arguments)
{
    CliCommandLine commandLine(
        QStringLiteral("health"),
        QStringLiteral("(--device USB_SERIAL | --image FILE) [--memory main|backup] [--accept-modified] "
                       "[--accept-older] [--require-seal]"),
        QStringLiteral(
            "Decrypts a vault with its master password and prints its password health report, as the "
            "application's \"Password health\" page shows it: one line per finding, in order of severity, "
            "with four tab-separated fields: the kind (master: same as the master password; reused; "
            "empty; weak), the tab name, the record name and the reason. A tab, line feed, carriage return "
            "or backslash inside a field is written as \\t, \\n, \\r or \\\\. No password is printed. "
            "Exit status 0 when the report was made, with or without findings. The master password is "
            "asked on the terminal, or read as one line from standard input."));
    const QCommandLineOption deviceOption(
        QStringLiteral("device"),
        QStringLiteral("Read the vault from the device with this USB serial number."),
        QStringLiteral("USB_SERIAL"));
    const QCommandLineOption imageOption(
        QStringLiteral("image"), QStringLiteral("Read the vault from a memory image file (see backup)."),
        QStringLiteral("FILE"));
    const QCommandLineOption memoryOption(QStringLiteral("memory"),
                                          QStringLiteral("With --device: use this memory when the main and "
                                                         "backup memories differ (main or backup)."),
                                          QStringLiteral("main|backup"));
    const QCommandLineOption acceptModifiedOption(
        QStringLiteral("accept-modified"),
        QStringLiteral("Report on a vault whose seal shows it was modified outside Corvane Key Manager."));
    const QCommandLineOption acceptOlderOption(
        QStringLiteral("accept-older"),
        QStringLiteral("Report on a device's vault older than the one saved from this computer."));
    const QCommandLineOption requireSealOption(QStringLiteral("require-seal"),
                                               QStringLiteral("Refuse a vault without integrity seal."));
    for (const QCommandLineOption& option : {deviceOption, imageOption, memoryOption, acceptModifiedOption,
                                             acceptOlderOption, requireSealOption})
        commandLine.addOption(option);
    if (const int exitCode = commandLine.parse(arguments, 0, 0);
        exitCode != CliCommandLine::CLI_EXIT_CODE_CONTINUE)
        return exitCode;
    if (commandLine.isSet(deviceOption) == commandLine.isSet(imageOption))
        return commandLine.reportUsageError(QStringLiteral("give either --device or --image"));
    CliMemoryChoice memoryChoice = CLI_MEMORY_CHOICE_UNSET;
    if (!parseMemoryChoice(commandLine.value(memoryOption), memoryChoice))
        return commandLine.reportUsageError(QStringLiteral("--memory takes main or backup"));
    if (commandLine.isSet(memoryOption) && !commandLine.isSet(deviceOption))
        return commandLine.reportUsageError(QStringLiteral("--memory applies to --device only"));

    SecureImageBuffer storedImage(MEMORY_IMAGE_SIZE);
    DeviceIdentity deviceIdentity;
    QString errorMessage;
    if (!readStoredImage(commandLine.value(imageOption), commandLine.value(deviceOption), memoryChoice,
                         storedImage, deviceIdentity, errorMessage))
        return reportFailure(errorMessage);
    QString masterPassword;
    if (!readPassword(QStringLiteral("Master password: "), masterPassword, errorMessage))
        return reportFailure(errorMessage);
    Vault vault;
    VaultSeal seal;
    if (!decryptVaultImage(storedImage.data(), masterPassword, vault, errorMessage, &seal.state,
                           &seal.saveCounter))
    {
        secureClearString(masterPassword);
        return reportFailure(errorMessage);
    }
    // The same judgement of the seal as export: a report on changed data would vouch for them.
    const CliSealOptions sealOptions{commandLine.isSet(acceptModifiedOption),
                                     commandLine.isSet(acceptOlderOption),
                                     commandLine.isSet(requireSealOption)};
    if (!acceptOpenedVaultSeal(seal, deviceIdentity, sealOptions, errorMessage))
    {
        secureClearString(masterPassword);
        clearVault(vault);
        return reportFailure(errorMessage);
    }

    QList<PasswordHealthFinding> findings;
    {
        PasswordHealthAnalysis analysis;
        analysis.start(vault);
        analysis.finish();
        findings = analysis.findings(masterPassword);
    }
    secureClearString(masterPassword);
    for (const PasswordHealthFinding& finding : findings)
    {
        printLine(QStringLiteral("%1\t%2\t%3\t%4")
                      .arg(QLatin1String(_kindName_helper(finding.kind)),
                           _escapeField_helper(finding.tabName), _escapeField_helper(finding.recordName),
                           _escapeField_helper(finding.reasonText())));
    }
    findings.clear();
    clearVault(vault);
    return CLI_EXIT_CODE_SUCCESS;
}
