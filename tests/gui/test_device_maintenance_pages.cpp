// The pages of the device copy and erasing wizards in the main window: enabling, focus, the view stack
// moves of their buttons and the results they report, and a page shown alone by a stand-in window. The device
// work behind them is tested end to end.
#include "RecordingViewHost.h"
#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/workflows/DeviceWorkflow.h"
#include "passwordtools/PasswordStrength.h"
#include "support/EditorTestSupport.h"
#include "support/ModalBoxAnswerer.h"
#include "views/ViewBase.h"
#include "views/ViewContentDeviceCopyWizardPage1.h"
#include "views/ViewContentDeviceCopyWizardPage2.h"
#include "views/ViewContentDeviceCopyWizardPage3.h"
#include "views/ViewContentDeviceErasingWizardPage2.h"
#include "views/ViewContentShowDeviceInformation.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

using editortest::withoutMnemonic;

class TestDeviceMaintenancePages : public QObject
{
    Q_OBJECT

private:
    FormContentEditor* window = nullptr;

    QWidget* page(int viewId) const
    {
        return window->view(viewId)->contentWidget();
    }

    template <typename T> T* widget(int viewId, const char* objectName) const
    {
        T* found = page(viewId)->findChild<T*>(QLatin1String(objectName));
        if (!found)
            qFatal("no widget %s on page %d", objectName, viewId);
        return found;
    }

    QPushButton* button(int viewId, const char* objectName) const
    {
        return widget<QPushButton>(viewId, objectName);
    }

    QAction* action(const char* objectName) const
    {
        return window->findChild<QAction*>(QLatin1String(objectName));
    }

    void click(int viewId, const char* buttonName)
    {
        QTest::mouseClick(button(viewId, buttonName), Qt::LeftButton);
    }

    static QString strengthLabelFor(const QString& password)
    {
        QString strengthText;
        getPasswordStrength(password, &strengthText);
        return QStringLiteral("Password strength: <b>%1</b>").arg(strengthText);
    }

    // Opens the copy wizard from the start menu and goes to its password page.
    // Starts the command's workflow with the pages tested alone: their results must not start device work.
    void startWizard(const char* actionName)
    {
        action(actionName)->trigger();
        for (DeviceWorkflow* workflow : window->findChildren<DeviceWorkflow*>())
        {
            QObject::disconnect(page(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2), SIGNAL(passwordInserted(QString)),
                                workflow, nullptr);
            QObject::disconnect(page(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2), SIGNAL(erasingConfirmed(bool)),
                                workflow, nullptr);
        }
    }

