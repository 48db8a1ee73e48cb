#pragma once

#include "mainwindow/ViewId.h"
#include "vault/VaultTab.h"
#include "views/ViewContentMessageBoxDialog.h"

#include <QMainWindow>
#include <QStack>
#include <QString>

class PasswordTable;
class QAction;
class QMenu;
class QShortcut;
class QTimer;
class ViewBase;
class ViewContentBase;
class ViewContentLineInputDialog;
class ViewContentPasswordInformation;
class ViewContentStartMenu;
struct PasswordRecord;

namespace Ui
{
class FormContentEditor;
}

// The application's only window: the vault editor (page 0) and the pages pushed over it.
// Its definition is split by workflow: FormContentEditor.cpp (construction, view stack, messages, widget
// state, close handling), FormContentEditorEditing.cpp (tabs, records, search, clipboard), and one file
// per later workflow.
class FormContentEditor : public QMainWindow
{
    Q_OBJECT

public:
    explicit FormContentEditor(QWidget* parent = nullptr);
    ~FormContentEditor() override;

    // View stack.
    void pushView(int viewId);
    void switchView(int viewId);
    void popView(int targetViewId);
    void clearViewStack();
    int currentViewId() const;
    ViewBase* view(int viewId) const;

    // Messages shown as pages. The message box page is pushed on the next turn of the event loop.
    void pushMessageBoxDialogView(ViewContentMessageBoxDialog::Icon icon, const QString& title,
                                  const QString& text, int buttons,
                                  ViewContentMessageBoxDialog::Button defaultButton);
    void pushLineInputDialogView(const QString& title, const QString& label, const QString& initialText);

    void setDataModified(bool isModified);
    bool isDataModified() const;
    void updateWidgetsState();

    // Vault <-> tabs (FormContentEditorEditing.cpp).
    PasswordTable* createTab(const QString& name);
    void refreshTabMenus(int currentTabIndex);
    Vault getVault() const;
    void setVault(const Vault& vault);
    int serializeVault(uint8_t* buffer) const;
    void parseVault(const uint8_t* image);

    // Puts a text on the clipboard with the hint that keeps clipboard managers from storing it.
    void copyToClipboard(const QString& text);

    // Replaces the content view of a page, keeping its frame and title; the previous content is deleted.
    // Lets a page be exchanged without rebuilding the window (tests observe the hooks this way).
    void replaceViewContent(int viewId, ViewContentBase* content);

    // Starts the update check that runs once after the start menu was first shown
    // (FormContentEditorProtection.cpp).
    void startAutomaticUpdateCheck();

    // Sees every event of the application (installed on it at start-up); user activity feeds the
    // auto-locking (FormContentEditorProtection.cpp).
    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private Q_SLOTS:
    // FormContentEditor.cpp
    void _slotActionQuitTriggered();
    void _slotPushMessageBoxDialogViewTimeout();
    void _slotViewContentMessageBoxDialogDialogExited(int button);
    void _slotViewContentLineInputDialogInsertionFinished(bool isValid, QString text);
    void _slotViewStartMenuInitializeDeviceClicked();

    // FormContentEditorDeviceOpenSave.cpp
    void _slotViewStartMenuOpenDeviceClicked();

    // FormContentEditorEditing.cpp
    void _slotPushButtonNewPasswordClicked();
    void _slotPushButtonEditPasswordClicked();
    void _slotPushButtonRemovePasswordClicked();
    void _slotPushButtonNewTabClicked();
    void _slotPushButtonRenameTabClicked();
    void _slotPushButtonDuplicateTabClicked();
    void _slotPushButtonRemoveTabClicked();
    void _slotPushButtonClearClipboardClicked();
    void _slotPasswordTableDataModified();
    void _slotPasswordTableDataCopied();
    void _slotTabWidgetCurrentChanged(int newTabIndex);
    void _slotTabWidgetTabMoved(int, int);
    void _slotLineEditSearchTextEdited(const QString& referenceText);
    void _slotLineEditSearchTextReturnPressed();
    void _slotPushButtonPreviousSearchResultClicked();
    void _slotPushButtonNextSearchResultClicked();
    void _slotShortcutFindActivated();
    void _slotViewContentPasswordInformationPasswordModified(PasswordRecord* pointerPassword,
                                                             int passwordToReplaceIndex);

private:
    void showView(int viewId, bool isLeavingViewNotified, bool isEnteringViewNotified);
    void createViews();
    void initializeMenusAndShortcuts();
    void connectSignals();
    void updateFillLabel();
    bool confirmClose();

    // FormContentEditorEditing.cpp: connects the editor's widgets (called once by the constructor),
    // and the actions the shared pages' dispatchers delegate to.
    void initializeEditing();
    void handleTabNameInserted(const QString& text);
    void removeSelectedPassword();
    void removeCurrentTab();
    PasswordTable* currentTable() const;
    PasswordTable* tableAt(int tabIndex) const;
    void searchText(bool isForward);
    bool searchInTable(const QString& text, PasswordTable* table, int& row, int& column, bool isForward,
                       bool isWrapping) const;

    // Editing state (FormContentEditorEditing.cpp)
    // A table for a new last tab, connected to the window, without refreshing the tab menus.
    PasswordTable* createTable(const QString& name);
    // Removes every tab and destroys its table.
    void removeAllTabs();
    // The name of a tab as the user gave it (the tab bar shows it with "&" escaped).
    QString tabName(int tabIndex) const;

    Ui::FormContentEditor* form;
    ViewBase* views[VIEW_ID_COUNT] = {};
    QStack<int> viewStack;

    QString masterPassword;
    bool isMasterPasswordKnown = false;
    bool _isDataModified = false;
    bool isClipboardUsed = false;
    PendingOperation pendingOperation = PENDING_OPERATION_OPEN_DEVICE;

    QMenu* saveMenu = nullptr;
    QAction* actionSaveMenuWrite = nullptr;
    QAction* actionSaveMenuChangePasswordThenWrite = nullptr;
    QShortcut* searchShortcut = nullptr;
    QShortcut* clearClipboardShortcut = nullptr;
    QString lastCsvDirectory;

    bool isApplicationUnlocked = true;

    ViewContentMessageBoxDialog* viewContentMessageBoxDialog = nullptr;
    ViewContentLineInputDialog* viewContentLineInputDialog = nullptr;
    ViewContentStartMenu* viewContentStartMenu = nullptr;
    ViewContentPasswordInformation* viewContentPasswordInformation = nullptr;

    // Help (FormContentEditorHelp.cpp)
public:
    // The one-time offer of the getting-started page, run by the license page once the terms are accepted.
    void askFirstRunQuestion();
    // The build date and time shown by the About box, in the compiler's formats ("Nov 20 2025",
    // "09:23:02"); the ones of this build unless set otherwise.
    void setBuildDateAndTime(const QString& date, const QString& time);

private Q_SLOTS:
    void _slotActionHelpTriggered();
    void _slotActionWebsiteTriggered();
    void _slotActionAboutTriggered();

private:
    void initializeHelp();
    // The license and news page until this version's terms were accepted, otherwise the start menu.
    int initialViewId() const;
    QString aboutText() const;

    QString buildDate;
    QString buildTime;
};

// The one main window, set at start-up; views reach the view stack through it.
extern FormContentEditor* mainWindow;
