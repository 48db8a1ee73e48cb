// The locked page: what it takes to unlock, the wrong-password box and the growing wait after three of
// them, the hidden password on every lock, quitting without unlocking; and what the lock seals: nothing of
// the vault readable or pressable behind it (as an accessibility client sees the window), everything back as
// it was after the unlock, passwords hidden.
#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "support/EditorTestSupport.h"
#include "support/ModalBoxAnswerer.h"
#include "support/PrivateSettingsStore.h"
#include "views/ViewBase.h"
#include "views/ViewContentApplicationLocked.h"
#include "widgets/SecretFieldWiping.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleTextInterface>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextEdit>
#include <QtTest>

using namespace editortest;

namespace
{
const QString MASTER_PASSWORD = QStringLiteral("Correct horse 42");

// Every text the accessibility tree gives of root and below (names, values, descriptions, text contents),
// and the objects that offer an action while enabled.
void _walkAccessibleTree_helper(QAccessibleInterface* node, QStringList& texts, QList<QObject*>& actionable,
                                int depth = 0)
{
    if (!node || depth > 64)
        return;
    for (const QAccessible::Text kind :
         {QAccessible::Name, QAccessible::Value, QAccessible::Description, QAccessible::Help})
        texts.append(node->text(kind));
    if (QAccessibleTextInterface* text = node->textInterface())
        texts.append(text->text(0, text->characterCount()));
    QAccessibleActionInterface* action = node->actionInterface();
    if (action && !action->actionNames().isEmpty() && !node->state().disabled)
    {
        QObject* object = node->object();
        // Items (cells, menu entries) have no object of their own, nor a state of their own beyond their
        // flags: their nearest ancestor's counts.
        for (QAccessibleInterface* parent = node->parent(); !object && parent; parent = parent->parent())
            object = parent->object();
        auto* widget = qobject_cast<QWidget*>(object);
        if (!widget || widget->isEnabled())
            actionable.append(object);
    }
    for (int index = 0; index < node->childCount(); index++)
        _walkAccessibleTree_helper(node->child(index), texts, actionable, depth + 1);
}
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
            createEditorWindow({VaultTab{QStringLiteral("Mail"),
                                         {makeRecord("Inbox", "me", "secret", "mail.example", "inbox note")}},
                                VaultTab{QStringLiteral("Bank"),
                                         {makeRecord("Savings", "jane.doe", "Tr0ub4dor&3", "bank.example",
                                                     "pin in the safe")}}});
        // Stepped by hand where needed: the real timer must not lock behind a test's back.
        setSettingValue(SETTING_IS_APPLICATION_AUTO_LOCKING_ENABLED, false);
        window->setKnownMasterPassword(MASTER_PASSWORD);
        // The waits between attempts are counted in units of 20 ms instead of seconds.
        window->findChild<ViewContentApplicationLocked*>()->setWaitUnitMilliseconds(20);
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

        // After three wrong attempts the next one waits; then the right one works, and typing replaces the
        // selected text.
        QTRY_COMPARE(window->findChild<ViewContentApplicationLocked*>()->remainingWaitSeconds(), 0);
        typePassword(MASTER_PASSWORD);
        QTest::keyClick(passwordField(), Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(!window->isApplicationLocked());
    }

    void fourthAttemptWaitsLongerEachTime()
    {
        auto* page = window->findChild<ViewContentApplicationLocked*>();
        lock();
        auto* waitLabel = child<QLabel>(lockedPage(), "labelWait");
        for (int attempt = 1; attempt <= 3; attempt++)
        {
            ModalBoxAnswerer answerer(QMessageBox::Ok);
            unlockWith(QStringLiteral("guess %1").arg(attempt));
            QVERIFY(answerer.isBoxSeen());
        }
        // The fourth attempt waits a unit: Unlock and Return do nothing meanwhile, and the page says why.
        QCOMPARE(page->remainingWaitSeconds(), 1);
        QVERIFY(waitLabel->isVisible());
        QCOMPARE(waitLabel->text(),
                 QStringLiteral("Too many wrong passwords: the next attempt is possible in 1 s."));
        QVERIFY(!button("pushButtonUnlock")->isEnabled());
        {
            ModalBoxAnswerer answerer(QMessageBox::Ok);
            passwordField()->clear();
            typePassword(QStringLiteral("guess 4"));
            QTest::keyClick(passwordField(), Qt::Key_Return);
            QCoreApplication::processEvents();
            QVERIFY(!answerer.isBoxSeen());
        }
        QTRY_COMPARE(page->remainingWaitSeconds(), 0);
        QVERIFY(!waitLabel->isVisible());
        // Each wrong attempt from then on doubles the wait.
        {
            ModalBoxAnswerer answerer(QMessageBox::Ok);
            QTest::keyClick(passwordField(), Qt::Key_Return);
            QVERIFY(answerer.isBoxSeen());
        }
        QCOMPARE(page->remainingWaitSeconds(), 2);
        QTRY_COMPARE(page->remainingWaitSeconds(), 0);
        unlockWith(MASTER_PASSWORD);
        QVERIFY(!window->isApplicationLocked());

        // A success starts the count again.
        lock();
        {
            ModalBoxAnswerer answerer(QMessageBox::Ok);
            unlockWith(QStringLiteral("guess"));
            QVERIFY(answerer.isBoxSeen());
        }
        QCOMPARE(page->remainingWaitSeconds(), 0);
        unlockWith(MASTER_PASSWORD);
        QVERIFY(!window->isApplicationLocked());
    }

