#include "FormContentEditor.h"

#include "PasswordTable.h"
#include "SensitiveClipboard.h"
#include "device/Device.h"
#include "ui_FormContentEditor.h"
#include "vault/MemoryImage.h"
#include "vault/SecureMemory.h"
#include "views/ViewBase.h"
#include "views/ViewContentApplicationLicense.h"
#include "views/ViewContentApplicationLocked.h"
#include "views/ViewContentConfigureDevice.h"
#include "views/ViewContentDeviceCopyWizardPage1.h"
#include "views/ViewContentDeviceCopyWizardPage2.h"
#include "views/ViewContentDeviceCopyWizardPage3.h"
#include "views/ViewContentDeviceCopyWizardPage4.h"
#include "views/ViewContentDeviceErasingWizardPage1.h"
#include "views/ViewContentDeviceErasingWizardPage2.h"
#include "views/ViewContentDeviceErasingWizardPage3.h"
#include "views/ViewContentDeviceSelection.h"
#include "views/ViewContentImportCSVFile.h"
#include "views/ViewContentInsertReadingMasterPassword.h"
#include "views/ViewContentInsertWritingMasterPassword.h"
#include "views/ViewContentLineInputDialog.h"
#include "views/ViewContentPasswordHealth.h"
#include "views/ViewContentPasswordInformation.h"
#include "views/ViewContentReadDevice.h"
#include "views/ViewContentSettings.h"
#include "views/ViewContentShowDeviceInformation.h"
#include "views/ViewContentStartMenu.h"
#include "views/ViewContentWriteDevice.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <vector>

FormContentEditor* mainWindow = nullptr;

namespace
{
// Stands in for a page whose workflow is not part of this build yet, so that every page keeps its
// fixed index in the stacked widget.
class ViewContentPlaceholder : public ViewContentBase
{
public:
    explicit ViewContentPlaceholder(QWidget* parent) : ViewContentBase(parent)
    {
        auto* layout = new QVBoxLayout(this);
        auto* label = new QLabel(FormContentEditor::tr("This page is not available in this build."), this);
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }

    void activate() override {}
};
} // namespace

FormContentEditor::FormContentEditor(QWidget* parent) : QMainWindow(parent), form(new Ui::FormContentEditor)
{
    form->setupUi(this);
    saveMenu = new QMenu(this);

    createViews();
    initializeMenusAndShortcuts();
    connectSignals();
    initializeEditing();
    initializeKeyboard();
    initializeCsv();
    initializeProtection();
    initializeDeviceOpenSave();
    initializeDeviceMaintenance();
    initializeDeviceBackup();
    initializeHelp();
    initializePasswordHealth();

    updateWidgetsState();
    switchView(initialViewId());
}

FormContentEditor::~FormContentEditor()
{
    // Whatever the application put on the clipboard may be a password: it must not outlive the session.
    // Only what is still ours goes: a text copied later in another program stays.
    SensitiveClipboard::instance()->disconnect(this);
    SensitiveClipboard::instance()->clear();
    // Before the tables go: the analysis shares their records, which zero-fill only what they hold alone.
    clearPasswordHealth();
    secureClearString(masterPassword);
    clearCopyWizardData();
    delete form;
}

