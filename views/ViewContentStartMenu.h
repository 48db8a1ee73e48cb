#pragma once

#include "ViewContentBase.h"

namespace Ui
{
class ViewContentStartMenu;
}

// The first page: open a device, quit, or get started with a new device.
class ViewContentStartMenu : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentStartMenu(QWidget* parent);
    ~ViewContentStartMenu() override;

    void activate() override;

Q_SIGNALS:
    void openDeviceClicked();
    void initializeDeviceClicked();

private Q_SLOTS:
    void _slotPushButtonOpenDeviceClicked();
    void _slotLabelGettingStartedLinkActivated(QString referenceDocumentFileName);
    void _slotLabelDeviceInitializationLinkActivated(QString);
    void _slotTimerCheckForApplicationUpdateTimeout();

private:
    Ui::ViewContentStartMenu* form;
    bool isUpdateCheckScheduled = false;
};
