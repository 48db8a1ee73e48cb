// Protection of what the window shows: locking after inactivity, on demand or with the session's screen
// lock and sleep, the clipboard's clearing delay, screenshot protection, the settings page that controls
// them, and the check for a newer application version.
#include "FormContentEditor.h"

#include "ProductWebServer.h"
#include "SessionLockWatcher.h"
#include "app/Configuration.h"
#include "common/SecureMemory.h"
#include "ui_FormContentEditor.h"
#include "views/ViewBase.h"
#include "views/ViewContentApplicationLocked.h"
#include "views/ViewContentSettings.h"
#include "widgets/ScreenshotProtection.h"
#include "widgets/SensitiveClipboard.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>

#include <limits>

namespace
{
constexpr int AUTO_LOCKING_TIMER_INTERVAL_MILLISECONDS = 1000;
// The whole check, not only a pause in the transfer: a server that sends a byte now and then would
// otherwise keep the waiting page up for ever.
constexpr int UPDATE_CHECK_TIMEOUT_MILLISECONDS = 5000;
// The update information is one short line; anything much longer is not it.
constexpr qint64 UPDATE_INFORMATION_MAXIMUM_SIZE = 64 * 1024;
constexpr int UPDATE_VERSION_MAXIMUM_LENGTH = 32;

const char UPDATE_INFORMATION_PATH[] = "/download/desktop-application/Desktop_Application_Version.txt";
const char UPDATE_INFORMATION_PREFIX[] = "Latest_Version=";
// Marks a reply of a check started from the menu: it has a waiting page to remove and reports every outcome.
const char UPDATE_CHECK_MANUAL_PROPERTY[] = "_corvaneIsUpdateCheckManual";

QVariant _settingValue_helper(const char* key, const QVariant& defaultValue)
{
    return settings ? settings->value(QLatin1String(key), defaultValue) : defaultValue;
}

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

// The version named by the update information file, or an empty string when the body is not such a file.
// Only the first line counts and surrounding white space is dropped, so that a file saved with Windows line
// ends does not announce "2.3\r" as a new version. The text must look like a version: it is shown in a
// message box, where an arbitrary reply (an error page, markup) has no place.
QString _latestVersionFromUpdateInformation_helper(const QByteArray& body)
{
    const QString text = QString::fromUtf8(body);
    if (!text.startsWith(QLatin1String(UPDATE_INFORMATION_PREFIX)))
        return QString();

    QString version = text.mid(int(qstrlen(UPDATE_INFORMATION_PREFIX)));
    const int lineEnd = version.indexOf(QLatin1Char('\n'));
    if (lineEnd >= 0)
        version.truncate(lineEnd);
    version = version.trimmed();

    static const QRegularExpression versionPattern(QStringLiteral("^[0-9A-Za-z][0-9A-Za-z._+-]*$"));
    if (version.length() > UPDATE_VERSION_MAXIMUM_LENGTH || !versionPattern.match(version).hasMatch())
        return QString();
    return version;
}

// Only a complete, successful reply of the server itself is read: an error page, a redirection to
// another site or a transfer cut short says nothing about the latest version.
bool _isUpdateReplySuccessful_helper(const QNetworkReply* reply)
{
    if (reply->error() != QNetworkReply::NoError)
        return false;
    const QVariant statusCode = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return !statusCode.isValid() || statusCode.toInt() == 200;
}
} // namespace

void FormContentEditor::initializeProtection()
{
    applicationLock.timerSecond = new QTimer(this);
    applicationLock.timerSecond->setObjectName(QStringLiteral("timerSecond"));
    connect(applicationLock.timerSecond, &QTimer::timeout, this, &FormContentEditor::_slotTimerSecondTimeout);

    updateCheck.networkAccessManager = new QNetworkAccessManager(this);
    updateCheck.networkAccessManager->setTransferTimeout(UPDATE_CHECK_TIMEOUT_MILLISECONDS);
    connect(updateCheck.networkAccessManager, &QNetworkAccessManager::finished, this,
            &FormContentEditor::_slotNetworkAccessManagerFinished, Qt::QueuedConnection);

    connect(form->actionLockApplication, &QAction::triggered, this,
            &FormContentEditor::_slotActionLockApplicationClicked);
    // The menu bar is hidden on most pages, and with it the shortcuts of its actions; owned by the window
    // too, "Ctrl+L" locks whatever page is shown.
    addAction(form->actionLockApplication);
    connect(form->actionSettings, &QAction::triggered, this,
            &FormContentEditor::_slotActionSettingsTriggered);
    connect(form->actionSoftwareUpdateCheck, &QAction::triggered, this,
            &FormContentEditor::_slotActionSoftwareUpdateCheckTriggered);

    connect(pages.applicationLocked, &ViewContentApplicationLocked::applicationUnlocked, this,
            &FormContentEditor::_slotViewContentApplicationLockedApplicationUnlocked);
    connect(pages.settings, &ViewContentSettings::configurationChanged, this,
            &FormContentEditor::_slotViewContentSettingsConfigurationChanged);

    applicationLock.sessionLockWatcher = SessionLockWatcher::createForThisSession(this);
    connect(applicationLock.sessionLockWatcher, &SessionLockWatcher::sessionLockRequested, this,
            &FormContentEditor::_slotSessionLockWatcherSessionLockRequested);

    applySettings();
}

