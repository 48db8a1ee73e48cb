#include "DeviceWorkflow.h"

#include "DeviceFailureText.h"
#include "WorkflowHost.h"
#include "app/Configuration.h"
#include "common/SecureImageBuffer.h"
#include "common/SecureMemory.h"
#include "device/DeviceIdentityReading.h"
#include "device/DeviceRules.h"
#include "mainwindow/WindowPages.h"
#include "vault/MemoryImage.h"
#include "vault/VaultImage.h"
#include "views/ViewContentDeviceSelection.h"
#include "views/ViewContentInsertReadingMasterPassword.h"
#include "views/ViewContentReadDevice.h"
#include "views/ViewContentWriteDevice.h"

#include <QLocale>
#include <QMessageBox>

#include <array>
#include <cstring>
#include <memory>

DeviceWorkflow::DeviceWorkflow(WorkflowHost& host) : host(host) {}

DeviceWorkflow::~DeviceWorkflow()
{
    abandon();
}

void DeviceWorkflow::abandon()
{
    for (const QMetaObject::Connection& connection : std::as_const(connections))
        QObject::disconnect(connection);
    connections.clear();
    session.close();
}

bool DeviceWorkflow::isFinished() const
{
    return _isFinished;
}

DeviceWorkflow::Result DeviceWorkflow::result() const
{
    return _result;
}

QString DeviceWorkflow::errorString() const
{
    return _errorString;
}

const Device* DeviceWorkflow::device() const
{
    return session.device();
}

void DeviceWorkflow::writeSecrets(QDataStream& stream) const
{
    Q_UNUSED(stream)
}

void DeviceWorkflow::wipeSecrets() {}

void DeviceWorkflow::restoreSecrets(QDataStream& stream)
{
    Q_UNUSED(stream)
}

void DeviceWorkflow::writeSecureImage(QDataStream& stream, const SecureImageBuffer& image)
{
    stream << qint64(image.size());
    if (!image.isEmpty())
        stream.writeRawData(reinterpret_cast<const char*>(image.data()), static_cast<int>(image.size()));
}

void DeviceWorkflow::readSecureImage(QDataStream& stream, SecureImageBuffer& image)
{
    qint64 size = 0;
    stream >> size;
    image.clear();
    if (size <= 0 || size > MEMORY_IMAGE_SIZE)
        return;
    image.allocate(static_cast<std::size_t>(size));
    if (stream.readRawData(reinterpret_cast<char*>(image.data()), static_cast<int>(size)) != size)
        image.clear();
}

const WindowPages& DeviceWorkflow::pages() const
{
    return host.windowPages();
}

void DeviceWorkflow::track(const QMetaObject::Connection& connection)
{
    connections.append(connection);
}

void DeviceWorkflow::setVaultDeviceUsbSerialNumber(const QString& usbSerialNumber)
{
    vaultDeviceUsbSerialNumber = usbSerialNumber;
}

// The open step ---------------------------------------------------------------------------------------------

void DeviceWorkflow::openDevice(const Step& opened, const Step& failed, const Step& cancelled,
                                const QString& preferredUsbSerialNumber)
{
    // The only connected device opens in steps, so that one that keeps sending cannot freeze the window;
    // the session abandons the open when the workflow ends meanwhile.
    const auto openFinished = [this, opened, failed](bool isOpen)
    {
        if (isOpen)
        {
            opened();
            return;
        }
        showFailure(DeviceFailureText::openFailureMessage(session.openFailure()));
        failed();
    };
    switch (session.openOnlyConnectedDevice(openFinished))
    {
    case DeviceSession::OPEN_RESULT_OPENING:
        return;
    case DeviceSession::OPEN_RESULT_CHOICE_NEEDED:
        break;
    }
    // None or several: the user plugs one in or chooses; the workflow goes on once the page finishes.
    pages().deviceSelection->setPreferredDeviceSerialNumber(
        preferredUsbSerialNumber.isEmpty() ? vaultDeviceUsbSerialNumber : preferredUsbSerialNumber);
    track(connect(
        pages().deviceSelection, &ViewContentDeviceSelection::deviceSelected, this,
        [this, opened, cancelled](bool isSelected) { onDeviceSelected(isSelected, opened, cancelled); },
        Qt::SingleShotConnection));
    host.pushView(VIEW_ID_DEVICE_SELECTION);
}

