#include "wizard/TemplateLibrary.h"

#include "files/DesignFile.h"
#include "model/SurfaceModel.h"
#include "model/TObjectData.h"
#include "model/TObjectManager.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace wizard {

namespace {

const QString kStandard = QStringLiteral("Template/Standard");
const QString kMetric = QStringLiteral("Template/Metric");
const QString kBackground = QStringLiteral("Background");

QStringList pictureExtensions()
{
    return {QStringLiteral("*.bmp"), QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"), QStringLiteral("*.png"),
            QStringLiteral("*.gif"), QStringLiteral("*.tif"), QStringLiteral("*.tiff"), QStringLiteral("*.pcx"),
            QStringLiteral("*.wmf"), QStringLiteral("*.emf")};
}

} // namespace

QString templateRoot(const plat::ProgramFolder &folder, bool metric)
{
    if (metric && !folder.findFolder(kMetric).isEmpty())
        return kMetric;
    return kStandard;
}

QString userTemplateRoot(const plat::ProgramFolder &folder, bool metric)
{
    if (folder.writeFolder().isEmpty())
        return {};
    const QString path = QDir(folder.writeFolder()).filePath(templateRoot(folder, metric));
    if (!QDir().mkpath(path))
        return {};
    return QDir::cleanPath(path);
}

QStringList categories(const plat::ProgramFolder &folder, bool metric)
{
    QStringList names;
    for (const QString &path : folder.listFolders(templateRoot(folder, metric))) {
        const QString name = QFileInfo(path).fileName();
        if (!name.startsWith(QLatin1Char('.')))
            names.append(name);
    }
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

QList<TemplateEntry> templates(const plat::ProgramFolder &folder, bool metric, const QString &category)
{
    QList<TemplateEntry> out;
    if (category.isEmpty() || category.contains(QLatin1Char('/')) || category.contains(QLatin1Char('\\')) ||
        category.startsWith(QLatin1Char('.')))
        return out;
    const QString relative = templateRoot(folder, metric) + QLatin1Char('/') + category;
    for (const QString &path : folder.listFiles(relative, {QStringLiteral("*.cct")})) {
        const QString file = QFileInfo(path).fileName();
        out.append(TemplateEntry{category, file.left(file.size() - 4), path});
    }
    return out;
}

QList<TemplateEntry> allTemplates(const plat::ProgramFolder &folder, bool metric)
{
    QList<TemplateEntry> out;
    for (const QString &c : categories(folder, metric))
        out.append(templates(folder, metric, c));
    return out;
}

TemplateEntry findTemplate(const plat::ProgramFolder &folder, bool metric, const QString &categoryAndName)
{
    const qsizetype slash = categoryAndName.indexOf(QLatin1Char('/'));
    if (slash <= 0)
        return {};
    const QString category = categoryAndName.left(slash);
    QString name = categoryAndName.mid(slash + 1);
    if (name.endsWith(QLatin1String(".cct"), Qt::CaseInsensitive))
        name.chop(4);
    for (const QString &c : categories(folder, metric)) {
        if (c.compare(category, Qt::CaseInsensitive) != 0)
            continue;
        for (const TemplateEntry &t : templates(folder, metric, c))
            if (t.name.compare(name, Qt::CaseInsensitive) == 0)
                return t;
    }
    return {};
}

TemplateInfo inspectTemplate(const QString &path)
{
    TemplateInfo info;
    model::SurfaceModel surface;
    model::TObjectManager manager(&surface);
    int zoom = 100;
    info.result = files::ReadDesign(manager, path, &info.layout, nullptr, &zoom);
    if (info.result == files::ResultOk) {
        for (const auto &item : surface.items()) {
            const model::TObjectData *d = item->data();
            if (item->type() == model::SurfaceItem::Type::PaintBox && d && d->isText() && d->Lines.size() == 1)
                info.firstRegionTexts.append(d->Lines.first());
        }
    }
    surface.clearItems();
    return info;
}

QStringList backgrounds(const plat::ProgramFolder &folder)
{
    return folder.listFiles(kBackground, pictureExtensions());
}

QString findBackground(const plat::ProgramFolder &folder, const QString &fileOrName)
{
    if (fileOrName.isEmpty())
        return {};
    const QFileInfo direct(fileOrName);
    if ((fileOrName.contains(QLatin1Char('/')) || direct.isAbsolute()) && direct.isFile())
        return direct.absoluteFilePath();
    const QStringList all = backgrounds(folder);
    for (const QString &path : all)
        if (QFileInfo(path).fileName().compare(fileOrName, Qt::CaseInsensitive) == 0)
            return path;
    for (const QString &path : all)
        if (QFileInfo(path).completeBaseName().compare(fileOrName, Qt::CaseInsensitive) == 0)
            return path;
    if (direct.isFile())
        return direct.absoluteFilePath();
    return {};
}

} // namespace wizard
