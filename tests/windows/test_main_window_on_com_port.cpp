// The application's main window on Windows (under Wine), against the device that
// scripts/windows-window-test serves on COM5 at the real line rate: the start menu's Open, the master
// password, the vault read from both memories, a record edited on its page and the vault saved with the
// read-back, all through the window's own widgets. The script checks the device's memories afterwards.
//
// Environment (set by the script):
//   CORVANE_TEST_MASTER_PASSWORD   the master password of the vault on the device (its demo vault)
//   CORVANE_TEST_SCREENSHOT_DIR    optional: at each moment worth a picture the test writes
//                                  <moment>.ready there and waits for <moment>.png, taken from outside
#include "app/Configuration.h"
#include "e2e/support/DeviceWorkflowSupport.h"
#include "gui/support/EditorTestSupport.h"
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "views/ViewBase.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace deviceworkflowtest;
using editortest::child;

namespace
{
// At 11 520 bytes/s both memories take about 23 s to read, and a save (two writes, three reads) about a
// minute; Wine adds its share.
constexpr int DEVICE_TRANSFER_TIMEOUT_MILLISECONDS = 240000;
const QString EDITED_LOGIN = QStringLiteral("alex.wine@mail.example");
const QString SUCCESS_MESSAGE = QStringLiteral(
    "Write success|All data were successfully written.\nYou can safely remove the device if you want.");

QStringList _recordNames_helper(PasswordTable* table)
{
    QStringList names;
    for (int row = 0; row < table->passwordCount(); row++)
        names.append(table->passwordAt(row).name);
    return names;
}

// What the window shows, with the master password page's error when that page is in front.
QString _screenDescription_helper(FormContentEditor* window)
{
    QString description = editortest::describeScreen(window);
    auto* error = child<QLabel>(window->view(VIEW_ID_INSERT_READING_MASTER_PASSWORD), "labelError");
    if (window->currentViewId() == VIEW_ID_INSERT_READING_MASTER_PASSWORD && error && error->isVisible())
        description += QStringLiteral(" with the error \"%1\"").arg(error->text());
    return description;
}

// Lets the script photograph the display at this moment: once everything pending is painted, announces
// the moment and waits until the picture exists.
bool _waitForScreenshot_helper(QWidget* window, const QString& moment)
{
    const QString directory = qEnvironmentVariable("CORVANE_TEST_SCREENSHOT_DIR");
    if (directory.isEmpty())
        return true;
    window->repaint();
    QCoreApplication::processEvents();
    QFile announcement(QDir(directory).filePath(moment + QStringLiteral(".ready")));
    if (!announcement.open(QIODevice::WriteOnly))
        return false;
    announcement.close();
    const QString picturePath = QDir(directory).filePath(moment + QStringLiteral(".png"));
    return waitUntil([&]() { return QFile::exists(picturePath); }, 60000);
}
} // namespace

class TestMainWindowOnComPort : public QObject
{
    Q_OBJECT

private:
    FormContentEditor* window = nullptr;

    // Waits for the page that follows an exchange with the device, or for what comes instead: a message, or
    // the master password page again with its error.
    bool waitForPageAfterDeviceExchange(int viewId)
    {
        waitUntil(
            [&]()
            {
                const int shownViewId = window->currentViewId();
                return shownViewId == viewId || shownViewId == VIEW_ID_MESSAGE_BOX_DIALOG ||
                       shownViewId == VIEW_ID_INSERT_READING_MASTER_PASSWORD;
            },
            DEVICE_TRANSFER_TIMEOUT_MILLISECONDS);
        return window->currentViewId() == viewId;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(qEnvironmentVariableIsSet("CORVANE_TEST_MASTER_PASSWORD"),
                 "run by scripts/windows-window-test, which serves the device");
        // The settings are the application's own (the registry); the script empties them before the run.
        initializeConfiguration();
        settings->setValue(CONFIGURATION_KEY_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION, APPLICATION_VERSION);
        settings->setValue(CONFIGURATION_KEY_IS_FIRST_RUN, false);
        settings->setValue(CONFIGURATION_KEY_IS_BACKUP_REMINDER_ENABLED, false);

        window = new FormContentEditor();
        mainWindow = window;
        window->showMaximized();
        qApp->installEventFilter(window);
        // Wine's first window takes a while (fonts, the display driver).
        QVERIFY(QTest::qWaitForWindowExposed(window, 60000));
    }

