#pragma once

// Helpers for the tests of the vault editor: a main window brought to page 0 with a given vault, and the
// pages it pushes (line input, message box, record editor) answered through their own widgets.

#include "vault/VaultTab.h"

#include <QString>
#include <QWidget>

class FormContentEditor;
class PasswordTable;
class QAbstractButton;
class QWidget;

namespace editortest
{
PasswordRecord makeRecord(const QString& name, const QString& login = QString(),
                          const QString& password = QString(), const QString& url = QString(),
                          const QString& note = QString());

// Creates the window as the application does (configuration in the test store, global pointer set), shows it
// and enters the vault editor with the given vault. Delete it with destroyEditorWindow().
FormContentEditor* createEditorWindow(const Vault& vault = Vault());
void destroyEditorWindow(FormContentEditor* window);

// A widget of the window or of one of its pages, by object name.
template <typename T> T* child(QWidget* root, const char* objectName);
QWidget* findWidget(QWidget* root, const char* objectName);

PasswordTable* tableAt(FormContentEditor* window, int tabIndex);
QString tabName(FormContentEditor* window, int tabIndex);
int tabCount(FormContentEditor* window);
int currentTabIndex(FormContentEditor* window);

// Waits until the page is shown; false after a few seconds.
bool waitForView(FormContentEditor* window, int viewId);
// The page in front and, for the message page, its message: what a failed wait reports.
QString describeScreen(FormContentEditor* window);
// On the message box page: its text, and a click on one of its buttons by object name ("pushButtonYes").
QString messageBoxText(FormContentEditor* window);
bool answerMessageBox(FormContentEditor* window, const char* buttonName);
// On the line input page: its frame title and current text; types a new text and clicks OK.
QString lineInputText(FormContentEditor* window);
bool answerLineInput(FormContentEditor* window, const QString& text);
QString viewTitle(FormContentEditor* window, int viewId);
// A button or menu text as the user reads it: without its mnemonic mark.
QString withoutMnemonic(QString text);

// Clicks the centre of a table cell, as a user selecting it.
void clickCell(PasswordTable* table, int row, int column);

template <typename T> T* child(QWidget* root, const char* objectName)
{
    return qobject_cast<T*>(findWidget(root, objectName));
}
} // namespace editortest
