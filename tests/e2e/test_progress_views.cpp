// The read and write progress pages on their own, against a simulated device: the steps they take, the
// page they leave before reporting, and their restart and stop.
#include "device/Device.h"
#include "gui/support/EditorTestSupport.h"
#include "mainwindow/FormContentEditor.h"
#include "support/DeviceWorkflowSupport.h"
#include "support/DeviceWorkflowTestCase.h"
#include "views/ViewBase.h"
#include "views/ViewContentReadDevice.h"
#include "views/ViewContentWriteDevice.h"

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QtTest>

#include <cstring>

using namespace deviceworkflowtest;

class TestProgressViews : public DeviceWorkflowTestCase
{
    Q_OBJECT

private:
    SimulatorProcess simulator;
    // The device the pages are given, as a workflow's session would hold it.
    std::unique_ptr<Device> device;

    template <typename View> View* pageView(int viewId)
    {
        auto* view = qobject_cast<View*>(window->view(viewId)->contentWidget());
        // The page alone: the window would go on with a workflow.
        QObject::disconnect(view, nullptr, window, nullptr);
        return view;
    }

    QProgressBar* progressBar(int viewId)
    {
        return editortest::child<QProgressBar>(window->view(viewId), "progressBar");
    }

private Q_SLOTS:
    void init()
    {
        DeviceWorkflowTestCase::init();
        QVERIFY2(startDevice(simulator, *deviceDirectory, "TZQVR-0001", "Home"),
                 qPrintable(simulator.errorString()));
        device = std::make_unique<Device>(simulator.portInfo());
        QCOMPARE(device->open(), 0);
        pageView<ViewContentReadDevice>(VIEW_ID_READ_DEVICE)->setDevice(device.get());
        pageView<ViewContentWriteDevice>(VIEW_ID_WRITE_DEVICE)->setDevice(device.get());
        simulator.clearRequestLog();
    }

    void cleanup()
    {
        DeviceWorkflowTestCase::cleanup();
        if (device)
            device->close();
        device.reset();
        simulator.stop();
    }

    void readPageReadsBothMemoriesAndRestarts()
    {
        auto* view = pageView<ViewContentReadDevice>(VIEW_ID_READ_DEVICE);
        QList<int> pagesAtReport;
        connect(view, &ViewContentReadDevice::readFinished, this,
                [&]() { pagesAtReport.append(window->currentViewId()); });
        QSignalSpy finished(view, &ViewContentReadDevice::readFinished);

        window->pushView(VIEW_ID_READ_DEVICE);
        QCOMPARE(editortest::child<QLabel>(window->view(VIEW_ID_READ_DEVICE), "labelDeviceName")->text(),
                 QStringLiteral("Device name: Home"));
        QCOMPARE(progressBar(VIEW_ID_READ_DEVICE)->maximum(), 2 * DEVICE_MEMORY_SIZE);
        QVERIFY(waitUntil([&]() { return finished.count() == 1; }));
        QCOMPARE(finished.at(0).at(0).toInt(), 0);
        QCOMPARE(pagesAtReport, QList<int>({VIEW_ID_CONTENT_EDITOR}));
        QCOMPARE(progressBar(VIEW_ID_READ_DEVICE)->value(), 2 * DEVICE_MEMORY_SIZE);
        QCOMPARE(simulator.requestLog(),
                 QStringList({"A5 01 03", "A5 02 00", "A5 05", "A5 02 01", "A5 05", "A5 01 01"}));

        // A new visit starts over; leaving it stops its steps.
        simulator.clearRequestLog();
        window->pushView(VIEW_ID_READ_DEVICE);
        QCOMPARE(progressBar(VIEW_ID_READ_DEVICE)->value(), 0);
        window->popView(VIEW_ID_COUNT);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(finished.count(), 1);
        QVERIFY(simulator.requestLog().isEmpty());
    }

