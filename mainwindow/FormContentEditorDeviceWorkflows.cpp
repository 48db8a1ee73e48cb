// The window as host of the device workflows (mainwindow/workflows/): it creates one for each command,
// starts it and shows its result, and keeps the reminder of devices changed since their last backup (when
// each device was last backed up and last saved to, shown in the status area and after a save). Only one
// workflow runs at a time; what it does between its pages is its own business.
#include "FormContentEditor.h"

#include "DeviceBackupRecord.h"
#include "app/Configuration.h"
#include "common/SecureMemory.h"
#include "ui_FormContentEditor.h"
#include "views/ViewContentInsertWritingMasterPassword.h"
#include "views/ViewContentStartMenu.h"
#include "widgets/PlainTextMessage.h"
#include "workflows/BackUpDeviceWorkflow.h"
#include "workflows/ConfigureDeviceWorkflow.h"
#include "workflows/CopyDeviceWorkflow.h"
#include "workflows/DeviceInformationWorkflow.h"
#include "workflows/EraseDeviceWorkflow.h"
#include "workflows/OpenDeviceWorkflow.h"
#include "workflows/RestoreDeviceWorkflow.h"
#include "workflows/SaveDeviceWorkflow.h"

#include <QFileDialog>
#include <QLocale>
#include <QTimer>

#include <utility>

namespace
{
template <typename Workflow>
Workflow* _withVaultDevice_helper(Workflow* workflow, const QString& usbSerialNumber)
{
    workflow->setVaultDeviceUsbSerialNumber(usbSerialNumber);
    return workflow;
}
} // namespace

void FormContentEditor::initializeDeviceWorkflows()
{
    connect(form->actionOpenDevice, &QAction::triggered, this,
            [this]()
            {
                if (refuseWhenLocked())
                    return;
                if (!vaultSession.isDataModified)
                {
                    startOpeningDevice();
                    return;
                }
                askQuestion(
                    ViewContentMessageBoxDialog::ICON_QUESTION, tr("Opening a device"),
                    tr("You have made some modifications to the currently displayed data without "
                       "saving them.\nDo you confirm overwriting such unsaved data with the content of "
                       "the newly opened device?"),
                    ViewContentMessageBoxDialog::BUTTON_YES | ViewContentMessageBoxDialog::BUTTON_NO,
                    ViewContentMessageBoxDialog::BUTTON_NO,
                    // Anything but Yes keeps the edited vault.
                    [this](int button)
                    {
                        if (button == ViewContentMessageBoxDialog::BUTTON_YES)
                            startOpeningDevice();
                    });
            });
    // Nothing can be lost from the start menu: no question.
    connect(pages.startMenu, &ViewContentStartMenu::openDeviceClicked, this,
            &FormContentEditor::startOpeningDevice);

    connect(actionSaveMenuWrite, &QAction::triggered, this, &FormContentEditor::startSavingDevice);
    connect(actionSaveMenuChangePasswordThenWrite, &QAction::triggered, this,
            [this]()
            {
                if (refuseWhenLocked())
                    return;
                pushView(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD);
            });
    connect(pages.insertWritingMasterPassword, &ViewContentInsertWritingMasterPassword::insertionFinished,
            this,
            [this](bool isValid, QString password)
            {
                // Cancelled: the vault keeps its previous master password, and a quit waiting for the save
                // is called off.
                if (!isValid || refuseWhenLocked())
                {
                    isQuittingAfterSave = false;
                    return;
                }
                vaultSession.replaceMasterPassword(password, true);
                secureClearString(password);
                updateWidgetsState();
                startSavingDevice();
            });

    // Information, configuration and backup concern the vault's own device most often: it comes chosen.
    connect(form->actionDisplaySerialNumber, &QAction::triggered, this,
            [this]()
            {
                startWorkflow(_withVaultDevice_helper(new DeviceInformationWorkflow(*this),
                                                      vaultSession.deviceUsbSerialNumber));
            });
    connect(form->actionConfigureDevice, &QAction::triggered, this,
            [this]()
            {
                startWorkflow(_withVaultDevice_helper(new ConfigureDeviceWorkflow(*this),
                                                      vaultSession.deviceUsbSerialNumber));
            });
    connect(form->actionEraseDevice, &QAction::triggered, this,
            [this]() { startWorkflow(new EraseDeviceWorkflow(*this)); });
    connect(form->actionCopyDevice, &QAction::triggered, this,
            [this]() { startWorkflow(new CopyDeviceWorkflow(*this)); });
    connect(form->actionBackUpDevice, &QAction::triggered, this,
            [this]()
            {
                auto* backUp =
                    new BackUpDeviceWorkflow(*this,
                                             [this](const QString& proposedPath)
                                             {
                                                 if (backupSaveFileNameAsker)
                                                     return backupSaveFileNameAsker(proposedPath);
                                                 return QFileDialog::getSaveFileName(
                                                     this, tr("Back up the device to a file"), proposedPath,
                                                     tr("Device backups (*.corvane-backup)"));
                                             });
                startWorkflow(_withVaultDevice_helper(backUp, vaultSession.deviceUsbSerialNumber),
                              [this, backUp]()
                              {
                                  DeviceBackupRecord::recordNow(backUp->deviceUsbSerialNumber(),
                                                                CONFIGURATION_KEY_DEVICE_LAST_BACKUP);
                                  updateDeviceBackupLabel();
                              });
            });
    connect(form->actionRestoreDevice, &QAction::triggered, this,
            [this]()
            {
                startWorkflow(
                    new RestoreDeviceWorkflow(*this,
                                              [this](const QString& directory)
                                              {
                                                  if (backupOpenFileNameAsker)
                                                      return backupOpenFileNameAsker(directory);
                                                  return QFileDialog::getOpenFileName(
                                                      this, tr("Restore a device from a file"), directory,
                                                      tr("Device backups (*.corvane-backup);;All files (*)"));
                                              }));
            });
    updateDeviceBackupLabel();
    updateVaultSealLabel();
}

