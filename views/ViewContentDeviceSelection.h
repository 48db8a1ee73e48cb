#pragma once

#include "ViewContentBase.h"

#include <QList>
#include <QString>
#include <QTimer>

#include <memory>

class Device;
class QListWidgetItem;

namespace Ui
{
class ViewContentDeviceSelection;
}

// Lets the user choose one of the connected devices. The list follows the plugged devices once per
// second; a clicked device blinks its LED so that it can be told apart; Select keeps it, open, for the
// workflow to take (takeSelectedDevice()). Every listed device is open and owned by this view until it is
// closed and deleted or taken.
class ViewContentDeviceSelection : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentDeviceSelection(QWidget* parent);
    // Releases the devices of a visit that never ended (the window is destroyed while the page shows).
    ~ViewContentDeviceSelection() override;

    void activate() override;

    // The device the vault on screen was opened from (empty: none). Its row is marked and chosen for the
    // user as soon as it is listed, so that saving back needs only Select. Applies to the next visit.
    void setPreferredDeviceSerialNumber(const QString& usbSerialNumber);

    // The device chosen by the last Select, open, now owned by the caller; null when there is none.
    std::unique_ptr<Device> takeSelectedDevice();

    // The devices listed now, in row order (for tests).
    QList<Device*> listedDevices() const;

Q_SIGNALS:
    // True when a device was chosen (takeSelectedDevice() hands it over), false when the user cancelled.
    void deviceSelected(bool isOperationSuccessful);

private Q_SLOTS:
    void _slotPushButtonSelectClicked();
    void _slotPushButtonCancelClicked();
    void _slotTimerDeviceDetectionTimeout();
    void _slotListWidgetItemClicked(QListWidgetItem*);
    void _slotListWidgetCurrentRowChanged(int currentRow);

private:
    int indexOfDevice(const QString& usbSerialNumber) const;
    bool isListedDevice(const Device* device) const;
    void closeAndDeleteDevice(Device* device);
    void releaseAllDevices();
    void releaseSelectedDevice();
    void rebuildList();
    QString rowText(const Device* device) const;
    void showListOrNoDeviceHint();
    void preselectPreferredDevice();
    void updateSelectButton();
    // Shows a modal error box with the detection paused, so that no pass removes a device the caller
    // still holds while the box waits. Returns false when the visit ended meanwhile.
    bool showModalError(const QString& text);

    Ui::ViewContentDeviceSelection* form;
    QList<Device*> devices;
    // The clicked device, one of devices, while the visit runs.
    Device* chosenDevice = nullptr;
    std::unique_ptr<Device> selectedDevice;
    // Ports whose device could not be opened, by path: not tried again until they disappear, so that a
    // silent device does not stall every pass.
    QStringList failedPortLocations;
    QString blinkingDeviceSerialNumber;
    QString preferredDeviceSerialNumber;
    // The preferred device is chosen once per visit: afterwards the user's own choice stands.
    bool isPreferredDevicePreselected = false;
    QTimer deviceDetectionTimer;
    // Counts visits, so that a handler resumed after a modal box notices that its visit ended.
    quint64 visitNumber = 0;
    bool isVisitRunning = false;
};
