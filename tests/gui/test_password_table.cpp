// The password table on its own, inside a tab widget as the main window holds it.
#include "mainwindow/PasswordTable.h"
#include "mainwindow/PasswordTablePasswordItem.h"
#include "support/EditorTestSupport.h"
#include "widgets/SensitiveClipboard.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

using editortest::makeRecord;

namespace
{
QStringList _names_helper(const PasswordTable& table)
{
    QStringList names;
    for (int row = 0; row < table.rowCount(); row++)
        names.append(table.item(row, PasswordTable::COLUMN_NAME)->text());
    return names;
}

QStringList _recordNames_helper(const PasswordTable& table)
{
    QStringList names;
    for (const PasswordRecord& record : table.passwords())
        names.append(record.name);
    return names;
}

QList<PasswordRecord> _records_helper(const QStringList& names)
{
    QList<PasswordRecord> records;
    for (const QString& name : names)
        records.append(makeRecord(name, name.toLower() + "@example.com", "pw-" + name));
    return records;
}

QStringList _menuEntries_helper(QAction* action)
{
    QStringList entries;
    for (QAction* entry : action->menu()->actions())
        entries.append(entry->text() + "=" + entry->data().toString());
    return entries;
}

QLabel* _passwordLabel_helper(PasswordTablePasswordItem* item)
{
    return item->findChild<QLabel*>(QStringLiteral("label"));
}

QPushButton* _eyeButton_helper(PasswordTablePasswordItem* item)
{
    return item->findChild<QPushButton*>(QStringLiteral("pushButton"));
}

// Records which URLs the table asks the desktop to open.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public Q_SLOTS:
    void openUrl(const QUrl& url)
    {
        urls.append(url);
    }
};
} // namespace

class TestPasswordTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        tabWidget = new QTabWidget;
        tabWidget->resize(1200, 600);
        for (const char* name : {"Web", "Bank", "Mail"})
            tabWidget->addTab(new PasswordTable, QString::fromLatin1(name));
        refreshMenus();
        tabWidget->show();
        QVERIFY(QTest::qWaitForWindowExposed(tabWidget));
    }

    void cleanup()
    {
        delete tabWidget;
        tabWidget = nullptr;
    }

    void sortedInsertionKeepsRowsAndRecordsTogether()
    {
        PasswordTable* table = tableAt(0);
        table->setPasswords(_records_helper({"Alpha", "Charlie"}));
        table->rebuildRows();
        QCOMPARE(table->addPasswordSorted(makeRecord("beta")), 1);
        QCOMPARE(_names_helper(*table), QStringList({"Alpha", "beta", "Charlie"}));

        // An equal name lands after the existing one.
        QCOMPARE(table->addPasswordSorted(makeRecord("alpha", "second")), 1);
        QCOMPARE(table->passwordAt(0).login, QStringLiteral("alpha@example.com"));
        QCOMPARE(table->passwordAt(1).login, QStringLiteral("second"));

        // Stored order is kept, a new record goes before the first greater name.
        PasswordTable* stored = tableAt(1);
        stored->setPasswords(_records_helper({"Zulu", "Alpha"}));
        stored->rebuildRows();
        QCOMPARE(_names_helper(*stored), QStringList({"Zulu", "Alpha"}));
        QCOMPARE(stored->addPasswordSorted(makeRecord("Alpha")), 0);
        QCOMPARE(_recordNames_helper(*stored), QStringList({"Alpha", "Zulu", "Alpha"}));

        stored->removePasswordAt(-1);
        stored->removePasswordAt(3);
        QCOMPARE(stored->passwordCount(), 3);
        stored->removePasswordAt(1);
        QCOMPARE(_names_helper(*stored), QStringList({"Alpha", "Alpha"}));
        QCOMPARE(_recordNames_helper(*stored), _names_helper(*stored));
    }

    void presentationAndUrlUnderline()
    {
        PasswordTable* table = tableAt(0);
        QCOMPARE(table->columnCount(), 5);
        QStringList headers;
        for (int column = 0; column < table->columnCount(); column++)
            headers.append(table->horizontalHeaderItem(column)->text());
        QCOMPARE(headers, QStringList({"Name", "ID / Login / Email", "Password", "Web site / URL", "Note"}));
        QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(table->selectionMode(), QAbstractItemView::SingleSelection);

        table->setPasswords({makeRecord("a", "", "", " www.example.com "),
                             makeRecord("b", "", "", "my site.com"), makeRecord("c", "", "", "localhost"),
                             makeRecord("d", "", "", "https://" + QString(600, 'x') + ".org")});
        table->rebuildRows();
        QVERIFY(table->item(0, PasswordTable::COLUMN_URL)->font().underline());
        QVERIFY(!table->item(1, PasswordTable::COLUMN_URL)->font().underline());
        QVERIFY(!table->item(2, PasswordTable::COLUMN_URL)->font().underline());
        QVERIFY(!table->item(0, PasswordTable::COLUMN_NAME)->font().underline());
        // The long URL is cut at the column limit.
        QCOMPARE(table->columnWidth(PasswordTable::COLUMN_URL), PasswordTable::MAXIMUM_URL_COLUMN_WIDTH);
        // The password column fits the widest password cell.
        QVERIFY(table->columnWidth(PasswordTable::COLUMN_PASSWORD) >=
                table->passwordItemAt(0)->sizeHint().width());
    }

    void columnsFitTitlesAndCapLongTexts()
    {
        // A tab without records: every column as wide as its title, not just the minimum section size.
        PasswordTable* empty = tableAt(1);
        for (int column = 0; column < PasswordTable::COLUMN_NOTE; column++)
            QVERIFY2(empty->columnWidth(column) >= empty->horizontalHeader()->sectionSizeHint(column),
                     qPrintable(empty->horizontalHeaderItem(column)->text()));

        // A long name or note is capped and elided, with the whole text in the tool tip: the other columns
        // stay in view.
        PasswordTable* table = tableAt(0);
        const QString longName = QString("Very long record name ").repeated(8).left(160);
        const QString longNote = QString("A note that goes on ").repeated(10);
        table->setPasswords({makeRecord(longName, "me", "pw", "example.org", longNote), makeRecord("Short")});
        table->rebuildRows();
        QCOMPARE(table->columnWidth(PasswordTable::COLUMN_NAME), PasswordTable::MAXIMUM_NAME_COLUMN_WIDTH);
        QCOMPARE(table->item(0, PasswordTable::COLUMN_NAME)->toolTip(), longName);
        QCOMPARE(table->item(0, PasswordTable::COLUMN_NOTE)->toolTip(), longNote);
        QCOMPARE(table->item(1, PasswordTable::COLUMN_NAME)->toolTip(), QString());
        const int urlRight = table->columnViewportPosition(PasswordTable::COLUMN_URL) +
                             table->columnWidth(PasswordTable::COLUMN_URL);
        QVERIFY2(urlRight <= table->viewport()->width(), qPrintable(QString::number(urlRight)));

        // A mask wider than its cell is elided before the eye button, never under it.
        table->setPasswords({makeRecord("Mailbox", "", QString(30, 'm'))});
        table->rebuildRows();
        PasswordTablePasswordItem* item = table->passwordItemAt(0);
        QVERIFY(item);
        QLabel* label = _passwordLabel_helper(item);
        // Sized to its contents, the column shows the whole mask.
        const QString mask = PasswordTablePasswordItem::maskFor(QString(30, 'm'), item);
        QTRY_COMPARE(label->text(), mask);
        table->setColumnWidth(PasswordTable::COLUMN_PASSWORD, 100);
        QTRY_VERIFY(item->width() <= 100);
        QTRY_VERIFY(label->text().endsWith(QChar(0x2026)));
        QVERIFY(label->geometry().right() < _eyeButton_helper(item)->geometry().left());
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
        QCOMPARE(item->displayedText(), mask);
    }

    void doubleClickOpensOnlyWebAddresses()
    {
        UrlRecorder recorder;
        for (const char* scheme : {"http", "https", "ftp", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &recorder, "openUrl");

        PasswordTable* table = tableAt(0);
        table->setPasswords({makeRecord("a", "", "", " www.example.com "),
                             makeRecord("b", "", "", "my site.com"),
                             makeRecord("c", "", "", "https://bank.example.org/login"),
                             makeRecord("d", "", "", "file:///etc/hosts.conf")});
        table->rebuildRows();
        auto doubleClick = [&](int row, int column)
        {
            const QRect rectangle = table->visualRect(table->model()->index(row, column));
            QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, rectangle.center());
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, rectangle.center());
        };

        doubleClick(0, PasswordTable::COLUMN_URL);
        doubleClick(1, PasswordTable::COLUMN_URL);
        doubleClick(2, PasswordTable::COLUMN_NAME);
        doubleClick(2, PasswordTable::COLUMN_URL);
        doubleClick(3, PasswordTable::COLUMN_URL);
        for (const char* scheme : {"http", "https", "ftp", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));

        QCOMPARE(recorder.urls,
                 QList<QUrl>({QUrl("http://www.example.com"), QUrl("https://bank.example.org/login")}));
    }

    void maskedCellAndEyeButton()
    {
        PasswordTable* table = tableAt(0);
        table->setPasswords(
            {makeRecord("a", "", "abc"), makeRecord("b"), makeRecord("c", "", "<b>bold</b>")});
        table->rebuildRows();

        const QString character = QString::fromUcs4(
            std::array<char32_t, 1>{
                static_cast<char32_t>(table->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter))}
                .data(),
            1);
        PasswordTablePasswordItem* item = table->passwordItemAt(0);
        QVERIFY(item);
        QLabel* label = _passwordLabel_helper(item);
        QPushButton* eye = _eyeButton_helper(item);
        QCOMPARE(label->text(), character.repeated(3));
        QVERIFY(eye->isEnabled());
        QCOMPARE(eye->width(), eye->height());
        QCOMPARE(eye->focusPolicy(), Qt::NoFocus);
        // Assistive technologies get the mask, never the password.
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(label);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), character.repeated(3));
        QVERIFY(!item->accessibleDescription().contains("abc"));
        // Screen readers read the table's cells, not the widgets over them: the cell says what is shown.
        QAccessibleInterface* tableAccessible = QAccessible::queryAccessibleInterface(table);
        QCOMPARE(tableAccessible->text(QAccessible::Name), QStringLiteral("Passwords"));
        auto cellName = [tableAccessible]
        {
            return tableAccessible->tableInterface()
                ->cellAt(0, PasswordTable::COLUMN_PASSWORD)
                ->text(QAccessible::Name);
        };
        QCOMPARE(cellName(), QStringLiteral("Password hidden"));
        QCOMPARE(table->item(0, PasswordTable::COLUMN_PASSWORD)->text(), QString());

        QTest::mouseClick(eye, Qt::LeftButton);
        QCOMPARE(label->text(), QStringLiteral("abc"));
        QVERIFY(item->isPasswordVisible());
        QCOMPARE(cellName(), QStringLiteral("abc"));
        QTest::mouseClick(eye, Qt::LeftButton);
        QCOMPARE(label->text(), character.repeated(3));
        QCOMPARE(cellName(), QStringLiteral("Password hidden"));

        // Every path mixes with the others (the command shows, the eye hides, and the other way round),
        // and the cell always says what the screen shows.
        table->setPasswordVisibleAt(0, true);
        QCOMPARE(label->text(), QStringLiteral("abc"));
        QCOMPARE(cellName(), QStringLiteral("abc"));
        QTest::mouseClick(eye, Qt::LeftButton);
        QVERIFY(!table->isPasswordVisibleAt(0));
        QCOMPARE(cellName(), QStringLiteral("Password hidden"));
        QTest::mouseClick(eye, Qt::LeftButton);
        table->setPasswordVisibleAt(0, false);
        QCOMPARE(label->text(), character.repeated(3));
        QCOMPARE(cellName(), QStringLiteral("Password hidden"));
        // Hiding them all (as locking does) masks every revealed row, in the widgets and for the reader.
        QTest::mouseClick(eye, Qt::LeftButton);
        table->setPasswordVisibleAt(2, true);
        table->hideAllPasswords();
        QVERIFY(!item->isPasswordVisible());
        QVERIFY(!table->isPasswordVisibleAt(2));
        QVERIFY(!table->passwordItemAt(2)->isPasswordVisible());
        QCOMPARE(cellName(), QStringLiteral("Password hidden"));
        QCOMPARE(tableAccessible->tableInterface()
                     ->cellAt(2, PasswordTable::COLUMN_PASSWORD)
                     ->text(QAccessible::Name),
                 QStringLiteral("Password hidden"));

        // Empty password: nothing to show, nothing to reveal.
        PasswordTablePasswordItem* empty = table->passwordItemAt(1);
        QCOMPARE(_passwordLabel_helper(empty)->text(), QString());
        QVERIFY(!_eyeButton_helper(empty)->isEnabled());

        // A password that looks like markup is shown as typed.
        QTest::mouseClick(_eyeButton_helper(table->passwordItemAt(2)), Qt::LeftButton);
        QCOMPARE(_passwordLabel_helper(table->passwordItemAt(2))->textFormat(), Qt::PlainText);
        QCOMPARE(_passwordLabel_helper(table->passwordItemAt(2))->text(), QStringLiteral("<b>bold</b>"));
    }

    void largeTabKeepsCellWidgetsForRowsInViewOnly()
    {
        PasswordTable* table = tableAt(0);
        QList<PasswordRecord> records;
        for (int index = 0; index < 3000; index++)
            records.append(makeRecord(QString("Account %1").arg(index, 4, 10, QChar('0')), "", "secret"));
        table->setPasswords(records);
        table->rebuildRows();
        QCoreApplication::processEvents();
        const int cellWidgets = table->viewport()->findChildren<PasswordTablePasswordItem*>().size();
        QVERIFY2(cellWidgets > 0 && cellWidgets < 100, qPrintable(QString::number(cellWidgets)));

        // A revealed password stays revealed after its row scrolled out of view and back.
        QTest::mouseClick(_eyeButton_helper(table->passwordItemAt(0)), Qt::LeftButton);
        table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
        QTRY_VERIFY(table->passwordItemAt(0) == nullptr);
        QVERIFY(table->passwordItemAt(2999));
        QCOMPARE(_passwordLabel_helper(table->passwordItemAt(2999))->text(),
                 PasswordTablePasswordItem::maskFor("secret", table));
        table->verticalScrollBar()->setValue(0);
        QVERIFY(table->passwordItemAt(0));
        QVERIFY(table->passwordItemAt(0)->isPasswordVisible());
        QVERIFY(!table->passwordItemAt(1)->isPasswordVisible());

        // Inserting above a revealed row keeps the state with its record.
        table->addPasswordSorted(makeRecord("A first", "", "x"));
        QVERIFY(!table->passwordItemAt(0)->isPasswordVisible());
        QVERIFY(table->passwordItemAt(1)->isPasswordVisible());
        QCOMPARE(_passwordLabel_helper(table->passwordItemAt(1))->text(), QStringLiteral("secret"));
    }

    void copyPutsTheClearFieldOnTheClipboard()
    {
        PasswordTable* table = tableAt(0);
        table->setPasswords({makeRecord("Bank", "me@example.com", "s3cr3t!", "bank.example", "pin 1234")});
        table->rebuildRows();
        QSignalSpy copied(table, &PasswordTable::dataCopied);
        QGuiApplication::clipboard()->setText("before");

        for (QAction* action :
             {table->copyAction(), table->editAction(), table->duplicateAction(), table->moveAction()})
            QVERIFY(!action->isEnabled());

        // A click on the masked cell selects it like any other cell.
        table->setFocus();
        QTest::mouseClick(_passwordLabel_helper(table->passwordItemAt(0)), Qt::LeftButton);
        QCOMPARE(table->currentColumn(), int(PasswordTable::COLUMN_PASSWORD));
        QVERIFY(table->hasSelectedCell());
        QVERIFY(table->copyAction()->isEnabled());
        QVERIFY(table->editAction()->isEnabled());
        QVERIFY(table->duplicateAction()->isEnabled());
        QVERIFY(table->moveAction()->isEnabled());

        table->copyAction()->trigger();
        QCOMPARE(copied.count(), 1);
        const QMimeData* mimeData = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(mimeData->text(), QStringLiteral("s3cr3t!"));
        QCOMPARE(mimeData->data(QString::fromLatin1(SENSITIVE_CLIPBOARD_HINT_MIME_TYPE)),
                 QByteArray("secret"));

        editortest::clickCell(table, 0, PasswordTable::COLUMN_NOTE);
        table->copyAction()->trigger();
        QCOMPARE(copied.count(), 2);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("pin 1234"));
    }

    void duplicateAndMoveBetweenTabs()
    {
        PasswordTable* web = tableAt(0);
        PasswordTable* bank = tableAt(1);
        PasswordTable* mail = tableAt(2);
        web->setPasswords(_records_helper({"Forum", "Shop"}));
        web->rebuildRows();
        mail->setPasswords(_records_helper({"Alpha", "Zed"}));
        mail->rebuildRows();
        refreshMenus();

        QCOMPARE(_menuEntries_helper(web->duplicateAction()), QStringList({"Web=0", "Bank=1", "Mail=2"}));
        QCOMPARE(_menuEntries_helper(web->moveAction()), QStringList({"Bank=1", "Mail=2"}));
        QSignalSpy modified(web, &PasswordTable::dataModified);

        editortest::clickCell(web, 1, PasswordTable::COLUMN_LOGIN);
        web->duplicateAction()->menu()->actions().at(0)->trigger();
        QCOMPARE(_recordNames_helper(*web), QStringList({"Forum", "Shop", "Shop"}));
        QCOMPARE(modified.count(), 1);

        editortest::clickCell(web, 0, PasswordTable::COLUMN_NAME);
        web->duplicateAction()->menu()->actions().at(1)->trigger();
        QCOMPARE(_names_helper(*bank), QStringList({"Forum"}));
        QCOMPARE(bank->passwordAt(0), web->passwordAt(0));
        QCOMPARE(modified.count(), 2);

        // Moving copies the whole record into its sorted place and removes it here.
        const PasswordRecord moved = web->passwordAt(1);
        editortest::clickCell(web, 1, PasswordTable::COLUMN_NAME);
        web->moveAction()->menu()->actions().at(1)->trigger();
        QCOMPARE(_names_helper(*web), QStringList({"Forum", "Shop"}));
        QCOMPARE(_names_helper(*mail), QStringList({"Alpha", "Shop", "Zed"}));
        QCOMPARE(mail->passwordAt(1), moved);
        QCOMPARE(modified.count(), 3);
    }

    void singleTabOffersNoMove()
    {
        delete tabWidget->widget(2);
        delete tabWidget->widget(1);
        PasswordTable* web = tableAt(0);
        web->setPasswords(_records_helper({"Forum"}));
        web->rebuildRows();
        refreshMenus();
        editortest::clickCell(web, 0, PasswordTable::COLUMN_NAME);
        QVERIFY(web->duplicateAction()->isEnabled());
        QVERIFY(!web->moveAction()->isEnabled());
        QVERIFY(web->moveAction()->menu()->actions().isEmpty());
        QCOMPARE(_menuEntries_helper(web->duplicateAction()), QStringList({"Web=0"}));
    }

private:
    PasswordTable* tableAt(int index) const
    {
        return qobject_cast<PasswordTable*>(tabWidget->widget(index));
    }

    void refreshMenus()
    {
        QStringList names;
        for (int index = 0; index < tabWidget->count(); index++)
            names.append(tabWidget->tabText(index));
        for (int index = 0; index < tabWidget->count(); index++)
            tableAt(index)->updateTabMenus(names, index);
    }

    QTabWidget* tabWidget = nullptr;
};

QTEST_MAIN(TestPasswordTable)
#include "test_password_table.moc"
