#pragma once

#include <QList>
#include <QString>

class QDataStream;
class QLineEdit;
class QWidget;

// Emptying the fields that may show a secret so that their characters do not stay behind in freed memory.
// A line edit shares its text with whoever read it, and keeps a second copy for display: both are
// overwritten in place before the field lets go of them.
void wipeLineEdit(QLineEdit* lineEdit);
// A QPlainTextEdit or a QTextEdit.
void wipeTextEdit(QWidget* textEdit);

// The editable text fields of a page, in a stable order: what locking seals and restores.
QList<QWidget*> secretTextFields(QWidget* root);
// Writes each field's text to stream.
void writeTextFields(const QList<QWidget*>& fields, QDataStream& stream);
void wipeTextFields(const QList<QWidget*>& fields);
// Gives each field back the text writeTextFields() wrote, in the same order.
void restoreTextFields(const QList<QWidget*>& fields, QDataStream& stream);
