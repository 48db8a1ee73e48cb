#include "DeviceWorkflowTestCase.h"

#include "app/Configuration.h"
#include "device/Device.h"
#include "gui/support/EditorTestSupport.h"
#include "mainwindow/FormContentEditor.h"

#include <QTest>

namespace deviceworkflowtest
{
DeviceWorkflowTestCase::DeviceWorkflowTestCase(const Vault& windowVault) : windowVault(windowVault) {}

void DeviceWorkflowTestCase::init()
{
    deviceDirectory = std::make_unique<DeviceDirectory>();
    window = editortest::createEditorWindow(windowVault);
    // Every test starts on a computer that has seen no device sealed: the simulated devices of one test
    // reuse the serial numbers of another's.
    QVERIFY(settings);
    settings->remove(QStringLiteral(CONFIGURATION_KEY_SEALED_VAULT_DEVICES));
    settings->remove(QStringLiteral("DeviceSeals"));
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void DeviceWorkflowTestCase::cleanup()
{
    editortest::destroyEditorWindow(window);
    window = nullptr;
    deviceDirectory.reset();
}
} // namespace deviceworkflowtest