    void cleanupTestCase()
    {
        mainWindow = nullptr;
        delete window;
        releaseConfiguration();
    }

    void opensEditsAndSavesTheDeviceVault()
    {
        QVERIFY(editortest::waitForView(window, VIEW_ID_START_MENU));
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(child<QPushButton>(window->view(VIEW_ID_START_MENU), "pushButtonOpenDevice"),
                          Qt::LeftButton);
        // The only device listed, on COM5, is opened without a selection page.
        QVERIFY2(waitForPageAfterDeviceExchange(VIEW_ID_INSERT_READING_MASTER_PASSWORD),
                 qPrintable(editortest::describeScreen(window)));
        QVERIFY2(enterReadingPassword(window, qEnvironmentVariable("CORVANE_TEST_MASTER_PASSWORD")),
                 qPrintable(editortest::describeScreen(window)));
        QVERIFY2(
            waitUntil([&]() { return window->currentViewId() != VIEW_ID_INSERT_READING_MASTER_PASSWORD; }),
            qPrintable(_screenDescription_helper(window)));
        QVERIFY2(waitForPageAfterDeviceExchange(VIEW_ID_CONTENT_EDITOR),
                 qPrintable(_screenDescription_helper(window)));
        qInfo("Read and opened at the real line rate in %lld ms", timer.elapsed());

        QCOMPARE(editortest::tabCount(window), 3);
        QCOMPARE(editortest::tabName(window, 0), QStringLiteral("Personal"));
        PasswordTable* table = editortest::tableAt(window, 0);
        QCOMPARE(_recordNames_helper(table),
                 QStringList({"Bank of Example", "Cloud storage", "Mailbox", "Social network"}));
        QVERIFY(!window->isDataModified());
        QVERIFY(_waitForScreenshot_helper(window, QStringLiteral("editor")));

        // The mailbox's login changed on the record's page.
        editortest::clickCell(table, 2, PasswordTable::COLUMN_LOGIN);
        QTest::mouseClick(child<QPushButton>(window, "pushButtonEditPassword"), Qt::LeftButton);
        QVERIFY(editortest::waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        QWidget* page = window->view(VIEW_ID_PASSWORD_INFORMATION);
        auto* login = child<QLineEdit>(page, "lineEditLogin");
        QCOMPARE(login->text(), QStringLiteral("alex.martin@mail.example"));
        login->selectAll();
        QTest::keyClicks(login, EDITED_LOGIN);
        QTest::mouseClick(child<QPushButton>(page, "pushButtonSave"), Qt::LeftButton);
        QVERIFY(editortest::waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(table->passwordAt(2).login, EDITED_LOGIN);
        QVERIFY(window->isDataModified());

        // Saved under the password it was opened with: both memories written and read back.
        saveAction(window)->trigger();
        QVERIFY(waitForPageAfterDeviceExchange(VIEW_ID_MESSAGE_BOX_DIALOG));
        QCOMPARE(editortest::viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG),
                 QStringLiteral("Confirm saving device"));
        timer.restart();
        QVERIFY(editortest::answerMessageBox(window, "pushButtonYes"));
        QVERIFY2(waitUntil([&]() { return window->currentViewId() != VIEW_ID_MESSAGE_BOX_DIALOG; }),
                 qPrintable(editortest::describeScreen(window)));
        QVERIFY2(waitForPageAfterDeviceExchange(VIEW_ID_MESSAGE_BOX_DIALOG),
                 qPrintable(editortest::describeScreen(window)));
        qInfo("Saved with the read-back at the real line rate in %lld ms", timer.elapsed());
        QCOMPARE(waitForMessage(window), SUCCESS_MESSAGE);
        QVERIFY(_waitForScreenshot_helper(window, QStringLiteral("saved")));

        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        QVERIFY(editortest::waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QVERIFY(!window->isDataModified());
        QCOMPARE(editortest::tableAt(window, 0)->passwordAt(2).login, EDITED_LOGIN);
    }
};

QTEST_MAIN(TestMainWindowOnComPort)
#include "test_main_window_on_com_port.moc"