// Hosting -------------------------------------------------------------------------------------------------

void FormContentEditor::startWorkflow(DeviceWorkflow* newWorkflow, std::function<void()> succeeded)
{
    if (refuseWhenLocked())
        return;
    // One workflow at a time: one left behind (a wizard closed half-way) lets go of its pages and device.
    if (workflow)
    {
        workflow->abandon();
        workflow->disconnect(this);
        workflow->deleteLater();
    }
    workflow = newWorkflow;
    newWorkflow->setParent(this);
    updateWidgetsState();
    connect(newWorkflow, &DeviceWorkflow::finished, this,
            [this, newWorkflow, succeeded](DeviceWorkflow::Result result)
            {
                if (result == DeviceWorkflow::RESULT_SUCCESS && succeeded)
                    succeeded();
                // Not from within its own signal: it goes once the event loop is back.
                if (workflow == newWorkflow)
                    workflow = nullptr;
                newWorkflow->deleteLater();
                // A lock asked for during the first open: the vault it brought is locked at once.
                if (std::exchange(applicationLock.isLockPending, false))
                    _slotActionLockApplicationClicked();
                updateWidgetsState();
            });
    newWorkflow->start();
}

const WindowPages& FormContentEditor::windowPages() const
{
    return pages;
}

void FormContentEditor::runWhenUnlocked(std::function<void()> action)
{
    // A read or write that finishes behind the locked page waits there: its workflow goes on after the
    // unlock, so that no message, question or decrypted vault shows while the application is locked.
    if (applicationLock.isApplicationUnlocked)
        action();
    else
        applicationLock.deferUntilUnlocked(std::move(action));
}

QWidget* FormContentEditor::dialogParent()
{
    return this;
}

const Device* FormContentEditor::workflowDevice() const
{
    return workflow ? workflow->device() : nullptr;
}

bool FormContentEditor::isCopyWizardDataHeld() const
{
    const auto* copy = qobject_cast<const CopyDeviceWorkflow*>(workflow.data());
    return copy && copy->isDataHeld();
}

// Opening and saving --------------------------------------------------------------------------------------

