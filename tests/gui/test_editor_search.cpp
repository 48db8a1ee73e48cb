// Text search over all tabs or the current one, with its misses shown beside the field.
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "support/EditorTestSupport.h"
#include "views/ViewBase.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
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

    void nothingFoundIsSaidInlineAndTheSelectionStays()
    {
        open({VaultTab{"Only", {makeRecord("Bank", "me", "secretword"), makeRecord("Forum")}}});
        PasswordTable* table = tableAt(window, 0);
        QLabel* miss = child<QLabel>(window, "labelSearchMiss");
        const QColor fieldColour = searchField()->palette().color(QPalette::Base);
        QVERIFY(miss->isHidden());
        clickCell(table, 1, PasswordTable::COLUMN_NAME);
        setSearchText("secret");
        QTest::mouseClick(next(), Qt::LeftButton);
        // No page covers the editor: the field turns a warning colour and the line beside it says so.
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QVERIFY(miss->isVisible());
        QCOMPARE(miss->text(), QStringLiteral("No matching text was found."));
        QCOMPARE(searchField()->accessibleDescription(), QStringLiteral("No matching text was found."));
        QVERIFY(searchField()->palette().color(QPalette::Base) != fieldColour);
        QCOMPARE(cell(table), QPoint(0, 1));
        QCOMPARE(table->selectedRanges().size(), 1);

        // Typing again takes the warning away; a hit leaves none.
        QTest::keyClick(searchField(), Qt::Key_Backspace);
        QVERIFY(miss->isHidden());
        QCOMPARE(searchField()->palette().color(QPalette::Base), fieldColour);
        QVERIFY(searchField()->accessibleDescription().isEmpty());
        search("zzz");
        QVERIFY(miss->isVisible());
        search("forum");
        QVERIFY(miss->isHidden());
        QCOMPARE(cell(table), QPoint(0, 1));

        // The current tab alone: the same answer, inline too.
        QTest::mouseClick(allTabs(), Qt::LeftButton);
        QVERIFY(!allTabs()->isChecked());
        setSearchText("secret");
        QTest::mouseClick(previous(), Qt::LeftButton);
        QVERIFY(miss->isVisible());
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

    void escapeLeavesTheSearchAndDownEntersTheResults()
    {
        open({VaultTab{"Web", {makeRecord("Bank"), makeRecord("Forum")}},
              VaultTab{"Mail", {makeRecord("Inbox", "post@example.org")}}});
        QTabWidget* tabs = child<QTabWidget>(window, "tabWidget");
        // A record of another tab is found from the first tab, the box being checked from the start.
        QVERIFY(allTabs()->isChecked());
        search("post@");
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(cell(tableAt(window, 1)), QPoint(1, 0));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(searchField()));
        // Down goes to the cell found.
        QTest::keyClick(searchField(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tableAt(window, 1)));
        QCOMPARE(cell(tableAt(window, 1)), QPoint(1, 0));

        // Escape after a miss: no text, no warning, back to the table.
        QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
        setSearchText("nowhere");
        QTest::keyClick(searchField(), Qt::Key_Return);
        QVERIFY(child<QLabel>(window, "labelSearchMiss")->isVisible());
        QTest::keyClick(searchField(), Qt::Key_Escape);
        QVERIFY(searchField()->text().isEmpty());
        QVERIFY(child<QLabel>(window, "labelSearchMiss")->isHidden());
        QVERIFY(!next()->isEnabled());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tableAt(window, 1)));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));

        // Down with nothing selected yet lands on the first record.
        tabs->setCurrentIndex(0);
        tableAt(window, 0)->setCurrentCell(-1, -1);
        searchField()->setFocus();
        QTest::keyClick(searchField(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tableAt(window, 0)));
        QCOMPARE(cell(tableAt(window, 0)), QPoint(PasswordTable::COLUMN_NAME, 0));
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
        QVERIFY(allTabs()->isChecked());

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
