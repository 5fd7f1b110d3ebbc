// The object manager: names and counters, defaults, region slots and switching, the
// undo history ring and undo/redo on the surface.
#include "DesignSamples.h"

#include "model/TDOChangeStack.h"
#include "model/TObjectManager.h"

#include <gtest/gtest.h>

#include <climits>

using namespace model;

namespace {

struct Design {
    SurfaceModel surface;
    TObjectManager m{&surface};
    Design() { surface.setSize(QSize(350, 200)); }
    QStringList names() const
    {
        QStringList out;
        for (const auto &it : surface.items())
            out << it->name();
        return out;
    }
};

QByteArray textRecord(const QString &text, int left)
{
    SurfaceModel s;
    TObjectManager m(&s);
    SurfaceItem *t = m.NewText(left, 5);
    t->data()->Lines = QStringList{text};
    return t->data()->toRecord(100);
}

} // namespace

// ---------------------------------------------------------------- names and defaults

TEST(ObjectManager, NamesTakeAndIncrementOneCounterPerFamily)
{
    Design d;
    const plat::Picture pic = plat::Picture::bitmap(samples::tinyBmp());
    d.m.NewText(0, 0);
    d.m.NewBox(0, 0);
    d.m.NewText(0, 0);
    d.m.NewLine(0, 0);
    d.m.NewGraphic(&pic, 0, 0, true);
    d.m.NewRoundBox(0, 0);
    d.m.NewEllipse(0, 0);
    EXPECT_EQ(d.names(), (QStringList{"Text0", "Shape0", "Text1", "Shape1", "Graphic0", "Shape2", "Shape3"}));
    // New objects: paint boxes 120 x 30 at the point, graphics 100 x 100.
    EXPECT_EQ(d.surface.itemAt(0)->bounds(), QRect(0, 0, 120, 30));
    EXPECT_EQ(d.surface.itemAt(4)->bounds(), QRect(0, 0, 100, 100));
    EXPECT_EQ(d.surface.itemAt(4)->type(), SurfaceItem::Type::Image);
    EXPECT_EQ(d.surface.itemAt(4)->data()->Kind, 'G');
}

TEST(ObjectManager, GraphicNeverExistsWithoutPicture)
{
    Design d;
    EXPECT_EQ(d.m.NewGraphic(nullptr, 0, 0, true), nullptr);
    const plat::Picture empty;
    EXPECT_EQ(d.m.NewGraphic(&empty, 0, 0, true), nullptr);
    EXPECT_EQ(d.surface.count(), 0);
    // Without data (the image control of a rebuild) the control exists, but is not
    // stored: no record is written for it.
    SurfaceItem *bare = d.m.NewGraphic(nullptr, 0, 0, false);
    ASSERT_NE(bare, nullptr);
    EXPECT_FALSE(TObjectManager::isStorable(bare));
    int32_t count = -1;
    EXPECT_TRUE(d.m.surfaceBlob(100, &count).isEmpty());
    EXPECT_EQ(count, 0);
}