    void writePageWritesEachBufferToItsMemory()
    {
        auto* view = pageView<ViewContentWriteDevice>(VIEW_ID_WRITE_DEVICE);
        QSignalSpy finished(view, &ViewContentWriteDevice::writeFinished);
        QSignalSpy progress(progressBar(VIEW_ID_WRITE_DEVICE), &QProgressBar::valueChanged);
        QByteArray mainImage(DEVICE_MEMORY_SIZE, Qt::Uninitialized);
        QByteArray backupImage(DEVICE_MEMORY_SIZE, Qt::Uninitialized);
        for (int index = 0; index < DEVICE_MEMORY_SIZE; index++)
        {
            mainImage[index] = char(index * 7 + index / 256);
            backupImage[index] = char(~(index * 3));
        }
        std::memcpy(device->getMemoryBuffer(DEVICE_MEMORY_MAIN), mainImage.constData(), DEVICE_MEMORY_SIZE);
        std::memcpy(device->getMemoryBuffer(DEVICE_MEMORY_BACKUP), backupImage.constData(),
                    DEVICE_MEMORY_SIZE);

        window->pushView(VIEW_ID_WRITE_DEVICE);
        QVERIFY(waitUntil([&]() { return finished.count() == 1; }));
        QCOMPARE(finished.at(0).at(0).toInt(), 0);
        QCOMPARE(window->currentViewId(), int(VIEW_ID_CONTENT_EDITOR));
        // The bar rises with every block and with the main memory's read-back; the requests are the LED, a
        // selection, the blocks of the main memory, its selection and read-back, a selection, the blocks of
        // the backup memory and the LED again.
        QVERIFY(progress.count() > 1024);
        QCOMPARE(progressBar(VIEW_ID_WRITE_DEVICE)->value(), 3 * DEVICE_MEMORY_SIZE);
        QCOMPARE(simulator.requestLog().size(), 1 + 1 + 512 + 2 + 1 + 512 + 1);
        QCOMPARE(simulator.memory(0), mainImage);
        QCOMPARE(simulator.memory(1), backupImage);
    }

    void readPageVerifiesWhatWasWritten()
    {
        auto* view = pageView<ViewContentReadDevice>(VIEW_ID_READ_DEVICE);
        QSignalSpy finished(view, &ViewContentReadDevice::readFinished);
        // What the memories hold now is what the verification expects.
        window->pushView(VIEW_ID_READ_DEVICE);
        QVERIFY(waitUntil([&]() { return finished.count() == 1; }));
        const QByteArray mainImage(reinterpret_cast<const char*>(device->getMemoryBuffer(DEVICE_MEMORY_MAIN)),
                                   DEVICE_MEMORY_SIZE);
        QByteArray backupImage(reinterpret_cast<const char*>(device->getMemoryBuffer(DEVICE_MEMORY_BACKUP)),
                               DEVICE_MEMORY_SIZE);
        view->setDevice(device.get(), reinterpret_cast<const uint8_t*>(mainImage.constData()),
                        reinterpret_cast<const uint8_t*>(backupImage.constData()));
        window->pushView(VIEW_ID_READ_DEVICE);
        QVERIFY(waitUntil([&]() { return finished.count() == 2; }));
        QCOMPARE(finished.at(1).at(0).toInt(), int(ViewContentReadDevice::READ_RESULT_SUCCESS));

        // One byte off in the backup memory: the transfer says which memory differs.
        backupImage[70000] = char(~backupImage.at(70000));
        view->setDevice(device.get(), reinterpret_cast<const uint8_t*>(mainImage.constData()),
                        reinterpret_cast<const uint8_t*>(backupImage.constData()));
        window->pushView(VIEW_ID_READ_DEVICE);
        QVERIFY(waitUntil([&]() { return finished.count() == 3; }));
        QCOMPARE(finished.at(2).at(0).toInt(), int(ViewContentReadDevice::READ_RESULT_VERIFICATION_FAILED));
        QCOMPARE(view->failureCause().problem, DeviceFailureCause::PROBLEM_CONTENT_DIFFERS);
        QCOMPARE(view->failureCause().memoryIndex, int(DEVICE_MEMORY_BACKUP));

        // The visit after that reads again, without comparing.
        window->pushView(VIEW_ID_READ_DEVICE);
        QVERIFY(waitUntil([&]() { return finished.count() == 4; }));
        QCOMPARE(finished.at(3).at(0).toInt(), int(ViewContentReadDevice::READ_RESULT_SUCCESS));
    }
};

QTEST_MAIN(TestProgressViews)
#include "test_progress_views.moc"
