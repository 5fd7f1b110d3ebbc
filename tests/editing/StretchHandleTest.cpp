// The selection frame without a window: attaching, the frame and its squares, hover
// zones, drags with grid snapping, locked selections, restacking and the arrow keys.
#include "editing/Selection.h"
#include "editing/StretchHandle.h"
#include "model/SurfaceModel.h"

#include <gtest/gtest.h>

using editing::TStretchHandle;
using model::SurfaceItem;

namespace {

struct Fixture {
    model::SurfaceModel surface;
    editing::Selection selection{&surface};
    TStretchHandle handle{&surface, &selection};

    Fixture() { surface.setSize(QSize(350, 200)); }
    SurfaceItem *add(int l, int t, int w = 120, int h = 30)
    {
        SurfaceItem *it = surface.addItem(SurfaceItem::Type::PaintBox);
        it->setBounds(l, t, w, h);
        return it;
    }
    // A complete drag in client coordinates of the frame as it is at the start.
    void drag(QPoint from, QPoint to)
    {
        handle.MouseMove(Qt::NoButton, from.x(), from.y()); // hover: picks the zone
        handle.MouseDown(Qt::LeftButton, from.x(), from.y());
        handle.MouseMove(Qt::LeftButton, to.x(), to.y());
        handle.MouseUp(Qt::LeftButton, to.x(), to.y());
    }
};

} // namespace

TEST(StretchHandle, AttachBuildsTheWidenedUnionAndDetachResets)
{
    Fixture f;
    EXPECT_FALSE(f.handle.visible());
    EXPECT_EQ(f.handle.frame().size(), QSize(24, 24));
    SurfaceItem *a = f.add(50, 50);
    SurfaceItem *b = f.add(200, 20, 40, 100);
    EXPECT_EQ(f.handle.Attach(nullptr), 0);
    EXPECT_EQ(f.handle.Attach(a), 1);
    EXPECT_EQ(f.handle.frame(), QRect(48, 48, 125, 35));
    EXPECT_TRUE(f.handle.visible());
    EXPECT_TRUE(f.handle.hasCapture());
    EXPECT_EQ(f.handle.Attach(b), 2);
    // left min(48, 198), top min(48, 18), right max(48+125-3, 240)+3, bottom max(48+35-3, 120)+3
    EXPECT_EQ(f.handle.frame(), QRect(48, 18, 243 - 48, 123 - 18));
    EXPECT_EQ(f.handle.Attach(a), 1) << "attaching again changes nothing";
    EXPECT_EQ(f.handle.GetChildCount(), 2);
    EXPECT_EQ(f.handle.GetChildControl(1), b);
    EXPECT_EQ(f.handle.GetChildControl(-1), nullptr);
    EXPECT_EQ(f.handle.IndexOf(b), 1);

    f.handle.ReleaseChild(a);
    EXPECT_EQ(f.handle.frame(), QRect(198, 18, 45, 105));
    f.handle.Locked = true;
    f.handle.Detach();
    EXPECT_FALSE(f.handle.IsAttached());
    EXPECT_FALSE(f.handle.Locked);
    EXPECT_FALSE(f.handle.visible());
    EXPECT_EQ(f.handle.frame().size(), QSize(24, 24));
}

TEST(StretchHandle, ObjectsLeavingTheSurfaceLeaveTheFrame)
{
    Fixture f;
    SurfaceItem *a = f.add(50, 50);
    SurfaceItem *b = f.add(10, 10, 10, 10);
    f.handle.Attach(a);
    f.handle.Attach(b);
    f.surface.removeItem(b);
    EXPECT_EQ(f.handle.GetChildCount(), 1);
    EXPECT_EQ(f.handle.frame(), QRect(48, 48, 125, 35));
    f.surface.removeItem(a);
    EXPECT_FALSE(f.handle.IsAttached());
    EXPECT_FALSE(f.handle.visible());
}

TEST(StretchHandle, GrabSquaresEightBlackForOneFourRedPerObjectForSeveral)
{
    Fixture f;
    f.handle.SetColors(0, 255);
    SurfaceItem *a = f.add(50, 50);
    f.handle.Attach(a);
    const auto one = f.handle.grabSquares();
    ASSERT_EQ(one.size(), 8);
    EXPECT_EQ(f.handle.squareColor(), 0u);
    // R = (48, 48) - (172, 82): corners, then mid-edges at w = 62, h = 17.
    EXPECT_EQ(one[0], QRect(48, 48, 5, 5));
    EXPECT_EQ(one[3], QRect(167, 77, 5, 5));
    EXPECT_EQ(one[4], QRect(48 + 62 - 2, 48, 5, 5));
    EXPECT_EQ(one[7], QRect(167, 48 + 17 - 2, 5, 5));
    for (const QRect &r : one)
        EXPECT_EQ(r.size(), QSize(5, 5));

    f.handle.Attach(f.add(200, 100, 40, 40));
    EXPECT_EQ(f.handle.grabSquares().size(), 8) << "two objects: four corners each";
    EXPECT_EQ(f.handle.squareColor(), 255u);
}

