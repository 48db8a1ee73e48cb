// The password health page: its rows across tabs, the count in the status area, opening a finding's record
// in the record editor, and what happens when the vault is edited or replaced.
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "support/EditorTestSupport.h"
#include "views/ViewBase.h"
#include "views/ViewContentPasswordHealth.h"
#include "widgets/SensitiveClipboard.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace editortest;

namespace
{
const QString MASTER_PASSWORD = QStringLiteral("Plum-Harbor-42-Quietly");
const QStringList PASSWORDS = {"Password1!", "x9$kLq!2vZ#8mP", "alice2024", MASTER_PASSWORD};

Vault _vault_helper()
{
    return {
        VaultTab{"Web",
                 {makeRecord("Forum", "nick", "Password1!"), makeRecord("Mail", "me", "x9$kLq!2vZ#8mP"),
                  makeRecord("Notes", "me")}},
        VaultTab{"Bank",
                 {makeRecord("Checking", "alice", "alice2024"), makeRecord("Savings", "me", "x9$kLq!2vZ#8mP"),
                  makeRecord("Vault", "me", MASTER_PASSWORD)}}};
}

QStringList _rows_helper(QTableWidget* table)
{
    QStringList rows;
    for (int row = 0; row < table->rowCount(); row++)
    {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); column++)
            cells.append(table->item(row, column) ? table->item(row, column)->text() : QString());
        rows.append(cells.join('|'));
    }
    return rows;
}
} // namespace

class TestPasswordHealthPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        window = createEditorWindow(_vault_helper());
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        window->setKnownMasterPassword(MASTER_PASSWORD);
    }

    void cleanup()
    {
        destroyEditorWindow(window);
        window = nullptr;
    }

    void statusCountOpensThePage()
    {
        auto* label = child<QLabel>(window, "labelPasswordHealth");
        QTRY_VERIFY(label->isVisible());
        QTRY_VERIFY(label->text().contains(">1 same as master password, 2 reused, 1 empty, 2 weak<"));
        QVERIFY(QMetaObject::invokeMethod(label, "linkActivated",
                                          Q_ARG(QString, QStringLiteral("#password-health"))));
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_HEALTH));
        QCOMPARE(viewTitle(window, VIEW_ID_PASSWORD_HEALTH), QStringLiteral("Password health"));
        QTest::mouseClick(child<QPushButton>(page(), "pushButtonBack"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
    }

    void rowsListEveryFindingAndNoPassword()
    {
        openPage();
        QTRY_COMPARE(findingsTable()->rowCount(), 6);
        const QStringList rows = _rows_helper(findingsTable());
        QCOMPARE(rows.at(0),
                 QStringLiteral("Bank|Vault|me|Same as master password|a leak of this account exposes the "
                                "whole vault"));
        QCOMPARE(rows.at(1), QStringLiteral("Web|Mail|me|Reused|reused in 2 records: Savings (Bank)"));
        QCOMPARE(rows.at(2), QStringLiteral("Bank|Savings|me|Reused|reused in 2 records: Mail (Web)"));
        QCOMPARE(rows.at(3), QStringLiteral("Web|Notes|me|Empty|no password is stored"));
        QVERIFY(rows.at(4).startsWith("Web|Forum|nick|Weak|common word + digits + symbols, guessed in "));
        QVERIFY(rows.at(5).startsWith("Bank|Checking|alice|Weak|record name, login or web site + "));
        for (const QString& row : rows)
        {
            for (const QString& password : PASSWORDS)
                QVERIFY2(!row.contains(password), qPrintable(row));
        }
        QVERIFY(!child<QLabel>(page(), "labelSummary")->text().contains(MASTER_PASSWORD));
        QCOMPARE(child<QLabel>(page(), "labelSummary")->text(),
                 QStringLiteral("1 same as master password, 2 reused, 1 empty, 2 weak"));
    }

    void doubleClickOpensTheRecordAndSavingUpdatesThePage()
    {
        openPage();
        QTRY_COMPARE(findingsTable()->rowCount(), 6);
        // The weak "Checking" of the second tab.
        const QRect cell = findingsTable()->visualItemRect(findingsTable()->item(5, 1));
        // A double click is a click, then the second press.
        QTest::mouseClick(findingsTable()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseDClick(findingsTable()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        QWidget* editor = window->view(VIEW_ID_PASSWORD_INFORMATION);
        QCOMPARE(child<QLineEdit>(editor, "lineEditName")->text(), QStringLiteral("Checking"));
        QCOMPARE(currentTabIndex(window), 1);

        QLineEdit* password = child<QLineEdit>(editor, "lineEditPassword");
        password->selectAll();
        QTest::keyClicks(password, "t7#Vq!mR2$wLz9@K");
        QTest::mouseClick(child<QPushButton>(editor, "pushButtonSave"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_HEALTH));
        QTRY_COMPARE(findingsTable()->rowCount(), 5);
        QVERIFY(!_rows_helper(findingsTable()).join('\n').contains("Checking"));
        QCOMPARE(tableAt(window, 1)->passwords().at(0).password, QStringLiteral("t7#Vq!mR2$wLz9@K"));
        QVERIFY(window->isDataModified());
        // The replaced password's rating left the cache: five ratings, not six.
        QTRY_VERIFY(window->isPasswordHealthAnalysisFinished());
        QCOMPARE(window->passwordHealthCachedRatingCount(), 5);
    }

    void returnOpensTheSelectedRecord()
    {
        openPage();
        QTRY_COMPARE(findingsTable()->rowCount(), 6);
        findingsTable()->setFocus();
        QTest::keyClick(findingsTable(), Qt::Key_Down);
        QTest::keyClick(findingsTable(), Qt::Key_Return);
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        QCOMPARE(child<QLineEdit>(window->view(VIEW_ID_PASSWORD_INFORMATION), "lineEditName")->text(),
                 QStringLiteral("Mail"));
        // Ready for a new password.
        QCOMPARE(QApplication::focusWidget(),
                 static_cast<QWidget*>(
                     child<QLineEdit>(window->view(VIEW_ID_PASSWORD_INFORMATION), "lineEditPassword")));
        QTest::mouseClick(child<QPushButton>(window->view(VIEW_ID_PASSWORD_INFORMATION), "pushButtonCancel"),
                          Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_HEALTH));
        QCOMPARE(findingsTable()->rowCount(), 6);
    }

    void lockCoversThePageAndUnlockingReturnsToIt()
    {
        openPage();
        QTRY_COMPARE(findingsTable()->rowCount(), 6);
        window->findChild<QAction*>("actionLockApplication")->trigger();
        QVERIFY(waitForView(window, VIEW_ID_APPLICATION_LOCKED));
        QVERIFY(!findingsTable()->isVisible());
        // Sealed with the vault: no finding and no cached rating stay behind the lock.
        QCOMPARE(findingsTable()->rowCount(), 0);
        QCOMPARE(window->passwordHealthCachedRatingCount(), 0);

        QWidget* lockedPage = window->view(VIEW_ID_APPLICATION_LOCKED);
        QTest::keyClicks(child<QLineEdit>(lockedPage, "lineEditPassword"), MASTER_PASSWORD);
        QTest::mouseClick(child<QPushButton>(lockedPage, "pushButtonUnlock"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_HEALTH));
        QVERIFY(findingsTable()->isVisible());
        QTRY_COMPARE(findingsTable()->rowCount(), 6);
    }

    // Ctrl+C in the findings copies the cell through the window's sensitive copy, which the lock clears.
    void copyIsSensitiveAndGoesWithTheLock()
    {
        openPage();
        QTRY_COMPARE(findingsTable()->rowCount(), 6);
        const int loginColumn = ViewContentPasswordHealth::COLUMN_LOGIN;
        findingsTable()->setCurrentCell(0, loginColumn);
        const QString login = findingsTable()->item(0, loginColumn)->text();
        QVERIFY(!login.isEmpty());
        QTest::keyClick(findingsTable(), Qt::Key_C, Qt::ControlModifier);
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        QVERIFY(copied);
        QCOMPARE(copied->text(), login);
        QVERIFY(copied->hasFormat(QString::fromLatin1(SENSITIVE_CLIPBOARD_HINT_MIME_TYPE)));
        QVERIFY(child<QPushButton>(window, "pushButtonClearClipboard")->isEnabled());

        window->findChild<QAction*>("actionLockApplication")->trigger();
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    }

    void replacingTheVaultDropsTheCache()
    {
        // One rating per password and record context: the reused password is rated for both its records.
        QTRY_COMPARE(window->passwordHealthCachedRatingCount(), 5);
        window->setVault({VaultTab{"Other", {makeRecord("Shop", "me", "letmein")}}});
        // Only the new vault's rating is left: the five of the old vault were dropped.
        QCOMPARE(window->passwordHealthCachedRatingCount(), 1);

        openPage();
        QTRY_COMPARE(_rows_helper(findingsTable()).size(), 1);
        QVERIFY(_rows_helper(findingsTable()).first().startsWith("Other|Shop|me|Weak|"));
    }

    void longNamesLeaveTheReasonOnThePage()
    {
        const QString longName = QString(300, QLatin1Char('N'));
        window->setVault({VaultTab{"Web", {makeRecord(longName, "me", "letmein")}}});
        window->resize(900, 600);
        openPage();
        QTRY_COMPARE(findingsTable()->rowCount(), 1);
        QTableWidget* table = findingsTable();
        const int viewportWidth = table->viewport()->width();
        QVERIFY2(table->columnWidth(ViewContentPasswordHealth::COLUMN_NAME) <= viewportWidth / 4,
                 qPrintable(QString::number(table->columnWidth(ViewContentPasswordHealth::COLUMN_NAME))));
        // The finding and the start of the reason are in view; the whole name is in the tool tip.
        QVERIFY(table->columnViewportPosition(ViewContentPasswordHealth::COLUMN_REASON) <
                viewportWidth - 100);
        QCOMPARE(table->item(0, ViewContentPasswordHealth::COLUMN_NAME)->toolTip(), longName);
        QVERIFY(
            table->item(0, ViewContentPasswordHealth::COLUMN_REASON)->toolTip().startsWith("common word"));
    }

private:
    void openPage()
    {
        QAction* action = window->findChild<QAction*>("actionPasswordHealth");
        QVERIFY(action->isEnabled());
        action->trigger();
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_HEALTH));
    }

    QWidget* page() const
    {
        return window->view(VIEW_ID_PASSWORD_HEALTH);
    }

    QTableWidget* findingsTable() const
    {
        return child<QTableWidget>(page(), "tableWidgetFindings");
    }

    FormContentEditor* window = nullptr;
};

QTEST_MAIN(TestPasswordHealthPage)
#include "test_password_health_page.moc"
