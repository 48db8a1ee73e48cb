#pragma once

#include "mainwindow/ApplicationLockState.h"
#include "mainwindow/VaultSessionState.h"
#include "mainwindow/WindowPages.h"
#include "vault/VaultTab.h"
#include "views/ViewContentMessageBoxDialog.h"
#include "views/ViewId.h"
#include "workflows/DeviceWorkflow.h"
#include "workflows/WorkflowHost.h"

#include <QDate>
#include <QDateTime>
#include <QMainWindow>
#include <QPointer>
#include <QStack>
#include <QString>

#include <cstdint>
#include <functional>

class Device;
class PasswordHealthAnalysis;
class PasswordTable;
class QDataStream;
class SecureImageBuffer;
class QAction;
class QNetworkReply;
class UpdateChecker;
class QShortcut;
class ViewBase;
class ViewContentBase;
struct PasswordRecord;

namespace Ui
{
class FormContentEditor;
}

// The application's only window, the host: the vault editor (page 0), the view stack of the pages pushed
// over it, the lock and the menus. Each device workflow is an object of its own (mainwindow/workflows/)
// that the window creates, starts and whose result it shows. Its definition is split by subject:
// FormContentEditor.cpp (construction, view stack, messages, widget state, close handling),
// FormContentEditorEditing.cpp (tabs, records, search, clipboard), FormContentEditorDeviceWorkflows.cpp
// (hosting the workflows, the backup reminder), and one file per other subject.
class FormContentEditor : public QMainWindow, public WorkflowHost
{
    Q_OBJECT

public:
    explicit FormContentEditor(QWidget* parent = nullptr);
    ~FormContentEditor() override;

    // View stack.
    void pushView(int viewId) override;
    void switchView(int viewId) override;
    void popView(int targetViewId) override;
    void clearViewStack();
    // The page shown (the locked page while the application is locked).
    int currentViewId() const;
    // The page the workflows are on: the one shown, or while the application is locked the one the locked
    // page covers. The view stack operations above work on it; the locked page stays in front.
    int activeViewId() const override;
    // Takes a page's own entry out of the view stack: when it is the active page, as popView() does; when
    // other pages cover it, without showing anything. Pages leave through this, never by popping whatever
    // is on top, which may be another page (a message, the locked page).
    void removeView(int viewId);
    void removeView(const ViewContentBase* page) override;
    ViewBase* view(int viewId) const;

    // Messages shown as pages. The message box page is pushed on the next turn of the event loop.
    void pushMessageBoxDialogView(ViewContentMessageBoxDialog::Icon icon, const QString& title,
                                  const QString& text, int buttons,
                                  ViewContentMessageBoxDialog::Button defaultButton) override;
    void askQuestion(ViewContentMessageBoxDialog::Icon icon, const QString& title, const QString& text,
                     int buttons, ViewContentMessageBoxDialog::Button defaultButton,
                     std::function<void(int button)> answered) override;
    // accepted runs with the text when the user confirms it.
    void pushLineInputDialogView(const QString& title, const QString& label, const QString& initialText,
                                 std::function<void(const QString& text)> accepted = {});

    void setDataModified(bool isModified);
    bool isDataModified() const;
    void updateWidgetsState();

    // Vault <-> tabs (FormContentEditorEditing.cpp).
    PasswordTable* createTab(const QString& name);
    void refreshTabMenus(int currentTabIndex);
    Vault getVault() const;
    void setVault(const Vault& vault);
    // Masks every revealed password of every tab, for the screen and the screen reader alike (after an
    // unlock, say, nothing revealed before locking stays readable).
    void hideAllPasswords();
    // As setVault(), each table given the column widths kept for it (measured anew where none were kept).
    void setVault(const Vault& vault, const QList<QList<int>>& columnWidths);
    int serializeVault(uint8_t* buffer) const;
    void parseVault(const uint8_t* image);

    // Puts a text on the clipboard with the hint that keeps clipboard managers from storing it, and counts
    // down to clearing it when the settings ask for that.
    void copyToClipboard(const QString& text) override;

    // Replaces the content view of a page, keeping its frame and title; the previous content is deleted.
    // Lets a page be exchanged without rebuilding the window (tests observe the hooks this way).
    void replaceViewContent(int viewId, ViewContentBase* content);

    // Starts the update check that runs once after the start menu was first shown
    // (FormContentEditorProtection.cpp).
    void startAutomaticUpdateCheck() override;

    // Sees every event of the application (installed on it at start-up); user activity feeds the
    // auto-locking (FormContentEditorProtection.cpp).
    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // A new palette (the desktop switched to a dark theme, say) reaches the rich-text links of the status
    // area.
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    // FormContentEditor.cpp
    void _slotViewContentMessageBoxDialogDialogExited(int button);
    void _slotViewContentLineInputDialogInsertionFinished(bool isValid, QString text);

