#include "ViewContentDeviceSelection.h"

#include "ViewHost.h"
#include "common/UntrustedText.h"
#include "device/Device.h"
#include "device/DeviceEnumeration.h"
#include "device/DeviceOpening.h"
#include "ui_ViewContentDeviceSelection.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QTextDocument>

#include <algorithm>

namespace
{
constexpr int DEVICE_DETECTION_PERIOD_MILLISECONDS = 1000;
// Longest wait of one step of an LED command: the page answers between steps.
constexpr int LED_COMMAND_STEP_MILLISECONDS = 20;

// USB serial numbers come from the device's USB descriptor: show them as text, never as markup.
QString _plainMessage_helper(const QString& message)
{
    return Qt::mightBeRichText(message) ? Qt::convertFromPlainText(message) : message;
}
} // namespace

ViewContentDeviceSelection::ViewContentDeviceSelection(QWidget* parent)
    : ViewContentBase(parent), form(new Ui::ViewContentDeviceSelection)
{
    form->setupUi(this);
    setCancelButton(form->pushButtonCancel);
    // Long names and the serial number line wrap instead of scrolling sideways.
    form->listWidget->setWordWrap(true);
    deviceDetectionTimer.setInterval(DEVICE_DETECTION_PERIOD_MILLISECONDS);
    ledCommandTimer.setInterval(0);
    ledCommandTimer.setSingleShot(true);
    connect(&ledCommandTimer, &QTimer::timeout, this,
            &ViewContentDeviceSelection::_slotTimerLedCommandTimeout);

    // Queued: each handler runs from the event loop once the emitting widget has finished its own
    // handling, so a handler that rebuilds the list or leaves the page never does it under a widget
    // that is still working.
    connect(form->pushButtonSelect, &QPushButton::clicked, this,
            &ViewContentDeviceSelection::_slotPushButtonSelectClicked, Qt::QueuedConnection);
    connect(form->pushButtonCancel, &QPushButton::clicked, this,
            &ViewContentDeviceSelection::_slotPushButtonCancelClicked, Qt::QueuedConnection);
    connect(&deviceDetectionTimer, &QTimer::timeout, this,
            &ViewContentDeviceSelection::_slotTimerDeviceDetectionTimeout, Qt::QueuedConnection);
    connect(form->listWidget, &QListWidget::itemClicked, this,
            &ViewContentDeviceSelection::_slotListWidgetItemClicked, Qt::QueuedConnection);
    // Return on a row does what a click does, for keyboard users; on the row already chosen and blinking,
    // it selects it.
    connect(
        form->listWidget, &QListWidget::itemActivated, this,
        [this](QListWidgetItem* item)
        {
            if (form->pushButtonSelect->isEnabled())
                form->pushButtonSelect->click();
            else
                _slotListWidgetItemClicked(item);
        },
        Qt::QueuedConnection);
    connect(form->listWidget, &QListWidget::currentRowChanged, this,
            &ViewContentDeviceSelection::_slotListWidgetCurrentRowChanged);
    form->listWidget->installEventFilter(this);
}

ViewContentDeviceSelection::~ViewContentDeviceSelection()
{
    deviceDetectionTimer.stop();
    releaseAllDevices();
    releaseSelectedDevice();
    delete form;
}

void ViewContentDeviceSelection::activate()
{
    // A finished visit has released every device already; this only matters for a visit that was left
    // without Select or Cancel, or a choice nobody took. The ports that could not be used are forgotten
    // too: a new visit gives every port another chance.
    releaseAllDevices();
    releaseSelectedDevice();
    blinkingDeviceSerialNumber.clear();
    isPreferredDevicePreselected = false;
    form->listWidget->clear();
    showListOrNoDeviceHint();
    form->pushButtonSelect->setEnabled(false);
    form->pushButtonSelect->setDefault(false);
    // The keyboard starts on the list once a device is listed, on Cancel until then.
    form->pushButtonCancel->setFocus();
    isListFocusPending = true;
    isKeyboardChoicePending = false;
    isFocusKeptOnList = false;

    visitNumber++;
    isVisitRunning = true;
    deviceDetectionTimer.start();
    _slotTimerDeviceDetectionTimeout();
}

std::unique_ptr<Device> ViewContentDeviceSelection::takeSelectedDevice()
{
    return std::move(selectedDevice);
}

void ViewContentDeviceSelection::releaseSelectedDevice()
{
    if (const std::unique_ptr<Device> device = takeSelectedDevice())
        device->close();
}

