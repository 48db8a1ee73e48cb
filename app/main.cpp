#include "app/Configuration.h"
#include "app/DiagnosticOutput.h"
#include "common/SecureMemory.h"
#include "mainwindow/FormContentEditor.h"
#include "widgets/ApplicationPalette.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char* argv[])
{
    disableCoreDumps();
    auto* application = new QApplication(argc, argv);
    silenceDebugOutput();
    application->setWindowIcon(QIcon(QStringLiteral(":/Icon.svg")));
    // Wayland desktops match the window to its desktop entry, and so to the entry's icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("corvane-key-manager"));
    ApplicationPalette::applyRequestedPalette(*application);

    initializeConfiguration();

    // Qt's own texts (standard buttons, context menus) in the user's language.
    auto* qtTranslator = new QTranslator();
    if (loadQtTranslation(*qtTranslator))
        application->installTranslator(qtTranslator);

    // The sources are English: an English system needs no application translation.
    auto* applicationTranslator = new QTranslator();
    if (loadApplicationTranslation(*applicationTranslator))
        application->installTranslator(applicationTranslator);

    auto* window = new FormContentEditor();
    mainWindow = window;
    window->showMaximized();
    // The window sees every event of every widget: user activity resets the auto-locking countdown.
    application->installEventFilter(window);

    const int exitCode = application->exec();

    releaseConfiguration();
    delete window;
    mainWindow = nullptr;
    delete applicationTranslator;
    delete qtTranslator;
    delete application;
    return exitCode;
}
