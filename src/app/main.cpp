// Ostravel's entry point. With a command word (info, ...) it runs headless from the
// command line; otherwise it starts the desktop program with the design files named.
#include "app/Product.h"
#include "app/DesktopIntegration.h"
#include "app/SingleInstance.h"
#include "app/ui/AboutForm.h"
#include "app/ui/MainForm.h"
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
    Q_INIT_RESOURCE(ostravel);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ostravel"));
    QApplication::setOrganizationName(QStringLiteral("ostravel"));
    QApplication::setApplicationDisplayName(app::ProductName());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/ostravel.svg")));

    // A second start in the same graphical session hands its files to the running program,
    // which comes to the front.
    const QStringList files = app.arguments().mid(1);
    app::SingleInstance instance;
    if (!instance.start(files))
        return 0;

    // The design file type and the menu entry are registered for this user when missing;
    // a failure here never stops the program.
    app::InstallDesktopIntegration();

    if (!qEnvironmentVariableIsSet("OSTRAVEL_NO_SPLASH")) {
        app::TSplashForm splash;
        splash.exec();
    }
    app::TMainForm mainForm(files);
    QObject::connect(&instance, &app::SingleInstance::filesReceived, &mainForm, &app::TMainForm::openHandedOverFiles);
    mainForm.show();
    return app.exec();
}
