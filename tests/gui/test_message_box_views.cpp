#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "views/ViewBase.h"
#include "views/ViewContentLineInputDialog.h"
#include "views/ViewContentMessageBoxDialog.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QtTest>

using Dialog = ViewContentMessageBoxDialog;

class TestMessageBoxViews : public QObject
{
    Q_OBJECT

private:
    FormContentEditor* window = nullptr;
    Dialog* messageBox = nullptr;
    ViewContentLineInputDialog* lineInput = nullptr;
    QLineEdit* lineEdit = nullptr;

    QPushButton* messageBoxButton(const char* objectName) const
    {
        return messageBox->findChild<QPushButton*>(QLatin1String(objectName));
    }

    QPushButton* lineInputButton(const char* objectName) const
    {
        return lineInput->findChild<QPushButton*>(QLatin1String(objectName));
    }

    QLabel* messageLabel() const
    {
        return messageBox->findChild<QLabel*>(QStringLiteral("labelText"));
    }

    void showMessage(const QString& text, int buttons, Dialog::Button defaultButton,
                     Dialog::Icon icon = Dialog::ICON_QUESTION)
    {
        window->pushMessageBoxDialogView(icon, QStringLiteral("Question"), text, buttons, defaultButton);
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_MESSAGE_BOX_DIALOG));
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
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        messageBox = qobject_cast<Dialog*>(window->view(VIEW_ID_MESSAGE_BOX_DIALOG)->contentWidget());
        lineInput = qobject_cast<ViewContentLineInputDialog*>(
            window->view(VIEW_ID_LINE_INPUT_DIALOG)->contentWidget());
        QVERIFY(messageBox && lineInput);
        lineEdit = lineInput->findChild<QLineEdit*>(QStringLiteral("lineEdit"));
        QVERIFY(lineEdit);
    }

    void cleanupTestCase()
    {
        delete window;
        mainWindow = nullptr;
        releaseConfiguration();
    }

    void init()
    {
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
    }

    void messageBoxShowsTheChosenButtonsAndFocusesTheDefault()
    {
        QSignalSpy spy(messageBox, &Dialog::dialogExited);
        const int okAndNo = Dialog::BUTTON_OK | Dialog::BUTTON_NO;
        window->pushMessageBoxDialogView(Dialog::ICON_QUESTION, "Remove tab", "Remove it?", okAndNo,
                                         Dialog::BUTTON_NO);
        // Pushed on the next turn of the event loop, not by the call itself.
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        QTRY_COMPARE(window->currentViewId(), int(VIEW_ID_MESSAGE_BOX_DIALOG));

        QCOMPARE(window->view(VIEW_ID_MESSAGE_BOX_DIALOG)->title(), QStringLiteral("Remove tab"));
        QCOMPARE(messageLabel()->text(), QStringLiteral("Remove it?"));
        QVERIFY(messageBoxButton("pushButtonOk")->isVisible());
        QVERIFY(messageBoxButton("pushButtonNo")->isVisible());
        QVERIFY(!messageBoxButton("pushButtonYes")->isVisible());
        QVERIFY(!messageBoxButton("pushButtonCancel")->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), messageBoxButton("pushButtonNo"));
        QVERIFY(messageBoxButton("pushButtonNo")->isDefault());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), int(Dialog::BUTTON_NO));

        // Every button reports its own value and returns to the page underneath.
        const QList<QPair<const char*, int>> buttons = {{"pushButtonOk", Dialog::BUTTON_OK},
                                                        {"pushButtonYes", Dialog::BUTTON_YES},
                                                        {"pushButtonNo", Dialog::BUTTON_NO},
                                                        {"pushButtonCancel", Dialog::BUTTON_CANCEL}};
        for (const auto& [name, value] : buttons)
        {
            spy.clear();
            showMessage("Which one?", 15, Dialog::BUTTON_YES);
            QTRY_COMPARE(QApplication::focusWidget(), messageBoxButton("pushButtonYes"));
            QTest::mouseClick(messageBoxButton(name), Qt::LeftButton);
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.at(0).at(0).toInt(), value);
            QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        }

        // A default outside the four values changes neither focus nor default: Yes stays the default.
        showMessage("Again?", Dialog::BUTTON_YES | Dialog::BUTTON_NO, static_cast<Dialog::Button>(3));
        QVERIFY(messageBoxButton("pushButtonYes")->isDefault());
        QVERIFY(!messageBoxButton("pushButtonNo")->isDefault());
        QTest::mouseClick(messageBoxButton("pushButtonNo"), Qt::LeftButton);
    }

    void messageBoxWrapsOnlyLinesOf1024PixelsOrMore()
    {
        const QString shortText = QStringLiteral("First line.\nSecond line.\nThird line.");
        showMessage(shortText, Dialog::BUTTON_OK, Dialog::BUTTON_OK);
        QVERIFY(!messageLabel()->wordWrap());
        QCOMPARE(messageLabel()->minimumWidth(), 0);
        QCOMPARE(messageLabel()->text(), shortText);
        QTest::mouseClick(messageBoxButton("pushButtonOk"), Qt::LeftButton);

        const QFontMetricsF metrics(QApplication::font());
        QString longText = QStringLiteral("A long message");
        while (metrics.horizontalAdvance(longText) < 1100.0)
            longText += QStringLiteral(" that keeps going");
        showMessage(longText, Dialog::BUTTON_OK, Dialog::BUTTON_OK);
        QVERIFY(messageLabel()->wordWrap());
        QVERIFY(messageLabel()->minimumWidth() > 0);
        QVERIFY(messageLabel()->minimumWidth() <= 1024);
        QTest::mouseClick(messageBoxButton("pushButtonOk"), Qt::LeftButton);

        // On a screen narrower than the message, a maximised window stays within the screen, even for a
        // path without spaces, and is maximised again once the message is gone.
        const int screenWidth = window->screen()->availableGeometry().width();
        QVERIFY(screenWidth < 1100);
        window->showMaximized();
        QTRY_VERIFY(window->isMaximized());
        const QString longPath = "/home/user/" + QString("directory_").repeated(30) + "/file.csv";
        showMessage(longText + " " + longPath, Dialog::BUTTON_OK, Dialog::BUTTON_OK);
        QTRY_VERIFY(messageLabel()->isVisible());
        // The layout's minimum is what a window manager enforces, maximised or not: the message page must not
        // raise it above the screen's width.
        const int pageMinimumWidth = window->view(VIEW_ID_MESSAGE_BOX_DIALOG)->minimumSizeHint().width();
        QVERIFY2(pageMinimumWidth <= screenWidth, qPrintable(QString::number(pageMinimumWidth)));
        QVERIFY(messageLabel()->sizeHint().width() <= messageLabel()->width());
        QTest::mouseClick(messageBoxButton("pushButtonOk"), Qt::LeftButton);
        QTRY_VERIFY(window->isMaximized());
        window->showNormal();

        // The next short message does not inherit the wrapping.
        showMessage(shortText, Dialog::BUTTON_OK, Dialog::BUTTON_OK);
        QVERIFY(!messageLabel()->wordWrap());
        QCOMPARE(messageLabel()->minimumWidth(), 0);
        QTest::mouseClick(messageBoxButton("pushButtonOk"), Qt::LeftButton);
    }

    // Screen readers announce the icon by its meaning, then the message itself.
    void messageBoxLoadsOneIconPerKindAndNamesIt()
    {
        auto* icon = messageBox->findChild<QSvgWidget*>(QStringLiteral("svgWidgetIcon"));
        QVERIFY(icon);
        const QList<QPair<int, QString>> kinds = {{Dialog::ICON_SUCCESS, "Success"},
                                                  {Dialog::ICON_ERROR, "Error"},
                                                  {Dialog::ICON_INFORMATION, "Information"},
                                                  {Dialog::ICON_QUESTION, "Question"}};
        for (const auto& [kind, meaning] : kinds)
        {
            const QString text = QStringLiteral("The text of a message of kind ") + meaning;
            messageBox->setContent(kind, text, Dialog::BUTTON_OK, Dialog::BUTTON_OK);
            QVERIFY2(icon->renderer()->isValid(), qPrintable(meaning));
            QCOMPARE(icon->renderer()->aspectRatioMode(), Qt::KeepAspectRatio);
            QCOMPARE(QAccessible::queryAccessibleInterface(icon)->text(QAccessible::Name), meaning);
            QCOMPARE(QAccessible::queryAccessibleInterface(messageLabel())->text(QAccessible::Name), text);
        }
        messageBox->setContent(7, "Text", Dialog::BUTTON_OK, Dialog::BUTTON_OK);
        QVERIFY(!icon->renderer()->isValid());
    }

    void lineInputStartsSelectedAndAnswersWithReturn()
    {
        QSignalSpy spy(lineInput, &ViewContentLineInputDialog::insertionFinished);
        window->pushLineInputDialogView("Insert tab name", "Enter the tab name:", "New tab");
        QCOMPARE(window->currentViewId(), int(VIEW_ID_LINE_INPUT_DIALOG));
        QCOMPARE(window->view(VIEW_ID_LINE_INPUT_DIALOG)->title(), QStringLiteral("Insert tab name"));
        QCOMPARE(lineInput->findChild<QLabel*>("labelText")->text(), QStringLiteral("Enter the tab name:"));
        QCOMPARE(lineEdit->selectedText(), QStringLiteral("New tab"));
        QVERIFY(lineInputButton("pushButtonOk")->isEnabled());
        QTRY_COMPARE(QApplication::focusWidget(), lineEdit);

        QTest::keyClick(lineEdit, Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("New tab"));
    }

    void lineInputNeedsOneCharacterAndKeepsWhiteSpace()
    {
        QSignalSpy spy(lineInput, &ViewContentLineInputDialog::insertionFinished);
        window->pushLineInputDialogView("Insert tab name", "Enter the tab name:", "");
        QVERIFY(!lineInputButton("pushButtonOk")->isEnabled());
        QTest::keyClick(lineEdit, Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_LINE_INPUT_DIALOG));
        QCOMPARE(spy.count(), 0);

        QTest::keyClicks(lineEdit, "x");
        QVERIFY(lineInputButton("pushButtonOk")->isEnabled());
        QTest::keyClick(lineEdit, Qt::Key_Backspace);
        QVERIFY(!lineInputButton("pushButtonOk")->isEnabled());

        QTest::keyClicks(lineEdit, "   ");
        QVERIFY(lineInputButton("pushButtonOk")->isEnabled());
        QTest::mouseClick(lineInputButton("pushButtonOk"), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("   "));

        // Cancel answers nothing, whatever was typed.
        spy.clear();
        window->pushLineInputDialogView("Insert new name", "New tab name:", "Bank");
        QTest::keyClicks(lineEdit, "Mail");
        QTest::mouseClick(lineInputButton("pushButtonCancel"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_START_MENU));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), false);
        QCOMPARE(spy.at(0).at(1).toString(), QString());
    }

    void lineInputDropsTheVaultTerminatorCharacters()
    {
        QSignalSpy spy(lineInput, &ViewContentLineInputDialog::insertionFinished);
        window->pushLineInputDialogView("Insert tab name",
                                        "Enter the tab name:", QString("Ba") + QChar(3) + "nk");
        QCOMPARE(lineEdit->text(), QStringLiteral("Bank"));

        QApplication::clipboard()->setText(QString("Ma") + QChar(0) + "i" + QChar(4) + "l" + QChar(3));
        QTest::keyClick(lineEdit, Qt::Key_End);
        QTest::keyClick(lineEdit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(lineEdit->text(), QStringLiteral("BankMail"));
        QCOMPARE(lineEdit->cursorPosition(), 8);

        QTest::keyClick(lineEdit, Qt::Key_Return);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("BankMail"));
        QApplication::clipboard()->clear();
    }
};

QTEST_MAIN(TestMessageBoxViews)
#include "test_message_box_views.moc"
