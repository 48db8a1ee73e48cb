// Protection of what the window shows: locking after inactivity, on demand or with the session's screen
// lock and sleep, the clipboard's clearing delay, screenshot protection, the settings page that controls
// them, and the check for a newer application version.
#include "FormContentEditor.h"

#include "PasswordTable.h"
#include "SessionLockWatcher.h"
#include "UpdateChecker.h"
#include "app/Configuration.h"
#include "common/SecureBufferDevice.h"
#include "common/SecureImageBuffer.h"
#include "common/SecureMemory.h"
#include "ui_FormContentEditor.h"
#include "vault/LockedStateSeal.h"
#include "views/ViewBase.h"
#include "views/ViewContentApplicationLocked.h"
#include "views/ViewContentSettings.h"
#include "widgets/ScreenshotProtection.h"
#include "widgets/SecretFieldWiping.h"
#include "widgets/SensitiveClipboard.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDataStream>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>

#include <limits>

namespace
{
constexpr int AUTO_LOCKING_TIMER_INTERVAL_MILLISECONDS = 1000;
// Tells a sealed state of this layout from anything else (a blob of another version).
constexpr quint32 SEALED_STATE_LAYOUT = 0x434c5331;

bool _isUserInputEvent_helper(QEvent::Type type)
{
    switch (type)
    {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

// Nothing may stay usable over the locked page: open menus close (a table's context menu offers to copy a
// password), and modal dialogs are cancelled as with Escape (the file dialog of an export would otherwise
// let anyone write the passwords to a file). Bounded, in case a widget refuses to go.
void _closePopupsAndModalDialogs_helper()
{
    constexpr int MAXIMUM_NESTING = 16;
    for (int i = 0; i < MAXIMUM_NESTING; i++)
    {
        QWidget* popup = QApplication::activePopupWidget();
        if (!popup)
            break;
        popup->close();
    }
    for (int i = 0; i < MAXIMUM_NESTING; i++)
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            break;
        dialog->reject();
    }
}

} // namespace

void FormContentEditor::initializeProtection()
{
    applicationLock.timerSecond = new QTimer(this);
    applicationLock.timerSecond->setObjectName(QStringLiteral("timerSecond"));
    connect(applicationLock.timerSecond, &QTimer::timeout, this, &FormContentEditor::_slotTimerSecondTimeout);

    updateChecker = new UpdateChecker(*this, this);

    connect(form->actionLockApplication, &QAction::triggered, this,
            &FormContentEditor::_slotActionLockApplicationClicked);
    // The menu bar is hidden on most pages, and with it the shortcuts of its actions; owned by the window
    // too, "Ctrl+L" locks whatever page is shown.
    addAction(form->actionLockApplication);
    connect(form->actionSettings, &QAction::triggered, this,
            [this]()
            {
                // Behind the lock the settings would let anyone switch the locking off.
                if (refuseWhenLocked())
                    return;
                // Asked at each visit: the desktop's screen saver may have started after the application.
                pages.settings->setSessionLockDetectionAvailable(
                    applicationLock.sessionLockWatcher->isAvailable());
                pushView(VIEW_ID_SETTINGS);
            });
    connect(form->actionSoftwareUpdateCheck, &QAction::triggered, this,
            [this]() { updateChecker->start(true); });

    connect(pages.applicationLocked, &ViewContentApplicationLocked::unlockRequested, this,
            &FormContentEditor::_slotViewContentApplicationLockedUnlockRequested);
    // Whoever writes a setting (the settings page, the tests), the window follows it.
    connect(ConfigurationNotifier::instance(), &ConfigurationNotifier::changed, this,
            &FormContentEditor::_slotConfigurationNotifierChanged);

    applicationLock.sessionLockWatcher = SessionLockWatcher::createForThisSession(this);
    connect(applicationLock.sessionLockWatcher, &SessionLockWatcher::sessionLockRequested, this,
            &FormContentEditor::_slotSessionLockWatcherSessionLockRequested);

    applySettings();
}

// Settings -----------------------------------------------------------------------------------------------

void FormContentEditor::applySettings()
{
    applicationLock.isAutoLockingEnabled = settingValue(SETTING_IS_APPLICATION_AUTO_LOCKING_ENABLED);

    // The settings page keeps the delay between 1 and 1440 minutes, but the store can be edited by hand: a
    // negative delay locks as soon as possible rather than never, and a huge one cannot overflow.
    const int delayMinutes = settingValue(SETTING_APPLICATION_AUTO_LOCKING_DELAY_MINUTES);
    applicationLock.autoLockingDelaySeconds =
        qBound(0, delayMinutes, std::numeric_limits<int>::max() / 60) * 60;

    // The count of idle seconds goes on: saving the settings is no reason to forget the user's absence.
    if (applicationLock.isAutoLockingEnabled)
        applicationLock.timerSecond->start(AUTO_LOCKING_TIMER_INTERVAL_MILLISECONDS);
    else
        applicationLock.timerSecond->stop();

    applicationLock.isLockedWithSession = settingValue(SETTING_IS_APPLICATION_LOCKED_WITH_SESSION);
    // A copy already counting down keeps its delay; the new one applies from the next copy.
    SensitiveClipboard::instance()->setClearingDelaySeconds(
        settingValue(SETTING_CLIPBOARD_CLEARING_DELAY_SECONDS));

    const bool isScreenshotAllowed = settingValue(SETTING_IS_APPLICATION_SCREENSHOT_ALLOWED);
    setWindowScreenshotProtection(this, !isScreenshotAllowed);
}

void FormContentEditor::_slotConfigurationNotifierChanged()
{
    applySettings();
    updateWidgetsState();
    updateDeviceBackupLabel();
}

// Auto-locking -------------------------------------------------------------------------------------------

void FormContentEditor::setKnownMasterPassword(const QString& password)
{
    vaultSession.replaceMasterPassword(password, !password.isEmpty());
    updateWidgetsState();
}

bool FormContentEditor::isApplicationLocked() const
{
    return !applicationLock.isApplicationUnlocked;
}

bool FormContentEditor::eventFilter(QObject* watched, QEvent* event)
{
    Q_UNUSED(watched);
    if (_isUserInputEvent_helper(event->type()))
        applicationLock.noteUserActivity();
    // Only watching: every event goes on to its receiver.
    return false;
}

void FormContentEditor::_slotTimerSecondTimeout()
{
    if (!applicationLock.isAutoLockingEnabled || !applicationLock.isApplicationUnlocked)
        return;

    if (applicationLock.countInactiveSecond())
        _slotActionLockApplicationClicked();
}

void FormContentEditor::_slotActionLockApplicationClicked()
{
    // During the first open there is no master password to lock with yet: the lock comes once the open
    // brought one (startWorkflow()).
    if (applicationLock.isApplicationUnlocked && workflow && !vaultSession.isMasterPasswordKnown())
    {
        applicationLock.isLockPending = true;
        return;
    }
    // Without a master password there is nothing to unlock with; the idle count simply goes on.
    if (!vaultSession.isMasterPasswordKnown() || vaultSession.masterPassword().isEmpty() ||
        !applicationLock.isApplicationUnlocked)
        return;

    // Sealed first: should that fail, the application stays unlocked rather than locked with the vault in
    // clear behind a page.
    if (!sealWindowState())
        return;
    applicationLock.lockCount++;
    // In front of whatever is shown, a page in the middle of a workflow included, and outside the view
    // stack: the workflow goes on behind it, and only the master password takes it away.
    applicationLock.viewIdUnderLock = currentViewId();
    applicationLock.isApplicationUnlocked = false;
    applicationLock.viewIdsChangedWhileLocked.clear();
    applicationLock.isTransferSeenWhileLocked = false;
    // A question or file dialog open now is closed; whoever asked it sees the lock and asks again after the
    // unlock (askAcrossLock()).
    _closePopupsAndModalDialogs_helper();
    // A password left on the clipboard would be readable without unlocking.
    clearClipboard();

    views[VIEW_ID_APPLICATION_LOCKED]->contentWidget()->activate();
    updateLockedPageTransferLine();
    displayView(VIEW_ID_APPLICATION_LOCKED);
    setPagesBehindLockReachable(false);
    updateWidgetsState();
}

void FormContentEditor::_slotSessionLockWatcherSessionLockRequested()
{
    if (!applicationLock.isLockedWithSession)
        return;
    // Even where the application cannot lock (no master password yet), nothing copied stays behind the
    // locked screen or over the sleep.
    clearClipboard();
    // The same lock as Ctrl+L and the inactivity delay: only the master password removes it.
    _slotActionLockApplicationClicked();
}

void FormContentEditor::_slotViewContentApplicationLockedUnlockRequested(QString password)
{
    // The page shown without a lock has nothing to open: every password is wrong there.
    if (applicationLock.isApplicationUnlocked)
    {
        secureClearString(password);
        pages.applicationLocked->rejectPassword();
        return;
    }
    // No password is kept to compare with: the typed one either decrypts the sealed state or it does not.
    SecureImageBuffer plaintext;
    const LockedStateSeal::Result result =
        LockedStateSeal::open(password, applicationLock.sealedState, plaintext);
    secureClearString(password);
    if (result != LockedStateSeal::RESULT_SUCCESS)
    {
        pages.applicationLocked->rejectPassword();
        return;
    }
    applicationLock.sealedState.clear();

    views[VIEW_ID_APPLICATION_LOCKED]->contentWidget()->deactivate();
    applicationLock.isApplicationUnlocked = true;
    setPagesBehindLockReachable(true);
    restoreWindowState(plaintext);
    plaintext.clear();
    displayView(applicationLock.viewIdUnderLock);
    // The report page, when open, shows the analysis of the restored vault (quick for a small one).
    refreshPasswordHealthPage();
    updateWidgetsState();
    pages.applicationLocked->acceptPassword();
    Q_EMIT applicationUnlocked();

    // Workflows whose transfers ended behind the locked page go on now, with their messages and next pages,
    // and an update check that finished there reports, over the page it belongs to.
    for (const std::function<void()>& action : applicationLock.takeDeferredActions())
        action();
}

void FormContentEditor::updateLockedPageTransferLine()
{
    const bool isTransferRunning = applicationLock.viewIdUnderLock == VIEW_ID_READ_DEVICE ||
                                   applicationLock.viewIdUnderLock == VIEW_ID_WRITE_DEVICE;
    if (isTransferRunning)
        applicationLock.isTransferSeenWhileLocked = true;
    // Nothing to say about a lock that saw no transfer.
    if (applicationLock.isTransferSeenWhileLocked)
        pages.applicationLocked->setTransferRunning(isTransferRunning);
}

bool FormContentEditor::refuseWhenLocked() const
{
    return !applicationLock.isApplicationUnlocked;
}

bool FormContentEditor::askAcrossLock(const std::function<void()>& ask)
{
    for (;;)
    {
        if (!applicationLock.isApplicationUnlocked && !waitForUnlock())
            return false;
        const quint64 lockCountBefore = applicationLock.lockCount;
        ask();
        // Answered by the user, not closed by a lock.
        if (applicationLock.lockCount == lockCountBefore)
            return true;
    }
}

bool FormContentEditor::waitForUnlock()
{
    QEventLoop loop;
    connect(this, &FormContentEditor::applicationUnlocked, &loop, &QEventLoop::quit);
    // Quitting from the locked page ends every event loop, this one too.
    loop.exec();
    return applicationLock.isApplicationUnlocked;
}

// Sealing --------------------------------------------------------------------------------------------------

void FormContentEditor::writeWindowState(QDataStream& stream) const
{
    stream << SEALED_STATE_LAYOUT;
    stream << vaultSession.masterPassword();
    const int tabCount = form->tabWidget->count();
    stream << qint32(tabCount) << qint32(form->tabWidget->currentIndex());
    for (int tabIndex = 0; tabIndex < tabCount; tabIndex++)
    {
        const PasswordTable* table = tableAt(tabIndex);
        stream << VaultTab{tabName(tabIndex), table->passwords()};
        QList<int> widths;
        for (int column = 0; column < table->columnCount(); column++)
            widths.append(table->columnWidth(column));
        stream << widths;
        stream << qint32(table->currentRow()) << qint32(table->currentColumn()) << table->hasSelectedCell()
               << qint32(table->verticalScrollBar()->value())
               << qint32(table->horizontalScrollBar()->value());
    }
    stream << form->lineEditSearch->text();
    for (int viewId = VIEW_ID_CONTENT_EDITOR + 1; viewId < VIEW_ID_COUNT; viewId++)
    {
        if (viewId == VIEW_ID_APPLICATION_LOCKED)
            continue;
        // Each page's part is preceded by its size, so that the unlock can pass over the part of a page that
        // a workflow showed anew behind the lock.
        const ViewContentBase* page = views[viewId]->contentWidget();
        SecureBufferDevice counter(nullptr, 0);
        {
            QDataStream pageStream(&counter);
            page->writeSecrets(pageStream);
        }
        stream << qint64(counter.writtenSize());
        page->writeSecrets(stream);
    }
    // The running workflow's own secrets, passed over after the unlock when that workflow has ended.
    SecureBufferDevice counter(nullptr, 0);
    if (workflow)
    {
        QDataStream workflowStream(&counter);
        workflow->writeSecrets(workflowStream);
    }
    stream << qint64(counter.writtenSize());
    if (workflow)
        workflow->writeSecrets(stream);
}

bool FormContentEditor::sealWindowState()
{
    // Measured first, so that the plaintext is written once into a buffer of its size, never regrown.
    SecureBufferDevice counter(nullptr, 0);
    {
        QDataStream stream(&counter);
        writeWindowState(stream);
    }
    SecureImageBuffer plaintext(static_cast<std::size_t>(counter.writtenSize()));
    {
        SecureBufferDevice device(plaintext.data(), plaintext.size());
        QDataStream stream(&device);
        writeWindowState(stream);
        if (stream.status() != QDataStream::Ok)
            return false;
    }
    if (LockedStateSeal::seal(vaultSession.masterPassword(), plaintext.data(), plaintext.size(),
                              applicationLock.sealedState) != LockedStateSeal::RESULT_SUCCESS)
        return false;
    plaintext.clear();
    wipeWindowState();
    return true;
}

void FormContentEditor::wipeWindowState()
{
    // The tables are rebuilt after the unlock: the focus goes back to the new one.
    applicationLock.isTableFocusedAtLock = false;
    for (QWidget* widget = form->stackedWidget->widget(VIEW_ID_CONTENT_EDITOR)->focusWidget(); widget;
         widget = widget->parentWidget())
    {
        if (qobject_cast<PasswordTable*>(widget))
            applicationLock.isTableFocusedAtLock = true;
    }
    // The analysis and the workflow first, so that the tables hold their records alone and zero-fill them.
    clearPasswordHealth();
    applicationLock.sealedWorkflow = workflow.data();
    if (workflow)
        workflow->wipeSecrets();
    {
        const QSignalBlocker blocker(form->tabWidget);
        while (form->tabWidget->count() > 0)
        {
            QWidget* table = form->tabWidget->widget(0);
            form->tabWidget->removeTab(0);
            delete table;
        }
    }
    wipeLineEdit(form->lineEditSearch);
    for (int viewId = VIEW_ID_CONTENT_EDITOR + 1; viewId < VIEW_ID_COUNT; viewId++)
    {
        if (viewId != VIEW_ID_APPLICATION_LOCKED)
            views[viewId]->contentWidget()->wipeSecrets();
    }
    vaultSession.replaceMasterPassword(QString(), vaultSession.isMasterPasswordKnown());
}

void FormContentEditor::restoreWindowState(const SecureImageBuffer& plaintext)
{
    SecureBufferDevice device(plaintext.data(), plaintext.size());
    QDataStream stream(&device);
    quint32 layout = 0;
    stream >> layout;
    if (layout != SEALED_STATE_LAYOUT)
        return;
    QString masterPassword;
    stream >> masterPassword;
    vaultSession.replaceMasterPassword(masterPassword, vaultSession.isMasterPasswordKnown());
    secureClearString(masterPassword);

    qint32 tabCount = 0;
    qint32 currentTabIndex = 0;
    stream >> tabCount >> currentTabIndex;
    Vault vault;
    struct TablePosition
    {
        qint32 row, column;
        bool isSelected;
        qint32 verticalScroll, horizontalScroll;
    };
    QList<TablePosition> positions;
    QList<QList<int>> columnWidths;
    for (qint32 tabIndex = 0; tabIndex < tabCount && stream.status() == QDataStream::Ok; tabIndex++)
    {
        VaultTab tab;
        stream >> tab;
        QList<int> widths;
        stream >> widths;
        columnWidths.append(widths);
        TablePosition position{};
        stream >> position.row >> position.column >> position.isSelected >> position.verticalScroll >>
            position.horizontalScroll;
        positions.append(position);
        vault.append(tab);
    }
    // The widths as they were: measuring thousands of rows again is most of an unlock's time.
    setVault(vault, columnWidths);
    vault.clear();
    form->tabWidget->setCurrentIndex(currentTabIndex);
    for (int tabIndex = 0; tabIndex < positions.size(); tabIndex++)
    {
        PasswordTable* table = tableAt(tabIndex);
        if (!table)
            continue;
        const TablePosition& position = positions.at(tabIndex);
        // The current cell as it was, selected only if it was.
        if (position.row >= 0 && position.column >= 0)
            table->setCurrentCell(position.row, position.column,
                                  position.isSelected ? QItemSelectionModel::ClearAndSelect
                                                      : QItemSelectionModel::NoUpdate);
        table->verticalScrollBar()->setValue(position.verticalScroll);
        table->horizontalScrollBar()->setValue(position.horizontalScroll);
    }
    if (applicationLock.isTableFocusedAtLock && currentTable())
        currentTable()->setFocus();

    QString searchText;
    stream >> searchText;
    form->lineEditSearch->setText(searchText);
    secureClearString(searchText);
    for (int viewId = VIEW_ID_CONTENT_EDITOR + 1; viewId < VIEW_ID_COUNT; viewId++)
    {
        if (viewId == VIEW_ID_APPLICATION_LOCKED)
            continue;
        qint64 size = 0;
        stream >> size;
        // Shown anew behind the lock, the page holds what its workflow put there since.
        if (applicationLock.viewIdsChangedWhileLocked.contains(viewId))
            stream.skipRawData(static_cast<int>(size));
        else
            views[viewId]->contentWidget()->restoreSecrets(stream);
    }
    applicationLock.viewIdsChangedWhileLocked.clear();
    qint64 workflowSize = 0;
    stream >> workflowSize;
    if (workflow && workflow.data() == applicationLock.sealedWorkflow.data())
        workflow->restoreSecrets(stream);
    else
        stream.skipRawData(static_cast<int>(workflowSize));
    applicationLock.sealedWorkflow = nullptr;
}

void FormContentEditor::setPagesBehindLockReachable(bool isReachable)
{
    // Hidden and disabled, the pages behind leave the accessibility tree and take no input; so do their own
    // windows (the lists of their combo boxes), which a disabled parent does not disable.
    for (int viewId = VIEW_ID_CONTENT_EDITOR; viewId < VIEW_ID_COUNT; viewId++)
    {
        if (viewId == VIEW_ID_APPLICATION_LOCKED)
            continue;
        QWidget* page = form->stackedWidget->widget(viewId);
        page->setEnabled(isReachable);
        // A combo box creates its list's window on first use, an accessibility client's included: now.
        const QList<QComboBox*> comboBoxes = page->findChildren<QComboBox*>();
        for (QComboBox* comboBox : comboBoxes)
            comboBox->view();
        const QList<QWidget*> widgets = page->findChildren<QWidget*>();
        for (QWidget* widget : widgets)
        {
            if (widget->isWindow())
                widget->setEnabled(isReachable);
        }
    }
    menuBar()->setEnabled(isReachable);
    if (isReachable)
    {
        for (const QPointer<QAction>& action : std::as_const(applicationLock.actionsDisabledByLock))
        {
            if (action)
                action->setEnabled(true);
        }
        applicationLock.actionsDisabledByLock.clear();
    }
    else
        disableActionsBehindLock();
}

void FormContentEditor::disableActionsBehindLock()
{
    if (applicationLock.isApplicationUnlocked)
        return;
    // Every action of the window reads, edits or saves the vault, or starts a device command; only Quit and
    // the locked page's own ones stay.
    QWidget* lockedPage = views[VIEW_ID_APPLICATION_LOCKED];
    const QList<QAction*> actions = findChildren<QAction*>();
    for (QAction* action : actions)
    {
        auto* owner = qobject_cast<QWidget*>(action->parent());
        if (action == form->actionQuit || (owner && (owner == lockedPage || lockedPage->isAncestorOf(owner))))
            continue;
        if (action->isEnabled())
        {
            applicationLock.actionsDisabledByLock.append(action);
            action->setEnabled(false);
        }
    }
}

// Update check -------------------------------------------------------------------------------------------

void FormContentEditor::startAutomaticUpdateCheck()
{
    updateChecker->start(false);
}
