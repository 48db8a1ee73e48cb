// Export of the current tab and import of CSV files into new and existing tabs, driven through the menu
// actions, the import page and the message page, with real files.
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "support/EditorTestSupport.h"
#include "support/ModalBoxAnswerer.h"
#include "views/ViewBase.h"
#include "views/ViewContentImportCSVFile.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace editortest;

namespace
{
// Radio buttons and check boxes react only to clicks on their indicator and text, at the left of a widget
// that the layout may have made much wider.
void _clickIndicator_helper(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

QStringList _names_helper(const PasswordTable* table)
{
    QStringList names;
    for (const PasswordRecord& record : table->passwords())
        names.append(record.name);
    return names;
}

QStringList _logins_helper(const PasswordTable* table)
{
    QStringList logins;
    for (const PasswordRecord& record : table->passwords())
        logins.append(record.login);
    return logins;
}

int _permissionBits_helper(const QString& fileName)
{
    struct stat status;
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0)
        return -1;
    return status.st_mode & 0777;
}
} // namespace

class TestCsvWorkflows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        directory.reset(new QTemporaryDir);
        QVERIFY(directory->isValid());
    }

    void cleanup()
    {
        destroyEditorWindow(window);
        window = nullptr;
    }

    void exportThenImportRestoresTheRecords()
    {
        const QString tabName = QStringLiteral("Gäste Ünïcode");
        const QList<PasswordRecord> records = {
            makeRecord("Forum", "nick", "a,b;c", "https://forum.example", "line one\nline \"two\""),
            makeRecord("Mail", "me@example.org", "p\"w", QString(), QString()), makeRecord("Ölkonto")};
        start({VaultTab{tabName, records}});

        // The first export has no directory yet; a typed name without the suffix gets it.
        QString message = exportCurrentTab(directory->filePath("out"));
        QCOMPARE(proposedExportName, tabName + ".csv");
        QCOMPARE(viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG), QStringLiteral("Success"));
        QCOMPARE(message,
                 QStringLiteral("The current tab passwords were successfully exported to a CSV file."));
        QFile out(directory->filePath("out.csv"));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readLine(),
                 QByteArray("\"Forum\",\"nick\",\"a,b;c\",\"https://forum.example\",\"line one\n"));
        QCOMPARE(out.readLine(), QByteArray("line \"\"two\"\"\"\n"));
        QCOMPARE(_permissionBits_helper(out.fileName()), 0600);

        // Then the last directory is proposed; an existing file loses its wider permissions.
        const QString upperCaseName = directory->filePath("copy.CSV");
        QFile existing(upperCaseName);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("old content that is longer than nothing");
        existing.close();
        QVERIFY(existing.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ReadGroup | QFileDevice::ReadOther));
        exportCurrentTab(upperCaseName);
        QCOMPARE(proposedExportName, directory->filePath(tabName + ".csv"));
        QVERIFY(!QFile::exists(upperCaseName + ".csv"));
        QCOMPARE(_permissionBits_helper(upperCaseName), 0600);
        exportCurrentTab(proposedExportName);

        message = importFile(proposedExportName, -1);
        QCOMPARE(message, QStringLiteral("CSV data were successfully imported.\nRecords imported: 3."));
        QCOMPARE(viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG), QStringLiteral("Success"));
        QCOMPARE(tabCount(window), 2);
        QCOMPARE(editortest::tabName(window, 1), tabName);
        QCOMPARE(currentTabIndex(window), 1);
        QCOMPARE(tableAt(window, 1)->passwords(), records);
        QCOMPARE(tableAt(window, 1)->rowCount(), int(records.size()));
        QVERIFY(window->isDataModified());
    }

    void mergeWithoutReplacementKeepsBoth()
    {
        start({VaultTab{"Web", {makeRecord("Mail", "old"), makeRecord("zeta")}}, VaultTab{"Other", {}}});
        const QString fileName = writeFile("web.csv", "\"Mail\",\"new\",\"\",\"\",\"\"\n"
                                                      "\"beta\",\"\",\"\",\"\",\"\"\n"
                                                      "\"Alpha\",\"\",\"\",\"\",\"\"\n");
        window->findChild<QTabWidget*>("tabWidget")->setCurrentIndex(1);
        QCOMPARE(importFile(fileName, 0),
                 QStringLiteral("CSV data were successfully imported.\nRecords imported: 3."));
        // Exact name order: capitals first; the imported record before the one already there.
        QCOMPARE(_names_helper(tableAt(window, 0)), QStringList({"Alpha", "Mail", "Mail", "beta", "zeta"}));
        QCOMPARE(_logins_helper(tableAt(window, 0)), QStringList({"", "new", "old", "", ""}));
        QCOMPARE(tableAt(window, 0)->rowCount(), 5);
        QCOMPARE(currentTabIndex(window), 0);
        QCOMPARE(tabCount(window), 2);
        QVERIFY(window->isDataModified());
    }

    void mergeWithReplacementKeepsTheLastImported()
    {
        start({VaultTab{"Web", {makeRecord("Bank"), makeRecord("Mail", "old")}}});
        const QString fileName = writeFile("web.csv", "\"Mail\",\"first\",\"\",\"\",\"\"\n"
                                                      "\"Shop\",\"\",\"\",\"\",\"\"\n"
                                                      "\"Mail\",\"second\",\"\",\"\",\"\"\n");
        QCOMPARE(importFile(fileName, 0, true),
                 QStringLiteral("CSV data were successfully imported.\nRecords imported: 3."));
        QCOMPARE(_names_helper(tableAt(window, 0)), QStringList({"Bank", "Mail", "Shop"}));
        QCOMPARE(_logins_helper(tableAt(window, 0)), QStringList({"", "second", ""}));
        // The first row that came from the file is selected, not the record that was there before.
        QCOMPARE(tableAt(window, 0)->currentRow(), 1);
        QVERIFY(tableAt(window, 0)->hasSelectedCell());
    }

    void failedImportsLeaveTheTabsAsTheyWere()
    {
        const QList<PasswordRecord> records = {makeRecord("Bank", "me")};
        start({VaultTab{"Web", records}});

        // An unreadable header: the new tab stays, empty; the existing tab is untouched.
        const QString headerFile = writeFile("broken.csv", "\"Title,Login\nx,y\n");
        QString message = importFile(headerFile, -1, false, false);
        QCOMPARE(viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG), QStringLiteral("Error"));
        QVERIFY2(message.startsWith(QStringLiteral("Could not import the CSV file '%1' (").arg(headerFile)),
                 qPrintable(message));
        QVERIFY2(!message.contains("()"), qPrintable(message));
        QCOMPARE(tabCount(window), 2);
        QCOMPARE(editortest::tabName(window, 1), QStringLiteral("broken"));
        QCOMPARE(tableAt(window, 1)->passwordCount(), 0);
        QCOMPARE(tableAt(window, 0)->passwords(), records);

        // A file too small to hold a record, into the existing tab.
        message = importFile(writeFile("tiny.csv", "ab"), 0);
        QCOMPARE(message,
                 QStringLiteral("Could not import the CSV file '%1' (File size is too small to contain "
                                "meaningful data.).")
                     .arg(directory->filePath("tiny.csv")));
        QCOMPARE(tableAt(window, 0)->passwords(), records);

        // A file gone before OK: no tab is created.
        const QString missingFile = directory->filePath("gone.csv");
        message = importFile(missingFile, -1);
        QCOMPARE(message,
                 QStringLiteral("Could not open the file '%1' in read mode (No such file or directory).")
                     .arg(missingFile));
        QCOMPARE(tabCount(window), 2);
    }

    void exportFailuresAreReported()
    {
        start({VaultTab{"Web", {makeRecord("Bank", "me", "secret")}}});

        // A link is never written through, not even to a device: its target stays as it was.
        const QString fullDevice = directory->filePath("full.csv");
        QVERIFY(QFile::link("/dev/full", fullDevice));
        QString message = exportCurrentTab(fullDevice);
        QCOMPARE(viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG), QStringLiteral("Error"));
        QCOMPARE(message,
                 QStringLiteral("Could not export the CSV file '%1' (it is a symbolic link, which is "
                                "never written through).")
                     .arg(fullDevice));

        const QString missingDirectory = directory->filePath("missing/out.csv");
        message = exportCurrentTab(missingDirectory);
        QVERIFY2(message.startsWith(QStringLiteral("Could not export the CSV file '%1' (cannot create a "
                                                   "temporary file in its folder")
                                        .arg(missingDirectory)),
                 qPrintable(message));

        // A full disk (here a file size limit) keeps the previous file and leaves no partial one.
        const QString previousFile = writeFile("previous.csv", "previous\n");
        struct rlimit previousLimit;
        ::getrlimit(RLIMIT_FSIZE, &previousLimit);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit smallLimit = previousLimit;
        smallLimit.rlim_cur = 16;
        ::setrlimit(RLIMIT_FSIZE, &smallLimit);
        message = exportCurrentTab(previousFile);
        ::setrlimit(RLIMIT_FSIZE, &previousLimit);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY2(message.contains(QStringLiteral("the previous file is left untouched")),
                 qPrintable(message));
        QFile previous(previousFile);
        QVERIFY(previous.open(QIODevice::ReadOnly));
        QCOMPARE(previous.readAll(), QByteArray("previous\n"));
        QCOMPARE(QDir(directory->path()).entryList({"*previous*"}, QDir::Files | QDir::Hidden),
                 QStringList{"previous.csv"});

        // A file name that looks like markup is shown as typed.
        exportCurrentTab(directory->filePath("missing/<b>x</b>.csv"));
        QVERIFY2(messageBoxText(window).contains("&lt;b&gt;x&lt;/b&gt;.csv"),
                 qPrintable(messageBoxText(window)));

        // A cancelled dialog reports nothing.
        window->setExportFileNameAsker([](const QString&) { return QString(); });
        window->findChild<QAction*>("actionExportCSV")->trigger();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

    void addedSuffixNamingAnExistingFileIsAskedAgain()
    {
        start({VaultTab{"Web", {makeRecord("Bank", "me", "secret")}}});
        const QString existingFile = writeFile("notes.csv", "kept\n");
        QStringList askedNames;
        QStringList answers = {directory->filePath("notes"), QString()};
        window->setExportFileNameAsker(
            [&askedNames, &answers](const QString& proposed)
            {
                askedNames.append(proposed);
                return answers.isEmpty() ? QString() : answers.takeFirst();
            });
        // Typed "notes": the dialog is shown again with "notes.csv"; cancelling it keeps the file.
        window->findChild<QAction*>("actionExportCSV")->trigger();
        QCOMPARE(askedNames.size(), 2);
        QCOMPARE(askedNames.at(1), existingFile);
        QCoreApplication::processEvents();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QFile file(existingFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("kept\n"));
        file.close();

        // Confirmed in the dialog with the complete name: replaced.
        answers = {directory->filePath("notes"), existingFile};
        askedNames.clear();
        window->findChild<QAction*>("actionExportCSV")->trigger();
        QCOMPARE(askedNames.size(), 2);
        QCOMPARE(closeMessage(),
                 QStringLiteral("The current tab passwords were successfully exported to a CSV file."));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("\"Bank\",\"me\",\"secret\""));
    }

    void fixedLayoutOffersHeaderDetectionForAnotherManagersTitles()
    {
        start({VaultTab{"Web", {}}});
        const QString fileName = writeFile("other.csv", "name,username,password,url,extra\n"
                                                        "Bank,jane,pw2,bank.example,\n");
        {
            ModalBoxAnswerer offer(QMessageBox::Yes);
            QCOMPARE(importFile(fileName, 0),
                     QStringLiteral("CSV data were successfully imported.\nRecords imported: 1."));
            QVERIFY(offer.isBoxSeen());
            QCOMPARE(offer.title(), QStringLiteral("Column titles found"));
        }
        QCOMPARE(tableAt(window, 0)->passwords(),
                 QList<PasswordRecord>({makeRecord("Bank", "jane", "pw2", "bank.example")}));

        // Declined: the fixed layout as chosen, titles included.
        {
            ModalBoxAnswerer offer(QMessageBox::No);
            QCOMPARE(importFile(fileName, -1),
                     QStringLiteral("CSV data were successfully imported.\nRecords imported: 2."));
            QVERIFY(offer.isBoxSeen());
        }
        QCOMPARE(_names_helper(tableAt(window, 1)), QStringList({"Bank", "name"}));

        // Two known titles are no header: no question.
        ModalBoxAnswerer offer(QMessageBox::Yes);
        QCOMPARE(importFile(writeFile("own.csv", "Name,Login,pw,,\n"), 0),
                 QStringLiteral("CSV data were successfully imported.\nRecords imported: 1."));
        QVERIFY(!offer.isBoxSeen());
    }

    // A lock closes the question unanswered; after the unlock it is asked again and the import follows the
    // answer, not a silent No that would import the titles as a record.
    void lockDuringTheColumnTitlesQuestionAsksItAgain()
    {
        start({VaultTab{"Web", {makeRecord("Mail", "joe", "pw1")}}});
        const QString masterPassword = QStringLiteral("Correct horse 42");
        window->setKnownMasterPassword(masterPassword);
        const QString fileName = writeFile("other.csv", "name,username,password,url,extra\n"
                                                        "Bank,jane,pw2,bank.example,\n");
        ModalBoxAnswerer offer(QMessageBox::Yes);
        offer.interruptFirstBox(
            [&]()
            {
                window->findChild<QAction*>("actionLockApplication")->trigger();
                QTimer::singleShot(
                    0, window,
                    [&]()
                    {
                        QWidget* lockedPage = window->view(VIEW_ID_APPLICATION_LOCKED);
                        QTest::keyClicks(child<QLineEdit>(lockedPage, "lineEditPassword"), masterPassword);
                        QTest::mouseClick(child<QPushButton>(lockedPage, "pushButtonUnlock"), Qt::LeftButton);
                    });
            });
        QCOMPARE(importFile(fileName, 0),
                 QStringLiteral("CSV data were successfully imported.\nRecords imported: 1."));
        QCOMPARE(offer.boxSeenCount(), 2);
        QCOMPARE(offer.title(), QStringLiteral("Column titles found"));
        QVERIFY(!window->isApplicationLocked());
        QCOMPARE(tableAt(window, 0)->passwords(),
                 QList<PasswordRecord>(
                     {makeRecord("Bank", "jane", "pw2", "bank.example"), makeRecord("Mail", "joe", "pw1")}));
    }

    void headerlessFileReadWithHeaderDetectionIsNoSuccess()
    {
        start({VaultTab{"Web", {}}});
        const QString fileName = writeFile("own.csv", "\"Mail\",\"joe\",\"pw\",\"\",\"\"\n"
                                                      "\"Bank\",\"jane\",\"pw2\",\"\",\"\"\n");
        const QString message = importFile(fileName, 0, false, false);
        QCOMPARE(viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG), QStringLiteral("Error"));
        QVERIFY2(message.contains(QStringLiteral("No record was recognised: none of the column titles")),
                 qPrintable(message));
        QCOMPARE(tableAt(window, 0)->passwordCount(), 0);
    }

    void forbiddenCharactersAreRemovedAndCounted()
    {
        start({VaultTab{"Web", {}}});
        QByteArray content("\"Ma\x03il\",\"lo\x04gin\",\"pass\",\"\",\"a");
        content.append('\0').append("b\x03\"\n");
        QCOMPARE(
            importFile(writeFile("control.csv", content), 0),
            QStringLiteral("CSV data were successfully imported.\nRecords imported: 1.\nControl characters "
                           "that a vault cannot "
                           "store (U+0000, U+0003 and U+0004) were removed from the imported texts: 4."));
        QCOMPARE(tableAt(window, 0)->passwords(),
                 QList<PasswordRecord>({makeRecord("Mail", "login", "pass", QString(), "ab")}));
    }

    void lastDirectoryIsSharedByBothWorkflows()
    {
        start({VaultTab{"Web", {makeRecord("Bank")}}});
        QVERIFY(QDir(directory->path()).mkdir("sub"));
        const QString fileName = writeFile("sub/in.csv", "\"Shop\",\"\",\"\",\"\",\"\"\n");
        importFile(fileName, 0);

        QString startDirectory;
        importView()->setOpenFileNameAsker(
            [&](QWidget*, const QString&, const QString& askedDirectory, const QString&)
            {
                startDirectory = askedDirectory;
                return QString();
            });
        openImportPage();
        QTest::mouseClick(child<QPushButton>(importPage(), "pushButtonSelectFile"), Qt::LeftButton);
        QCOMPARE(startDirectory, directory->filePath("sub"));
        QTest::mouseClick(child<QPushButton>(importPage(), "pushButtonCancel"), Qt::LeftButton);

        exportCurrentTab(QString());
        QCOMPARE(proposedExportName, directory->filePath("sub/Web.csv"));
    }

