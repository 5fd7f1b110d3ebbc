// Save As Template: the design written for the wizard, without backgrounds.
#include "ExportTestSupport.h"

#include "files/DesignFile.h"
#include "files/TemplateExport.h"
#include "model/SurfaceModel.h"
#include "model/TObjectManager.h"
#include "platform/ByteIO.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace exporttests;

namespace {

QImage picture()
{
    QImage img(20, 10, QImage::Format_RGB32);
    img.fill(Qt::darkGreen);
    return img;
}

plat::Picture bitmapPicture()
{
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    picture().save(&buffer, "BMP");
    return plat::Picture::bitmap(bmp);
}

} // namespace

TEST(TemplateExport, ATemplateHasNoPicturesAndOnlyTheRegionsWithObjects)
{
    QTemporaryDir dir;
    document::DesignDocument doc;
    makeSample(doc);
    doc.surface()->setBackground(bitmapPicture()); // the front: objects and a background
    ASSERT_TRUE(doc.switchRegion(1));
    doc.surface()->clearItems();
    doc.surface()->setBackground(bitmapPicture()); // the back: a background only
    ASSERT_TRUE(doc.switchRegion(0));
    doc.setModified(true);

    const QString file = dir.filePath(QStringLiteral("Mine.cct"));
    ASSERT_TRUE(files::SaveAsTemplate(doc, file, 1));
    EXPECT_EQ(doc.fileName(), file);
    EXPECT_EQ(doc.caption(), file);
    EXPECT_FALSE(doc.isModified());

    const QByteArray bytes = testsupport::readFile(file);
    plat::LeReader r(bytes);
    EXPECT_EQ(r.i32At(12), 1) << "one region section: the front";
    const int section = files::kHeaderSize + layout::LayoutRecord::kSize;
    EXPECT_EQ(char(r.u8At(section + 2)), ' ') << "no picture";
    EXPECT_EQ(r.u8At(files::kHeaderSize + layout::LayoutRecord::TemplateKindOff), 4);

    model::SurfaceModel surface;
    model::TObjectManager m(&surface);
    layout::LayoutRecord l;
    ASSERT_EQ(files::ReadDesign(m, file, &l, nullptr, nullptr), 1);
    EXPECT_TRUE(surface.background().isNull());
    EXPECT_EQ(surface.count(), 2);
    EXPECT_EQ(l.TemplateKind(), 4);
    surface.clearItems();

    // A later Save writes the whole design into the template's file, backgrounds included.
    ASSERT_TRUE(doc.save(doc.fileName()));
    document::DesignDocument again;
    ASSERT_EQ(again.openFile(file), 1);
    EXPECT_FALSE(again.surface()->background().isNull());
}

TEST(TemplateExport, TheWizardTypeDecidesTheTemplateKind)
{
    QTemporaryDir dir;
    EXPECT_EQ(files::wizardTypeNames(), (QStringList{QStringLiteral("None"), QStringLiteral("Business Card Data")}));
    for (const auto &[type, kind] : {std::pair{0, 0}, std::pair{1, 4}}) {
        document::DesignDocument doc;
        makeSample(doc);
        layout::LayoutRecord l = doc.layout();
        l.setTemplateKind(uint8_t(4 - kind)); // a design made from a template of the other kind
        doc.setLayout(l);
        const QString file = dir.filePath(QStringLiteral("t%1.cct").arg(type));
        ASSERT_TRUE(files::SaveAsTemplate(doc, file, type));
        EXPECT_EQ(doc.layout().TemplateKind(), kind);
        EXPECT_EQ(plat::LeReader(testsupport::readFile(file)).u8At(files::kHeaderSize + layout::LayoutRecord::TemplateKindOff),
                  kind);
    }
}

TEST(TemplateExport, AFailedTemplateSaveLeavesTheDesignAsItWas)
{
    QTemporaryDir dir;
    document::DesignDocument doc;
    makeSample(doc);
    ASSERT_TRUE(doc.save(dir.filePath(QStringLiteral("card.bcp"))));
    doc.setModified(true);
    for (const QString &bad : {dir.filePath(QStringLiteral("no/such/folder/t.cct")), QString()}) {
        EXPECT_FALSE(files::SaveAsTemplate(doc, bad, 1));
        EXPECT_EQ(doc.layout().TemplateKind(), 0);
        EXPECT_EQ(doc.fileName(), dir.filePath(QStringLiteral("card.bcp")));
        EXPECT_TRUE(doc.isModified());
    }
}