QList<Device*> ViewContentDeviceSelection::listedDevices() const
{
    return devices;
}

void ViewContentDeviceSelection::setPreferredDeviceSerialNumber(const QString& usbSerialNumber)
{
    preferredDeviceSerialNumber = usbSerialNumber;
}

// Detection ----------------------------------------------------------------------------------------------

void ViewContentDeviceSelection::_slotTimerDeviceDetectionTimeout()
{
    // A timeout queued before Select or Cancel stopped the timer arrives after the visit.
    if (!isVisitRunning)
        return;

    const QList<DevicePortInfo> ports = enumerateDevices();
    detectedSerialNumbers.clear();
    for (const DevicePortInfo& port : ports)
        detectedSerialNumbers.append(port.serialNumber());
    const auto isPlugged = [&](const QString& serialNumber)
    {
        return std::any_of(ports.begin(), ports.end(),
                           [&](const DevicePortInfo& port) { return port.serialNumber() == serialNumber; });
    };

    bool isListChanged = false;
    for (int index = 0; index < devices.size();)
    {
        if (isPlugged(devices[index]->getUsbSerialNumber()))
        {
            index++;
            continue;
        }
        closeAndDeleteDevice(devices.takeAt(index));
        isListChanged = true;
    }
    for (int index = 0; index < unavailablePorts.size();)
    {
        UnavailablePort& entry = unavailablePorts[index];
        const bool isSamePortPlugged =
            std::any_of(ports.begin(), ports.end(),
                        [&](const DevicePortInfo& port)
                        {
                            return port.serialNumber() == entry.port.serialNumber() &&
                                   port.systemLocation() == entry.port.systemLocation();
                        });
        if (isSamePortPlugged)
        {
            index++;
            continue;
        }
        if (entry.openingDevice)
            closeAndDeleteDeviceInSteps(entry.openingDevice);
        unavailablePorts.removeAt(index);
        isListChanged = true;
    }

    for (const DevicePortInfo& port : ports)
    {
        if (indexOfDevice(port.serialNumber()) >= 0)
            continue;
        const auto entry = std::find_if(unavailablePorts.begin(), unavailablePorts.end(),
                                        [&](const UnavailablePort& unavailable)
                                        { return unavailable.port.serialNumber() == port.serialNumber(); });
        if (entry == unavailablePorts.end())
        {
            unavailablePorts.append(UnavailablePort{port, nullptr, QString(), false});
            startOpening(unavailablePorts.last());
            isListChanged = true;
        }
        else if (entry->isRetried && !entry->openingDevice)
        {
            // Its row keeps saying why until the attempt ends, so that it does not flicker.
            startOpening(*entry);
        }
    }

    // Rebuilding an unchanged list would only make it flicker and could swallow a click in progress.
    if (isListChanged)
        refreshList();
    else if (form->listWidget->currentRow() < 0 || form->listWidget->currentRow() >= devices.size())
        blinkingDeviceSerialNumber.clear();
    updateSelectButton();
    preselectPreferredDevice();
}

void ViewContentDeviceSelection::startOpening(UnavailablePort& entry)
{
    auto* device = new Device(entry.port);
    entry.openingDevice = device;
    auto* opening = new DeviceOpening(device, this);
    connect(opening, &DeviceOpening::openingFinished, this,
            [this, device](int result) { finishOpening(device, result); });
}

void ViewContentDeviceSelection::finishOpening(Device* device, int result)
{
    const auto entry =
        std::find_if(unavailablePorts.begin(), unavailablePorts.end(),
                     [&](const UnavailablePort& unavailable) { return unavailable.openingDevice == device; });
    // The port went away or the visit ended meanwhile: the device was released then.
    if (entry == unavailablePorts.end())
        return;
    entry->openingDevice = nullptr;
    if (result == 0)
    {
        unavailablePorts.erase(entry);
        // Rows follow the detection order, whichever device finished opening first.
        const auto orderOf = [this](const Device* listed)
        { return detectedSerialNumbers.indexOf(listed->getUsbSerialNumber()); };
        const auto position =
            std::find_if(devices.begin(), devices.end(),
                         [&](const Device* listed) { return orderOf(listed) > orderOf(device); });
        devices.insert(position, device);
    }
    else
    {
        entry->isRetried = device->lastFailure() == DEVICE_FAILURE_PORT_BUSY;
        entry->reason = entry->isRetried ? tr("in use by another program")
                                         : tr("cannot be used: %1").arg(device->lastFailureDescription());
        // It failed to open, so it is released without a word.
        closeAndDeleteDeviceInSteps(device);
    }
    refreshList();
    updateSelectButton();
    preselectPreferredDevice();
}

