#include "cli/Commands.h"

#include <QTextStream>
#include <cstring>

namespace cli {

namespace {
const char *const kCommands[] = {"info", "print", "contacts"};

void printUsage(QTextStream &out)
{
    out << "Usage: ostravel [design files...]\n"
           "       ostravel info FILE [--json]\n"
           "       ostravel print DESIGN --pdf OUT.pdf [options]\n"
           "       ostravel contacts list|export|import ...\n";
}
} // namespace

bool isCommand(int argc, char **argv)
{
    if (argc < 2)
        return false;
    for (const char *c : kCommands)
        if (std::strcmp(argv[1], c) == 0)
            return true;
    return std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
}

int runInfo(const QStringList &args);
int runPrint(const QStringList &args);
int runContacts(const QStringList &args);

int run(const QStringList &arguments)
{
    const QString cmd = arguments.value(1);
    if (cmd == QLatin1String("info"))
        return runInfo(arguments.mid(2));
    if (cmd == QLatin1String("print"))
        return runPrint(arguments.mid(2));
    if (cmd == QLatin1String("contacts"))
        return runContacts(arguments.mid(2));
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
