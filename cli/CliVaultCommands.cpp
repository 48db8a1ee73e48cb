// export and import: the commands that decrypt a vault to CSV and build a vault image from CSV.

#include "cli/CliCommandLine.h"
#include "cli/CliCommands.h"
#include "cli/CliDeviceAccess.h"
#include "cli/CliFiles.h"
#include "cli/CliTerminalInput.h"
#include "cli/CliVaultImage.h"
#include "common/SecureImageBuffer.h"
#include "common/SecureMemory.h"
#include "csv/CsvExport.h"
#include "csv/CsvImport.h"
#include "vault/MemoryImage.h"
#include "vault/VaultText.h"

#include <QFileInfo>
#include <QMultiMap>

namespace
{
// Longest tab-name part of a --split file name, in characters.
constexpr int MAXIMUM_FILE_NAME_TAB_PART_SIZE = 60;

// The tab name made safe for a file name: letters, digits, '-' and '_' kept, runs of anything else
// turned into one '_', no leading or trailing '_'.
QString _sanitizeTabName_helper(const QString& tabName)
{
    QString sanitized;
    for (const QChar character : tabName)
    {
        const bool isKept = character.isLetterOrNumber() || character == u'-' || character == u'_';
        if (isKept)
            sanitized.append(character);
        else if (!sanitized.endsWith(u'_'))
            sanitized.append(u'_');
        if (sanitized.size() >= MAXIMUM_FILE_NAME_TAB_PART_SIZE)
            break;
    }
    while (sanitized.startsWith(u'_'))
        sanitized.remove(0, 1);
    while (sanitized.endsWith(u'_'))
        sanitized.chop(1);
    return sanitized;
}

// "vault.csv", tab 2 of 12 named "Bank accounts" -> "vault-02-Bank_accounts.csv".
QString _splitFilePath_helper(const QString& outputPath, int tabIndex, int tabCount, const QString& tabName)
{
    QString basePath = outputPath;
    QString suffix = QStringLiteral(".csv");
    if (basePath.endsWith(suffix, Qt::CaseInsensitive) &&
        QFileInfo(basePath).fileName().size() > suffix.size())
    {
        suffix = basePath.right(suffix.size());
        basePath.chop(suffix.size());
    }
    const int width = static_cast<int>(QString::number(tabCount).size());
    const QString number = QStringLiteral("%1").arg(tabIndex + 1, width, 10, QLatin1Char('0'));
    const QString namePart = _sanitizeTabName_helper(tabName);
    return QStringLiteral("%1-%2%3%4")
        .arg(basePath, number, namePart.isEmpty() ? QString() : u'-' + namePart, suffix);
}

bool _exportTabsSeparately_helper(const Vault& vault, const QString& outputPath, bool isReplacingAllowed,
                                  QString& errorMessage)
{
    const int tabCount = static_cast<int>(vault.size());
    QStringList filePaths;
    for (int tabIndex = 0; tabIndex < tabCount; tabIndex++)
        filePaths.append(_splitFilePath_helper(outputPath, tabIndex, tabCount, vault[tabIndex].name));
    // Checked for every tab first, so that a refusal does not come after half of the files were written.
    if (!isReplacingAllowed)
    {
        for (const QString& filePath : filePaths)
        {
            if (pathExists(filePath))
            {
                errorMessage = describeFileWriteFailure(filePath, QString(), true);
                return false;
            }
        }
    }
    for (int tabIndex = 0; tabIndex < tabCount; tabIndex++)
    {
        const QString& filePath = filePaths[tabIndex];
        const VaultTab& tab = vault[tabIndex];
        QString reason;
        if (exportCSVFile(filePath, tab.passwords, isReplacingAllowed, reason) != 0)
        {
            errorMessage = QStringLiteral("could not export the CSV file '%1' (%2)").arg(filePath, reason);
            return false;
        }
        printNote(QStringLiteral("Tab '%1': %2 written to '%3'.")
                      .arg(tab.name, countedNoun(tab.passwords.size(), "record", "records"), filePath));
    }
    return true;
}

bool _exportAllTabs_helper(const Vault& vault, const QString& outputPath, bool isReplacingAllowed,
                           QString& errorMessage)
{
    QList<PasswordRecord> passwords;
    for (const VaultTab& tab : vault)
        passwords.append(tab.passwords);
    bool isExported = true;
    if (outputPath.isEmpty())
    {
        QByteArray text = exportCSVText(passwords);
        isExported = writeStandardOutput(text.constData(), text.size(), errorMessage);
        secureClearByteArray(text);
    }
    else if (QString reason; exportCSVFile(outputPath, passwords, isReplacingAllowed, reason) != 0)
    {
        errorMessage = QStringLiteral("could not export the CSV file '%1' (%2)").arg(outputPath, reason);
        isExported = false;
    }
    else
    {
        printNote(QStringLiteral("%1 of %2 written to '%3'.")
                      .arg(countedNoun(passwords.size(), "record", "records"),
                           countedNoun(vault.size(), "tab", "tabs"), outputPath));
    }
    // The list shares its texts with the vault; cleared first, it leaves them to the vault's own clearing.
    for (PasswordRecord& password : passwords)
        password.clear();
    return isExported;
}

bool _parseSeparator_helper(const QString& text, QChar& separator)
{
    if (text == QLatin1String(",") || text == QLatin1String(";"))
        separator = text.at(0);
    else if (text == QLatin1String("tab") || text == QLatin1String("\t"))
        separator = u'\t';
    else if (text == QLatin1String("space") || text == QLatin1String(" "))
        separator = u' ';
    else
        return false;
    return true;
}

// The application's import view proposes the file name up to its first dot as the new tab's name.
QString _defaultTabName_helper(const QString& csvPath)
{
    const QString fileName = QFileInfo(csvPath).fileName();
    return fileName.left(fileName.indexOf(u'.'));
}

// The image encoding cannot hold U+0000, U+0003 and U+0004. Returns how many were removed.
int _removeForbiddenCharacters_helper(QList<PasswordRecord>& passwords)
{
    int totalRemovedCount = 0;
    for (PasswordRecord& password : passwords)
    {
        for (int field = 0; field < PasswordRecord::FIELD_COUNT; field++)
        {
            int removedCount = 0;
            const QString cleanText = removeForbiddenVaultCharacters(password.field(field), &removedCount);
            if (removedCount == 0)
                continue;
            secureClearString(password.field(field));
            password.field(field) = cleanText;
            totalRemovedCount += removedCount;
        }
    }
    return totalRemovedCount;
}

// The order the application gives records imported into a new tab: ascending names (exact comparison),
// each record placed before those already imported with the same name.
QList<PasswordRecord> _orderAsImported_helper(const QList<PasswordRecord>& passwords)
{
    QMultiMap<QString, PasswordRecord> orderedPasswords;
    for (const PasswordRecord& password : passwords)
        orderedPasswords.insert(password.name, password);
    return orderedPasswords.values();
}

bool _readNewMasterPassword_helper(QString& masterPassword, QString& errorMessage)
{
    QString confirmation;
    if (!readPassword(QStringLiteral("New master password: "), masterPassword, errorMessage) ||
        !readPassword(QStringLiteral("Confirm the new master password: "), confirmation, errorMessage))
        return false;
    const bool isMatching = masterPassword == confirmation;
    secureClearString(confirmation);
    if (!isMatching)
        errorMessage = QStringLiteral("the two master passwords differ");
    else if (masterPassword.isEmpty())
        errorMessage = QStringLiteral("the master password must not be empty");
    return isMatching && !masterPassword.isEmpty();
}

int _importRecords_helper(const QString& csvPath, QChar separator, bool isColumnsOrderFixed,
                          QList<PasswordRecord>& passwords)
{
    QString errorMessage;
    const int result = importCSVFile(csvPath, separator, isColumnsOrderFixed, passwords, errorMessage);
    if (result == -2)
        return reportFailure(
            QStringLiteral("could not import the CSV file '%1' (no column titles found on its "
                           "first line; use --header none for a file in this application's "
                           "own layout)")
                .arg(csvPath));
    if (result != 0)
        return reportFailure(
            QStringLiteral("could not import the CSV file '%1' (%2)").arg(csvPath, errorMessage));
    return CLI_EXIT_CODE_SUCCESS;
}
} // namespace

