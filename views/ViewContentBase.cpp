#include "ViewContentBase.h"

#include "ViewHost.h"

ViewContentBase::ViewContentBase(QWidget* parent) : QWidget(parent) {}

void ViewContentBase::deactivate() {}

void ViewContentBase::setMainWidgetWidth(QWidget* widget)
{
    widget->setMinimumWidth(620);
    widget->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
}

ViewHost* ViewContentBase::viewHost() const
{
    // Looked up at each use rather than at construction: the window moves its pages into their frames.
    for (QWidget* ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget())
    {
        if (auto* host = dynamic_cast<ViewHost*>(ancestor))
            return host;
    }
    return nullptr;
}