    // FormContentEditorEditing.cpp
    void _slotPushButtonNewPasswordClicked();
    void _slotPushButtonEditPasswordClicked();
    void _slotPushButtonRemovePasswordClicked();
    void _slotPushButtonNewTabClicked();
    void _slotPushButtonRenameTabClicked();
    void _slotPushButtonDuplicateTabClicked();
    void _slotPushButtonRemoveTabClicked();
    void _slotPasswordTableDataCopied();
    void _slotViewContentPasswordInformationPasswordModified(PasswordRecord* pointerPassword,
                                                             int passwordToReplaceIndex);

private:
    void showView(int viewId, bool isLeavingViewNotified, bool isEnteringViewNotified);
    // Puts the page in front, with the menu bar of the pages that have one and the page's focus widget.
    void displayView(int viewId);
    void createViews();
    void initializeMenusAndShortcuts();

    // FormContentEditorEditing.cpp: connects the editor's widgets (called once by the constructor),
    // and the actions the shared pages' dispatchers delegate to.
    void initializeEditing();
    void removeCurrentTab();
    PasswordTable* currentTable() const;
    PasswordTable* tableAt(int tabIndex) const;
    void searchText(bool isForward);

    // Editing state (FormContentEditorEditing.cpp)
    // Empties the clipboard and the selection of what is still ours (the Clear button, locking, quitting).
    void clearClipboard();
    // A table for a new last tab, connected to the window, without refreshing the tab menus.
    PasswordTable* createTable(const QString& name);
    // The name of a tab as the user gave it (the tab bar shows it with "&" escaped).
    QString tabName(int tabIndex) const;

    Ui::FormContentEditor* form;
    ViewBase* views[VIEW_ID_COUNT] = {};
    WindowPages pages;
    QStack<int> viewStack;

    VaultSessionState vaultSession;
    bool isClipboardUsed = false;
    // The user chose "Save to device" on quitting: the next save closes the window once it succeeded.
    bool isQuittingAfterSave = false;
    // What the answer to the question on the message page and the text of the line input page go to.
    std::function<void(int button)> messageBoxAnswerHandler;
    std::function<void(const QString& text)> lineInputHandler;

    QAction* actionSaveMenuWrite = nullptr;
    QAction* actionSaveMenuChangePasswordThenWrite = nullptr;
    QString lastCsvDirectory;

    // Csv (FormContentEditorCsv.cpp)
public:
    // Asks where to export the current tab, given the proposed file name; an empty answer means cancelled.
    // By default the save-file dialog; tests answer in its place.
    using ExportFileNameAsker = std::function<QString(const QString& proposedFileName)>;
    // An empty function restores the dialog.
    void setExportFileNameAsker(ExportFileNameAsker asker);

private Q_SLOTS:
    void _slotActionExportCSVTriggered();
    void _slotViewContentImportCSVFileFileSelected(QString completeFileName, QChar fieldsSeparatorCharacter,
                                                   bool isColumnsOrderFixed, QString newTabName,
                                                   int selectedExistingTabIndex,
                                                   bool areExistingPasswordsReplaced);

private:
    void initializeCsv();

    ExportFileNameAsker exportFileNameAsker;
    // Protection (FormContentEditorProtection.cpp): auto-locking, screenshot protection, the settings page
    // and the update check.
public:
    // The master password of the data shown, as the user typed it; locking the application needs one.
    void setKnownMasterPassword(const QString& password);
    // True while the locked page covers the window.
    bool isApplicationLocked() const;
    bool askAcrossLock(const std::function<void()>& ask) override;

Q_SIGNALS:
    // The right password was typed: the window and the page that was open are back.
    void applicationUnlocked();

private Q_SLOTS:
    void _slotActionLockApplicationClicked();
    void _slotTimerSecondTimeout();
    void _slotViewContentApplicationLockedUnlockRequested(QString password);
    void _slotConfigurationNotifierChanged();
    void _slotSessionLockWatcherSessionLockRequested();

private:
    // Connects the protection's actions and pages and applies the settings (called once by the constructor).
    void initializeProtection();
    // Reads the locking, clipboard and screenshot settings and puts them into effect.
    void applySettings();
    // The guard of every command that reads, copies, exports, edits or saves the vault, or starts a device
    // command: true (refuse) while the application is locked.
    bool refuseWhenLocked() const;
    // Runs an event loop until the unlock; false when the application quit meanwhile.
    bool waitForUnlock();
    // Locking: everything secret the window and its pages hold goes into one encrypted blob, and the
    // widgets are emptied; the unlock reads it back. False (nothing wiped) when the encryption failed.
    bool sealWindowState();
    void writeWindowState(QDataStream& stream) const;
    void wipeWindowState();
    void restoreWindowState(const SecureImageBuffer& plaintext);
    // The pages behind the locked page, the menus and the actions: out of reach while locked.
    void setPagesBehindLockReachable(bool isReachable);
    // The locked page's line about a device transfer behind it.
    void updateLockedPageTransferLine();
    void disableActionsBehindLock();

