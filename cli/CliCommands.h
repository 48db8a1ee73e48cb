#pragma once

#include <QStringList>

// One function per subcommand. Each takes the arguments after the subcommand's name and returns the
// process exit code (CliExitCode).

int runListCommand(const QStringList& arguments);
int runInfoCommand(const QStringList& arguments);
int runBackupCommand(const QStringList& arguments);
int runRestoreCommand(const QStringList& arguments);
int runExportCommand(const QStringList& arguments);
int runImportCommand(const QStringList& arguments);
int runGenerateCommand(const QStringList& arguments);
int runEstimateCommand(const QStringList& arguments);
int runHealthCommand(const QStringList& arguments);