TEST(ObjectManager, NewObjectsInheritDefaults)
{
    Design d;
    SurfaceItem *t = d.m.NewText(0, 0);
    EXPECT_EQ(t->data()->Lines, QStringList{"Text"});
    EXPECT_EQ(t->data()->TextStyle, 1u);
    EXPECT_EQ(t->data()->Font->face(), QStringLiteral("Arial"));
    EXPECT_EQ(d.m.NewBox(0, 0)->data()->LineSize, 1);

    plat::LogFont font = plat::LogFont::fromPoints(QStringLiteral("Courier New"), 20);
    d.m.SetDefaults('T', 0x0000FF, 0x00FF00, 2, 6, 7, &font, 0x0102, -3, 4, 900);
    d.m.SetDefaults('B', 0x111111, 0x222222, 1, 5, 9, nullptr, 0, 0, 0, 0);
    d.m.SetDefaults('L', 0x333333, 0x444444, 2, 4, -2, nullptr, 0, 0, 0, 0);

    SurfaceItem *t2 = d.m.NewText(0, 0);
    const TObjectData &td = *t2->data();
    EXPECT_EQ(td.Style, 2);
    EXPECT_EQ(td.TextStyle, 0x0102u);
    EXPECT_EQ(td.ShadowDX, -3);
    EXPECT_EQ(td.ShadowDY, 4);
    EXPECT_EQ(td.Rotation, 900);
    EXPECT_EQ(td.Font->face(), QStringLiteral("Courier New"));
    EXPECT_EQ(td.Lines, QStringList{"Text"});
    EXPECT_EQ(td.ColorFG, 0x333333u); // colours always follow the last call
    EXPECT_EQ(td.ColorBG, 0x444444u);
    EXPECT_EQ(td.LineSize, 1);        // texts take no line size

    const TObjectData &bd = *d.m.NewBox(0, 0)->data();
    EXPECT_EQ(bd.Style, 1);    // fill style from the 'B' call
    EXPECT_EQ(bd.LineSize, 4); // line size and reserved only from the 'L' call
    EXPECT_EQ(bd.Reserved, -2);
    EXPECT_EQ(d.m.NewEllipse(0, 0)->data()->Style, 1);

    const TObjectData &ld = *d.m.NewLine(0, 0)->data();
    EXPECT_EQ(ld.Style, 0); // lines never take the fill style
    EXPECT_EQ(ld.LineSize, 4);
    EXPECT_FALSE(ld.Font.has_value());

    // The default font is a copy: changing the caller's font later changes nothing.
    font.setFace(QStringLiteral("Changed"));
    EXPECT_EQ(d.m.NewText(0, 0)->data()->Font->face(), QStringLiteral("Courier New"));
}

// ---------------------------------------------------------------- regions

TEST(Regions, NeverSavedSlotLoadsEmptyWithDefaultMargins)
{
    Design d;
    d.m.NewText(0, 0);
    d.surface.setMargins(1, 2, 3, 4);
    d.surface.setBackground(plat::Picture::bitmap(samples::tinyBmp()));
    EXPECT_TRUE(d.m.SwitchRegion(-1, -1, 1, 0, 100));
    EXPECT_EQ(d.surface.count(), 0);
    EXPECT_TRUE(d.surface.background().isNull());
    EXPECT_EQ(d.surface.marginLeft(), 8);
    EXPECT_EQ(d.surface.marginRight(), 8);
    EXPECT_EQ(d.surface.marginTop(), 8);
    EXPECT_EQ(d.surface.marginBottom(), 8);
    EXPECT_EQ(d.m.currentSide(), 1);
    EXPECT_EQ(d.m.currentRegion(), 0);
}

TEST(Regions, SavingAnEmptyRegionKeepsMarginsAndBackground)
{
    Design d;
    d.m.SwitchRegion(-1, -1, 0, 0, 100);
    d.m.NewBox(0, 0);
    d.m.SwitchRegion(0, 0, -1, -1, 100);
    ASSERT_EQ(d.m.slot(0).objectCount, 1);
    d.surface.clearItems();
    d.surface.setMargins(1, 2, 3, 4);
    const plat::Picture bg = plat::Picture::metafile(samples::tinyEmf());
    d.surface.setBackground(bg);
    d.m.SwitchRegion(0, 0, -1, -1, 100);
    const RegionSlot &s = d.m.slot(0);
    EXPECT_EQ(s.objectCount, 0);
    EXPECT_EQ(s.blobSize(), 0);
    EXPECT_TRUE(s.blob.isNull());
    EXPECT_FALSE(s.hasBlob());
    EXPECT_EQ(s.margins, (std::array<int32_t, 4>{1, 2, 3, 4}));
    ASSERT_TRUE(s.background.has_value());
    EXPECT_EQ(*s.background, bg);
}