TEST(StretchHandle, HoverZonesOnlyWithOneObject)
{
    Fixture f;
    f.handle.Attach(f.add(50, 50)); // frame 125 x 35
    struct Case { int x, y; editing::TDragStyle style; Qt::CursorShape cursor; };
    const Case cases[] = {
        {0, 0, editing::dsSizeTopLeft, Qt::SizeFDiagCursor},
        {-5, 5, editing::dsSizeTopLeft, Qt::SizeFDiagCursor},
        {125, 35, editing::dsSizeBottomRight, Qt::SizeFDiagCursor},
        {122, 2, editing::dsSizeTopRight, Qt::SizeBDiagCursor},
        {3, 33, editing::dsSizeBottomLeft, Qt::SizeBDiagCursor},
        {62, 1, editing::dsSizeTop, Qt::SizeVerCursor},   // |62 - 62.5| < 4
        {66, 1, editing::dsSizeTop, Qt::SizeVerCursor},
        {67, 1, editing::dsMove, Qt::ArrowCursor},        // 4.5 away
        {60, 34, editing::dsSizeBottom, Qt::SizeVerCursor},
        {2, 17, editing::dsSizeLeft, Qt::SizeHorCursor},
        {123, 20, editing::dsSizeRight, Qt::SizeHorCursor},
        {119, 17, editing::dsMove, Qt::ArrowCursor},      // 6 away from the right edge
        {60, 17, editing::dsMove, Qt::ArrowCursor},
    };
    for (const Case &c : cases) {
        f.handle.MouseMove(Qt::NoButton, c.x, c.y);
        EXPECT_EQ(f.handle.dragStyle(), c.style) << c.x << "," << c.y;
        EXPECT_EQ(f.handle.cursor(), c.cursor) << c.x << "," << c.y;
    }
    f.handle.Locked = true;
    f.handle.MouseMove(Qt::NoButton, 0, 0);
    EXPECT_EQ(f.handle.cursor(), Qt::ForbiddenCursor);
    f.handle.Locked = false;

    f.handle.Attach(f.add(250, 150, 20, 20));
    f.handle.MouseMove(Qt::NoButton, 0, 0);
    EXPECT_EQ(f.handle.dragStyle(), editing::dsMove) << "several objects: every drag is a move";
}

TEST(StretchHandle, DragsSnapToTheGrid)
{
    struct Case {
        const char *what;
        int grid;
        QPoint objectAt;
        QPoint from, to; // client points of the frame
        QRect expected;  // object bounds afterwards
    };
    const Case cases[] = {
        {"move by (17, 9), grid 1", 1, {50, 50}, {30, 15}, {47, 24}, {67, 59, 120, 30}},
        {"move by (17, 9) from (16, 16), grid 8", 8, {16, 16}, {30, 15}, {47, 24}, {32, 24, 120, 30}},
        {"right square +10, grid 1", 1, {50, 50}, {123, 17}, {133, 17}, {50, 50, 130, 30}},
        {"right square +10, grid 8", 8, {50, 50}, {123, 17}, {133, 17}, {50, 50, 128, 30}},
        {"right square +3, grid 8", 8, {50, 50}, {123, 17}, {126, 17}, {50, 50, 120, 30}},
        {"bottom-right square, grid 1", 1, {50, 50}, {123, 33}, {133, 38}, {50, 50, 130, 35}},
        {"top-left square past the far corner", 1, {50, 50}, {1, 1}, {200, 100}, {249, 149, 0, 0}},
        {"top square upwards", 1, {50, 50}, {62, 1}, {62, -9}, {50, 40, 120, 40}},
        {"left square, grid 8", 8, {50, 50}, {2, 17}, {-5, 17}, {40, 50, 130, 30}},
    };
    for (const Case &c : cases) {
        Fixture f;
        f.handle.SetGridX(c.grid);
        f.handle.SetGridY(c.grid);
        SurfaceItem *it = f.add(c.objectAt.x(), c.objectAt.y());
        f.handle.Attach(it);
        f.drag(c.from, c.to);
        EXPECT_EQ(it->bounds(), c.expected) << c.what;
        EXPECT_EQ(f.handle.frame(), QRect(c.expected.x() - 2, c.expected.y() - 2, c.expected.width() + 5,
                                          c.expected.height() + 5))
            << c.what;
        EXPECT_FALSE(f.handle.dragging());
        EXPECT_TRUE(f.handle.outline().isNull());
    }
}

