// Alignment arithmetic on a 350 x 200 surface with margins of 8 pixels.
#include "editing/Align.h"
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

    Fixture()
    {
        surface.setSize(QSize(350, 200));
        surface.setMargins(8, 8, 8, 8);
    }
    SurfaceItem *select(int l, int t, int w, int h)
    {
        SurfaceItem *it = surface.addItem(SurfaceItem::Type::PaintBox);
        it->setBounds(l, t, w, h);
        handle.Attach(it);
        return it;
    }
    void run(int op) { editing::ApplyAlignment(handle, surface, op); }
};

} // namespace

TEST(Align, SingleObjectAgainstTheMargins)
{
    struct Case { int op; int left; int top; };
    const Case cases[] = {
        {editing::AlignLeft, 10, 50},   // frame to 8, object 2 inside
        {editing::AlignRight, 239, 50}, // frame 237, right edge 339
        {editing::AlignHCenter, 124, 50}, // frame 8 + 229 / 2 = 122
        {editing::AlignTop, 50, 10},
        {editing::AlignBottom, 50, 200 - 35 - 8 + 2},
        {editing::AlignVCenter, 50, 8 + (200 - 16 - 35) / 2 + 2},
        {99, 50, 50},
    };
    for (const Case &c : cases) {
        Fixture f;
        SurfaceItem *it = f.select(50, 50, 100, 30);
        f.run(c.op);
        EXPECT_EQ(it->bounds(), QRect(c.left, c.top, 100, 30)) << "operation " << c.op;
    }
}

TEST(Align, WideFrameCentresWithTheHalfTruncatedTowardZero)
{
    Fixture f;
    // Frame width 339: 350 - 16 - 339 = -5, halved toward zero = -2.
    SurfaceItem *it = f.select(100, 50, 334, 30);
    f.run(editing::AlignHCenter);
    EXPECT_EQ(f.handle.frame().x(), 6);
    EXPECT_EQ(it->left(), 8);
}

TEST(Align, GroupOperationsUseTheFrameEdges)
{
    struct Case { int op; int a; int b; };
    const Case cases[] = {
        {editing::AlignGroupLeft, 48, 48},
        {editing::AlignGroupRight, 53, 113},
        {editing::AlignGroupHCenter, 50, 80},
    };
    for (const Case &c : cases) {
        Fixture f;
        SurfaceItem *a = f.select(50, 20, 100, 10);
        SurfaceItem *b = f.select(80, 60, 40, 10);
        ASSERT_EQ(f.handle.frame().x(), 48);
        ASSERT_EQ(f.handle.frame().width(), 105);
        f.run(c.op);
        EXPECT_EQ(a->left(), c.a) << c.op;
        EXPECT_EQ(b->left(), c.b) << c.op;
        EXPECT_EQ(f.handle.frame().x(), 48) << "the frame is not recomputed";
    }
    Fixture f;
    SurfaceItem *a = f.select(10, 20, 10, 100);
    SurfaceItem *b = f.select(30, 40, 10, 40);
    f.run(editing::AlignGroupBottom); // frame top 18, height 105
    EXPECT_EQ(a->top(), 23);
    EXPECT_EQ(b->top(), 83);
    f.run(editing::AlignGroupTop);
    EXPECT_EQ(a->top(), 18);
    EXPECT_EQ(b->top(), 18);
}

