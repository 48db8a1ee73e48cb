// What the pages draw keeps a readable contrast in a light and in a dark palette, switched on the
// running window: text, links, the message icons, the padlock and the password cells' eye.
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "mainwindow/PasswordTablePasswordItem.h"
#include "support/ContrastMeasure.h"
#include "support/EditorTestSupport.h"
#include "views/ViewBase.h"
#include "widgets/ApplicationPalette.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QtTest>

using namespace editortest;

class TestPaletteContrast : public QObject
{
    Q_OBJECT

private:
    FormContentEditor* window = nullptr;

    static void checkInk(QWidget* widget, const QString& what, const QRect& area = QRect())
    {
        QVERIFY2(widget, qPrintable(what));
        const double measured = contrast::inkContrast(widget, area);
        QVERIFY2(measured >= contrast::MINIMUM_TEXT_CONTRAST,
                 qPrintable(QStringLiteral("%1: %2:1").arg(what).arg(measured, 0, 'f', 2)));
    }

    static void checkBorder(QWidget* widget, const QString& what, const QRect& area = QRect())
    {
        QVERIFY2(widget, qPrintable(what));
        const double measured =
            contrast::borderContrast(widget, widget->palette().color(QPalette::Window), area);
        QVERIFY2(measured >= contrast::MINIMUM_BORDER_CONTRAST,
                 qPrintable(QStringLiteral("%1: %2:1").arg(what).arg(measured, 0, 'f', 2)));
    }

    static void checkEye(QPushButton* eye, const QString& what)
    {
        const QRect iconArea =
            QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, eye->iconSize(), eye->rect());
        checkInk(eye, what, iconArea);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        // The style the application takes with its dark palette; the light palette keeps its outlines too.
        QApplication::setStyle(ApplicationPalette::createStyle());
        window = createEditorWindow(
            {VaultTab{QStringLiteral("Web"), {makeRecord("Bank", "me@example.org", "s3cret!")}}});
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
    }

    void cleanupTestCase()
    {
        destroyEditorWindow(window);
    }

    void pagesKeepTheirContrast_data()
    {
        QTest::addColumn<QPalette>("palette");
        // The light palette is the desktop's; only the dark one is the application's own, with its colours
        // for a selected row.
        QTest::addColumn<bool>("isApplicationPalette");
        QTest::newRow("light") << QApplication::style()->standardPalette() << false;
        QTest::newRow("dark") << ApplicationPalette::darkPalette() << true;
    }

    void pagesKeepTheirContrast()
    {
        QFETCH(QPalette, palette);
        QFETCH(bool, isApplicationPalette);
        QApplication::setPalette(palette);
        // Widgets take the new palette on the next turns of the event loop.
        PasswordTable* table = tableAt(window, 0);
        QTRY_COMPARE(table->viewport()->palette().color(QPalette::Base), palette.color(QPalette::Base));

        // The editor: a record's name and the eye of its password, hidden and shown.
        QTRY_VERIFY(table->passwordItemAt(0));
        auto* eye = table->passwordItemAt(0)->findChild<QPushButton*>();
        checkEye(eye, "eye of a hidden password");
        QTest::mouseClick(eye, Qt::LeftButton);
        checkEye(eye, "eye of a shown password");
        QTest::mouseClick(eye, Qt::LeftButton);
        checkInk(table->viewport(), "record name", table->visualRect(table->model()->index(0, 0)));
        if (isApplicationPalette)
        {
            // The selected row, as drawn, and in an inactive window's colours.
            table->setCurrentCell(0, PasswordTable::COLUMN_NAME);
            const QRect selectedName = table->visualRect(table->model()->index(0, 0));
            QTRY_VERIFY(table->item(0, PasswordTable::COLUMN_NAME)->isSelected());
            checkInk(table->viewport(), "selected record name", selectedName);
            QVERIFY(contrast::ratio(palette.color(QPalette::Inactive, QPalette::HighlightedText),
                                    palette.color(QPalette::Inactive, QPalette::Highlight)) >=
                    contrast::MINIMUM_TEXT_CONTRAST);
            table->clearSelection();
        }
        // The outlines of a field, its check box and a button, unfocused and focused.
        auto* searchField = child<QLineEdit>(window, "lineEditSearch");
        checkBorder(searchField, "search field");
        searchField->setFocus();
        QTRY_VERIFY(searchField->hasFocus());
        checkBorder(searchField, "focused search field");
        checkBorder(child<QPushButton>(window, "pushButtonNewPassword"), "button");
        checkBorder(table, "table");
        // The check box as the user meets it: enabled once there is text to search.
        QTest::keyClicks(searchField, QStringLiteral("x"));
        auto* allTabs = child<QCheckBox>(window, "checkBoxSearchInAllTabs");
        QVERIFY(allTabs->isEnabled());
        QStyleOptionButton checkBoxOption;
        checkBoxOption.initFrom(allTabs);
        checkBoxOption.rect = allTabs->rect();
        checkBorder(allTabs, "check box",
                    allTabs->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &checkBoxOption, allTabs));
        searchField->clear();
        // The status area's health link, written before the palette changed.
        auto* healthLink = child<QLabel>(window, "labelPasswordHealth");
        QTRY_VERIFY(healthLink->isVisible());
        checkInk(healthLink, "password health link");

        // A message page.
        window->pushMessageBoxDialogView(ViewContentMessageBoxDialog::ICON_ERROR, "Failure",
                                         "The device did not answer.", ViewContentMessageBoxDialog::BUTTON_OK,
                                         ViewContentMessageBoxDialog::BUTTON_OK);
        QVERIFY(waitForView(window, VIEW_ID_MESSAGE_BOX_DIALOG));
        QWidget* messagePage = window->view(VIEW_ID_MESSAGE_BOX_DIALOG);
        checkInk(findWidget(messagePage, "labelText"), "message text");
        checkInk(findWidget(messagePage, "svgWidgetIcon"), "message icon");
        QTest::mouseClick(child<QPushButton>(messagePage, "pushButtonOk"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));

        // The start menu's links.
        window->pushView(VIEW_ID_START_MENU);
        QVERIFY(waitForView(window, VIEW_ID_START_MENU));
        QWidget* startMenu = window->view(VIEW_ID_START_MENU);
        checkInk(findWidget(startMenu, "labelGettingStarted"), "getting started link");
        checkInk(findWidget(startMenu, "labelDeviceInitialization"), "initialization link");
        window->removeView(VIEW_ID_START_MENU);
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));

        // The padlock of the locked page.
        window->setKnownMasterPassword(QStringLiteral("master"));
        window->findChild<QAction*>(QStringLiteral("actionLockApplication"))->trigger();
        QVERIFY(waitForView(window, VIEW_ID_APPLICATION_LOCKED));
        QWidget* lockedPage = window->view(VIEW_ID_APPLICATION_LOCKED);
        // Its shackle stands on the window's background, above the body.
        QWidget* padlock = findWidget(lockedPage, "svgWidgetIcon");
        checkInk(padlock, "padlock", QRect(0, 0, padlock->width(), padlock->height() * 2 / 5));
        QTest::keyClicks(findWidget(lockedPage, "lineEditPassword"), QStringLiteral("master"));
        QTest::mouseClick(child<QPushButton>(lockedPage, "pushButtonUnlock"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
    }
};

QTEST_MAIN(TestPaletteContrast)
#include "test_palette_contrast.moc"