TEST(Regions, SwitchingToTheCurrentPairChangesNothing)
{
    Design d;
    d.m.SwitchRegion(-1, -1, 0, 0, 100);
    d.m.NewText(0, 0);
    d.m.NewBox(0, 0);
    // The slot (0,0) is empty, the surface is not: a load of the current pair keeps it.
    d.m.SwitchRegion(-1, -1, 0, 0, 100);
    EXPECT_EQ(d.surface.count(), 2);
    EXPECT_EQ(d.m.slot(0).objectCount, 0);
}

TEST(Regions, SaveOnlyLoadOnlyAndOutOfRangePairs)
{
    Design d;
    d.m.SwitchRegion(-1, -1, 0, 0, 100);
    d.m.NewText(0, 0);
    d.m.SwitchRegion(0, 0, -1, -1, 100); // save only
    EXPECT_EQ(d.surface.count(), 1);
    EXPECT_EQ(d.m.slot(0).objectCount, 1);
    EXPECT_EQ(d.m.currentSide(), 0);

    // Pairs outside the eight slots are neither saved nor loaded.
    EXPECT_TRUE(d.m.SwitchRegion(2, 0, 0, 4, 100));
    EXPECT_TRUE(d.m.SwitchRegion(0, -1, 1, -1, 100));
    EXPECT_EQ(d.surface.count(), 1);
    EXPECT_EQ(d.m.currentSide(), 0);
    EXPECT_EQ(d.m.currentRegion(), 0);

    d.m.SwitchRegion(-1, -1, 0, 3, 100); // load only: the surface is not saved
    d.m.SwitchRegion(-1, -1, 0, 0, 100);
    EXPECT_EQ(d.surface.count(), 1);
}

TEST(Regions, LoadRestoresStackingOrderAndRestartsNames)
{
    Design d;
    d.m.SwitchRegion(-1, -1, 0, 0, 100);
    samples::fillFront(d.m);
    QList<QByteArray> before;
    for (const auto &it : d.surface.items())
        before << it->data()->toRecord(100);
    d.m.SwitchRegion(0, 0, 1, 0, 100);
    d.m.NewText(1, 1); // the back gets its own text
    d.m.SwitchRegion(1, 0, 0, 0, 100);

    QList<QByteArray> after;
    for (const auto &it : d.surface.items())
        after << it->data()->toRecord(100);
    EXPECT_EQ(after, before);
    // Names restart at 0 at every load; the one graphic took Graphic0 for its image
    // control and Graphic1 when its record was attached.
    EXPECT_EQ(d.names(), (QStringList{"Text0", "Text1", "Shape0", "Shape1", "Graphic1", "Shape2", "Shape3"}));
    d.m.SwitchRegion(0, 0, 1, 0, 100);
    EXPECT_EQ(d.names(), QStringList{"Text0"});
}

TEST(Regions, SlotBlobHoldsRecordsBackToBack)
{
    Design d;
    d.m.SwitchRegion(-1, -1, 0, 0, 150);
    d.surface.setSize(QSize(525, 300));
    samples::fillFront(d.m);
    QByteArray expected;
    for (const auto &it : d.surface.items())
        expected += it->data()->toRecord(150);
    d.m.SwitchRegion(0, 0, 0, 1, 150);
    EXPECT_EQ(d.m.slot(0).blob, expected);
    EXPECT_EQ(d.m.slot(0).objectCount, 7);
    EXPECT_EQ(d.m.slot(0).blobSize(), expected.size());
}

TEST(Regions, SwitchClearsTheHistory)
{
    Design d;
    d.m.SwitchRegion(-1, -1, 0, 0, 100);
    d.m.RecordInsert(d.m.NewText(0, 0), 100);
    ASSERT_TRUE(d.m.changes().CanUndo());
    d.m.SwitchRegion(0, 0, -1, -1, 100); // saving alone keeps it
    EXPECT_TRUE(d.m.changes().CanUndo());
    d.m.SwitchRegion(0, 0, 1, 0, 100);
    EXPECT_FALSE(d.m.changes().CanUndo());
    EXPECT_FALSE(d.m.Undo(100));
}

