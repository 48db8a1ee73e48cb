#pragma once

#include <QByteArray>
#include <QObject>

class QLineEdit;

// Keeps a password field's text from leaking through the clipboard while the password is shown. A copy
// (Ctrl+C, cut, the context menu) goes through SensitiveClipboard like any copy of a secret: with the
// clipboard managers' hint, clearable, counted down. Selecting shown text puts it in the primary selection
// without any copy; that goes again when the field is masked or its page is left.
class PasswordFieldGuard : public QObject
{
    Q_OBJECT

public:
    // Guards the field for its lifetime (the guard becomes its child).
    explicit PasswordFieldGuard(QLineEdit* lineEdit);

    // Shows the password as text or masks it; masking takes back what the field put in the selection.
    void setPasswordShown(bool isShown);
    bool isPasswordShown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void _slotClipboardSelectionChanged();

private:
    void copySelectedText(bool isCut);
    void showContextMenu(const QPoint& globalPosition);
    void releaseSelection();

    QLineEdit* lineEdit;
    // Identifies what the field last put in the selection, without keeping the text.
    QByteArray selectionHash;
};
