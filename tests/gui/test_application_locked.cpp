// The locked page: what it takes to unlock, the wrong-password box, the hidden password on every lock, the
// copy of the password dropped on leaving, and quitting without unlocking.
#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "support/EditorTestSupport.h"
#include "support/ModalBoxAnswerer.h"
#include "support/PrivateSettingsStore.h"
#include "views/ViewBase.h"
#include "views/ViewContentApplicationLocked.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace editortest;

namespace
{
const QString MASTER_PASSWORD = QStringLiteral("Correct horse 42");
} // namespace

class TestApplicationLocked : public QObject
{
    Q_OBJECT

private:
    FormContentEditor* window = nullptr;

    QWidget* lockedPage()
    {
        return window->view(VIEW_ID_APPLICATION_LOCKED);
    }

    QLineEdit* passwordField()
    {
        return child<QLineEdit>(lockedPage(), "lineEditPassword");
    }

    QPushButton* button(const char* objectName)
    {
        return child<QPushButton>(lockedPage(), objectName);
    }

    void lock()
    {
        window->findChild<QAction*>(QStringLiteral("actionLockApplication"))->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
    }

    void typePassword(const QString& text)
    {
        QTest::keyClicks(passwordField(), text);
    }

    void unlockWith(const QString& text)
    {
        passwordField()->clear();
        typePassword(text);
        QTest::mouseClick(button("pushButtonUnlock"), Qt::LeftButton);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        usePrivateSettingsStore();
    }

    void init()
    {
        window =
            createEditorWindow({VaultTab{QStringLiteral("Mail"), {makeRecord("Inbox", "me", "secret")}}});
        // Stepped by hand where needed: the real timer must not lock behind a test's back.
        setSettingValue(SETTING_IS_APPLICATION_AUTO_LOCKING_ENABLED, false);
        window->setKnownMasterPassword(MASTER_PASSWORD);
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    void cleanup()
    {
        destroyEditorWindow(window);
        window = nullptr;
    }

    void pageLayoutAndTexts()
    {
        lock();
        QCOMPARE(viewTitle(window, VIEW_ID_APPLICATION_LOCKED), QStringLiteral("Application is locked"));
        QCOMPARE(withoutMnemonic(child<QLabel>(lockedPage(), "label")->text()),
                 QStringLiteral("Insert password:"));
        QCOMPARE(child<QLabel>(lockedPage(), "label_2")->text(),
                 QStringLiteral("You can configure or disable the application auto locking feature from the "
                                "Settings menu."));
        QCOMPARE(withoutMnemonic(button("pushButtonQuit")->text()), QStringLiteral("Quit"));
        QCOMPARE(withoutMnemonic(button("pushButtonUnlock")->text()), QStringLiteral("Unlock"));
        QVERIFY(button("pushButtonUnlock")->isDefault());
        QVERIFY(findWidget(lockedPage(), "svgWidgetIcon")->isVisible());
        QVERIFY(window->menuBar()->isHidden());
        // Nothing of the vault shows through.
        QVERIFY(!findWidget(window, "tabWidget")->isVisible());
    }

    void focusReturnsWhereItWasAfterUnlocking()
    {
        auto* search = child<QLineEdit>(window, "lineEditSearch");
        clickCell(tableAt(window, 0), 0, 0);
        search->setFocus();
        QTest::keyClick(search, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(passwordField()));
        typePassword(MASTER_PASSWORD);
        QTest::keyClick(passwordField(), Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(search));
        // The table too, with its record still selected.
        tableAt(window, 0)->setFocus();
        lock();
        unlockWith(MASTER_PASSWORD);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tableAt(window, 0)));
        QCOMPARE(tableAt(window, 0)->currentRow(), 0);

