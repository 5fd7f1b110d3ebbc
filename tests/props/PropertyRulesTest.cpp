// The property editor's rules that need no widgets: frame values in hundredths of an
// inch, picture descriptions, and writing fields into an object.
#include "editing/PropertyRules.h"
#include "model/SurfaceModel.h"
#include "model/TObjectData.h"
#include "platform/bmp/BmpCodec.h"

#include <QImage>
#include <gtest/gtest.h>
#include <memory>

using namespace editing;

namespace {

struct Surface {
    model::SurfaceModel surface;
    model::SurfaceItem *add(char kind, QRect bounds)
    {
        model::SurfaceItem *item = surface.addItem(model::SurfaceItem::Type::PaintBox);
        item->setData(std::make_unique<model::TObjectData>(item, kind));
        item->setBounds(bounds);
        return item;
    }
};

PropertyFields generalFields(const QString &l, const QString &t, const QString &w, const QString &h)
{
    PropertyFields f;
    f.left = l;
    f.top = t;
    f.width = w;
    f.height = h;
    f.lines = {QStringLiteral("Text")};
    f.fontSize = QStringLiteral("12");
    f.rotation = QStringLiteral("0");
    f.lineSizeIndex = 0;
    return f;
}

} // namespace

TEST(PropertyRules, FrameValuesAndTheirWayBack)
{
    EXPECT_EQ(SelectionFrame(QRect(50, 50, 120, 30)), QRect(48, 48, 125, 35));
    const struct { int pixels, zoom, units; } shown[] = {
        {48, 100, 48}, {96, 200, 48}, {24, 50, 48}, {125, 100, 125}, {0, 100, 0}, {-3, 100, -3},
        {109, 109, 99}, // one below 109 * 100 / 109: the factor is a little above 1.09
        {218, 109, 199}, {110, 109, 100},
    };
    for (const auto &c : shown)
        EXPECT_EQ(FrameUnits(c.pixels, c.zoom), c.units) << c.pixels << " at " << c.zoom;
    // The factor is formed first: at zoom 27 the value 100 gives 26 pixels, not 27.
    EXPECT_EQ(FramePixels(100, 27), 26);
    EXPECT_EQ(FramePixels(48, 100), 48);
    EXPECT_EQ(FramePixels(48, 200), 96);
    // Absurd values are clamped instead of overflowing.
    EXPECT_LT(FramePixels(9000000000000LL, 100), 1 << 25);
}

TEST(PropertyRules, TypingTheFrameBackGivesTheSameObject)
{
    Surface s;
    model::SurfaceItem *text = s.add('T', QRect(50, 50, 120, 30));
    ApplyFieldsToItem(text, generalFields("48", "48", "125", "35"), 100);
    EXPECT_EQ(text->bounds(), QRect(50, 50, 120, 30));

    // Moving the frame moves the object by the same amount; sizes follow the frame's growth.
    ApplyFieldsToItem(text, generalFields("100", "20", "205", "45"), 100);
    EXPECT_EQ(text->bounds(), QRect(102, 22, 200, 40));

    // Values that are not whole numbers are left alone, one by one.
    ApplyFieldsToItem(text, generalFields("abc", "30", "", "4.5"), 100);
    EXPECT_EQ(text->bounds(), QRect(102, 32, 200, 40));
}

TEST(PropertyRules, ALockedObjectKeepsItsPlaceButTakesItsProperties)
{
    Surface s;
    model::SurfaceItem *box = s.add('B', QRect(10, 10, 40, 40));
    box->data()->Flags = model::ObjectFlag::Locked;
    PropertyFields f = generalFields("100", "100", "100", "100");
    f.locked = true;
    f.shapeStyle = 1;
    f.shapeColor = 0x0000FF;
    f.lineSizeIndex = 3;
    ApplyFieldsToItem(box, f, 100);
    EXPECT_EQ(box->bounds(), QRect(10, 10, 40, 40));
    EXPECT_EQ(box->data()->Style, 1);
    EXPECT_EQ(box->data()->ColorFG, 0x0000FFu);
    EXPECT_EQ(box->data()->LineSize, 4);
    EXPECT_EQ(box->data()->Flags, model::ObjectFlag::Locked);

    // Unlocking in the same apply still leaves the position: the frame was locked.
    f.locked = false;
    ApplyFieldsToItem(box, f, 100);
    EXPECT_EQ(box->bounds(), QRect(10, 10, 40, 40));
    EXPECT_EQ(box->data()->Flags, 0u);
    ApplyFieldsToItem(box, f, 100);
    EXPECT_EQ(box->bounds(), QRect(102, 102, 95, 95));
}

