#pragma once

#include "mainwindow/ApplicationLockState.h"
#include "mainwindow/CopyWizardState.h"
#include "mainwindow/DeviceOpenSaveState.h"
#include "mainwindow/DeviceRestoreState.h"
#include "mainwindow/UpdateCheckState.h"
#include "mainwindow/VaultSessionState.h"
#include "mainwindow/WindowPages.h"
#include "vault/VaultTab.h"
#include "views/ViewContentMessageBoxDialog.h"
#include "views/ViewHost.h"
#include "views/ViewId.h"

#include <QDate>
#include <QDateTime>
#include <QMainWindow>
#include <QStack>
#include <QString>

#include <cstdint>
#include <functional>

class Device;
class PasswordHealthAnalysis;
class PasswordTable;
class QAction;
class QNetworkReply;
class QShortcut;
class ViewBase;
class ViewContentBase;
struct PasswordRecord;

namespace Ui
{
class FormContentEditor;
}

// The application's only window: the vault editor (page 0) and the pages pushed over it.
// Its definition is split by workflow: FormContentEditor.cpp (construction, view stack, messages, widget
// state, close handling), FormContentEditorEditing.cpp (tabs, records, search, clipboard), and one file
// per later workflow.
class FormContentEditor : public QMainWindow, public ViewHost
{
    Q_OBJECT

public:
    explicit FormContentEditor(QWidget* parent = nullptr);
    ~FormContentEditor() override;

    // View stack.
    void pushView(int viewId);
    void switchView(int viewId) override;
    void popView(int targetViewId) override;
    void clearViewStack();
    // The page shown (the locked page while the application is locked).
    int currentViewId() const;
    // The page the workflows are on: the one shown, or while the application is locked the one the locked
    // page covers. The view stack operations above work on it; the locked page stays in front.
    int activeViewId() const;
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
    void _slotSensitiveClipboardClearingCountdownChanged(int remainingSeconds);
    void _slotSensitiveClipboardCopiedTextCleared();
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
    // Puts the page in front, with the menu bar of the pages that have one and the page's focus widget.
    void displayView(int viewId);
    void createViews();
    void initializeMenusAndShortcuts();
    void connectSignals();
    void updateEmptyVaultHint();
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
    // Empties the clipboard and the selection of what is still ours (the Clear button, locking, quitting).
    void clearClipboard();
    // A table for a new last tab, connected to the window, without refreshing the tab menus.
    PasswordTable* createTable(const QString& name);
    // Removes every tab and destroys its table.
    void removeAllTabs();
    // The name of a tab as the user gave it (the tab bar shows it with "&" escaped).
    QString tabName(int tabIndex) const;

    Ui::FormContentEditor* form;
    ViewBase* views[VIEW_ID_COUNT] = {};
    WindowPages pages;
    QStack<int> viewStack;

    VaultSessionState vaultSession;
    bool isClipboardUsed = false;
    PendingOperation pendingOperation = PENDING_OPERATION_OPEN_DEVICE;

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
    void _slotActionImportCSVTriggered();
    void _slotActionExportCSVTriggered();
    void _slotViewContentImportCSVFileFileSelected(QString completeFileName, QChar fieldsSeparatorCharacter,
                                                   bool isColumsOrderFixed, QString newTabName,
                                                   int selectedExistingTabIndex,
                                                   bool areExistingPasswordsReplaced);

private:
    void initializeCsv();
    // Offers the header detection for a file whose first line looks like column titles; true when accepted.
    bool isHeaderDetectionPreferred(const QString& fileName, QChar fieldsSeparatorCharacter);
    QString proposedExportFileName() const;
    QString askExportFileName(const QString& proposedFileName);

    ExportFileNameAsker exportFileNameAsker;
    // Protection (FormContentEditorProtection.cpp): auto-locking, screenshot protection, the settings page
    // and the update check.
public:
    // The master password of the data shown, as the user typed it; locking the application needs one.
    void setKnownMasterPassword(const QString& password);
    // True while the locked page covers the window.
    bool isApplicationLocked() const;

private Q_SLOTS:
    void _slotActionLockApplicationClicked();
    void _slotActionSettingsTriggered();
    void _slotActionSoftwareUpdateCheckTriggered();
    void _slotTimerSecondTimeout();
    void _slotViewContentApplicationLockedApplicationUnlocked();
    void _slotViewContentSettingsConfigurationChanged();
    void _slotNetworkAccessManagerFinished(QNetworkReply* pointerReply);
    void _slotSessionLockWatcherSessionLockRequested();

private:
    // Connects the protection's actions and pages and applies the settings (called once by the constructor).
    void initializeProtection();
    // Reads the locking, clipboard and screenshot settings and puts them into effect.
    void applySettings();
    void startUpdateCheck();
    void sendUpdateCheckRequest(bool isManual);
    void showUpdateCheckResult(const UpdateCheckState::Result& result);

