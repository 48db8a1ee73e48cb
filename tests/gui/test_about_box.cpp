#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "support/FakeHelpViewer.h"
#include "support/ModalBoxAnswerer.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// The Help menu: the help viewer's index, the product home page and the About box.
namespace
{
// Receives what the desktop would open in a browser.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public Q_SLOTS:
    void openUrl(const QUrl& url)
    {
        urls.append(url);
    }
};
} // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir configurationDirectory;
    FormContentEditor* window = nullptr;

    void triggerAction(const char* objectName)
    {
        auto* action = window->findChild<QAction*>(QLatin1String(objectName));
        if (!action)
            qFatal("missing action %s", objectName);
        action->trigger();
    }

    // Opens the About box, records it and closes it with its Ok button.
    ModalBoxAnswerer* showAboutBox()
    {
        auto* answerer = new ModalBoxAnswerer(QMessageBox::Ok);
        triggerAction("actionAbout");
        return answerer;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(configurationDirectory.isValid());
        qputenv("XDG_CONFIG_HOME", configurationDirectory.path().toLocal8Bit());
        QApplication::setQuitOnLastWindowClosed(false);
        initializeConfiguration();
        settings->setValue(CONFIGURATION_KEY_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION, APPLICATION_VERSION);
        window = new FormContentEditor();
        mainWindow = window;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    void cleanupTestCase()
    {
        delete window;
        mainWindow = nullptr;
        releaseConfiguration();
    }

    void aboutBoxShowsTheBuild()
    {
        window->setBuildDateAndTime("Nov 20 2025", "09:23:02");
        QScopedPointer<ModalBoxAnswerer> answerer(showAboutBox());
        QVERIFY(answerer->isBoxSeen());
        QCOMPARE(answerer->title(), QStringLiteral("About"));
        // The application's own icon, not the generic information sign.
        const QImage icon = answerer->iconImage();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon, QIcon(QStringLiteral(":/Icon.svg")).pixmap(icon.size()).toImage());
        const QString text = answerer->text();
        const QStringList lines = text.split("<br />");
        QCOMPARE(lines.size(), 7);
        // The opening line carries the year of the build.
        QVERIFY2(lines.at(0).contains("2025"), qPrintable(lines.at(0)));
        QCOMPARE(lines.at(1), QString());
        QCOMPARE(lines.at(2), QStringLiteral("Build date: Nov 20 2025 09:23:02"));
        QCOMPARE(lines.at(3), QStringLiteral("Application version: " APPLICATION_VERSION));
        QCOMPARE(lines.at(4), QStringLiteral("Qt version: ") + QT_VERSION_STR);
        QCOMPARE(lines.at(5), QString());
        QCOMPARE(lines.at(6), QStringLiteral("This application is using Qt framework under <a "
                                             "href=\"https://www.gnu.org/licenses/lgpl-3.0-standalone.html\">"
                                             "LGPLv3 license</a>."));

        // A day of one digit is padded with a space by the compiler: the year is still found.
        window->setBuildDateAndTime("Mar  5 2031", "23:59:59");
        answerer.reset(showAboutBox());
        QVERIFY(answerer->isBoxSeen());
        QVERIFY(answerer->text().section("<br />", 0, 0).contains("2031"));
        QVERIFY(!answerer->text().section("<br />", 0, 0).contains("2025"));
        QVERIFY(answerer->text().contains("Build date: Mar  5 2031 23:59:59<br />"));
    }

    void aboutBoxOfThisBuildShowsTheCompilerDate()
    {
        // A new window carries the date and time this build was made, in the compiler's formats.
        FormContentEditor freshWindow;
        mainWindow = &freshWindow;
        freshWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&freshWindow));
        ModalBoxAnswerer answerer(QMessageBox::Ok);
        freshWindow.findChild<QAction*>("actionAbout")->trigger();
        mainWindow = window;
        QVERIFY(answerer.isBoxSeen());
        const QRegularExpressionMatch match =
            QRegularExpression("^(.*)<br /><br />Build date: [A-Z][a-z]{2} [ 0-9][0-9] ([0-9]{4}) "
                               "[0-9]{2}:[0-9]{2}:[0-9]{2}<br />")
                .match(answerer.text());
        QVERIFY2(match.hasMatch(), qPrintable(answerer.text()));
        QVERIFY(match.captured(1).contains(match.captured(2)));
    }

    void helpMenuOpensTheIndexPage()
    {
        FakeHelpViewer helpViewer;
        QVERIFY(helpViewer.isInstalled());
        triggerAction("actionHelp");
        QTRY_COMPARE(helpViewer.logLines(), QStringList({"start /Help_Vieweren index.html index.html"}));

        // F1 asks for the page about the page shown, also on the pages that hide the menu bar.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        QTest::keyClick(window, Qt::Key_F1);
        QTRY_COMPARE(helpViewer.logLines().size(), 2);
        QCOMPARE(helpViewer.logLines().last(), QStringLiteral("page getting_started_description.html"));
        window->pushView(VIEW_ID_SETTINGS);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QTRY_COMPARE(helpViewer.logLines().size(), 3);
        QCOMPARE(helpViewer.logLines().last(), QStringLiteral("page settings_and_locking.html"));
        window->popView(VIEW_ID_COUNT);
        // The health report opens its own section of the page about managing passwords.
        window->pushView(VIEW_ID_PASSWORD_HEALTH);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QTRY_COMPARE(helpViewer.logLines().size(), 4);
        QCOMPARE(helpViewer.logLines().last(), QStringLiteral("page managing_passwords.html#health"));
        window->popView(VIEW_ID_COUNT);
    }

    void websiteActionOpensTheProductHomePage()
    {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("https", &recorder, "openUrl");
        QDesktopServices::setUrlHandler("http", &recorder, "openUrl");

        qunsetenv("CORVANE_SERVER_URL");
        triggerAction("actionWebsite");
        // The server can be moved without a new build, for example to a test server.
        qputenv("CORVANE_SERVER_URL", "http://127.0.0.1:8088");
        triggerAction("actionWebsite");
        qunsetenv("CORVANE_SERVER_URL");

        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("http");
        QCOMPARE(recorder.urls,
                 QList<QUrl>({QUrl("https://www.corvane.example/"), QUrl("http://127.0.0.1:8088/")}));
    }
};

QTEST_MAIN(TestAboutBox)
#include "test_about_box.moc"