TEST(PropertyRules, TextFieldsGoIntoTheTextAndALineKeepsItsStyle)
{
    Surface s;
    model::SurfaceItem *text = s.add('T', QRect(0, 0, 100, 30));
    PropertyFields f = generalFields("", "", "", "");
    f.lines = {QStringLiteral("one"), QStringLiteral("two")};
    f.fontFace = QStringLiteral("Liberation Serif");
    f.fontSize = QStringLiteral("24");
    f.textColor = 0x00FF00;
    f.shadowColor = 0x808080;
    f.shadowDXIndex = 13;
    f.shadowDYIndex = 8;
    f.rotation = QStringLiteral("450");
    f.textStyle = 2;
    f.bold = true;
    f.underline = true;
    f.justification = 2;
    ApplyFieldsToItem(text, f, 100);
    const model::TObjectData *d = text->data();
    EXPECT_EQ(d->Lines, f.lines);
    ASSERT_TRUE(d->Font.has_value());
    EXPECT_EQ(d->Font->face(), "Liberation Serif");
    EXPECT_EQ(d->Font->height, -32);
    EXPECT_EQ(d->Font->weight, 700);
    EXPECT_EQ(d->Font->underline, 1);
    EXPECT_EQ(d->Font->italic, 0);
    EXPECT_EQ(d->ColorFG, 0x00FF00u);
    EXPECT_EQ(d->ColorBG, 0x808080u);
    EXPECT_EQ(d->ShadowDX, 3);
    EXPECT_EQ(d->ShadowDY, -2);
    EXPECT_EQ(d->Rotation, 4500);
    EXPECT_EQ(d->TextStyle, 2u);
    EXPECT_EQ(d->Style, 2);

    // An empty face and a size or rotation that is not a number keep what the text had.
    f.fontFace.clear();
    f.fontSize = QStringLiteral("big");
    f.rotation = QStringLiteral("x");
    ApplyFieldsToItem(text, f, 100);
    EXPECT_EQ(d->Font->face(), "Liberation Serif");
    EXPECT_EQ(d->Font->height, -32);
    EXPECT_EQ(d->Rotation, 4500);

    model::SurfaceItem *line = s.add('L', QRect(0, 0, 100, 12));
    line->data()->Style = 2;
    PropertyFields lf = generalFields("", "", "", "");
    lf.lineType = 3;
    lf.shapeStyle = 1;
    lf.lineSizeIndex = 5;
    ApplyFieldsToItem(line, lf, 100);
    EXPECT_EQ(line->data()->LineType, 3);
    EXPECT_EQ(line->data()->Style, 2); // a line's style is not the style group's
    EXPECT_EQ(line->data()->LineSize, 6);
}

TEST(PropertyRules, PictureDescriptions)
{
    QImage img(200, 100, QImage::Format_Indexed8);
    img.setColorCount(256);
    for (int i = 0; i < 256; ++i)
        img.setColor(i, qRgb(i, i, i));
    img.fill(3);
    const PictureDescription d = DescribePicture(plat::Picture::bitmap(plat::bmp::encodeBmpFile(img, 8)));
    EXPECT_EQ(d.type, "Bitmap (BMP)");
    EXPECT_TRUE(d.bitmap);
    EXPECT_EQ(d.colorDepth, "8 bit (256 Colors)");
    EXPECT_EQ(d.storeSize, "21064 bytes");
    EXPECT_EQ(d.size, "200 x 100");

    QImage rgb(3, 2, QImage::Format_RGB32);
    rgb.fill(Qt::red);
    const PictureDescription d24 = DescribePicture(plat::Picture::bitmap(plat::bmp::encodeBmpFile(rgb, 24)));
    EXPECT_EQ(d24.colorDepth, "24 bit (16 Million Colors)");
    EXPECT_EQ(d24.storeSize, QString::number(((24 * 3 + 31) / 32) * 4 * 2 + 40) + " bytes");

    const struct { int bits; const char *text; int table; } depths[] = {
        {1, "1 bit (2 color)", 2}, {4, "4 bit (16 colors)", 16}, {15, "16 bit (HiColor)", 0},
        {16, "16 bit (HiColor)", 0}, {32, "32 bit (True Color)", 0}, {2, "", 0},
    };
    for (const auto &c : depths) {
        int t = -1;
        EXPECT_EQ(ColorDepthText(c.bits, &t), QString::fromLatin1(c.text)) << c.bits;
        EXPECT_EQ(t, c.table) << c.bits;
    }

    // A damaged bitmap is still a bitmap but has nothing to describe.
    const PictureDescription bad = DescribePicture(plat::Picture::bitmap(QByteArray("BM\0\0garbage", 11)));
    EXPECT_EQ(bad.type, "Bitmap (BMP)");
    EXPECT_TRUE(bad.colorDepth.isEmpty());
    EXPECT_TRUE(DescribePicture(plat::Picture()).type.isEmpty());
}