// ---------------------------------------------------------------- the history ring

TEST(ChangeStack, NewStackIsEmpty)
{
    TDOChangeStack st;
    EXPECT_FALSE(st.CanUndo());
    EXPECT_FALSE(st.CanRedo());
    EXPECT_EQ(st.TakeForUndo(), nullptr);
    EXPECT_EQ(st.TakeForRedo(), nullptr);
    for (int i = 0; i < TDOChangeStack::kCapacity; ++i)
        EXPECT_EQ(st.slot(i).type, ChangeType::None);
}

TEST(ChangeStack, HundredThirtyRecordsLeave128Undoable)
{
    TDOChangeStack st;
    for (int i = 1; i <= 130; ++i)
        st.Record(ChangeType::Insert, uint64_t(i), nullptr, nullptr, {}, QByteArray::number(i));
    EXPECT_EQ(st.undoCount(), 128);
    for (int i = 130; i >= 3; --i) {
        const ChangeEntry *e = st.TakeForUndo();
        ASSERT_NE(e, nullptr) << i;
        EXPECT_EQ(e->control, uint64_t(i));
        EXPECT_EQ(e->newRecord, QByteArray::number(i));
    }
    EXPECT_FALSE(st.CanUndo());
    EXPECT_EQ(st.TakeForUndo(), nullptr); // the 129th undo does nothing
    EXPECT_EQ(st.redoCount(), 128);
    // Everything can be redone in order.
    for (int i = 3; i <= 130; ++i)
        EXPECT_EQ(st.TakeForRedo()->control, uint64_t(i));
    EXPECT_FALSE(st.CanRedo());
    EXPECT_EQ(st.undoCount(), 128);
}

TEST(ChangeStack, RecordingAfterUndoDiscardsTheRedoBranch)
{
    TDOChangeStack st;
    for (uint64_t c : {1, 2, 3}) // A B C
        st.Record(ChangeType::Delete, c, nullptr, nullptr, {}, {});
    st.TakeForUndo();
    st.TakeForUndo();
    st.Record(ChangeType::Delete, 4, nullptr, nullptr, {}, {}); // D
    EXPECT_FALSE(st.CanRedo());
    EXPECT_EQ(st.TakeForUndo()->control, 4u);
    EXPECT_EQ(st.TakeForUndo()->control, 1u);
    EXPECT_EQ(st.TakeForUndo(), nullptr);
    EXPECT_EQ(st.TakeForRedo()->control, 1u);
    EXPECT_EQ(st.TakeForRedo()->control, 4u);
    EXPECT_EQ(st.TakeForRedo(), nullptr);
}

TEST(ChangeStack, EntriesCopyRectanglesReplaceControlAndClear)
{
    TDOChangeStack st;
    UnitRect a{1, 2, 3, 4}, b{5, 6, 7, 8};
    st.Record(ChangeType::Bounds, 7, &a, &b, {}, {});
    st.Record(ChangeType::Properties, 9, nullptr, nullptr, "old", "new");
    st.Record(ChangeType::Bounds, 7, &b, &a, {}, {});
    a.left = 99; // the entry holds its own copy
    st.ReplaceControl(7, 70);
    const ChangeEntry *e = st.TakeForUndo();
    EXPECT_EQ(e->control, 70u);
    EXPECT_EQ(e->oldBounds, (UnitRect{5, 6, 7, 8}));
    EXPECT_EQ(st.TakeForUndo()->oldRecord, QByteArray("old"));
    e = st.TakeForUndo();
    EXPECT_EQ(e->control, 70u);
    EXPECT_EQ(e->oldBounds, (UnitRect{1, 2, 3, 4}));
    EXPECT_TRUE(e->oldRecord.isNull());
    st.Clear();
    EXPECT_FALSE(st.CanUndo());
    EXPECT_FALSE(st.CanRedo());
    EXPECT_EQ(st.position(), 0);
    EXPECT_EQ(st.slot(0).type, ChangeType::None);
    EXPECT_TRUE(st.slot(1).newRecord.isNull());
}

