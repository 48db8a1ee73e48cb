#pragma once

#include <QString>

// Shows a page of the documentation in the sibling help viewer program. The first request starts the
// viewer; later requests send the page name to the running viewer; a viewer the user has closed is
// started again. One viewer serves the whole application.
void showHelpPage(const QString& pageName);

// The program started by showHelpPage(); by default "Help_Viewer" in the application's directory.
// Tests point it at a stand-in program.
void setHelpViewerProgramPath(const QString& programPath);
QString helpViewerProgramPath();

// True while the help viewer started by showHelpPage() runs.
bool isHelpViewerRunning();
