#include "widgets/SecretFieldWiping.h"

#include "common/SecureMemory.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDataStream>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace
{
// Overwrites the characters of a string in place, whoever else shares them: only for copies that belong to
// the field being emptied. Characters a string does not own (a literal of the program) are left alone.
void _overwriteText_helper(QString text)
{
    if (!text.isEmpty() && text.data_ptr().d_ptr())
        secureZeroMemory(const_cast<QChar*>(text.constData()),
                         static_cast<std::size_t>(text.size()) * sizeof(QChar));
}

// Whether text's characters are shared with anyone but the one other holder it was copied from. The
// reference count is internal API, stable across Qt 6: the field's copy and this one make 2.
bool _isSharedBeyondOneHolder_helper(QString& text)
{
    const auto* data = text.data_ptr().d_ptr();
    return data && data->ref_.loadRelaxed() > 2;
}

QString _plainText_helper(const QWidget* textEdit)
{
    if (const auto* plainTextEdit = qobject_cast<const QPlainTextEdit*>(textEdit))
        return plainTextEdit->toPlainText();
    if (const auto* richTextEdit = qobject_cast<const QTextEdit*>(textEdit))
        return richTextEdit->toPlainText();
    return QString();
}
} // namespace

void wipeLineEdit(QLineEdit* lineEdit)
{
    // The display copy (what the field draws, the text itself unless masked) is always the field's own.
    _overwriteText_helper(lineEdit->displayText());
    QString text = lineEdit->text();
    if (_isSharedBeyondOneHolder_helper(text))
    {
        // Shown from a record that still holds it: the field lets go of the shared characters (their
        // owner overwrites them) and keeps a copy of its own, overwritten below.
        lineEdit->setText(QString(text.constData(), text.size()));
        text = lineEdit->text();
        _overwriteText_helper(lineEdit->displayText());
    }
    _overwriteText_helper(text);
    // setText() also drops the undo history, which clear() would fill with the removed text.
    lineEdit->setText(QString());
}

void wipeTextEdit(QWidget* textEdit)
{
    // Without undo, the old text is not kept for an Undo.
    if (auto* plainTextEdit = qobject_cast<QPlainTextEdit*>(textEdit))
    {
        plainTextEdit->setUndoRedoEnabled(false);
        plainTextEdit->setPlainText(QString());
        plainTextEdit->setUndoRedoEnabled(true);
    }
    else if (auto* richTextEdit = qobject_cast<QTextEdit*>(textEdit))
    {
        richTextEdit->setUndoRedoEnabled(false);
        richTextEdit->setPlainText(QString());
        richTextEdit->setUndoRedoEnabled(true);
    }
}

QList<QWidget*> secretTextFields(QWidget* root)
{
    QList<QWidget*> fields;
    const QList<QWidget*> widgets = root->findChildren<QWidget*>();
    for (QWidget* widget : widgets)
    {
        // The editors inside spin boxes and combo boxes show settings, not secrets.
        if (qobject_cast<QAbstractSpinBox*>(widget->parentWidget()) ||
            qobject_cast<QComboBox*>(widget->parentWidget()))
            continue;
        if (qobject_cast<QLineEdit*>(widget))
            fields.append(widget);
        else if (auto* plainTextEdit = qobject_cast<QPlainTextEdit*>(widget))
        {
            if (!plainTextEdit->isReadOnly())
                fields.append(widget);
        }
        else if (auto* richTextEdit = qobject_cast<QTextEdit*>(widget))
        {
            // Read-only ones show the page's own texts (a license, say).
            if (!richTextEdit->isReadOnly())
                fields.append(widget);
        }
    }
    return fields;
}

void writeTextFields(const QList<QWidget*>& fields, QDataStream& stream)
{
    for (QWidget* field : fields)
    {
        if (auto* lineEdit = qobject_cast<QLineEdit*>(field))
            stream << lineEdit->text();
        else
        {
            QString text = _plainText_helper(field);
            stream << text;
            secureClearString(text);
        }
    }
}

void wipeTextFields(const QList<QWidget*>& fields)
{
    for (QWidget* field : fields)
    {
        if (auto* lineEdit = qobject_cast<QLineEdit*>(field))
            wipeLineEdit(lineEdit);
        else
            wipeTextEdit(field);
    }
}

void restoreTextFields(const QList<QWidget*>& fields, QDataStream& stream)
{
    for (QWidget* field : fields)
    {
        QString text;
        stream >> text;
        if (auto* lineEdit = qobject_cast<QLineEdit*>(field))
            lineEdit->setText(text);
        else if (auto* plainTextEdit = qobject_cast<QPlainTextEdit*>(field))
            plainTextEdit->setPlainText(text);
        else if (auto* richTextEdit = qobject_cast<QTextEdit*>(field))
            richTextEdit->setPlainText(text);
        secureClearString(text);
    }
}