    void enterCopyWizardPage2()
    {
        startWizard("actionCopyDevice");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1));
        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1, "pushButtonNext");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setQuitOnLastWindowClosed(false);
        initializeConfiguration();
        settings->setValue(CONFIGURATION_KEY_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION, APPLICATION_VERSION);

        window = new FormContentEditor();
        mainWindow = window;
        window->resize(1200, 800);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    void cleanupTestCase()
    {
        delete window;
        mainWindow = nullptr;
        releaseConfiguration();
    }

    void cleanup()
    {
        // Whatever a failed case left open, the next one starts from the bottom of the stack (the start
        // menu, until the last case enters the vault editor).
        window->popView(VIEW_ID_CONTENT_EDITOR);
    }

    void copyWizardFirstPageLeadsOnOrBack()
    {
        startWizard("actionCopyDevice");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1));
        QCOMPARE(window->view(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1)->title(),
                 QStringLiteral("Device copy wizard"));
        QTRY_COMPARE(QApplication::focusWidget(),
                     button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1, "pushButtonNext"));
        QVERIFY(!button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1, "pushButtonPrevious")->isEnabled());
        // A disabled Previous does nothing.
        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1, "pushButtonPrevious");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1));

        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1, "pushButtonCancel");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));

        // Page 2 replaced page 1: its Cancel leaves the wizard in one step.
        enterCopyWizardPage2();
        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2, "pushButtonCancel");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
    }

    void copyWizardSourcePasswordPageNeedsAPassword()
    {
        auto* page2 =
            qobject_cast<ViewContentDeviceCopyWizardPage2*>(page(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2));
        QSignalSpy spy(page2, &ViewContentDeviceCopyWizardPage2::passwordInserted);
        auto* lineEdit = widget<QLineEdit>(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2, "lineEditPassword");
        QPushButton* next = button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2, "pushButtonNext");
        QPushButton* show = button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2, "pushButtonShowPassword");

        enterCopyWizardPage2();
        QTRY_COMPARE(QApplication::focusWidget(), lineEdit);
        QVERIFY(!next->isEnabled());
        QVERIFY(!button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2, "pushButtonPrevious")->isEnabled());
        QTest::keyClick(lineEdit, Qt::Key_Return);
        QCOMPARE(spy.count(), 0);

        QTest::keyClicks(lineEdit, "x");
        QVERIFY(next->isEnabled());
        QTest::keyClick(lineEdit, Qt::Key_Backspace);
        QVERIFY(!next->isEnabled());

        QCOMPARE(lineEdit->echoMode(), QLineEdit::Password);
        QTest::mouseClick(show, Qt::LeftButton);
        QCOMPARE(lineEdit->echoMode(), QLineEdit::Normal);
        QCOMPARE(withoutMnemonic(show->text()), QStringLiteral("Hide"));
        QTest::mouseClick(show, Qt::LeftButton);
        QCOMPARE(lineEdit->echoMode(), QLineEdit::Password);
        QCOMPARE(withoutMnemonic(show->text()), QStringLiteral("Show"));

        // Back in the field (the focus went to Show with the click), Return answers as Next does.
        lineEdit->setFocus();
        QTest::keyClicks(lineEdit, "source secret");
        QTest::keyClick(lineEdit, Qt::Key_Return);
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("source secret"));
        QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("source secret"));
        // The page stays until the window moves on.
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2));

        // Leaving the wizard takes the typed password with it, and the next visit starts empty and hidden.
        QTest::mouseClick(show, Qt::LeftButton);
        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2, "pushButtonCancel");
        QVERIFY(lineEdit->text().isEmpty());
        enterCopyWizardPage2();
        QVERIFY(lineEdit->text().isEmpty());
        QCOMPARE(lineEdit->echoMode(), QLineEdit::Password);
        QCOMPARE(withoutMnemonic(show->text()), QStringLiteral("Show"));
        QVERIFY(!next->isEnabled());
    }

    void copyWizardTargetPasswordPageAcceptsAnEmptyPassword()
    {
        auto* page3 =
            qobject_cast<ViewContentDeviceCopyWizardPage3*>(page(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3));
        auto* lineEdit = widget<QLineEdit>(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3, "lineEditPassword");
        auto* strength = widget<QLabel>(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3, "labelPasswordStrength");
        QPushButton* next = button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3, "pushButtonNext");

        enterCopyWizardPage2();
        // The window shows page 3 once the source is decrypted; here it is shown directly, with the window's
        // own reaction to the target password cut off.
        for (DeviceWorkflow* workflow : window->findChildren<DeviceWorkflow*>())
            QObject::disconnect(page3, SIGNAL(passwordInserted(QString)), workflow, nullptr);
        QSignalSpy spy(page3, &ViewContentDeviceCopyWizardPage3::passwordInserted);
        window->pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3);
        QTRY_COMPARE(QApplication::focusWidget(), lineEdit);
        // Empty is no weak password but "same as the source": no rating for it.
        QCOMPARE(strength->text(), QStringLiteral("The source device master password will be used."));
        QVERIFY(next->isEnabled());
        QCOMPARE(lineEdit->placeholderText(),
                 QStringLiteral("Leave blank to use the source device master password"));

        QTest::keyClick(lineEdit, Qt::Key_Return);
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toString(), QString());
        QCOMPARE(spy.at(1).at(0).toString(), QString());

        // A weak target password asks once; No stays on the page with it.
        QTest::keyClicks(lineEdit, "abc");
        {
            ModalBoxAnswerer answerer(QMessageBox::No);
            QTest::mouseClick(next, Qt::LeftButton);
            QVERIFY(answerer.isBoxSeen());
            QCOMPARE(answerer.text(), QStringLiteral("This master password is weak. Use it anyway?"));
        }
        QCOMPARE(spy.count(), 2);
        QCOMPARE(lineEdit->text(), QStringLiteral("abc"));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        {
            ModalBoxAnswerer answerer(QMessageBox::Yes);
            QTest::mouseClick(next, Qt::LeftButton);
            QVERIFY(answerer.isBoxSeen());
        }
        QCOMPARE(spy.count(), 3);
        QCOMPARE(spy.at(2).at(0).toString(), QStringLiteral("abc"));
        spy.clear();
        lineEdit->clear();
        // The offscreen platform gives the activation back to no window when a modal box closes.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));

        QTest::keyClicks(lineEdit, "Target-Passw0rd!2024");
        QCOMPARE(strength->text(), strengthLabelFor(QStringLiteral("Target-Passw0rd!2024")));
        QVERIFY(strength->text() != strengthLabelFor(QString()));
        QTest::keyClick(lineEdit, Qt::Key_Return);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("Target-Passw0rd!2024"));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3));

        // Emptied again, the rating goes; entered again, the page starts empty.
        QTest::keyClick(lineEdit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(lineEdit, Qt::Key_Backspace);
        QCOMPARE(strength->text(), QStringLiteral("The source device master password will be used."));
        QTest::keyClicks(lineEdit, "x");
        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3, "pushButtonPrevious");
        window->pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3);
        QVERIFY(lineEdit->text().isEmpty());
        QCOMPARE(strength->text(), QStringLiteral("The source device master password will be used."));
        QObject::connect(page3, SIGNAL(passwordInserted(QString)), window,
                         SLOT(_slotViewContentDeviceCopyWizardTargetDevicePasswordInserted(QString)));
    }

    void copyWizardPreviousRevealsThePasswordPageAsLeft()
    {
        auto* sourceLineEdit = widget<QLineEdit>(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2, "lineEditPassword");
        auto* targetLineEdit = widget<QLineEdit>(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3, "lineEditPassword");
        enterCopyWizardPage2();
        QTest::keyClicks(sourceLineEdit, "kept as typed");
        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2, "pushButtonShowPassword");

        window->pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3);
        QTest::keyClicks(targetLineEdit, "target");
        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3, "pushButtonPrevious");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2));
        QCOMPARE(sourceLineEdit->text(), QStringLiteral("kept as typed"));
        QCOMPARE(sourceLineEdit->echoMode(), QLineEdit::Normal);
        QCOMPARE(withoutMnemonic(button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2, "pushButtonShowPassword")->text()),
                 QStringLiteral("Hide"));
        QVERIFY(button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2, "pushButtonNext")->isEnabled());
        // The target page that was left holds no password any more.
        QVERIFY(targetLineEdit->text().isEmpty());

        // Cancel on page 3 unwinds the whole wizard.
        window->pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3);
        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3, "pushButtonCancel");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        QVERIFY(sourceLineEdit->text().isEmpty());
    }

    void copyWizardTargetPageWithoutSourceContentWritesNothing()
    {
        // Reached without a decrypted source (nothing to write), the target password leads back to the
        // source page with an error instead of to any device.
        enterCopyWizardPage2();
        window->pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3);
        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3, "pushButtonNext");
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_MESSAGE_BOX_DIALOG));
        QCOMPARE(window->view(VIEW_ID_MESSAGE_BOX_DIALOG)->title(), QStringLiteral("Error"));
        QVERIFY(!window->isCopyWizardDataHeld());
        click(VIEW_ID_MESSAGE_BOX_DIALOG, "pushButtonOk");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2));
    }

    void copyWizardLastPageOnlyExits()
    {
        enterCopyWizardPage2();
        window->pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3);
        window->pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4);
        QTRY_COMPARE(QApplication::focusWidget(),
                     button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4, "pushButtonExit"));
        QVERIFY(!button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4, "pushButtonPrevious")->isEnabled());
        QVERIFY(!button(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4, "pushButtonNext")->isEnabled());
        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4, "pushButtonPrevious");
        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4, "pushButtonNext");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4));

        // Exit unwinds to where the wizard was started: the start menu here.
        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_4, "pushButtonExit");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
    }

    void erasingWizardAsksForAnExplicitConfirmation()
    {
        auto* page2 =
            qobject_cast<ViewContentDeviceErasingWizardPage2*>(page(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2));
        QSignalSpy spy(page2, &ViewContentDeviceErasingWizardPage2::erasingConfirmed);
        auto* resetName = widget<QCheckBox>(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2, "checkBoxResetDeviceName");
        auto* confirmation = widget<QCheckBox>(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2, "checkBoxConfirmation");
        QPushButton* next = button(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2, "pushButtonNext");

        startWizard("actionEraseDevice");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_1));
        QTRY_COMPARE(QApplication::focusWidget(),
                     button(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_1, "pushButtonNext"));
        click(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_1, "pushButtonCancel");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));

        startWizard("actionEraseDevice");
        click(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_1, "pushButtonNext");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2));
        QTRY_COMPARE(QApplication::focusWidget(), resetName);
        QVERIFY(!next->isEnabled());
        QTest::mouseClick(resetName, Qt::LeftButton, Qt::NoModifier, QPoint(8, resetName->height() / 2));
        QVERIFY(resetName->isChecked());
        QVERIFY(!next->isEnabled());
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(spy.count(), 0);

        QTest::mouseClick(confirmation, Qt::LeftButton, Qt::NoModifier,
                          QPoint(8, confirmation->height() / 2));
        QVERIFY(next->isEnabled());
        QTest::mouseClick(confirmation, Qt::LeftButton, Qt::NoModifier,
                          QPoint(8, confirmation->height() / 2));
        QVERIFY(!next->isEnabled());
        QTest::mouseClick(confirmation, Qt::LeftButton, Qt::NoModifier,
                          QPoint(8, confirmation->height() / 2));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2));

        QTest::mouseClick(resetName, Qt::LeftButton, Qt::NoModifier, QPoint(8, resetName->height() / 2));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toBool(), false);

        // Page 2 replaced page 1: Cancel leaves the wizard, and a later visit asks again from scratch.
        click(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_2, "pushButtonCancel");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        startWizard("actionEraseDevice");
        click(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_1, "pushButtonNext");
        QVERIFY(!resetName->isChecked());
        QVERIFY(!confirmation->isChecked());
        QVERIFY(!next->isEnabled());

        // The last page replaces page 2 as well; Exit returns to where the wizard was started.
        window->switchView(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_3);
        QTRY_COMPARE(QApplication::focusWidget(),
                     button(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_3, "pushButtonExit"));
        click(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_3, "pushButtonExit");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
    }

    void wizardsReturnToTheVaultEditorWhenStartedThere()
    {
        // From the editor the menu bar is shown, and both wizards come back to it.
        window->findChild<QLabel*>(QStringLiteral("labelDeviceInitialization"))
            ->linkActivated(QStringLiteral("unused_link"));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));

        startWizard("actionCopyDevice");
        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_1, "pushButtonNext");
        window->pushView(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3);
        click(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3, "pushButtonCancel");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));

        startWizard("actionEraseDevice");
        click(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_1, "pushButtonNext");
        window->switchView(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_3);
        click(VIEW_ID_DEVICE_ERASING_WIZARD_PAGE_3, "pushButtonExit");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

    void pagesAskOnlyTheWindowThatShowsThem()
    {
        // Last, as it activates another window. The main window of this test is published, yet pages shown
        // by another window talk to that one.
        const int windowViewId = window->currentViewId();
        RecordingViewHost host;
        auto* copyPage = new ViewContentDeviceCopyWizardPage1(&host);
        host.addPage(copyPage);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QTest::mouseClick(copyPage->findChild<QPushButton*>(QStringLiteral("pushButtonNext")),
                          Qt::LeftButton);
        QTest::mouseClick(copyPage->findChild<QPushButton*>(QStringLiteral("pushButtonCancel")),
                          Qt::LeftButton);
        // No device is open: the page reports that it could not read one.
        host.addPage(new ViewContentShowDeviceInformation(&host));

        QCOMPARE(host.requests,
                 QStringList({QStringLiteral("switchView %1").arg(int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2)),
                              QStringLiteral("removeView ViewContentDeviceCopyWizardPage1"),
                              QStringLiteral("pushMessageBoxDialogView %1 Error")
                                  .arg(int(ViewContentMessageBoxDialog::ICON_ERROR))}));
        QCOMPARE(window->currentViewId(), windowViewId);
    }
};

QTEST_MAIN(TestDeviceMaintenancePages)
#include "test_device_maintenance_pages.moc"