void FormContentEditor::createViews()
{
    viewContentStartMenu = new ViewContentStartMenu(this);
    viewContentPasswordInformation = new ViewContentPasswordInformation(this);
    viewContentLineInputDialog = new ViewContentLineInputDialog(this);
    viewContentMessageBoxDialog = new ViewContentMessageBoxDialog(this);
    viewContentImportCSVFile = new ViewContentImportCSVFile(this);
    viewContentSettings = new ViewContentSettings(this);
    viewContentApplicationLocked = new ViewContentApplicationLocked(this);
    viewContentReadDevice = new ViewContentReadDevice(this);
    viewContentWriteDevice = new ViewContentWriteDevice(this);
    viewContentInsertReadingMasterPassword = new ViewContentInsertReadingMasterPassword(this);
    viewContentInsertWritingMasterPassword = new ViewContentInsertWritingMasterPassword(this);
    viewContentDeviceSelection = new ViewContentDeviceSelection(this);
    viewContentShowDeviceInformation = new ViewContentShowDeviceInformation(this);
    viewContentConfigureDevice = new ViewContentConfigureDevice(this);
    viewContentDeviceErasingWizardPage1 = new ViewContentDeviceErasingWizardPage1(this);
    viewContentDeviceErasingWizardPage2 = new ViewContentDeviceErasingWizardPage2(this);
    viewContentDeviceErasingWizardPage3 = new ViewContentDeviceErasingWizardPage3(this);
    viewContentDeviceCopyWizardPage1 = new ViewContentDeviceCopyWizardPage1(this);
    viewContentDeviceCopyWizardPage2 = new ViewContentDeviceCopyWizardPage2(this);
    viewContentDeviceCopyWizardPage3 = new ViewContentDeviceCopyWizardPage3(this);
    viewContentDeviceCopyWizardPage4 = new ViewContentDeviceCopyWizardPage4(this);
    viewContentPasswordHealth = new ViewContentPasswordHealth(this);

    const QString noTitle = QStringLiteral("<No title set>");
    const struct
    {
        ViewContentBase* content;
        QString title;
    } pages[VIEW_ID_COUNT] = {
        {nullptr, QString()}, // the vault editor, page 0 of the form
        {viewContentStartMenu, tr("Welcome!")},
        {viewContentPasswordInformation, noTitle},
        {viewContentReadDevice, tr("Reading device memories...")},
        {viewContentWriteDevice, tr("Writing device memories...")},
        {viewContentInsertReadingMasterPassword, tr("Insert master password")},
        {viewContentInsertWritingMasterPassword, tr("Insert master password")},
        {viewContentDeviceSelection, tr("Detected devices")},
        {new ViewContentApplicationLicense(this), tr("Corvane Key Manager license and news")},
        {viewContentShowDeviceInformation, tr("Device information")},
        {viewContentConfigureDevice, tr("Configure device")},
        {viewContentSettings, tr("Settings")},
        {viewContentLineInputDialog, noTitle},
        {viewContentMessageBoxDialog, noTitle},
        {viewContentDeviceErasingWizardPage1, tr("Device erasing wizard")},
        {viewContentDeviceErasingWizardPage2, tr("Erasing confirmation")},
        {viewContentDeviceErasingWizardPage3, tr("Successful erasure")},
        {viewContentDeviceCopyWizardPage1, tr("Device copy wizard")},
        {viewContentDeviceCopyWizardPage2, tr("Read source device content")},
        {viewContentDeviceCopyWizardPage3, tr("Write content to target device")},
        {viewContentDeviceCopyWizardPage4, tr("Successful device duplication")},
        {viewContentApplicationLocked, tr("Application is locked")},
        {viewContentImportCSVFile, tr("Import a CSV file")},
        {viewContentPasswordHealth, tr("Password health")},
    };

    for (int viewId = VIEW_ID_CONTENT_EDITOR + 1; viewId < VIEW_ID_COUNT; viewId++)
    {
        ViewContentBase* content = pages[viewId].content;
        if (!content)
            content = new ViewContentPlaceholder(this);
        views[viewId] = new ViewBase(content, pages[viewId].title, this);
        const int index = form->stackedWidget->addWidget(views[viewId]);
        Q_ASSERT(index == viewId);
    }
}

void FormContentEditor::initializeMenusAndShortcuts()
{
    form->menuFile->insertSeparator(form->actionSettings);
    form->menuFile->insertSeparator(form->actionQuit);
    form->menuHelp->insertSeparator(form->actionAbout);

    form->pushButtonNextSearchResult->setShortcut(QKeySequence(Qt::Key_F3));
    form->pushButtonPreviousSearchResult->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    searchShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    clearClipboardShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_K), this);

    actionSaveMenuWrite = saveMenu->addAction(tr("Save"));
    actionSaveMenuChangePasswordThenWrite =
        saveMenu->addAction(tr("Set/change the master password then save"));
    form->pushButtonWriteDevice->setMenu(saveMenu);
}

