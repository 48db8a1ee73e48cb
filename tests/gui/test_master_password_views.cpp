// The reading and writing master password pages inside the main window, and the Show/Hide button of every
// page with a password field.
#include "device/Device.h"
#include "mainwindow/FormContentEditor.h"
#include "passwordtools/PasswordStrength.h"
#include "support/EditorTestSupport.h"
#include "support/ModalBoxAnswerer.h"
#include "views/ViewBase.h"
#include "views/ViewContentInsertReadingMasterPassword.h"
#include "views/ViewContentInsertWritingMasterPassword.h"
#include "widgets/HelpLauncher.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using editortest::child;
using editortest::withoutMnemonic;

class TestMasterPasswordViews : public QObject
{
    Q_OBJECT

private:
    FormContentEditor* window = nullptr;

    QWidget* page(int viewId)
    {
        return window->view(viewId);
    }

    QString strengthLabelFor(const QString& password)
    {
        QString strengthText;
        getPasswordStrength(password, &strengthText);
        return QStringLiteral("Password strength: <b>%1</b>").arg(strengthText);
    }

private Q_SLOTS:
    void init()
    {
        window = editortest::createEditorWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    void cleanup()
    {
        editortest::destroyEditorWindow(window);
        window = nullptr;
    }

    void readingPageAcceptsAnyTextAndHidesIt()
    {
        QWidget* reading = page(VIEW_ID_INSERT_READING_MASTER_PASSWORD);
        auto* lineEdit = child<QLineEdit>(reading, "lineEditPasswordField");
        auto* ok = child<QPushButton>(reading, "pushButtonOk");
        auto* show = child<QPushButton>(reading, "pushButtonShow");
        auto* view = qobject_cast<ViewContentInsertReadingMasterPassword*>(
            window->view(VIEW_ID_INSERT_READING_MASTER_PASSWORD)->contentWidget());
        QSignalSpy finished(view, &ViewContentInsertReadingMasterPassword::insertionFinished);
        // The page alone: the window would go on reading a device.
        QObject::disconnect(view, nullptr, window, nullptr);

        window->pushView(VIEW_ID_INSERT_READING_MASTER_PASSWORD);
        QVERIFY(lineEdit->text().isEmpty());
        QCOMPARE(lineEdit->echoMode(), QLineEdit::Password);
        QVERIFY(!ok->isEnabled());
        QCOMPARE(show->focusPolicy(), Qt::ClickFocus);

        // Return in an empty field does nothing.
        QTest::keyClick(lineEdit, Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_INSERT_READING_MASTER_PASSWORD));
        QCOMPARE(finished.count(), 0);

        QTest::keyClick(lineEdit, Qt::Key_Space);
        QVERIFY(ok->isEnabled());
        QTest::mouseClick(show, Qt::LeftButton);
        QCOMPARE(lineEdit->echoMode(), QLineEdit::Normal);
        QCOMPARE(withoutMnemonic(show->text()), QStringLiteral("Hide"));

        // A page revealed again by a pop shows what was left on it.
        window->pushView(VIEW_ID_MESSAGE_BOX_DIALOG);
        window->popView(VIEW_ID_COUNT);
        QCOMPARE(lineEdit->text(), QStringLiteral(" "));
        QCOMPARE(lineEdit->echoMode(), QLineEdit::Normal);

        // Return with text is OK: the text exactly as typed, and nothing left in the field.
        QTest::keyClick(lineEdit, Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0), QVariantList({true, QStringLiteral(" ")}));
        QVERIFY(lineEdit->text().isEmpty());