void ViewContentDeviceSelection::refreshList()
{
    const int currentRow = form->listWidget->currentRow();
    const bool wasRowCurrent = currentRow >= 0 && currentRow < devices.size();
    const QString selectedSerialNumber =
        wasRowCurrent ? form->listWidget->item(currentRow)->data(Qt::UserRole).toString() : QString();
    rebuildList();
    const int selectedIndex = wasRowCurrent ? indexOfDevice(selectedSerialNumber) : -1;
    if (selectedIndex >= 0)
        form->listWidget->setCurrentRow(selectedIndex);
    if (devices.isEmpty() || !wasRowCurrent || selectedIndex < 0)
        blinkingDeviceSerialNumber.clear();
}

void ViewContentDeviceSelection::preselectPreferredDevice()
{
    if (isPreferredDevicePreselected || preferredDeviceSerialNumber.isEmpty() ||
        form->listWidget->currentRow() >= 0)
        return;
    const int preferredIndex = indexOfDevice(preferredDeviceSerialNumber);
    if (preferredIndex < 0)
        return;
    isPreferredDevicePreselected = true;
    isFocusKeptOnList = true;
    form->listWidget->setCurrentRow(preferredIndex);
    // As if the user had clicked it: it blinks and Select takes it.
    _slotListWidgetItemClicked(form->listWidget->item(preferredIndex));
}

void ViewContentDeviceSelection::rebuildList()
{
    const QSignalBlocker blocker(form->listWidget);
    form->listWidget->clear();
    for (const Device* device : std::as_const(devices))
    {
        auto* item = new QListWidgetItem(rowText(device), form->listWidget);
        item->setToolTip(
            tr("USB serial number: %1").arg(makeVisibleAndIsolated(device->getUsbSerialNumber())));
        item->setData(Qt::UserRole, device->getUsbSerialNumber());
    }
    // Greyed out and not selectable, with the reason on the second line.
    for (const UnavailablePort& entry : std::as_const(unavailablePorts))
    {
        const QString reason = entry.reason.isEmpty() ? tr("connecting…") : entry.reason;
        auto* item = new QListWidgetItem(
            tr("Serial number %1\n%2").arg(makeVisibleAndIsolated(entry.port.serialNumber()), reason),
            form->listWidget);
        item->setFlags(Qt::NoItemFlags);
        item->setToolTip(tr("USB serial number: %1").arg(makeVisibleAndIsolated(entry.port.serialNumber())));
    }
    showListOrNoDeviceHint();
}

QString ViewContentDeviceSelection::rowText(const Device* device) const
{
    // Two devices may carry the same name; the USB serial number tells them apart.
    // Device text cannot break the row into a line of its own or reorder it: shown visibly and isolated.
    const QString serialNumber = device->getUsbSerialNumber();
    const QString name = makeVisibleAndIsolated(device->getName());
    if (!preferredDeviceSerialNumber.isEmpty() && serialNumber == preferredDeviceSerialNumber)
        return tr("%1\nSerial number %2, opened from this device")
            .arg(name, makeVisibleAndIsolated(serialNumber));
    return tr("%1\nSerial number %2").arg(name, makeVisibleAndIsolated(serialNumber));
}

void ViewContentDeviceSelection::showListOrNoDeviceHint()
{
    // An empty list tells nothing; the hint says what to check.
    const bool isAnyDeviceListed = form->listWidget->count() > 0;
    form->listWidget->setVisible(isAnyDeviceListed);
    form->labelNoDevice->setVisible(!isAnyDeviceListed);
    if (isAnyDeviceListed && isListFocusPending)
    {
        isListFocusPending = false;
        // Unless the user went elsewhere meanwhile.
        if (!focusWidget() || focusWidget() == form->pushButtonCancel)
            form->listWidget->setFocus();
    }
}

bool ViewContentDeviceSelection::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == form->listWidget && event->type() == QEvent::KeyPress)
    {
        switch (static_cast<QKeyEvent*>(event)->key())
        {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // After the list has moved its current row.
            QMetaObject::invokeMethod(this, &ViewContentDeviceSelection::_slotListWidgetKeyboardMoved,
                                      Qt::QueuedConnection);
            break;
        default:
            break;
        }
    }
    return ViewContentBase::eventFilter(watched, event);
}

