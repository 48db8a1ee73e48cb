#pragma once

#include "DeviceWorkflowSupport.h"
#include "vault/VaultTab.h"

#include <QObject>

#include <memory>

class FormContentEditor;

namespace deviceworkflowtest
{
// Base of the device workflow test cases. Before each test: a fresh directory of simulated devices and an
// exposed editor window showing the vault given to the constructor; after it: no window, no current device
// and no directory. A test case that needs more declares its own init() or cleanup() and calls these first.
class DeviceWorkflowTestCase : public QObject
{
    Q_OBJECT

protected:
    explicit DeviceWorkflowTestCase(const Vault& windowVault = Vault());

    FormContentEditor* window = nullptr;
    std::unique_ptr<DeviceDirectory> deviceDirectory;

protected Q_SLOTS:
    void init();
    void cleanup();

private:
    Vault windowVault;
};
} // namespace deviceworkflowtest
