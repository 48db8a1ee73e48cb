#include "AccessibleRoles.h"

#include "KeyboardLinkLabel.h"

#include <QAccessibleWidget>
#include <QRegularExpression>

namespace
{
class AccessibleLink : public QAccessibleWidget
{
public:
    explicit AccessibleLink(KeyboardLinkLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text textKind) const override
    {
        const auto* label = static_cast<const KeyboardLinkLabel*>(widget());
        if (textKind == QAccessible::Name && label->accessibleName().isEmpty())
        {
            QString plain = label->text();
            plain.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
            return plain.trimmed();
        }
        if (textKind == QAccessible::Value)
            return label->linkTarget();
        return QAccessibleWidget::text(textKind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = true;
        state.focusable = true;
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            static_cast<KeyboardLinkLabel*>(widget())->activateLink();
        else
            QAccessibleWidget::doAction(actionName);
    }
};

QAccessibleInterface* _accessibleInterface_helper(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("KeyboardLinkLabel"))
        return new AccessibleLink(static_cast<KeyboardLinkLabel*>(widget));
    if (className == QLatin1String("QSvgWidget") || className == QLatin1String("PaletteSvgWidget"))
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    return nullptr;
}
} // namespace

void installAccessibleRoles()
{
    static bool isInstalled = false;
    if (isInstalled)
        return;
    QAccessible::installFactory(_accessibleInterface_helper);
    isInstalled = true;
}
