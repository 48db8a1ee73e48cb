// Auto-locking of the main window: the idle count fed by user input, the lock after the delay only with a
// known master password, locking over any page, the settings that drive it, and the lock that follows the
// session's screen lock and sleep (announced over D-Bus: private buses with fake services stand in for the
// system and session buses). The one-second timer is silenced and its slot called by hand, so that no test
// waits real minutes or races the clock.
#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "mainwindow/SessionLockWatcher.h"
#include "support/EditorTestSupport.h"
#include "support/ModalBoxAnswerer.h"
#include "support/PrivateSettingsStore.h"
#include "views/ViewBase.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include <functional>
#include <memory>

#include <poll.h>
#include <unistd.h>

using namespace editortest;

namespace
{
const QString MASTER_PASSWORD = QStringLiteral("s3cret master");

const QString LOGIN_SESSION_PATH = QStringLiteral("/org/freedesktop/login1/session/_3test");

// The window follows each setting as it is written.
void storeLockingSettings(bool isEnabled, int delayMinutes)
{
    setSettingValue(SETTING_IS_APPLICATION_AUTO_LOCKING_ENABLED, isEnabled);
    setSettingValue(SETTING_APPLICATION_AUTO_LOCKING_DELAY_MINUTES, delayMinutes);
}

// Starts a dbus-daemon of the test's own (the session configuration lets anyone own any name, as the fake
// services need) and returns the address it prints once it listens; empty when it cannot start.
QString _startBusDaemon_helper(QProcess& process)
{
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                   QStringLiteral("--print-address=1")});
    while (process.waitForStarted() && !process.canReadLine())
    {
        if (!process.waitForReadyRead(10000))
            return QString();
    }
    return QString::fromUtf8(process.readLine()).trimmed();
}

bool _sendSignal_helper(QDBusConnection& connection, const QString& path, const QString& interface,
                        const QString& name, const QVariant& argument = QVariant())
{
    QDBusMessage message = QDBusMessage::createSignal(path, interface, name);
    if (argument.isValid())
        message << argument;
    return connection.send(message);
}
} // namespace

// systemd-logind's manager as far as the application asks it: the session of a process.
class FakeLoginManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    ~FakeLoginManager() override
    {
        if (inhibitorReadEnd >= 0)
            ::close(inhibitorReadEnd);
    }

    int sessionQuestionCount = 0;

    // The last inhibitor handed out is held while nobody has closed its descriptor yet.
    bool isInhibitorHeld() const
    {
        pollfd readEnd{inhibitorReadEnd, POLLIN, 0};
        return inhibitorReadEnd >= 0 && ::poll(&readEnd, 1, 0) == 0;
    }

public Q_SLOTS:
    // Hands out one end of a pipe: the other end sees when every copy of it is closed.
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode)
    {
        Q_UNUSED(who)
        Q_UNUSED(why)
        if (what != QLatin1String("sleep") || mode != QLatin1String("delay"))
            return QDBusUnixFileDescriptor();
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0)
            return QDBusUnixFileDescriptor();
        if (inhibitorReadEnd >= 0)
            ::close(inhibitorReadEnd);
        inhibitorReadEnd = pipeEnds[0];
        // The descriptor keeps a copy of its own.
        const QDBusUnixFileDescriptor inhibitor(pipeEnds[1]);
        ::close(pipeEnds[1]);
        return inhibitor;
    }

    QDBusObjectPath GetSessionByPID(uint processId)
    {
        Q_UNUSED(processId)
        sessionQuestionCount++;
        return QDBusObjectPath(LOGIN_SESSION_PATH);
    }

private:
    int inhibitorReadEnd = -1;
};

class TestAutoLocking : public QObject
{
    Q_OBJECT

private:
    FormContentEditor* window = nullptr;
    std::unique_ptr<QSignalBlocker> timerBlocker;
    // Killed by their destructors at the end of the test.
    QProcess systemBusDaemon;
    QProcess sessionBusDaemon;
    QDBusConnection fakeSystemBus{QString()};
    QDBusConnection fakeSessionBus{QString()};
    FakeLoginManager fakeLoginManager;

