// The settings page: the stored values on every visit, the delay field tied to its check box and to 1 to
// 1440 minutes, the session lock and clipboard options, Save writing and Cancel not, and the window
// applying saved settings at once.
#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "support/EditorTestSupport.h"
#include "support/PrivateSettingsStore.h"
#include "views/ViewBase.h"
#include "views/ViewContentSettings.h"
#include "widgets/ScreenshotProtection.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

using namespace editortest;

namespace
{
struct StoredSettings
{
    bool isUpdateCheckEnabled;
    bool isAutoLockingEnabled;
    int delayMinutes;
    bool isScreenshotAllowed;
};

void store(const StoredSettings& values)
{
    // Written through the table, so that the window follows them.
    setSettingValue(SETTING_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED, values.isUpdateCheckEnabled);
    setSettingValue(SETTING_IS_APPLICATION_AUTO_LOCKING_ENABLED, values.isAutoLockingEnabled);
    setSettingValue(SETTING_APPLICATION_AUTO_LOCKING_DELAY_MINUTES, values.delayMinutes);
    setSettingValue(SETTING_IS_APPLICATION_SCREENSHOT_ALLOWED, values.isScreenshotAllowed);
}

QVariantList storedValues()
{
    return {settings->value(CONFIGURATION_KEY_IS_NEW_APPLICATION_VERSION_CHECK_ENABLED),
            settings->value(CONFIGURATION_KEY_IS_APPLICATION_AUTO_LOCKING_ENABLED),
            settings->value(CONFIGURATION_KEY_APPLICATION_AUTO_LOCKING_DELAY_MINUTES),
            settings->value(CONFIGURATION_KEY_IS_APPLICATION_SCREENSHOT_ALLOWED)};
}
} // namespace

class TestSettingsView : public QObject
{
    Q_OBJECT

private:
    FormContentEditor* window = nullptr;

    QWidget* page()
    {
        return window->view(VIEW_ID_SETTINGS);
    }

    QCheckBox* checkBox(const char* objectName)
    {
        return child<QCheckBox>(page(), objectName);
    }

    QSpinBox* clipboardDelayField()
    {
        return child<QSpinBox>(page(), "spinBoxClipboardClearingDelay");
    }

    QSpinBox* delayField()
    {
        return child<QSpinBox>(page(), "spinBoxApplicationAutoLocking");
    }

    QWidget* delayWidget()
    {
        return findWidget(page(), "widgetApplicationAutoLockingDelay");
    }

    QPushButton* button(const char* objectName)
    {
        return child<QPushButton>(page(), objectName);
    }

