#include "FormContentEditor.h"

#include "PasswordTable.h"
#include "app/Configuration.h"
#include "common/SecureMemory.h"
#include "device/Device.h"
#include "ui_FormContentEditor.h"
#include "vault/MemoryImage.h"
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
#include "widgets/SensitiveClipboard.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <vector>

FormContentEditor* mainWindow = nullptr;

FormContentEditor::FormContentEditor(QWidget* parent) : QMainWindow(parent), form(new Ui::FormContentEditor)
{
    form->setupUi(this);

    createViews();
    initializeMenusAndShortcuts();
    initializeEditing();
    initializeKeyboard();
    initializeCsv();
    initializeProtection();
    initializeDeviceWorkflows();
    initializeHelp();
    initializePasswordHealth();

    updateWidgetsState();
    // The license and news page until this version's terms were accepted, otherwise the start menu.
    const QString acceptedVersion = settingValue(SETTING_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION);
    switchView(acceptedVersion == QLatin1String(APPLICATION_VERSION) ? VIEW_ID_START_MENU
                                                                     : VIEW_ID_APPLICATION_LICENSE);
}

FormContentEditor::~FormContentEditor()
{
    // Whatever the application put on the clipboard may be a password: it must not outlive the session.
    // Only what is still ours goes: a text copied later in another program stays.
    SensitiveClipboard::instance()->disconnect(this);
    SensitiveClipboard::instance()->clear();
    // Before the tables go: the analysis shares their records, which zero-fill only what they hold alone.
    clearPasswordHealth();
    // Before the pages it drives; it zero-fills its passwords and images and closes its device.
    delete workflow.data();
    delete form;
}