    ApplicationLockState applicationLock;
    UpdateChecker* updateChecker = nullptr;
    // Device workflows (FormContentEditorDeviceWorkflows.cpp)
public:
    const WindowPages& windowPages() const override;
    void runWhenUnlocked(std::function<void()> action) override;
    QWidget* dialogParent() override;
    // The device the running workflow holds open, null when none (nothing may stay open after a workflow).
    const Device* workflowDevice() const;
    // Whether the copy wizard holds anything of a source device (content, passwords, name); lets tests check
    // that nothing outlives a copy.
    bool isCopyWizardDataHeld() const;

private:
    // Connects the device commands to the workflows they start (called once by the constructor).
    void initializeDeviceWorkflows();
    // Replaces any workflow left behind by newWorkflow (owned from now on), starts it and, after its success,
    // shows its result with succeeded.
    void startWorkflow(DeviceWorkflow* newWorkflow, std::function<void()> succeeded = {});
    void startOpeningDevice();
    void startSavingDevice();
    // "Save to device" on quitting: the Save command, then the close once the save succeeded.
    void saveThenQuit();

    QPointer<DeviceWorkflow> workflow;
    // Help (FormContentEditorHelp.cpp)
public:
    // The one-time offer of the getting-started page, run by the license page once the terms are accepted.
    void askFirstRunQuestion() override;
    // The build date and time shown by the About box, in the compiler's formats ("Nov 20 2025",
    // "09:23:02"); the ones of this build unless set otherwise.
    void setBuildDateAndTime(const QString& date, const QString& time);

private:
    void initializeHelp();

    QString buildDate;
    QString buildTime;
    // Password health (FormContentEditorPasswordHealth.cpp): the analysis that follows the vault, the count
    // of findings in the status area and the report page.
public:
    // How many ratings the analysis keeps cached; zero once a vault is replaced.
    int passwordHealthCachedRatingCount() const;
    // Every record of the vault shown has been rated.
    bool isPasswordHealthAnalysisFinished() const;

private Q_SLOTS:
    void _slotActionPasswordHealthTriggered();

private:
    void initializePasswordHealth();
    // Analyses the vault shown again (cached ratings make it quick after an edit).
    void restartPasswordHealthAnalysis();
    // Drops the analysis and its cached ratings: the vault is closed or replaced.
    void clearPasswordHealth();
    void updatePasswordHealthSummary();
    void refreshPasswordHealthPage();

    PasswordHealthAnalysis* passwordHealthAnalysis = nullptr;
    // Device backups (FormContentEditorDeviceWorkflows.cpp): the askers of the backup files, and the reminder
    // of devices changed since their last backup.
public:
    // Asks where to save a backup (given the proposed path) or which backup to restore (given the folder);
    // an empty answer means cancelled. By default the file dialogs; tests answer in their place.
    using BackupFileNameAsker = std::function<QString(const QString& proposedPath)>;
    void setBackupFileNameAskers(BackupFileNameAsker saveAsker, BackupFileNameAsker openAsker);

private:
    // The status area line about the last backup of the device the vault came from.
    void updateDeviceBackupLabel();
    // Shows or hides the status line of a vault opened without an integrity seal.
    void updateVaultSealLabel();

    BackupFileNameAsker backupSaveFileNameAsker;
    BackupFileNameAsker backupOpenFileNameAsker;
    // Keyboard (FormContentEditorKeyboard.cpp): the editor's commands as actions with shortcuts, shown in
    // the menus and the buttons' tool tips, and the help page of each page.
public:
    // The help page about the page shown.
    QString currentPageHelpName() const;

private:
    void initializeKeyboard();
    // The editor's actions act only while the vault editor is shown: on the other pages their keys belong to
    // the page (Return, Delete, Ctrl+C in a field).
    void updateKeyboardCommandsState();
    // The context menu's Remove and editing by double click and Return, for a new table.
    void connectTableKeyboardCommands(PasswordTable* table);
    // The selected record of the shown tab, or null.
    const PasswordRecord* selectedRecord() const;
    // After a vault was opened: its first record selected, so that Edit and Remove work at once.
    void selectFirstRecord();

    QShortcut* editRecordShortcut = nullptr;
    QShortcut* contextMenuShortcut = nullptr;
};

// The one main window, set at start-up. Pages reach the window that shows them as a ViewHost instead.
extern FormContentEditor* mainWindow;