TEST(StretchHandle, ClickWithoutMovementChangesNothingButEndsTheDrag)
{
    Fixture f;
    f.handle.SetGridState(true); // grid 8 would move an object at 50 if anything were applied
    SurfaceItem *it = f.add(50, 50);
    f.handle.Attach(it);
    int ups = 0;
    QObject::connect(&f.handle, &TStretchHandle::mouseUp, [&ups] { ++ups; });
    EXPECT_EQ(f.handle.MouseDown(Qt::LeftButton, 30, 15), TStretchHandle::Result::Handled);
    EXPECT_TRUE(f.handle.dragging());
    f.handle.MouseMove(Qt::LeftButton, 40, 20);
    EXPECT_FALSE(f.handle.outline().isNull());
    f.handle.MouseUp(Qt::LeftButton, 30, 15);
    EXPECT_EQ(it->bounds(), QRect(50, 50, 120, 30));
    EXPECT_EQ(ups, 1) << "the document still hears of the release";
}

TEST(StretchHandle, LockedSelectionDoesNotMoveResizeOrRestack)
{
    Fixture f;
    SurfaceItem *a = f.add(50, 50);
    SurfaceItem *b = f.add(100, 100, 20, 20);
    f.handle.Attach(a);
    f.handle.Locked = true;
    f.drag({30, 15}, {60, 40});
    EXPECT_EQ(a->bounds(), QRect(50, 50, 120, 30));
    EXPECT_TRUE(f.handle.KeyDown(Qt::Key_Right));
    EXPECT_EQ(a->bounds(), QRect(50, 50, 120, 30));
    f.handle.SendToBack();
    EXPECT_EQ(f.surface.itemAt(0), a) << "already at the bottom; now check the other way";
    f.handle.Detach();
    f.handle.Attach(b);
    f.handle.Locked = true;
    f.handle.SendToBack();
    EXPECT_EQ(f.surface.itemAt(0), a);
    f.handle.Locked = false;
    f.handle.SendToBack();
    EXPECT_EQ(f.surface.itemAt(0), b);
    f.handle.BringToFront();
    EXPECT_EQ(f.surface.itemAt(1), b);
}

TEST(StretchHandle, ArrowKeysMoveOnePixelIgnoringTheGrid)
{
    Fixture f;
    f.handle.SetGridState(true);
    EXPECT_TRUE(f.handle.GetGridState());
    SurfaceItem *it = f.add(50, 50);
    f.handle.Attach(it);
    f.handle.KeyDown(Qt::Key_Right);
    f.handle.KeyDown(Qt::Key_Right);
    f.handle.KeyDown(Qt::Key_Up);
    EXPECT_EQ(it->bounds(), QRect(52, 49, 120, 30));
    f.handle.KeyDown(Qt::Key_Left);
    f.handle.KeyDown(Qt::Key_Down);
    f.handle.KeyDown(Qt::Key_Down);
    EXPECT_EQ(it->bounds(), QRect(51, 51, 120, 30));
    EXPECT_FALSE(f.handle.KeyDown(Qt::Key_A));
}

TEST(StretchHandle, DraggedPointStaysOnTheSurfaceAndMissesAreForwarded)
{
    Fixture f; // surface 350 x 200
    SurfaceItem *it = f.add(50, 50);
    f.handle.Attach(it);
    f.drag({30, 15}, {1000, 1000});
    // The point is held at the surface's corner (350, 200) = client (302, 152).
    EXPECT_EQ(it->bounds().topLeft(), QPoint(50 + 302 - 30, 50 + 152 - 15));

    Fixture g;
    g.handle.Attach(g.add(50, 50));
    g.handle.Attach(g.add(200, 150, 20, 20));
    QList<int> fwd;
    QObject::connect(&g.handle, &TStretchHandle::forwarded,
                     [&fwd](editing::TForwardMessage, Qt::MouseButton, int x, int) { fwd << x; });
    // Inside the frame but over neither object: handed on in surface coordinates.
    EXPECT_EQ(g.handle.MouseDown(Qt::LeftButton, 150, 60), TStretchHandle::Result::Forwarded);
    ASSERT_EQ(fwd.count(), 1);
    EXPECT_EQ(fwd.at(0), 48 + 150);
    EXPECT_FALSE(g.handle.dragging());
}

TEST(StretchHandle, ButtonFoundUpReleasesTheCaptureWithoutApplying)
{
    Fixture f;
    SurfaceItem *it = f.add(50, 50);
    f.handle.Attach(it);
    EXPECT_TRUE(f.handle.hasCapture());
    f.handle.MouseMove(Qt::LeftButton, 10, 10); // a click that goes on into a drag
    EXPECT_TRUE(f.handle.dragging());
    f.handle.MouseMove(Qt::NoButton, 40, 40);
    EXPECT_FALSE(f.handle.hasCapture());
    EXPECT_FALSE(f.handle.dragging());
    EXPECT_EQ(it->bounds(), QRect(50, 50, 120, 30));
}
