// The start of every benchmark of the window: an offscreen application with a settings store of its own
// (test mode) whose license is already accepted, as a user's second start.
#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"

#include <QApplication>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    initializeConfiguration();
    settings->setValue(CONFIGURATION_KEY_LICENSE_ACCEPTED_FOR_APPLICATION_VERSION, APPLICATION_VERSION);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    releaseConfiguration();
    mainWindow = nullptr;
    return 0;
}