    // A read or write that finishes behind the locked page waits there: its workflow goes on after the
    // unlock, so that no message, question or decrypted vault shows while the application is locked.
    ApplicationLockState applicationLock;
    // A reply that arrives while the application is locked waits in it until the unlock.
    UpdateCheckState updateCheck;
    // DeviceOpenSave (FormContentEditorDeviceOpenSave.cpp)
public:
    // The message that opening a device failed, with a hint on how to get access when the reason was a
    // permission (errorNumber: Device::lastOpenErrorNumber()).
    static QString openDeviceFailureMessage(int errorNumber);
    // "\nCause: the device keeps sending data that nobody asked for." (empty when the message says it).
    static QString openDeviceFailureCause(const Device& device);

private Q_SLOTS:
    void _slotActionOpenDeviceClicked();
    void _slotActionWriteDeviceTriggered();
    void _slotActionChangePasswordThenWriteDeviceTriggered();
    void _slotViewContentDeviceSelectionDeviceSelected(bool isOperationSuccessful);
    void _slotViewContentInsertReadingMasterPasswordInsertionFinished(bool isValid, QString password);
    void _slotViewContentInsertWritingMasterPasswordInsertionFinished(bool isValid, QString password);
    void _slotViewContentReadDeviceReadFinished(int returnValue);
    void _slotViewContentWriteDeviceWriteFinished(int returnValue);

private:
    void initializeDeviceOpenSave();
    // The open step of every device workflow: 0 when the only connected device is now the current device
    // and open, 1 when the device selection page was pushed instead (the workflow goes on in
    // _slotViewContentDeviceSelectionDeviceSelected), -1 after an error message.
    int openDevice();
    // Pending operation "open", then the open step; the password page follows when a device is open.
    void startOpeningDevice();
    void completeOpenDevice();
    void askSaveConfirmation();
    // Names the device by name and serial number, and warns when it is not the one the vault came from.
    QString saveConfirmationText(const Device* device) const;
    // Pushes the device selection page; when saving, the device the vault came from is preselected.
    void pushDeviceSelectionView();
    void encryptAndWriteVault();
    void verifyWrittenDevice();
    void showErrorMessage(const QString& text, const QString& title = QString());

    // Shared with the device maintenance workflows. Each reports its failures itself (one message, the
    // current device closed).
    // Chooses between the current device's main and backup images (asking when they differ) and decrypts
    // the chosen one with password, trying every format version on a working copy. Returns the device
    // buffer that now holds the plaintext, or null after a failure.
    uint8_t* decryptCurrentDeviceImage(const QString& password);
    // The message for a failed read (readFinished code), then closeCurrentDevice().
    void reportReadDeviceFailure(int returnValue);
    // The message for a failed write (writeFinished code), then closeCurrentDevice().
    void reportWriteDeviceFailure(int returnValue);
    // The "Write error" text: what was read back is not what was written.
    // Compares both memories just read back with the images kept by the save and releases them; on a
    // difference (or with nothing saved) the failure is reported and the device closed.
    bool verifyCurrentDeviceAgainstSavedImages();
    static QString writeErrorMessage();
    // True when both memories read back into the current device's buffers equal the expected images;
    // otherwise the "Write error" message and closeCurrentDevice().
    bool verifyCurrentDeviceMemories(const uint8_t* expectedMainImage, const uint8_t* expectedBackupImage);

    // Hooks of the device maintenance workflows (FormContentEditorDeviceMaintenance*.cpp): the device
    // selection and read-finished dispatchers hand their pending operation over to them.
    // After the device selection, with the chosen device current and open:
    void continueShowDeviceInformation(); // pending 4: show the device information page
    void continueConfigureDevice();       // pending 5: show the configure device page
    void continueEraseDevice();           // pending 9: write the erased images
    void continueCopyReadSourceDevice();  // pending 10: read the source device
    void continueCopyWriteTargetDevice(); // pending 11: write the copy target
    // After the read progress page, with its result code (any code: a hook reports failures itself,
    // for example through reportReadDeviceFailure()):
    void continueEraseDeviceRead(int returnValue);      // pending 9: erase verification
    void continueCopySourceDeviceRead(int returnValue); // pending 10: copy source decryption
    void continueCopyTargetDeviceRead(int returnValue); // pending 11: copy verification

    DeviceOpenSaveState deviceOpenSave;

    // Device maintenance (FormContentEditorDeviceMaintenance.cpp)
public:
    // Whether the copy wizard holds anything of a source device (content, passwords, name); lets tests check
    // that nothing outlives a copy.
    bool isCopyWizardDataHeld() const;

private Q_SLOTS:
    void _slotActionShowDeviceInformation();
    void _slotActionChangeDeviceNameTriggered();
    void _slotActionCopyDeviceTriggered();
    void _slotActionEraseDeviceTriggered();
    void _slotViewContentConfigureDeviceConfigurationLoadingFailed(int returnValue);
    void _slotViewContentDeviceErasingWizardErasingConfirmed(bool isDeviceNameResetRequested);
    void _slotViewContentDeviceCopyWizardSourceDevicePasswordInserted(QString password);
    void _slotViewContentDeviceCopyWizardTargetDevicePasswordInserted(QString password);
    // Page 2 or 3 of the copy wizard was left backwards: the copy is over, its secrets go.
    void _slotViewContentDeviceCopyWizardPageLeft();

private:
    void initializeDeviceMaintenance();
    void eraseCurrentDevice();
    // Both memories read back must be zero; then the dated name if it was asked for.
    void verifyErasedDevice();
    void decryptCopySourceDevice();
    void writeCopyTargetDevice();
    // Whether the device must not be written as a copy or restore target (its backup disable flag is set or
    // unreadable); if so the user was told why and the device is closed.
    [[nodiscard]] bool isRefusedAsBackupTarget(Device* device, const QString& refusalText);
    // The duplication settings with both serial numbers, and a warning when source and target are one device.
    QString copyConfirmationText(const Device* targetDevice) const;
    void verifyCopyTargetDevice();

