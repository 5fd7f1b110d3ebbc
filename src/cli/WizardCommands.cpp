// `ostravel templates [--json]`: the templates the design wizard offers.
// `ostravel new OUT.bcp --template CATEGORY/NAME [--background FILE|NAME] [--set FIELD=VALUE]...`:
// a design from a template with the wizard's substitution, saved to OUT.
#include "cli/Commands.h"

#include "app/AppOptions.h"
#include "document/DesignDocument.h"
#include "pictures/PictureHelpers.h"
#include "platform/ProgramFolder.h"
#include "wizard/NewDesign.h"
#include "wizard/TemplateLibrary.h"
#include "wizard/WizardAnswer.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace cli {

namespace {

int fail(const QString &message)
{
    QTextStream err(stderr);
    err << message << '\n';
    return 1;
}

struct Library {
    plat::ProgramFolder folder;
    app::TAppOptions options;
};

Library library()
{
    Library lib{plat::ProgramFolder::current(), {}};
    app::LoadOptions(lib.options);
    return lib;
}

const char kNewUsage[] =
    "Usage: ostravel new OUT.bcp --template CATEGORY/NAME [--background FILE|NAME]\n"
    "                    [--set FIELD=VALUE]...\n"
    "Fields: NAME, FROMNAME, COMPANY, TITLE, ADDRESS, RETURN_ADDRESS, PHONE, FAX, EMAIL, USER1-USER4";

} // namespace

int runTemplates(const QStringList &args)
{
    bool json = false;
    for (const QString &a : args) {
        if (a == QLatin1String("--json"))
            json = true;
        else
            return fail(QStringLiteral("Usage: ostravel templates [--json]"));
    }
    const Library lib = library();
    const bool metric = lib.options.MetricUnits;
    QTextStream out(stdout);
    QJsonArray list;
    for (const wizard::TemplateEntry &t : wizard::allTemplates(lib.folder, metric)) {
        const wizard::TemplateInfo info = wizard::inspectTemplate(t.path);
        const int kind = info.result == 1 ? info.layout.TemplateKind() : -1;
        if (json) {
            QJsonObject o;
            o[QStringLiteral("category")] = t.category;
            o[QStringLiteral("name")] = t.name;
            o[QStringLiteral("kind")] = kind;
            o[QStringLiteral("file")] = QDir::toNativeSeparators(t.path);
            list.append(o);
        } else {
            out << t.category << '/' << t.name;
            if (kind == wizard::kBusinessCardKind)
                out << "  (business-card data)";
            else if (kind < 0)
                out << "  (cannot be read)";
            out << '\n';
        }
    }
    if (json)
        out << QJsonDocument(QJsonObject{{QStringLiteral("templates"), list}}).toJson(QJsonDocument::Indented);
    return 0;
}

int runNew(const QStringList &args)
{
    QString outFile, templateName, background;
    QList<QPair<int, QString>> values;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--template") && hasValue) {
            templateName = args.at(++i);
        } else if (a == QLatin1String("--background") && hasValue) {
            background = args.at(++i);
        } else if (a == QLatin1String("--set") && hasValue) {
            const QString pair = args.at(++i);
            const qsizetype eq = pair.indexOf(QLatin1Char('='));
            const int marker = eq > 0 ? wizard::markerForField(pair.left(eq)) : -1;
            if (marker < 0)
                return fail(QStringLiteral("Unknown field in --set %1.\n%2").arg(pair, QString::fromLatin1(kNewUsage)));
            values.append({marker, pair.mid(eq + 1)});
        } else if (a == QLatin1String("--contact")) {
            return fail(QStringLiteral("--contact is not available yet: the personal data file cannot be read "
                                       "by this version."));
        } else if (a.startsWith(QLatin1Char('-')) || !outFile.isEmpty()) {
            return fail(QString::fromLatin1(kNewUsage));
        } else {
            outFile = a;
        }
    }
    if (outFile.isEmpty() || templateName.isEmpty())
        return fail(QString::fromLatin1(kNewUsage));

    const Library lib = library();
    const wizard::TemplateEntry entry = wizard::findTemplate(lib.folder, lib.options.MetricUnits, templateName);
    if (entry.path.isEmpty())
        return fail(QStringLiteral("No template %1. `ostravel templates` lists them.").arg(templateName));
    const wizard::TemplateInfo info = wizard::inspectTemplate(entry.path);
    if (info.result != 1)
        return fail(document::DesignDocument::messageFor(info.result));

    wizard::WizardAnswer answer;
    answer.templateFile = entry.path;
    answer.choice = wizard::ChoiceTemplate;
    answer.templateKind = info.layout.TemplateKind();
    if (answer.templateKind == wizard::kBusinessCardKind) {
        for (const auto &[marker, value] : values)
            answer.substitution.values[size_t(marker)] = value;
    } else if (!values.isEmpty()) {
        QTextStream(stderr) << "The template " << entry.category << '/' << entry.name
                            << " takes no business-card data; its texts are kept.\n";
    }
    if (!background.isEmpty()) {
        const QString file = wizard::findBackground(lib.folder, background);
        if (file.isEmpty())
            return fail(QStringLiteral("No background %1.").arg(background));
        answer.substitution.background = pictures::LoadPicture(file, lib.options.ReduceColor);
        if (answer.substitution.background.isNull())
            return fail(QStringLiteral("The background %1 cannot be loaded.").arg(file));
    }

    document::DesignDocument doc;
    const wizard::NewOutcome outcome = wizard::createFromAnswer(doc, answer, 1, {});
    if (outcome.result != 1)
        return fail(document::DesignDocument::messageFor(outcome.result));
    if (!doc.save(outFile))
        return fail(files::resultMessage(files::ResultSaveError));
    return 0;
}

} // namespace cli