        // On a page too.
        QTest::keyClick(tableAt(window, 0), Qt::Key_E, Qt::ControlModifier);
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        QWidget* login = findWidget(window->view(VIEW_ID_PASSWORD_INFORMATION), "lineEditLogin");
        login->setFocus();
        lock();
        unlockWith(MASTER_PASSWORD);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_PASSWORD_INFORMATION));
        QCOMPARE(QApplication::focusWidget(), login);
    }

    void emptyFieldCannotUnlock()
    {
        lock();
        QSignalSpy unlockedSpy(window->findChild<ViewContentApplicationLocked*>(),
                               &ViewContentApplicationLocked::applicationUnlocked);
        QVERIFY(passwordField()->text().isEmpty());
        QVERIFY(!button("pushButtonUnlock")->isEnabled());

        QTest::keyClick(passwordField(), Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
        QCOMPARE(unlockedSpy.count(), 0);

        typePassword(QStringLiteral("x"));
        QVERIFY(button("pushButtonUnlock")->isEnabled());
        QTest::keyClick(passwordField(), Qt::Key_Backspace);
        QVERIFY(!button("pushButtonUnlock")->isEnabled());
    }

    void wrongPasswordShowsTheBoxAndKeepsTheTextSelected()
    {
        lock();
        // Letter case counts, and so does a trailing space.
        const QStringList wrongPasswords = {QStringLiteral("correct horse 42"), MASTER_PASSWORD + " ",
                                            MASTER_PASSWORD.left(MASTER_PASSWORD.size() - 1)};
        for (const QString& wrongPassword : wrongPasswords)
        {
            passwordField()->clear();
            typePassword(wrongPassword);
            {
                ModalBoxAnswerer answerer(QMessageBox::Ok);
                QTest::keyClick(passwordField(), Qt::Key_Return);
                QVERIFY(answerer.isBoxSeen());
                QCOMPARE(answerer.title(), QStringLiteral("Wrong master password"));
                QCOMPARE(answerer.text(),
                         QStringLiteral(
                             "Wrong master password, please retry.\nYou can also quit the application."));
                QCOMPARE(answerer.icon(), QMessageBox::Critical);
            }
            QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
            QVERIFY(window->isApplicationLocked());
            QCOMPARE(passwordField()->selectedText(), wrongPassword);
            // The window may not be active again yet after the box: its focus widget is what counts.
            QCOMPARE(window->focusWidget(), passwordField());
        }

        // No limit on attempts: the right one still works, and typing replaces the selected text.
        typePassword(MASTER_PASSWORD);
        QTest::keyClick(passwordField(), Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(!window->isApplicationLocked());
    }

    void rightPasswordReturnsToThePreviousPage()
    {
        // Locked over the record editor, not the vault editor.
        QTest::mouseClick(child<QPushButton>(window, "pushButtonNewPassword"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_PASSWORD_INFORMATION));
        lock();

        auto* view = window->findChild<ViewContentApplicationLocked*>();
        int viewIdAtSignal = -1;
        connect(view, &ViewContentApplicationLocked::applicationUnlocked, this,
                [&]() { viewIdAtSignal = window->currentViewId(); });
        QSignalSpy unlockedSpy(view, &ViewContentApplicationLocked::applicationUnlocked);

        unlockWith(MASTER_PASSWORD);
        QCOMPARE(unlockedSpy.count(), 1);
        // The previous page is back before the window hears of the unlock.
        QCOMPARE(viewIdAtSignal, int(VIEW_ID_PASSWORD_INFORMATION));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_PASSWORD_INFORMATION));
        QVERIFY(passwordField()->text().isEmpty());
        QVERIFY(window->findChild<QAction*>(QStringLiteral("actionLockApplication"))->isEnabled());
    }

    void passwordIsHiddenOnEveryLock()
    {
        lock();
        QCOMPARE(passwordField()->echoMode(), QLineEdit::Password);
        QCOMPARE(withoutMnemonic(button("pushButtonShow")->text()), QStringLiteral("Show"));

        typePassword(QStringLiteral("abc"));
        QTest::mouseClick(button("pushButtonShow"), Qt::LeftButton);
        QCOMPARE(passwordField()->echoMode(), QLineEdit::Normal);
        QCOMPARE(withoutMnemonic(button("pushButtonShow")->text()), QStringLiteral("Hide"));
        QTest::mouseClick(button("pushButtonShow"), Qt::LeftButton);
        QCOMPARE(passwordField()->echoMode(), QLineEdit::Password);
        QTest::mouseClick(button("pushButtonShow"), Qt::LeftButton);
        QCOMPARE(passwordField()->echoMode(), QLineEdit::Normal);

        // Left shown at unlocking: the next lock starts hidden and empty anyway.
        unlockWith(MASTER_PASSWORD);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        lock();
        QCOMPARE(passwordField()->echoMode(), QLineEdit::Password);
        QCOMPARE(withoutMnemonic(button("pushButtonShow")->text()), QStringLiteral("Show"));
        QVERIFY(passwordField()->text().isEmpty());
        QVERIFY(!button("pushButtonUnlock")->isEnabled());
        QTRY_VERIFY(passwordField()->hasFocus());
    }

    void passwordCopyIsDroppedOnLeaving()
    {
        lock();
        unlockWith(MASTER_PASSWORD);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));

        // Shown again without a new copy from a lock, the page knows no password: the old one fails.
        window->pushView(VIEW_ID_APPLICATION_LOCKED);
        typePassword(MASTER_PASSWORD);
        {
            ModalBoxAnswerer answerer(QMessageBox::Ok);
            QTest::mouseClick(button("pushButtonUnlock"), Qt::LeftButton);
            QVERIFY(answerer.isBoxSeen());
            QCOMPARE(answerer.title(), QStringLiteral("Wrong master password"));
        }
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));

        // Leaving the page any other way clears the typed text too.
        window->popView(VIEW_ID_COUNT);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(passwordField()->text().isEmpty());
    }

    void quitWithoutUnlocking()
    {
        // Unsaved data: quitting from the locked page asks first, and Cancel keeps everything as it was.
        // Saving is not offered there: it would write a vault nobody unlocked.
        window->setDataModified(true);
        lock();
        ModalBoxAnswerer keepOpen(QMessageBox::Cancel);
        QTimer::singleShot(0, this,
                           [this]()
                           {
                               QTest::mouseClick(button("pushButtonQuit"), Qt::LeftButton);
                               // A refused close leaves the event loop running; end it here.
                               QCoreApplication::exit(0);
                           });
        QApplication::exec();
        QVERIFY(keepOpen.isBoxSeen());
        QCOMPARE(keepOpen.text(),
                 QStringLiteral(
                     "You did not write your modifications to the device.\nDo you really want to quit?"));
        QStringList buttons = keepOpen.buttonTexts();
        buttons.sort();
        QCOMPARE(buttons, QStringList({"Cancel", "Quit without saving"}));
        QVERIFY(window->isVisible());
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
        QVERIFY(window->isApplicationLocked());

        // Nothing unsaved: the window closes without any password.
        window->setDataModified(false);
        QTimer::singleShot(0, this,
                           [this]() { QTest::mouseClick(button("pushButtonQuit"), Qt::LeftButton); });
        // Ends the loop should the quit be refused, so that the check below reports it.
        QTimer safety;
        safety.setSingleShot(true);
        connect(&safety, &QTimer::timeout, qApp, []() { QCoreApplication::exit(1); });
        safety.start(10000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!window->isVisible());
        QVERIFY(window->isApplicationLocked());
    }
};

QTEST_MAIN(TestApplicationLocked)
#include "test_application_locked.moc"
