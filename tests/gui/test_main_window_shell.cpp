#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "support/EditorTestSupport.h"
#include "support/ModalBoxAnswerer.h"
#include "views/ViewBase.h"
#include "views/ViewContentLineInputDialog.h"
#include "views/ViewContentMessageBoxDialog.h"
#include "views/ViewContentStartMenu.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTabWidget>
#include <QtTest>

namespace
{
// A page that writes every hook call into a shared log, to observe what the view stack notifies.
class RecordingView : public ViewContentBase
{
public:
    RecordingView(const QString& name, QStringList* log, QWidget* parent)
        : ViewContentBase(parent), name(name), log(log)
    {
    }

    void activate() override
    {
        log->append("activate " + name);
    }

    void deactivate() override
    {
        log->append("deactivate " + name);
    }

private:
    QString name;
    QStringList* log;
};

using editortest::withoutMnemonic;

QStringList menuEntries(QMenu* menu)
{
    QStringList entries;
    for (QAction* action : menu->actions())
        entries.append(action->isSeparator() ? QStringLiteral("-") : withoutMnemonic(action->text()));
    return entries;
}
} // namespace

class TestMainWindowShell : public QObject
{
    Q_OBJECT

private:
    FormContentEditor* window = nullptr;
    QStringList hookLog;

    template <typename T> T* child(const char* objectName)
    {
        T* widget = window->findChild<T*>(QLatin1String(objectName));
        if (!widget)
            qFatal("missing widget %s", objectName);
        return widget;
    }

    QAction* action(const char* objectName)
    {
        return child<QAction>(objectName);
    }

    QPushButton* messageBoxButton(const char* objectName)
    {
        return window->view(VIEW_ID_MESSAGE_BOX_DIALOG)->findChild<QPushButton*>(QLatin1String(objectName));
    }

    bool isMenuBarShown()
    {
        return !window->menuBar()->isHidden();
    }

    void startEmptyVault()
    {
        auto* label = child<QLabel>("labelDeviceInitialization");
        Q_EMIT label->linkActivated(QStringLiteral("unused_link"));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setQuitOnLastWindowClosed(false);
        initializeConfiguration();
        settings->setValue(CONFIGURATION_KEY_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION, APPLICATION_VERSION);
    }

    void init()
    {
        window = new FormContentEditor();
        mainWindow = window;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        hookLog.clear();
        window->replaceViewContent(VIEW_ID_READ_DEVICE, new RecordingView("3", &hookLog, window));
        window->replaceViewContent(VIEW_ID_WRITE_DEVICE, new RecordingView("4", &hookLog, window));
        window->replaceViewContent(VIEW_ID_SETTINGS, new RecordingView("11", &hookLog, window));
    }

    void cleanup()
    {
        delete window;
        window = nullptr;
        mainWindow = nullptr;
    }

    void cleanupTestCase()
    {
        releaseConfiguration();
    }