// ---------------------------------------------------------------- undo and redo

TEST(UndoRedo, InsertMoveUndoUndoRedoRedo)
{
    Design d;
    d.m.SwitchRegion(-1, -1, 0, 0, 100);
    d.m.NewBox(200, 150); // something underneath
    SurfaceItem *t = d.m.NewText(10, 10);
    d.m.RecordInsert(t, 100);
    const UnitRect before = TObjectManager::unitRectOf(t, 100);
    t->setPosition(40, 60);
    d.m.RecordBounds(t, before, 100);

    ASSERT_TRUE(d.m.Undo(100));
    EXPECT_EQ(t->bounds(), QRect(10, 10, 120, 30));
    ASSERT_TRUE(d.m.Undo(100));
    EXPECT_EQ(d.surface.count(), 1); // the insertion is gone
    EXPECT_FALSE(d.m.changes().CanUndo());

    ASSERT_TRUE(d.m.Redo(100));
    ASSERT_EQ(d.surface.count(), 2);
    SurfaceItem *back = d.surface.itemAt(1); // on top
    EXPECT_EQ(back->name(), QStringLiteral("Text1"));
    EXPECT_EQ(back->bounds(), QRect(10, 10, 120, 30));
    ASSERT_TRUE(d.m.Redo(100));
    EXPECT_EQ(back->bounds(), QRect(40, 60, 120, 30)); // the move follows the new control
    EXPECT_FALSE(d.m.Redo(100));
    // And both entries now name the new control.
    ASSERT_TRUE(d.m.Undo(100));
    EXPECT_EQ(back->bounds(), QRect(10, 10, 120, 30));
    ASSERT_TRUE(d.m.Undo(100));
    EXPECT_EQ(d.surface.count(), 1);
}

TEST(UndoRedo, PropertyUndoRestoresBoundsFromTheOldRecord)
{
    Design d;
    SurfaceItem *t = d.m.NewText(10, 20);
    const QByteArray old = t->data()->toRecord(100);
    t->setBounds(50, 60, 200, 40);
    t->data()->ColorFG = 0x0000FF;
    t->data()->Lines = QStringList{QStringLiteral("changed")};
    d.m.RecordProperties(t, old, 100);

    ASSERT_TRUE(d.m.Undo(100));
    EXPECT_EQ(t->bounds(), QRect(10, 20, 120, 30));
    EXPECT_EQ(t->data()->ColorFG, 0u);
    EXPECT_EQ(t->data()->Lines, QStringList{"Text"});
    EXPECT_EQ(t->data()->Control, t);
    ASSERT_TRUE(d.m.Redo(100));
    EXPECT_EQ(t->bounds(), QRect(50, 60, 200, 40));
    EXPECT_EQ(t->data()->ColorFG, 0x0000FFu);
    EXPECT_EQ(t->data()->Lines, QStringList{"changed"});
}

TEST(UndoRedo, PictureChangeOfAGraphicIsUndone)
{
    Design d;
    const plat::Picture first = plat::Picture::bitmap(samples::tinyBmp(1));
    SurfaceItem *g = d.m.NewGraphic(&first, 5, 5, true);
    const QByteArray old = g->data()->toRecord(100);
    g->setPicture(plat::Picture::metafile(samples::tinyEmf()));
    d.m.RecordProperties(g, old, 100);
    ASSERT_TRUE(d.m.Undo(100));
    EXPECT_EQ(g->picture(), first);
    ASSERT_TRUE(d.m.Redo(100));
    EXPECT_TRUE(g->picture().isMetafile());
}