    void nothingOfTheVaultIsReachableWhileLocked()
    {
        QString exportAskedFor;
        window->setExportFileNameAsker(
            [&](const QString& proposedFileName)
            {
                exportAskedFor = proposedFileName;
                return QString();
            });
        QApplication::clipboard()->clear();
        // A record page left open with its password shown.
        clickCell(tableAt(window, 0), 0, 0);
        window->findChild<QAction*>(QStringLiteral("actionEditRecord"))->trigger();
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        QTest::mouseClick(
            child<QPushButton>(window->view(VIEW_ID_PASSWORD_INFORMATION), "pushButtonShowPassword"),
            Qt::LeftButton);
        lock();

        QStringList texts;
        QList<QObject*> actionable;
        _walkAccessibleTree_helper(QAccessible::queryAccessibleInterface(window), texts, actionable);
        QVERIFY(texts.size() > 20);
        for (const char* secret : {"Inbox", "inbox note", "mail.example", "secret", "Savings", "jane.doe",
                                   "Tr0ub4dor&3", "bank.example", "pin in the safe", "Bank"})
        {
            for (const QString& text : std::as_const(texts))
                QVERIFY2(!text.contains(QString::fromUtf8(secret)),
                         qPrintable(QString::fromUtf8(secret) + " in: " + text));
        }
        // Only the locked page's own controls and Quit are enabled: nothing else can be pressed.
        for (QObject* object : std::as_const(actionable))
        {
            if (object && object->objectName() == QLatin1String("actionQuit"))
                continue;
            auto* widget = qobject_cast<QWidget*>(object);
            QVERIFY2(widget && (widget == lockedPage() || lockedPage()->isAncestorOf(widget)),
                     object ? object->metaObject()->className() : "null");
        }
        const QList<QAction*> actions = window->findChildren<QAction*>();
        for (QAction* action : actions)
        {
            auto* owner = qobject_cast<QWidget*>(action->parent());
            if (action->objectName() == QLatin1String("actionQuit") ||
                (owner && lockedPage()->isAncestorOf(owner)))
                continue;
            QVERIFY2(!action->isEnabled(), qPrintable(action->objectName() + " " + action->text()));
        }

        // Each command refuses even when its signal comes directly: no page, no dialog, no copy.
        for (const char* name :
             {"actionExportCSV", "actionImportCSV", "actionNewRecord", "actionEditRecord",
              "actionRemoveRecord", "actionCopyLogin", "actionCopyPassword", "actionShowPassword",
              "actionSaveToDevice", "actionOpenDevice", "actionPasswordHealth", "actionSettings",
              "actionBackUpDevice", "actionRestoreDevice", "actionCopyDevice", "actionEraseDevice",
              "actionConfigureDevice", "actionDisplaySerialNumber"})
        {
            QAction* action = window->findChild<QAction*>(QLatin1String(name));
            QVERIFY2(action, name);
            Q_EMIT action->triggered(false);
        }
        for (const char* slot : {"_slotActionExportCSVTriggered", "_slotPushButtonNewPasswordClicked",
                                 "_slotPushButtonEditPasswordClicked", "_slotPushButtonRemovePasswordClicked",
                                 "_slotPushButtonNewTabClicked", "_slotPushButtonDuplicateTabClicked",
                                 "_slotActionPasswordHealthTriggered"})
            QVERIFY2(QMetaObject::invokeMethod(window, slot), slot);
        QCoreApplication::processEvents();
        QVERIFY(exportAskedFor.isEmpty());
        QVERIFY(QApplication::clipboard()->text().isEmpty());
        QVERIFY(!window->workflowDevice());
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
        QCOMPARE(window->activeViewId(), int(VIEW_ID_PASSWORD_INFORMATION));
        QVERIFY(!window->isDataModified());

        unlockWith(MASTER_PASSWORD);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_PASSWORD_INFORMATION));
        QVERIFY(window->findChild<QAction*>(QStringLiteral("actionLockApplication"))->isEnabled());
    }

    void unlockRestoresEverythingWithPasswordsHidden()
    {
        // The second tab, its record's password shown, a search typed, and a record page half edited with
        // its password shown.
        window->findChild<QTabWidget*>(QStringLiteral("tabWidget"))->setCurrentIndex(1);
        PasswordTable* bank = tableAt(window, 1);
        clickCell(bank, 0, PasswordTable::COLUMN_LOGIN);
        bank->setPasswordVisibleAt(0, true);
        // A column the user widened keeps its width.
        bank->setColumnWidth(PasswordTable::COLUMN_URL, 321);
        auto* search = child<QLineEdit>(window, "lineEditSearch");
        QTest::keyClicks(search, QStringLiteral("sav"));
        window->findChild<QAction*>(QStringLiteral("actionEditRecord"))->trigger();
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        QWidget* recordPage = window->view(VIEW_ID_PASSWORD_INFORMATION);
        auto* login = child<QLineEdit>(recordPage, "lineEditLogin");
        auto* password = child<QLineEdit>(recordPage, "lineEditPassword");
        auto* save = child<QPushButton>(recordPage, "pushButtonSave");
        QTest::keyClicks(login, QStringLiteral(".work"));
        QTest::mouseClick(child<QPushButton>(recordPage, "pushButtonShowPassword"), Qt::LeftButton);
        QCOMPARE(password->echoMode(), QLineEdit::Normal);
        QVERIFY(save->isEnabled());
        const Vault vaultBefore = window->getVault();

        lock();
        // Sealed: the window holds no record, no field text, no master password.
        QCOMPARE(window->getVault(), Vault());
        QVERIFY(search->text().isEmpty());
        QVERIFY(login->text().isEmpty());
        QVERIFY(password->text().isEmpty());
        QVERIFY(child<QTextEdit>(recordPage, "textEditNote")->toPlainText().isEmpty());
        QCOMPARE(window->passwordHealthCachedRatingCount(), 0);

        unlockWith(MASTER_PASSWORD);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_PASSWORD_INFORMATION));
        QCOMPARE(window->getVault(), vaultBefore);
        QCOMPARE(login->text(), QStringLiteral("jane.doe.work"));
        QCOMPARE(password->text(), QStringLiteral("Tr0ub4dor&3"));
        QCOMPARE(child<QTextEdit>(recordPage, "textEditNote")->toPlainText(),
                 QStringLiteral("pin in the safe"));
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QVERIFY(save->isEnabled());
        QCOMPARE(search->text(), QStringLiteral("sav"));
        QCOMPARE(currentTabIndex(window), 1);
        QCOMPARE(tableAt(window, 1)->currentRow(), 0);
        QCOMPARE(tableAt(window, 1)->currentColumn(), int(PasswordTable::COLUMN_LOGIN));
        QVERIFY(!tableAt(window, 1)->isPasswordVisibleAt(0));
        QCOMPARE(tableAt(window, 1)->columnWidth(PasswordTable::COLUMN_URL), 321);
        QVERIFY(!window->isDataModified());

        // The edit goes on where it was: saved into the record it came from.
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(tableAt(window, 1)->passwordAt(0).login, QStringLiteral("jane.doe.work"));
        QCOMPARE(tableAt(window, 1)->passwordCount(), 1);
        QVERIFY(window->isDataModified());
    }

    // A field is wiped in place only where its characters are its own: a record it shows keeps its text, and
    // a text from the program's read-only data is left alone.
    void wipingAFieldSparesTextsItDoesNotOwn()
    {
        QLineEdit field;
        const QString recordPassword = QString::fromUtf8("record password");
        field.setText(recordPassword);
        field.setEchoMode(QLineEdit::Normal);
        wipeLineEdit(&field);
        QCOMPARE(recordPassword, QStringLiteral("record password"));
        QVERIFY(field.text().isEmpty());
        QVERIFY(field.displayText().isEmpty());

        field.setText(QStringLiteral("literal"));
        wipeLineEdit(&field);
        QVERIFY(field.text().isEmpty());
        field.undo();
        QVERIFY(field.text().isEmpty());
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
