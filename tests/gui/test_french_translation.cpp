#include "app/Configuration.h"
#include "csv/CsvImport.h"
#include "mainwindow/FormContentEditor.h"
#include "passwordtools/PasswordStrength.h"
#include "support/EditorTestSupport.h"
#include "views/ViewBase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

// The interface language is chosen once, from the system locale, before the window exists. Each case
// therefore runs this program again as a child process with its own LANG; the child starts the way the
// application does (configuration, Qt's translation, the application's translation, the main window),
// drives the window in that language and reports through its own test result.

namespace
{
const char SCENARIO_VARIABLE[] = "CORVANE_TRANSLATION_SCENARIO";
const QChar NBSP(0x00A0);

// One text as an English-speaking and as a French-speaking user sees it.
struct Expected
{
    QString english;
    QString french;
};

// What a modal QMessageBox showed; recorded from inside its event loop, checked afterwards.
struct ModalBoxRecord
{
    bool isSeen = false;
    QString title;
    QString text;
    QString saveButtonText;
    QString discardButtonText;
};

QString _withNbsp_helper(QString text)
{
    // The expectations are written with "~" where French typography puts a no-break space.
    return text.replace(QLatin1Char('~'), NBSP);
}

QString _buttonText_helper(QMessageBox* box, QMessageBox::StandardButton which)
{
    QAbstractButton* button = box->button(which);
    return button ? button->text() : QString();
}
} // namespace

// Runs inside the child process, after start-up.
class TranslationScenario : public QObject
{
    Q_OBJECT

public:
    TranslationScenario(bool isFrenchExpected, bool isQtTranslationLoaded, QTranslator* applicationTranslator,
                        bool isApplicationTranslationLoaded)
        : isFrench(isFrenchExpected), isQtTranslationLoaded(isQtTranslationLoaded),
          applicationTranslator(applicationTranslator),
          isApplicationTranslationLoaded(isApplicationTranslationLoaded)
    {
    }

private:
    bool isFrench;
    bool isQtTranslationLoaded;
    QTranslator* applicationTranslator;
    bool isApplicationTranslationLoaded;
    FormContentEditor* window = nullptr;

    QString expected(const Expected& text) const
    {
        return _withNbsp_helper(isFrench ? text.french : text.english);
    }

    template <typename T> T* child(QWidget* root, const char* objectName)
    {
        return root->findChild<T*>(QLatin1String(objectName));
    }

    QPushButton* pageButton(int viewId, const char* objectName)
    {
        return child<QPushButton>(window->view(viewId), objectName);
    }

    QString pageButtonText(int viewId, const char* objectName)
    {
        return editortest::withoutMnemonic(pageButton(viewId, objectName)->text());
    }

private Q_SLOTS:
    void initTestCase()
    {
        window = new FormContentEditor();
        mainWindow = window;
        window->resize(1400, 900);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_COMPARE(window->currentViewId(), static_cast<int>(VIEW_ID_START_MENU));
    }

    void cleanupTestCase()
    {
        mainWindow = nullptr;
        delete window;
    }

    void translationsLoadedForTheSystemLanguage()
    {
        if (isFrench)
        {
            QCOMPARE(getSystemLanguage(), QLocale::French);
            QCOMPARE(getApplicationLanguageCode(), QStringLiteral("fr"));
            // qt_fr.qm only lists the module catalogs; loading it pulls qtbase_fr.qm in.
            QVERIFY(isQtTranslationLoaded);
            QVERIFY(isApplicationTranslationLoaded);
            QCOMPARE(applicationTranslator->filePath(), QStringLiteral(":/Translations/fr.qm"));
            QCOMPARE(applicationTranslator->language(), QStringLiteral("fr"));
        }
        else
        {
            QCOMPARE(getSystemLanguage(), QLocale::German);
            QCOMPARE(getApplicationLanguageCode(), QStringLiteral("en"));
            // ":/Translations/en.qm" does not exist: nothing is loaded although the French file is there.
            QVERIFY(!isApplicationTranslationLoaded);
            QVERIFY(applicationTranslator->isEmpty());
            QVERIFY(QFile::exists(QStringLiteral(":/Translations/fr.qm")));
        }
        // No other language is compiled in.
        QVERIFY(!QFile::exists(QStringLiteral(":/Translations/es.qm")));
    }

