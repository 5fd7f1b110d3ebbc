// The picture dialog: its bitmap edits checked pixel by pixel, the crop rectangle's own
// handles, loading, clearing, and the graphic's Picture button.
#include "PropsUiSupport.h"

#include "editing/Selection.h"
#include "model/TObjectData.h"
#include "model/TObjectManager.h"
#include "pictures/PictureHelpers.h"
#include "pictures/ui/PickPicForm.h"
#include "platform/bmp/BmpCodec.h"
#include "platform/metafile/EmfRecorder.h"

#include <QFile>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

using namespace propsui;
using pictures::TPickPicForm;

namespace {

// Every pixel tells where it came from: red the column, green the row (both mod 256),
// blue the high bits of both.
QRgb coded(int x, int y)
{
    return qRgb(x & 0xFF, y & 0xFF, ((x >> 8) << 4) | (y >> 8));
}

plat::Picture codedBitmap(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, coded(x, y));
    return plat::Picture::bitmap(plat::bmp::encodeBmpFile(img, 24));
}

QPushButton *btn(QWidget *form, const char *name)
{
    auto *b = form->findChild<QPushButton *>(QLatin1String(name));
    EXPECT_NE(b, nullptr) << name;
    return b;
}

void sendMouse(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST(PickPicForm, RotateAndMirrorsMovePixelsAsExpected)
{
    TPickPicForm form(nullptr, false, false, QString());
    form.setPicture(codedBitmap(3, 2));

    btn(&form, "RotateBtn")->click();
    QImage r = pictures::decodePicture(form.picture());
    ASSERT_EQ(r.size(), QSize(2, 3));
    // A quarter turn clockwise: the old top-left corner is the new top-right one.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(r.pixel(x, y), coded(y, 1 - x)) << x << "," << y;

    form.setPicture(codedBitmap(3, 2));
    btn(&form, "MirrorVerticalBtn")->click(); // left to right
    QImage mv = pictures::decodePicture(form.picture());
    ASSERT_EQ(mv.size(), QSize(3, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(mv.pixel(x, y), coded(2 - x, y));

    form.setPicture(codedBitmap(3, 2));
    btn(&form, "MirrorHorizontalBtn")->click(); // top to bottom
    QImage mh = pictures::decodePicture(form.picture());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(mh.pixel(x, y), coded(x, 1 - y));
}

TEST(PickPicForm, CropTakesThePartUnderTheRectangle)
{
    TPickPicForm form(nullptr, false, false, QString());
    form.setPicture(codedBitmap(316, 314));
    QWidget *crop = form.findChild<QWidget *>(QStringLiteral("CropRect"));
    QWidget *image = form.findChild<QWidget *>(QStringLiteral("Image"));
    ASSERT_TRUE(crop && image);
    EXPECT_EQ(image->geometry(), QRect(4, 4, 158, 157));
    EXPECT_EQ(crop->geometry(), QRect(8, 8, 57, 57));
    EXPECT_FALSE(crop->isHidden());

    btn(&form, "CropBtn")->click();
    QImage c = pictures::decodePicture(form.picture());
    ASSERT_EQ(c.size(), QSize(114, 114));
    EXPECT_EQ(c.pixel(0, 0), coded(8, 8));
    EXPECT_EQ(c.pixel(113, 113), coded(121, 121));
    // The rectangle stays where it is.
    EXPECT_EQ(crop->geometry(), QRect(8, 8, 57, 57));
}

TEST(PickPicForm, CropRectangleHasItsOwnHandles)
{
    TPickPicForm form(nullptr, false, false, QString());
    form.setPicture(codedBitmap(158, 157)); // one bitmap pixel per view pixel
    form.show();
    auto *panel = form.findChild<pictures::CropPanel *>(QStringLiteral("ImagePanel"));
    ASSERT_NE(panel, nullptr);
    QWidget *crop = panel->cropRect();

    // A click inside attaches the handles; dragging the inside moves the rectangle.
    sendMouse(panel, QEvent::MouseButtonPress, QPoint(30, 30), Qt::LeftButton);
    EXPECT_TRUE(panel->handlesAttached());
    sendMouse(panel, QEvent::MouseMove, QPoint(47, 39), Qt::LeftButton);
    sendMouse(panel, QEvent::MouseButtonRelease, QPoint(47, 39), Qt::NoButton);
    EXPECT_EQ(crop->geometry(), QRect(25, 17, 57, 57));

    // The bottom-right square sizes it: right edge at 82, bottom at 74, squares 2 outside.
    sendMouse(panel, QEvent::MouseButtonPress, QPoint(83, 75), Qt::LeftButton);
    sendMouse(panel, QEvent::MouseMove, QPoint(93, 80), Qt::LeftButton);
    sendMouse(panel, QEvent::MouseButtonRelease, QPoint(93, 80), Qt::NoButton);
    EXPECT_EQ(crop->geometry(), QRect(25, 17, 67, 62));

    btn(&form, "CropBtn")->click();
    QImage c = pictures::decodePicture(form.picture());
    ASSERT_EQ(c.size(), QSize(67, 62));
    EXPECT_EQ(c.pixel(0, 0), coded(21, 13));

    // A click outside the rectangle detaches the handles.
    sendMouse(panel, QEvent::MouseButtonPress, QPoint(150, 150), Qt::LeftButton);
    EXPECT_FALSE(panel->handlesAttached());
}

TEST(PickPicForm, ButtonsFollowThePictureKind)
{
    TPickPicForm form(nullptr, true, false, QString());
    for (const char *b : {"SaveBtn", "ClearBtn", "RotateBtn", "MirrorHorizontalBtn", "MirrorVerticalBtn", "CropBtn"})
        EXPECT_FALSE(btn(&form, b)->isEnabled()) << b;
    EXPECT_TRUE(btn(&form, "AquireBtn")->isHidden());

    plat::metafile::EmfRecorder rec(QSize(40, 20));
    rec.setBrush(gdi::Brush{});
    rec.rectangle(2, 2, 30, 15);
    form.setPicture(plat::Picture::metafile(rec.finish()));
    EXPECT_TRUE(btn(&form, "SaveBtn")->isEnabled());
    EXPECT_TRUE(btn(&form, "ClearBtn")->isEnabled());
    for (const char *b : {"RotateBtn", "MirrorHorizontalBtn", "MirrorVerticalBtn", "CropBtn"})
        EXPECT_FALSE(btn(&form, b)->isEnabled()) << b;
    EXPECT_TRUE(form.findChild<QWidget *>(QStringLiteral("CropRect"))->isHidden());

    form.setPicture(codedBitmap(4, 4));
    for (const char *b : {"RotateBtn", "MirrorHorizontalBtn", "MirrorVerticalBtn", "CropBtn"})
        EXPECT_TRUE(btn(&form, b)->isEnabled()) << b;

    btn(&form, "ClearBtn")->click();
    EXPECT_TRUE(form.picture().isNull());
    EXPECT_FALSE(btn(&form, "SaveBtn")->isEnabled());
}

TEST(PickPicForm, LoadingThroughTheOpenDialogAndBadFiles)
{
    QTemporaryDir dir;
    // A PNG behind a .JPG name loads by its real format.
    QImage img(5, 3, QImage::Format_RGB32);
    img.fill(qRgb(10, 200, 30));
    const QString jpg = dir.filePath(QStringLiteral("photo.JPG"));
    ASSERT_TRUE(img.save(jpg, "PNG"));
    const QString other = dir.filePath(QStringLiteral("notes.xyz"));
    ASSERT_TRUE(img.save(other, "PNG"));

    TPickPicForm form(nullptr, false, false, dir.path());
    ModalAnswer<QFileDialog> answer([&jpg, &dir](QFileDialog *dlg) {
        EXPECT_EQ(dlg->objectName(), "GraphicOpenDialog");
        EXPECT_EQ(QDir(dlg->directory()).absolutePath(), QDir(dir.path()).absolutePath());
        EXPECT_NE(dlg->findChild<QWidget *>(QStringLiteral("PreviewPane")), nullptr);
        dlg->selectFile(jpg);
        QMetaObject::invokeMethod(dlg, "accept");
    });
    btn(&form, "LoadBtn")->click();
    EXPECT_TRUE(answer.ran());
    ASSERT_TRUE(form.picture().isBitmap());
    QImage loaded = pictures::decodePicture(form.picture());
    ASSERT_EQ(loaded.size(), QSize(5, 3));
    EXPECT_EQ(loaded.pixel(2, 1), qRgb(10, 200, 30));

    // An unsupported extension clears the view, without a message.
    form.loadFile(other);
    EXPECT_TRUE(form.picture().isNull());
    EXPECT_FALSE(btn(&form, "RotateBtn")->isEnabled());
}

TEST(PickPicForm, PickPictureInBackgroundModeOffersClear)
{
    bool accepted = false;
    ModalAnswer<TPickPicForm> answer([](TPickPicForm *dlg) {
        QPushButton *clear = dlg->findChild<QPushButton *>(QStringLiteral("ClearBtn"));
        EXPECT_FALSE(clear->isHidden());
        clear->click();
        dlg->accept();
    });
    const plat::Picture result = pictures::pickPicture(nullptr, codedBitmap(4, 4), true, &accepted);
    EXPECT_TRUE(answer.ran());
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(result.isNull());

    const plat::Picture start = codedBitmap(4, 4);
    ModalAnswer<TPickPicForm> cancel([](TPickPicForm *dlg) {
        EXPECT_TRUE(dlg->findChild<QPushButton *>(QStringLiteral("ClearBtn"))->isHidden());
        dlg->findChild<QPushButton *>(QStringLiteral("RotateBtn"))->click();
        dlg->reject();
    });
    EXPECT_EQ(pictures::pickPicture(nullptr, start, false, &accepted), start);
    EXPECT_TRUE(cancel.ran());
    EXPECT_FALSE(accepted);
}

using GraphicPicture = EditorFixture;

TEST_F(GraphicPicture, PictureButtonReplacesThePictureWithOneUndoEntry)
{
    const plat::Picture start = codedBitmap(6, 4);
    model::SurfaceItem *g = addGraphic(start, QRect(10, 10, 60, 40));
    ASSERT_NE(g, nullptr);
    select(g);
    ModalAnswer<TPickPicForm> answer([](TPickPicForm *dlg) {
        dlg->findChild<QPushButton *>(QStringLiteral("RotateBtn"))->click();
        dlg->accept();
    });
    editor->findChild<QPushButton *>(QStringLiteral("GraphicPictureBtn"))->click();
    EXPECT_TRUE(answer.ran());
    EXPECT_EQ(pictures::pictureSize(g->picture()), QSize(4, 6));
    EXPECT_EQ(editor->findChild<QLabel *>(QStringLiteral("PicSizeLabel"))->text(), "4 x 6");
    EXPECT_EQ(manager()->changes().undoCount(), 1);
    EXPECT_TRUE(doc->isModified());

    ASSERT_TRUE(manager()->Undo(100));
    EXPECT_EQ(doc->doc()->surface()->findById(g->id())->picture(), start);
}