// Settings -----------------------------------------------------------------------------------------------

void FormContentEditor::applySettings()
{
    applicationLock.isAutoLockingEnabled =
        _settingValue_helper(CONFIGURATION_KEY_IS_APPLICATION_AUTO_LOCKING_ENABLED, true).toBool();

    // The settings page keeps the delay between 1 and 1440 minutes, but the store can be edited by hand: a
    // negative delay locks as soon as possible rather than never, and a huge one cannot overflow.
    const int delayMinutes =
        _settingValue_helper(CONFIGURATION_KEY_APPLICATION_AUTO_LOCKING_DELAY_MINUTES, 10).toInt();
    applicationLock.autoLockingDelaySeconds =
        qBound(0, delayMinutes, std::numeric_limits<int>::max() / 60) * 60;

    // The count of idle seconds goes on: saving the settings is no reason to forget the user's absence.
    if (applicationLock.isAutoLockingEnabled)
        applicationLock.timerSecond->start(AUTO_LOCKING_TIMER_INTERVAL_MILLISECONDS);
    else
        applicationLock.timerSecond->stop();

    applicationLock.isLockedWithSession =
        _settingValue_helper(CONFIGURATION_KEY_IS_APPLICATION_LOCKED_WITH_SESSION, true).toBool();
    // A copy already counting down keeps its delay; the new one applies from the next copy.
    SensitiveClipboard::instance()->setClearingDelaySeconds(
        _settingValue_helper(CONFIGURATION_KEY_CLIPBOARD_CLEARING_DELAY_SECONDS, 30).toInt());

    const bool isScreenshotAllowed =
        _settingValue_helper(CONFIGURATION_KEY_IS_APPLICATION_SCREENSHOT_ALLOWED, false).toBool();
    setWindowScreenshotProtection(this, !isScreenshotAllowed);
}

void FormContentEditor::_slotActionSettingsTriggered()
{
    // Asked at each visit: the desktop's screen saver may have started after the application.
    pages.settings->setSessionLockDetectionAvailable(applicationLock.sessionLockWatcher->isAvailable());
    pushView(VIEW_ID_SETTINGS);
}

void FormContentEditor::_slotViewContentSettingsConfigurationChanged()
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

    // Transfers that ended behind the locked page go on now, with their messages and next pages.
    const QList<ApplicationLockState::DeferredTransferResult> transferResults =
        applicationLock.takeDeferredTransferResults();
    for (const ApplicationLockState::DeferredTransferResult& transferResult : transferResults)
    {
        if (transferResult.isWrite)
            _slotViewContentWriteDeviceWriteFinished(transferResult.returnValue);
        else
            _slotViewContentReadDeviceReadFinished(transferResult.returnValue);
    }

    // An update check that finished behind the locked page reports now, over the page it belongs to.
    if (const std::optional<UpdateCheckState::Result> result = updateCheck.takePendingResult())
        showUpdateCheckResult(*result);
}

// Update check -------------------------------------------------------------------------------------------

void FormContentEditor::startAutomaticUpdateCheck()
{
    updateCheck.isNextCheckManual = false;
    startUpdateCheck();
}

void FormContentEditor::_slotActionSoftwareUpdateCheckTriggered()
{
    updateCheck.isNextCheckManual = true;
    startUpdateCheck();
}

void FormContentEditor::startUpdateCheck()
{
    // Each reply remembers how its check was started: an automatic check still running must not take the
    // waiting page of a manual one.
    const bool isManual = updateCheck.takeIsNextCheckManual();

    const bool isAutomaticCheckEnabled =
        _settingValue_helper(CONFIGURATION_KEY_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED, true).toBool();
    if (!isAutomaticCheckEnabled && !isManual)
        return;

    if (!isManual)
    {
        sendUpdateCheckRequest(false);
        return;
    }

    pushMessageBoxDialogView(
        ViewContentMessageBoxDialog::ICON_INFORMATION, tr("Searching for an update"),
        tr("Searching for an update on the server...\nThis operation will take less than 5 seconds."), 0,
        ViewContentMessageBoxDialog::BUTTON_OK);
    // The waiting page is pushed on the next turn of the event loop; the request leaves after it, so that
    // even an immediate failure finds the page there to remove.
    QTimer::singleShot(0, this, [this]() { sendUpdateCheckRequest(true); });
}

