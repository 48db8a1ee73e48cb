#pragma once

#include "device/DeviceFailureCause.h"

#include <QCoreApplication>
#include <QString>

// The window's words for device failures: the message of each failed step as the user has always read it,
// followed by the cause (what was being done and what went wrong) in the user's language.
class DeviceFailureText
{
    Q_DECLARE_TR_FUNCTIONS(DeviceFailureText)

public:
    // "reading the main memory: the device stopped answering after 65536 of 131072 bytes", translated;
    // empty for no failure.
    static QString cause(const DeviceFailureCause& cause);
    // "Could not open the connected device.", then the cause, with a hint on how to get access when the
    // port's permission was denied.
    static QString openFailureMessage(const DeviceFailureCause& cause);
    // The message for a failed read (a DeviceTransfer::ReadResult), with its cause.
    static QString readFailureMessage(int readResult, const DeviceFailureCause& cause);
    // The message for a failed write (a DeviceTransfer::WriteResult), with its cause; title is set when the
    // message has a title of its own.
    static QString writeFailureMessage(int writeResult, const DeviceFailureCause& cause, QString& title);
    // What was read back is not what was written.
    static QString writeErrorMessage();
    static QString writeErrorTitle();

private:
    static QString withCause(const QString& message, const DeviceFailureCause& cause);
};
