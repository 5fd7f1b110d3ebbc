// Writes the shipped template and background library from its readable description
// (tools/templates: templates.json and backgrounds.json):
//
//   make_templates DESCRIPTION_FOLDER DATA_FOLDER
//       templates into DATA_FOLDER/Template/Standard/<category>/<name>.cct (made with the real
//       object manager and template writer, on layouts read from DATA_FOLDER/*.LYT) and
//       backgrounds into DATA_FOLDER/Background/<name>.jpg; files in those folders that the
//       description no longer names are removed.
//   make_templates --list DESCRIPTION_FOLDER
//       one line per template: category, name, kind and its background, tab-separated.
//   make_templates --sheet OUT.png COLUMNS PICTURE=LABEL...
//       tiles pictures (the program's own exports) with their labels into a contact sheet.
//   make_templates --render DESCRIPTION_FOLDER DATA_FOLDER OUT_FOLDER [ZOOM]
//       every region of every template as the wizard makes the design (the description's
//       sample card data, the template's background), exported as PNG: for checking the
//       designs by eye.
#include "BackgroundPainter.h"
#include "TemplateBuilder.h"

#include "document/DesignDocument.h"
#include "files/GraphicExport.h"
#include "pictures/PictureHelpers.h"
#include "platform/imaging/JpegWriter.h"
#include "wizard/NewDesign.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSet>
#include <cstdio>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
        return true; // unchanged: leave the file's time alone
    existing.close();
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}

// Removes files below `folder` matching `patterns` that are not in `keep` (absolute paths),
// and folders left empty.
void removeStale(const QString &folder, const QStringList &patterns, const QSet<QString> &keep)
{
    QDirIterator it(folder, patterns, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = QFileInfo(it.next()).absoluteFilePath();
        if (!keep.contains(path)) {
            QFile::remove(path);
            std::printf("removed %s\n", qPrintable(path));
        }
    }
    QDirIterator dirs(folder, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList all;
    while (dirs.hasNext())
        all.prepend(dirs.next());
    for (const QString &d : all)
        QDir().rmdir(d); // only succeeds when empty
}

int build(const QString &descriptionPath, const QString &dataDir)
{
    const QJsonObject description = templatebuilder::readDescription(descriptionPath);
    const QDir data(dataDir);
    QSet<QString> keepTemplates, keepBackgrounds;
    qint64 total = 0;
    for (const templatebuilder::Template &t : templatebuilder::buildTemplates(description, dataDir)) {
        const QString path = QFileInfo(data.filePath(t.relativePath())).absoluteFilePath();
        if (keepTemplates.contains(path))
            throw templatebuilder::Error("two templates named " + t.relativePath().toStdString());
        if (!writeFile(path, t.bytes))
            throw templatebuilder::Error("cannot write " + path.toStdString());
        keepTemplates.insert(path);
        total += t.bytes.size();
        std::printf("%s (%lld bytes)\n", qPrintable(t.relativePath()), static_cast<long long>(t.bytes.size()));
    }
    for (const QJsonValue &v : description.value(QStringLiteral("backgrounds")).toArray()) {
        const QJsonObject b = v.toObject();
        const QString name = b.value(QStringLiteral("name")).toString();
        const QImage image = backgrounds::paint(b);
        const QByteArray jpeg = plat::imaging::encodeJpeg(
            image, plat::imaging::JpegOptions{b.value(QStringLiteral("quality")).toInt(88), false});
        const QString path = QFileInfo(data.filePath(QStringLiteral("Background/") + name + QStringLiteral(".jpg")))
                                 .absoluteFilePath();
        if (jpeg.isEmpty() || !writeFile(path, jpeg))
            throw templatebuilder::Error("cannot write " + path.toStdString());
        keepBackgrounds.insert(path);
        total += jpeg.size();
        std::printf("Background/%s.jpg (%lld bytes)\n", qPrintable(name), static_cast<long long>(jpeg.size()));
    }
    removeStale(data.filePath(QStringLiteral("Template/Standard")), {QStringLiteral("*.cct")}, keepTemplates);
    removeStale(data.filePath(QStringLiteral("Background")), {QStringLiteral("*.jpg")}, keepBackgrounds);
    std::printf("%lld templates, %lld backgrounds, %.2f MiB\n", static_cast<long long>(keepTemplates.size()),
                static_cast<long long>(keepBackgrounds.size()), total / 1048576.0);
    return 0;
}

int list(const QString &descriptionPath)
{
    const QJsonObject description = templatebuilder::readDescription(descriptionPath);
    for (const QJsonValue &v : description.value(QStringLiteral("templates")).toArray()) {
        const QJsonObject t = v.toObject();
        std::printf("%s\t%s\t%d\t%s\n", qPrintable(t.value(QStringLiteral("category")).toString()),
                    qPrintable(t.value(QStringLiteral("name")).toString()), t.value(QStringLiteral("kind")).toInt(),
                    qPrintable(t.value(QStringLiteral("background")).toString()));
    }
    return 0;
}

int render(const QString &descriptionPath, const QString &dataDir, const QString &outDir, int zoom)
{
    const QJsonObject description = templatebuilder::readDescription(descriptionPath);
    const QJsonObject sample = description.value(QStringLiteral("sample")).toObject();
    QDir().mkpath(outDir);
    for (const QJsonValue &v : description.value(QStringLiteral("templates")).toArray()) {
        const QJsonObject t = v.toObject();
        const QString category = t.value(QStringLiteral("category")).toString();
        const QString name = t.value(QStringLiteral("name")).toString();
        wizard::WizardAnswer answer;
        answer.templateFile = QDir(dataDir).filePath(QStringLiteral("Template/Standard/%1/%2.cct").arg(category, name));
        answer.templateKind = t.value(QStringLiteral("kind")).toInt();
        if (answer.templateKind == wizard::kBusinessCardKind) {
            const QStringList fields = wizard::fieldNames();
            for (int i = 0; i < fields.size(); ++i)
                answer.substitution.values[size_t(i)] = sample.value(fields.at(i)).toString();
        }
        const QString bg = t.value(QStringLiteral("background")).toString();
        if (!bg.isEmpty())
            answer.substitution.background =
                pictures::LoadPicture(QDir(dataDir).filePath(QStringLiteral("Background/") + bg + QStringLiteral(".jpg")), false);
        document::DesignDocument doc;
        const wizard::NewOutcome outcome = wizard::createFromAnswer(doc, answer, 1, {});
        if (outcome.result != 1) {
            std::fprintf(stderr, "%s/%s: %s\n", qPrintable(category), qPrintable(name),
                         qPrintable(document::DesignDocument::messageFor(outcome.result)));
            return 1;
        }
        doc.setZoom(zoom, false);
        const QStringList regions = doc.regionNames();
        for (int r = 0; r < regions.size(); ++r) {
            doc.switchRegion(r);
            const QString file = QDir(outDir).filePath(
                QStringLiteral("%1 - %2 - %3.png").arg(category, name, regions.at(r)));
            if (!files::SaveAsGraphic(doc, file, {})) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                return 1;
            }
        }
    }
    return 0;
}

