#include "UpdateChecker.h"

#include "ProductWebServer.h"
#include "app/Configuration.h"
#include "mainwindow/workflows/WorkflowHost.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>

namespace
{
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

UpdateChecker::UpdateChecker(WorkflowHost& host, QObject* parent)
    : QObject(parent), host(host), networkAccessManager(new QNetworkAccessManager(this))
{
    networkAccessManager->setTransferTimeout(UPDATE_CHECK_TIMEOUT_MILLISECONDS);
    connect(networkAccessManager, &QNetworkAccessManager::finished, this,
            &UpdateChecker::_slotNetworkAccessManagerFinished, Qt::QueuedConnection);
}

void UpdateChecker::start(bool isManual)
{
    if (!isManual && !settingValue(SETTING_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED))
        return;

    if (!isManual)
    {
        sendRequest(false);
        return;
    }

    host.pushMessageBoxDialogView(
        ViewContentMessageBoxDialog::ICON_INFORMATION, tr("Searching for an update"),
        tr("Searching for an update on the server...\nThis operation will take less than 5 seconds."), 0,
        ViewContentMessageBoxDialog::BUTTON_OK);
    // The waiting page is pushed on the next turn of the event loop; the request leaves after it, so that
    // even an immediate failure finds the page there to remove.
    QTimer::singleShot(0, this, [this]() { sendRequest(true); });
}

void UpdateChecker::sendRequest(bool isManual)
{
    QNetworkRequest request(productWebServerPageUrl(QString::fromLatin1(UPDATE_INFORMATION_PATH)));
    // Following a redirection to another site would let that site answer for the product server.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);

    QNetworkReply* reply = networkAccessManager->get(request);
    // Each reply remembers how its check was started: an automatic check still running must not take the
    // waiting page of a manual one.
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

void UpdateChecker::_slotNetworkAccessManagerFinished(QNetworkReply* pointerReply)
{
    Result result;
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
    // click) goes then, or it would hide the locked page for good.
    host.runWhenUnlocked([this, result]() { showResult(result); });
}

void UpdateChecker::showResult(const Result& result)
{
    // Only the waiting page goes: whatever else is shown stays.
    if (result.isManual && host.activeViewId() == VIEW_ID_MESSAGE_BOX_DIALOG)
        host.popView(VIEW_ID_COUNT);

    const QString currentVersion = QStringLiteral(APPLICATION_VERSION);
    if (!result.isInformationValid)
    {
        if (result.isManual)
            host.pushMessageBoxDialogView(
                ViewContentMessageBoxDialog::ICON_ERROR, tr("Update check"),
                tr("Failed to retrieve the update information from the server.\nPlease "
                   "check your network configuration and retry."),
                ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
        return;
    }

    // Any other version is offered, an older one too: the server names the version to use.
    if (result.latestVersion != currentVersion)
    {
        const QMessageBox::StandardButton answer = QMessageBox::question(
            host.dialogParent(), tr("Update available"),
            tr("A program update is available (the new version is %1, you are currently using the version "
               "%2).\nDo you want to download it from the website?")
                .arg(result.latestVersion, currentVersion),
            QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;

        const QUrl downloadPageUrl =
            productWebServerPageUrl(QStringLiteral("/downloads-") + getApplicationLanguageCode());
        if (!QDesktopServices::openUrl(downloadPageUrl))
            host.pushMessageBoxDialogView(
                ViewContentMessageBoxDialog::ICON_ERROR, tr("Error"),
                tr("Could not open the download page in a web browser.\nYou can open "
                   "%1 yourself.")
                    .arg(downloadPageUrl.toString(QUrl::FullyEncoded)),
                ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
        return;
    }

    if (result.isManual)
        host.pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_INFORMATION, tr("No update found"),
                                      tr("No update is available, you are using the latest version."),
                                      ViewContentMessageBoxDialog::BUTTON_OK,
                                      ViewContentMessageBoxDialog::BUTTON_OK);
}