    void startMenuAndMenus()
    {
        QCOMPARE(window->view(VIEW_ID_START_MENU)->title(), expected({"Welcome!", "Bienvenue~!"}));
        QCOMPARE(pageButtonText(VIEW_ID_START_MENU, "pushButtonOpenDevice"),
                 expected({"Open Corvane", "Ouvrir Corvane"}));
        QCOMPARE(pageButtonText(VIEW_ID_START_MENU, "pushButtonQuit"), expected({"Quit", "Quitter"}));
        QCOMPARE(child<QLabel>(window->view(VIEW_ID_START_MENU), "label")->text(),
                 expected({"Got a new Corvane?", "Vous avez un nouveau Corvane~?"}));
        // The link keeps its target and its markup around the translated words.
        const QString link = child<QLabel>(window->view(VIEW_ID_START_MENU), "labelGettingStarted")->text();
        QVERIFY2(link.contains(QStringLiteral("href=\"getting_started_description.html\"")),
                 qPrintable(link));
        QVERIFY2(link.contains(
                     expected({"Open the Getting started tutorial", "Ouvrez le tutoriel Bien démarrer"})),
                 qPrintable(link));
        QCOMPARE(child<QMenu>(window, "menuFile")->title(), expected({"&File", "&Fichier"}));
        QCOMPARE(child<QMenu>(window, "menuHelp")->title(), expected({"&Help", "&Aide"}));
    }

    void mnemonicsDoNotClash()
    {
        // Alt and a letter reach one menu of the bar, one entry of an open menu, one control of the editor.
        auto checkUnique = [](const QString& where, const QStringList& texts)
        {
            QStringList letters;
            for (const QString& text : texts)
            {
                const QRegularExpressionMatch match =
                    QRegularExpression(QStringLiteral("&([^&])")).match(text);
                QVERIFY2(match.hasMatch(), qPrintable(where + ": no mnemonic in " + text));
                const QString letter = match.captured(1).toLower();
                QVERIFY2(!letters.contains(letter), qPrintable(where + ": " + letter + " twice, in " + text));
                letters.append(letter);
            }
        };
        QStringList barTitles;
        for (QAction* menuAction : window->menuBar()->actions())
        {
            barTitles.append(menuAction->text());
            QStringList entries;
            for (QAction* action : menuAction->menu()->actions())
            {
                if (!action->isSeparator())
                    entries.append(action->text());
            }
            checkUnique(menuAction->text(), entries);
        }
        QStringList editorControls = barTitles;
        for (const char* name :
             {"pushButtonWriteDevice", "pushButtonNewTab", "pushButtonRenameTab", "pushButtonDuplicateTab",
              "pushButtonRemoveTab", "pushButtonNewPassword", "pushButtonEditPassword",
              "pushButtonRemovePassword", "pushButtonClearClipboard", "pushButtonPreviousSearchResult",
              "pushButtonNextSearchResult", "checkBoxSearchInAllTabs"})
            editorControls.append(child<QAbstractButton>(window, name)->text());
        editorControls.append(child<QLabel>(window, "labelSearch")->text());
        checkUnique(QStringLiteral("editor"), editorControls);

        // Every other page: each button has its own letter, and so has a field label where it has one. The
        // menu bar shows on the start menu only.
        QCOMPARE(window->currentViewId(), static_cast<int>(VIEW_ID_START_MENU));
        QVERIFY(window->menuBar()->isVisible());
        for (int viewId = VIEW_ID_CONTENT_EDITOR + 1; viewId < VIEW_ID_COUNT; viewId++)
        {
            ViewBase* page = window->view(viewId);
            QStringList pageControls = viewId == VIEW_ID_START_MENU ? barTitles : QStringList();
            for (QAbstractButton* button : page->findChildren<QAbstractButton*>())
            {
                if (qobject_cast<QPushButton*>(button) || qobject_cast<QCheckBox*>(button) ||
                    qobject_cast<QRadioButton*>(button))
                    pageControls.append(button->text());
            }
            for (QLabel* label : page->findChildren<QLabel*>())
            {
                if (label->buddy() && label->text().contains(QLatin1Char('&')))
                    pageControls.append(label->text());
            }
            checkUnique(QString::fromLatin1(page->contentWidget()->metaObject()->className()), pageControls);
            if (QTest::currentTestFailed())
                return;
        }
    }

