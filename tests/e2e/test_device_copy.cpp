// The device copy wizard against simulated devices: the source read and decrypted, the target checked,
// confirmed, written under its own password and verified, and every way out.
#include "device/Device.h"
#include "gui/support/EditorTestSupport.h"
#include "gui/support/ModalBoxAnswerer.h"
#include "mainwindow/FormContentEditor.h"
#include "support/DeviceWorkflowSupport.h"
#include "support/DeviceWorkflowTestCase.h"
#include "vault/MemoryImage.h"
#include "vault/MemoryImageEncryption.h"
#include "vault/VaultImage.h"
#include "views/ViewBase.h"
#include "views/ViewContentDeviceSelection.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace deviceworkflowtest;
using editortest::makeRecord;

namespace
{
const QString SOURCE_PASSWORD = QStringLiteral("Source pass 1!");
const QString TARGET_PASSWORD = QStringLiteral("Other target pass 2?");

Vault _sourceVault_helper()
{
    return {VaultTab{"Work", {makeRecord("VPN", "me", "v9N", "vpn.example")}},
            VaultTab{"Home", {makeRecord("Bank", "alex", "q7!R", "https://bank.example", "PIN elsewhere")}}};
}

Vault _targetVault_helper()
{
    return {VaultTab{"Old target", {makeRecord("Gone", "soon")}}};
}

Vault _shownVault_helper()
{
    return {VaultTab{"Shown", {makeRecord("Forum", "alex", "f0rum")}}};
}

// The whole vault area of the decrypted image, random filler included: what the copy must carry over
// unchanged (the check digest after it belongs to each encryption).
QByteArray _plaintext_helper(const QByteArray& image, const QString& password)
{
    QByteArray plaintext = image;
    if (plaintext.size() != MEMORY_IMAGE_SIZE ||
        decryptMemoryImage(password, MEMORY_IMAGE_FORMAT_VERSION,
                           reinterpret_cast<uint8_t*>(plaintext.data())) != 0)
        return QByteArray();
    return plaintext.left(VAULT_CAPACITY);
}

int _sealState_helper(const QByteArray& image, const QString& password)
{
    QByteArray plaintext(MEMORY_IMAGE_SIZE, '\0');
    VaultSealState sealState = VAULT_SEAL_MISMATCH;
    if (openVaultImage(reinterpret_cast<const uint8_t*>(image.constData()), password,
                       reinterpret_cast<uint8_t*>(plaintext.data()), &sealState) != VAULT_IMAGE_SUCCESS)
        return -1;
    return sealState;
}
} // namespace

class TestDeviceCopy : public DeviceWorkflowTestCase
{
    Q_OBJECT

public:
    TestDeviceCopy() : DeviceWorkflowTestCase(_shownVault_helper()) {}

private:
    QWidget* page(int viewId)
    {
        return window->view(viewId);
    }

    QPushButton* button(int viewId, const char* objectName)
    {
        return editortest::child<QPushButton>(page(viewId), objectName);
    }

    QLineEdit* passwordField(int viewId)
    {
        return editortest::child<QLineEdit>(page(viewId), "lineEditPassword");
    }

    // From the vault editor to the source password page.
    void startWizard()
    {
        action(window, "actionCopyDevice")->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1));
        QTest::mouseClick(button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1, "pushButtonNext"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2));
    }

    void enterSourcePassword(const QString& password)
    {
        QLineEdit* field = passwordField(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2);
        field->clear();
        QTest::keyClicks(field, password);
        QTest::mouseClick(button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2, "pushButtonNext"), Qt::LeftButton);
    }

    // Types the target password (possibly empty) and presses Next; the confirmation box is answered.
    void enterTargetPassword(const QString& password)
    {
        QLineEdit* field = passwordField(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3);
        field->clear();
        QTest::keyClicks(field, password);
        QTest::mouseClick(button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3, "pushButtonNext"), Qt::LeftButton);
    }

    // The source read and decrypted, the source unplugged: the wizard waits on the target page.
    void readSource(SimulatorProcess& source)
    {
        startWizard();
        enterSourcePassword(SOURCE_PASSWORD);
        QVERIFY(waitForPage(window, VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3));
        QVERIFY(!window->workflowDevice());
        QVERIFY(window->isCopyWizardDataHeld());
        QVERIFY(source.stop());
    }