void FormContentEditor::sendUpdateCheckRequest(bool isManual)
{
    QNetworkRequest request(productWebServerPageUrl(QString::fromLatin1(UPDATE_INFORMATION_PATH)));
    // Following a redirection to another site would let that site answer for the product server.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);

    QNetworkReply* reply = updateCheck.networkAccessManager->get(request);
    reply->setProperty(UPDATE_CHECK_MANUAL_PROPERTY, isManual);
    // Owned by the reply: it goes with it when the check ends in time.
    auto* deadlineTimer = new QTimer(reply);
    deadlineTimer->setSingleShot(true);
    connect(deadlineTimer, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadlineTimer->start(UPDATE_CHECK_TIMEOUT_MILLISECONDS);
    connect(reply, &QNetworkReply::downloadProgress, reply,
            [reply](qint64 bytesReceived, qint64)
            {
                if (bytesReceived > UPDATE_INFORMATION_MAXIMUM_SIZE)
                    reply->abort();
            });
}

void FormContentEditor::_slotNetworkAccessManagerFinished(QNetworkReply* pointerReply)
{
    UpdateCheckState::Result result;
    result.isManual = pointerReply->property(UPDATE_CHECK_MANUAL_PROPERTY).toBool();
    // The size is checked here as well: a short transfer can end before the progress signal could stop it.
    if (_isUpdateReplySuccessful_helper(pointerReply) &&
        pointerReply->bytesAvailable() <= UPDATE_INFORMATION_MAXIMUM_SIZE)
    {
        result.latestVersion = _latestVersionFromUpdateInformation_helper(pointerReply->readAll());
        result.isInformationValid = !result.latestVersion.isEmpty();
    }
    pointerReply->deleteLater();

    // Nothing shows over the locked page, and nothing under it is revealed: the result waits for the
    // unlock. A waiting page that came up over the locked page (locked in the very turn of the menu
    // click) goes now, or it would hide the locked page for good.
    if (!applicationLock.isApplicationUnlocked)
    {
        updateCheck.pendingResult = result;
        return;
    }
    showUpdateCheckResult(result);
}

void FormContentEditor::showUpdateCheckResult(const UpdateCheckState::Result& result)
{
    // Only the waiting page goes: whatever else is shown stays.
    if (result.isManual && activeViewId() == VIEW_ID_MESSAGE_BOX_DIALOG)
        popView(VIEW_ID_COUNT);

    const QString currentVersion = QStringLiteral(APPLICATION_VERSION);
    if (!result.isInformationValid)
    {
        if (result.isManual)
            pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_ERROR, tr("Update check"),
                                     tr("Failed to retrieve the update information from the server.\nPlease "
                                        "check your network configuration and retry."),
                                     ViewContentMessageBoxDialog::BUTTON_OK,
                                     ViewContentMessageBoxDialog::BUTTON_OK);
        return;
    }

    // Any other version is offered, an older one too: the server names the version to use.
    if (result.latestVersion != currentVersion)
    {
        const QMessageBox::StandardButton answer = QMessageBox::question(
            this, tr("Update available"),
            tr("A program update is available (the new version is %1, you are currently using the version "
               "%2).\nDo you want to download it from the website?")
                .arg(result.latestVersion, currentVersion),
            QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;

        const QUrl downloadPageUrl =
            productWebServerPageUrl(QStringLiteral("/downloads-") + getApplicationLanguageCode());
        if (!QDesktopServices::openUrl(downloadPageUrl))
            pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_ERROR, tr("Error"),
                                     tr("Could not open the download page in a web browser.\nYou can open "
                                        "%1 yourself.")
                                         .arg(downloadPageUrl.toString(QUrl::FullyEncoded)),
                                     ViewContentMessageBoxDialog::BUTTON_OK,
                                     ViewContentMessageBoxDialog::BUTTON_OK);
        return;
    }

    if (result.isManual)
        pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_INFORMATION, tr("No update found"),
                                 tr("No update is available, you are using the latest version."),
                                 ViewContentMessageBoxDialog::BUTTON_OK,
                                 ViewContentMessageBoxDialog::BUTTON_OK);
}
