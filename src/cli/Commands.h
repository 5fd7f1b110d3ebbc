#pragma once
// The command-line family: `ostravel info FILE [--json]`, and later print and export.

#include <QStringList>

namespace cli {

// True when argv names a command word rather than design files.
bool isCommand(int argc, char **argv);
// Runs the command; returns the process exit status.
int run(const QStringList &arguments);
// Until the main window exists: files named on the command line are described with
// `info`; without files, the usage is printed.
int runWithoutMainWindow(const QStringList &arguments);

} // namespace cli
