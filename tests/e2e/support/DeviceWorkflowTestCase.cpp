#include "DeviceWorkflowTestCase.h"

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
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void DeviceWorkflowTestCase::cleanup()
{
    editortest::destroyEditorWindow(window);
    window = nullptr;
    deviceDirectory.reset();
}
} // namespace deviceworkflowtest
