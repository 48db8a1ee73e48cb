#include "DeviceWorkflowSupport.h"

#include "device/Device.h"
#include "device/DeviceEnumeration.h"
#include "gui/support/EditorTestSupport.h"
#include "mainwindow/FormContentEditor.h"
#include "vault/MemoryImage.h"
#include "vault/MemoryImageEncryption.h"
#include "vault/VaultImage.h"
#include "views/ViewBase.h"
#include "views/ViewContentDeviceSelection.h"

#include <QAbstractButton>
#include <QAction>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include <memory>

namespace deviceworkflowtest
{
QByteArray encryptVault(const Vault& vault, const QString& password, quint64 saveCounter)
{
    QByteArray image(MEMORY_IMAGE_SIZE, Qt::Uninitialized);
    if (buildVaultImage(vault, password, reinterpret_cast<uint8_t*>(image.data()), nullptr, nullptr,
                        saveCounter) != VAULT_IMAGE_SUCCESS)
        return QByteArray();
    return image;
}

QByteArray encryptVaultWithoutSeal(const Vault& vault, const QString& password)
{
    QByteArray image(MEMORY_IMAGE_SIZE, Qt::Uninitialized);
    auto* bytes = reinterpret_cast<uint8_t*>(image.data());
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes), MEMORY_IMAGE_SIZE / 4);
    if (serializeVault(vault, bytes) < 0 ||
        encryptMemoryImage(password, MEMORY_IMAGE_FORMAT_VERSION, bytes) != 0)
        return QByteArray();
    return image;
}

int storedOffsetOfPlaintext(int plaintextOffset)
{
    // Outer salt, nonce, inner salt and initialization vector come first; the rest is counter mode.
    return 92 + plaintextOffset;
}

Vault decryptVault(const QByteArray& image, const QString& password, bool* isDecrypted)
{
    QByteArray plaintext = image;
    const bool isValid = plaintext.size() == MEMORY_IMAGE_SIZE &&
                         decryptMemoryImage(password, MEMORY_IMAGE_FORMAT_VERSION,
                                            reinterpret_cast<uint8_t*>(plaintext.data())) == 0;
    if (isDecrypted)
        *isDecrypted = isValid;
    return isValid ? parseVault(reinterpret_cast<const uint8_t*>(plaintext.constData())) : Vault();
}

DeviceDirectory::DeviceDirectory()
{
    qputenv(DEVICE_DIRECTORY_ENVIRONMENT_VARIABLE, QFile::encodeName(directory.path()));
}

DeviceDirectory::~DeviceDirectory()
{
    qunsetenv(DEVICE_DIRECTORY_ENVIRONMENT_VARIABLE);
}

QString DeviceDirectory::path() const
{
    return directory.path();
}

bool startDevice(SimulatorProcess& simulator, const DeviceDirectory& directory,
                 const QString& usbSerialNumber, const QString& name, const QByteArray& mainImage,
                 const QByteArray& backupImage, const QStringList& extraArguments)
{
    if (!mainImage.isEmpty() && (!simulator.writeMemory(0, mainImage) ||
                                 !simulator.writeMemory(1, backupImage.isEmpty() ? mainImage : backupImage)))
        return false;
    return simulator.start(directory.path(), usbSerialNumber, QStringList{"--name", name} + extraArguments);
}

QStringList requestsOtherThan(const QStringList& requestLog, const QString& request)
{
    QStringList others;
    for (const QString& line : requestLog)
    {
        if (line != request)
            others.append(line);
    }
    return others;
}

bool hasWriteRequest(const QStringList& requestLog)
{
    for (const QString& line : requestLog)
    {
        if (line.startsWith(QLatin1String("A5 02")) || line.startsWith(QLatin1String("A5 04")))
            return true;
    }
    return false;
}

QAction* action(FormContentEditor* window, const char* objectName)
{
    return window->findChild<QAction*>(QLatin1String(objectName));
}

QAction* saveAction(FormContentEditor* window)
{
    auto* button = editortest::child<QPushButton>(window, "pushButtonWriteDevice");
    return button && button->menu() ? button->menu()->actions().value(0) : nullptr;
}

QAction* changePasswordThenSaveAction(FormContentEditor* window)
{
    auto* button = editortest::child<QPushButton>(window, "pushButtonWriteDevice");
    return button && button->menu() ? button->menu()->actions().value(1) : nullptr;
}

bool enterReadingPassword(FormContentEditor* window, const QString& password)
{
    if (!editortest::waitForView(window, VIEW_ID_INSERT_READING_MASTER_PASSWORD))
        return false;
    QWidget* page = window->view(VIEW_ID_INSERT_READING_MASTER_PASSWORD);
    auto* lineEdit = editortest::child<QLineEdit>(page, "lineEditPasswordField");
    auto* ok = editortest::child<QAbstractButton>(page, "pushButtonOk");
    QTest::keyClicks(lineEdit, password);
    if (!ok->isEnabled())
        return false;
    QTest::mouseClick(ok, Qt::LeftButton);
    return true;
}