    void constructionShowsTheStartMenuAndEveryPage()
    {
        auto* stackedWidget = child<QStackedWidget>("stackedWidget");
        QCOMPARE(stackedWidget->count(), int(VIEW_ID_COUNT));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        QCOMPARE(window->windowTitle(), QStringLiteral("Corvane Key Manager"));
        QVERIFY(isMenuBarShown());

        // The stacked widget index is the page id, and the pages carry their own classes and titles.
        QCOMPARE(stackedWidget->widget(VIEW_ID_CONTENT_EDITOR)->objectName(),
                 QStringLiteral("pageContentEditor"));
        for (int viewId = 1; viewId < VIEW_ID_COUNT; viewId++)
            QCOMPARE(stackedWidget->widget(viewId), window->view(viewId));
        QVERIFY(qobject_cast<ViewContentStartMenu*>(window->view(VIEW_ID_START_MENU)->contentWidget()));
        QCOMPARE(window->view(VIEW_ID_PASSWORD_INFORMATION)->contentWidget()->metaObject()->className(),
                 "ViewContentPasswordInformation");
        QVERIFY(qobject_cast<ViewContentLineInputDialog*>(
            window->view(VIEW_ID_LINE_INPUT_DIALOG)->contentWidget()));
        QVERIFY(qobject_cast<ViewContentMessageBoxDialog*>(
            window->view(VIEW_ID_MESSAGE_BOX_DIALOG)->contentWidget()));
        QCOMPARE(window->view(VIEW_ID_START_MENU)->title(), QStringLiteral("Welcome!"));
        QCOMPARE(window->view(VIEW_ID_MESSAGE_BOX_DIALOG)->title(), QStringLiteral("<No title set>"));
        QCOMPARE(window->view(VIEW_ID_IMPORT_CSV_FILE)->title(), QStringLiteral("Import a CSV file"));

        QCOMPARE(menuEntries(child<QMenu>("menuFile")),
                 QStringList({"Open Corvane...", "Save to device", "Set/change the master password then save",
                              "Lock application", "-", "Import CSV file...", "Export current tab as CSV...",
                              "-", "Password health report", "-", "Settings", "-", "Quit"}));
        QCOMPARE(menuEntries(child<QMenu>("menuDevice")),
                 QStringList({"Configure device...", "Show device information", "-", "Copy device...",
                              "Erase device...", "-", "Back up device to file...",
                              "Restore device from file..."}));
        QCOMPARE(menuEntries(child<QMenu>("menuHelp")),
                 QStringList({"Corvane Key Manager Help", "Help on this page", "Corvane Key Manager website",
                              "Check for update", "-", "About"}));
        QCOMPARE(menuEntries(child<QMenu>("menuEdit")),
                 QStringList({"New record", "Edit record", "Remove record", "-", "Copy login",
                              "Copy password", "Open web site", "Show/hide password"}));
        QCOMPARE(action("actionLockApplication")->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
        QVERIFY(!action("actionImportCSV")->isEnabled());
        QCOMPARE(child<QPushButton>("pushButtonNextSearchResult")->shortcut(),
                 QKeySequence(QStringLiteral("F3")));
        QCOMPARE(child<QPushButton>("pushButtonPreviousSearchResult")->shortcut(),
                 QKeySequence(QStringLiteral("Shift+F3")));

        QMenu* saveMenu = child<QPushButton>("pushButtonWriteDevice")->menu();
        QVERIFY(saveMenu);
        QCOMPARE(menuEntries(saveMenu), QStringList({"Save", "Set/change the master password then save"}));
    }

    void viewStackNotifiesOnlyThePagesItEntersAndLeaves()
    {
        window->pushView(VIEW_ID_READ_DEVICE);
        QCOMPARE(hookLog, QStringList({"activate 3"}));

        // The page underneath is seen again later: a push does not tell it that it is left.
        window->pushView(VIEW_ID_WRITE_DEVICE);
        QCOMPARE(hookLog, QStringList({"activate 3", "activate 4"}));

        window->switchView(VIEW_ID_SETTINGS);
        QCOMPARE(hookLog, QStringList({"activate 3", "activate 4", "deactivate 4", "activate 11"}));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_SETTINGS));

