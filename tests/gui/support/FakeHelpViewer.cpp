#include "FakeHelpViewer.h"

#include "widgets/HelpLauncher.h"

#include <QFile>

namespace
{
const char* const FAKE_VIEWER_SCRIPT = R"(#!/bin/sh
dir=$(dirname "$0")
echo "start $*" >> "$dir/log"
while IFS= read -r line; do
    echo "page $line" >> "$dir/log"
done
)";
} // namespace

FakeHelpViewer::FakeHelpViewer()
{
    if (!directory.isValid())
        return;
    const QString programPath = directory.filePath(QStringLiteral("Help_Viewer"));
    QFile program(programPath);
    if (!program.open(QIODevice::WriteOnly))
        return;
    program.write(FAKE_VIEWER_SCRIPT);
    program.close();
    program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setHelpViewerProgramPath(programPath);
    installed = true;
}

bool FakeHelpViewer::isInstalled() const
{
    return installed;
}

QStringList FakeHelpViewer::logLines() const
{
    QFile file(directory.filePath(QStringLiteral("log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