void FormContentEditor::connectSignals()
{
    connect(form->actionQuit, &QAction::triggered, this, &FormContentEditor::_slotActionQuitTriggered);

    connect(viewContentStartMenu, &ViewContentStartMenu::openDeviceClicked, this,
            &FormContentEditor::_slotViewStartMenuOpenDeviceClicked);
    connect(viewContentStartMenu, &ViewContentStartMenu::initializeDeviceClicked, this,
            &FormContentEditor::_slotViewStartMenuInitializeDeviceClicked);
    connect(viewContentMessageBoxDialog, &ViewContentMessageBoxDialog::dialogExited, this,
            &FormContentEditor::_slotViewContentMessageBoxDialogDialogExited);
    connect(viewContentLineInputDialog, &ViewContentLineInputDialog::insertionFinished, this,
            &FormContentEditor::_slotViewContentLineInputDialogInsertionFinished);
}

// View stack ---------------------------------------------------------------------------------------------

void FormContentEditor::showView(int viewId, bool isLeavingViewNotified, bool isEnteringViewNotified)
{
    const int currentId = activeViewId();
    if (isLeavingViewNotified && currentId != VIEW_ID_CONTENT_EDITOR)
        views[currentId]->contentWidget()->deactivate();
    if (isEnteringViewNotified && viewId != VIEW_ID_CONTENT_EDITOR)
        views[viewId]->contentWidget()->activate();
    // Workflows go on behind the locked page; what they show waits there for the unlock.
    if (!isApplicationUnlocked)
    {
        viewIdUnderLock = viewId;
        return;
    }
    displayView(viewId);
}

void FormContentEditor::displayView(int viewId)
{
    menuBar()->setVisible(viewId == VIEW_ID_CONTENT_EDITOR || viewId == VIEW_ID_START_MENU);
    form->stackedWidget->setCurrentIndex(viewId);
    updateKeyboardCommandsState();

    // A page chooses its focus widget while hidden (activate(), setContent()); hand it the focus now that
    // it shows, wherever the focus was before.
    if (QWidget* focusWidget = form->stackedWidget->currentWidget()->focusWidget())
        focusWidget->setFocus();
}

void FormContentEditor::pushView(int viewId)
{
    viewStack.push(activeViewId());
    showView(viewId, false, true);
}

void FormContentEditor::switchView(int viewId)
{
    showView(viewId, true, true);
}

void FormContentEditor::popView(int targetViewId)
{
    if (viewStack.isEmpty())
        return;
    if (targetViewId == VIEW_ID_COUNT)
        targetViewId = viewStack.top();

    int poppedViewId;
    do
    {
        poppedViewId = viewStack.pop();
        showView(poppedViewId, true, false);
    } while (!viewStack.isEmpty() && poppedViewId != targetViewId);
}

void FormContentEditor::removeView(int viewId)
{
    if (activeViewId() == viewId)
    {
        popView(VIEW_ID_COUNT);
        return;
    }
    // Covered by other pages: its entry goes, so that the page above it returns to the one below it.
    const qsizetype index = viewStack.lastIndexOf(viewId);
    if (index < 0)
        return;
    viewStack.remove(index);
    views[viewId]->contentWidget()->deactivate();
}

void FormContentEditor::removeView(const ViewContentBase* page)
{
    for (int viewId = VIEW_ID_CONTENT_EDITOR + 1; viewId < VIEW_ID_COUNT; viewId++)
    {
        if (views[viewId] && views[viewId]->contentWidget() == page)
        {
            removeView(viewId);
            return;
        }
    }
}

void FormContentEditor::clearViewStack()
{
    viewStack.clear();
}