    void editorLineInputAndMessageBoxPages()
    {
        auto* link = child<QLabel>(window->view(VIEW_ID_START_MENU), "labelDeviceInitialization");
        QVERIFY(link);
        QVERIFY(
            QMetaObject::invokeMethod(link, "linkActivated", Q_ARG(QString, QStringLiteral("unused_link"))));
        QTRY_COMPARE(window->currentViewId(), static_cast<int>(VIEW_ID_CONTENT_EDITOR));

        // The fill level keeps its number, with the French spaces around it.
        const QString fill = child<QLabel>(window, "labelUsedMemoryBytes")->text();
        const QRegularExpression fillPattern(
            expected({"^Available memory: \\d+%$", "^Mémoire disponible~: \\d+~%$"}));
        QVERIFY2(fillPattern.match(fill).hasMatch(), qPrintable(fill));

        // A new tab asks its name on the line input page.
        QTest::mouseClick(child<QPushButton>(window, "pushButtonNewTab"), Qt::LeftButton);
        QTRY_COMPARE(window->currentViewId(), static_cast<int>(VIEW_ID_LINE_INPUT_DIALOG));
        QCOMPARE(window->view(VIEW_ID_LINE_INPUT_DIALOG)->title(),
                 expected({"Insert tab name", "Saisie du nom de l’onglet"}));
        QCOMPARE(child<QLabel>(window->view(VIEW_ID_LINE_INPUT_DIALOG), "labelText")->text(),
                 expected({"Enter the tab name:", "Saisissez le nom de l’onglet~:"}));
        QCOMPARE(pageButtonText(VIEW_ID_LINE_INPUT_DIALOG, "pushButtonCancel"),
                 expected({"Cancel", "Annuler"}));
        auto* lineEdit = child<QLineEdit>(window->view(VIEW_ID_LINE_INPUT_DIALOG), "lineEdit");
        lineEdit->selectAll();
        QTest::keyClicks(lineEdit, QStringLiteral("Banque"));
        QTest::mouseClick(pageButton(VIEW_ID_LINE_INPUT_DIALOG, "pushButtonOk"), Qt::LeftButton);
        QTRY_COMPARE(window->currentViewId(), static_cast<int>(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(window->windowTitle(), expected({"Corvane Key Manager [unsaved data]",
                                                  "Corvane Key Manager [données non enregistrées]"}));

        // Removing it asks on the message box page, with the tab name quoted the French way.
        QTest::mouseClick(child<QPushButton>(window, "pushButtonRemoveTab"), Qt::LeftButton);
        QTRY_COMPARE(window->currentViewId(), static_cast<int>(VIEW_ID_MESSAGE_BOX_DIALOG));
        QCOMPARE(window->view(VIEW_ID_MESSAGE_BOX_DIALOG)->title(),
                 expected({"Remove tab", "Supprimer l’onglet"}));
        QCOMPARE(child<QLabel>(window->view(VIEW_ID_MESSAGE_BOX_DIALOG), "labelText")->text(),
                 expected({"Do you really want to remove the tab called 'Banque' and all its content?",
                           "Voulez-vous vraiment supprimer l’onglet «~Banque~» et tout son contenu~?"}));
        QPushButton* yes = pageButton(VIEW_ID_MESSAGE_BOX_DIALOG, "pushButtonYes");
        QPushButton* no = pageButton(VIEW_ID_MESSAGE_BOX_DIALOG, "pushButtonNo");
        QVERIFY(yes->isVisible() && no->isVisible());
        QCOMPARE(pageButtonText(VIEW_ID_MESSAGE_BOX_DIALOG, "pushButtonYes"), expected({"Yes", "Oui"}));
        QCOMPARE(pageButtonText(VIEW_ID_MESSAGE_BOX_DIALOG, "pushButtonNo"), expected({"No", "Non"}));
        QTest::mouseClick(no, Qt::LeftButton);
        QTRY_COMPARE(window->currentViewId(), static_cast<int>(VIEW_ID_CONTENT_EDITOR));
    }

    // The unsaved tab makes closing ask a modal question, whose standard buttons come from Qt's own
    // translation.
    void modalQuestionOnClose()
    {
        QVERIFY(window->isDataModified());
        ModalBoxRecord record;
        QTimer poll;
        poll.setInterval(0);
        connect(&poll, &QTimer::timeout, this,
                [&]()
                {
                    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                    if (!box || !box->isVisible())
                        return;
                    poll.stop();
                    record.isSeen = true;
                    record.title = box->windowTitle();
                    record.text = box->text();
                    record.saveButtonText = _buttonText_helper(box, QMessageBox::Save);
                    record.discardButtonText = _buttonText_helper(box, QMessageBox::Discard);
                    box->button(QMessageBox::Cancel)->click();
                });
        poll.start();
        QVERIFY(!window->close()); // answered Cancel: the window stays

        QVERIFY(record.isSeen);
        QCOMPARE(record.title, expected({"Warning", "Avertissement"}));
        QCOMPARE(record.text,
                 expected({"You did not write your modifications to the device.\nDo you really want "
                           "to quit?",
                           "Vous n’avez pas écrit vos modifications sur l’appareil.\nVoulez-vous "
                           "vraiment quitter~?"}));
        QCOMPARE(record.saveButtonText, expected({"&Save to device", "&Enregistrer sur l’appareil"}));
        QCOMPARE(record.discardButtonText, expected({"&Quit without saving", "&Quitter sans enregistrer"}));
    }

    void strengthLabelsAndCsvTexts()
    {
        QString label;
        QCOMPARE(getPasswordStrength(QStringLiteral("abc"), &label), 0);
        QCOMPARE(label, expected({"very weak", "très faible"}));
        QCOMPARE(getPasswordStrength(QStringLiteral("abcdefghijklmno"), &label), 2);
        QCOMPARE(label, expected({"average", "moyen"}));

        // A record without name and web site gets a numbered name from the parser.
        QList<PasswordRecord> records;
        QString error;
        QCOMPARE(
            importCSVText("\"\",\"login\",\"secret\",\"\",\"\"\n", QLatin1Char(','), true, records, error),
            0);
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first().name, expected({"No name provided 1", "Aucun nom fourni 1"}));
    }
};

namespace
{
int _runScenario_helper(int argc, char** argv, bool isFrenchExpected)
{
    QApplication application(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    initializeConfiguration();
    // Straight to the start menu: no license page, no welcome question, no network.
    settings->setValue(CONFIGURATION_KEY_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION, APPLICATION_VERSION);
    settings->setValue(CONFIGURATION_KEY_IS_FIRST_RUN, false);
    settings->setValue(CONFIGURATION_KEY_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED, false);

    // The same start-up steps as the application's main().
    QTranslator qtTranslator;
    const bool isQtTranslationLoaded = loadQtTranslation(qtTranslator);
    if (isQtTranslationLoaded)
        application.installTranslator(&qtTranslator);
    QTranslator applicationTranslator;
    const bool isApplicationTranslationLoaded = loadApplicationTranslation(applicationTranslator);
    if (isApplicationTranslationLoaded)
        application.installTranslator(&applicationTranslator);

    TranslationScenario scenario(isFrenchExpected, isQtTranslationLoaded, &applicationTranslator,
                                 isApplicationTranslationLoaded);
    const int result = QTest::qExec(&scenario, QStringList{QCoreApplication::applicationFilePath()});
    releaseConfiguration();
    return result;
}
} // namespace

class TestFrenchTranslation : public QObject
{
    Q_OBJECT

private:
    // Runs the scenario in a child with the given system language; its test output on failure.
    void runScenario(const QString& language, const QString& scenario)
    {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
            environment.remove(variable);
        environment.insert("LANG", language);
        environment.insert("HOME", home.path());
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        environment.insert(SCENARIO_VARIABLE, scenario);

        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(240000));
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
        // A scenario that ran no check would pass as well: make sure every case ran.
        QVERIFY2(output.contains("Totals: 8 passed, 0 failed"), output.constData());
    }

private Q_SLOTS:
    // French system: Qt's and the application's French translations are installed and the pages speak French.
    void frenchSystemShowsFrench()
    {
        runScenario(QStringLiteral("fr_FR.UTF-8"), QStringLiteral("french"));
    }

    // Any other language than French and English: no application translation, the interface is English.
    void germanSystemShowsEnglish()
    {
        runScenario(QStringLiteral("de_DE.UTF-8"), QStringLiteral("english"));
    }
};

int main(int argc, char** argv)
{
    const QByteArray scenario = qgetenv(SCENARIO_VARIABLE);
    if (!scenario.isEmpty())
        return _runScenario_helper(argc, argv, scenario == "french");
    QCoreApplication application(argc, argv);
    TestFrenchTranslation test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_french_translation.moc"
