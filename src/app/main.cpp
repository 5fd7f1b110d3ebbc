// Ostravel's entry point. With a command word (info, ...) it runs headless from the
// command line; otherwise it starts the desktop program.
#include "cli/Commands.h"

#include <QApplication>
#include <QGuiApplication>

int main(int argc, char **argv)
{
    if (cli::isCommand(argc, argv)) {
        // Commands never open a window: they run without a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return cli::run(app.arguments());
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return cli::runWithoutMainWindow(app.arguments());
}