int FormContentEditor::currentViewId() const
{
    return form->stackedWidget->currentIndex();
}

int FormContentEditor::activeViewId() const
{
    return isApplicationUnlocked ? currentViewId() : viewIdUnderLock;
}

ViewBase* FormContentEditor::view(int viewId) const
{
    if (viewId <= VIEW_ID_CONTENT_EDITOR || viewId >= VIEW_ID_COUNT)
        return nullptr;
    return views[viewId];
}

void FormContentEditor::replaceViewContent(int viewId, ViewContentBase* content)
{
    ViewBase* oldFrame = view(viewId);
    if (!oldFrame || !content)
        return;
    auto* newFrame = new ViewBase(content, oldFrame->title(), this);
    const bool wasCurrent = currentViewId() == viewId;
    form->stackedWidget->insertWidget(viewId, newFrame);
    form->stackedWidget->removeWidget(oldFrame);
    views[viewId] = newFrame;
    if (wasCurrent)
        form->stackedWidget->setCurrentIndex(viewId);
    delete oldFrame;
}

// Messages -----------------------------------------------------------------------------------------------

void FormContentEditor::pushMessageBoxDialogView(ViewContentMessageBoxDialog::Icon icon, const QString& title,
                                                 const QString& text, int buttons,
                                                 ViewContentMessageBoxDialog::Button defaultButton)
{
    views[VIEW_ID_MESSAGE_BOX_DIALOG]->setTitle(title);
    viewContentMessageBoxDialog->setContent(icon, text, buttons, defaultButton);
    // Pushed from the event loop: a slot that asks for a message and then pops its own page gets the
    // message on top of the page the pop revealed, not underneath it.
    QTimer::singleShot(0, this, &FormContentEditor::_slotPushMessageBoxDialogViewTimeout);
}

void FormContentEditor::pushLineInputDialogView(const QString& title, const QString& label,
                                                const QString& initialText)
{
    views[VIEW_ID_LINE_INPUT_DIALOG]->setTitle(title);
    viewContentLineInputDialog->setContent(label, initialText);
    pushView(VIEW_ID_LINE_INPUT_DIALOG);
}

void FormContentEditor::_slotPushMessageBoxDialogViewTimeout()
{
    pushView(VIEW_ID_MESSAGE_BOX_DIALOG);
}

void FormContentEditor::_slotViewContentMessageBoxDialogDialogExited(int button)
{
    const bool isConfirmed = button == ViewContentMessageBoxDialog::BUTTON_YES;

    switch (pendingOperation)
    {
    case PENDING_OPERATION_CONFIRM_OPEN_DEVICE:
        // Anything but Yes keeps the edited vault.
        if (isConfirmed)
            startOpeningDevice();
        break;
    case PENDING_OPERATION_WRITE_DEVICE:
        if (isConfirmed)
            encryptAndWriteVault();
        else
            closeCurrentDevice();
        break;
    case PENDING_OPERATION_RESTORE_DEVICE:
        if (isConfirmed)
            writeRestoredImage();
        else
        {
            closeCurrentDevice();
            clearRestoreData();
        }
        break;
    case PENDING_OPERATION_REMOVE_PASSWORD:
        if (isConfirmed)
        {
            removeSelectedPassword();
            setDataModified(true);
        }
        break;
    case PENDING_OPERATION_REMOVE_TAB:
        if (isConfirmed)
        {
            removeCurrentTab();
            setDataModified(true);
        }
        break;
    default:
        break;
    }
}

void FormContentEditor::_slotViewContentLineInputDialogInsertionFinished(bool isValid, QString text)
{
    if (!isValid)
        return;

    switch (pendingOperation)
    {
    case PENDING_OPERATION_NEW_TAB:
    case PENDING_OPERATION_RENAME_TAB:
    case PENDING_OPERATION_DUPLICATE_TAB:
        handleTabNameInserted(text);
        break;
    default:
        break;
    }
}

