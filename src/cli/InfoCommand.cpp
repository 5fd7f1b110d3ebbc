#include "cli/Commands.h"

#include <QTextStream>

namespace cli {

int runInfo(const QStringList &args)
{
    QTextStream err(stderr);
    err << "info: not available yet for " << args.join(QLatin1Char(' ')) << "\n";
    return 1;
}

} // namespace cli
