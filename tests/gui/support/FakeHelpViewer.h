#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A stand-in for the help viewer program, installed as the program that showHelpPage() starts: it logs
// "start <arguments>" when it starts and "page <name>" for every line it receives.
class FakeHelpViewer
{
public:
    FakeHelpViewer();

    bool isInstalled() const;
    QStringList logLines() const;

private:
    QTemporaryDir directory;
    bool installed = false;
};
