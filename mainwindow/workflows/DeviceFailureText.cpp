#include "DeviceFailureText.h"

#include "device/DeviceTransfer.h"

namespace
{
QString _memoryOperation_helper(const char* mainText, const char* backupText, int memoryIndex)
{
    return DeviceFailureText::tr(memoryIndex == DEVICE_MEMORY_BACKUP ? backupText : mainText);
}
} // namespace

QString DeviceFailureText::cause(const DeviceFailureCause& cause)
{
    QString problem;
    switch (cause.problem)
    {
    case DeviceFailureCause::PROBLEM_NONE:
        return QString();
    case DeviceFailureCause::PROBLEM_NO_DEVICE:
        problem = tr("no device is open");
        break;
    case DeviceFailureCause::PROBLEM_PORT:
        problem = tr("the port failed (was the device unplugged?)");
        break;
    case DeviceFailureCause::PROBLEM_NO_ANSWER:
        problem = tr("the device did not answer");
        break;
    case DeviceFailureCause::PROBLEM_STOPPED_ANSWERING:
        problem = tr("the device stopped answering after %1 of %2 bytes")
                      .arg(cause.receivedByteCount)
                      .arg(cause.expectedByteCount);
        break;
    case DeviceFailureCause::PROBLEM_TOO_SLOW:
        problem = tr("the device answered too slowly (%1 of %2 bytes)")
                      .arg(cause.receivedByteCount)
                      .arg(cause.expectedByteCount);
        break;
    case DeviceFailureCause::PROBLEM_REFUSED:
        problem = tr("the device refused the command");
        break;
    case DeviceFailureCause::PROBLEM_NEVER_QUIET:
        problem = tr("the device keeps sending data that nobody asked for");
        break;
    case DeviceFailureCause::PROBLEM_INCOMPLETE_ANSWER:
        problem = tr("the device gave an incomplete answer");
        break;
    case DeviceFailureCause::PROBLEM_GARBLED_ANSWER:
        problem = tr("the device does not answer properly (its reply is not valid)");
        break;
    case DeviceFailureCause::PROBLEM_CONTENT_DIFFERS:
        return _memoryOperation_helper(QT_TR_NOOP("the main memory does not hold what was written"),
                                       QT_TR_NOOP("the backup memory does not hold what was written"),
                                       cause.memoryIndex);
    case DeviceFailureCause::PROBLEM_ACCESS_DENIED:
        problem = tr("no permission to use the port");
        break;
    case DeviceFailureCause::PROBLEM_BUSY:
        problem = tr("the port is in use by another program");
        break;
    case DeviceFailureCause::PROBLEM_GONE:
        problem = tr("the port is gone");
        break;
    case DeviceFailureCause::PROBLEM_SYSTEM_ERROR:
        // The system's own words, in the system's language.
        problem = describeDeviceFailureProblem(cause);
        break;
    }

    QString operation;
    switch (cause.operation)
    {
    case DeviceFailureCause::OPERATION_SETTING_LED:
        operation = tr("setting the LED");
        break;
    case DeviceFailureCause::OPERATION_SELECTING_MEMORY:
        operation = _memoryOperation_helper(QT_TR_NOOP("selecting the main memory"),
                                            QT_TR_NOOP("selecting the backup memory"), cause.memoryIndex);
        break;
    case DeviceFailureCause::OPERATION_WRITING_BLOCK:
        operation = cause.memoryIndex == DEVICE_MEMORY_BACKUP
                        ? tr("writing block %1 of the backup memory").arg(cause.blockNumber)
                        : tr("writing block %1 of the main memory").arg(cause.blockNumber);
        break;
    case DeviceFailureCause::OPERATION_READING_MEMORY:
        operation = _memoryOperation_helper(QT_TR_NOOP("reading the main memory"),
                                            QT_TR_NOOP("reading the backup memory"), cause.memoryIndex);
        break;
    case DeviceFailureCause::OPERATION_NONE:
    case DeviceFailureCause::OPERATION_OPENING:
    case DeviceFailureCause::OPERATION_VERIFYING_MEMORY:
        return problem;
    }
    return tr("%1: %2", "failed operation: problem").arg(operation, problem);
}

