#pragma once

#include "ViewContentBase.h"
#include "device/DevicePortInfo.h"

#include <QList>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class Device;
class QListWidgetItem;

namespace Ui
{
class ViewContentDeviceSelection;
}

// Lets the user choose one of the connected devices. The list follows the plugged devices once per
// second; a clicked device blinks its LED so that it can be told apart; Select keeps it, open, for the
// workflow to take (takeSelectedDevice()). Every selectable device is open and owned by this view until it
// is closed and deleted or taken.
//
// Devices are opened in steps from the event loop, so that a device that keeps sending never freezes the
// page. Until one has opened, and when it cannot be opened, its port is listed greyed out below the
// selectable devices with the reason; a port in use by another program is tried again on each pass.
class ViewContentDeviceSelection : public ViewContentBase
{
    Q_OBJECT

public:
    explicit ViewContentDeviceSelection(QWidget* parent);
    // Releases the devices of a visit that never ended (the window is destroyed while the page shows).
    ~ViewContentDeviceSelection() override;

    void activate() override;
    // Arrow keys on the list choose (and blink) the device they land on, as a click does.
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The device the vault on screen was opened from (empty: none). Its row is marked and chosen for the
    // user as soon as it is listed, so that saving back needs only Select. Applies to the next visit.
    void setPreferredDeviceSerialNumber(const QString& usbSerialNumber);

    // The device chosen by the last Select, open, now owned by the caller; null when there is none.
    std::unique_ptr<Device> takeSelectedDevice();

    // The devices listed now, in row order (for tests). Greyed-out ports follow them in the list.
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
    void _slotTimerLedCommandTimeout();
    void _slotListWidgetKeyboardMoved();

private:
    // A port listed without an open device: being opened, or not available for a reason.
    struct UnavailablePort
    {
        DevicePortInfo port;
        // The device being opened (owned), null between attempts.
        Device* openingDevice = nullptr;
        // Why it cannot be chosen; empty while the first attempt runs.
        QString reason;
        // Tried again on each pass (a port in use by another program), not only once plugged back in.
        bool isRetried = false;
    };

    void startBlinking(Device* clickedDevice);
    // Sends an LED command and completes it in steps: the first at once (a device that answers is done
    // within it), the rest from the event loop. whenDone gets 0 or -1, unless the device is closed first.
    void setLedModeInSteps(Device* device, int mode, const std::function<void(int)>& whenDone);
    void cancelLedCommand();
    void startOpening(UnavailablePort& entry);
    void finishOpening(Device* device, int result);
    // Rebuilds the list and keeps the chosen row (and the blinking device) when it is still listed.
    void refreshList();
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
    // Ports without an open device, in detection order: not tried again until they disappear (except a
    // port in use by another program), so that a silent device does not cost every pass its time.
    QList<UnavailablePort> unavailablePorts;
    // The USB serial numbers of the last detection pass, in its order.
    QStringList detectedSerialNumbers;
    QString blinkingDeviceSerialNumber;
    QString preferredDeviceSerialNumber;
    // The preferred device is chosen once per visit: afterwards the user's own choice stands.
    bool isPreferredDevicePreselected = false;
    QTimer deviceDetectionTimer;
    // The device whose LED command is under way (one at a time), and what comes after it.
    Device* ledCommandDevice = nullptr;
    std::function<void(int)> ledCommandDone;
    QTimer ledCommandTimer;
    // Counts visits, so that a handler resumed after a modal box notices that its visit ended.
    quint64 visitNumber = 0;
    bool isVisitRunning = false;
    // The keyboard moved to a device while an LED command was under way: chosen once it ends.
    bool isKeyboardChoicePending = false;
    // The current choice came from the keyboard or was made for the user: the focus stays on the list,
    // where Return selects it, instead of moving on to Select.
    bool isFocusKeptOnList = false;
    // The list takes the keyboard focus when it first appears in a visit.
    bool isListFocusPending = false;
};
