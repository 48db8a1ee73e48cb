#include "PasswordFieldGuard.h"

#include "SensitiveClipboard.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

#include <memory>

PasswordFieldGuard::PasswordFieldGuard(QLineEdit* lineEdit) : QObject(lineEdit), lineEdit(lineEdit)
{
    lineEdit->installEventFilter(this);
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::selectionChanged, this,
                &PasswordFieldGuard::_slotClipboardSelectionChanged);
}

void PasswordFieldGuard::setPasswordShown(bool isShown)
{
    lineEdit->setEchoMode(isShown ? QLineEdit::Normal : QLineEdit::Password);
    if (!isShown)
        releaseSelection();
}

bool PasswordFieldGuard::isPasswordShown() const
{
    return lineEdit->echoMode() == QLineEdit::Normal;
}

bool PasswordFieldGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != lineEdit)
        return false;

    switch (event->type())
    {
    case QEvent::KeyPress:
    {
        // A masked field copies nothing by itself (Qt refuses), so only a shown one needs the detour.
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const bool isCopy = keyEvent->matches(QKeySequence::Copy);
        const bool isCut = keyEvent->matches(QKeySequence::Cut);
        if ((isCopy || isCut) && isPasswordShown())
        {
            copySelectedText(isCut);
            return true;
        }
        return false;
    }
    case QEvent::ContextMenu:
        if (!isPasswordShown())
            return false;
        showContextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    case QEvent::Hide:
        // The page was left, or covered by the locked page.
        releaseSelection();
        return false;
    default:
        return false;
    }
}

void PasswordFieldGuard::copySelectedText(bool isCut)
{
    const QString text = lineEdit->selectedText();
    if (text.isEmpty())
        return;
    SensitiveClipboard::instance()->copyText(text);
    if (isCut && !lineEdit->isReadOnly())
        lineEdit->del();
}

void PasswordFieldGuard::showContextMenu(const QPoint& globalPosition)
{
    // The standard menu, with its copy and cut actions sent through the sensitive copy.
    const std::unique_ptr<QMenu> menu(lineEdit->createStandardContextMenu());
    const QList<QAction*> actions = menu->actions();
    // Qt names these actions only from 6.5 on; before, their texts (translated by Qt, with the shortcut
    // after a tab) tell them apart.
    // Qt's own texts, looked up in Qt's translation (not entered in the application's).
    static const char lineEditContext[] = "QLineEdit";
    static const char copySourceText[] = "&Copy";
    static const char cutSourceText[] = "Cu&t";
    const QString copyText = QCoreApplication::translate(lineEditContext, copySourceText);
    const QString cutText = QCoreApplication::translate(lineEditContext, cutSourceText);
    for (QAction* action : actions)
    {
        const QString text = action->text().section(QLatin1Char('\t'), 0, 0);
        const bool isCopy = action->objectName() == QLatin1String("edit-copy") || text == copyText;
        const bool isCut = action->objectName() == QLatin1String("edit-cut") || text == cutText;
        if (!isCopy && !isCut)
            continue;
        disconnect(action, &QAction::triggered, nullptr, nullptr);
        connect(action, &QAction::triggered, this, [this, isCut]() { copySelectedText(isCut); });
    }
    menu->exec(globalPosition);
}

void PasswordFieldGuard::_slotClipboardSelectionChanged()
{
    // Selecting shown text hands it to the selection (X11); remember what, to take back only that.
    if (!isPasswordShown() || !lineEdit->hasSelectedText())
        return;
    const QString selectionText = SensitiveClipboard::ownSelectionText();
    if (!selectionText.isEmpty() && selectionText == lineEdit->selectedText())
        selectionHash = SensitiveClipboard::textHash(selectionText);
}

void PasswordFieldGuard::releaseSelection()
{
    SensitiveClipboard::clearSelectionHolding(selectionHash);
    selectionHash.clear();
}
