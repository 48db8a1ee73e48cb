// The record editor page, reached from the vault editor as a user does.
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "support/EditorTestSupport.h"
#include "support/ModalBoxAnswerer.h"
#include "views/ViewBase.h"
#include "views/ViewContentPasswordInformation.h"
#include "widgets/HelpLauncher.h"
#include "widgets/SensitiveClipboard.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace editortest;

class TestPasswordInformation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        window = createEditorWindow({VaultTab{"Personal",
                                              {makeRecord("Bank", "me", "pw1", "bank.example", "branch 12"),
                                               makeRecord("Mail", "me@example.com", "pw2")}}});
        QVERIFY(waitForView(window, VIEW_ID_CONTENT_EDITOR));
        page = window->view(VIEW_ID_PASSWORD_INFORMATION);
        view = qobject_cast<ViewContentPasswordInformation*>(page->contentWidget());
        QVERIFY(view);
    }

    void cleanup()
    {
        destroyEditorWindow(window);
        window = nullptr;
    }

    void saveFollowsTheTrimmedNameAndRealChanges()
    {
        openNewRecord();
        QCOMPARE(viewTitle(window, VIEW_ID_PASSWORD_INFORMATION), QStringLiteral("New password"));
        QCOMPARE(lineEdit("lineEditName")->placeholderText(), QStringLiteral("This field must not be empty"));
        QCOMPARE(QApplication::focusWidget(), lineEdit("lineEditName"));
        QVERIFY(!button("pushButtonSave")->isEnabled());
        QTest::keyClicks(lineEdit("lineEditName"), "   ");
        QVERIFY(!button("pushButtonSave")->isEnabled());
        QTest::keyClicks(lineEdit("lineEditName"), "Alarm  ");
        QVERIFY(button("pushButtonSave")->isEnabled());

        QSignalSpy modified(view, &ViewContentPasswordInformation::passwordModified);
        QTest::mouseClick(button("pushButtonSave"), Qt::LeftButton);
        QCOMPARE(modified.count(), 1);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        PasswordTable* table = tableAt(window, 0);
        QCOMPARE(table->passwordAt(0).name, QStringLiteral("Alarm"));
        QCOMPARE(table->currentRow(), 0);
        QCOMPARE(table->currentColumn(), 0);

        // Editing: a field typed back to its stored value leaves nothing to save.
        clickCell(table, 1, PasswordTable::COLUMN_LOGIN);
        QTest::mouseClick(child<QPushButton>(window, "pushButtonEditPassword"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        QCOMPARE(viewTitle(window, VIEW_ID_PASSWORD_INFORMATION), QStringLiteral("Edit password"));
        QCOMPARE(QApplication::focusWidget(), lineEdit("lineEditLogin"));
        QCOMPARE(lineEdit("lineEditName")->text(), QStringLiteral("Bank"));
        QCOMPARE(note()->toPlainText(), QStringLiteral("branch 12"));
        QVERIFY(!button("pushButtonSave")->isEnabled());
        QTest::keyClick(lineEdit("lineEditLogin"), Qt::Key_X);
        QVERIFY(button("pushButtonSave")->isEnabled());
        QTest::keyClick(lineEdit("lineEditLogin"), Qt::Key_Backspace);
        QVERIFY(!button("pushButtonSave")->isEnabled());
        QTest::keyClicks(lineEdit("lineEditName"), " ");
        QVERIFY(!button("pushButtonSave")->isEnabled());
        note()->setFocus();
        QTest::keyClick(note(), Qt::Key_Exclam);
        QVERIFY(button("pushButtonSave")->isEnabled());
        QTest::keyClick(note(), Qt::Key_Backspace);
        QVERIFY(!button("pushButtonSave")->isEnabled());

        QTest::mouseClick(button("pushButtonCancel"), Qt::LeftButton);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(modified.count(), 1);
        QCOMPARE(table->passwordAt(1).login, QStringLiteral("me"));
    }

    void generationKeepsTheEchoModeInBothModes()
    {
        openNewRecord();
        QLineEdit* password = lineEdit("lineEditPassword");
        QComboBox* mode = page->findChild<QComboBox*>("comboBoxPasswordGenerationMode");
        QCOMPARE(mode->currentIndex(), 0);
        QCOMPARE(mode->itemText(0), QStringLiteral("Auto"));
        QCOMPARE(mode->itemText(1), QStringLiteral("Advanced"));
        QWidget* advanced = findWidget(page, "widgetAdvancedPasswordGeneration");
        QVERIFY(!advanced->isVisible());
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QVERIFY(!button("pushButtonShowPassword")->isEnabled());
        QVERIFY(!button("pushButtonCopyPassword")->isEnabled());

        QTest::mouseClick(button("pushButtonGeneratePassword"), Qt::LeftButton);
        QVERIFY(password->text().size() >= 20 && password->text().size() <= 30);
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(label("labelPasswordCharactersCount")->text(),
                 QStringLiteral("Characters count: %1").arg(password->text().size()));
        QVERIFY(button("pushButtonShowPassword")->isEnabled());
        QVERIFY(button("pushButtonCopyPassword")->isEnabled());

        QTest::mouseClick(button("pushButtonShowPassword"), Qt::LeftButton);
        QCOMPARE(password->echoMode(), QLineEdit::Normal);
        QCOMPARE(withoutMnemonic(button("pushButtonShowPassword")->text()), QStringLiteral("Hide"));

        mode->setCurrentIndex(1);
        QVERIFY(advanced->isVisible());
        QSpinBox* count = page->findChild<QSpinBox*>("spinBoxCharactersCount");
        QCOMPARE(count->minimum(), 4);
        QCOMPARE(count->maximum(), 1024);
        count->setValue(9);
        toggle("checkBoxDigits");
        toggle("checkBoxSymbols");
        QTest::mouseClick(button("pushButtonGeneratePassword"), Qt::LeftButton);
        QCOMPARE(password->text().size(), 9);
        QCOMPARE(password->echoMode(), QLineEdit::Normal);
        for (QChar character : password->text())
            QVERIFY2(character.isLetter(), qPrintable(password->text()));

        // No class left: nothing to generate from, in either mode.
        toggle("checkBoxLowercaseLetters");
        toggle("checkBoxUppercaseLetters");
        QVERIFY(!button("pushButtonGeneratePassword")->isEnabled());
        mode->setCurrentIndex(0);
        QVERIFY(!button("pushButtonGeneratePassword")->isEnabled());
        mode->setCurrentIndex(1);
        toggle("checkBoxDigits");
        QVERIFY(button("pushButtonGeneratePassword")->isEnabled());

        // The next visit starts hidden again but keeps the generation settings.
        discardChanges();
        openNewRecord();
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(password->text(), QString());
        QCOMPARE(withoutMnemonic(button("pushButtonShowPassword")->text()), QStringLiteral("Show"));
        QCOMPARE(mode->currentIndex(), 1);
        QVERIFY(advanced->isVisible());
        QCOMPARE(count->value(), 9);
        QTest::mouseClick(button("pushButtonGeneratePassword"), Qt::LeftButton);
        QCOMPARE(password->text().size(), 9);
        for (QChar character : password->text())
            QVERIFY(character.isDigit());
        discardChanges();
    }

    void escapeAsksBeforeDiscardingChanges()
    {
        PasswordTable* table = tableAt(window, 0);
        clickCell(table, 0, PasswordTable::COLUMN_NAME);
        QTest::mouseClick(child<QPushButton>(window, "pushButtonEditPassword"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        QSignalSpy modified(view, &ViewContentPasswordInformation::passwordModified);

        // Nothing changed: Escape leaves at once, without a question.
        {
            ModalBoxAnswerer unexpected(QMessageBox::Yes);
            QTest::keyClick(lineEdit("lineEditName"), Qt::Key_Escape);
            QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
            QVERIFY(!unexpected.isBoxSeen());
        }

        // A generated password is a change: No (the default) stays with the fields as they were.
        QTest::mouseClick(child<QPushButton>(window, "pushButtonEditPassword"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        QTest::mouseClick(button("pushButtonGeneratePassword"), Qt::LeftButton);
        const QString generated = lineEdit("lineEditPassword")->text();
        QVERIFY(generated != QStringLiteral("pw1"));
        {
            ModalBoxAnswerer keep(QMessageBox::No);
            QTest::keyClick(lineEdit("lineEditName"), Qt::Key_Escape);
            QVERIFY(keep.isBoxSeen());
            QCOMPARE(keep.text(), QStringLiteral("Discard the changes to this record?"));
            QCOMPARE(keep.defaultButtonText(), QStringLiteral("No"));
        }
        QCOMPARE(window->currentViewId(), int(VIEW_ID_PASSWORD_INFORMATION));
        QCOMPARE(lineEdit("lineEditPassword")->text(), generated);

        // Yes discards: the record stays as stored.
        discardChanges();
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(modified.count(), 0);
        QCOMPARE(table->passwordAt(0).password, QStringLiteral("pw1"));
        QVERIFY(!window->isDataModified());
    }

    void meterRatesThePasswordAsTypedAndGenerated()
    {
        // As the health report rates it, the record's own details included.
        openNewRecord();
        QLabel* meter = label("labelPasswordRating");
        QVERIFY(meter->text().isEmpty());
        QTest::keyClicks(lineEdit("lineEditName"), "Harbour");
        QTest::keyClicks(lineEdit("lineEditPassword"), "password1");
        QVERIFY2(meter->text().startsWith("Weak: common "), qPrintable(meter->text()));
        QVERIFY(meter->isVisible());
        QCOMPARE(label("labelPasswordCharactersCount")->text(), QStringLiteral("Characters count: 9"));
        lineEdit("lineEditPassword")->clear();
        QVERIFY(meter->text().isEmpty());
        QTest::keyClicks(lineEdit("lineEditPassword"), "Harbour");
        QVERIFY2(meter->text().contains("record name, login or web site"), qPrintable(meter->text()));

        // A generated password: rated at once.
        QTest::mouseClick(button("pushButtonGeneratePassword"), Qt::LeftButton);
        QVERIFY2(meter->text().startsWith("Strong: "), qPrintable(meter->text()));
    }

    void copyThenCancelReportsTheCopyOnly()
    {
        PasswordTable* table = tableAt(window, 0);
        clickCell(table, 0, PasswordTable::COLUMN_NOTE);
        QTest::mouseClick(child<QPushButton>(window, "pushButtonEditPassword"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(note()));

        QSignalSpy modified(view, &ViewContentPasswordInformation::passwordModified);
        QSignalSpy copied(view, &ViewContentPasswordInformation::dataCopied);
        QTest::mouseClick(button("pushButtonCopyPassword"), Qt::LeftButton);
        const QMimeData* mimeData = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(mimeData->text(), QStringLiteral("pw1"));
        QCOMPARE(mimeData->data(QString::fromLatin1(SENSITIVE_CLIPBOARD_HINT_MIME_TYPE)),
                 QByteArray("secret"));
        QCOMPARE(copied.count(), 0);

        QTest::mouseClick(button("pushButtonCancel"), Qt::LeftButton);
        QCOMPARE(copied.count(), 1);
        QCOMPARE(modified.count(), 0);
        QVERIFY(child<QPushButton>(window, "pushButtonClearClipboard")->isEnabled());
        QVERIFY(!window->isDataModified());
        // The page keeps nothing of the record once left.
        QCOMPARE(lineEdit("lineEditPassword")->text(), QString());
        QCOMPARE(note()->toPlainText(), QString());
    }

    void copyingAShownPasswordIsASensitiveCopy()
    {
        PasswordTable* table = tableAt(window, 0);
        clickCell(table, 0, PasswordTable::COLUMN_PASSWORD);
        QTest::mouseClick(child<QPushButton>(window, "pushButtonEditPassword"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
        QLineEdit* password = lineEdit("lineEditPassword");
        QPushButton* clear = child<QPushButton>(window, "pushButtonClearClipboard");
        QVERIFY(!clear->isEnabled());

        // Ctrl+C in the shown field carries the clipboard managers' hint and can be cleared at once, like the
        // Copy button's copy.
        QTest::mouseClick(button("pushButtonShowPassword"), Qt::LeftButton);
        password->setFocus();
        password->selectAll();
        QTest::keyClick(password, Qt::Key_C, Qt::ControlModifier);
        const QMimeData* mimeData = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(mimeData->text(), QStringLiteral("pw1"));
        QCOMPARE(mimeData->data(QString::fromLatin1(SENSITIVE_CLIPBOARD_HINT_MIME_TYPE)),
                 QByteArray("secret"));
        QVERIFY(clear->isEnabled());
        QTest::keyClick(window, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());

        // The context menu's Copy takes the same way.
        QTimer::singleShot(0, this,
                           []()
                           {
                               auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                               for (QAction* action : menu ? menu->actions() : QList<QAction*>())
                               {
                                   if (action->text().startsWith(QLatin1String("&Copy")))
                                       action->trigger();
                               }
                               if (menu)
                                   menu->close();
                           });
        QContextMenuEvent contextMenuEvent(QContextMenuEvent::Mouse, QPoint(5, 5),
                                           password->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(password, &contextMenuEvent);
        mimeData = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(mimeData->text(), QStringLiteral("pw1"));
        QCOMPARE(mimeData->data(QString::fromLatin1(SENSITIVE_CLIPBOARD_HINT_MIME_TYPE)),
                 QByteArray("secret"));

        QTest::mouseClick(button("pushButtonCancel"), Qt::LeftButton);
    }

    void terminatorCharactersNeverEnterARecord()
    {
        openNewRecord();
        QGuiApplication::clipboard()->setText(QString::fromUtf16(u"ab\u0003c\u0004d"));
        QTest::keyClick(lineEdit("lineEditName"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(lineEdit("lineEditName")->text(), QStringLiteral("abcd"));
        lineEdit("lineEditPassword")->setFocus();
        QTest::keyClick(lineEdit("lineEditPassword"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(lineEdit("lineEditPassword")->text(), QStringLiteral("abcd"));
        note()->setFocus();
        QTest::keyClick(note(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(note()->toPlainText(), QStringLiteral("abcd"));
        QTest::mouseClick(button("pushButtonSave"), Qt::LeftButton);
        const PasswordRecord& saved = tableAt(window, 0)->passwordAt(0);
        QCOMPARE(saved.name, QStringLiteral("abcd"));
        QCOMPARE(saved.password, QStringLiteral("abcd"));
        QCOMPARE(saved.note, QStringLiteral("abcd"));
    }

    void helpLinkOpensTheGenerationPage()
    {
        // A stand-in viewer that records the pages it is asked for.
        QTemporaryDir directory;
        QVERIFY(directory.isValid());
        const QString viewerPath = directory.filePath("viewer.sh");
        const QString argumentsPath = directory.filePath("arguments.txt");
        QFile viewer(viewerPath);
        QVERIFY(viewer.open(QIODevice::WriteOnly));
        viewer.write(QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\n").arg(argumentsPath).toUtf8());
        viewer.close();
        viewer.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        setHelpViewerProgramPath(viewerPath);

        openNewRecord();
        QLabel* help = label("labelHelp");
        QVERIFY(help->isVisible());
        const QRegularExpressionMatch link = QRegularExpression("href=\"([^\"]+)\"").match(help->text());
        QVERIFY(link.hasMatch());
        QVERIFY(QMetaObject::invokeMethod(help, "linkActivated", Q_ARG(QString, link.captured(1))));
        QTRY_VERIFY(QFile::exists(argumentsPath) && QFile(argumentsPath).size() > 0);
        QFile arguments(argumentsPath);
        QVERIFY(arguments.open(QIODevice::ReadOnly));
        QVERIFY(arguments.readAll().contains("advanced_password_generation.html"));
        QTRY_VERIFY(!isHelpViewerRunning());
        setHelpViewerProgramPath(QString());
        QTest::mouseClick(button("pushButtonCancel"), Qt::LeftButton);
    }

private:
    // Cancel with changes in the fields, answering its question with Yes.
    void discardChanges()
    {
        ModalBoxAnswerer discard(QMessageBox::Yes);
        QTest::mouseClick(button("pushButtonCancel"), Qt::LeftButton);
        QVERIFY(discard.isBoxSeen());
    }

    void openNewRecord()
    {
        QTest::mouseClick(child<QPushButton>(window, "pushButtonNewPassword"), Qt::LeftButton);
        QVERIFY(waitForView(window, VIEW_ID_PASSWORD_INFORMATION));
    }

    // A click on the box itself: a check box stretched by its layout does not react to its empty end.
    void toggle(const char* name)
    {
        QCheckBox* checkBox = child<QCheckBox>(page, name);
        QTest::mouseClick(checkBox, Qt::LeftButton, Qt::NoModifier, QPoint(8, checkBox->height() / 2));
    }

    QLineEdit* lineEdit(const char* name) const
    {
        return child<QLineEdit>(page, name);
    }

    QPushButton* button(const char* name) const
    {
        return child<QPushButton>(page, name);
    }

    QLabel* label(const char* name) const
    {
        return child<QLabel>(page, name);
    }

    QTextEdit* note() const
    {
        return child<QTextEdit>(page, "textEditNote");
    }

    FormContentEditor* window = nullptr;
    ViewBase* page = nullptr;
    ViewContentPasswordInformation* view = nullptr;
};

QTEST_MAIN(TestPasswordInformation)
#include "test_password_information.moc"
