#include "HelpLauncher.h"

#include "app/Configuration.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProcess>
#include <QStringList>

namespace
{
QString programPathOverride;

// Created on first use and owned by the application object, so the viewer lives as long as the
// application and at most one is ever started.
QProcess* _helpViewerProcess_helper()
{
    static QPointer<QProcess> process;
    if (!process)
        process = new QProcess(QCoreApplication::instance());
    return process;
}
} // namespace

void setHelpViewerProgramPath(const QString& programPath)
{
    programPathOverride = programPath;
}

QString helpViewerProgramPath()
{
    if (!programPathOverride.isEmpty())
        return programPathOverride;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Help_Viewer");
}

bool isHelpViewerRunning()
{
    return _helpViewerProcess_helper()->state() != QProcess::NotRunning;
}

void showHelpPage(const QString& pageName)
{
    QProcess* process = _helpViewerProcess_helper();
    if (process->state() != QProcess::NotRunning)
    {
        // The viewer reads one page name per line on its standard input.
        process->write(pageName.toLatin1() + '\n');
        return;
    }

    const QStringList arguments = {QStringLiteral("/Help_Viewer") + getApplicationLanguageCode(),
                                   QStringLiteral("index.html"), pageName};
    // A missing viewer is not reported: the rest of the application works without it.
    process->start(helpViewerProgramPath(), arguments, QIODevice::ReadWrite);
}
