#include "ViewContentBase.h"

ViewContentBase::ViewContentBase(QWidget* parent) : QWidget(parent) {}

void ViewContentBase::deactivate() {}

void ViewContentBase::setMainWidgetWidth(QWidget* widget)
{
    widget->setMinimumWidth(620);
    widget->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
}