int runExportCommand(const QStringList& arguments)
{
    CliCommandLine commandLine(
        QStringLiteral("export"),
        QStringLiteral("(--device USB_SERIAL | --image FILE) [--memory main|backup] [--output CSV [--split] "
                       "[--force]] [--accept-modified] [--accept-older] [--require-seal]"),
        QStringLiteral(
            "Decrypts a vault with its master password and writes its records as CSV in this "
            "application's own layout (no header; name, login, password, web site, note; every field "
            "quoted): all records of all tabs in tab order, to standard output or to CSV. With --split "
            "each tab goes to its own file, named after CSV, the tab number and the tab name. Files are "
            "readable by their owner only and replace an existing file only with --force; the output holds "
            "every password in clear text. The master "
            "password is asked on the terminal, or read as one line from standard input."));
    const QCommandLineOption deviceOption(
        QStringLiteral("device"),
        QStringLiteral("Read the vault from the device with this USB serial number."),
        QStringLiteral("USB_SERIAL"));
    const QCommandLineOption imageOption(
        QStringLiteral("image"), QStringLiteral("Read the vault from a memory image file (see backup)."),
        QStringLiteral("FILE"));
    const QCommandLineOption memoryOption(
        QStringLiteral("memory"),
        QStringLiteral("With --device: use this memory when the main and backup "
                       "memories differ (main or backup)."),
        QStringLiteral("main|backup"));
    const QCommandLineOption outputOption(QStringLiteral("output"),
                                          QStringLiteral("Write to this file instead of standard output."),
                                          QStringLiteral("CSV"));
    const QCommandLineOption splitOption(QStringLiteral("split"),
                                         QStringLiteral("One file per tab: CSV-<number>-<tab name>.csv."));
    const QCommandLineOption acceptModifiedOption(
        QStringLiteral("accept-modified"),
        QStringLiteral("Export a vault whose seal shows it was modified outside Corvane Key Manager."));
    const QCommandLineOption acceptOlderOption(
        QStringLiteral("accept-older"),
        QStringLiteral("Export a device's vault older than the one saved from this computer."));
    const QCommandLineOption requireSealOption(QStringLiteral("require-seal"),
                                               QStringLiteral("Refuse a vault without integrity seal."));
    const QCommandLineOption forceOption(QStringLiteral("force"),
                                         QStringLiteral("Replace the output files if they exist."));
    for (const QCommandLineOption& option :
         {deviceOption, imageOption, memoryOption, outputOption, splitOption, acceptModifiedOption,
          acceptOlderOption, requireSealOption, forceOption})
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
    const QString outputPath = commandLine.value(outputOption);
    if (commandLine.isSet(splitOption) && outputPath.isEmpty())
        return commandLine.reportUsageError(QStringLiteral("--split needs --output"));
    const bool isReplacingAllowed = commandLine.isSet(forceOption);
    if (isReplacingAllowed && outputPath.isEmpty())
        return commandLine.reportUsageError(QStringLiteral("--force needs --output"));
    // Refused before the device is read and the password asked; the writer checks again at the end.
    if (!isReplacingAllowed && !commandLine.isSet(splitOption) && !outputPath.isEmpty() &&
        pathExists(outputPath))
        return reportFailure(describeFileWriteFailure(outputPath, QString(), true));

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
    const bool isDecrypted = decryptVaultImage(storedImage.data(), masterPassword, vault, errorMessage,
                                               &seal.state, &seal.saveCounter);
    secureClearString(masterPassword);
    if (!isDecrypted)
        return reportFailure(errorMessage);
    const CliSealOptions sealOptions{commandLine.isSet(acceptModifiedOption),
                                     commandLine.isSet(acceptOlderOption),
                                     commandLine.isSet(requireSealOption)};
    if (!acceptOpenedVaultSeal(seal, deviceIdentity, sealOptions, errorMessage))
    {
        clearVault(vault);
        return reportFailure(errorMessage);
    }

    const bool isExported =
        commandLine.isSet(splitOption)
            ? _exportTabsSeparately_helper(vault, outputPath, isReplacingAllowed, errorMessage)
            : _exportAllTabs_helper(vault, outputPath, isReplacingAllowed, errorMessage);
    clearVault(vault);
    return isExported ? CLI_EXIT_CODE_SUCCESS : reportFailure(errorMessage);
}