void DeviceWorkflow::onDeviceSelected(bool isSelected, const Step& opened, const Step& cancelled)
{
    // On cancel the selection page has already released every device.
    std::unique_ptr<Device> device = pages().deviceSelection->takeSelectedDevice();
    if (!isSelected || !device)
    {
        cancelled();
        return;
    }
    session.adopt(std::move(device));
    opened();
}

void DeviceWorkflow::askReadingPassword(const std::function<void(const QString& password)>& entered,
                                        const Step& cancelled)
{
    track(connect(
        pages().insertReadingMasterPassword, &ViewContentInsertReadingMasterPassword::insertionFinished, this,
        [entered, cancelled](bool isValid, QString password)
        {
            if (isValid)
                entered(password);
            else
                cancelled();
            secureClearString(password);
        },
        Qt::SingleShotConnection));
    host.pushView(VIEW_ID_INSERT_READING_MASTER_PASSWORD);
}

// Transfers -------------------------------------------------------------------------------------------------

void DeviceWorkflow::readDeviceOnce(const Step& read, const Step& failed)
{
    if (areMemoriesRead && session.device())
    {
        read();
        return;
    }
    readDevice(
        [this, read]()
        {
            areMemoriesRead = true;
            read();
        },
        failed);
}

void DeviceWorkflow::readDevice(const Step& read, const Step& failed)
{
    // New content: whatever was chosen between the memories before does not hold for it.
    areMemoriesRead = false;
    chosenMemoryIndex = -1;
    pages().readDevice->setDevice(session.device());
    track(connect(
        pages().readDevice, &ViewContentReadDevice::readFinished, this,
        [this, read, failed](int returnValue)
        {
            const DeviceFailureCause cause = pages().readDevice->failureCause();
            host.runWhenUnlocked(
                [this, read, failed, returnValue, cause]()
                {
                    if (returnValue == ViewContentReadDevice::READ_RESULT_SUCCESS)
                    {
                        read();
                        return;
                    }
                    showFailure(DeviceFailureText::readFailureMessage(returnValue, cause));
                    failed();
                });
        },
        Qt::SingleShotConnection));
    host.pushView(VIEW_ID_READ_DEVICE);
}

