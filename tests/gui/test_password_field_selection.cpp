// The X11 primary selection: selecting a shown password puts it there without any copy, and a middle click
// anywhere pastes it. What a password field put there goes when the field is masked or left, and the
// application's selection goes with Clear, the lock and quitting; another text stays. The selection exists
// on X11 only: CTest runs this test on a virtual X display.
#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "support/EditorTestSupport.h"
#include "support/PrivateSettingsStore.h"
#include "views/ViewBase.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace editortest;

namespace
{
const QString MASTER_PASSWORD = QStringLiteral("master 1");

QString selectionText()
{
    return QGuiApplication::clipboard()->text(QClipboard::Selection);
}
} // namespace

class TestPasswordFieldSelection : public QObject
{
    Q_OBJECT

private:
    FormContentEditor* window = nullptr;

    QWidget* page()
    {
        return window->view(VIEW_ID_PASSWORD_INFORMATION);
    }

    QLineEdit* field(const char* objectName)
    {
        return child<QLineEdit>(page(), objectName);
    }

    QPushButton* button(const char* objectName)
    {
        return child<QPushButton>(page(), objectName);
    }

    // Drags the mouse over the whole text of a field, as a user selecting it.
    static void dragOver(QLineEdit* lineEdit)
    {
        const int y = lineEdit->height() / 2;
        QTest::mousePress(lineEdit, Qt::LeftButton, {}, QPoint(1, y));
        QTest::mouseMove(lineEdit, QPoint(lineEdit->width() - 2, y));
        QTest::mouseRelease(lineEdit, Qt::LeftButton, {}, QPoint(lineEdit->width() - 2, y));
    }

    // The record page of the first record, its password shown and selected with the mouse; true when the
    // selection then holds the password.
    bool selectShownPassword()
    {
        if (window->currentViewId() != VIEW_ID_PASSWORD_INFORMATION)
        {
            clickCell(tableAt(window, 0), 0, PasswordTable::COLUMN_NAME);
            QTest::mouseClick(child<QPushButton>(window, "pushButtonEditPassword"), Qt::LeftButton);
            if (!waitForView(window, VIEW_ID_PASSWORD_INFORMATION))
                return false;
        }
        if (field("lineEditPassword")->echoMode() != QLineEdit::Normal)
            QTest::mouseClick(button("pushButtonShowPassword"), Qt::LeftButton);
        dragOver(field("lineEditPassword"));
        return selectionText() == QLatin1String("pw1");
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!QGuiApplication::clipboard()->supportsSelection())
            QSKIP("No primary selection on this platform (CTest runs this test on X11 with xvfb-run)");
        QApplication::setQuitOnLastWindowClosed(false);
        usePrivateSettingsStore();
        settings->setValue(CONFIGURATION_KEY_IS_APPLICATION_AUTO_LOCKING_ENABLED, false);
    }

    void init()
    {
        window = createEditorWindow({VaultTab{QStringLiteral("Web"), {makeRecord("Forum", "me", "pw1")}}});
        window->setKnownMasterPassword(MASTER_PASSWORD);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    void cleanup()
    {
        if (window)
            destroyEditorWindow(window);
        window = nullptr;
        QGuiApplication::clipboard()->clear(QClipboard::Selection);
    }

    void maskingOrLeavingTheFieldTakesItsSelectionBack()
    {
        QVERIFY(selectShownPassword());
        QTest::mouseClick(button("pushButtonShowPassword"), Qt::LeftButton);
        QCOMPARE(selectionText(), QString());

        QVERIFY(selectShownPassword());
        QTest::mouseClick(button("pushButtonCancel"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(selectionText(), QString());

        // Only what the password field put there: a selected login stays.
        QVERIFY(selectShownPassword());
        dragOver(field("lineEditLogin"));
        QCOMPARE(selectionText(), QStringLiteral("me"));
        QTest::mouseClick(button("pushButtonShowPassword"), Qt::LeftButton);
        QCOMPARE(selectionText(), QStringLiteral("me"));
        QTest::mouseClick(button("pushButtonCancel"), Qt::LeftButton);
        QCOMPARE(selectionText(), QStringLiteral("me"));
    }

    void clearLockAndQuitTakeTheSelectionBack()
    {
        QVERIFY(selectShownPassword());
        QTest::keyClick(window, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(selectionText(), QString());

        QVERIFY(selectShownPassword());
        QTest::keyClick(window, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(window->isApplicationLocked());
        QCOMPARE(selectionText(), QString());
        QWidget* lockedPage = window->view(VIEW_ID_APPLICATION_LOCKED);
        QTest::keyClicks(child<QLineEdit>(lockedPage, "lineEditPassword"), MASTER_PASSWORD);
        QTest::mouseClick(child<QPushButton>(lockedPage, "pushButtonUnlock"), Qt::LeftButton);
        QVERIFY(!window->isApplicationLocked());

        QVERIFY(selectShownPassword());
        destroyEditorWindow(window);
        window = nullptr;
        QCOMPARE(selectionText(), QString());
    }

    void clearingDelayTakesBothBack()
    {
        setSettingValue(SETTING_CLIPBOARD_CLEARING_DELAY_SECONDS, 1);
        QVERIFY(selectShownPassword());
        QTest::mouseClick(button("pushButtonCopyPassword"), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("pw1"));
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), QString(), 10000);
        QCOMPARE(selectionText(), QString());
        settings->setValue(CONFIGURATION_KEY_CLIPBOARD_CLEARING_DELAY_SECONDS, 30);
    }
};

QTEST_MAIN(TestPasswordFieldSelection)
#include "test_password_field_selection.moc"
