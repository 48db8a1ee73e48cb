// Protection of what the window shows: locking after inactivity, on demand or with the session's screen
// lock and sleep, the clipboard's clearing delay, screenshot protection, the settings page that controls
// them, and the check for a newer application version.
#include "FormContentEditor.h"

#include "SessionLockWatcher.h"
#include "UpdateChecker.h"
#include "app/Configuration.h"
#include "common/SecureMemory.h"
#include "ui_FormContentEditor.h"
#include "views/ViewBase.h"
#include "views/ViewContentApplicationLocked.h"
#include "views/ViewContentSettings.h"
#include "widgets/ScreenshotProtection.h"
#include "widgets/SensitiveClipboard.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>

#include <limits>

namespace
{
constexpr int AUTO_LOCKING_TIMER_INTERVAL_MILLISECONDS = 1000;
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
                // Asked at each visit: the desktop's screen saver may have started after the application.
                pages.settings->setSessionLockDetectionAvailable(
                    applicationLock.sessionLockWatcher->isAvailable());
                pushView(VIEW_ID_SETTINGS);
            });
    connect(form->actionSoftwareUpdateCheck, &QAction::triggered, this,
            [this]() { updateChecker->start(true); });

    connect(pages.applicationLocked, &ViewContentApplicationLocked::applicationUnlocked, this,
            &FormContentEditor::_slotViewContentApplicationLockedApplicationUnlocked);
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
    // Without a master password there is nothing to unlock with; the idle count simply goes on.
    if (!vaultSession.isMasterPasswordKnown() || vaultSession.masterPassword().isEmpty() ||
        !applicationLock.isApplicationUnlocked)
        return;

    _closePopupsAndModalDialogs_helper();
    // A password left on the clipboard would be readable without unlocking.
    clearClipboard();

    QString masterPasswordCopy = vaultSession.masterPassword();
    pages.applicationLocked->setMasterPassword(masterPasswordCopy);
    // In front of whatever is shown, a page in the middle of a workflow included, and outside the view
    // stack: the workflow goes on behind it, and only the master password takes it away.
    applicationLock.viewIdUnderLock = currentViewId();
    applicationLock.isApplicationUnlocked = false;
    views[VIEW_ID_APPLICATION_LOCKED]->contentWidget()->activate();
    displayView(VIEW_ID_APPLICATION_LOCKED);
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

void FormContentEditor::_slotViewContentApplicationLockedApplicationUnlocked()
{
    if (applicationLock.isApplicationUnlocked)
        return;
    views[VIEW_ID_APPLICATION_LOCKED]->contentWidget()->deactivate();
    applicationLock.isApplicationUnlocked = true;
    displayView(applicationLock.viewIdUnderLock);
    updateWidgetsState();

    // Workflows whose transfers ended behind the locked page go on now, with their messages and next pages,
    // and an update check that finished there reports, over the page it belongs to.
    for (const std::function<void()>& action : applicationLock.takeDeferredActions())
        action();
}

// Update check -------------------------------------------------------------------------------------------

void FormContentEditor::startAutomaticUpdateCheck()
{
    updateChecker->start(false);
}