void DeviceWorkflow::writeAndVerifyDevice(const VaultSeal& writtenSeal, const DeviceIdentity& writtenDevice,
                                          const Step& written,
                                          const std::function<void(bool isVerificationFailure)>& failed)
{
    Device* device = session.device();
    if (!device)
        return;
    // What the buffers hold now is what the memories must hold afterwards: the read-back overwrites the
    // buffers, the verification compares with these copies.
    auto expectedImages = std::make_shared<std::array<SecureImageBuffer, DEVICE_MEMORY_COUNT>>();
    for (int memoryIndex = 0; memoryIndex < DEVICE_MEMORY_COUNT; memoryIndex++)
        (*expectedImages)[memoryIndex].assign(device->getMemoryBuffer(memoryIndex), DEVICE_MEMORY_SIZE);

    pages().writeDevice->setDevice(device);
    // Writing, reading back and comparing handle encrypted images only: they go on behind the locked page,
    // and only what they end with (a message page) waits there for the unlock.
    track(connect(
        pages().writeDevice, &ViewContentWriteDevice::writeFinished, this,
        [this, written, failed, expectedImages, writtenSeal, writtenDevice](int returnValue)
        {
            const DeviceFailureCause cause = pages().writeDevice->failureCause();
            if (returnValue != ViewContentWriteDevice::WRITE_RESULT_SUCCESS)
            {
                QString title;
                const QString text = DeviceFailureText::writeFailureMessage(returnValue, cause, title);
                showFailure(text, title);
                failed(returnValue == ViewContentWriteDevice::WRITE_RESULT_MAIN_VERIFICATION_FAILED);
                return;
            }
            // Both memories once more, as a later open will read them, checked by the transfer.
            pages().readDevice->setDevice(session.device(), (*expectedImages)[DEVICE_MEMORY_MAIN].data(),
                                          (*expectedImages)[DEVICE_MEMORY_BACKUP].data());
            expectedImages->at(DEVICE_MEMORY_MAIN).clear();
            expectedImages->at(DEVICE_MEMORY_BACKUP).clear();
            track(connect(
                pages().readDevice, &ViewContentReadDevice::readFinished, this,
                [this, written, failed, writtenSeal, writtenDevice](int readResult)
                {
                    const DeviceFailureCause readCause = pages().readDevice->failureCause();
                    if (readResult == ViewContentReadDevice::READ_RESULT_SUCCESS)
                    {
                        // The next open of this device expects what was written, sealed or not.
                        DeviceSealMemory(settings).recordVerifiedWrite(writtenSeal, writtenDevice);
                        written();
                        return;
                    }
                    const bool isVerificationFailure =
                        readResult == ViewContentReadDevice::READ_RESULT_VERIFICATION_FAILED;
                    if (isVerificationFailure)
                        showFailure(DeviceFailureText::writeErrorMessage(),
                                    DeviceFailureText::writeErrorTitle());
                    else
                        showFailure(DeviceFailureText::readFailureMessage(readResult, readCause));
                    failed(isVerificationFailure);
                },
                Qt::SingleShotConnection));
            host.pushView(VIEW_ID_READ_DEVICE);
        },
        Qt::SingleShotConnection));
    host.pushView(VIEW_ID_WRITE_DEVICE);
}

// Decryption ------------------------------------------------------------------------------------------------

