#include "ApplicationPalette.h"
#include "HelpViewerWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTextStream>
#include <QTranslator>

#include <unistd.h>

namespace
{
// Tests follow the viewer from outside through these lines; they are off unless asked for.
void reportPagesOnStandardOutput_helper(HelpViewerWindow& window)
{
    // One tab-separated line per page: "showing", the page name, "found" or "missing", the window title.
    QObject::connect(&window, &HelpViewerWindow::pageShown,
                     [&window](const QString& pageName, bool isPageFound)
                     {
                         QTextStream(stdout)
                             << "showing\t" << pageName << '\t' << (isPageFound ? "found" : "missing") << '\t'
                             << window.windowTitle() << Qt::endl;
                     });
    QObject::connect(&window, &HelpViewerWindow::inputClosed,
                     [] { QTextStream(stdout) << "input closed" << Qt::endl; });
}

void installTranslators_helper(QApplication& application, const QString& languageCode)
{
    if (languageCode == QLatin1String("en"))
        return;
    auto* viewerTranslator = new QTranslator(&application);
    if (viewerTranslator->load(QStringLiteral(":/i18n/Help_Viewer_") + languageCode))
        QApplication::installTranslator(viewerTranslator);
    // Qt's own texts, such as the browser's context menu.
    auto* qtTranslator = new QTranslator(&application);
    if (qtTranslator->load(QStringLiteral("qtbase_") + languageCode,
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTranslator);
}
} // namespace

// Arguments: "/Help_Viewer" followed by the language code, the home page, the page to show first.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // The viewer has no desktop entry of its own: Wayland desktops group its window with the application's
    // and take the entry's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("corvane-key-manager"));
    ApplicationPalette::applyRequestedPalette(application);
    QStringList arguments = QApplication::arguments();
    QString languageCode = HelpViewerWindow::languageCodeFromArgument(arguments.value(1));
    QString homePageName = arguments.value(2);
    if (homePageName.isEmpty())
        homePageName = QStringLiteral("index.html");
    QString pageName = arguments.value(3);
    if (pageName.isEmpty())
        pageName = homePageName;

    installTranslators_helper(application, languageCode);

    HelpViewerWindow window(languageCode, homePageName, STDIN_FILENO);
    if (qEnvironmentVariableIntValue("HELP_VIEWER_REPORT_PAGES") == 1)
        reportPagesOnStandardOutput_helper(window);
    window.showPage(pageName);
    window.show();
    return application.exec();
}
