#include "cli/Commands.h"

#include <QCoreApplication>
#include <QTextStream>
#include <algorithm>
#include <cstring>

namespace cli {

int runInfo(const QStringList &args);
int runPrint(const QStringList &args);
int runLayouts(const QStringList &args);
int runTemplates(const QStringList &args);
int runNew(const QStringList &args);
int runExport(const QStringList &args);
int runOrder(const QStringList &args);
int runConvert(const QStringList &args);
int runContacts(const QStringList &args);

namespace {

struct Command {
    const char *name;
    int (*run)(const QStringList &args);
    const char *usage;
};

// One row per command word: its entry point and its usage line.
const Command kCommands[] = {
    {"info", runInfo, "info FILE [--json]"},
    {"print", runPrint, "print DESIGN --pdf OUT.pdf [options]"},
    {"layouts", runLayouts, "layouts [--json] [--search TEXT]"},
    {"templates", runTemplates, "templates [--json]"},
    {"new", runNew, "new OUT.bcp --template CATEGORY/NAME [--background FILE|NAME] [--set FIELD=VALUE]..."},
    {"export", runExport, "export DESIGN OUT [--zoom N] [--quality N] [--progressive] [--region NAME]"},
    {"order", runOrder, "order verify|pack|submit ..."},
    {"convert", runConvert, "convert OLD... [--to FOLDER] [--force]"},
    {"contacts", runContacts, "contacts list|export|import ..."},
};

const Command *findCommand(const char *word)
{
    for (const Command &c : kCommands)
        if (std::strcmp(word, c.name) == 0)
            return &c;
    return nullptr;
}

void printUsage(QTextStream &out)
{
    out << "Usage: ostravel [design files...]\n";
    for (const Command &c : kCommands)
        out << "       ostravel " << c.usage << '\n';
}
} // namespace

bool isCommand(int argc, char **argv)
{
    if (argc < 2)
        return false;
    if (findCommand(argv[1]))
        return true;
    return std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
}

int run(const QStringList &arguments)
{
    // The desktop program's own names, so that every command finds the user's data and
    // settings folders where the program keeps them.
    QCoreApplication::setOrganizationName(QStringLiteral("ostravel"));
    QCoreApplication::setApplicationName(QStringLiteral("ostravel"));
    const QString cmd = arguments.value(1);
    if (const Command *c = findCommand(cmd.toLocal8Bit().constData()))
        return c->run(arguments.mid(2));
    QTextStream out(stdout);
    printUsage(out);
    return cmd.startsWith(QLatin1Char('-')) ? 0 : 2;
}

int runWithoutMainWindow(const QStringList &arguments)
{
    const QStringList files = arguments.mid(1);
    if (files.isEmpty()) {
        QTextStream out(stdout);
        printUsage(out);
        return 0;
    }
    int status = 0;
    for (const QString &f : files)
        status = std::max(status, runInfo({f}));
    return status;
}

} // namespace cli
