// Ostravel's entry point. With a command word (info, ...) it runs headless from the
// command line; otherwise it starts the desktop program.
#include "cli/Commands.h"

#include <QApplication>
#include <QGuiApplication>

int main(int argc, char **argv)
{
    if (cli::isCommand(argc, argv)) {
        QGuiApplication app(argc, argv);
        return cli::run(app.arguments());
    }
    QApplication app(argc, argv);
    return cli::runWithoutMainWindow(app.arguments());
}
