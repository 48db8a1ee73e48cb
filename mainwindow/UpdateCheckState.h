#pragma once

#include <QString>

#include <optional>

class QNetworkAccessManager;

// The check for a newer application version: how the next check was started, and what a finished check
// found out while it cannot be shown yet (the application is locked).
class UpdateCheckState
{
public:
    struct Result
    {
        bool isManual = false;
        // The reply held a usable "Latest_Version=" line.
        bool isInformationValid = false;
        QString latestVersion;
    };

    // Whether the next check was started from the menu; reading it resets it, since each reply remembers how
    // its own check was started.
    bool takeIsNextCheckManual();
    // The result waiting for the unlock, if any; none is kept afterwards.
    std::optional<Result> takePendingResult();

    bool isNextCheckManual = false;
    // Sends the requests (owned by the window).
    QNetworkAccessManager* networkAccessManager = nullptr;
    std::optional<Result> pendingResult;
};
