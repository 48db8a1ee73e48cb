// Text search over the current tab or all tabs.
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "support/EditorTestSupport.h"
#include "views/ViewBase.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace editortest;

class TestEditorSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        destroyEditorWindow(window);
        window = nullptr;
    }

    void searchRowFollowsTheText()
    {
        open({VaultTab{"Only", {makeRecord("Mailbox")}}});
        QVERIFY(!next()->isEnabled());
        QVERIFY(!previous()->isEnabled());
        QVERIFY(!allTabs()->isEnabled());
        QTest::keyClicks(searchField(), "m");
        QVERIFY(next()->isEnabled());
        QVERIFY(previous()->isEnabled());
        QVERIFY(allTabs()->isEnabled());
        QTest::keyClick(searchField(), Qt::Key_Backspace);
        QVERIFY(!next()->isEnabled());
        QVERIFY(!allTabs()->isEnabled());

        // Ctrl+F selects the search text and focuses it, on the editor only.
        QTest::keyClicks(searchField(), "box");
        tableAt(window, 0)->setFocus();
        QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(searchField()));
        QCOMPARE(searchField()->selectedText(), QStringLiteral("box"));
        QTest::mouseClick(child<QPushButton>(window, "pushButtonNewPassword"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(QApplication::focusWidget() != searchField());
        QTest::mouseClick(child<QPushButton>(window->view(VIEW_ID_PASSWORD_INFORMATION), "pushButtonCancel"),
                          Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
    }

    void oneTabIgnoresCaseSkipsPasswordsAndWraps()
    {
        open({VaultTab{"Only",
                       {makeRecord("Bank", "me", "mailpassword"),
                        makeRecord("Forum", "x", "y", "", "see Mailbox"),
                        makeRecord("Shop", "mail@example.com")}}});
        PasswordTable* table = tableAt(window, 0);
        search("MAIL");
        // Return searched forward from the first cell and gave the focus back to the field.
        QCOMPARE(cell(table), QPoint(4, 1));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(searchField()));
        QTest::mouseClick(next(), Qt::LeftButton);
        QCOMPARE(cell(table), QPoint(1, 2));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(table));
        // Past the last match: around to the first, never into row 0's password.
        QTest::mouseClick(next(), Qt::LeftButton);
        QCOMPARE(cell(table), QPoint(4, 1));
        QTest::mouseClick(previous(), Qt::LeftButton);
        QCOMPARE(cell(table), QPoint(1, 2));
        // F3 and Shift+F3 act as the buttons.
        QTest::keyClick(window, Qt::Key_F3, Qt::ShiftModifier);
        QTRY_COMPARE(cell(table), QPoint(4, 1));
        QTest::keyClick(window, Qt::Key_F3);
        QTRY_COMPARE(cell(table), QPoint(1, 2));

        // The only match in the selected cell: found again.
        setSearchText("forum");
        QTest::mouseClick(next(), Qt::LeftButton);
        QCOMPARE(cell(table), QPoint(0, 1));
        QTest::mouseClick(next(), Qt::LeftButton);
        QCOMPARE(cell(table), QPoint(0, 1));
        QVERIFY(window->currentViewId() == VIEW_ID_CONTENT_EDITOR);
    }

    void nothingFoundIsSaidAndTheSelectionStays()
    {
        open({VaultTab{"Only", {makeRecord("Bank", "me", "secretword"), makeRecord("Forum")}}});
        PasswordTable* table = tableAt(window, 0);
        clickCell(table, 1, PasswordTable::COLUMN_NAME);
        setSearchText("secret");
        QTest::mouseClick(next(), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_MESSAGE_BOX_DIALOG));
        QCOMPARE(viewTitle(window, VIEW_ID_MESSAGE_BOX_DIALOG), QStringLiteral("Text search"));
        QCOMPARE(messageBoxText(window), QStringLiteral("No matching text was found."));
        QVERIFY(answerMessageBox(window, "pushButtonOk"));
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(cell(table), QPoint(0, 1));
        QCOMPARE(table->selectedRanges().size(), 1);

        // All tabs: the same answer after visiting every tab.
        QTest::mouseClick(allTabs(), Qt::LeftButton);
        QVERIFY(allTabs()->isChecked());
        QTest::mouseClick(previous(), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_MESSAGE_BOX_DIALOG));
        QCOMPARE(messageBoxText(window), QStringLiteral("No matching text was found."));
        QVERIFY(answerMessageBox(window, "pushButtonOk"));
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
    }

    void allTabsVisitsTheTabsInSearchOrder()
    {
        // "key" appears in tab 0 and tab 1; tab 2 is current with its match before the selected cell.
        open({VaultTab{"Zero", {makeRecord("a"), makeRecord("Key zero")}},
              VaultTab{"One", {makeRecord("b", "KEY one")}}, VaultTab{"Empty", {}},
              VaultTab{"Three", {makeRecord("keyring three"), makeRecord("z")}}});
        QTabWidget* tabs = child<QTabWidget>(window, "tabWidget");
        tabs->setCurrentIndex(3);
        clickCell(tableAt(window, 3), 1, PasswordTable::COLUMN_NAME);
        setSearchText("key");
        QTest::mouseClick(allTabs(), Qt::LeftButton);

        // Forward: rest of tab 3, then around to tab 0.
        QTest::mouseClick(next(), Qt::LeftButton);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(cell(tableAt(window, 0)), QPoint(0, 1));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tableAt(window, 0)));
        QTest::mouseClick(next(), Qt::LeftButton);
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(cell(tableAt(window, 1)), QPoint(1, 0));
        // The empty tab is passed over, tab 3 is searched from its first cell.
        QTest::mouseClick(next(), Qt::LeftButton);
        QCOMPARE(tabs->currentIndex(), 3);
        QCOMPARE(cell(tableAt(window, 3)), QPoint(0, 0));

        // Backward from tab 3's second row: its first row comes first.
        clickCell(tableAt(window, 3), 1, PasswordTable::COLUMN_NAME);
        QTest::mouseClick(previous(), Qt::LeftButton);
        QCOMPARE(tabs->currentIndex(), 3);
        QCOMPARE(cell(tableAt(window, 3)), QPoint(0, 0));
        // Then tab 2 (empty), tab 1, before tab 0.
        QTest::mouseClick(previous(), Qt::LeftButton);
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(cell(tableAt(window, 1)), QPoint(1, 0));
        QTest::mouseClick(previous(), Qt::LeftButton);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(cell(tableAt(window, 0)), QPoint(0, 1));

        // The only match before the current cell of the current tab is found on the last visit.
        window->setVault(
            {VaultTab{"A", {makeRecord("x")}}, VaultTab{"B", {makeRecord("match"), makeRecord("y")}}});
        tabs->setCurrentIndex(1);
        clickCell(tableAt(window, 1), 1, PasswordTable::COLUMN_NOTE);
        setSearchText("match");
        QTest::mouseClick(next(), Qt::LeftButton);
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(cell(tableAt(window, 1)), QPoint(0, 0));
    }

private:
    void open(const Vault& vault)
    {
        window = createEditorWindow(vault);
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
    }

    void setSearchText(const QString& text)
    {
        searchField()->selectAll();
        QTest::keyClicks(searchField(), text);
    }

    void search(const QString& text)
    {
        setSearchText(text);
        QTest::keyClick(searchField(), Qt::Key_Return);
    }

    // (column, row) of the current cell.
    static QPoint cell(PasswordTable* table)
    {
        return QPoint(table->currentColumn(), table->currentRow());
    }

    QLineEdit* searchField() const
    {
        return child<QLineEdit>(window, "lineEditSearch");
    }

    QPushButton* next() const
    {
        return child<QPushButton>(window, "pushButtonNextSearchResult");
    }

    QPushButton* previous() const
    {
        return child<QPushButton>(window, "pushButtonPreviousSearchResult");
    }

    QCheckBox* allTabs() const
    {
        return child<QCheckBox>(window, "checkBoxSearchInAllTabs");
    }

    FormContentEditor* window = nullptr;
};

QTEST_MAIN(TestEditorSearch)
#include "test_editor_search.moc"