uint8_t* DeviceWorkflow::decryptDeviceImage(const QString& password,
                                            WrongPasswordHandling wrongPasswordHandling)
{
    _errorString.clear();
    _isReadingPasswordWrong = false;
    Device* device = session.device();
    if (!device)
        return nullptr;

    uint8_t* chosenImage = device->getMemoryBuffer(DEVICE_MEMORY_MAIN);
    if (chosenMemoryIndex >= 0)
        chosenImage = device->getMemoryBuffer(chosenMemoryIndex);
    else if (!areDeviceMemoriesEqual(*device))
    {
        QString text =
            tr("Device main and backup memories do not have the same content. This is likely due to a power "
               "outage during previous device writing.\nDo you want to display the main memory content?\n\n"
               "Select 'Yes' to try with main memory or 'No' to try with backup memory.\nIf the memory you "
               "selected does not contain the expected data, re-read the device then try the other memory.");
        // Both sealed: their save counters tell which one was written last.
        const NewerSealedImage newer =
            findNewerSealedImage(chosenImage, device->getMemoryBuffer(DEVICE_MEMORY_BACKUP), password);
        if (newer == NEWER_SEALED_IMAGE_FIRST)
            text += QStringLiteral("\n\n") + tr("The main memory holds the newer vault.");
        else if (newer == NEWER_SEALED_IMAGE_SECOND)
            text += QStringLiteral("\n\n") + tr("The backup memory holds the newer vault.");
        QMessageBox::StandardButton answer = QMessageBox::Cancel;
        // A lock closes the box unanswered: it is asked again after the unlock.
        const bool isAnswered = host.askAcrossLock(
            [this, &answer, &text]()
            {
                answer = QMessageBox::warning(host.dialogParent(), tr("Warning"), text,
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                              QMessageBox::Cancel);
            });
        if (!isAnswered)
            answer = QMessageBox::Cancel;
        // The box ran an event loop: go on only with the device it was asked about.
        if (session.device() != device)
            return nullptr;
        if (answer == QMessageBox::No)
            chosenImage = device->getMemoryBuffer(DEVICE_MEMORY_BACKUP);
        else if (answer != QMessageBox::Yes)
        {
            session.close();
            return nullptr;
        }
        chosenMemoryIndex = answer == QMessageBox::No ? DEVICE_MEMORY_BACKUP : DEVICE_MEMORY_MAIN;
    }

    SecureImageBuffer plaintext(MEMORY_IMAGE_SIZE);
    VaultSeal seal;
    const int result =
        openVaultImage(chosenImage, password, plaintext.data(), &seal.state, &seal.saveCounter);
    if (result == VAULT_IMAGE_SUCCESS)
    {
        const DeviceIdentity identity = readDeviceIdentity(*device);
        DeviceSealMemory sealMemory(settings);
        const QString question = sealQuestion(sealMemory.judgeOpened(seal, identity), identity,
                                              tr("The data on this device were modified outside Corvane Key "
                                                 "Manager. Open them anyway?"),
                                              tr("This device holds an older vault than the one saved from "
                                                 "this computer on %1. Open it anyway?"));
        if (!question.isEmpty())
        {
            QMessageBox::StandardButton answer = QMessageBox::No;
            const bool isAnswered = host.askAcrossLock(
                [this, &answer, &question]()
                {
                    answer = QMessageBox::question(host.dialogParent(), tr("Warning"), question,
                                                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
                });
            if (!isAnswered)
                answer = QMessageBox::No;
            // The box ran an event loop: go on only with the device it was asked about.
            if (answer != QMessageBox::Yes || session.device() != device)
            {
                if (session.device() == device)
                    session.close();
                return nullptr;
            }
        }
        sealMemory.recordOpened(seal, identity);
        _openedSeal = seal;
        std::memcpy(chosenImage, plaintext.data(), MEMORY_IMAGE_SIZE);
        return chosenImage;
    }
    const QString wrongPasswordText =
        tr("Failed to decrypt data. Make sure you provided the correct password.");
    if (result == VAULT_IMAGE_CRYPTO_FAILURE)
        showFailure(tr("Failed to decrypt data, aborting."));
    else if (wrongPasswordHandling == WRONG_PASSWORD_ASKED_AGAIN)
    {
        // A typing mistake costs no second read: the images stay, encrypted, for the next password.
        _isReadingPasswordWrong = true;
        pages().insertReadingMasterPassword->setErrorText(wrongPasswordText);
    }
    else
        showFailure(wrongPasswordText);
    return nullptr;
}

bool DeviceWorkflow::isReadingPasswordWrong() const
{
    return _isReadingPasswordWrong;
}

const VaultSeal& DeviceWorkflow::openedSeal() const
{
    return _openedSeal;
}

QString DeviceWorkflow::sealQuestion(VaultSealVerdict verdict, const DeviceIdentity& device,
                                     const QString& modifiedText, const QString& olderText)
{
    if (verdict == VAULT_SEAL_VERDICT_MODIFIED)
        return modifiedText;
    if (verdict != VAULT_SEAL_VERDICT_OLDER)
        return QString();
    const QDateTime savedTime = DeviceSealMemory(settings).highestSaveCounterTime(device);
    return olderText.arg(QLocale().toString(savedTime.toLocalTime(), QLocale::ShortFormat));
}

// Ends ------------------------------------------------------------------------------------------------------

void DeviceWorkflow::showFailure(const QString& text, const QString& title)
{
    _errorString = text;
    host.pushMessageBoxDialogView(
        ViewContentMessageBoxDialog::ICON_ERROR, title.isEmpty() ? tr("Error") : title, text,
        ViewContentMessageBoxDialog::BUTTON_OK, ViewContentMessageBoxDialog::BUTTON_OK);
    session.close();
}

void DeviceWorkflow::finishUnsuccessfully()
{
    finish(_errorString.isEmpty() ? RESULT_CANCELLED : RESULT_FAILED);
}

void DeviceWorkflow::finish(Result result)
{
    session.close();
    if (_isFinished)
        return;
    _isFinished = true;
    _result = result;
    if (result != RESULT_FAILED)
        _errorString.clear();
    Q_EMIT finished(result);
}