void ViewContentDeviceSelection::_slotListWidgetKeyboardMoved()
{
    const int row = form->listWidget->currentRow();
    if (!isVisitRunning || row < 0 || row >= devices.size())
        return;
    if (devices[row] == chosenDevice && devices[row]->getUsbSerialNumber() == blinkingDeviceSerialNumber)
        return;
    isFocusKeptOnList = true;
    if (ledCommandDevice)
    {
        isKeyboardChoicePending = true;
        return;
    }
    _slotListWidgetItemClicked(form->listWidget->currentItem());
}

// Click, Select, Cancel ----------------------------------------------------------------------------------

void ViewContentDeviceSelection::_slotListWidgetItemClicked(QListWidgetItem*)
{
    // A pointer choice moves the keyboard on to Select; a keyboard choice keeps it on the list.
    if (sender() == form->listWidget)
        isFocusKeptOnList = false;
    // The item may already be gone (a pass rebuilt the list since the click was queued): only the
    // current row counts. A click while an LED command is still under way waits for the user's next one.
    if (!isVisitRunning || ledCommandDevice)
        return;
    const int row = form->listWidget->currentRow();
    if (row < 0 || row >= devices.size())
        return;

    Device* clickedDevice = devices[row];
    chosenDevice = clickedDevice;
    const QString clickedSerialNumber = clickedDevice->getUsbSerialNumber();
    if (clickedSerialNumber == blinkingDeviceSerialNumber)
    {
        updateSelectButton();
        return;
    }

    const int blinkingIndex =
        blinkingDeviceSerialNumber.isEmpty() ? -1 : indexOfDevice(blinkingDeviceSerialNumber);
    if (blinkingIndex < 0 || devices[blinkingIndex] == clickedDevice)
    {
        startBlinking(clickedDevice);
        return;
    }
    const QString stoppedSerialNumber = blinkingDeviceSerialNumber;
    setLedModeInSteps(devices[blinkingIndex], LED_MODE_STOP_BLINKING,
                      [this, clickedDevice, stoppedSerialNumber](int result)
                      {
                          if (result != 0)
                          {
                              if (!showModalError(tr("Could not stop the device with USB serial number '%1' "
                                                     "LED from blinking.")
                                                      .arg(stoppedSerialNumber)))
                                  return;
                          }
                          // Carry on only with a device that is still listed and chosen (a box ran an
                          // event loop, and so did the steps).
                          if (isVisitRunning && isListedDevice(clickedDevice) &&
                              chosenDevice == clickedDevice)
                              startBlinking(clickedDevice);
                      });
}

void ViewContentDeviceSelection::startBlinking(Device* clickedDevice)
{
    setLedModeInSteps(clickedDevice, LED_MODE_BLINK,
                      [this, clickedDevice](int result)
                      {
                          if (result != 0)
                          {
                              // The device stays listed and open: the user may click it again or choose
                              // another one.
                              if (chosenDevice == clickedDevice)
                                  chosenDevice = nullptr;
                              blinkingDeviceSerialNumber.clear();
                              updateSelectButton();
                              showModalError(tr("Could not make the device LED blink."));
                              return;
                          }
                          blinkingDeviceSerialNumber = clickedDevice->getUsbSerialNumber();
                          updateSelectButton();
                          form->pushButtonSelect->setDefault(true);
                          if (!isFocusKeptOnList)
                              form->pushButtonSelect->setFocus();
                      });
}

void ViewContentDeviceSelection::setLedModeInSteps(Device* device, int mode,
                                                   const std::function<void(int)>& whenDone)
{
    if (device->startSetLedMode(mode) != 0)
    {
        whenDone(-1);
        return;
    }
    ledCommandDevice = device;
    ledCommandDone = whenDone;
    // A device that answers is done within this first step, before the click returns.
    _slotTimerLedCommandTimeout();
}

void ViewContentDeviceSelection::_slotTimerLedCommandTimeout()
{
    if (!ledCommandDevice)
        return;
    const int result = ledCommandDevice->continueReceive(LED_COMMAND_STEP_MILLISECONDS);
    if (result == DEVICE_RECEIVE_PENDING)
    {
        ledCommandTimer.start();
        return;
    }
    cancelLedCommand();
    const std::function<void(int)> done = std::move(ledCommandDone);
    ledCommandDone = nullptr;
    done(result == 0 ? 0 : -1);
    if (isKeyboardChoicePending && !ledCommandDevice)
    {
        isKeyboardChoicePending = false;
        _slotListWidgetKeyboardMoved();
    }
}