// Pictures in a grid of cells of one size, each scaled to fit its cell and labelled below.
int sheet(const QString &out, int columns, const QStringList &items)
{
    if (items.isEmpty() || columns <= 0)
        return 2;
    const int cellW = 340, cellH = 230, label = 30, pad = 20;
    const int rows = int((items.size() + columns - 1) / columns);
    QImage img(pad + columns * (cellW + pad), pad + rows * (cellH + label + pad), QImage::Format_RGB32);
    img.fill(QColor(0xEE, 0xEE, 0xEA));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(13);
    p.setFont(font);
    for (int i = 0; i < items.size(); ++i) {
        const qsizetype eq = items.at(i).indexOf(QLatin1Char('='));
        const QString file = items.at(i).left(eq), text = eq < 0 ? QString() : items.at(i).mid(eq + 1);
        const QImage pic(file);
        if (pic.isNull()) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(file));
            return 1;
        }
        const int col = i % columns, row = i / columns;
        const QRect cell(pad + col * (cellW + pad), pad + row * (cellH + label + pad), cellW, cellH);
        const QSize fitted = pic.size().scaled(cell.size() - QSize(16, 16), Qt::KeepAspectRatio);
        const QRect target(cell.x() + (cellW - fitted.width()) / 2, cell.y() + (cellH - fitted.height()) / 2,
                           fitted.width(), fitted.height());
        // A soft shadow under the card.
        p.fillRect(target.translated(3, 4), QColor(0, 0, 0, 40));
        p.drawImage(target, pic);
        p.setPen(QColor(0xC8, 0xC8, 0xC2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(target.adjusted(0, 0, -1, -1));
        p.setPen(QColor(0x33, 0x33, 0x33));
        p.drawText(QRect(cell.x(), cell.bottom() + 4, cellW, label), Qt::AlignHCenter | Qt::AlignTop, text);
    }
    p.end();
    return img.save(out) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.size() >= 3 && args.at(0) == QLatin1String("--sheet"))
            return sheet(args.at(1), args.at(2).toInt(), args.mid(3));
        if ((args.size() == 4 || args.size() == 5) && args.at(0) == QLatin1String("--render"))
            return render(args.at(1), args.at(2), args.at(3), args.size() == 5 ? args.at(4).toInt() : 200);
        if (args.size() == 2 && args.at(0) == QLatin1String("--list"))
            return list(args.at(1));
        if (args.size() == 2 && !args.at(0).startsWith(QLatin1Char('-')))
            return build(args.at(0), args.at(1));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "make_templates: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: make_templates DESCRIPTION_FOLDER DATA_FOLDER\n"
                         "       make_templates --list DESCRIPTION_FOLDER\n"
                         "       make_templates --sheet OUT.png COLUMNS PICTURE=LABEL...\n");
    return 2;
}