TEST(UndoRedo, DeleteComesBackOnTopAndGoesAgain)
{
    Design d;
    SurfaceItem *a = d.m.NewEllipse(1, 2);
    a->data()->ColorBG = 0x123456;
    d.m.NewBox(3, 4);
    d.m.RecordDelete(a, 100);
    d.surface.removeItem(a);
    ASSERT_TRUE(d.m.Undo(100));
    ASSERT_EQ(d.surface.count(), 2);
    SurfaceItem *back = d.surface.itemAt(1);
    EXPECT_EQ(back->data()->Kind, 'C');
    EXPECT_EQ(back->data()->ColorBG, 0x123456u);
    EXPECT_EQ(back->bounds(), QRect(1, 2, 120, 30));
    ASSERT_TRUE(d.m.Redo(100));
    EXPECT_EQ(d.surface.count(), 1);
    EXPECT_EQ(d.surface.itemAt(0)->data()->Kind, 'B');
}

TEST(UndoRedo, BoundsFollowTheZoomWithTruncation)
{
    Design d;
    SurfaceItem *b = d.m.NewBox(0, 0);
    b->setBounds(15, 15, 75, 45); // at 150 %: units 10, 10, 50, 30
    const UnitRect before = TObjectManager::unitRectOf(b, 150);
    EXPECT_EQ(before, (UnitRect{10, 10, 60, 40}));
    b->setBounds(31, 31, 31, 31);
    d.m.RecordBounds(b, before, 150);
    EXPECT_EQ(d.m.changes().slot(0).newBounds, (UnitRect{20, 20, 41, 41}));
    d.m.Undo(150);
    EXPECT_EQ(b->bounds(), QRect(15, 15, 75, 45));
    d.m.Redo(150);
    EXPECT_EQ(b->bounds(), QRect(30, 30, 31, 31)); // trunc(20 * 1.5), trunc(21 * 1.5)
}

// ---------------------------------------------------------------- the surface

TEST(Surface, RescaleIsProportionalAndRounds)
{
    SurfaceModel s;
    s.setSize(QSize(350, 200));
    SurfaceItem *a = s.addItem(SurfaceItem::Type::PaintBox);
    a->setBounds(11, 21, 121, 31);
    s.rescale(150, 100);
    EXPECT_EQ(s.size(), QSize(525, 300));
    EXPECT_EQ(a->bounds(), QRect(17, 32, 181, 46)); // edges 16.5->17, 31.5->32, 198, 78
    s.rescale(100, 150);
    EXPECT_EQ(s.size(), QSize(350, 200));
    EXPECT_EQ(a->bounds(), QRect(11, 21, 121, 31));
    s.rescale(3, 0); // nothing
    EXPECT_EQ(s.size(), QSize(350, 200));
}

TEST(Surface, HostileBoundsAreClampedWithoutOverflow)
{
    SurfaceModel s;
    s.setSize(QSize(INT_MAX, INT_MAX));
    SurfaceItem *a = s.addItem(SurfaceItem::Type::PaintBox);
    a->setBounds(INT_MAX, INT_MIN, INT_MAX, -5);
    EXPECT_GT(a->bounds().right(), 0);
    EXPECT_EQ(a->height(), 0);
    s.rescale(10000, 25);
    EXPECT_GT(a->left(), 0);
    EXPECT_GE(a->width(), 0);
    EXPECT_EQ(a->bounds().right(), a->left() + a->width() - 1);

    // A record whose numbers reach the int limits, pasted with keep-in-view.
    QByteArray rec = textRecord(QStringLiteral("x"), 0);
    plat::putU32(rec.data() + Rec::Left, 0x7FFFFFFF);
    plat::putU32(rec.data() + Rec::Top, 0x80000000u);
    plat::putU32(rec.data() + Rec::Width, 0x80000000u);
    plat::putU32(rec.data() + Rec::Height, 0x7FFFFFFF);
    SurfaceModel small;
    small.setSize(QSize(350, 200));
    SurfaceItem *p = small.addItem(SurfaceItem::Type::PaintBox);
    p->setData(std::make_unique<TObjectData>(p, rec.constData(), 10000, true));
    EXPECT_LT(p->left(), 350);
    EXPECT_GE(p->width(), 0);
}