void ViewContentDeviceSelection::cancelLedCommand()
{
    ledCommandTimer.stop();
    ledCommandDevice = nullptr;
}

void ViewContentDeviceSelection::_slotPushButtonSelectClicked()
{
    // Select may have been queued just before a pass found the chosen device unplugged.
    if (!isVisitRunning || !isListedDevice(chosenDevice) || !form->pushButtonSelect->isEnabled())
        return;

    if (ledCommandDevice)
        return;
    deviceDetectionTimer.stop();
    isVisitRunning = false;
    // Only a sign for the user: a device whose LED goes on blinking still serves the workflow.
    static_cast<void>(chosenDevice->setLedMode(LED_MODE_STOP_BLINKING));
    for (Device* device : std::as_const(devices))
    {
        if (device != chosenDevice)
            closeAndDeleteDevice(device);
    }
    // From now on the selection holds the chosen device until the workflow takes it.
    devices.clear();
    releaseSelectedDevice();
    selectedDevice.reset(chosenDevice);
    chosenDevice = nullptr;
    blinkingDeviceSerialNumber.clear();
    form->listWidget->clear();

    viewHost()->removeView(this);
    Q_EMIT deviceSelected(true);
}

void ViewContentDeviceSelection::_slotPushButtonCancelClicked()
{
    if (!isVisitRunning)
        return;
    deviceDetectionTimer.stop();
    isVisitRunning = false;
    releaseAllDevices();
    chosenDevice = nullptr;
    blinkingDeviceSerialNumber.clear();
    form->listWidget->clear();

    viewHost()->removeView(this);
    Q_EMIT deviceSelected(false);
}

void ViewContentDeviceSelection::_slotListWidgetCurrentRowChanged(int)
{
    updateSelectButton();
}

// Helpers ------------------------------------------------------------------------------------------------

void ViewContentDeviceSelection::updateSelectButton()
{
    // Select chooses the current device: it is offered only while that device is the highlighted row and
    // blinks, so that the row the user sees is the device that gets chosen.
    const int row = form->listWidget->currentRow();
    const bool isRowBlinkingDevice = isVisitRunning && row >= 0 && row < devices.size() &&
                                     devices[row] == chosenDevice &&
                                     devices[row]->getUsbSerialNumber() == blinkingDeviceSerialNumber;
    form->pushButtonSelect->setEnabled(isRowBlinkingDevice);
}

bool ViewContentDeviceSelection::showModalError(const QString& text)
{
    const quint64 visit = visitNumber;
    deviceDetectionTimer.stop();
    QMessageBox::critical(this, tr("Error"), _plainMessage_helper(text), QMessageBox::Ok);
    const bool isSameVisit = isVisitRunning && visit == visitNumber;
    if (isSameVisit)
        deviceDetectionTimer.start();
    return isSameVisit;
}

int ViewContentDeviceSelection::indexOfDevice(const QString& usbSerialNumber) const
{
    for (int index = 0; index < devices.size(); index++)
    {
        if (devices[index]->getUsbSerialNumber() == usbSerialNumber)
            return index;
    }
    return -1;
}

bool ViewContentDeviceSelection::isListedDevice(const Device* device) const
{
    return device && std::find(devices.begin(), devices.end(), device) != devices.end();
}

void ViewContentDeviceSelection::closeAndDeleteDevice(Device* device)
{
    // The clicked device is also the chosen device: the pointer must not outlive it.
    if (chosenDevice == device)
        chosenDevice = nullptr;
    // Its LED command ends unreported; closing copes with the reply still under way.
    if (ledCommandDevice == device)
    {
        cancelLedCommand();
        ledCommandDone = nullptr;
    }
    closeAndDeleteDeviceInSteps(device);
}

void ViewContentDeviceSelection::releaseAllDevices()
{
    const QList<Device*> released = devices;
    devices.clear();
    for (Device* device : released)
        closeAndDeleteDevice(device);
    // Openings under way end without a report once their device closes.
    for (const UnavailablePort& entry : std::as_const(unavailablePorts))
    {
        if (entry.openingDevice)
            closeAndDeleteDeviceInSteps(entry.openingDevice);
    }
    unavailablePorts.clear();
}