private Q_SLOTS:
    void lockDuringTheCopyHoldsUntilTheMasterPassword()
    {
        const QString shownPassword = QStringLiteral("shown vault's password");
        window->setKnownMasterPassword(shownPassword);
        SimulatorProcess source;
        SimulatorProcess target;
        QVERIFY(startDevice(source, *deviceDirectory, "TZQVR-0001", "Source",
                            encryptVault(_sourceVault_helper(), SOURCE_PASSWORD), QByteArray(),
                            {"--speed", "200000"}));
        // Locked while the source is read: the target page waits behind the locked page.
        lockWhenProgressMoves(window, VIEW_ID_READ_DEVICE);
        startWizard();
        enterSourcePassword(SOURCE_PASSWORD);
        QVERIFY(waitForTransferBehindLock(window, VIEW_ID_READ_DEVICE));
        QVERIFY(unlockWindow(window, shownPassword));
        QVERIFY(waitForPage(window, VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3));
        QVERIFY(source.stop());

        // Locked while the target is written: the last page waits behind it.
        QVERIFY(startDevice(target, *deviceDirectory, "TZQVR-0002", "Target", QByteArray(), QByteArray(),
                            {"--speed", "200000"}));
        lockWhenProgressMoves(window, VIEW_ID_WRITE_DEVICE);
        ModalBoxAnswerer confirmation(QMessageBox::Yes);
        enterTargetPassword(QString());
        QVERIFY(waitForTransferBehindLock(window, VIEW_ID_WRITE_DEVICE));
        QVERIFY(unlockWindow(window, shownPassword));
        QVERIFY(
            waitUntil([&]() { return window->activeViewId() == VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4; }, 60000));
        QCOMPARE(decryptVault(target.memory(DEVICE_MEMORY_BACKUP), SOURCE_PASSWORD), _sourceVault_helper());
    }

    void emptyTargetPasswordCopiesUnderTheSourcePassword()
    {
        SimulatorProcess source;
        SimulatorProcess target;
        const QByteArray sourceImage = encryptVault(_sourceVault_helper(), SOURCE_PASSWORD);
        QVERIFY2(startDevice(source, *deviceDirectory, "TZQVR-0001", "Source <b>one</b> & co", sourceImage),
                 qPrintable(source.errorString()));
        readSource(source);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(startDevice(target, *deviceDirectory, "TZQVR-0002", "Target",
                             encryptVault(_targetVault_helper(), TARGET_PASSWORD)),
                 qPrintable(target.errorString()));

        ModalBoxAnswerer confirmation(QMessageBox::Yes);
        enterTargetPassword(QString());
        QVERIFY(waitForPage(window, VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4));
        QVERIFY(confirmation.isBoxSeen());
        QCOMPARE(confirmation.title(), QStringLiteral("Confirmation"));
        QCOMPARE(confirmation.text(),
                 QStringLiteral(
                     "Please confirm the device duplication settings.<br /><br />Source device name: "
                     "<b>Source &lt;b&gt;one&lt;/b&gt; &amp; co</b> (serial number TZQVR-0001)<br />Target "
                     "device name: <b>Target</b> (serial number TZQVR-0002)<br />Source and target devices "
                     "master password are <b>identical</b>.<br /><br />Do you want to continue?"));
        // Nothing of the source outlives the copy, and the target is closed.
        QVERIFY(!window->isCopyWizardDataHeld());
        QVERIFY(!window->workflowDevice());

        // Both memories hold the same new envelope of the source's whole plaintext image, filler included;
        // only the seal after the end marker is made again, for the new envelope.
        const QByteArray mainImage = target.memory(DEVICE_MEMORY_MAIN);
        QCOMPARE(target.memory(DEVICE_MEMORY_BACKUP), mainImage);
        QVERIFY(mainImage != sourceImage);
        const QByteArray copiedPlaintext = _plaintext_helper(mainImage, SOURCE_PASSWORD);
        const QByteArray sourcePlaintext = _plaintext_helper(sourceImage, SOURCE_PASSWORD);
        const int sealOffset = static_cast<int>(sourcePlaintext.indexOf('\x04')) + 1;
        QVERIFY(sealOffset > 0);
        QCOMPARE(copiedPlaintext.left(sealOffset + VAULT_SEAL_MARKER_SIZE),
                 sourcePlaintext.left(sealOffset + VAULT_SEAL_MARKER_SIZE));
        QCOMPARE(copiedPlaintext.mid(sealOffset + VAULT_SEAL_SIZE),
                 sourcePlaintext.mid(sealOffset + VAULT_SEAL_SIZE));
        QCOMPARE(_sealState_helper(mainImage, SOURCE_PASSWORD), int(VAULT_SEAL_VALID));
        QCOMPARE(decryptVault(mainImage, SOURCE_PASSWORD), _sourceVault_helper());

        // Exit unwinds the wizard to the vault editor, whose vault played no part.
        QTest::mouseClick(button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4, "pushButtonExit"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(window->getVault(), _shownVault_helper());
    }

    void differentTargetPasswordEncryptsUnderIt()
    {
        SimulatorProcess source;
        SimulatorProcess target;
        QVERIFY(startDevice(source, *deviceDirectory, "TZQVR-0001", "Source",
                            encryptVault(_sourceVault_helper(), SOURCE_PASSWORD)));
        readSource(source);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(startDevice(target, *deviceDirectory, "TZQVR-0002", "Target"));

        ModalBoxAnswerer confirmation(QMessageBox::Yes);
        enterTargetPassword(TARGET_PASSWORD);
        QVERIFY(waitForPage(window, VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4));
        QVERIFY(confirmation.text().contains(QLatin1String("master password are <b>different</b>")));

        const QByteArray mainImage = target.memory(DEVICE_MEMORY_MAIN);
        QCOMPARE(target.memory(DEVICE_MEMORY_BACKUP), mainImage);
        QCOMPARE(decryptVault(mainImage, TARGET_PASSWORD), _sourceVault_helper());
        QCOMPARE(_sealState_helper(mainImage, TARGET_PASSWORD), int(VAULT_SEAL_VALID));
        bool isDecrypted = true;
        decryptVault(mainImage, SOURCE_PASSWORD, &isDecrypted);
        QVERIFY(!isDecrypted);
        // The target password page that was typed in is empty once left.
        QTest::mouseClick(button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4, "pushButtonExit"), Qt::LeftButton);
        QVERIFY(passwordField(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3)->text().isEmpty());
        QVERIFY(passwordField(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2)->text().isEmpty());
    }

    void targetRefusalsWriteNothingAndAllowAnotherTarget()
    {
        SimulatorProcess source;
        QVERIFY(startDevice(source, *deviceDirectory, "TZQVR-0001", "Source",
                            encryptVault(_sourceVault_helper(), SOURCE_PASSWORD)));
        readSource(source);
        if (QTest::currentTestFailed())
            return;

        // A target that must not be used as backup is refused before anything is written.
        const QByteArray targetImage = encryptVault(_targetVault_helper(), TARGET_PASSWORD);
        {
            SimulatorProcess flagged;
            QVERIFY(startDevice(flagged, *deviceDirectory, "TZQVR-0002", "Flagged", targetImage, QByteArray(),
                                {"--backup-disabled"}));
            ModalBoxAnswerer confirmation(QMessageBox::Yes);
            enterTargetPassword(QString());
            QVERIFY(waitForMessage(window).startsWith(
                "Device backup disabled|The selected target device can't be used as backup."));
            QVERIFY(!confirmation.isBoxSeen());
            QVERIFY(!hasWriteRequest(flagged.requestLog()));
            QCOMPARE(flagged.memory(DEVICE_MEMORY_MAIN), targetImage);
            QVERIFY(!window->workflowDevice());
            QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
            QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3));
        }

        // Answering No to the confirmation closes the target and writes nothing either.
        SimulatorProcess target;
        QVERIFY(startDevice(target, *deviceDirectory, "TZQVR-0003", "Target", targetImage));
        {
            ModalBoxAnswerer confirmation(QMessageBox::No);
            enterTargetPassword(QString());
            QTRY_VERIFY(confirmation.isBoxSeen());
            QTRY_VERIFY(!window->workflowDevice());
            QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3));
            QVERIFY(!hasWriteRequest(target.requestLog()));
        }

        // The source content was kept for another target: the copy still succeeds.
        ModalBoxAnswerer confirmation(QMessageBox::Yes);
        enterTargetPassword(QString());
        QVERIFY(waitForPage(window, VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4));
        QCOMPARE(decryptVault(target.memory(DEVICE_MEMORY_MAIN), SOURCE_PASSWORD), _sourceVault_helper());
    }

    void failedTargetWriteReportsAndKeepsTheWizardOpen()
    {
        SimulatorProcess source;
        QVERIFY(startDevice(source, *deviceDirectory, "TZQVR-0001", "Source",
                            encryptVault(_sourceVault_helper(), SOURCE_PASSWORD)));
        readSource(source);
        if (QTest::currentTestFailed())
            return;
        SimulatorProcess target;
        QVERIFY(startDevice(target, *deviceDirectory, "TZQVR-0002", "Target", QByteArray(), QByteArray(),
                            {"--store-inverted"}));

        ModalBoxAnswerer confirmation(QMessageBox::Yes);
        enterTargetPassword(TARGET_PASSWORD);
        QCOMPARE(waitForMessage(window),
                 QStringLiteral("Write error|Data could not be successfully written. Please retry.\nConsider "
                                "changing the device if this error is still occurring."));
        QVERIFY(!window->workflowDevice());
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3));

        // Leaving the target page ends the copy: the decrypted source goes with it.
        QVERIFY(window->isCopyWizardDataHeld());
        QTest::mouseClick(button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3, "pushButtonCancel"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(!window->isCopyWizardDataHeld());
    }

    void previousOnTheTargetPageForgetsTheSource()
    {
        SimulatorProcess source;
        QVERIFY(startDevice(source, *deviceDirectory, "TZQVR-0001", "Source",
                            encryptVault(_sourceVault_helper(), SOURCE_PASSWORD)));
        startWizard();
        enterSourcePassword(SOURCE_PASSWORD);
        QVERIFY(waitForPage(window, VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3));
        QVERIFY(window->isCopyWizardDataHeld());

        QTest::mouseClick(button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3, "pushButtonPrevious"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2));
        QVERIFY(!window->isCopyWizardDataHeld());
        // The source page is as it was left, and Next reads the source again.
        QCOMPARE(passwordField(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2)->text(), SOURCE_PASSWORD);
        source.clearRequestLog();
        QTest::mouseClick(button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2, "pushButtonNext"), Qt::LeftButton);
        QVERIFY(waitForPage(window, VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3));
        QVERIFY(source.requestLog().contains(QStringLiteral("A5 05")));
        QVERIFY(window->isCopyWizardDataHeld());
    }

    void wrongSourcePasswordStaysOnTheSourcePage()
    {
        SimulatorProcess source;
        QVERIFY(startDevice(source, *deviceDirectory, "TZQVR-0001", "Source",
                            encryptVault(_sourceVault_helper(), SOURCE_PASSWORD)));
        // The vault on screen comes from this device, so its master password is known.
        QVERIFY(openVault(window, SOURCE_PASSWORD));
        QVERIFY(action(window, "actionLockApplication")->isEnabled());

        startWizard();
        enterSourcePassword("not the password");
        QCOMPARE(
            waitForMessage(window),
            QStringLiteral("Error|Failed to decrypt data. Make sure you provided the correct password."));
        QVERIFY(!window->workflowDevice());
        QVERIFY(!window->isCopyWizardDataHeld());
        QVERIFY(editortest::answerMessageBox(window, "pushButtonOk"));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2));
        QCOMPARE(passwordField(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2)->text(),
                 QStringLiteral("not the password"));

        // A failed copy says nothing about the vault on screen: its password is still known.
        window->updateWidgetsState();
        QVERIFY(action(window, "actionLockApplication")->isEnabled());
        QVERIFY(saveAction(window)->isEnabled());
        QTest::mouseClick(button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2, "pushButtonCancel"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(window->getVault(), _sourceVault_helper());
    }

    void bothDevicesConnectedAsksForEachOne()
    {
        // Two devices of the same name: only their serial numbers tell them apart.
        SimulatorProcess source;
        SimulatorProcess target;
        QVERIFY(startDevice(source, *deviceDirectory, "TZQVR-0001", "Corvane",
                            encryptVault(_sourceVault_helper(), SOURCE_PASSWORD)));
        QVERIFY(startDevice(target, *deviceDirectory, "TZQVR-0002", "Corvane",
                            encryptVault(_targetVault_helper(), TARGET_PASSWORD)));

        startWizard();
        enterSourcePassword(SOURCE_PASSWORD);
        QVERIFY(chooseDevice(window, "TZQVR-0001"));
        QVERIFY(waitForPage(window, VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3));
        QVERIFY(!window->workflowDevice());

        ModalBoxAnswerer confirmation(QMessageBox::Yes);
        enterTargetPassword(TARGET_PASSWORD);
        QVERIFY(chooseDevice(window, "TZQVR-0002"));
        QVERIFY(waitForPage(window, VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4));
        QVERIFY(confirmation.text().contains(
            QLatin1String("Source device name: <b>Corvane</b> (serial number TZQVR-0001)")));
        QVERIFY(confirmation.text().contains(
            QLatin1String("Target device name: <b>Corvane</b> (serial number TZQVR-0002)")));
        QVERIFY(!confirmation.text().contains(QLatin1String("same device")));
        QCOMPARE(decryptVault(target.memory(DEVICE_MEMORY_MAIN), TARGET_PASSWORD), _sourceVault_helper());
        QCOMPARE(decryptVault(target.memory(DEVICE_MEMORY_BACKUP), TARGET_PASSWORD), _sourceVault_helper());
        // The source was only read.
        for (const QString& request : source.requestLog())
            QVERIFY2(!request.startsWith(QLatin1String("A5 04")), qPrintable(request));
        QCOMPARE(decryptVault(source.memory(DEVICE_MEMORY_MAIN), SOURCE_PASSWORD), _sourceVault_helper());
    }

    void copyOntoTheSourceDeviceSaysSo()
    {
        SimulatorProcess source;
        const QByteArray sourceImage = encryptVault(_sourceVault_helper(), SOURCE_PASSWORD);
        QVERIFY(startDevice(source, *deviceDirectory, "TZQVR-0001", "Source", sourceImage));
        startWizard();
        enterSourcePassword(SOURCE_PASSWORD);
        QVERIFY(waitForPage(window, VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3));
        source.clearRequestLog();

        ModalBoxAnswerer confirmation(QMessageBox::No);
        enterTargetPassword(TARGET_PASSWORD);
        QVERIFY(waitUntil([&]() { return confirmation.isBoxSeen(); }));
        QVERIFY2(confirmation.text().contains(QLatin1String("The source and the target are the same device")),
                 qPrintable(confirmation.text()));
        QVERIFY(waitUntil([&]() { return !window->workflowDevice(); }));
        QVERIFY(!hasWriteRequest(source.requestLog()));
        QCOMPARE(source.memory(DEVICE_MEMORY_MAIN), sourceImage);
    }
};

QTEST_MAIN(TestDeviceCopy)
#include "test_device_copy.moc"