QString DeviceFailureText::withCause(const QString& message, const DeviceFailureCause& cause)
{
    const QString causeText = DeviceFailureText::cause(cause);
    return causeText.isEmpty() ? message : tr("%1\n(%2)", "message, then its cause").arg(message, causeText);
}

QString DeviceFailureText::openFailureMessage(const DeviceFailureCause& cause)
{
    const QString message = withCause(tr("Could not open the connected device."), cause);
    if (cause.problem != DeviceFailureCause::PROBLEM_ACCESS_DENIED)
        return message;
    return message + QLatin1Char('\n') +
           tr("Access to the device's serial port was denied. Install the udev rule shipped with the "
              "application, or add your user to the \"dialout\" group and log in again.");
}

QString DeviceFailureText::readFailureMessage(int readResult, const DeviceFailureCause& cause)
{
    QString text;
    switch (readResult)
    {
    case DeviceTransfer::READ_RESULT_LED_BLINKING_FAILED:
        text = tr("Could not make the device LED blink, aborting.");
        break;
    case DeviceTransfer::READ_RESULT_MAIN_MEMORY_FAILED:
        text = tr("Could not read the device main memory, aborting.");
        break;
    case DeviceTransfer::READ_RESULT_BACKUP_MEMORY_FAILED:
        text = tr("Could not read the device backup memory, aborting.");
        break;
    case DeviceTransfer::READ_RESULT_VERIFICATION_FAILED:
        return writeErrorMessage();
    case DeviceTransfer::READ_RESULT_LED_STOPPING_FAILED:
    default:
        text = tr("Could not stop device led from blinking, aborting.");
        break;
    }
    return withCause(text, cause);
}

QString DeviceFailureText::writeFailureMessage(int writeResult, const DeviceFailureCause& cause,
                                               QString& title)
{
    QString text;
    switch (writeResult)
    {
    case DeviceTransfer::WRITE_RESULT_LED_BLINKING_FAILED:
        text = tr("Could not make the device LED blink, aborting.");
        break;
    case DeviceTransfer::WRITE_RESULT_LED_STOPPING_FAILED:
        text = tr("Could not stop the device LED from blinking, aborting.");
        break;
    case DeviceTransfer::WRITE_RESULT_MAIN_SELECTION_FAILED:
        text = tr("Could not configure the access to the main memory, aborting.");
        break;
    case DeviceTransfer::WRITE_RESULT_BACKUP_SELECTION_FAILED:
        text = tr("Could not configure the access to the backup memory, aborting.");
        break;
    case DeviceTransfer::WRITE_RESULT_MAIN_BLOCK_FAILED:
        text = tr("Could not write data to the main memory, aborting.");
        break;
    case DeviceTransfer::WRITE_RESULT_MAIN_READ_BACK_FAILED:
        text = tr("Could not read the device main memory, aborting.");
        break;
    case DeviceTransfer::WRITE_RESULT_MAIN_VERIFICATION_FAILED:
        // The main memory is checked before the backup memory is touched: the previous vault is still
        // whole in the backup memory.
        title = writeErrorTitle();
        return writeErrorMessage();
    case DeviceTransfer::WRITE_RESULT_BACKUP_BLOCK_FAILED:
    default:
        text = tr("Could not write data to the backup memory, aborting.");
        break;
    }
    return withCause(text, cause);
}

QString DeviceFailureText::writeErrorMessage()
{
    return tr("Data could not be successfully written. Please retry.\nConsider changing the device if this "
              "error is still occurring.");
}

QString DeviceFailureText::writeErrorTitle()
{
    return tr("Write error");
}