void FormContentEditor::createViews()
{
    pages.startMenu = new ViewContentStartMenu(this);
    pages.passwordInformation = new ViewContentPasswordInformation(this);
    pages.lineInputDialog = new ViewContentLineInputDialog(this);
    pages.messageBoxDialog = new ViewContentMessageBoxDialog(this);
    pages.importCSVFile = new ViewContentImportCSVFile(this);
    pages.settings = new ViewContentSettings(this);
    pages.applicationLocked = new ViewContentApplicationLocked(this);
    pages.readDevice = new ViewContentReadDevice(this);
    pages.writeDevice = new ViewContentWriteDevice(this);
    pages.insertReadingMasterPassword = new ViewContentInsertReadingMasterPassword(this);
    pages.insertWritingMasterPassword = new ViewContentInsertWritingMasterPassword(this);
    pages.deviceSelection = new ViewContentDeviceSelection(this);
    pages.showDeviceInformation = new ViewContentShowDeviceInformation(this);
    pages.configureDevice = new ViewContentConfigureDevice(this);
    pages.deviceErasingWizardPage1 = new ViewContentDeviceErasingWizardPage1(this);
    pages.deviceErasingWizardPage2 = new ViewContentDeviceErasingWizardPage2(this);
    pages.deviceErasingWizardPage3 = new ViewContentDeviceErasingWizardPage3(this);
    pages.deviceCopyWizardPage1 = new ViewContentDeviceCopyWizardPage1(this);
    pages.deviceCopyWizardPage2 = new ViewContentDeviceCopyWizardPage2(this);
    pages.deviceCopyWizardPage3 = new ViewContentDeviceCopyWizardPage3(this);
    pages.deviceCopyWizardPage4 = new ViewContentDeviceCopyWizardPage4(this);
    pages.passwordHealth = new ViewContentPasswordHealth(this);

    const QString noTitle = QStringLiteral("<No title set>");
    const struct
    {
        ViewContentBase* content;
        QString title;
    } contents[VIEW_ID_COUNT] = {
        {nullptr, QString()}, // the vault editor, page 0 of the form
        {pages.startMenu, tr("Welcome!")},
        {pages.passwordInformation, noTitle},
        {pages.readDevice, tr("Reading device memories...")},
        {pages.writeDevice, tr("Writing device memories...")},
        {pages.insertReadingMasterPassword, tr("Insert master password")},
        {pages.insertWritingMasterPassword, tr("Insert master password")},
        {pages.deviceSelection, tr("Detected devices")},
        {new ViewContentApplicationLicense(this), tr("Corvane Key Manager license and news")},
        {pages.showDeviceInformation, tr("Device information")},
        {pages.configureDevice, tr("Configure device")},
        {pages.settings, tr("Settings")},
        {pages.lineInputDialog, noTitle},
        {pages.messageBoxDialog, noTitle},
        {pages.deviceErasingWizardPage1, tr("Device erasing wizard")},
        {pages.deviceErasingWizardPage2, tr("Erasing confirmation")},
        {pages.deviceErasingWizardPage3, tr("Successful erasure")},
        {pages.deviceCopyWizardPage1, tr("Device copy wizard")},
        {pages.deviceCopyWizardPage2, tr("Read source device content")},
        {pages.deviceCopyWizardPage3, tr("Write content to target device")},
        {pages.deviceCopyWizardPage4, tr("Successful device duplication")},
        {pages.applicationLocked, tr("Application is locked")},
        {pages.importCSVFile, tr("Import a CSV file")},
        {pages.passwordHealth, tr("Password health")},
    };

    for (int viewId = VIEW_ID_CONTENT_EDITOR + 1; viewId < VIEW_ID_COUNT; viewId++)
    {
        views[viewId] = new ViewBase(contents[viewId].content, contents[viewId].title, this);
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

    auto* saveMenu = new QMenu(this);
    actionSaveMenuWrite = saveMenu->addAction(tr("&Save"));
    actionSaveMenuChangePasswordThenWrite =
        saveMenu->addAction(tr("Set/change the &master password then save"));
    form->pushButtonWriteDevice->setMenu(saveMenu);
    // Also where the keyboard finds it without the Save button's menu.
    form->menuFile->insertAction(form->actionLockApplication, actionSaveMenuChangePasswordThenWrite);

    connect(form->actionQuit, &QAction::triggered, this, &QWidget::close);

    connect(pages.startMenu, &ViewContentStartMenu::initializeDeviceClicked, this,
            [this]()
            {
                form->actionImportCSV->setEnabled(true);
                // A new vault belongs to no device yet: no backup status until it is saved.
                vaultSession.deviceUsbSerialNumber.clear();
                vaultSession.saveCounter = 0;
                vaultSession.isSealMissing = false;
                updateDeviceBackupLabel();
                updateVaultSealLabel();
                switchView(VIEW_ID_CONTENT_EDITOR);
                clearViewStack();
            });
    connect(pages.messageBoxDialog, &ViewContentMessageBoxDialog::dialogExited, this,
            &FormContentEditor::_slotViewContentMessageBoxDialogDialogExited);
    connect(pages.lineInputDialog, &ViewContentLineInputDialog::insertionFinished, this,
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
    if (!applicationLock.isApplicationUnlocked)
    {
        if (isLeavingViewNotified)
            applicationLock.viewIdsChangedWhileLocked.insert(currentId);
        if (isEnteringViewNotified)
            applicationLock.viewIdsChangedWhileLocked.insert(viewId);
        applicationLock.viewIdUnderLock = viewId;
        updateLockedPageTransferLine();
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
    if (!applicationLock.isApplicationUnlocked)
        applicationLock.viewIdsChangedWhileLocked.insert(viewId);
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
    return applicationLock.isApplicationUnlocked ? currentViewId() : applicationLock.viewIdUnderLock;
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
    // A message replaces any question not answered yet.
    messageBoxAnswerHandler = nullptr;
    views[VIEW_ID_MESSAGE_BOX_DIALOG]->setTitle(title);
    pages.messageBoxDialog->setContent(icon, text, buttons, defaultButton);
    // Pushed from the event loop: a slot that asks for a message and then pops its own page gets the
    // message on top of the page the pop revealed, not underneath it.
    QTimer::singleShot(0, this, [this]() { pushView(VIEW_ID_MESSAGE_BOX_DIALOG); });
}

void FormContentEditor::askQuestion(ViewContentMessageBoxDialog::Icon icon, const QString& title,
                                    const QString& text, int buttons,
                                    ViewContentMessageBoxDialog::Button defaultButton,
                                    std::function<void(int button)> answered)
{
    pushMessageBoxDialogView(icon, title, text, buttons, defaultButton);
    messageBoxAnswerHandler = std::move(answered);
}

void FormContentEditor::pushLineInputDialogView(const QString& title, const QString& label,
                                                const QString& initialText,
                                                std::function<void(const QString& text)> accepted)
{
    lineInputHandler = std::move(accepted);
    views[VIEW_ID_LINE_INPUT_DIALOG]->setTitle(title);
    pages.lineInputDialog->setContent(label, initialText);
    pushView(VIEW_ID_LINE_INPUT_DIALOG);
}

void FormContentEditor::_slotViewContentMessageBoxDialogDialogExited(int button)
{
    // Taken first: the answer may ask the next question.
    const std::function<void(int)> answered = std::move(messageBoxAnswerHandler);
    messageBoxAnswerHandler = nullptr;
    if (answered)
        answered(button);
}

void FormContentEditor::_slotViewContentLineInputDialogInsertionFinished(bool isValid, QString text)
{
    const std::function<void(const QString&)> accepted = std::move(lineInputHandler);
    lineInputHandler = nullptr;
    if (isValid && accepted)
        accepted(text);
}

// State ----------------------------------------------------------------------------------------------------

void FormContentEditor::setDataModified(bool isModified)
{
    vaultSession.isDataModified = isModified;
    restartPasswordHealthAnalysis();
    setWindowTitle(isModified ? tr("Corvane Key Manager [unsaved data]") : tr("Corvane Key Manager"));
    updateWidgetsState();
}

bool FormContentEditor::isDataModified() const
{
    return vaultSession.isDataModified;
}

void FormContentEditor::updateWidgetsState()
{
    const PasswordTable* table = currentTable();
    const bool isTabPresent = form->tabWidget->count() > 0;
    const bool isCellSelected = table && table->hasSelectedCell();
    const bool isRecordPresent = table && table->passwordCount() > 0;

    form->pushButtonWriteDevice->setEnabled(vaultSession.isDataModified);
    form->pushButtonEditPassword->setEnabled(isCellSelected);
    form->pushButtonRemovePassword->setEnabled(isCellSelected);
    form->pushButtonNewPassword->setEnabled(isTabPresent);
    form->pushButtonRenameTab->setEnabled(isTabPresent);
    form->pushButtonDuplicateTab->setEnabled(isTabPresent);
    form->pushButtonRemoveTab->setEnabled(isTabPresent);
    // During the first open Ctrl+L is taken too: the vault the open brings is then locked at once.
    form->actionLockApplication->setEnabled(applicationLock.isApplicationUnlocked &&
                                            (vaultSession.isMasterPasswordKnown() || workflow));
    form->actionExportCSV->setEnabled(isRecordPresent);
    form->widgetSearch->setEnabled(isRecordPresent);
    form->actionPasswordHealth->setEnabled(isTabPresent);
    // A vault that never had a master password can only be saved after choosing one.
    actionSaveMenuWrite->setEnabled(vaultSession.isMasterPasswordKnown());
    // An empty tab area says nothing: without a tab the hint takes its place.
    form->tabWidget->setVisible(isTabPresent);
    form->labelEmptyVault->setVisible(!isTabPresent);
    // The encoding is the plaintext of the vault.
    SecureImageBuffer image(MEMORY_IMAGE_SIZE);
    const int freeCount = serializeVault(image.data());
    form->labelUsedMemoryBytes->setText(tr("Available memory: %1%").arg(getVaultFillPercentage(freeCount)));
    updatePasswordHealthSummary();
    updateKeyboardCommandsState();
    disableActionsBehindLock();
}

// Closing ------------------------------------------------------------------------------------------------

void FormContentEditor::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // A label's links take the palette's link colour when its text is parsed (and setting the same text again
    // parses nothing): the summary is written anew. The analysis exists once the form is set up.
    if (event->type() == QEvent::PaletteChange && passwordHealthAnalysis)
    {
        form->labelPasswordHealth->clear();
        updatePasswordHealthSummary();
    }
}

void FormContentEditor::closeEvent(QCloseEvent* event)
{
    // The locked page lets the user quit, unless a device transfer runs behind it: cut off, it would leave
    // the device half written.
    const int viewId = activeViewId();
    const bool isInSubview = applicationLock.isApplicationUnlocked
                                 ? viewId != VIEW_ID_CONTENT_EDITOR && viewId != VIEW_ID_START_MENU
                                 : viewId == VIEW_ID_READ_DEVICE || viewId == VIEW_ID_WRITE_DEVICE;
    if (isInSubview)
    {
        // The progress pages have no buttons to leave them by: they say what to wait for instead.
        QString text = tr("You are currently in a subview of the application.\nUse the buttons at the "
                          "bottom of the view to exit.");
        // The locked page shows no progress, only a line saying whether the transfer still runs.
        if (!applicationLock.isApplicationUnlocked)
            text = ViewContentApplicationLocked::quitRefusalText();
        else if (viewId == VIEW_ID_READ_DEVICE)
            text = ViewContentReadDevice::quitRefusalText();
        else if (viewId == VIEW_ID_WRITE_DEVICE)
            text = ViewContentWriteDevice::quitRefusalText();
        QMessageBox::warning(this, tr("Warning"), text, QMessageBox::Ok);
        event->ignore();
        return;
    }

    if (vaultSession.isDataModified)
    {
        // Saving from the locked page would write a vault nobody unlocked: there, only quit or stay.
        const bool isSaveOffered = applicationLock.isApplicationUnlocked;
        QMessageBox box(
            QMessageBox::Warning, tr("Warning"),
            tr("You did not write your modifications to the device.\nDo you really want to quit?"),
            QMessageBox::Discard | QMessageBox::Cancel, this);
        if (isSaveOffered)
        {
            box.addButton(QMessageBox::Save);
            box.button(QMessageBox::Save)->setText(tr("&Save to device"));
        }
        box.button(QMessageBox::Discard)->setText(tr("&Quit without saving"));
        box.setDefaultButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        const int answer = box.exec();
        if (answer != QMessageBox::Discard)
        {
            event->ignore();
            // The window closes once the save succeeded; anything else leaves it open.
            if (answer == QMessageBox::Save && applicationLock.isApplicationUnlocked)
                saveThenQuit();
            return;
        }
    }
    event->accept();
}
