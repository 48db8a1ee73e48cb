// The CSV import page: what can be used when, the proposed tab name, the choices it reports, its reset
// between visits and its help link. The import itself is left out (the main window's slot is disconnected).
#include "mainwindow/FormContentEditor.h"
#include "support/EditorTestSupport.h"
#include "views/ViewBase.h"
#include "views/ViewContentImportCSVFile.h"
#include "widgets/HelpLauncher.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace editortest;

namespace
{
// Radio buttons and check boxes react only to clicks on their indicator and text, at the left of a widget
// that the layout may have made much wider.
void _clickIndicator_helper(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}
} // namespace

class TestImportCsvView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        window = createEditorWindow({VaultTab{"Bank", {makeRecord("Checking")}}, VaultTab{"Web", {}}});
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        page = window->view(VIEW_ID_IMPORT_CSV_FILE);
        view = qobject_cast<ViewContentImportCSVFile*>(page->contentWidget());
        QVERIFY(view);
        // Only the page is under test here.
        QObject::disconnect(view, &ViewContentImportCSVFile::fileSelected, window, nullptr);
        askedCaptions.clear();
        askedDirectories.clear();
        askedFilters.clear();
        answer.clear();
        view->setOpenFileNameAsker(
            [this](QWidget*, const QString& caption, const QString& directory, const QString& filter)
            {
                askedCaptions.append(caption);
                askedDirectories.append(directory);
                askedFilters.append(filter);
                return answer;
            });
    }

    void cleanup()
    {
        destroyEditorWindow(window);
        window = nullptr;
    }

    void onlyFileChoiceHelpAndCancelBeforeAFileIsChosen()
    {
        openPage(1);
        QCOMPARE(page->title(), QStringLiteral("Import a CSV file"));
        QCOMPARE(widget<QLabel>("labelSelectedFile")->text(), QStringLiteral("No file selected."));
        QVERIFY(widget<QPushButton>("pushButtonSelectFile")->isEnabled());
        QVERIFY(widget<QPushButton>("pushButtonCancel")->isEnabled());
        QVERIFY(widget<QLabel>("labelHelp")->isEnabled());
        QVERIFY(!widget<QPushButton>("pushButtonOk")->isEnabled());
        QVERIFY(!widget<QGroupBox>("groupBoxFileSettings")->isEnabled());
        QVERIFY(!widget<QGroupBox>("groupBoxDestinationTab")->isEnabled());
        QCOMPARE(page->focusWidget(), widget<QPushButton>("pushButtonSelectFile"));

        // A cancelled dialog changes nothing.
        chooseFile(QString());
        QCOMPARE(askedCaptions, QStringList{"Import a CSV file"});
        QCOMPARE(askedFilters, QStringList{"Comma Separated Value (*.csv *.CSV)"});
        // No CSV file was used yet: the dialog starts in its own default place.
        QCOMPARE(askedDirectories, QStringList{QString()});
        QVERIFY(!widget<QGroupBox>("groupBoxDestinationTab")->isEnabled());
        QVERIFY(!widget<QPushButton>("pushButtonOk")->isEnabled());
    }

    void proposedTabNameAndDestinationRules()
    {
        openPage(1);
        chooseFile("/tmp/exports/bank.2024.csv");
        QCOMPARE(widget<QLabel>("labelSelectedFile")->text(), QStringLiteral("bank.2024.csv"));
        QCOMPARE(QAccessible::queryAccessibleInterface(widget<QLabel>("labelSelectedFile"))
                     ->text(QAccessible::Name),
                 QStringLiteral("bank.2024.csv"));
        QLineEdit* name = widget<QLineEdit>("lineEditCreateTabName");
        QCOMPARE(name->text(), QStringLiteral("bank"));
        QVERIFY(widget<QGroupBox>("groupBoxFileSettings")->isEnabled());
        QVERIFY(widget<QRadioButton>("radioButtonCreateNewTab")->isChecked());
        QVERIFY(name->isEnabled());
        QVERIFY(!widget<QComboBox>("comboBoxSelectExistingTab")->isEnabled());
        QPushButton* ok = widget<QPushButton>("pushButtonOk");
        QVERIFY(ok->isEnabled());

        // Blank names cannot create a tab.
        name->selectAll();
        QTest::keyClick(name, Qt::Key_Backspace);
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(name, "   ");
        QVERIFY(!ok->isEnabled());

        _clickIndicator_helper(widget<QRadioButton>("radioButtonImportToExistingTab"));
        QVERIFY(ok->isEnabled());
        QVERIFY(!name->isEnabled());
        QComboBox* tabs = widget<QComboBox>("comboBoxSelectExistingTab");
        QVERIFY(tabs->isEnabled());
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->itemText(0), QStringLiteral("Bank"));
        QCOMPARE(tabs->currentIndex(), 1);

        _clickIndicator_helper(widget<QRadioButton>("radioButtonCreateNewTab"));
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(name, "x");
        QVERIFY(ok->isEnabled());
    }

    void existingTabChoiceNeedsATab()
    {
        window->setVault(Vault());
        openPage(-1);
        chooseFile("/tmp/new.csv");
        QVERIFY(widget<QGroupBox>("groupBoxDestinationTab")->isEnabled());
        QVERIFY(!widget<QRadioButton>("radioButtonImportToExistingTab")->isEnabled());
        QVERIFY(!widget<QComboBox>("comboBoxSelectExistingTab")->isEnabled());
    }

    void choicesAreCarriedIntoTheSignal()
    {
        QSignalSpy spy(view, &ViewContentImportCSVFile::fileSelected);
        int viewIdAtSignal = -1;
        connect(view, &ViewContentImportCSVFile::fileSelected, this,
                [&]() { viewIdAtSignal = window->currentViewId(); });

        // A new tab: the name as typed, untrimmed; Space and header detection.
        openPage(0);
        chooseFile("/tmp/a.csv");
        widget<QComboBox>("comboBoxFieldsSeparator")->setCurrentIndex(3);
        widget<QComboBox>("comboBoxFileFormat")->setCurrentIndex(1);
        QLineEdit* name = widget<QLineEdit>("lineEditCreateTabName");
        QTest::keyClick(name, Qt::Key_End);
        QTest::keyClicks(name, " 2 ");
        QTest::mouseClick(widget<QPushButton>("pushButtonOk"), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(viewIdAtSignal, int(VIEW_ID_CONTENT_EDITOR));
        QList<QVariant> arguments = spy.takeFirst();
        QCOMPARE(arguments.at(0).toString(), QStringLiteral("/tmp/a.csv"));
        QCOMPARE(arguments.at(1).value<QChar>(), QChar(' '));
        QCOMPARE(arguments.at(2).toBool(), false);
        QCOMPARE(arguments.at(3).toString(), QStringLiteral("a 2 "));
        QCOMPARE(arguments.at(4).toInt(), -1);
        QCOMPARE(arguments.at(5).toBool(), false);

        // An existing tab with replacement, each separator, the Corvane layout; Return in the name field is
        // OK.
        const QChar separators[] = {',', ';', '\t', ' '};
        for (int index = 0; index < 4; index++)
        {
            openPage(0);
            chooseFile("/tmp/b.csv");
            widget<QComboBox>("comboBoxFieldsSeparator")->setCurrentIndex(index);
            widget<QComboBox>("comboBoxFileFormat")->setCurrentIndex(0);
            _clickIndicator_helper(widget<QRadioButton>("radioButtonImportToExistingTab"));
            widget<QComboBox>("comboBoxSelectExistingTab")->setCurrentIndex(1);
            _clickIndicator_helper(widget<QCheckBox>("checkBoxReplaceExistingPasswords"));
            QTest::mouseClick(widget<QPushButton>("pushButtonOk"), Qt::LeftButton);
            QCOMPARE(spy.count(), 1);
            arguments = spy.takeFirst();
            QCOMPARE(arguments.at(1).value<QChar>(), separators[index]);
            QCOMPARE(arguments.at(2).toBool(), true);
            QCOMPARE(arguments.at(3).toString(), QString());
            QCOMPARE(arguments.at(4).toInt(), 1);
            QCOMPARE(arguments.at(5).toBool(), true);
        }
        QCOMPARE(ViewContentImportCSVFile::fieldsSeparatorCharacter(7), QChar(','));

        openPage(0);
        chooseFile("/tmp/c.csv");
        name->setFocus();
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.takeFirst().at(3).toString(), QStringLiteral("c"));

        // Cancel reports nothing.
        openPage(0);
        chooseFile("/tmp/d.csv");
        QTest::mouseClick(widget<QPushButton>("pushButtonCancel"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(spy.count(), 0);
    }

    void newVisitResetsAllButSeparatorAndFormat()
    {
        openPage(0);
        chooseFile("/tmp/old.csv");
        widget<QComboBox>("comboBoxFieldsSeparator")->setCurrentIndex(2);
        widget<QComboBox>("comboBoxFileFormat")->setCurrentIndex(1);
        _clickIndicator_helper(widget<QRadioButton>("radioButtonImportToExistingTab"));
        _clickIndicator_helper(widget<QCheckBox>("checkBoxReplaceExistingPasswords"));
        QTest::mouseClick(widget<QPushButton>("pushButtonCancel"), Qt::LeftButton);

        openPage(1);
        QCOMPARE(widget<QLabel>("labelSelectedFile")->text(), QStringLiteral("No file selected."));
        QVERIFY(widget<QLineEdit>("lineEditCreateTabName")->text().isEmpty());
        QVERIFY(widget<QRadioButton>("radioButtonCreateNewTab")->isChecked());
        QVERIFY(!widget<QCheckBox>("checkBoxReplaceExistingPasswords")->isChecked());
        QVERIFY(!widget<QPushButton>("pushButtonOk")->isEnabled());
        QVERIFY(!widget<QGroupBox>("groupBoxDestinationTab")->isEnabled());
        QCOMPARE(widget<QComboBox>("comboBoxFieldsSeparator")->currentIndex(), 2);
        QCOMPARE(widget<QComboBox>("comboBoxFileFormat")->currentIndex(), 1);
        QCOMPARE(widget<QComboBox>("comboBoxSelectExistingTab")->currentIndex(), 1);
    }

    void helpLinkAsksForTheImportPage()
    {
        QTemporaryDir directory;
        QVERIFY(directory.isValid());
        const QString viewerPath = directory.filePath("viewer.sh");
        const QString argumentsPath = directory.filePath("arguments.txt");
        QFile viewer(viewerPath);
        QVERIFY(viewer.open(QIODevice::WriteOnly));
        viewer.write(QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\n").arg(argumentsPath).toUtf8());
        viewer.close();
        viewer.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        setHelpViewerProgramPath(viewerPath);

        openPage(0);
        QLabel* help = widget<QLabel>("labelHelp");
        const QRegularExpressionMatch link = QRegularExpression("href=\"([^\"]+)\"").match(help->text());
        QVERIFY(link.hasMatch());
        QVERIFY(QMetaObject::invokeMethod(help, "linkActivated", Q_ARG(QString, link.captured(1))));
        QTRY_VERIFY(QFile::exists(argumentsPath) && QFile(argumentsPath).size() > 0);
        QFile arguments(argumentsPath);
        QVERIFY(arguments.open(QIODevice::ReadOnly));
        QVERIFY(arguments.readAll().contains("import_csv_file.html"));
        QTRY_VERIFY(!isHelpViewerRunning());
        setHelpViewerProgramPath(QString());
    }

private:
    template <typename T> T* widget(const char* objectName)
    {
        T* found = child<T>(page, objectName);
        if (!found)
            qFatal("no widget %s on the import page", objectName);
        return found;
    }

    // Opens the page from page 0 with the given tab current, as the menu does.
    void openPage(int currentTab)
    {
        if (currentTab >= 0)
            window->findChild<QTabWidget*>("tabWidget")->setCurrentIndex(currentTab);
        auto* action = window->findChild<QAction*>("actionImportCSV");
        QVERIFY(action && action->isEnabled());
        action->trigger();
        QVERIFY(waitForView(window, VIEW_ID_IMPORT_CSV_FILE));
    }

    void chooseFile(const QString& fileName)
    {
        answer = fileName;
        QTest::mouseClick(widget<QPushButton>("pushButtonSelectFile"), Qt::LeftButton);
    }

    FormContentEditor* window = nullptr;
    ViewBase* page = nullptr;
    ViewContentImportCSVFile* view = nullptr;
    QString answer;
    QStringList askedCaptions;
    QStringList askedDirectories;
    QStringList askedFilters;
};

QTEST_MAIN(TestImportCsvView)
#include "test_import_csv_view.moc"