    void openSettings()
    {
        window->findChild<QAction*>(QStringLiteral("actionSettings"))->trigger();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_SETTINGS));
    }

    QTimer* lockingTimer()
    {
        return window->findChild<QTimer*>(QStringLiteral("timerSecond"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        usePrivateSettingsStore();
        // No bus at all, whatever the machine running the test has.
        qputenv("CORVANE_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/corvane-test-system-bus");
        qputenv("CORVANE_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/corvane-test-session-bus");
    }

    void init()
    {
        window = createEditorWindow();
        store({false, true, 10, false});
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    void cleanup()
    {
        destroyEditorWindow(window);
        window = nullptr;
    }

    void formTextsAndOrder()
    {
        openSettings();
        QCOMPARE(viewTitle(window, VIEW_ID_SETTINGS), QStringLiteral("Settings"));
        QCOMPARE(child<QGroupBox>(page(), "groupBox")->title(), QStringLiteral("Application update"));
        QCOMPARE(child<QGroupBox>(page(), "groupBox_2")->title(), QStringLiteral("Application auto locking"));
        QCOMPARE(child<QGroupBox>(page(), "groupBoxScreenshotProtection")->title(),
                 QStringLiteral("Screenshot protection"));
        QCOMPARE(withoutMnemonic(checkBox("checkBoxNewApplicationVersionCheck")->text()),
                 QStringLiteral("Check for a newer application version on start"));
        QCOMPARE(withoutMnemonic(checkBox("checkBoxApplicationAutoLocking")->text()),
                 QStringLiteral("Automatically lock the application when the user is inactive for a while"));
        QCOMPARE(withoutMnemonic(checkBox("checkBoxAllowScreenshot")->text()),
                 QStringLiteral("Allow taking screenshots of the application displayed content"));
        QCOMPARE(withoutMnemonic(checkBox("checkBoxLockWithSession")->text()),
                 QStringLiteral("Lock when the screen is locked or the computer goes to sleep"));
        QCOMPARE(child<QGroupBox>(page(), "groupBoxClipboard")->title(), QStringLiteral("Clipboard"));
        QCOMPARE(withoutMnemonic(child<QLabel>(page(), "labelClipboardClearingDelay")->text()),
                 QStringLiteral("Clear the clipboard after (in seconds):"));
        QVERIFY(delayField()->suffix().isEmpty());
        QCOMPARE(withoutMnemonic(button("pushButtonSave")->text()), QStringLiteral("Save"));
        QCOMPARE(withoutMnemonic(button("pushButtonCancel")->text()), QStringLiteral("Cancel"));

        // This system cannot keep the window out of captures, and the page says so instead of promising it.
        QVERIFY(!isScreenshotProtectionSupported());
        auto* note = child<QLabel>(page(), "labelScreenshotProtectionUnavailable");
        QVERIFY(note->isVisible());
        QCOMPARE(note->text(), QStringLiteral("Screen capture cannot be blocked on this system."));

        const QList<QWidget*> expectedOrder = {checkBox("checkBoxNewApplicationVersionCheck"),
                                               checkBox("checkBoxApplicationAutoLocking"),
                                               delayField(),
                                               checkBox("checkBoxLockWithSession"),
                                               clipboardDelayField(),
                                               checkBox("checkBoxAllowScreenshot"),
                                               checkBox("checkBoxBackupReminder"),
                                               button("pushButtonSave"),
                                               button("pushButtonCancel")};
        expectedOrder.first()->setFocus();
        for (int i = 1; i < expectedOrder.size(); i++)
        {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expectedOrder[i]);
        }
    }

    void storedValuesAreShownOnEveryVisit()
    {
        store({true, false, 25, true});
        openSettings();
        QVERIFY(checkBox("checkBoxNewApplicationVersionCheck")->isChecked());
        QVERIFY(!checkBox("checkBoxApplicationAutoLocking")->isChecked());
        QVERIFY(!delayWidget()->isEnabled());
        QCOMPARE(delayField()->value(), 25);
        QVERIFY(checkBox("checkBoxAllowScreenshot")->isChecked());
        QVERIFY(button("pushButtonCancel")->hasFocus());
        QTest::mouseClick(button("pushButtonCancel"), Qt::LeftButton);

        // Changed behind the page's back (another visit reads again); out-of-range delays are brought in.
        store({false, true, 5000, false});
        openSettings();
        QVERIFY(!checkBox("checkBoxNewApplicationVersionCheck")->isChecked());
        QVERIFY(checkBox("checkBoxApplicationAutoLocking")->isChecked());
        QVERIFY(delayWidget()->isEnabled());
        QCOMPARE(delayField()->value(), 1440);
        QVERIFY(!checkBox("checkBoxAllowScreenshot")->isChecked());
        QTest::mouseClick(button("pushButtonCancel"), Qt::LeftButton);

        store({false, true, 0, false});
        openSettings();
        QCOMPARE(delayField()->value(), 1);
    }

    void delayFollowsItsCheckBoxAndRange()
    {
        openSettings();
        QVERIFY(delayWidget()->isEnabled());
        QTest::mouseClick(checkBox("checkBoxApplicationAutoLocking"), Qt::LeftButton);
        QVERIFY(!delayWidget()->isEnabled());
        QTest::mouseClick(checkBox("checkBoxApplicationAutoLocking"), Qt::LeftButton);
        QVERIFY(delayWidget()->isEnabled());

        QCOMPARE(delayField()->minimum(), 1);
        QCOMPARE(delayField()->maximum(), 1440);
        // A typed digit that would leave the range is refused.
        delayField()->selectAll();
        QTest::keyClicks(delayField(), QStringLiteral("5000"));
        QCOMPARE(delayField()->value(), 500);
        delayField()->setValue(0);
        QCOMPARE(delayField()->value(), 1);
        delayField()->setValue(2000);
        QCOMPARE(delayField()->value(), 1440);
        delayField()->setValue(1440);
        QTest::keyClick(delayField(), Qt::Key_Up);
        QCOMPARE(delayField()->value(), 1440);
        delayField()->setValue(1);
        QTest::keyClick(delayField(), Qt::Key_Down);
        QCOMPARE(delayField()->value(), 1);
    }

    void saveWritesAllFourAndAppliesThem()
    {
        auto* view = window->findChild<ViewContentSettings*>();
        QSignalSpy changedSpy(view, &ViewContentSettings::configurationChanged);
        int viewIdAtSignal = -1;
        connect(view, &ViewContentSettings::configurationChanged, this,
                [&]() { viewIdAtSignal = window->currentViewId(); });

        QVERIFY(isWindowScreenshotProtectionRequested(window));
        QVERIFY(lockingTimer()->isActive());

        openSettings();
        QTest::mouseClick(checkBox("checkBoxNewApplicationVersionCheck"), Qt::LeftButton);
        delayField()->setValue(7);
        // Unchecked, the delay field is disabled but its value is still saved.
        QTest::mouseClick(checkBox("checkBoxApplicationAutoLocking"), Qt::LeftButton);
        QTest::mouseClick(checkBox("checkBoxAllowScreenshot"), Qt::LeftButton);
        QTest::mouseClick(button("pushButtonSave"), Qt::LeftButton);

        QCOMPARE(storedValues(), (QVariantList{true, false, 7, true}));
        QCOMPARE(changedSpy.count(), 1);
        QCOMPARE(viewIdAtSignal, int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        // Applied at once, without a restart.
        QVERIFY(!isWindowScreenshotProtectionRequested(window));
        QVERIFY(!lockingTimer()->isActive());

        openSettings();
        QCOMPARE(delayField()->value(), 7);
        QTest::mouseClick(checkBox("checkBoxApplicationAutoLocking"), Qt::LeftButton);
        QTest::mouseClick(checkBox("checkBoxAllowScreenshot"), Qt::LeftButton);
        QTest::mouseClick(button("pushButtonSave"), Qt::LeftButton);
        QCOMPARE(storedValues(), (QVariantList{true, true, 7, false}));
        QCOMPARE(changedSpy.count(), 2);
        QVERIFY(isWindowScreenshotProtectionRequested(window));
        QVERIFY(lockingTimer()->isActive());
    }

    void sessionLockAndClipboardDelay()
    {
        settings->setValue(CONFIGURATION_KEY_IS_APPLICATION_LOCKED_WITH_SESSION, false);
        settings->setValue(CONFIGURATION_KEY_CLIPBOARD_CLEARING_DELAY_SECONDS, 0);
        openSettings();
        QVERIFY(!checkBox("checkBoxLockWithSession")->isChecked());
        QCOMPARE(clipboardDelayField()->value(), 0);
        QCOMPARE(clipboardDelayField()->text(), QStringLiteral("Never"));
        QCOMPARE(clipboardDelayField()->maximum(), 3600);
        // Without a bus nothing announces a screen lock or sleep, and the page says so.
        auto* note = child<QLabel>(page(), "labelSessionLockUnavailable");
        QVERIFY(note->isVisible());
        QCOMPARE(note->text(), QStringLiteral("Screen locking and sleep cannot be detected on this system."));

        QTest::mouseClick(checkBox("checkBoxLockWithSession"), Qt::LeftButton);
        clipboardDelayField()->setValue(45);
        QTest::mouseClick(button("pushButtonSave"), Qt::LeftButton);
        QCOMPARE(settings->value(CONFIGURATION_KEY_IS_APPLICATION_LOCKED_WITH_SESSION).toBool(), true);
        QCOMPARE(settings->value(CONFIGURATION_KEY_CLIPBOARD_CLEARING_DELAY_SECONDS).toInt(), 45);

        // Applied at once: the next copy counts down from the new delay.
        window->copyToClipboard(QStringLiteral("pw"));
        auto* countdown = child<QLabel>(window, "labelClipboardCountdown");
        QVERIFY(countdown->isVisible());
        QCOMPARE(countdown->text(), QStringLiteral("Clipboard cleared in 45 s"));
        QTest::keyClick(window, Qt::Key_K, Qt::ControlModifier);
        QVERIFY(!countdown->isVisible());
    }

    void backupReminderIsStored()
    {
        settings->setValue(CONFIGURATION_KEY_IS_BACKUP_REMINDER_ENABLED, true);
        openSettings();
        QVERIFY(checkBox("checkBoxBackupReminder")->isChecked());
        QCOMPARE(withoutMnemonic(checkBox("checkBoxBackupReminder")->text()),
                 QStringLiteral("Remind me to back up a device that changed since its last backup"));
        QTest::mouseClick(checkBox("checkBoxBackupReminder"), Qt::LeftButton);
        QTest::mouseClick(button("pushButtonSave"), Qt::LeftButton);
        QCOMPARE(settings->value(CONFIGURATION_KEY_IS_BACKUP_REMINDER_ENABLED).toBool(), false);
        openSettings();
        QVERIFY(!checkBox("checkBoxBackupReminder")->isChecked());
        QTest::mouseClick(button("pushButtonCancel"), Qt::LeftButton);
        settings->setValue(CONFIGURATION_KEY_IS_BACKUP_REMINDER_ENABLED, true);
    }

    void cancelWritesNothing()
    {
        auto* view = window->findChild<ViewContentSettings*>();
        QSignalSpy changedSpy(view, &ViewContentSettings::configurationChanged);
        const QVariantList before = storedValues();

        openSettings();
        QTest::mouseClick(checkBox("checkBoxNewApplicationVersionCheck"), Qt::LeftButton);
        QTest::mouseClick(checkBox("checkBoxApplicationAutoLocking"), Qt::LeftButton);
        delayField()->setValue(99);
        QTest::mouseClick(checkBox("checkBoxAllowScreenshot"), Qt::LeftButton);
        QTest::mouseClick(button("pushButtonCancel"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(storedValues(), before);
        QCOMPARE(changedSpy.count(), 0);
        QVERIFY(isWindowScreenshotProtectionRequested(window));

        // The next visit shows the stored values, not the abandoned edits.
        openSettings();
        QVERIFY(!checkBox("checkBoxNewApplicationVersionCheck")->isChecked());
        QVERIFY(checkBox("checkBoxApplicationAutoLocking")->isChecked());
        QVERIFY(delayWidget()->isEnabled());
        QCOMPARE(delayField()->value(), 10);
        QVERIFY(!checkBox("checkBoxAllowScreenshot")->isChecked());

        // Return right after opening is Cancel, the default button (Save would signal a change).
        QTest::mouseClick(button("pushButtonCancel"), Qt::LeftButton);
        openSettings();
        QVERIFY(button("pushButtonCancel")->isDefault());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(storedValues(), before);
        QCOMPARE(changedSpy.count(), 0);
    }
};

QTEST_MAIN(TestSettingsView)
#include "test_settings_view.moc"