    bool isDeviceNameResetRequested = false;
    CopyWizardState copyWizard;
    // Help (FormContentEditorHelp.cpp)
public:
    // The one-time offer of the getting-started page, run by the license page once the terms are accepted.
    void askFirstRunQuestion() override;
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
    // Password health (FormContentEditorPasswordHealth.cpp): the analysis that follows the vault, the count
    // of findings in the status area and the report page.
public:
    // How many ratings the analysis keeps cached; zero once a vault is replaced.
    int passwordHealthCachedRatingCount() const;
    // Every record of the vault shown has been rated.
    bool isPasswordHealthAnalysisFinished() const;

private Q_SLOTS:
    void _slotActionPasswordHealthTriggered();
    void _slotLabelPasswordHealthLinkActivated(const QString& link);
    void _slotPasswordHealthAnalysisAnalysisProgressed(int ratedRecordCount, int recordCount);
    void _slotViewContentPasswordHealthFindingRecordEditRequested(int tabIndex, int recordIndex);

private:
    void initializePasswordHealth();
    // Analyses the vault shown again (cached ratings make it quick after an edit).
    void restartPasswordHealthAnalysis();
    // Drops the analysis and its cached ratings: the vault is closed or replaced.
    void clearPasswordHealth();
    void updatePasswordHealthSummary();
    void refreshPasswordHealthPage();
    // The master password when it is known for the vault shown, otherwise an empty string.
    const QString& passwordHealthMasterPassword() const;

    PasswordHealthAnalysis* passwordHealthAnalysis = nullptr;
    // Device backups (FormContentEditorDeviceBackup.cpp): a device's encrypted image saved to a file and
    // written back, and the reminder of devices changed since their last backup.
public:
    // Asks where to save a backup (given the proposed path) or which backup to restore (given the folder);
    // an empty answer means cancelled. By default the file dialogs; tests answer in their place.
    using BackupFileNameAsker = std::function<QString(const QString& proposedPath)>;
    void setBackupFileNameAskers(BackupFileNameAsker saveAsker, BackupFileNameAsker openAsker);
    // The proposed file name of a backup: "<device name> <YYYY-MM-DD>.corvane-backup".
    static QString proposedBackupFileName(const QString& deviceName, const QDate& date);

private Q_SLOTS:
    void _slotActionBackUpDeviceTriggered();
    void _slotActionRestoreDeviceTriggered();

private:
    void initializeDeviceBackup();
    // pending 14, after the read: checks that the image decrypts, then saves it.
    void completeBackupDevice();
    // pending 15: the restore file's password was typed.
    void checkRestoreFilePassword(const QString& password);
    // pending 16, with the target device open: the backup disable flag, then the confirmation.
    void continueRestoreDevice();
    // pending 16, confirmed: writes the file's image to both memories.
    void writeRestoredImage();
    // pending 17, after the read-back.
    void verifyRestoredDevice();
    // When the application last saved to the device / backed it up (invalid when never).
    static QDateTime deviceBackupDate(const QString& usbSerialNumber, const char* key);
    static void setDeviceBackupDate(const QString& usbSerialNumber, const char* key);
    static bool isBackupReminderEnabled();
    // The status area line about the last backup of the device the vault came from.
    void updateDeviceBackupLabel();
    // The reminder line of the save success message, empty when the device's last backup is newer.
    QString backupReminderAfterSave(const QString& usbSerialNumber) const;

    BackupFileNameAsker backupSaveFileNameAsker;
    BackupFileNameAsker backupOpenFileNameAsker;
    DeviceRestoreState deviceRestore;
    // Keyboard (FormContentEditorKeyboard.cpp): the editor's commands as actions with shortcuts, shown in
    // the menus and the buttons' tool tips, and the help page of each page.
public:
    // The help page about the page shown.
    QString currentPageHelpName() const;

private Q_SLOTS:
    void _slotActionSaveToDeviceTriggered();
    void _slotActionCopyLoginTriggered();
    void _slotActionCopyPasswordTriggered();
    void _slotActionShowPasswordTriggered();
    void _slotActionPageHelpTriggered();
    void _slotShortcutContextMenuActivated();
    void _slotPasswordTableCellDoubleClicked(int row, int column);

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