        // A new visit starts hidden and empty; Cancel reports with an empty password.
        window->pushView(VIEW_ID_INSERT_READING_MASTER_PASSWORD);
        QCOMPARE(lineEdit->echoMode(), QLineEdit::Password);
        QCOMPARE(withoutMnemonic(show->text()), QStringLiteral("Show"));
        QTest::keyClicks(lineEdit, "typed");
        QTest::mouseClick(child<QPushButton>(reading, "pushButtonCancel"), Qt::LeftButton);
        QCOMPARE(finished.count(), 2);
        QCOMPARE(finished.at(1), QVariantList({false, QString()}));
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
    }

    void writingPageWantsTheSamePasswordTwice()
    {
        QWidget* writing = page(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD);
        auto* first = child<QLineEdit>(writing, "lineEditFirstPasswordField");
        auto* second = child<QLineEdit>(writing, "lineEditSecondPasswordField");
        auto* ok = child<QPushButton>(writing, "pushButtonOk");
        auto* show = child<QPushButton>(writing, "pushButtonShow");
        auto* strength = child<QLabel>(writing, "labelPasswordStrength");
        auto* matching = child<QLabel>(writing, "labelPasswordsMatchingState");
        auto* view = qobject_cast<ViewContentInsertWritingMasterPassword*>(
            window->view(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD)->contentWidget());
        QSignalSpy finished(view, &ViewContentInsertWritingMasterPassword::insertionFinished);
        // The page alone: the window would go on saving to a device.
        QObject::disconnect(view, nullptr, window, nullptr);

        window->pushView(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD);
        QCOMPARE(strength->text(), strengthLabelFor(QString()));
        QCOMPARE(matching->text(), QStringLiteral("Passwords do not match."));
        QVERIFY(!ok->isEnabled());

        // Only the first field is rated.
        QTest::keyClicks(first, "Tr0ub4dor&3 horse");
        QCOMPARE(strength->text(), strengthLabelFor("Tr0ub4dor&3 horse"));
        QTest::keyClicks(second, "tr0ub4dor&3 horse");
        QCOMPARE(strength->text(), strengthLabelFor("Tr0ub4dor&3 horse"));
        QCOMPARE(matching->text(), QStringLiteral("Passwords do not match."));
        QVERIFY(!ok->isEnabled());

        second->setText("Tr0ub4dor&3 horse");
        QCOMPARE(matching->text(), QStringLiteral("Passwords are matching."));
        QVERIFY(ok->isEnabled());
        QTest::keyClick(second, Qt::Key_Space);
        QCOMPARE(matching->text(), QStringLiteral("Passwords do not match."));
        QVERIFY(!ok->isEnabled());
        QTest::keyClick(second, Qt::Key_Backspace);
        QVERIFY(ok->isEnabled());

        // Show reveals and hides both fields together.
        QTest::mouseClick(show, Qt::LeftButton);
        QCOMPARE(first->echoMode(), QLineEdit::Normal);
        QCOMPARE(second->echoMode(), QLineEdit::Normal);
        QCOMPARE(withoutMnemonic(show->text()), QStringLiteral("Hide"));
        QTest::mouseClick(show, Qt::LeftButton);
        QCOMPARE(second->echoMode(), QLineEdit::Password);
        QTest::mouseClick(show, Qt::LeftButton);

        // Return in a field answers as the default button, OK, does.
        second->setFocus();
        QTest::keyClick(second, Qt::Key_Return);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        QCOMPARE(finished.at(0), QVariantList({true, QStringLiteral("Tr0ub4dor&3 horse")}));
        QVERIFY(first->text().isEmpty() && second->text().isEmpty());

        // A new visit starts hidden, empty and rated; Cancel returns nothing.
        window->pushView(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD);
        QCOMPARE(first->echoMode(), QLineEdit::Password);
        QCOMPARE(second->echoMode(), QLineEdit::Password);
        QCOMPARE(withoutMnemonic(show->text()), QStringLiteral("Show"));
        QCOMPARE(strength->text(), strengthLabelFor(QString()));
        QTest::keyClicks(first, "abc");
        QTest::keyClicks(second, "abc");
        QTest::mouseClick(child<QPushButton>(writing, "pushButtonCancel"), Qt::LeftButton);
        QCOMPARE(finished.at(1), QVariantList({false, QString()}));
    }

    void weakPasswordIsUsedOnlyWhenConfirmed()
    {
        QWidget* writing = page(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD);
        auto* first = child<QLineEdit>(writing, "lineEditFirstPasswordField");
        auto* second = child<QLineEdit>(writing, "lineEditSecondPasswordField");
        auto* ok = child<QPushButton>(writing, "pushButtonOk");
        auto* view = qobject_cast<ViewContentInsertWritingMasterPassword*>(
            window->view(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD)->contentWidget());
        QSignalSpy finished(view, &ViewContentInsertWritingMasterPassword::insertionFinished);
        QObject::disconnect(view, nullptr, window, nullptr);

        // "very weak" and "weak" ask; No, the default, stays on the page with the password as typed.
        for (const QString& weakPassword : {QStringLiteral("abc"), QStringLiteral("abcdefghijk")})
        {
            QString rating;
            QVERIFY(getPasswordStrength(weakPassword, &rating) <= 1);
            window->pushView(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD);
            QTest::keyClicks(first, weakPassword);
            QTest::keyClicks(second, weakPassword);
            {
                ModalBoxAnswerer answerer(QMessageBox::No);
                QTest::mouseClick(ok, Qt::LeftButton);
                QVERIFY2(answerer.isBoxSeen(), qPrintable(rating));
                QCOMPARE(answerer.text(), QStringLiteral("This master password is weak. Use it anyway?"));
                QCOMPARE(answerer.defaultButtonText(), QStringLiteral("No"));
            }
            QCOMPARE(window->currentViewId(), int(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD));
            QCOMPARE(first->text(), weakPassword);
            // The offscreen platform gives the activation back to no window when a modal box closes.
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(first));
            QCOMPARE(finished.count(), 0);

            // Yes uses it, after one question.
            ModalBoxAnswerer answerer(QMessageBox::Yes);
            QTest::mouseClick(ok, Qt::LeftButton);
            QVERIFY(answerer.isBoxSeen());
            QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
            QCOMPARE(finished.takeLast(), QVariantList({true, weakPassword}));
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
        }

        // "average" and better go without a question.
        const QString averagePassword = QStringLiteral("abcdefghijklmn");
        QCOMPARE(getPasswordStrength(averagePassword, nullptr), 2);
        window->pushView(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD);
        QTest::keyClicks(first, averagePassword);
        QTest::keyClicks(second, averagePassword);
        ModalBoxAnswerer unexpected(QMessageBox::No);
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!unexpected.isBoxSeen());
        QCOMPARE(finished.takeLast(), QVariantList({true, averagePassword}));
    }

    void showGivesTheFocusBackToThePasswordField_data()
    {
        QTest::addColumn<int>("viewId");
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<QString>("showName");
        // Emitted when Return in the field confirms the page; empty where Return has no action of its own.
        QTest::addColumn<QByteArray>("confirmationSignal");

        QTest::newRow("reading master password")
            << int(VIEW_ID_INSERT_READING_MASTER_PASSWORD) << "lineEditPasswordField"
            << "pushButtonShow" << QByteArray(SIGNAL(insertionFinished(bool, QString)));
        QTest::newRow("writing master password, second field")
            << int(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD) << "lineEditSecondPasswordField"
            << "pushButtonShow" << QByteArray();
        QTest::newRow("locked application") << int(VIEW_ID_APPLICATION_LOCKED) << "lineEditPassword"
                                            << "pushButtonShow" << QByteArray(SIGNAL(applicationUnlocked()));
        QTest::newRow("copy wizard source password")
            << int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_2) << "lineEditPassword"
            << "pushButtonShowPassword" << QByteArray(SIGNAL(passwordInserted(QString)));
        QTest::newRow("copy wizard target password")
            << int(VIEW_ID_DEVICE_COPY_WIZARD_PAGE_3) << "lineEditPassword"
            << "pushButtonShowPassword" << QByteArray(SIGNAL(passwordInserted(QString)));
        QTest::newRow("record editor") << int(VIEW_ID_PASSWORD_INFORMATION) << "lineEditPassword"
                                       << "pushButtonShowPassword" << QByteArray();
    }

    void showGivesTheFocusBackToThePasswordField()
    {
        QFETCH(int, viewId);
        QFETCH(QString, fieldName);
        QFETCH(QString, showName);
        QFETCH(QByteArray, confirmationSignal);
        QWidget* view = window->view(viewId)->contentWidget();
        auto* lineEdit = child<QLineEdit>(page(viewId), fieldName.toLatin1().constData());
        auto* show = child<QPushButton>(page(viewId), showName.toLatin1().constData());
        if (viewId == VIEW_ID_APPLICATION_LOCKED)
        {
            window->setKnownMasterPassword(QStringLiteral("Typed words 12!"));
            window->findChild<QAction*>(QStringLiteral("actionLockApplication"))->trigger();
        }
        else
        {
            // The page alone: the window would go on with a workflow.
            QObject::disconnect(view, nullptr, window, nullptr);
            window->pushView(viewId);
        }
        QCOMPARE(window->currentViewId(), viewId);
        lineEdit->setFocus();
        // Strong enough for the pages that question weak master passwords.
        QTest::keyClicks(lineEdit, "Typed words 12!");

        QTest::mouseClick(show, Qt::LeftButton);
        QCOMPARE(lineEdit->echoMode(), QLineEdit::Normal);
        QCOMPARE(withoutMnemonic(show->text()), QStringLiteral("Hide"));
        QCOMPARE(QApplication::focusWidget(), lineEdit);
        QTest::mouseClick(show, Qt::LeftButton);
        QCOMPARE(lineEdit->echoMode(), QLineEdit::Password);
        QCOMPARE(withoutMnemonic(show->text()), QStringLiteral("Show"));
        QCOMPARE(QApplication::focusWidget(), lineEdit);

        if (confirmationSignal.isEmpty())
            return;
        QSignalSpy confirmed(view, confirmationSignal.constData());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(confirmed.count(), 1);
    }

    void writingPageHelpLinkOpensTheGuide()
    {
        // A stand-in viewer that logs the page it was asked for.
        QTemporaryDir directory;
        const QString programPath = directory.filePath("Help_Viewer");
        QFile program(programPath);
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\necho \"$*\" >> \"$(dirname \"$0\")/log\"\n");
        program.close();
        program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString previousProgramPath = helpViewerProgramPath();
        setHelpViewerProgramPath(programPath);

        window->pushView(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD);
        auto* help = child<QLabel>(page(VIEW_ID_INSERT_WRITING_MASTER_PASSWORD), "labelHelp");
        QVERIFY(help->text().contains("master_password_selection_guide.html"));
        Q_EMIT help->linkActivated("master_password_selection_guide.html");
        const auto logText = [&]()
        {
            QFile log(directory.filePath("log"));
            return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
        };
        QTRY_VERIFY(logText().contains("master_password_selection_guide.html"));
        setHelpViewerProgramPath(previousProgramPath);
    }
};

QTEST_MAIN(TestMasterPasswordViews)
#include "test_master_password_views.moc"