int runImportCommand(const QStringList& arguments)
{
    CliCommandLine commandLine(
        QStringLiteral("import"),
        QStringLiteral("--output IMAGE [--separator , | ; | tab | space] [--header auto|none] [--tab NAME] "
                       "[--force] CSV"),
        QStringLiteral(
            "Builds an encrypted memory image holding one tab with the records of a CSV file, as the "
            "application's CSV import does: layouts exported by other password managers are "
            "recognised by their header line with --header auto; by default the file is read in this "
            "application's own layout, without header, as 'corvane-cli export' writes it. The new master "
            "password is asked twice on the terminal, or "
            "read as two lines from standard input. Write the image to a device with "
            "'corvane-cli restore'."));
    const QCommandLineOption outputOption(
        QStringLiteral("output"), QStringLiteral("The image file to create (readable by its owner only)."),
        QStringLiteral("IMAGE"));
    const QCommandLineOption separatorOption(QStringLiteral("separator"),
                                             QStringLiteral("Field separator: , ; tab or space (default ,)."),
                                             QStringLiteral("SEPARATOR"), QStringLiteral(","));
    const QCommandLineOption headerOption(
        QStringLiteral("header"),
        QStringLiteral(
            "none: no header line, the columns are name, login, password, web site, note (default, "
            "the layout 'export' writes); auto: the first line names the columns."),
        QStringLiteral("auto|none"), QStringLiteral("none"));
    const QCommandLineOption tabOption(QStringLiteral("tab"),
                                       QStringLiteral("Name of the tab (default: the CSV file name up to its "
                                                      "first dot)."),
                                       QStringLiteral("NAME"));
    const QCommandLineOption forceOption(QStringLiteral("force"),
                                         QStringLiteral("Replace IMAGE if it exists."));
    for (const QCommandLineOption& option :
         {outputOption, separatorOption, headerOption, tabOption, forceOption})
        commandLine.addOption(option);
    commandLine.addPositionalArgument(QStringLiteral("CSV"), QStringLiteral("The CSV file to import."),
                                      QStringLiteral("CSV"));
    if (const int exitCode = commandLine.parse(arguments, 1, 1);
        exitCode != CliCommandLine::CLI_EXIT_CODE_CONTINUE)
        return exitCode;
    const QString imagePath = commandLine.value(outputOption);
    if (imagePath.isEmpty())
        return commandLine.reportUsageError(QStringLiteral("--output IMAGE is required"));
    QChar separator;
    if (!_parseSeparator_helper(commandLine.value(separatorOption), separator))
        return commandLine.reportUsageError(QStringLiteral("--separator takes , ; tab or space"));
    const QString header = commandLine.value(headerOption);
    if (header != QLatin1String("auto") && header != QLatin1String("none"))
        return commandLine.reportUsageError(QStringLiteral("--header takes auto or none"));
    const bool isReplacingAllowed = commandLine.isSet(forceOption);
    if (!isReplacingAllowed && pathExists(imagePath))
        return reportFailure(describeFileWriteFailure(imagePath, QString(), true));

    const QString csvPath = commandLine.positionalArguments().first();
    QList<PasswordRecord> importedPasswords;
    if (const int exitCode =
            _importRecords_helper(csvPath, separator, header == QLatin1String("none"), importedPasswords);
        exitCode != CLI_EXIT_CODE_SUCCESS)
        return exitCode;
    const int removedCount = _removeForbiddenCharacters_helper(importedPasswords);
    if (removedCount > 0)
        printNote(QStringLiteral("Removed %1 (U+0000, U+0003 or U+0004) that a vault cannot hold.")
                      .arg(countedNoun(removedCount, "control character", "control characters")));
    Vault vault = {VaultTab{removeForbiddenVaultCharacters(commandLine.isSet(tabOption)
                                                               ? commandLine.value(tabOption)
                                                               : _defaultTabName_helper(csvPath)),
                            _orderAsImported_helper(importedPasswords)}};
    for (PasswordRecord& password : importedPasswords)
        password.clear();

    QString masterPassword;
    QString errorMessage;
    SecureImageBuffer image(MEMORY_IMAGE_SIZE);
    int freeCount = 0;
    bool isBuilt =
        _readNewMasterPassword_helper(masterPassword, errorMessage) &&
        encryptVaultImage(vault, masterPassword, image.data(), freeCount, errorMessage) &&
        writeOwnerOnlyFile(imagePath, image.data(), MEMORY_IMAGE_SIZE, isReplacingAllowed, errorMessage);
    secureClearString(masterPassword);
    const qsizetype recordCount = vault.first().passwords.size();
    const QString tabName = vault.first().name;
    clearVault(vault);
    if (!isBuilt)
        return reportFailure(errorMessage);
    printNote(QStringLiteral("%1 imported into the tab '%2' of '%3' (available memory: %4%).")
                  .arg(countedNoun(recordCount, "record", "records"), tabName, imagePath,
                       QString::number(getVaultFillPercentage(freeCount))));
    return CLI_EXIT_CODE_SUCCESS;
}
