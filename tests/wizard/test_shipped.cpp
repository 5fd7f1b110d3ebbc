// The shipped template and background library: it is what its description generates, every
// template opens on a shipped layout with its objects inside the card, card-data templates
// hold the markers, and the backgrounds are print-sized pictures.
#include "BackgroundPainter.h"
#include "TemplateBuilder.h"
#include "TestSupport.h"

#include "document/DesignDocument.h"
#include "layout/LayoutFile.h"
#include "platform/ProgramFolder.h"
#include "render/ObjectRenderer.h"
#include "wizard/NewDesign.h"
#include "wizard/TemplateLibrary.h"

#include <QDirIterator>
#include <QFontMetrics>
#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

namespace {

const QString kData = QStringLiteral(OSTRAVEL_SOURCE_DATA_DIR);
const QString kDescription = QStringLiteral(OSTRAVEL_TOOLS_DIR "/templates");

plat::ProgramFolder shipped() { return plat::ProgramFolder::fromFolders(kData, {}, {}, {}); }

QSet<QString> filesBelow(const QString &folder, const QString &pattern)
{
    QSet<QString> out;
    QDirIterator it(folder, {pattern}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        out.insert(QDir(kData).relativeFilePath(it.next()));
    return out;
}

// The horizontal and vertical extent a text object's lines take when drawn at 100 %.
QRect inkExtent(const model::SurfaceItem &item)
{
    const model::TObjectData &d = *item.data();
    const QFont font = render::FontAtZoom(*d.Font, 100).toQFont();
    const QFontMetrics fm(font);
    const QStringList lines = d.Lines.value(0).split(QLatin1Char('\n'));
    int width = 0;
    for (const QString &l : lines)
        width = std::max(width, fm.horizontalAdvance(l));
    const int height = int(lines.size()) * fm.height();
    const QRect r = item.bounds();
    if (d.Rotation == 1800) // drawn upside down from the right edge, upwards from top + height
        return QRect(r.x() + r.width() - width, r.y(), width, height);
    const int left = d.Style == 1 ? r.x() + (r.width() - width) / 2 : d.Style == 2 ? r.x() + r.width() - width : r.x();
    return QRect(left, r.y(), width, height);
}

// The part of a shape that is drawn: boxes 3 pixels inside their control, lines 6.
QRect drawnExtent(const model::SurfaceItem &item)
{
    const model::TObjectData *d = item.data();
    if (!d || item.type() == model::SurfaceItem::Type::Image)
        return item.bounds();
    if (d->Kind == model::ObjectKind::Line)
        return item.bounds().adjusted(6, 6, -6, -6);
    return item.bounds().adjusted(3, 3, -3, -3);
}

} // namespace

TEST(ShippedLibrary, TemplatesAreWhatTheDescriptionGenerates)
{
    const QList<templatebuilder::Template> built =
        templatebuilder::buildTemplates(templatebuilder::readDescription(kDescription), kData);
    QSet<QString> expected;
    for (const templatebuilder::Template &t : built) {
        expected.insert(t.relativePath());
        const QByteArray committed = testsupport::readFile(QDir(kData).filePath(t.relativePath()));
        EXPECT_TRUE(committed == t.bytes) << t.relativePath().toStdString() << ": run make_templates tools/templates data";
    }
    EXPECT_EQ(filesBelow(kData + QStringLiteral("/Template"), QStringLiteral("*.cct")), expected);
}

TEST(ShippedLibrary, BackgroundsAreWhatTheDescriptionPaints)
{
    const QJsonArray list = templatebuilder::readDescription(kDescription).value(QStringLiteral("backgrounds")).toArray();
    QSet<QString> expected;
    for (const QJsonValue &v : list) {
        const QString name = v.toObject().value(QStringLiteral("name")).toString();
        const QString relative = QStringLiteral("Background/") + name + QStringLiteral(".jpg");
        expected.insert(relative);
        const QImage committed = QImage(QDir(kData).filePath(relative)).convertToFormat(QImage::Format_RGB32);
        const QImage painted = backgrounds::paint(v.toObject());
        ASSERT_EQ(committed.size(), painted.size()) << relative.toStdString();
        // The JPEG differs from the painting by its compression only.
        double sum = 0;
        for (int y = 0; y < painted.height(); ++y) {
            const QRgb *a = reinterpret_cast<const QRgb *>(committed.constScanLine(y));
            const QRgb *b = reinterpret_cast<const QRgb *>(painted.constScanLine(y));
            for (int x = 0; x < painted.width(); ++x)
                sum += std::abs(qRed(a[x]) - qRed(b[x])) + std::abs(qGreen(a[x]) - qGreen(b[x])) +
                       std::abs(qBlue(a[x]) - qBlue(b[x]));
        }
        EXPECT_LT(sum / (3.0 * painted.width() * painted.height()), 3.0) << relative.toStdString();
    }
    EXPECT_EQ(filesBelow(kData + QStringLiteral("/Background"), QStringLiteral("*")), expected);
}

TEST(ShippedLibrary, EveryTemplateOpensOnAShippedLayoutWithItsObjectsInsideTheCard)
{
    const plat::ProgramFolder pf = shipped();
    QList<layout::LayoutRecord> layouts;
    for (const layout::LayoutCollection &c : layout::findLayoutCollections(pf))
        layouts.append(layout::readLayoutFile(c.path));
    const QJsonObject sample =
        templatebuilder::readDescription(kDescription).value(QStringLiteral("sample")).toObject();

    const QList<wizard::TemplateEntry> all = wizard::allTemplates(pf, false);
    ASSERT_FALSE(all.isEmpty());
    QSet<QString> categories;
    int cardData = 0;
    for (const wizard::TemplateEntry &t : all) {
        SCOPED_TRACE(t.category.toStdString() + "/" + t.name.toStdString());
        categories.insert(t.category);
        const wizard::TemplateInfo info = wizard::inspectTemplate(t.path);
        ASSERT_EQ(info.result, 1);
        layout::LayoutRecord plain = info.layout;
        plain.setTemplateKind(0);
        EXPECT_TRUE(layouts.contains(plain)) << "not a shipped layout: " << info.layout.Name().toStdString();

        const int kind = info.layout.TemplateKind();
        ASSERT_TRUE(kind == 0 || kind == 4);
        const QStringList markers = QStringList{QStringLiteral("NAME"), QStringLiteral("FROMNAME"),
                                                QStringLiteral("COMPANY"), QStringLiteral("TITLE"),
                                                QStringLiteral("ADDRESS"), QStringLiteral("RETURN ADDRESS"),
                                                QStringLiteral("PHONE"), QStringLiteral("FAX"), QStringLiteral("EMAIL"),
                                                QStringLiteral("USER1"), QStringLiteral("USER2"),
                                                QStringLiteral("USER3"), QStringLiteral("USER4")};
        int held = 0;
        for (const QString &m : markers)
            held += info.firstRegionTexts.contains(m) ? 1 : 0;
        if (kind == 4) {
            ++cardData;
            EXPECT_TRUE(info.firstRegionTexts.contains(QStringLiteral("NAME")) ||
                        info.firstRegionTexts.contains(QStringLiteral("COMPANY")));
            EXPECT_GE(held, 2);
        } else {
            EXPECT_EQ(held, 0) << "a template without card data would keep its markers";
        }

        // The design the wizard makes from it, with the sample card data, region by region:
        // every object inside the card, every text at least 0.1 in from the edges.
        wizard::WizardAnswer answer;
        answer.templateFile = t.path;
        if (kind == 4) {
            const QStringList fields = wizard::fieldNames();
            for (int i = 0; i < fields.size(); ++i)
                answer.substitution.values[size_t(i)] = sample.value(fields.at(i)).toString();
        }
        document::DesignDocument doc;
        ASSERT_EQ(wizard::createFromAnswer(doc, answer, 1, {}).result, 1);
        const QStringList regions = doc.regionNames();
        for (int r = 0; r < regions.size(); ++r) {
            ASSERT_TRUE(doc.switchRegion(r));
            const QRect card(QPoint(0, 0), doc.surface()->size());
            const QRect safe = card.adjusted(10, 10, -10, -10);
            for (const auto &item : doc.surface()->items()) {
                const std::string where = regions.at(r).toStdString() + " " + item->name().toStdString();
                EXPECT_TRUE(card.contains(drawnExtent(*item))) << where;
                if (item->data() && item->data()->isText()) {
                    EXPECT_TRUE(safe.contains(inkExtent(*item)))
                        << where << " \"" << item->data()->Lines.value(0).toStdString() << "\"";
                }
            }
        }
    }
    EXPECT_GE(all.size(), 30);
    EXPECT_GE(categories.size(), 5);
    EXPECT_GE(cardData, 12);
}

TEST(ShippedLibrary, BackgroundsArePrintSizedCardPictures)
{
    const QStringList all = wizard::backgrounds(shipped());
    EXPECT_GE(all.size(), 16);
    qint64 total = 0;
    for (const QString &path : all) {
        const QImage img(path);
        ASSERT_FALSE(img.isNull()) << path.toStdString();
        // 3.5 x 2 in at 300 pixels per inch.
        EXPECT_GE(img.width(), 1050) << path.toStdString();
        EXPECT_NEAR(double(img.width()) / img.height(), 3.5 / 2.0, 0.01) << path.toStdString();
        total += QFileInfo(path).size();
    }
    QDirIterator it(kData + QStringLiteral("/Template"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        total += QFileInfo(it.next()).size();
    EXPECT_LT(total, 8 * 1024 * 1024);
}
