#include "KeyboardLinkLabel.h"

#include "AccessibleRoles.h"

#include <QFocusEvent>
#include <QRegularExpression>

KeyboardLinkLabel::KeyboardLinkLabel(QWidget* parent) : QLabel(parent)
{
    installAccessibleRoles();
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByKeyboard | Qt::LinksAccessibleByMouse);
    setFocusPolicy(Qt::StrongFocus);
}

QString KeyboardLinkLabel::linkTarget() const
{
    static const QRegularExpression anchor(QStringLiteral("<a\\s[^>]*href\\s*=\\s*\"([^\"]*)\""),
                                           QRegularExpression::CaseInsensitiveOption);
    return anchor.match(text()).captured(1);
}

void KeyboardLinkLabel::activateLink()
{
    if (!linkTarget().isEmpty())
        Q_EMIT linkActivated(linkTarget());
}

void KeyboardLinkLabel::focusInEvent(QFocusEvent* event)
{
    QLabel::focusInEvent(event);
    // Reached by the keyboard: straight onto the link, so that the label is no stop of its own. A click
    // focuses the label as any other, and follows the link itself.
    const Qt::FocusReason reason = event->reason();
    if (linkTarget().isEmpty() || reason == Qt::MouseFocusReason || reason == Qt::PopupFocusReason ||
        reason == Qt::ActiveWindowFocusReason)
        return;
    static_cast<void>(QLabel::focusNextPrevChild(reason != Qt::BacktabFocusReason));
}

bool KeyboardLinkLabel::focusNextPrevChild(bool next)
{
    return QWidget::focusNextPrevChild(next);
}
