#include "EditorTestSupport.h"

#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "views/ViewBase.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>

namespace editortest
{
namespace
{
QTabWidget* _tabWidget_helper(FormContentEditor* window)
{
    return window->findChild<QTabWidget*>(QStringLiteral("tabWidget"));
}
} // namespace

QString withoutMnemonic(QString text)
{
    return text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
}

PasswordRecord makeRecord(const QString& name, const QString& login, const QString& password,
                          const QString& url, const QString& note)
{
    PasswordRecord record;
    record.name = name;
    record.login = login;
    record.password = password;
    record.url = url;
    record.note = note;
    return record;
}

FormContentEditor* createEditorWindow(const Vault& vault)
{
    if (!settings)
    {
        QStandardPaths::setTestModeEnabled(true);
        initializeConfiguration();
        // The license page would come first otherwise.
        settings->setValue(CONFIGURATION_KEY_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION, APPLICATION_VERSION);
    }
    auto* window = new FormContentEditor();
    mainWindow = window;
    window->resize(1400, 900);
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return window;

    // The start menu's "start initializing" link leads to an empty vault in the editor.
    auto* link = window->findChild<QLabel*>(QStringLiteral("labelDeviceInitialization"));
    if (!link ||
        !QMetaObject::invokeMethod(link, "linkActivated", Q_ARG(QString, QStringLiteral("unused_link"))))
        QTest::qFail("the start menu's initialization link could not be followed", __FILE__, __LINE__);
    waitForView(window, VIEW_ID_CONTENT_EDITOR);
    window->setVault(vault);
    return window;
}

void destroyEditorWindow(FormContentEditor* window)
{
    mainWindow = nullptr;
    delete window;
}

QWidget* findWidget(QWidget* root, const char* objectName)
{
    return root->findChild<QWidget*>(QString::fromLatin1(objectName));
}

PasswordTable* tableAt(FormContentEditor* window, int tabIndex)
{
    return qobject_cast<PasswordTable*>(_tabWidget_helper(window)->widget(tabIndex));
}

QString tabName(FormContentEditor* window, int tabIndex)
{
    return PasswordTable::tabNameFromText(_tabWidget_helper(window)->tabText(tabIndex));
}

int tabCount(FormContentEditor* window)
{
    return _tabWidget_helper(window)->count();
}

int currentTabIndex(FormContentEditor* window)
{
    return _tabWidget_helper(window)->currentIndex();
}

bool waitForView(FormContentEditor* window, int viewId)
{
    if (QTest::qWaitFor([&]() { return window->currentViewId() == viewId; }))
        return true;
    qWarning("Waited in vain for page %d: %s", viewId, qPrintable(describeScreen(window)));
    return false;
}

QString describeScreen(FormContentEditor* window)
{
    const int viewId = window->currentViewId();
    ViewBase* page = window->view(viewId);
    QString text = QStringLiteral("the window shows page %1").arg(viewId);
    if (page && page->contentWidget())
        text += QStringLiteral(" (%1, \"%2\")")
                    .arg(QString::fromLatin1(page->contentWidget()->metaObject()->className()),
                         viewTitle(window, viewId));
    if (viewId == VIEW_ID_MESSAGE_BOX_DIALOG)
        text += QStringLiteral(" with the message \"%1\"").arg(messageBoxText(window));
    return text;
}

QString messageBoxText(FormContentEditor* window)
{
    auto* label = child<QLabel>(window->view(VIEW_ID_MESSAGE_BOX_DIALOG), "labelText");
    return label ? label->text() : QString();
}

bool answerMessageBox(FormContentEditor* window, const char* buttonName)
{
    if (!waitForView(window, VIEW_ID_MESSAGE_BOX_DIALOG))
        return false;
    auto* button = child<QAbstractButton>(window->view(VIEW_ID_MESSAGE_BOX_DIALOG), buttonName);
    if (!button || !button->isVisible())
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

QString lineInputText(FormContentEditor* window)
{
    auto* lineEdit = child<QLineEdit>(window->view(VIEW_ID_LINE_INPUT_DIALOG), "lineEdit");
    return lineEdit ? lineEdit->text() : QString();
}

bool answerLineInput(FormContentEditor* window, const QString& text)
{
    if (!waitForView(window, VIEW_ID_LINE_INPUT_DIALOG))
        return false;
    QWidget* page = window->view(VIEW_ID_LINE_INPUT_DIALOG);
    auto* lineEdit = child<QLineEdit>(page, "lineEdit");
    auto* ok = child<QAbstractButton>(page, "pushButtonOk");
    if (!lineEdit || !ok)
        return false;
    // The proposed text is selected: typing replaces it.
    lineEdit->selectAll();
    QTest::keyClicks(lineEdit, text);
    QTest::mouseClick(ok, Qt::LeftButton);
    return true;
}

QString viewTitle(FormContentEditor* window, int viewId)
{
    return window->view(viewId)->title();
}

void clickCell(PasswordTable* table, int row, int column)
{
    table->scrollToItem(table->item(row, 0));
    QRect rectangle = table->visualRect(table->model()->index(row, column));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, rectangle.center());
}
} // namespace editortest