TEST(Align, SpaceEquallyMovesTheInnerObjects)
{
    Fixture f;
    // Selected out of order: the sort by left edge decides the places.
    SurfaceItem *d = f.select(200, 10, 20, 10);
    SurfaceItem *a = f.select(10, 10, 20, 10);
    SurfaceItem *c = f.select(100, 10, 20, 10);
    SurfaceItem *b = f.select(40, 10, 20, 10);
    ASSERT_EQ(f.handle.frame(), QRect(8, 8, 215, 15));
    f.run(editing::AlignGroupHSpace); // d = (215 - 80) / 3 = 45
    EXPECT_EQ(a->left(), 10);
    EXPECT_EQ(b->left(), 73);
    EXPECT_EQ(c->left(), 138);
    EXPECT_EQ(d->left(), 200);

    Fixture two;
    SurfaceItem *p = two.select(10, 10, 20, 10);
    SurfaceItem *q = two.select(100, 90, 20, 10);
    two.run(editing::AlignGroupHSpace);
    two.run(editing::AlignGroupVSpace);
    EXPECT_EQ(p->bounds(), QRect(10, 10, 20, 10));
    EXPECT_EQ(q->bounds(), QRect(100, 90, 20, 10));

    Fixture v;
    SurfaceItem *t0 = v.select(10, 10, 10, 20);
    SurfaceItem *t1 = v.select(10, 40, 10, 20);
    SurfaceItem *t2 = v.select(10, 150, 10, 20);
    v.run(editing::AlignGroupVSpace); // frame top 8, height 165: d = (165 - 60) / 2 = 52.5
    EXPECT_EQ(t0->top(), 10);
    EXPECT_EQ(t1->top(), 8 + 20 + 52);
    EXPECT_EQ(t2->top(), 150);
}

TEST(Align, SelectedToGrid)
{
    struct Case { QRect before; QRect after; };
    const Case cases[] = {
        {{13, 16, 30, 8}, {8, 16, 24, 8}},
        {{5, 0, 16, 16}, {0, 0, 16, 16}},
        {{0, 8, 20, 8}, {0, 8, 16, 8}},
        {{-3, 8, 11, 8}, {-3, 8, 11, 8}},  // negative left kept; right edge at 8
        {{16, 8, 5, 8}, {16, 8, 0, 8}},
    };
    for (const Case &c : cases) {
        Fixture f;
        f.surface.setGridX(8);
        f.surface.setGridY(8);
        SurfaceItem *it = f.select(c.before.x(), c.before.y(), c.before.width(), c.before.height());
        f.run(editing::AlignToGrid);
        EXPECT_EQ(it->bounds(), c.after);
    }
    Fixture one;
    one.surface.setGridX(1);
    one.surface.setGridY(1);
    SurfaceItem *it = one.select(13, 13, 31, 31);
    one.run(editing::AlignToGrid);
    EXPECT_EQ(it->bounds(), QRect(13, 13, 31, 31)) << "grid step 1 moves nothing";
}

TEST(Align, LockedSelectionOnlyMovesWithTheObjectOperations)
{
    Fixture f;
    SurfaceItem *a = f.select(50, 20, 100, 10);
    SurfaceItem *b = f.select(80, 60, 40, 10);
    f.handle.Locked = true;
    f.run(editing::AlignLeft);
    editing::ApplyFitToMargins(f.handle, f.surface);
    EXPECT_EQ(a->left(), 50);
    f.run(editing::AlignGroupLeft);
    EXPECT_EQ(b->left(), 48);
}

TEST(Align, FitToMarginsStretchesTheFrame)
{
    Fixture f;
    SurfaceItem *it = f.select(40, 40, 50, 20);
    editing::ApplyFitToMargins(f.handle, f.surface);
    EXPECT_EQ(f.handle.frame(), QRect(8, 8, 334, 184));
    EXPECT_EQ(it->bounds(), QRect(10, 10, 329, 179));

    Fixture g;
    SurfaceItem *a = g.select(20, 20, 10, 10);
    SurfaceItem *b = g.select(60, 40, 20, 20); // frame (18, 18, 65, 45)
    editing::ApplyFitToMargins(g.handle, g.surface);
    // Both move by (-10, -10) and grow by (269, 139): not scaled in proportion.
    EXPECT_EQ(a->bounds(), QRect(10, 10, 279, 149));
    EXPECT_EQ(b->bounds(), QRect(50, 30, 289, 159));
}
