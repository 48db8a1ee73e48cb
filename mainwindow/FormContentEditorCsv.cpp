// Records between a tab and CSV files: the import view, the merge of imported records into a tab, and the
// export of the current tab.
#include "FormContentEditor.h"

#include "PasswordTable.h"
#include "common/SecureMemory.h"
#include "csv/CsvExport.h"
#include "csv/CsvImport.h"
#include "ui_FormContentEditor.h"
#include "vault/VaultText.h"
#include "views/ViewContentImportCSVFile.h"
#include "widgets/PlainTextMessage.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMultiMap>

#include <utility>

namespace
{
const char* const CSV_FILE_SUFFIX = ".csv";

// Drops the characters the vault cannot store (its encoding uses them as terminators) from every field;
// returns how many were dropped.
int _removeForbiddenCharacters_helper(QList<PasswordRecord>& passwords)
{
    int totalRemovedCount = 0;
    for (PasswordRecord& password : passwords)
    {
        for (int field = 0; field < PasswordRecord::FIELD_COUNT; field++)
        {
            int removedCount = 0;
            QString cleanText = removeForbiddenVaultCharacters(password.field(field), &removedCount);
            if (removedCount == 0)
                continue;
            secureClearString(password.field(field));
            password.field(field) = std::move(cleanText);
            totalRemovedCount += removedCount;
        }
    }
    return totalRemovedCount;
}

// The tab's records and the imported ones, ordered by name (exact comparison). A record goes before the
// records of the same name already there, so the newest comes first. When replacing, an imported record
// overwrites the first record of its name (the newest) instead, which lets a file's last record of a
// name win over both the tab and the file's earlier records of that name.
QList<PasswordRecord> _mergeImportedPasswords_helper(const QList<PasswordRecord>& existingPasswords,
                                                     const QList<PasswordRecord>& importedPasswords,
                                                     bool areExistingPasswordsReplaced)
{
    QMultiMap<QString, PasswordRecord> passwordsByName;
    for (const PasswordRecord& password : existingPasswords)
        passwordsByName.insert(password.name, password);

    for (const PasswordRecord& password : importedPasswords)
    {
        if (areExistingPasswordsReplaced)
        {
            const auto first = passwordsByName.lowerBound(password.name);
            if (first != passwordsByName.end() && first.key() == password.name)
            {
                first.value() = password;
                continue;
            }
        }
        passwordsByName.insert(password.name, password);
    }
    return passwordsByName.values();
}

void _clearPasswords_helper(QList<PasswordRecord>& passwords)
{
    for (PasswordRecord& password : passwords)
        password.clear();
    passwords.clear();
}
// Offers the header detection for a file whose first line looks like column titles; true when accepted.
// A lock during the question asks it again after the unlock.
bool _isHeaderDetectionPreferred_helper(FormContentEditor* window, const QString& fileName,
                                        QChar fieldsSeparatorCharacter)
{
    // Read in the fixed order, the titles of another manager's export would become a record of their own.
    if (!csvFileStartsWithColumnTitles(fileName, fieldsSeparatorCharacter))
        return false;
    QMessageBox::StandardButton answer = QMessageBox::No;
    const bool isAnswered = window->askAcrossLock(
        [window, &answer]()
        {
            answer = QMessageBox::question(
                window, FormContentEditor::tr("Column titles found"),
                FormContentEditor::tr("The first line of the file looks like the column titles of another "
                                      "password manager.\nRead the columns from these titles instead of "
                                      "importing the line as a record?"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        });
    return isAnswered && answer == QMessageBox::Yes;
}

QString _proposedExportFileName_helper(const QString& tabName, const QString& lastCsvDirectory)
{
    // A "/" in a tab name would turn the proposal into a path through a directory of that name.
    QString fileName = tabName;
    fileName.replace(QLatin1Char('/'), QLatin1Char('_'));
    fileName += QLatin1String(CSV_FILE_SUFFIX);
    // Until a CSV file was used, the dialog starts where it starts by default rather than at the root.
    if (lastCsvDirectory.isEmpty())
        return fileName;
    return lastCsvDirectory + QLatin1Char('/') + fileName;
}
} // namespace

void FormContentEditor::initializeCsv()
{
    connect(form->actionImportCSV, &QAction::triggered, this,
            [this]()
            {
                if (refuseWhenLocked())
                    return;
                QStringList tabNames;
                const int tabCount = form->tabWidget->count();
                for (int tabIndex = 0; tabIndex < tabCount; tabIndex++)
                    tabNames.append(tabName(tabIndex));
                pages.importCSVFile->setImportContext(lastCsvDirectory, tabNames,
                                                      form->tabWidget->currentIndex());
                pushView(VIEW_ID_IMPORT_CSV_FILE);
            });
    connect(form->actionExportCSV, &QAction::triggered, this,
            &FormContentEditor::_slotActionExportCSVTriggered);
    connect(pages.importCSVFile, &ViewContentImportCSVFile::fileSelected, this,
            &FormContentEditor::_slotViewContentImportCSVFileFileSelected);
}

void FormContentEditor::setExportFileNameAsker(ExportFileNameAsker asker)
{
    exportFileNameAsker = std::move(asker);
}

// Import -------------------------------------------------------------------------------------------------

void FormContentEditor::_slotViewContentImportCSVFileFileSelected(
    QString completeFileName, QChar fieldsSeparatorCharacter, bool isColumnsOrderFixed, QString newTabName,
    int selectedExistingTabIndex, bool areExistingPasswordsReplaced)
{
    if (refuseWhenLocked())
        return;
    lastCsvDirectory = QFileInfo(completeFileName).path();
    const QString displayedFileName = QDir::toNativeSeparators(completeFileName);

    // An unreadable file must not leave a new empty tab behind.
    QFile file(completeFileName);
    if (!file.open(QIODevice::ReadOnly))
    {
        pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_ERROR, tr("Error"),
                                 plainTextMessage(tr("Could not open the file '%1' in read mode (%2).")
                                                      .arg(displayedFileName, file.errorString())),
                                 ViewContentMessageBoxDialog::BUTTON_OK,
                                 ViewContentMessageBoxDialog::BUTTON_OK);
        return;
    }
    file.close();

    if (isColumnsOrderFixed &&
        _isHeaderDetectionPreferred_helper(this, completeFileName, fieldsSeparatorCharacter))
        isColumnsOrderFixed = false;

    PasswordTable* table = nullptr;
    if (!newTabName.isEmpty())
    {
        // Created before parsing: it stays, empty, when the file turns out unusable, so the vault changed.
        table = createTab(removeForbiddenVaultCharacters(newTabName));
        setDataModified(true);
    }
    else
    {
        table = tableAt(selectedExistingTabIndex);
    }
    if (!table)
        return;

    QList<PasswordRecord> importedPasswords;
    QString errorMessage;
    const int result = importCSVFile(completeFileName, fieldsSeparatorCharacter, isColumnsOrderFixed,
                                     importedPasswords, errorMessage);
    if (result != 0)
    {
        // The parser gives no text of its own when the header line cannot be read.
        if (errorMessage.isEmpty())
            errorMessage = tr("the column titles of the first line could not be read");
        pushMessageBoxDialogView(
            ViewContentMessageBoxDialog::ICON_ERROR, tr("Error"),
            plainTextMessage(
                tr("Could not import the CSV file '%1' (%2).").arg(displayedFileName, errorMessage)),
            ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
        return;
    }

    const int importedCount = static_cast<int>(importedPasswords.size());
    const int removedCharactersCount = _removeForbiddenCharacters_helper(importedPasswords);
    QList<PasswordRecord> previousPasswords = table->passwords();
    table->setPasswords(
        _mergeImportedPasswords_helper(previousPasswords, importedPasswords, areExistingPasswordsReplaced));
    // The first row, in the tab's order, that came from the file: selected once the tab is shown.
    int firstImportedRow = -1;
    const QList<PasswordRecord>& mergedPasswords = table->passwords();
    for (int row = 0; row < mergedPasswords.size() && firstImportedRow < 0 && importedCount > 0; row++)
    {
        if (importedPasswords.contains(mergedPasswords.at(row)))
            firstImportedRow = row;
    }
    // Records that were replaced, in the tab or earlier in the file, are wiped; the strings still in use are
    // shared with the tab and stay untouched.
    _clearPasswords_helper(previousPasswords);
    _clearPasswords_helper(importedPasswords);
    table->rebuildRows();

    form->tabWidget->setCurrentWidget(table);
    if (firstImportedRow >= 0)
        table->setCurrentCell(firstImportedRow, PasswordTable::COLUMN_NAME);
    setDataModified(true);

    QString message = tr("CSV data were successfully imported.") + QLatin1Char('\n') +
                      tr("Records imported: %1.").arg(importedCount);
    if (removedCharactersCount > 0)
        message += QLatin1Char('\n') + tr("Control characters that a vault cannot store (U+0000, U+0003 and "
                                          "U+0004) were removed from the imported texts: %1.")
                                           .arg(removedCharactersCount);
    pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_INFORMATION,
                             tr("Success", "CSV file importation"), message,
                             ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
}

// Export -------------------------------------------------------------------------------------------------

void FormContentEditor::_slotActionExportCSVTriggered()
{
    if (refuseWhenLocked())
        return;
    if (!currentTable())
        return;

    // A lock closes the dialog unanswered: it is asked again after the unlock.
    const auto askExportFileName = [this](const QString& proposedFileName)
    {
        QString answer;
        const bool isAnswered = askAcrossLock(
            [this, &answer, &proposedFileName]()
            {
                answer =
                    exportFileNameAsker
                        ? exportFileNameAsker(proposedFileName)
                        : QFileDialog::getSaveFileName(this, tr("Export a CSV file"), proposedFileName,
                                                       QStringLiteral("Comma Separated Value (*.csv *.CSV)"));
            });
        return isAnswered ? answer : QString();
    };
    QString fileName = askExportFileName(
        _proposedExportFileName_helper(tabName(form->tabWidget->currentIndex()), lastCsvDirectory));
    // The dialog confirmed replacing the name as typed; with the suffix added it names another file, which
    // must not be replaced silently: the dialog asks again with the complete name.
    while (!fileName.isEmpty() && !fileName.endsWith(QLatin1String(CSV_FILE_SUFFIX), Qt::CaseInsensitive))
    {
        const QString completeFileName = fileName + QLatin1String(CSV_FILE_SUFFIX);
        const QFileInfo completeFileInfo(completeFileName);
        if (!completeFileInfo.exists() && !completeFileInfo.isSymLink())
            fileName = completeFileName;
        else
            fileName = askExportFileName(completeFileName);
    }
    // The tables behind a lock were sealed and rebuilt meanwhile: the current one is looked up now.
    const PasswordTable* table = currentTable();
    if (fileName.isEmpty() || !table || refuseWhenLocked())
        return;
    lastCsvDirectory = QFileInfo(fileName).path();

    // Owner-only, all or nothing: a failure leaves the previous file as it was and says why.
    QString errorMessage;
    if (exportCSVFile(fileName, table->passwords(), true, errorMessage) != 0)
    {
        pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_ERROR, tr("Error"),
                                 plainTextMessage(tr("Could not export the CSV file '%1' (%2).")
                                                      .arg(QDir::toNativeSeparators(fileName), errorMessage)),
                                 ViewContentMessageBoxDialog::BUTTON_OK,
                                 ViewContentMessageBoxDialog::BUTTON_OK);
        return;
    }

    pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_INFORMATION,
                             tr("Success", "CSV file exportation"),
                             tr("The current tab passwords were successfully exported to a CSV file."),
                             ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
}
