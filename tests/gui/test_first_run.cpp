#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "support/FakeHelpViewer.h"
#include "support/ModalBoxAnswerer.h"
#include "views/ViewBase.h"
#include "views/ViewContentApplicationLicense.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

// The start-up gate: the license and news page until the running version's terms are accepted, then the
// one-time welcome question and the start menu.
namespace
{
const char* const WELCOME_TEXT =
    "This is the first time you run the Corvane application. Do you want to read the \"getting started\" "
    "documentation?\n\nYou can always access this documentation and much more from the application Help "
    "menu.";
const char* const NEWS_FALLBACK =
    "A critical error occurred while displaying the news. Please read them on the Corvane web site.";
const char* const EULA_FALLBACK =
    "A critical error occurred while displaying EULA. Please read it on the Corvane web site.";
const char* const TERMS_FALLBACK =
    "A critical error occurred while displaying terms of service. Please read them on the Corvane web site.";
const char* const LGPL_FALLBACK =
    "A critical error occurred while displaying LGPL V3 license. Please read it at "
    "<i>https://www.gnu.org/licenses/lgpl-3.0-standalone.html</i>.";

// Whether the texts appear in the given order, each after the previous one.
bool _appearInOrder_helper(const QString& text, const QStringList& parts)
{
    qsizetype position = -1;
    for (const QString& part : parts)
    {
        const qsizetype found = text.indexOf(part, position + 1);
        if (found < 0)
        {
            qWarning("missing or out of order: %s", qPrintable(part));
            return false;
        }
        position = found;
    }
    return true;
}
} // namespace

