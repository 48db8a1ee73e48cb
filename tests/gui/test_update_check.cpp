// The update check against a small HTTP server on 127.0.0.1 started by the test: the request, the waiting
// page, the question for another version, the messages of a manual check, silence of an automatic one, and
// every kind of unusable reply (garbage, HTTP errors, redirections elsewhere, hang-ups, time-outs).
#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/ProductWebServer.h"
#include "support/EditorTestSupport.h"
#include "support/ModalBoxAnswerer.h"
#include "support/PrivateSettingsStore.h"
#include "views/ViewBase.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace editortest;

namespace
{
const char UPDATE_PATH[] = "/download/desktop-application/Desktop_Application_Version.txt";
const char FAILURE_TEXT[] =
    "Failed to retrieve the update information from the server.\nPlease check your network configuration and "
    "retry.";

QByteArray httpResponse(int status, const QByteArray& reason, const QByteArray& body,
                        const QByteArray& extraHeaders = QByteArray())
{
    return "HTTP/1.1 " + QByteArray::number(status) + " " + reason + "\r\nContent-Type: text/plain\r\n" +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + extraHeaders +
           "\r\n" + body;
}

QByteArray okResponse(const QByteArray& body)
{
    return httpResponse(200, "OK", body);
}

// Serves canned responses by request path, one request per connection. Held requests get no answer until
// released; a response of "close" hangs up without answering; a response of "drip" starts a successful
// answer and then sends one byte of its body a second, without end.
class CannedHttpServer : public QTcpServer
{
public:
    CannedHttpServer()
    {
        connect(this, &QTcpServer::newConnection, this, &CannedHttpServer::acceptConnections);
    }

    bool start()
    {
        return listen(QHostAddress::LocalHost, 0);
    }

    QString baseUrl() const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(serverPort());
    }

    void setResponse(const QByteArray& path, const QByteArray& response)
    {
        responses[path] = response;
    }

    void setHolding(bool isHolding)
    {
        isHoldingRequests = isHolding;
        if (isHolding)
            return;
        const QList<std::pair<QTcpSocket*, QByteArray>> held = heldRequests;
        heldRequests.clear();
        for (const auto& [socket, path] : held)
            answer(socket, path);
    }