    SessionLockWatcher* watcher()
    {
        return window->findChild<SessionLockWatcher*>();
    }

    bool sendPrepareForSleep(bool isStarting)
    {
        return _sendSignal_helper(fakeSystemBus, QStringLiteral("/org/freedesktop/login1"),
                                  QStringLiteral("org.freedesktop.login1.Manager"),
                                  QStringLiteral("PrepareForSleep"), isStarting);
    }

    QTimer* timer()
    {
        return window->findChild<QTimer*>(QStringLiteral("timerSecond"));
    }

    QAction* lockAction()
    {
        return window->findChild<QAction*>(QStringLiteral("actionLockApplication"));
    }

    void tick(int count = 1)
    {
        for (int i = 0; i < count; i++)
            QVERIFY(QMetaObject::invokeMethod(window, "_slotTimerSecondTimeout"));
    }

    void unlock()
    {
        QWidget* page = window->view(VIEW_ID_APPLICATION_LOCKED);
        QTest::keyClicks(child<QLineEdit>(page, "lineEditPassword"), MASTER_PASSWORD);
        QTest::mouseClick(child<QPushButton>(page, "pushButtonUnlock"), Qt::LeftButton);
        QVERIFY(!window->isApplicationLocked());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        usePrivateSettingsStore();

        // Stand-ins for the system bus (with logind) and the session bus (with two desktops' screen savers),
        // known to every window of this test before it is created.
        const QString systemBusAddress = _startBusDaemon_helper(systemBusDaemon);
        const QString sessionBusAddress = _startBusDaemon_helper(sessionBusDaemon);
        QVERIFY2(!systemBusAddress.isEmpty() && !sessionBusAddress.isEmpty(),
                 "dbus-daemon (Debian package dbus-daemon) did not start");
        qputenv("CORVANE_SYSTEM_BUS_ADDRESS", systemBusAddress.toUtf8());
        qputenv("CORVANE_SESSION_BUS_ADDRESS", sessionBusAddress.toUtf8());
        fakeSystemBus = QDBusConnection::connectToBus(systemBusAddress, QStringLiteral("fake-system"));
        fakeSessionBus = QDBusConnection::connectToBus(sessionBusAddress, QStringLiteral("fake-session"));
        QVERIFY(fakeSystemBus.isConnected());
        QVERIFY(fakeSessionBus.isConnected());
        QVERIFY(fakeSystemBus.registerService(QStringLiteral("org.freedesktop.login1")));
        QVERIFY(fakeSystemBus.registerObject(QStringLiteral("/org/freedesktop/login1"), &fakeLoginManager,
                                             QDBusConnection::ExportAllSlots));
        QVERIFY(fakeSessionBus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
        QVERIFY(fakeSessionBus.registerService(QStringLiteral("org.gnome.ScreenSaver")));
    }

    void cleanupTestCase()
    {
        for (QProcess* daemon : {&systemBusDaemon, &sessionBusDaemon})
        {
            daemon->kill();
            daemon->waitForFinished();
        }
    }

    void init()
    {
        window = createEditorWindow({VaultTab{QStringLiteral("Web"), {makeRecord("Forum", "me", "pw")}}});
        storeLockingSettings(true, 1);
        // As at start-up: the window sees the input events of the whole application.
        qApp->installEventFilter(window);
        timerBlocker = std::make_unique<QSignalBlocker>(timer());
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    void cleanup()
    {
        setSettingValue(SETTING_IS_APPLICATION_LOCKED_WITH_SESSION, true);
        timerBlocker.reset();
        qApp->removeEventFilter(window);
        destroyEditorWindow(window);
        window = nullptr;
    }

    void locksAfterTheDelayOnlyWithAKnownMasterPassword()
    {
        QVERIFY(timer()->isActive());
        QCOMPARE(timer()->interval(), 1000);

        // No master password yet: neither the count nor the menu locks.
        QVERIFY(!lockAction()->isEnabled());
        tick(200);
        lockAction()->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(!window->isApplicationLocked());

        // The idle count went on meanwhile: the first tick once a password is known locks.
        window->setKnownMasterPassword(MASTER_PASSWORD);
        QVERIFY(lockAction()->isEnabled());
        tick();
        QVERIFY(window->isApplicationLocked());
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
        QVERIFY(window->menuBar()->isHidden());
        QVERIFY(!lockAction()->isEnabled());

        // Locked, the ticks count nothing and nothing else happens.
        tick(500);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));

        unlock();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(!window->menuBar()->isHidden());
        QVERIFY(lockAction()->isEnabled());

        // Typing the password was input: a full minute of ticks again, locking on the 60th.
        tick(59);
        QVERIFY(!window->isApplicationLocked());
        tick();
        QVERIFY(window->isApplicationLocked());
    }

