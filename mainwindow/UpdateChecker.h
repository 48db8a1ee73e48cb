#pragma once

#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class WorkflowHost;

// The check for a newer application version on the product server: started from the menu (a waiting page
// shows and every outcome is reported) or automatically after the first start menu (only when the settings
// allow it, and only an update is reported). A result that arrives while the application is locked waits
// for the unlock.
class UpdateChecker : public QObject
{
    Q_OBJECT

public:
    UpdateChecker(WorkflowHost& host, QObject* parent);

    void start(bool isManual);

private Q_SLOTS:
    void _slotNetworkAccessManagerFinished(QNetworkReply* pointerReply);

private:
    struct Result
    {
        bool isManual = false;
        // The reply held a usable "Latest_Version=" line.
        bool isInformationValid = false;
        QString latestVersion;
    };

    void sendRequest(bool isManual);
    void showResult(const Result& result);

    WorkflowHost& host;
    QNetworkAccessManager* networkAccessManager;
};