void FormContentEditor::startOpeningDevice()
{
    if (refuseWhenLocked())
        return;
    auto* opening = new OpenDeviceWorkflow(*this);
    startWorkflow(opening,
                  [this, opening]()
                  {
                      vaultSession.replaceMasterPassword(opening->masterPassword(), true);
                      form->actionImportCSV->setEnabled(true);
                      vaultSession.deviceUsbSerialNumber = opening->deviceUsbSerialNumber();
                      vaultSession.saveCounter = opening->openedSeal().saveCounter;
                      vaultSession.isSealMissing = opening->openedSeal().state != VAULT_SEAL_VALID;
                      updateDeviceBackupLabel();
                      updateVaultSealLabel();
                      parseVault(opening->plaintextImage());
                      refreshTabMenus(0);
                      setDataModified(false);
                      switchView(VIEW_ID_CONTENT_EDITOR);
                      clearViewStack();
                      selectFirstRecord();
                  });
}

void FormContentEditor::saveThenQuit()
{
    isQuittingAfterSave = true;
    // As the Save command: a vault without a master password gets one first.
    if (vaultSession.isMasterPasswordKnown())
        startSavingDevice();
    else
        pushView(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD);
}

void FormContentEditor::startSavingDevice()
{
    // Only this save closes the window after it succeeded; a failed or cancelled one leaves it open.
    const bool isQuitting = std::exchange(isQuittingAfterSave, false);
    if (refuseWhenLocked())
        return;
    // Only a vault with a master password can be encrypted.
    if (!vaultSession.isMasterPasswordKnown())
        return;
    auto* saving = new SaveDeviceWorkflow(*this, getVault(), vaultSession.masterPassword(),
                                          vaultSession.deviceUsbSerialNumber, vaultSession.saveCounter);
    startWorkflow(
        saving,
        [this, saving, isQuitting]()
        {
            setDataModified(false);
            vaultSession.deviceUsbSerialNumber = saving->deviceUsbSerialNumber();
            vaultSession.saveCounter = saving->savedSeal().saveCounter;
            vaultSession.isSealMissing = saving->savedSeal().state != VAULT_SEAL_VALID;
            updateVaultSealLabel();
            DeviceBackupRecord::recordNow(vaultSession.deviceUsbSerialNumber,
                                          CONFIGURATION_KEY_DEVICE_LAST_SAVE);
            if (isQuitting)
            {
                // Nothing is left unsaved: the close the user asked for goes through, from the event loop
                // rather than from within the workflow's signal.
                QTimer::singleShot(0, this, &QWidget::close);
                return;
            }
            QString message =
                tr("All data were successfully written.\nYou can safely remove the device if you want.");
            const QString reminder =
                DeviceBackupRecord::reminderAfterSave(vaultSession.deviceUsbSerialNumber);
            if (!reminder.isEmpty())
                message += QLatin1Char('\n') + reminder;
            updateDeviceBackupLabel();
            pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_SUCCESS, tr("Write success"), message,
                                     ViewContentMessageBoxDialog::BUTTON_OK,
                                     ViewContentMessageBoxDialog::BUTTON_OK);
        });
}

void FormContentEditor::setBackupFileNameAskers(BackupFileNameAsker saveAsker, BackupFileNameAsker openAsker)
{
    backupSaveFileNameAsker = std::move(saveAsker);
    backupOpenFileNameAsker = std::move(openAsker);
}

// Reminder -------------------------------------------------------------------------------------------------

void FormContentEditor::updateDeviceBackupLabel()
{
    QLabel* label = form->labelDeviceBackup;
    if (!DeviceBackupRecord::isReminderEnabled() || vaultSession.deviceUsbSerialNumber.isEmpty())
    {
        label->clear();
        label->hide();
        return;
    }
    const QDateTime lastBackup =
        DeviceBackupRecord::date(vaultSession.deviceUsbSerialNumber, CONFIGURATION_KEY_DEVICE_LAST_BACKUP);
    label->setText(lastBackup.isValid()
                       ? tr("Last backup of this device: %1")
                             .arg(QLocale().toString(lastBackup.toLocalTime().date(), QLocale::ShortFormat))
                       : tr("This device was never backed up"));
    label->show();
}

void FormContentEditor::updateVaultSealLabel()
{
    // Quietly: a vault saved by other software is no alarm, but the user learns that it is not protected.
    form->labelVaultSeal->setText(
        vaultSession.isSealMissing ? tr("This vault has no integrity seal; saving it adds one") : QString());
    form->labelVaultSeal->setVisible(vaultSession.isSealMissing);
}