// State ----------------------------------------------------------------------------------------------------

void FormContentEditor::setDataModified(bool isModified)
{
    _isDataModified = isModified;
    restartPasswordHealthAnalysis();
    setWindowTitle(isModified ? tr("Corvane Key Manager [unsaved data]") : tr("Corvane Key Manager"));
    updateWidgetsState();
}

bool FormContentEditor::isDataModified() const
{
    return _isDataModified;
}

void FormContentEditor::updateWidgetsState()
{
    const PasswordTable* table = currentTable();
    const bool isTabPresent = form->tabWidget->count() > 0;
    const bool isCellSelected = table && table->hasSelectedCell();
    const bool isRecordPresent = table && table->passwordCount() > 0;

    form->pushButtonWriteDevice->setEnabled(_isDataModified);
    form->pushButtonEditPassword->setEnabled(isCellSelected);
    form->pushButtonRemovePassword->setEnabled(isCellSelected);
    form->pushButtonNewPassword->setEnabled(isTabPresent);
    form->pushButtonRenameTab->setEnabled(isTabPresent);
    form->pushButtonDuplicateTab->setEnabled(isTabPresent);
    form->pushButtonRemoveTab->setEnabled(isTabPresent);
    form->actionLockApplication->setEnabled(isApplicationUnlocked && isMasterPasswordKnown);
    form->actionExportCSV->setEnabled(isRecordPresent);
    form->widgetSearch->setEnabled(isRecordPresent);
    form->actionPasswordHealth->setEnabled(isTabPresent);
    // A vault that never had a master password can only be saved after choosing one.
    actionSaveMenuWrite->setEnabled(isMasterPasswordKnown);
    updateFillLabel();
    updatePasswordHealthSummary();
    updateKeyboardCommandsState();
}

void FormContentEditor::updateFillLabel()
{
    std::vector<uint8_t> image(MEMORY_IMAGE_SIZE);
    const int freeCount = serializeVault(image.data());
    // The encoding is the plaintext of the vault.
    secureZeroMemory(image.data(), image.size());
    form->labelUsedMemoryBytes->setText(tr("Available memory: %1%").arg(getVaultFillPercentage(freeCount)));
}

// Start menu ---------------------------------------------------------------------------------------------

void FormContentEditor::_slotViewStartMenuInitializeDeviceClicked()
{
    form->actionImportCSV->setEnabled(true);
    // A new vault belongs to no device yet: no backup status until it is saved.
    vaultDeviceUsbSerialNumber.clear();
    updateDeviceBackupLabel();
    switchView(VIEW_ID_CONTENT_EDITOR);
    clearViewStack();
}

// Closing ------------------------------------------------------------------------------------------------

void FormContentEditor::_slotActionQuitTriggered()
{
    close();
}

void FormContentEditor::closeEvent(QCloseEvent* event)
{
    if (confirmClose())
        event->accept();
    else
        event->ignore();
}

bool FormContentEditor::confirmClose()
{
    // The locked page lets the user quit, unless a device transfer runs behind it: cut off, it would leave
    // the device half written.
    const int viewId = activeViewId();
    const bool isInSubview = isApplicationUnlocked
                                 ? viewId != VIEW_ID_CONTENT_EDITOR && viewId != VIEW_ID_START_MENU
                                 : viewId == VIEW_ID_READ_DEVICE || viewId == VIEW_ID_WRITE_DEVICE;
    if (isInSubview)
    {
        QMessageBox::warning(this, tr("Warning"),
                             tr("You are currently in a subview of the application.\nUse the buttons at the "
                                "bottom of the view to exit."),
                             QMessageBox::Ok);
        return false;
    }

    if (_isDataModified)
    {
        const QMessageBox::StandardButton answer = QMessageBox::warning(
            this, tr("Warning"),
            tr("You did not write your modifications to the device.\nDo you really want to quit?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        return answer == QMessageBox::Yes;
    }
    return true;
}