        // Popping reveals page 3 as it was left, without resetting it.
        hookLog.clear();
        window->popView(VIEW_ID_COUNT);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_READ_DEVICE));
        QCOMPARE(hookLog, QStringList({"deactivate 11"}));

        window->popView(VIEW_ID_COUNT);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        QCOMPARE(hookLog, QStringList({"deactivate 11", "deactivate 3"}));

        // An empty stack leaves the page as it is.
        window->popView(VIEW_ID_COUNT);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        QCOMPARE(hookLog.size(), 2);
    }

    void popViewToTheEditorUnwindsTheWholeStack()
    {
        startEmptyVault();
        window->pushView(VIEW_ID_READ_DEVICE);
        window->pushView(VIEW_ID_MESSAGE_BOX_DIALOG);
        window->popView(VIEW_ID_CONTENT_EDITOR);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(hookLog, QStringList({"activate 3", "deactivate 3"}));

        window->popView(VIEW_ID_COUNT);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));

        // Started from the start menu, the editor is not on the stack: the bottom page comes back.
        window->switchView(VIEW_ID_START_MENU);
        window->clearViewStack();
        hookLog.clear();
        window->pushView(VIEW_ID_READ_DEVICE);
        window->pushView(VIEW_ID_WRITE_DEVICE);
        window->popView(VIEW_ID_CONTENT_EDITOR);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        QCOMPARE(hookLog, QStringList({"activate 3", "activate 4", "deactivate 4", "deactivate 3"}));
        window->popView(VIEW_ID_COUNT);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
    }

    void menuBarIsShownOnlyOnTheEditorAndTheStartMenu()
    {
        for (int viewId = 0; viewId < VIEW_ID_COUNT; viewId++)
        {
            window->switchView(viewId);
            QCOMPARE(window->currentViewId(), viewId);
            QCOMPARE(isMenuBarShown(), viewId == VIEW_ID_CONTENT_EDITOR || viewId == VIEW_ID_START_MENU);
        }
        window->pushView(VIEW_ID_START_MENU);
        QVERIFY(isMenuBarShown());
        window->pushView(VIEW_ID_SETTINGS);
        QVERIFY(!isMenuBarShown());
        window->popView(VIEW_ID_COUNT);
        QVERIFY(isMenuBarShown());
    }

    void messageRequestedBeforeAPopShowsOverTheRevealedPage()
    {
        startEmptyVault();
        window->pushView(VIEW_ID_READ_DEVICE);

        window->pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_ERROR, "Error", "Reading failed.",
                                         ViewContentMessageBoxDialog::BUTTON_OK,
                                         ViewContentMessageBoxDialog::BUTTON_OK);
        window->popView(VIEW_ID_COUNT);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));

        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_MESSAGE_BOX_DIALOG));
        QCOMPARE(window->view(VIEW_ID_MESSAGE_BOX_DIALOG)->title(), QStringLiteral("Error"));
        QTest::mouseClick(messageBoxButton("pushButtonOk"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

    void closingIsRefusedFromSubviewsAndConfirmedWithUnsavedData()
    {
        const QString subviewText = "You are currently in a subview of the application.\nUse the buttons at "
                                    "the bottom of the view to exit.";
        {
            window->pushView(VIEW_ID_SETTINGS);
            ModalBoxAnswerer answerer(QMessageBox::Ok);
            QVERIFY(!window->close());
            QVERIFY(answerer.isBoxSeen());
            QCOMPARE(answerer.title(), QStringLiteral("Warning"));
            QCOMPARE(answerer.text(), subviewText);
            QCOMPARE(answerer.icon(), QMessageBox::Warning);
            QVERIFY(window->isVisible());
            QCOMPARE(window->currentViewId(), int(VIEW_ID_SETTINGS));
        }
        {
            // "Quit" goes the same way.
            ModalBoxAnswerer answerer(QMessageBox::Ok);
            action("actionQuit")->trigger();
            QVERIFY(answerer.isBoxSeen());
            QVERIFY(window->isVisible());
        }

        window->popView(VIEW_ID_COUNT);
        QVERIFY(window->close());
        window->show();

        startEmptyVault();
        window->setDataModified(true);
        {
            // Three ways out, Cancel the default: saving first, quitting without, or staying.
            ModalBoxAnswerer answerer(QMessageBox::Cancel);
            QVERIFY(!window->close());
            QVERIFY(answerer.isBoxSeen());
            QCOMPARE(answerer.text(),
                     QStringLiteral(
                         "You did not write your modifications to the device.\nDo you really want to quit?"));
            QStringList buttons = answerer.buttonTexts();
            buttons.sort();
            QCOMPARE(buttons, QStringList({"Cancel", "Quit without saving", "Save to device"}));
            QCOMPARE(answerer.defaultButtonText(), QStringLiteral("Cancel"));
            QVERIFY(window->isVisible());
            QVERIFY(window->isDataModified());
            QCOMPARE(window->windowTitle(), QStringLiteral("Corvane Key Manager [unsaved data]"));
        }
        {
            ModalBoxAnswerer answerer(QMessageBox::Discard);
            QVERIFY(window->close());
            QVERIFY(answerer.isBoxSeen());
        }

        // The locked page lets the application close like the editor does.
        window->show();
        window->setDataModified(false);
        window->setKnownMasterPassword(QStringLiteral("pw"));
        action("actionLockApplication")->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_APPLICATION_LOCKED));
        QVERIFY(window->close());
    }

    void escapeCancelsAndReturnConfirmsOnThePages()
    {
        startEmptyVault();
        window->createTab(QStringLiteral("Tab"));
        auto pressOnFocus = [](int key) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key)); };
        auto pageButton = [this](int viewId, const char* name)
        { return window->view(viewId)->findChild<QPushButton*>(QLatin1String(name)); };

        // Line input: Return is OK with the text, Escape cancels.
        auto* lineInput = window->view(VIEW_ID_LINE_INPUT_DIALOG)->contentWidget();
        QSignalSpy lineAnswers(lineInput, SIGNAL(insertionFinished(bool, QString)));
        window->pushLineInputDialogView("Title", "Label:", "typed");
        QVERIFY(pageButton(VIEW_ID_LINE_INPUT_DIALOG, "pushButtonOk")->isDefault());
        pressOnFocus(Qt::Key_Return);
        window->pushLineInputDialogView("Title", "Label:", "typed");
        pressOnFocus(Qt::Key_Escape);
        QCOMPARE(lineAnswers.count(), 2);
        QCOMPARE(lineAnswers.at(0), QVariantList({true, QStringLiteral("typed")}));
        QCOMPARE(lineAnswers.at(1).at(0).toBool(), false);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));

        // Message page: Return answers its default button; Escape Cancel, else No, else a lone OK.
        using Box = ViewContentMessageBoxDialog;
        QSignalSpy messageAnswers(window->view(VIEW_ID_MESSAGE_BOX_DIALOG)->contentWidget(),
                                  SIGNAL(dialogExited(ViewContentMessageBoxDialog::Button)));
        const struct
        {
            int buttons;
            Box::Button defaultButton;
            int key;
            Box::Button answer;
        } messages[] = {{Box::BUTTON_YES | Box::BUTTON_NO, Box::BUTTON_YES, Qt::Key_Return, Box::BUTTON_YES},
                        {Box::BUTTON_YES | Box::BUTTON_NO, Box::BUTTON_YES, Qt::Key_Escape, Box::BUTTON_NO},
                        {Box::BUTTON_YES | Box::BUTTON_NO | Box::BUTTON_CANCEL, Box::BUTTON_YES,
                         Qt::Key_Escape, Box::BUTTON_CANCEL},
                        {Box::BUTTON_OK, Box::BUTTON_OK, Qt::Key_Escape, Box::BUTTON_OK}};
        for (const auto& message : messages)
        {
            window->pushMessageBoxDialogView(Box::ICON_QUESTION, "Question", "Sure?", message.buttons,
                                             message.defaultButton);
            QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_MESSAGE_BOX_DIALOG));
            pressOnFocus(message.key);
            QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
            QCOMPARE(messageAnswers.last().at(0).value<Box::Button>(), message.answer);
        }

        // Record editor: Return saves once Save is enabled, also from a line edit; Escape cancels, after
        // asking when something was typed.
        QPushButton* save = pageButton(VIEW_ID_PASSWORD_INFORMATION, "pushButtonSave");
        QVERIFY(save->isDefault());
        QTest::mouseClick(child<QPushButton>("pushButtonNewPassword"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_PASSWORD_INFORMATION));
        pressOnFocus(Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_PASSWORD_INFORMATION));
        QTest::keyClicks(QApplication::focusWidget(), "Bank");
        pressOnFocus(Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QTest::mouseClick(child<QPushButton>("pushButtonNewPassword"), Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), "Shop");
        {
            ModalBoxAnswerer discard(QMessageBox::Yes);
            pressOnFocus(Qt::Key_Escape);
            QVERIFY(discard.isBoxSeen());
        }
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(window->getVault().first().passwords.size(), 1);
        // The offscreen platform gives the activation back to no window when a modal box closes.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));

        // A wizard: Return goes to the next page, Escape leaves the wizard.
        window->pushView(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_1);
        QVERIFY(pageButton(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_1, "pushButtonNext")->isDefault());
        pressOnFocus(Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2));
        pressOnFocus(Qt::Key_Escape);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));

        // The new master password page marks OK and leaves on Escape.
        window->pushView(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD);
        QVERIFY(pageButton(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD, "pushButtonOk")->isDefault());
        pressOnFocus(Qt::Key_Escape);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

    void windowTitleAndButtonsFollowTheData()
    {
        startEmptyVault();
        QVERIFY(action("actionImportCSV")->isEnabled());
        QVERIFY(isMenuBarShown());

        // No tab: only "New" (tab) works, and nothing is to be saved.
        QVERIFY(!child<QPushButton>("pushButtonWriteDevice")->isEnabled());
        QVERIFY(child<QPushButton>("pushButtonNewTab")->isEnabled());
        for (const char* name :
             {"pushButtonRenameTab", "pushButtonDuplicateTab", "pushButtonRemoveTab", "pushButtonNewPassword",
              "pushButtonEditPassword", "pushButtonRemovePassword"})
            QVERIFY2(!child<QPushButton>(name)->isEnabled(), name);
        QVERIFY(!action("actionExportCSV")->isEnabled());
        QVERIFY(!action("actionLockApplication")->isEnabled());
        QVERIFY(!child<QWidget>("widgetSearch")->isEnabled());
        QCOMPARE(child<QLabel>("labelUsedMemoryBytes")->text(), QStringLiteral("Available memory: 100%"));
        // Instead of an empty tab area, a hint on how to begin.
        QTRY_VERIFY(child<QLabel>("labelEmptyVault")->isVisible());
        QCOMPARE(child<QLabel>("labelEmptyVault")->text(), QStringLiteral("Create a tab with New to start."));
        QVERIFY(!child<QWidget>("tabWidget")->isVisible());

        window->setDataModified(true);
        QCOMPARE(window->windowTitle(), QStringLiteral("Corvane Key Manager [unsaved data]"));
        QVERIFY(child<QPushButton>("pushButtonWriteDevice")->isEnabled());
        window->setDataModified(false);
        QCOMPARE(window->windowTitle(), QStringLiteral("Corvane Key Manager"));
        QVERIFY(!child<QPushButton>("pushButtonWriteDevice")->isEnabled());

        // A vault with records: the fill level drops, the tab and search controls come alive.
        Vault vault = {{"Bank", {}}, {"Mail", {}}};
        for (int index = 0; index < 200; index++)
            vault[0].passwords.append(
                {QString("Account %1").arg(index), "login", "secret", "bank.example", ""});
        window->setVault(vault);
        window->updateWidgetsState();
        QVERIFY(child<QPushButton>("pushButtonRenameTab")->isEnabled());
        QVERIFY(child<QPushButton>("pushButtonNewPassword")->isEnabled());
        QVERIFY(!child<QLabel>("labelEmptyVault")->isVisible());
        QVERIFY(child<QWidget>("tabWidget")->isVisible());
        QVERIFY(child<QWidget>("widgetSearch")->isEnabled());
        QVERIFY(action("actionExportCSV")->isEnabled());
        QVERIFY(child<QLabel>("labelUsedMemoryBytes")->text() != QStringLiteral("Available memory: 100%"));
        // The save menu's plain "Save" needs a known master password; the other entry does not.
        QMenu* saveMenu = child<QPushButton>("pushButtonWriteDevice")->menu();
        QVERIFY(!saveMenu->actions().at(0)->isEnabled());
        QVERIFY(saveMenu->actions().at(1)->isEnabled());
    }

    void startMenuOpensTheEditorOrLooksForADevice()
    {
        // No device is connected here: the device selection page waits for one.
        qunsetenv("CORVANE_DEVICE_DIR");
        QTest::mouseClick(child<QPushButton>("pushButtonOpenDevice"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_SELECTION));
        QTest::mouseClick(window->view(VIEW_ID_DEVICE_SELECTION)->findChild<QPushButton*>("pushButtonCancel"),
                          Qt::LeftButton);
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));

        startEmptyVault();
        QVERIFY(isMenuBarShown());
        QVERIFY(action("actionImportCSV")->isEnabled());
        window->popView(VIEW_ID_COUNT);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

    void startMenuLinksAreOneKeyboardStopEach()
    {
        auto* initialization = child<QLabel>("labelDeviceInitialization");
        // Keys go to the focus widget of the active window only.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        // Tab and Shift+Tab walk the page twice round each: never twice in a row on the same widget (a label
        // and then its link), and each link is reached.
        child<QPushButton>("pushButtonOpenDevice")->setFocus();
        QList<QWidget*> stops = {QApplication::focusWidget()};
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab})
        {
            for (int step = 0; step < 8; step++)
            {
                QTest::keyClick(QApplication::focusWidget(), key);
                QVERIFY(QApplication::focusWidget() != stops.last());
                stops.append(QApplication::focusWidget());
            }
        }
        QVERIFY(stops.contains(child<QLabel>("labelGettingStarted")));
        QVERIFY(stops.contains(initialization));
        QAccessibleInterface* link = QAccessible::queryAccessibleInterface(initialization);
        QCOMPARE(link->role(), QAccessible::Link);
        QCOMPARE(link->text(QAccessible::Name), QStringLiteral("Start initializing your Corvane"));
        QCOMPARE(QAccessible::queryAccessibleInterface(child<QWidget>("svgWidgetLogo"))->role(),
                 QAccessible::Graphic);

        // Return on the link, reached backwards, follows it rather than pressing the page's default button.
        while (QApplication::focusWidget() != initialization)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTest::keyClick(initialization, Qt::Key_Return);
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

    void sharedPagesDispatchTheirAnswerToTheTabCommands()
    {
        startEmptyVault();
        auto* tabWidget = child<QTabWidget>("tabWidget");

        QTest::mouseClick(child<QPushButton>("pushButtonNewTab"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_LINE_INPUT_DIALOG));
        auto* lineEdit = window->view(VIEW_ID_LINE_INPUT_DIALOG)->findChild<QLineEdit*>("lineEdit");
        QTest::keyClicks(lineEdit, "Bank");
        QTest::keyClick(lineEdit, Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(tabWidget->count(), 1);
        QCOMPARE(tabWidget->tabText(0), QStringLiteral("Bank"));
        QVERIFY(window->isDataModified());

        // A cancelled name changes nothing.
        QTest::mouseClick(child<QPushButton>("pushButtonNewTab"), Qt::LeftButton);
        QTest::mouseClick(
            window->view(VIEW_ID_LINE_INPUT_DIALOG)->findChild<QPushButton*>("pushButtonCancel"),
            Qt::LeftButton);
        QCOMPARE(tabWidget->count(), 1);

        window->setDataModified(false);
        QTest::mouseClick(child<QPushButton>("pushButtonRemoveTab"), Qt::LeftButton);
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_MESSAGE_BOX_DIALOG));
        QTest::mouseClick(messageBoxButton("pushButtonNo"), Qt::LeftButton);
        QCOMPARE(tabWidget->count(), 1);
        QVERIFY(!window->isDataModified());

        QTest::mouseClick(child<QPushButton>("pushButtonRemoveTab"), Qt::LeftButton);
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_MESSAGE_BOX_DIALOG));
        QTest::mouseClick(messageBoxButton("pushButtonYes"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(tabWidget->count(), 0);
        QVERIFY(window->isDataModified());
        QVERIFY(!child<QPushButton>("pushButtonRemoveTab")->isEnabled());
    }

    void closingTheWindowClearsOnlyAClipboardItFilled()
    {
        // The user's own clipboard content is none of the application's business.
        QApplication::clipboard()->setText(QStringLiteral("the user's own text"));
        delete window;
        window = nullptr;
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("the user's own text"));

        init();
        startEmptyVault();
        window->setVault({{"Mail", {{"Mailbox", "me@example.org", "secret", "mail.example", ""}}}});
        auto* table = window->findChild<PasswordTable*>();
        QVERIFY(table);
        table->setCurrentCell(0, PasswordTable::COLUMN_PASSWORD);
        table->copyAction()->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("secret"));
        QVERIFY(child<QPushButton>("pushButtonClearClipboard")->isEnabled());

        delete window;
        window = nullptr;
        QVERIFY(QApplication::clipboard()->text().isEmpty());

        // Copied over in another program after the application's copy: no longer the application's.
        init();
        startEmptyVault();
        window->copyToClipboard(QStringLiteral("secret"));
        QApplication::clipboard()->setText(QStringLiteral("copied later elsewhere"));
        delete window;
        window = nullptr;
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("copied later elsewhere"));
    }
};

QTEST_MAIN(TestMainWindowShell)
#include "test_main_window_shell.moc"
