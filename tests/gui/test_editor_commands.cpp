// Tab and record commands of the vault editor, the vault it hands out, and the clipboard.
#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "mainwindow/PasswordTablePasswordItem.h"
#include "support/EditorTestSupport.h"
#include "vault/MemoryImage.h"
#include "views/ViewBase.h"
#include "widgets/SensitiveClipboard.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include <vector>

using namespace editortest;

namespace
{
class UrlRecorder : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void openUrl(const QUrl& url)
    {
        openedUrls.append(url);
    }

public:
    QList<QUrl> openedUrls;
};
} // namespace

namespace
{
QStringList _tabNames_helper(FormContentEditor* window)
{
    QStringList names;
    for (int index = 0; index < tabCount(window); index++)
        names.append(tabName(window, index));
    return names;
}

QStringList _recordNames_helper(const PasswordTable* table)
{
    QStringList names;
    for (const PasswordRecord& record : table->passwords())
        names.append(record.name);
    return names;
}

// The fill label as the window must show it for its current vault.
QString _expectedFillLabel_helper(FormContentEditor* window)
{
    std::vector<uint8_t> image(MEMORY_IMAGE_SIZE);
    const int freeCount = ::serializeVault(window->getVault(), image.data());
    return QStringLiteral("Available memory: %1%").arg(getVaultFillPercentage(freeCount));
}
} // namespace

class TestEditorCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        window = createEditorWindow(
            {VaultTab{"Bank", {makeRecord("Checking", "me", "pw1"), makeRecord("Savings")}},
             VaultTab{"Web", {makeRecord("Forum", "nick", "pw2", "forum.example")}}});
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QVERIFY(!window->isDataModified());
    }

    void cleanup()
    {
        destroyEditorWindow(window);
        window = nullptr;
    }

    void vaultRoundTripsThroughTheTabs()
    {
        QCOMPARE(_tabNames_helper(window), QStringList({"Bank", "Web"}));
        QCOMPARE(currentTabIndex(window), 0);
        QCOMPARE(_recordNames_helper(tableAt(window, 0)), QStringList({"Checking", "Savings"}));
        QCOMPARE(tableAt(window, 0)->rowCount(), 2);
        QCOMPARE(child<QLabel>(window, "labelUsedMemoryBytes")->text(), _expectedFillLabel_helper(window));

        std::vector<uint8_t> image(MEMORY_IMAGE_SIZE, 0);
        const Vault before = window->getVault();
        QVERIFY(window->serializeVault(image.data()) > 0);
        window->setVault(Vault());
        QCOMPARE(tabCount(window), 0);
        QVERIFY(!child<QPushButton>(window, "pushButtonNewPassword")->isEnabled());
        window->parseVault(image.data());
        QCOMPARE(window->getVault(), before);
        // The menus of a freshly read vault are built for tab 0.
        QCOMPARE(tableAt(window, 0)->moveAction()->menu()->actions().size(), 1);
        QCOMPARE(tableAt(window, 0)->moveAction()->menu()->actions().at(0)->text(), QStringLiteral("Web"));
    }

    void newRenameDuplicateAndRemoveTab()
    {
        QTest::mouseClick(child<QPushButton>(window, "pushButtonNewTab"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_LINE_INPUT_DIALOG));
        QCOMPARE(viewTitle(window, VIEW_ID_LINE_INPUT_DIALOG), QStringLiteral("Insert tab name"));
        QCOMPARE(lineInputText(window), QStringLiteral("New tab"));
        QVERIFY(answerLineInput(window, "Work & play"));
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(_tabNames_helper(window), QStringList({"Bank", "Web", "Work & play"}));
        // Shown as typed, not as a keyboard mnemonic.
        QCOMPARE(child<QTabWidget>(window, "tabWidget")->tabText(2), QStringLiteral("Work && play"));
        QCOMPARE(window->getVault().at(2).name, QStringLiteral("Work & play"));
        QCOMPARE(currentTabIndex(window), 2);
        QVERIFY(window->isDataModified());
        QCOMPARE(window->windowTitle(), QStringLiteral("Corvane Key Manager [unsaved data]"));
        QCOMPARE(child<QLabel>(window, "labelUsedMemoryBytes")->text(), _expectedFillLabel_helper(window));
        // Every table's menus know the new tab.
        QCOMPARE(tableAt(window, 0)->duplicateAction()->menu()->actions().size(), 3);
        QCOMPARE(tableAt(window, 0)->duplicateAction()->menu()->actions().at(2)->text(),
                 QStringLiteral("Work && play"));

        // Cancelling changes nothing.
        QTest::mouseClick(child<QPushButton>(window, "pushButtonRenameTab"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_LINE_INPUT_DIALOG));
        QTest::mouseClick(child<QPushButton>(window->view(VIEW_ID_LINE_INPUT_DIALOG), "pushButtonCancel"),
                          Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(tabName(window, 2), QStringLiteral("Work & play"));

        child<QTabWidget>(window, "tabWidget")->setCurrentIndex(0);
        QTest::mouseClick(child<QPushButton>(window, "pushButtonRenameTab"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_LINE_INPUT_DIALOG));
        QCOMPARE(viewTitle(window, VIEW_ID_LINE_INPUT_DIALOG), QStringLiteral("Insert new name"));
        QCOMPARE(lineInputText(window), QStringLiteral("Bank"));
        QVERIFY(answerLineInput(window, "Money"));
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(_tabNames_helper(window), QStringList({"Money", "Web", "Work & play"}));
        QCOMPARE(tableAt(window, 1)->duplicateAction()->menu()->actions().at(0)->text(),
                 QStringLiteral("Money"));

        QTest::mouseClick(child<QPushButton>(window, "pushButtonDuplicateTab"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_LINE_INPUT_DIALOG));
        QCOMPARE(lineInputText(window), QStringLiteral("Money - Copy"));
        QTest::mouseClick(child<QPushButton>(window->view(VIEW_ID_LINE_INPUT_DIALOG), "pushButtonOk"),
                          Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(_tabNames_helper(window), QStringList({"Money", "Web", "Work & play", "Money - Copy"}));
        QCOMPARE(currentTabIndex(window), 3);
        QCOMPARE(tableAt(window, 3)->passwords(), tableAt(window, 0)->passwords());
        QCOMPARE(tableAt(window, 3)->rowCount(), 2);
        QCOMPARE(child<QLabel>(window, "labelUsedMemoryBytes")->text(), _expectedFillLabel_helper(window));

        // Removing asks first; No keeps the tab.
        child<QTabWidget>(window, "tabWidget")->setCurrentIndex(1);
        QTest::mouseClick(child<QPushButton>(window, "pushButtonRemoveTab"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_MESSAGE_BOX_DIALOG));
        QCOMPARE(viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG), QStringLiteral("Remove tab"));
        QCOMPARE(messageBoxText(window),
                 QStringLiteral("Do you really want to remove the tab called 'Web' and all its content?"));
        QVERIFY(answerMessageBox(window, "pushButtonNo"));
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(tabCount(window), 4);

        QTest::mouseClick(child<QPushButton>(window, "pushButtonRemoveTab"), Qt::LeftButton);
        QVERIFY(answerMessageBox(window, "pushButtonYes"));
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(_tabNames_helper(window), QStringList({"Money", "Work & play", "Money - Copy"}));
        QCOMPARE(child<QLabel>(window, "labelUsedMemoryBytes")->text(), _expectedFillLabel_helper(window));
        for (int index = 0; index < tabCount(window); index++)
            QCOMPARE(tableAt(window, index)->duplicateAction()->menu()->actions().size(), 3);
    }

    void movingATabMarksTheDataModified()
    {
        QTabBar* tabBar = child<QTabWidget>(window, "tabWidget")->tabBar();
        tabBar->moveTab(0, 1);
        QVERIFY(window->isDataModified());
        QCOMPARE(window->getVault().at(0).name, QStringLiteral("Web"));
        QCOMPARE(window->getVault().at(1).passwords.size(), 2);
        // The moved tab's menus list the tabs in their new order.
        QCOMPARE(tableAt(window, 1)->duplicateAction()->menu()->actions().at(0)->text(),
                 QStringLiteral("Web"));
        QCOMPARE(tableAt(window, 1)->moveAction()->menu()->actions().at(0)->text(), QStringLiteral("Web"));
    }

    void recordCommands()
    {
        PasswordTable* table = tableAt(window, 0);
        QVERIFY(!child<QPushButton>(window, "pushButtonEditPassword")->isEnabled());
        clickCell(table, 0, PasswordTable::COLUMN_LOGIN);
        QVERIFY(child<QPushButton>(window, "pushButtonEditPassword")->isEnabled());
        QVERIFY(child<QPushButton>(window, "pushButtonRemovePassword")->isEnabled());

        // Renaming "Checking" to "Travel" moves it after "Savings" and selects its name.
        QTest::mouseClick(child<QPushButton>(window, "pushButtonEditPassword"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        QWidget* page = window->view(VIEW_ID_PASSWORD_INFORMATION);
        QLineEdit* name = child<QLineEdit>(page, "lineEditName");
        name->selectAll();
        QTest::keyClicks(name, "Travel");
        QTest::mouseClick(child<QPushButton>(page, "pushButtonSave"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(_recordNames_helper(table), QStringList({"Savings", "Travel"}));
        QCOMPARE(table->passwordAt(1).login, QStringLiteral("me"));
        QCOMPARE(table->passwordAt(1).password, QStringLiteral("pw1"));
        QCOMPARE(table->currentRow(), 1);
        QCOMPARE(table->currentColumn(), 0);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(table));
        QVERIFY(window->isDataModified());

        // The context menu's Edit opens the same page.
        table->editAction()->trigger();
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        QCOMPARE(child<QLineEdit>(page, "lineEditName")->text(), QStringLiteral("Travel"));
        QTest::mouseClick(child<QPushButton>(page, "pushButtonCancel"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));

        QTest::mouseClick(child<QPushButton>(window, "pushButtonRemovePassword"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_MESSAGE_BOX_DIALOG));
        QCOMPARE(viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG), QStringLiteral("Remove password"));
        QCOMPARE(messageBoxText(window),
                 QStringLiteral("Do you really want to remove the password called 'Travel'?"));
        QVERIFY(answerMessageBox(window, "pushButtonNo"));
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(table->passwordCount(), 2);
        QTest::mouseClick(child<QPushButton>(window, "pushButtonRemovePassword"), Qt::LeftButton);
        QVERIFY(answerMessageBox(window, "pushButtonYes"));
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(_recordNames_helper(table), QStringList({"Savings"}));
        QCOMPARE(child<QLabel>(window, "labelUsedMemoryBytes")->text(), _expectedFillLabel_helper(window));
    }

    void namesThatLookLikeMarkupAreQuotedAsTyped()
    {
        window->setVault({VaultTab{"<b>Tab</b>", {makeRecord("<i>x</i> &amp;")}}});
        clickCell(tableAt(window, 0), 0, PasswordTable::COLUMN_NAME);
        QTest::mouseClick(child<QPushButton>(window, "pushButtonRemovePassword"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_MESSAGE_BOX_DIALOG));
        QLabel* label = child<QLabel>(window->view(VIEW_ID_MESSAGE_BOX_DIALOG), "labelText");
        // What the label shows, whatever format it picked.
        QTextDocument document;
        if (label->textFormat() == Qt::PlainText || !Qt::mightBeRichText(label->text()))
            document.setPlainText(label->text());
        else
            document.setHtml(label->text());
        QCOMPARE(document.toPlainText().simplified(),
                 QStringLiteral("Do you really want to remove the password called '<i>x</i> &amp;'?"));
        QVERIFY(answerMessageBox(window, "pushButtonNo"));
    }

    void clipboardClearButtonAndShortcut()
    {
        QPushButton* clear = child<QPushButton>(window, "pushButtonClearClipboard");
        QVERIFY(!clear->isEnabled());
        PasswordTable* table = tableAt(window, 0);
        clickCell(table, 0, PasswordTable::COLUMN_LOGIN);
        QTest::keyClick(table, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("me"));
        QVERIFY(clear->isEnabled());
        QTest::mouseClick(clear, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
        QVERIFY(!clear->isEnabled());

        clickCell(table, 0, PasswordTable::COLUMN_PASSWORD);
        table->copyAction()->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("pw1"));
        QVERIFY(clear->isEnabled());
        QTest::keyClick(window, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
        QVERIFY(!clear->isEnabled());

        // A clipboard manager takes the copy over by copying the same text again: it is still cleared.
        table->copyAction()->trigger();
        QGuiApplication::clipboard()->setText(QStringLiteral("pw1"));
        QVERIFY(SensitiveClipboard::instance()->isCopiedTextHeld());
        QTest::keyClick(window, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    }

    void keyboardReachesEveryRecordCommand()
    {
        PasswordTable* table = tableAt(window, 0);
        QLineEdit* search = child<QLineEdit>(window, "lineEditSearch");
        auto pressOnFocus = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
        { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers); };
        auto leavePage = [&](int viewId)
        {
            QVERIFY(waitForView(window, viewId));
            pressOnFocus(Qt::Key_Escape);
            QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        };

        // Tab leaves the table for the search field, as the focus order says.
        clickCell(table, 0, PasswordTable::COLUMN_NAME);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(table));
        pressOnFocus(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(search));
        // Ctrl+Tab goes to the next tab instead of the next cell.
        QTest::keyClick(table, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(currentTabIndex(window), 1);
        QTest::keyClick(tableAt(window, 1), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(currentTabIndex(window), 0);

        // The shortcuts show in the tool tips; the menus show them beside the entries.
        QVERIFY(child<QPushButton>(window, "pushButtonNewPassword")->toolTip().endsWith("(Ctrl+N)"));
        QVERIFY(child<QPushButton>(window, "pushButtonRemovePassword")->toolTip().endsWith("(Del)"));

        table->setFocus();
        pressOnFocus(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(viewTitle(window, VIEW_ID_PASSWORD_INFORMATION), QStringLiteral("New password"));
        leavePage(VIEW_ID_PASSWORD_INFORMATION);
        for (const QKeySequence& editKey :
             {QKeySequence(Qt::Key_F2), QKeySequence(Qt::CTRL | Qt::Key_E), QKeySequence(Qt::Key_Return)})
        {
            table->setFocus();
            QTest::keySequence(table, editKey);
            QCOMPARE(viewTitle(window, VIEW_ID_PASSWORD_INFORMATION), QStringLiteral("Edit password"));
            leavePage(VIEW_ID_PASSWORD_INFORMATION);
        }
        // A double click edits, except on a web site, which it opens.
        const QRect loginCell = table->visualRect(table->model()->index(0, PasswordTable::COLUMN_LOGIN));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, loginCell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, loginCell.center());
        leavePage(VIEW_ID_PASSWORD_INFORMATION);

        // Copies take the selected record's fields whatever the column; the password is the sensitive copy.
        clickCell(table, 0, PasswordTable::COLUMN_NOTE);
        pressOnFocus(Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("me"));
        pressOnFocus(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("pw1"));
        QVERIFY(child<QPushButton>(window, "pushButtonClearClipboard")->isEnabled());
        // In the search field Ctrl+C stays the field's own copy.
        search->setText("typed");
        search->selectAll();
        search->setFocus();
        pressOnFocus(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("typed"));

        // Ctrl+H reveals and masks for the screen reader too, not only on screen.
        auto passwordCellName = [table]
        {
            return QAccessible::queryAccessibleInterface(table)
                ->tableInterface()
                ->cellAt(0, PasswordTable::COLUMN_PASSWORD)
                ->text(QAccessible::Name);
        };
        table->setFocus();
        pressOnFocus(Qt::Key_H, Qt::ControlModifier);
        QVERIFY(table->passwordItemAt(0)->isPasswordVisible());
        QCOMPARE(passwordCellName(), QStringLiteral("pw1"));
        pressOnFocus(Qt::Key_H, Qt::ControlModifier);
        QVERIFY(!table->passwordItemAt(0)->isPasswordVisible());
        QCOMPARE(passwordCellName(), QStringLiteral("Password hidden"));

        // Delete asks first; Escape answers No.
        pressOnFocus(Qt::Key_Delete);
        QCOMPARE(viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG), QStringLiteral("Remove password"));
        leavePage(VIEW_ID_MESSAGE_BOX_DIALOG);
        QCOMPARE(table->passwordCount(), 2);

        // Shift+F10 opens the context menu, which offers Remove and the Edit menu's copies too, each entry
        // with a mnemonic of its own.
        QStringList contextEntries;
        QTimer::singleShot(0, this,
                           [&contextEntries]()
                           {
                               auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                               if (!menu)
                                   return;
                               for (QAction* action : menu->actions())
                                   contextEntries.append(action->text());
                               menu->close();
                           });
        table->setFocus();
        pressOnFocus(Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(contextEntries, QStringList({"&Copy to clipboard", "Copy &login", "Copy &password",
                                              "Open &web site", "&Edit", "&Remove record",
                                              "&Duplicate row into tab...", "&Move row to tab..."}));
        QSet<QChar> mnemonics;
        for (const QString& entry : std::as_const(contextEntries))
            mnemonics.insert(entry.at(entry.indexOf('&') + 1).toLower());
        QCOMPARE(mnemonics.size(), contextEntries.size());

        // Ctrl+S saves; a vault without a master password asks for one first.
        window->setDataModified(true);
        // The offscreen platform gives the activation back to no window when a popup closes.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(table, Qt::Key_S, Qt::ControlModifier);
        leavePage(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD);

        // Behind another page the editor's keys do nothing.
        pressOnFocus(Qt::Key_N, Qt::ControlModifier);
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        pressOnFocus(Qt::Key_Delete);
        pressOnFocus(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_PASSWORD_INFORMATION));
        QCOMPARE(viewTitle(window, VIEW_ID_PASSWORD_INFORMATION), QStringLiteral("New password"));
        leavePage(VIEW_ID_PASSWORD_INFORMATION);
        QCOMPARE(table->passwordCount(), 2);
    }

    void webSiteOpensFromTheKeyboard()
    {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("http", &recorder, "openUrl");
        QAction* openWebSite = window->findChild<QAction*>("actionOpenWebSite");
        // A record without a web site offers nothing to open.
        clickCell(tableAt(window, 0), 0, PasswordTable::COLUMN_NAME);
        QVERIFY(!openWebSite->isEnabled());
        QTest::keyClick(tableAt(window, 0), Qt::Key_U, Qt::ControlModifier);
        child<QTabWidget>(window, "tabWidget")->setCurrentIndex(1);
        clickCell(tableAt(window, 1), 0, PasswordTable::COLUMN_NOTE);
        QVERIFY(openWebSite->isEnabled());
        QCOMPARE(openWebSite->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_U));
        QTest::keyClick(tableAt(window, 1), Qt::Key_U, Qt::ControlModifier);
        QDesktopServices::unsetUrlHandler("http");
        QCOMPARE(recorder.openedUrls, QList<QUrl>{QUrl("http://forum.example")});
    }

    void screenReadersHearWhatTheScreenShows()
    {
        // Buttons by their visible labels, the tool tip as their description.
        for (const char* name : {"pushButtonNewPassword", "pushButtonNewTab", "pushButtonNextSearchResult"})
        {
            QAccessibleInterface* button =
                QAccessible::queryAccessibleInterface(child<QPushButton>(window, name));
            QCOMPARE(button->text(QAccessible::Name),
                     withoutMnemonic(child<QPushButton>(window, name)->text()));
            const QString description = button->text(QAccessible::Description);
            QVERIFY(!description.isEmpty());
            QVERIFY(child<QPushButton>(window, name)->toolTip().startsWith(description));
        }
        // Each tab's table by its tab's name, also after a rename.
        QCOMPARE(QAccessible::queryAccessibleInterface(tableAt(window, 1))->text(QAccessible::Name),
                 QStringLiteral("Web"));
        QTest::mouseClick(child<QPushButton>(window, "pushButtonRenameTab"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_LINE_INPUT_DIALOG));
        QLineEdit* nameField = child<QLineEdit>(window->view(VIEW_ID_LINE_INPUT_DIALOG), "lineEdit");
        nameField->selectAll();
        QTest::keyClicks(nameField, "Home bank");
        QTest::keyClick(nameField, Qt::Key_Return);
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(QAccessible::queryAccessibleInterface(tableAt(window, 0))->text(QAccessible::Name),
                 QStringLiteral("Home bank"));
        // The health summary is one link, named by its text.
        auto* healthLink = child<QLabel>(window, "labelPasswordHealth");
        QTRY_VERIFY(healthLink->isVisible());
        QAccessibleInterface* link = QAccessible::queryAccessibleInterface(healthLink);
        QCOMPARE(link->role(), QAccessible::Link);
        QVERIFY(!link->text(QAccessible::Name).isEmpty());
        QVERIFY(!link->text(QAccessible::Name).contains('<'));
    }

    void masterPasswordIsSetFromTheFileMenuAndTheSaveMenu()
    {
        // The Save button's menu, with mnemonics, and its second entry in the File menu too.
        QMenu* saveMenu = child<QPushButton>(window, "pushButtonWriteDevice")->menu();
        QStringList saveEntries;
        for (QAction* action : saveMenu->actions())
            saveEntries.append(action->text());
        QCOMPARE(saveEntries, QStringList({"&Save", "Set/change the &master password then save"}));
        QMenu* fileMenu = window->findChild<QMenu*>("menuFile");
        QAction* setPassword = saveMenu->actions().at(1);
        QVERIFY(fileMenu->actions().contains(setPassword));
        // Available with the vault shown, even unchanged; it asks for the new master password.
        QVERIFY(setPassword->isEnabled());
        setPassword->trigger();
        QVERIFY(waitForView(window, VIEW_ID_INSERT_WRITING_MASTER_PASSWORD));
        QVERIFY(!setPassword->isEnabled());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QVERIFY(setPassword->isEnabled());
    }

    void clipboardIsClearedAfterTheDelay()
    {
        setSettingValue(SETTING_CLIPBOARD_CLEARING_DELAY_SECONDS, 1);
        QPushButton* clear = child<QPushButton>(window, "pushButtonClearClipboard");
        auto* countdown = child<QLabel>(window, "labelClipboardCountdown");
        PasswordTable* table = tableAt(window, 0);
        QVERIFY(!countdown->isVisible());

        clickCell(table, 0, PasswordTable::COLUMN_PASSWORD);
        table->copyAction()->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("pw1"));
        QVERIFY(countdown->isVisible());
        QCOMPARE(countdown->text(), QStringLiteral("Clipboard cleared in 1 s"));
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), QString(), 10000);
        QVERIFY(!clear->isEnabled());
        QVERIFY(!countdown->isVisible());

        // Another program's copy over ours is left alone: the countdown ends with nothing to clear.
        table->copyAction()->trigger();
        QVERIFY(countdown->isVisible());
        QGuiApplication::clipboard()->setText(QStringLiteral("copied elsewhere"));
        QVERIFY(!countdown->isVisible());
        QCOMPARE(SensitiveClipboard::instance()->remainingSeconds(), -1);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("copied elsewhere"));

        // 0 never clears.
        setSettingValue(SETTING_CLIPBOARD_CLEARING_DELAY_SECONDS, 0);
        table->copyAction()->trigger();
        QVERIFY(!countdown->isVisible());
        QTest::keyClick(window, Qt::Key_K, Qt::ControlModifier);
        setSettingValue(SETTING_CLIPBOARD_CLEARING_DELAY_SECONDS, 30);
    }

private:
    FormContentEditor* window = nullptr;
};

QTEST_MAIN(TestEditorCommands)
#include "test_editor_commands.moc"