bool enterWritingPassword(FormContentEditor* window, const QString& password)
{
    if (!editortest::waitForView(window, VIEW_ID_INSERT_WRITING_MASTER_PASSWORD))
        return false;
    QWidget* page = window->view(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD);
    QTest::keyClicks(editortest::child<QLineEdit>(page, "lineEditFirstPasswordField"), password);
    QTest::keyClicks(editortest::child<QLineEdit>(page, "lineEditSecondPasswordField"), password);
    auto* ok = editortest::child<QAbstractButton>(page, "pushButtonOk");
    if (!ok->isEnabled())
        return false;
    QTest::mouseClick(ok, Qt::LeftButton);
    return true;
}

bool waitUntil(const std::function<bool()>& predicate, int timeoutMilliseconds)
{
    if (predicate())
        return true;
    QEventLoop loop;
    QTimer pollTimer;
    QObject::connect(&pollTimer, &QTimer::timeout, &loop,
                     [&]()
                     {
                         if (predicate())
                             loop.quit();
                     });
    pollTimer.start(2);
    QTimer::singleShot(timeoutMilliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    return predicate();
}

bool waitForPage(FormContentEditor* window, int viewId)
{
    // Device exchanges may take a few seconds when a fault makes a reply time out. A message that comes
    // instead waits for an answer nobody gives: no use waiting any longer.
    const bool isMessageAwaited =
        viewId == VIEW_ID_MESSAGE_BOX_DIALOG || viewId == VIEW_ID_APPLICATION_LOCKED;
    waitUntil(
        [&]()
        {
            const int shownViewId = window->currentViewId();
            return shownViewId == viewId || (!isMessageAwaited && shownViewId == VIEW_ID_MESSAGE_BOX_DIALOG);
        });
    if (window->currentViewId() == viewId)
        return true;
    qWarning("Waited in vain for page %d: %s", viewId, qPrintable(editortest::describeScreen(window)));
    return false;
}

QString waitForMessage(FormContentEditor* window)
{
    if (!waitForPage(window, VIEW_ID_MESSAGE_BOX_DIALOG))
        return QString();
    return editortest::viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG) + "|" +
           editortest::messageBoxText(window);
}

QStringList deviceListTexts(FormContentEditor* window)
{
    auto* list = editortest::child<QListWidget>(window->view(VIEW_ID_DEVICE_SELECTION), "listWidget");
    QStringList texts;
    for (int row = 0; row < list->count(); row++)
        texts.append(list->item(row)->text());
    return texts;
}

QString deviceRowText(const QString& name, const QString& usbSerialNumber)
{
    return QStringLiteral("%1\nSerial number %2").arg(name, usbSerialNumber);
}

bool chooseDevice(FormContentEditor* window, const QString& usbSerialNumber)
{
    if (!waitForPage(window, VIEW_ID_DEVICE_SELECTION))
        return false;
    auto* selection =
        qobject_cast<ViewContentDeviceSelection*>(window->view(VIEW_ID_DEVICE_SELECTION)->contentWidget());
    auto rowOfDevice = [&]()
    {
        const QList<Device*> devices = selection->listedDevices();
        for (int row = 0; row < devices.size(); row++)
        {
            if (devices.at(row)->getUsbSerialNumber() == usbSerialNumber)
                return row;
        }
        return -1;
    };
    if (!waitUntil([&]() { return rowOfDevice() >= 0; }, 5000))
        return false;
    auto* list = editortest::child<QListWidget>(window->view(VIEW_ID_DEVICE_SELECTION), "listWidget");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->item(rowOfDevice())).center());
    QCoreApplication::sendPostedEvents(selection, QEvent::MetaCall);
    QTest::mouseClick(
        editortest::child<QPushButton>(window->view(VIEW_ID_DEVICE_SELECTION), "pushButtonSelect"),
        Qt::LeftButton);
    QCoreApplication::sendPostedEvents(selection, QEvent::MetaCall);
    return window->currentViewId() != VIEW_ID_DEVICE_SELECTION;
}

bool openVault(FormContentEditor* window, const QString& password)
{
    action(window, "actionOpenDevice")->trigger();
    return enterReadingPassword(window, password) && waitForPage(window, VIEW_ID_CONTENT_EDITOR);
}

void lockWhenProgressMoves(FormContentEditor* window, int progressViewId)
{
    auto* progressBar = editortest::child<QProgressBar>(window->view(progressViewId), "progressBar");
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(progressBar, &QProgressBar::valueChanged, window,
                                   [window, connection](int value)
                                   {
                                       if (value <= 0 || window->isApplicationLocked())
                                           return;
                                       QObject::disconnect(*connection);
                                       action(window, "actionLockApplication")->trigger();
                                   });
}

bool waitForTransferBehindLock(FormContentEditor* window, int progressViewId)
{
    if (!waitUntil([&]() { return window->activeViewId() != progressViewId; }, 120000))
        return false;
    // Whatever the end of the transfer set off has had its turns of the event loop.
    for (int round = 0; round < 10; round++)
        QCoreApplication::processEvents();
    return window->isApplicationLocked() && window->currentViewId() == VIEW_ID_APPLICATION_LOCKED;
}

bool unlockWindow(FormContentEditor* window, const QString& password)
{
    QWidget* lockedPage = window->view(VIEW_ID_APPLICATION_LOCKED);
    QTest::keyClicks(editortest::child<QLineEdit>(lockedPage, "lineEditPassword"), password);
    QTest::mouseClick(editortest::child<QPushButton>(lockedPage, "pushButtonUnlock"), Qt::LeftButton);
    return !window->isApplicationLocked();
}
} // namespace deviceworkflowtest