    QStringList requestLines;

private:
    void acceptConnections()
    {
        while (QTcpSocket* socket = nextPendingConnection())
        {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket]() { readRequest(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void readRequest(QTcpSocket* socket)
    {
        QByteArray& buffer = buffers[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n"))
            return;
        const QByteArray requestLine = buffer.left(buffer.indexOf("\r\n"));
        buffers.remove(socket);
        requestLines.append(QString::fromLatin1(requestLine));
        const QByteArray path = requestLine.split(' ').value(1);
        if (isHoldingRequests)
            heldRequests.append({socket, path});
        else
            answer(socket, path);
    }

    void answer(QTcpSocket* socket, const QByteArray& path)
    {
        const QByteArray response = responses.value(path, httpResponse(404, "Not Found", "no such page"));
        if (response == "drip")
        {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 100000\r\n\r\nL");
            auto* dripTimer = new QTimer(socket);
            connect(dripTimer, &QTimer::timeout, socket, [socket]() { socket->write("a"); });
            dripTimer->start(1000);
            return;
        }
        if (response != "close")
            socket->write(response);
        socket->disconnectFromHost();
    }

    QHash<QByteArray, QByteArray> responses;
    QHash<QTcpSocket*, QByteArray> buffers;
    bool isHoldingRequests = false;
    QList<std::pair<QTcpSocket*, QByteArray>> heldRequests;
};

// Stands in for the desktop's browser.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> openedUrls;

public Q_SLOTS:
    void openUrl(const QUrl& url)
    {
        openedUrls.append(url);
    }
};
} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT

private:
    FormContentEditor* window = nullptr;
    std::unique_ptr<CannedHttpServer> server;
    std::unique_ptr<CannedHttpServer> otherServer;
    UrlRecorder browser;

    void createWindow(bool isAutomaticCheckEnabled)
    {
        settings->setValue(CONFIGURATION_KEY_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED,
                           isAutomaticCheckEnabled);
        settings->setValue(CONFIGURATION_KEY_IS_APPLICATION_AUTO_LOCKING_ENABLED, false);
        window = createEditorWindow();
    }

    QNetworkAccessManager* accessManager()
    {
        return window->findChild<QNetworkAccessManager*>();
    }

    // True once no reply is in flight or waiting to be deleted: every check sent has been evaluated.
    bool isEveryReplyHandled()
    {
        return accessManager()->findChildren<QNetworkReply*>().isEmpty();
    }

    void checkManually()
    {
        window->findChild<QAction*>(QStringLiteral("actionSoftwareUpdateCheck"))->trigger();
    }

    void answerManualCheckWithMessage(const QString& expectedTitle, const QString& expectedText)
    {
        QTRY_COMPARE(viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG), expectedTitle);
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_MESSAGE_BOX_DIALOG));
        QCOMPARE(messageBoxText(window), expectedText);
        QVERIFY(answerMessageBox(window, "pushButtonOk"));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        // The store exists before the first window, whose start menu reads the automatic check setting.
        usePrivateSettingsStore();
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser, "openUrl");
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }

    void init()
    {
        server = std::make_unique<CannedHttpServer>();
        otherServer = std::make_unique<CannedHttpServer>();
        QVERIFY(server->start());
        QVERIFY(otherServer->start());
        qputenv(PRODUCT_WEB_SERVER_URL_VARIABLE, server->baseUrl().toUtf8());
        browser.openedUrls.clear();
    }

    void cleanup()
    {
        if (window)
            destroyEditorWindow(window);
        window = nullptr;
        server.reset();
        otherServer.reset();
    }

    void serverAddressComesFromTheEnvironment()
    {
        qputenv(PRODUCT_WEB_SERVER_URL_VARIABLE, "http://127.0.0.1:8080/base/");
        QCOMPARE(productWebServerPageUrl("/downloads-en"), QUrl("http://127.0.0.1:8080/base/downloads-en"));
        qputenv(PRODUCT_WEB_SERVER_URL_VARIABLE, "https://mirror.example.org");
        QCOMPARE(productWebServerUrl(), QUrl("https://mirror.example.org"));
        // Plain http only to this computer: anything on the way could answer for another server.
        for (const char* unusable : {"", "ftp://127.0.0.1/", "not a url", "https://", "file:///etc/passwd",
                                     "http://mirror.example.org", "http://10.0.0.1:8080/"})
        {
            qputenv(PRODUCT_WEB_SERVER_URL_VARIABLE, unusable);
            QCOMPARE(productWebServerUrl(), QUrl(PRODUCT_WEB_SERVER_DEFAULT_URL));
        }
        qunsetenv(PRODUCT_WEB_SERVER_URL_VARIABLE);
        QCOMPARE(productWebServerPageUrl(UPDATE_PATH),
                 QUrl(QStringLiteral(PRODUCT_WEB_SERVER_DEFAULT_URL) + UPDATE_PATH));
    }

    void automaticCheckAtStartAsksAboutAnotherVersion()
    {
        server->setResponse(UPDATE_PATH, okResponse("Latest_Version=2.4\n"));
        ModalBoxAnswerer answerer(QMessageBox::No);
        createWindow(true);

        QTRY_VERIFY(answerer.isBoxSeen());
        QCOMPARE(server->requestLines, QStringList{QStringLiteral("GET %1 HTTP/1.1").arg(UPDATE_PATH)});
        QCOMPARE(answerer.title(), QStringLiteral("Update available"));
        QCOMPARE(answerer.text(),
                 QStringLiteral("A program update is available (the new version is 2.4, you are "
                                "currently using the version " APPLICATION_VERSION
                                ").\nDo you want to download it "
                                "from the website?"));
        QCOMPARE(answerer.icon(), QMessageBox::Question);
        QVERIFY(browser.openedUrls.isEmpty());
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

    void automaticCheckIsSilentOtherwise()
    {
        const QList<QByteArray> responses = {okResponse("Latest_Version=" APPLICATION_VERSION "\n"),
                                             okResponse("garbage"), okResponse("latest_version=2.4"),
                                             httpResponse(404, "Not Found", "Latest_Version=2.4"), "close"};
        for (const QByteArray& response : responses)
        {
            server->requestLines.clear();
            server->setResponse(UPDATE_PATH, response);
            ModalBoxAnswerer answerer(QMessageBox::No);
            createWindow(true);
            // A hang-up may be retried once by the network layer.
            QTRY_VERIFY(!server->requestLines.isEmpty());
            QTRY_VERIFY(isEveryReplyHandled());
            QCoreApplication::processEvents();
            QVERIFY2(!answerer.isBoxSeen(), response.constData());
            QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
            destroyEditorWindow(window);
            window = nullptr;
        }
    }

    void disabledAutomaticCheckSendsNothingButTheMenuStillWorks()
    {
        server->setResponse(UPDATE_PATH, okResponse("Latest_Version=" APPLICATION_VERSION));
        createWindow(false);
        // The start menu asks for its check on the next turn of the event loop; it sends nothing.
        QCoreApplication::processEvents();
        QVERIFY(isEveryReplyHandled());
        window->startAutomaticUpdateCheck();
        QVERIFY(isEveryReplyHandled());

        checkManually();
        answerManualCheckWithMessage(
            QStringLiteral("No update found"),
            QStringLiteral("No update is available, you are using the latest version."));
        QCOMPARE(server->requestLines.size(), 1);
    }

    void manualCheckWaitsThenOffersTheDownload()
    {
        createWindow(false);
        server->setResponse(UPDATE_PATH, okResponse("Latest_Version=3.0.1\nRelease_Date=2031-01-01\n"));
        server->setHolding(true);
        checkManually();

        // The waiting page has no button: the answer removes it.
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_MESSAGE_BOX_DIALOG));
        QCOMPARE(viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG), QStringLiteral("Searching for an update"));
        QCOMPARE(messageBoxText(window),
                 QStringLiteral("Searching for an update on the server...\nThis operation "
                                "will take less than 5 seconds."));
        for (QPushButton* button : window->view(VIEW_ID_MESSAGE_BOX_DIALOG)->findChildren<QPushButton*>())
            QVERIFY(!button->isVisible());
        QTRY_COMPARE(server->requestLines.size(), 1);

        ModalBoxAnswerer answerer(QMessageBox::Yes);
        server->setHolding(false);
        QTRY_VERIFY(answerer.isBoxSeen());
        // Only the first line names the version.
        QVERIFY(answerer.text().startsWith(
            QStringLiteral("A program update is available (the new version is 3.0.1, you are currently")));
        QCOMPARE(browser.openedUrls,
                 QList<QUrl>{QUrl(server->baseUrl() + "/downloads-" + getApplicationLanguageCode())});
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

    void manualCheckReportsTheLatestVersion()
    {
        createWindow(false);
        // Line ends of any kind around the version are no part of it.
        for (const QByteArray& body : {QByteArray("Latest_Version=" APPLICATION_VERSION),
                                       QByteArray("Latest_Version=" APPLICATION_VERSION "\n"),
                                       QByteArray("Latest_Version=" APPLICATION_VERSION "\r\n"),
                                       QByteArray("Latest_Version= " APPLICATION_VERSION " \n")})
        {
            server->setResponse(UPDATE_PATH, okResponse(body));
            checkManually();
            answerManualCheckWithMessage(
                QStringLiteral("No update found"),
                QStringLiteral("No update is available, you are using the latest version."));
        }

        // Any other version is offered, an older one too.
        server->setResponse(UPDATE_PATH, okResponse("Latest_Version=2.2"));
        ModalBoxAnswerer answerer(QMessageBox::No);
        checkManually();
        QTRY_VERIFY(answerer.isBoxSeen());
        QVERIFY(answerer.text().contains(QStringLiteral("the new version is 2.2,")));
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(browser.openedUrls.isEmpty());
    }

    void manualCheckReportsUnusableReplies_data()
    {
        QTest::addColumn<QByteArray>("response");
        QTest::newRow("garbage") << okResponse("<html><body>Welcome</body></html>");
        QTest::newRow("empty body") << okResponse("");
        QTest::newRow("lower-case prefix") << okResponse("latest_version=2.4\n");
        QTest::newRow("prefix without version") << okResponse("Latest_Version=\n");
        QTest::newRow("markup as version") << okResponse("Latest_Version=<b>2.4</b>\n");
        QTest::newRow("overlong version") << okResponse("Latest_Version=" + QByteArray(200, '9'));
        QTest::newRow("oversized reply") << okResponse("Latest_Version=2.4\n" + QByteArray(200000, 'x'));
        QTest::newRow("invalid UTF-8") << okResponse("Latest_Version=\xff\xfe\n");
        QTest::newRow("not found") << httpResponse(404, "Not Found", "Latest_Version=2.4\n");
        QTest::newRow("server error") << httpResponse(500, "Internal Server Error", "Latest_Version=2.4\n");
        QTest::newRow("hang-up") << QByteArray("close");
        QTest::newRow("not HTTP") << QByteArray("Latest_Version=2.4\n");
    }

    void manualCheckReportsUnusableReplies()
    {
        QFETCH(QByteArray, response);
        createWindow(false);
        server->setResponse(UPDATE_PATH, response);
        ModalBoxAnswerer answerer(QMessageBox::No);
        checkManually();
        answerManualCheckWithMessage(QStringLiteral("Update check"), QString::fromLatin1(FAILURE_TEXT));
        QVERIFY(!answerer.isBoxSeen());
        QVERIFY(browser.openedUrls.isEmpty());
    }

    void redirectionsStayOnTheProductServer()
    {
        createWindow(false);
        // Elsewhere (another port is another site): not followed, a failure.
        otherServer->setResponse(UPDATE_PATH, okResponse("Latest_Version=6.6"));
        server->setResponse(
            UPDATE_PATH, httpResponse(302, "Found", "",
                                      "Location: " + otherServer->baseUrl().toUtf8() + UPDATE_PATH + "\r\n"));
        ModalBoxAnswerer answerer(QMessageBox::No);
        checkManually();
        answerManualCheckWithMessage(QStringLiteral("Update check"), QString::fromLatin1(FAILURE_TEXT));
        QVERIFY(otherServer->requestLines.isEmpty());
        QVERIFY(!answerer.isBoxSeen());

        // On the same server: followed.
        server->setResponse(UPDATE_PATH,
                            httpResponse(301, "Moved Permanently", "", "Location: /v2/version.txt\r\n"));
        server->setResponse("/v2/version.txt", okResponse("Latest_Version=" APPLICATION_VERSION "\n"));
        checkManually();
        answerManualCheckWithMessage(
            QStringLiteral("No update found"),
            QStringLiteral("No update is available, you are using the latest version."));
        QCOMPARE(server->requestLines.last(), QStringLiteral("GET /v2/version.txt HTTP/1.1"));
    }

    void silentServerTimesOut()
    {
        createWindow(false);
        server->setHolding(true);
        checkManually();
        QTRY_COMPARE(server->requestLines.size(), 1);
        // The transfer time-out of 5 seconds ends the wait.
        QTRY_COMPARE_WITH_TIMEOUT(viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG),
                                  QStringLiteral("Update check"), 20000);
        answerManualCheckWithMessage(QStringLiteral("Update check"), QString::fromLatin1(FAILURE_TEXT));
    }

    void drippingServerTimesOut()
    {
        // A server that keeps the transfer alive with a byte now and then is cut off all the same.
        createWindow(false);
        server->setResponse(UPDATE_PATH, "drip");
        checkManually();
        QTRY_COMPARE(server->requestLines.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG),
                                  QStringLiteral("Update check"), 20000);
        answerManualCheckWithMessage(QStringLiteral("Update check"), QString::fromLatin1(FAILURE_TEXT));
    }

    void replyArrivingWhileLockedWaitsForTheUnlock()
    {
        createWindow(false);
        window->setKnownMasterPassword(QStringLiteral("pw"));
        server->setResponse(UPDATE_PATH, okResponse("Latest_Version=" APPLICATION_VERSION "\n"));
        server->setHolding(true);
        checkManually();
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_MESSAGE_BOX_DIALOG));
        QTRY_COMPARE(server->requestLines.size(), 1);

        window->findChild<QAction*>(QStringLiteral("actionLockApplication"))->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
        server->setHolding(false);
        QTRY_VERIFY(isEveryReplyHandled());
        QCoreApplication::processEvents();
        // Nothing under the locked page was revealed and nothing was shown over it.
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));

        QWidget* lockedPage = window->view(VIEW_ID_APPLICATION_LOCKED);
        QTest::keyClicks(child<QLineEdit>(lockedPage, "lineEditPassword"), QStringLiteral("pw"));
        QTest::mouseClick(child<QPushButton>(lockedPage, "pushButtonUnlock"), Qt::LeftButton);
        answerManualCheckWithMessage(
            QStringLiteral("No update found"),
            QStringLiteral("No update is available, you are using the latest version."));

        // The same for the question of an automatic check.
        server->setResponse(UPDATE_PATH, okResponse("Latest_Version=2.5\n"));
        settings->setValue(CONFIGURATION_KEY_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED, true);
        server->setHolding(true);
        window->startAutomaticUpdateCheck();
        QTRY_COMPARE(server->requestLines.size(), 2);
        window->findChild<QAction*>(QStringLiteral("actionLockApplication"))->trigger();
        ModalBoxAnswerer answerer(QMessageBox::No);
        server->setHolding(false);
        QTRY_VERIFY(isEveryReplyHandled());
        QCoreApplication::processEvents();
        QVERIFY(!answerer.isBoxSeen());
        QTest::keyClicks(child<QLineEdit>(lockedPage, "lineEditPassword"), QStringLiteral("pw"));
        QTest::mouseClick(child<QPushButton>(lockedPage, "pushButtonUnlock"), Qt::LeftButton);
        QTRY_VERIFY(answerer.isBoxSeen());
        QVERIFY(answerer.text().contains(QStringLiteral("the new version is 2.5,")));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }
};

QTEST_MAIN(TestUpdateCheck)
#include "test_update_check.moc"