    void userInputRestartsTheCount()
    {
        window->setKnownMasterPassword(MASTER_PASSWORD);
        // A widget on which input has no effect of its own.
        QWidget* label = findWidget(window, "labelUsedMemoryBytes");

        const QList<std::pair<const char*, std::function<void()>>> inputs = {
            {"mouse move", [&]() { QTest::mouseMove(label, QPoint(20, 20)); }},
            {"mouse press", [&]() { QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5)); }},
            {"mouse release", [&]() { QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(5, 5)); }},
            {"double click", [&]() { QTest::mouseDClick(label, Qt::LeftButton, {}, QPoint(5, 5)); }},
            {"key press", [&]() { QTest::keyPress(label, Qt::Key_A); }},
            {"key release", [&]() { QTest::keyRelease(label, Qt::Key_A); }},
            {"wheel",
             [&]()
             {
                 QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                                   Qt::NoModifier, Qt::NoScrollPhase, false);
                 QApplication::sendEvent(label, &wheel);
             }},
        };
        for (const auto& [name, sendInput] : inputs)
        {
            tick(59);
            sendInput();
            tick(59);
            QVERIFY2(!window->isApplicationLocked(), name);
            tick();
            QVERIFY2(window->isApplicationLocked(), name);
            unlock();
        }

        // Other events are no user input.
        tick(59);
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(label, &enter);
        QEvent updateRequest(QEvent::UpdateRequest);
        QApplication::sendEvent(label, &updateRequest);
        tick();
        QVERIFY(window->isApplicationLocked());
        unlock();

        // The filter only watches: a typed key still reaches its widget.
        auto* lineEdit = child<QLineEdit>(window, "lineEditSearch");
        lineEdit->clear();
        QTest::keyClicks(lineEdit, QStringLiteral("xy"));
        QCOMPARE(lineEdit->text(), QStringLiteral("xy"));
    }

    void zeroMinuteDelayLocksAtTheFirstTick()
    {
        // Not reachable from the settings page (1 minute at least), but a hand-edited store may hold it.
        storeLockingSettings(true, 0);
        window->setKnownMasterPassword(MASTER_PASSWORD);
        tick();
        QVERIFY(window->isApplicationLocked());
        unlock();

        // The real timer drives the same slot.
        timerBlocker.reset();
        QTRY_VERIFY(window->isApplicationLocked());
        timerBlocker = std::make_unique<QSignalBlocker>(timer());
        unlock();

        // A negative delay locks as soon as possible too, rather than never.
        storeLockingSettings(true, -5);
        tick();
        QVERIFY(window->isApplicationLocked());
        unlock();

        // A delay too large to count in seconds does not wrap around to a short one.
        storeLockingSettings(true, std::numeric_limits<int>::max());
        tick(10000);
        QVERIFY(!window->isApplicationLocked());
    }

    void disabledLockingCountsNothingButLocksOnDemand()
    {
        window->setKnownMasterPassword(MASTER_PASSWORD);
        tick(30);
        storeLockingSettings(false, 1);
        QVERIFY(!timer()->isActive());
        tick(10000);
        QVERIFY(!window->isApplicationLocked());

        lockAction()->trigger();
        QVERIFY(window->isApplicationLocked());
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
        unlock();

        // Enabled again, the timer runs and the count goes on from the 30 seconds before: applying does not
        // reset it, and the password typed while disabled was not counted as input.
        storeLockingSettings(true, 1);
        QVERIFY(timer()->isActive());
        tick(29);
        QVERIFY(!window->isApplicationLocked());
        tick();
        QVERIFY(window->isApplicationLocked());
    }

    void locksOverAnyPageAndReturnsToIt()
    {
        window->setKnownMasterPassword(MASTER_PASSWORD);

        window->findChild<QAction*>(QStringLiteral("actionSettings"))->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_SETTINGS));
        tick(60);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
        QVERIFY(window->menuBar()->isHidden());
        unlock();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_SETTINGS));
        QTest::mouseClick(child<QPushButton>(window->view(VIEW_ID_SETTINGS), "pushButtonCancel"),
                          Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));

        // "Ctrl+L" locks from the vault editor and from a page where the menu bar is hidden.
        QTest::keyClick(window, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
        unlock();
        QTest::mouseClick(child<QPushButton>(window, "pushButtonNewPassword"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_PASSWORD_INFORMATION));
        QVERIFY(window->menuBar()->isHidden());
        QTest::keyClick(window, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
        // Locked already: another "Ctrl+L" pushes nothing.
        QTest::keyClick(window, Qt::Key_L, Qt::ControlModifier);
        unlock();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_PASSWORD_INFORMATION));
    }

    void lockClosesMenusAndCancelsDialogs()
    {
        window->setKnownMasterPassword(MASTER_PASSWORD);
        auto* table = tableAt(window, 0);
        clickCell(table, 0, 0);
        // Owned by the window: the lock seals the vault and rebuilds the tables after the unlock.
        QMenu contextMenu(window);
        contextMenu.addAction(QStringLiteral("Copy password"));
        contextMenu.popup(table->viewport()->mapToGlobal(QPoint(10, 10)));
        QTRY_VERIFY(contextMenu.isVisible());
        tick(60);
        QVERIFY(window->isApplicationLocked());
        QVERIFY(!contextMenu.isVisible());
        unlock();

        // A modal dialog open at the lock is cancelled; the box below it too.
        QMessageBox outer(QMessageBox::Warning, QStringLiteral("Outer"), QStringLiteral("outer"),
                          QMessageBox::Yes | QMessageBox::No, window);
        QMessageBox inner(QMessageBox::Question, QStringLiteral("Inner"), QStringLiteral("inner"),
                          QMessageBox::Yes | QMessageBox::No, window);
        int innerResult = -1;
        QTimer::singleShot(0, this, [&]() { innerResult = inner.exec(); });
        QTimer::singleShot(0, this,
                           [&]()
                           {
                               QTRY_VERIFY(inner.isVisible());
                               tick(60);
                           });
        // Should the lock leave them open, this ends the wait and the failure shows below.
        bool isSafetyUsed = false;
        QTimer safety;
        safety.setSingleShot(true);
        connect(&safety, &QTimer::timeout, this,
                [&]()
                {
                    isSafetyUsed = true;
                    inner.reject();
                    outer.reject();
                });
        safety.start(10000);
        const int outerResult = outer.exec();
        QVERIFY(!isSafetyUsed);
        QCOMPARE(outerResult, int(QDialog::Rejected));
        QCOMPARE(innerResult, int(QDialog::Rejected));
        QVERIFY(!outer.isVisible());
        QVERIFY(!inner.isVisible());
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
    }

    void sleepAndSessionSignalsLockLikeCtrlL()
    {
        QSignalSpy requests(watcher(), &SessionLockWatcher::sessionLockRequested);

        // The computer does not sleep before the application had its chance to lock.
        QTRY_VERIFY(fakeLoginManager.isInhibitorHeld());

        // Waking up, and another session's lock, are no reason to lock; the coming sleep is. One bus keeps
        // the order of one sender's signals: once the lock shows, the two before it were seen and ignored.
        window->setKnownMasterPassword(MASTER_PASSWORD);
        window->copyToClipboard(QStringLiteral("pw"));
        QVERIFY(sendPrepareForSleep(false));
        QVERIFY(_sendSignal_helper(fakeSystemBus, QStringLiteral("/org/freedesktop/login1/session/_9other"),
                                   QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Lock")));
        QVERIFY(sendPrepareForSleep(true));
        QTRY_VERIFY(window->isApplicationLocked());
        QCOMPARE(requests.count(), 1);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
        // Locked: the sleep may go on; after waking up the next sleep waits for the application again.
        QTRY_VERIFY(!fakeLoginManager.isInhibitorHeld());
        QVERIFY(sendPrepareForSleep(false));
        QTRY_VERIFY(fakeLoginManager.isInhibitorHeld());
        // Nothing copied stays readable behind the lock.
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());

        // The very lock of Ctrl+L: only the master password removes it.
        QWidget* page = window->view(VIEW_ID_APPLICATION_LOCKED);
        {
            ModalBoxAnswerer answerer(QMessageBox::Ok);
            QTest::keyClicks(child<QLineEdit>(page, "lineEditPassword"), QStringLiteral("wrong"));
            QTest::mouseClick(child<QPushButton>(page, "pushButtonUnlock"), Qt::LeftButton);
            QVERIFY(answerer.isBoxSeen());
        }
        QVERIFY(window->isApplicationLocked());
        child<QLineEdit>(page, "lineEditPassword")->clear();
        unlock();

        // This session's own lock, once the application has learnt which session is its own. The signal is
        // repeated until the window's subscription, which follows logind's answer, has reached the bus.
        QTRY_VERIFY(fakeLoginManager.sessionQuestionCount > 0);
        const auto lockSessionAndCheck = [this]()
        {
            _sendSignal_helper(fakeSystemBus, LOGIN_SESSION_PATH,
                               QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Lock"));
            return window->isApplicationLocked();
        };
        QTRY_VERIFY(lockSessionAndCheck());
        unlock();

        // The screen savers of the session bus, of both kinds.
        QVERIFY(_sendSignal_helper(fakeSessionBus, QStringLiteral("/org/freedesktop/ScreenSaver"),
                                   QStringLiteral("org.freedesktop.ScreenSaver"),
                                   QStringLiteral("ActiveChanged"), true));
        QTRY_VERIFY(window->isApplicationLocked());
        unlock();
        QVERIFY(_sendSignal_helper(fakeSessionBus, QStringLiteral("/org/gnome/ScreenSaver"),
                                   QStringLiteral("org.gnome.ScreenSaver"), QStringLiteral("ActiveChanged"),
                                   false));
        QVERIFY(_sendSignal_helper(fakeSessionBus, QStringLiteral("/org/gnome/ScreenSaver"),
                                   QStringLiteral("org.gnome.ScreenSaver"), QStringLiteral("ActiveChanged"),
                                   true));
        QTRY_VERIFY(window->isApplicationLocked());
        unlock();

        // Here the settings page has nothing to warn about.
        window->findChild<QAction*>(QStringLiteral("actionSettings"))->trigger();
        QVERIFY(!findWidget(window->view(VIEW_ID_SETTINGS), "labelSessionLockUnavailable")->isVisible());
    }

    void sessionLockFollowsItsSetting()
    {
        window->setKnownMasterPassword(MASTER_PASSWORD);
        setSettingValue(SETTING_IS_APPLICATION_LOCKED_WITH_SESSION, false);
        QSignalSpy requests(watcher(), &SessionLockWatcher::sessionLockRequested);
        QVERIFY(sendPrepareForSleep(true));
        QTRY_COMPARE(requests.count(), 1);
        QVERIFY(!window->isApplicationLocked());

        // Without a master password there is nothing to lock with, as for Ctrl+L; the clipboard still goes.
        setSettingValue(SETTING_IS_APPLICATION_LOCKED_WITH_SESSION, true);
        window->setKnownMasterPassword(QString());
        window->copyToClipboard(QStringLiteral("pw"));
        QVERIFY(sendPrepareForSleep(true));
        QTRY_COMPARE(requests.count(), 2);
        QVERIFY(!window->isApplicationLocked());
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    }
};

QTEST_MAIN(TestAutoLocking)
#include "test_auto_locking.moc"