class TestFirstRun : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir configurationDirectory;
    FakeHelpViewer* helpViewer = nullptr;
    FormContentEditor* window = nullptr;

    void storeSettings(const QString& acceptedVersion, bool isFirstRun)
    {
        settings->setValue(CONFIGURATION_KEY_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION, acceptedVersion);
        settings->setValue(CONFIGURATION_KEY_IS_FIRST_RUN, isFirstRun);
        settings->sync();
    }

    QString acceptedVersion() const
    {
        return settings->value(CONFIGURATION_KEY_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION).toString();
    }

    // A new window, as at the start of the application.
    void startWindow()
    {
        delete window;
        window = new FormContentEditor();
        mainWindow = window;
        window->resize(1200, 800);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    QWidget* licensePage() const
    {
        return window->view(VIEW_ID_APPLICATION_LICENSE);
    }

    template <typename T> T* licenseChild(const char* objectName) const
    {
        T* widget = licensePage()->findChild<T*>(QLatin1String(objectName));
        if (!widget)
            qFatal("missing widget %s", objectName);
        return widget;
    }

    QString documentText() const
    {
        return licenseChild<QTextEdit>("textEdit")->toPlainText();
    }

    QString documentHtml() const
    {
        return licenseChild<QTextEdit>("textEdit")->toHtml();
    }

    void acceptLicense()
    {
        auto* checkBox = licenseChild<QCheckBox>("checkBoxAcceptLicense");
        if (!checkBox->isChecked())
            QTest::mouseClick(checkBox, Qt::LeftButton, Qt::NoModifier, QPoint(8, checkBox->height() / 2));
        QTest::mouseClick(licenseChild<QPushButton>("pushButtonAccept"), Qt::LeftButton);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // A store of its own, so that nothing else can change what the gate reads.
        QVERIFY(configurationDirectory.isValid());
        qputenv("XDG_CONFIG_HOME", configurationDirectory.path().toLocal8Bit());
        QApplication::setQuitOnLastWindowClosed(false);
        initializeConfiguration();
        helpViewer = new FakeHelpViewer();
        QVERIFY(helpViewer->isInstalled());
    }

    void cleanupTestCase()
    {
        delete window;
        window = nullptr;
        mainWindow = nullptr;
        releaseConfiguration();
        delete helpViewer;
    }

    void acceptingStoresTheVersionAndWelcomesOnce()
    {
        storeSettings("2.2", true);
        startWindow();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LICENSE));
        QCOMPARE(window->view(VIEW_ID_APPLICATION_LICENSE)->title(),
                 QStringLiteral("Corvane Key Manager license and news"));
        QVERIFY(window->menuBar()->isHidden());
        // The keyboard starts in the document; Tab leads on to the check box.
        QCOMPARE(QApplication::focusWidget(), licenseChild<QTextEdit>("textEdit"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), licenseChild<QCheckBox>("checkBoxAcceptLicense"));

        // "I accept" follows the check box both ways.
        auto* checkBox = licenseChild<QCheckBox>("checkBoxAcceptLicense");
        auto* accept = licenseChild<QPushButton>("pushButtonAccept");
        const QPoint checkBoxPoint(8, checkBox->height() / 2);
        QVERIFY(!checkBox->isChecked());
        QVERIFY(!accept->isEnabled());
        QTest::mouseClick(checkBox, Qt::LeftButton, Qt::NoModifier, checkBoxPoint);
        QVERIFY(accept->isEnabled());
        QTest::mouseClick(checkBox, Qt::LeftButton, Qt::NoModifier, checkBoxPoint);
        QVERIFY(!accept->isEnabled());
        QTest::mouseClick(accept, Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LICENSE));

        // Accepting: stored version, the welcome question, then the start menu. "Yes" opens the
        // getting-started page.
        const int viewerLinesBefore = helpViewer->logLines().size();
        {
            ModalBoxAnswerer answerer(QMessageBox::Yes);
            acceptLicense();
            QVERIFY(answerer.isBoxSeen());
            QCOMPARE(answerer.title(), QStringLiteral("Welcome"));
            QCOMPARE(answerer.text(), QString::fromLatin1(WELCOME_TEXT));
        }
        QCOMPARE(acceptedVersion(), QStringLiteral(APPLICATION_VERSION));
        QCOMPARE(settings->value(CONFIGURATION_KEY_IS_FIRST_RUN).toBool(), false);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        QVERIFY(!window->menuBar()->isHidden());
        QTRY_COMPARE(helpViewer->logLines().size(), viewerLinesBefore + 1);
        QVERIFY(helpViewer->logLines().last().endsWith(" index.html getting_started_description.html"));

        // The license page is not on the view stack: going back leaves the start menu in place.
        window->popView(VIEW_ID_COUNT);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));

        // The next start goes straight to the start menu.
        startWindow();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));

        // A later version shows the license page again, but never the welcome question.
        storeSettings("2.2", false);
        startWindow();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LICENSE));
        {
            ModalBoxAnswerer answerer(QMessageBox::Yes);
            acceptLicense();
            QVERIFY(!answerer.isBoxSeen());
        }
        QCOMPARE(acceptedVersion(), QStringLiteral(APPLICATION_VERSION));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        QCOMPARE(helpViewer->logLines().size(), viewerLinesBefore + 1);
    }

    void answeringNoToTheWelcomeOpensNoHelp()
    {
        storeSettings(QString(), true);
        startWindow();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LICENSE));
        const int viewerLinesBefore = helpViewer->logLines().size();
        {
            ModalBoxAnswerer answerer(QMessageBox::No);
            acceptLicense();
            QVERIFY(answerer.isBoxSeen());
        }
        QCOMPARE(settings->value(CONFIGURATION_KEY_IS_FIRST_RUN).toBool(), false);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        QCOMPARE(helpViewer->logLines().size(), viewerLinesBefore);
    }

    void documentShowsNewsThenEachLegalText()
    {
        storeSettings("2.2", true);
        startWindow();
        const QString text = documentText();
        QVERIFY(_appearInOrder_helper(text,
                                      {"What's new in Corvane Key Manager 2.3", "End-User License Agreement",
                                       "Terms of Service", "GNU LESSER GENERAL PUBLIC LICENSE"}));
        QVERIFY(!text.contains("critical error"));
        QCOMPARE(
            licenseChild<QTextEdit>("textEdit")->document()->metaInformation(QTextDocument::DocumentTitle),
            QStringLiteral("Licenses"));
        // Three rules separate the four documents.
        QCOMPARE(documentHtml().count("<hr"), 3);

        // Shown from the top, readable but not editable.
        auto* textEdit = licenseChild<QTextEdit>("textEdit");
        QCOMPARE(textEdit->textCursor().position(), 0);
        QVERIFY(textEdit->isReadOnly());
    }

    void documentIsReadWithTheKeyboardOnly()
    {
        storeSettings("2.2", true);
        startWindow();
        auto* textEdit = licenseChild<QTextEdit>("textEdit");
        QScrollBar* scrollBar = textEdit->verticalScrollBar();
        QTRY_VERIFY(scrollBar->maximum() > 0);
        QCOMPARE(scrollBar->value(), 0);

        // Reached with Tab from anywhere on the page, scrolled with Page Down, Ctrl+End and Ctrl+Home.
        licenseChild<QCheckBox>("checkBoxAcceptLicense")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), textEdit);
        QTest::keyClick(textEdit, Qt::Key_PageDown);
        QTRY_VERIFY(scrollBar->value() > 0);
        const int afterOnePage = scrollBar->value();
        QTest::keyClick(textEdit, Qt::Key_PageDown);
        QTRY_VERIFY(scrollBar->value() > afterOnePage);
        QTest::keyClick(textEdit, Qt::Key_End, Qt::ControlModifier);
        QTRY_VERIFY(textEdit->textCursor().atEnd());
        QVERIFY(scrollBar->value() >= scrollBar->maximum() - 2 * textEdit->fontMetrics().height());
        QTest::keyClick(textEdit, Qt::Key_Home, Qt::ControlModifier);
        QTRY_VERIFY(textEdit->textCursor().atStart());
        QVERIFY(scrollBar->value() < afterOnePage);

        // Typing changes nothing, and Tab leaves the document instead of inserting a tab.
        const QString textBefore = documentText();
        QTest::keyClicks(textEdit, "xyz");
        QTest::keyClick(textEdit, Qt::Key_Delete);
        QCOMPARE(documentText(), textBefore);
        QTest::keyClick(textEdit, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), licenseChild<QCheckBox>("checkBoxAcceptLicense"));
    }

    void missingDocumentsShowTheirFallbackTexts()
    {
        storeSettings("2.2", true);
        startWindow();
        auto* view =
            qobject_cast<ViewContentApplicationLicense*>(licensePage()->findChild<ViewContentBase*>());
        QVERIFY(view);

        // A build without the news: the fallback sentence comes first and the agreement still follows.
        QTemporaryDir documents;
        QVERIFY(documents.isValid());
        QVERIFY(QDir(documents.path()).mkdir("Licenses"));
        for (const char* name :
             {"End_User_License_Agreement_en.html", "Terms_Of_Service_en.html", "LGPL_V3.html"})
        {
            QVERIFY(QFile::copy(QStringLiteral(":/Licenses/") + name,
                                documents.filePath(QStringLiteral("Licenses/") + name)));
        }
        view->setDocumentsPathPrefix(documents.path() + "/");
        window->switchView(VIEW_ID_APPLICATION_LICENSE);
        QString text = documentText();
        QVERIFY(text.startsWith(NEWS_FALLBACK));
        QVERIFY(_appearInOrder_helper(text, {NEWS_FALLBACK, "End-User License Agreement", "Terms of Service",
                                             "GNU LESSER GENERAL PUBLIC LICENSE"}));
        QVERIFY(!text.contains("What's new"));
        QCOMPARE(documentHtml().count("<hr"), 3);

        // Nothing at all: four fallbacks, the last one naming where the LGPL text is, and the page still
        // lets the user accept.
        QTemporaryDir emptyDirectory;
        view->setDocumentsPathPrefix(emptyDirectory.path() + "/");
        window->switchView(VIEW_ID_APPLICATION_LICENSE);
        text = documentText();
        QTextDocument lgplFallback;
        lgplFallback.setHtml(LGPL_FALLBACK);
        QVERIFY(_appearInOrder_helper(
            text, {NEWS_FALLBACK, EULA_FALLBACK, TERMS_FALLBACK, lgplFallback.toPlainText()}));
        QVERIFY(documentHtml().contains(
            "font-style:italic;\">https://www.gnu.org/licenses/lgpl-3.0-standalone.html"));
        {
            ModalBoxAnswerer answerer(QMessageBox::No);
            acceptLicense();
        }
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        QCOMPARE(acceptedVersion(), QStringLiteral(APPLICATION_VERSION));
    }

    void frenchSystemShowsFrenchDocuments()
    {
        if (getApplicationLanguageCode() != QLatin1String("fr"))
        {
            // The language is decided once per process from the system locale: run this case again in a
            // process started on a French system.
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("LANG", "fr_FR.UTF-8");
            environment.remove("LC_ALL");
            environment.remove("LC_MESSAGES");
            environment.remove("LANGUAGE");
            environment.insert("QT_QPA_PLATFORM", "offscreen");
            child.setProcessEnvironment(environment);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QCoreApplication::applicationFilePath(), {"frenchSystemShowsFrenchDocuments"});
            QVERIFY(child.waitForFinished(120000));
            const QByteArray output = child.readAll();
            QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
            QVERIFY2(output.contains("PASS   : TestFirstRun::frenchSystemShowsFrenchDocuments"),
                     output.constData());
            return;
        }

        storeSettings("2.2", true);
        startWindow();
        const QString text = documentText();
        QVERIFY(_appearInOrder_helper(
            text, {"Nouveautés de Corvane Key Manager 2.3", "Contrat de licence utilisateur final",
                   "Conditions d’utilisation", "GNU LESSER GENERAL PUBLIC LICENSE"}));
        QVERIFY(!text.contains("What's new"));
        QVERIFY(!text.contains("End-User License Agreement"));
    }

    // Last: it runs the application's event loop until the page ends it.
    void decliningQuitsWithoutStoringAnything()
    {
        storeSettings("2.2", true);
        startWindow();
        const QString storePath = settings->fileName();
        QFile store(storePath);
        QVERIFY(store.open(QIODevice::ReadOnly));
        const QByteArray storeBefore = store.readAll();
        store.close();

        QSignalSpy quitSpy(QCoreApplication::instance(), &QCoreApplication::aboutToQuit);
        QPushButton* decline = licenseChild<QPushButton>("pushButtonDecline");
        QTimer::singleShot(0, decline, [decline]() { QTest::mouseClick(decline, Qt::LeftButton); });
        // Only guards against a hang: a working page ends the loop at once.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, []() { QCoreApplication::exit(99); });
        watchdog.start(60000);
        const int exitCode = QApplication::exec();
        watchdog.stop();

        QCOMPARE(exitCode, 0);
        QCOMPARE(quitSpy.count(), 1);
        settings->sync();
        QVERIFY(store.open(QIODevice::ReadOnly));
        QCOMPARE(store.readAll(), storeBefore);
        QCOMPARE(acceptedVersion(), QStringLiteral("2.2"));
        QCOMPARE(settings->value(CONFIGURATION_KEY_IS_FIRST_RUN).toBool(), true);
    }
};

QTEST_MAIN(TestFirstRun)
#include "test_first_run.moc"