private:
    void start(const Vault& vault)
    {
        window = createEditorWindow(vault);
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QVERIFY(!window->isDataModified());
    }

    QString writeFile(const QString& name, const QByteArray& content)
    {
        QFile file(directory->filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

    ViewBase* importPage() const
    {
        return window->view(VIEW_ID_IMPORT_CSV_FILE);
    }

    ViewContentImportCSVFile* importView() const
    {
        return qobject_cast<ViewContentImportCSVFile*>(importPage()->contentWidget());
    }

    void openImportPage()
    {
        auto* action = window->findChild<QAction*>("actionImportCSV");
        QVERIFY(action->isEnabled());
        action->trigger();
        QVERIFY(waitForView(window, VIEW_ID_IMPORT_CSV_FILE));
    }

    // Exports the current tab, answering the file dialog with the given name; returns the message shown
    // (none for an empty answer) once it was closed.
    QString exportCurrentTab(const QString& answer)
    {
        window->setExportFileNameAsker(
            [this, answer](const QString& proposed)
            {
                proposedExportName = proposed;
                return answer;
            });
        window->findChild<QAction*>("actionExportCSV")->trigger();
        if (answer.isEmpty())
            return QString();
        return closeMessage();
    }

    // Imports a file through the import page, in the own layout, into a new tab with the proposed name
    // (existingTabIndex -1) or into an existing tab; returns the message shown once it was closed.
    QString importFile(const QString& fileName, int existingTabIndex,
                       bool areExistingPasswordsReplaced = false, bool isColumnsOrderFixed = true)
    {
        importView()->setOpenFileNameAsker(
            [fileName](QWidget*, const QString&, const QString&, const QString&) { return fileName; });
        openImportPage();
        ViewBase* page = importPage();
        QTest::mouseClick(child<QPushButton>(page, "pushButtonSelectFile"), Qt::LeftButton);
        child<QComboBox>(page, "comboBoxFieldsSeparator")->setCurrentIndex(0);
        child<QComboBox>(page, "comboBoxFileFormat")->setCurrentIndex(isColumnsOrderFixed ? 0 : 1);
        if (existingTabIndex >= 0)
        {
            _clickIndicator_helper(child<QRadioButton>(page, "radioButtonImportToExistingTab"));
            child<QComboBox>(page, "comboBoxSelectExistingTab")->setCurrentIndex(existingTabIndex);
            child<QCheckBox>(page, "checkBoxReplaceExistingPasswords")
                ->setChecked(areExistingPasswordsReplaced);
        }
        QTest::mouseClick(child<QPushButton>(page, "pushButtonOk"), Qt::LeftButton);
        return closeMessage();
    }

    QString closeMessage()
    {
        if (!waitForView(window, VIEW_ID_MESSAGE_BOX_DIALOG))
            return QStringLiteral("<no message>");
        const QString text = messageBoxText(window);
        if (!answerMessageBox(window, "pushButtonOk") || !waitForView(window, VIEW_ID_CONTENT_EDITOR))
            return QStringLiteral("<message not closed>");
        return text;
    }

    std::unique_ptr<QTemporaryDir> directory;
    FormContentEditor* window = nullptr;
    QString proposedExportName;
};

QTEST_MAIN(TestCsvWorkflows)
#include "test_csv_workflows.moc"
