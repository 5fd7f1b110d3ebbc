// Direct manipulation in a real document window: the mouse and keys reach the design
// surface as synthesized events, and the commands are the main window's actions.
#include "app/ui/MainForm.h"
#include "document/ui/DocumentEditing.h"
#include "document/ui/MDIChildForm.h"
#include "editing/StretchHandle.h"
#include "editing/ui/AlignForm.h"
#include "editing/ui/CardPanelView.h"
#include "model/ClipboardBlock.h"
#include "platform/bmp/BmpCodec.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "TestSupport.h"

using app::TMainForm;
using document::TMDIChildForm;
using model::SurfaceItem;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QRect &r, std::ostream *os)
{
    *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}

namespace {

// Answers every modal dialog that comes up while it lives: message boxes with `answer`,
// any other dialog by rejecting it; records what it saw.
class ModalAnswerer : public QObject {
public:
    explicit ModalAnswerer(QMessageBox::StandardButton answer) : m_answer(answer)
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }
    QStringList texts;

private:
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            texts << box->text();
            if (QAbstractButton *b = box->button(m_answer))
                b->click();
            else
                box->reject();
        } else if (auto *dlg = qobject_cast<QDialog *>(w)) {
            texts << dlg->metaObject()->className();
            dlg->reject();
        }
    }
    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};

class EditingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(testsupport::privateHome().isEmpty());
        form = std::make_unique<TMainForm>();
        form->options().ShowDesignWizard = false;
        form->options().SnapToGrid = false;
        form->show();
        QApplication::processEvents();
        doc = form->newBlankDocument(TMainForm::defaultBusinessCardLayout());
        ASSERT_NE(doc, nullptr);
        QApplication::processEvents();
        panel = doc->cardPanel();
        ASSERT_EQ(panel->size(), QSize(350, 200));
        static const auto original = document::pickPictureHook; // kept before the first test replaces it
        defaultPicker = original;
        document::pickPictureHook = [](QWidget *) { return plat::Picture(); };
    }
    void TearDown() override
    {
        if (doc)
            doc->doc()->setModified(false);
        form.reset();
    }

    QAction *act(const char *name)
    {
        QAction *a = form->findChild<QAction *>(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    void setGrid(int step)
    {
        form->options().SnapToGrid = step > 1;
        form->options().GridSize = step;
        doc->applyOptions();
    }
    SurfaceItem *insert(const char *tool, QPoint at)
    {
        act(tool)->trigger();
        const int before = doc->objectCount();
        QTest::mouseClick(panel, Qt::LeftButton, {}, at);
        EXPECT_EQ(doc->objectCount(), before + 1) << tool;
        return doc->doc()->surface()->items().back().get();
    }
    void press(QPoint p, Qt::KeyboardModifiers mods = {})
    {
        QTest::mousePress(panel, Qt::LeftButton, mods, p);
        buttons = Qt::LeftButton;
    }
    // Moves go straight to the surface with the button state of the last press, wherever
    // the surface sits in the window (the window system's pointer may not reach it).
    void move(QPoint p)
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(panel->mapToGlobal(p)), Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(panel, &e);
    }
    void release(QPoint p)
    {
        QTest::mouseRelease(panel, Qt::LeftButton, {}, p);
        buttons = Qt::NoButton;
    }
    void drag(QPoint from, QPoint to)
    {
        move(from);
        press(from);
        move(to);
        release(to);
    }
    int undoCount() { return doc->doc()->manager()->changes().undoCount(); }
    editing::TStretchHandle *handles() { return doc->handles(); }

    std::unique_ptr<TMainForm> form;
    TMDIChildForm *doc = nullptr;
    editing::CardPanelView *panel = nullptr;
    Qt::MouseButtons buttons = Qt::NoButton;
    std::function<plat::Picture(QWidget *)> defaultPicker;
};

} // namespace

TEST_F(EditingTest, EveryToolInsertsItsObjectAndReturnsToSelect)
{
    struct Case { const char *tool; char kind; };
    const Case cases[] = {{"TextMI", 'T'}, {"LineMI", 'L'}, {"BoxMI", 'B'}, {"RoundBoxMI", 'R'}, {"EllipseMI", 'C'}};
    int n = 0;
    for (const Case &c : cases) {
        SurfaceItem *it = insert(c.tool, QPoint(20 + 10 * n, 30 + 10 * n));
        ++n;
        ASSERT_NE(it->data(), nullptr);
        EXPECT_EQ(it->data()->Kind, c.kind);
        EXPECT_EQ(it->bounds(), QRect(10 + 10 * n, 20 + 10 * n, 120, 30));
        EXPECT_EQ(doc->selection()->single(), it) << "the new object is the whole selection";
        EXPECT_TRUE(act("SelectMI")->isChecked());
        EXPECT_EQ(undoCount(), n);
        EXPECT_EQ(doc->doc()->manager()->changes().slot(n - 1).type, model::ChangeType::Insert);
    }
    EXPECT_TRUE(doc->isModified());
    auto *list = form->findChild<QComboBox *>(QStringLiteral("ObjectCombo"));
    ASSERT_EQ(list->count(), 5);
    for (int i = 1; i < list->count(); ++i)
        EXPECT_LE(list->itemText(i - 1).compare(list->itemText(i), Qt::CaseInsensitive), 0);
    EXPECT_EQ(list->currentText(), doc->selection()->single()->name());

    // With SelectReturn off one tool inserts again and again; clicking an object with it
    // inserts a new one there.
    form->options().SelectReturn = false;
    act("TextMI")->trigger();
    EXPECT_EQ(doc->selectedCount(), 0) << "pressing a tool empties the selection";
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(300, 150));
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(25, 35));
    EXPECT_EQ(doc->objectCount(), 7);
    EXPECT_TRUE(act("TextMI")->isChecked());
    EXPECT_EQ(doc->doc()->surface()->items().back()->bounds().topLeft(), QPoint(25, 35));

    // The graphic tool asks for a picture; cancelling inserts nothing.
    act("GraphicMI")->trigger();
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(200, 20));
    EXPECT_EQ(doc->objectCount(), 7);
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::red);
    const plat::Picture pic = plat::Picture::bitmap(plat::bmp::encodeBmpFile(img, 24));
    document::pickPictureHook = [pic](QWidget *) { return pic; };
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(200, 20));
    ASSERT_EQ(doc->objectCount(), 8);
    SurfaceItem *g = doc->doc()->surface()->items().back().get();
    EXPECT_EQ(g->type(), SurfaceItem::Type::Image);
    EXPECT_EQ(g->bounds(), QRect(200, 20, 100, 100));
    EXPECT_EQ(g->picture(), pic);
    EXPECT_EQ(undoCount(), 8);
}

TEST_F(EditingTest, DragsMoveAndResizeWithTheGrid)
{
    struct Case {
        const char *what;
        int grid;
        QPoint objectAt;
        QPoint from, to;
        QRect expected;
    };
    const Case cases[] = {
        {"move by (17, 9), grid 1", 1, {50, 50}, {100, 60}, {117, 69}, {67, 59, 120, 30}},
        {"move by (17, 9) from (16, 16), grid 8", 8, {16, 16}, {60, 25}, {77, 34}, {32, 24, 120, 30}},
        {"right mid-edge square by 10, grid 1", 1, {50, 50}, {171, 65}, {181, 65}, {50, 50, 130, 30}},
        {"right mid-edge square by 10, grid 8", 8, {48, 48}, {169, 63}, {179, 63}, {48, 48, 128, 30}},
        {"top-left square past the opposite corner", 1, {50, 50}, {49, 49}, {250, 150}, {251, 151, 0, 0}},
    };
    for (const Case &c : cases) {
        doc->SelectAll();
        doc->Delete();
        doc->doc()->manager()->changes().Clear();
        setGrid(c.grid);
        SurfaceItem *it = insert("TextMI", c.objectAt);
        ASSERT_EQ(it->bounds(), QRect(c.objectAt, QSize(120, 30))) << c.what;
        const int before = undoCount();
        drag(c.from, c.to);
        EXPECT_EQ(it->bounds(), c.expected) << c.what;
        ASSERT_EQ(undoCount(), before + 1) << c.what;
        const model::ChangeEntry &e = doc->doc()->manager()->changes().slot(before);
        EXPECT_EQ(e.type, model::ChangeType::Bounds);
        EXPECT_EQ(e.control, it->id());
        EXPECT_EQ(e.oldBounds, (model::UnitRect{c.objectAt.x(), c.objectAt.y(), c.objectAt.x() + 120, c.objectAt.y() + 30}));
        EXPECT_EQ(e.newBounds, (model::UnitRect{c.expected.x(), c.expected.y(), c.expected.right() + 1, c.expected.bottom() + 1}));
    }
}

TEST_F(EditingTest, ClickWithoutMovementMarksModifiedButRecordsNothing)
{
    SurfaceItem *it = insert("TextMI", QPoint(50, 50));
    doc->doc()->setModified(false);
    const int before = undoCount();
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(100, 60));
    EXPECT_EQ(it->bounds(), QRect(50, 50, 120, 30));
    EXPECT_EQ(undoCount(), before);
    EXPECT_TRUE(doc->isModified());

    // A drag that comes back to where it started records nothing either.
    doc->doc()->setModified(false);
    move(QPoint(100, 60));
    press(QPoint(100, 60));
    move(QPoint(130, 90));
    move(QPoint(100, 60));
    release(QPoint(100, 60));
    EXPECT_EQ(it->bounds(), QRect(50, 50, 120, 30));
    EXPECT_EQ(undoCount(), before);
    EXPECT_TRUE(doc->isModified());
}

TEST_F(EditingTest, ShiftClickAddsAndLockedObjectsStayPutUntilSelectAll)
{
    SurfaceItem *a = insert("TextMI", QPoint(20, 20));
    SurfaceItem *b = insert("BoxMI", QPoint(200, 120));
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(300, 190)); // empty surface
    EXPECT_EQ(doc->selectedCount(), 0);
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(doc->selection()->single(), a);
    EXPECT_EQ(handles()->grabSquares().size(), 8);
    EXPECT_EQ(handles()->squareColor(), 0u);
    QTest::mouseClick(panel, Qt::LeftButton, Qt::ShiftModifier, QPoint(210, 130));
    QTest::mouseClick(panel, Qt::LeftButton, Qt::ShiftModifier, QPoint(210, 130));
    EXPECT_EQ(doc->selectedCount(), 2);
    EXPECT_EQ(handles()->grabSquares().size(), 8) << "four per object";
    EXPECT_EQ(handles()->squareColor(), 255u) << "red for several";

    b->data()->Flags |= model::ObjectFlag::Locked;
    // A click on an object that is already selected goes to the frame and keeps the
    // selection as it is; start afresh.
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(300, 190));
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(210, 130));
    EXPECT_TRUE(handles()->Locked);
    drag(QPoint(210, 130), QPoint(227, 139));
    EXPECT_EQ(b->bounds().topLeft(), QPoint(200, 120));
    QTest::keyClick(panel, Qt::Key_Right);
    EXPECT_EQ(b->bounds().topLeft(), QPoint(200, 120));
    // Shift-clicking an unlocked object keeps the selection locked.
    QTest::mouseClick(panel, Qt::LeftButton, Qt::ShiftModifier, QPoint(30, 30));
    EXPECT_TRUE(handles()->Locked);

    act("SelectAllMI")->trigger();
    EXPECT_EQ(doc->selectedCount(), 2);
    EXPECT_FALSE(handles()->Locked);
    drag(QPoint(210, 130), QPoint(227, 139));
    EXPECT_EQ(b->bounds().topLeft(), QPoint(217, 129));
    EXPECT_EQ(a->bounds().topLeft(), QPoint(37, 29));

    act("SelectNoneMI")->trigger();
    EXPECT_EQ(doc->selectedCount(), 0);
    EXPECT_FALSE(act("CutMI")->isEnabled());
}

TEST_F(EditingTest, ArrowKeysAndTheHistoryLimit)
{
    SurfaceItem *it = insert("TextMI", QPoint(50, 50));
    setGrid(8);
    doc->doc()->manager()->changes().Clear();
    doc->doc()->setModified(false);
    for (int i = 0; i < 130; ++i)
        QTest::keyClick(panel, Qt::Key_Right);
    EXPECT_EQ(it->left(), 180) << "one pixel a key, no grid";
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(undoCount(), 128);
    for (int i = 0; i < 128; ++i) {
        ASSERT_TRUE(act("UndoMI")->isEnabled()) << i;
        act("UndoMI")->trigger();
    }
    EXPECT_EQ(it->left(), 52);
    EXPECT_FALSE(act("UndoMI")->isEnabled());
    EXPECT_FALSE(doc->Undo()) << "the 129th undo does nothing";
    EXPECT_EQ(it->left(), 52);
    EXPECT_TRUE(act("RedoMI")->isEnabled());
}

TEST_F(EditingTest, InsertMoveUndoTwiceRedoTwice)
{
    SurfaceItem *it = insert("TextMI", QPoint(50, 50));
    const QString firstName = it->name();
    drag(QPoint(100, 60), QPoint(117, 69));
    ASSERT_EQ(it->bounds().topLeft(), QPoint(67, 59));
    insert("BoxMI", QPoint(250, 150)); // something underneath the rebuilt object
    act("UndoMI")->trigger();
    act("UndoMI")->trigger();
    act("UndoMI")->trigger();
    EXPECT_EQ(doc->objectCount(), 0);
    EXPECT_EQ(doc->selectedCount(), 0);
    act("RedoMI")->trigger();
    act("RedoMI")->trigger();
    ASSERT_EQ(doc->objectCount(), 1);
    SurfaceItem *again = doc->doc()->surface()->items().back().get();
    EXPECT_EQ(again->bounds(), QRect(67, 59, 120, 30)) << "the redone move follows the rebuilt object";
    EXPECT_NE(again->name(), firstName);
    auto *list = form->findChild<QComboBox *>(QStringLiteral("ObjectCombo"));
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(list->itemText(0), again->name());
}

TEST_F(EditingTest, RecordUndoTwiceRecordAgainDropsTheRedo)
{
    SurfaceItem *a = insert("TextMI", QPoint(10, 10));
    insert("TextMI", QPoint(10, 60));
    insert("TextMI", QPoint(10, 110));
    act("UndoMI")->trigger();
    act("UndoMI")->trigger();
    insert("BoxMI", QPoint(200, 100));
    EXPECT_FALSE(act("RedoMI")->isEnabled());
    act("UndoMI")->trigger();
    EXPECT_EQ(doc->objectCount(), 1);
    act("UndoMI")->trigger();
    EXPECT_EQ(doc->objectCount(), 0);
    EXPECT_FALSE(act("UndoMI")->isEnabled());
    (void)a;
}

TEST_F(EditingTest, CutPasteRoundTripAndDeletePrompt)
{
    SurfaceItem *a = insert("TextMI", QPoint(20, 30));
    a->data()->Lines = QStringList{QStringLiteral("Alpha")};
    insert("EllipseMI", QPoint(150, 90));
    act("SelectAllMI")->trigger();
    doc->doc()->setModified(false);
    {
        ModalAnswerer never(QMessageBox::No);
        act("CutMI")->trigger();
        EXPECT_TRUE(never.texts.isEmpty()) << "Cut never asks";
    }
    EXPECT_EQ(doc->objectCount(), 0);
    EXPECT_TRUE(doc->isModified());
    ASSERT_TRUE(QApplication::clipboard()->mimeData()->hasFormat(model::ClipboardBlock::MimeType));
    EXPECT_TRUE(act("PasteMI")->isEnabled());
    const int before = undoCount();
    act("PasteMI")->trigger();
    ASSERT_EQ(doc->objectCount(), 2);
    EXPECT_EQ(doc->selectedCount(), 2);
    const auto &items = doc->doc()->surface()->items();
    EXPECT_EQ(items[0]->bounds(), QRect(20, 30, 120, 30));
    EXPECT_EQ(items[0]->data()->Lines, QStringList{QStringLiteral("Alpha")});
    EXPECT_EQ(items[1]->bounds(), QRect(150, 90, 120, 30));
    EXPECT_EQ(items[1]->data()->Kind, 'C');
    EXPECT_EQ(undoCount(), before + 2);

    // Delete asks; No keeps everything.
    form->options().PromptOnDelete = true;
    {
        ModalAnswerer no(QMessageBox::No);
        act("DeleteMI")->trigger();
        ASSERT_EQ(no.texts.size(), 1);
        EXPECT_EQ(no.texts[0], QStringLiteral("Delete the selected object(s).\n\nAre you sure?"));
    }
    EXPECT_EQ(doc->objectCount(), 2);
    EXPECT_EQ(doc->selectedCount(), 2);
    {
        ModalAnswerer yes(QMessageBox::Yes);
        act("DeleteMI")->trigger();
    }
    EXPECT_EQ(doc->objectCount(), 0);
    act("UndoMI")->trigger();
    act("UndoMI")->trigger();
    EXPECT_EQ(doc->objectCount(), 2) << "each deleted object comes back with its own undo";
}

TEST_F(EditingTest, PasteKeepsUnitsAcrossZoomsAndPullsObjectsIntoView)
{
    doc->SetZoom(200, false);
    SurfaceItem *a = insert("TextMI", QPoint(100, 60)); // 0.50 x 0.30 inch at 200 %
    insert("BoxMI", QPoint(300, 200));
    act("SelectAllMI")->trigger();
    act("CopyMI")->trigger();
    (void)a;
    TMDIChildForm *other = form->newBlankDocument(TMainForm::defaultBusinessCardLayout());
    ASSERT_NE(other, nullptr);
    other->SetZoom(50, false);
    ASSERT_EQ(other->Paste(), 2);
    const auto &items = other->doc()->surface()->items();
    EXPECT_EQ(items[0]->bounds().topLeft(), QPoint(25, 15));
    EXPECT_EQ(items[1]->bounds().topLeft(), QPoint(75, 50));
    EXPECT_EQ(other->doc()->manager()->changes().undoCount(), 2);
    EXPECT_TRUE(other->isModified());
    other->doc()->setModified(false);

    // A record placed beyond the right edge lands 25 pixels inside it.
    other->SetZoom(100, false);
    model::TObjectManager scratchManager(other->doc()->surface());
    SurfaceItem *far = scratchManager.NewBox(0, 0);
    far->setBounds(500, 20, 40, 20);
    const QByteArray block = model::ClipboardBlock::build({far->data()->toRecord(100)});
    other->doc()->surface()->removeItem(far);
    auto *mime = new QMimeData;
    mime->setData(model::ClipboardBlock::MimeType, block);
    QApplication::clipboard()->setMimeData(mime);
    ASSERT_EQ(other->Paste(), 1);
    EXPECT_EQ(other->doc()->surface()->items().back()->left(), 350 - 40 - 25);
    other->doc()->setModified(false);
}

TEST_F(EditingTest, PasteTextPictureAndBadBlocks)
{
    QApplication::clipboard()->setText(QString(1500, QLatin1Char('x')));
    ASSERT_EQ(doc->Paste(), 1);
    SurfaceItem *t = doc->selection()->single();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->bounds().topLeft(), QPoint(10, 10));
    ASSERT_EQ(t->data()->Lines.size(), 1);
    EXPECT_EQ(t->data()->Lines[0].size(), 1023);

    QImage img(6, 3, QImage::Format_RGB32);
    img.fill(Qt::blue);
    QApplication::clipboard()->setImage(img);
    ASSERT_EQ(doc->Paste(), 1);
    SurfaceItem *g = doc->selection()->single();
    EXPECT_EQ(g->type(), SurfaceItem::Type::Image);
    EXPECT_EQ(g->bounds(), QRect(10, 10, 100, 100));
    EXPECT_EQ(plat::bmp::decodeBmpFile(g->picture().bytes()).size(), QSize(6, 3));

    // A single graphic is copied as a picture, not as an object.
    act("CopyMI")->trigger();
    EXPECT_TRUE(QApplication::clipboard()->mimeData()->hasImage());
    EXPECT_FALSE(QApplication::clipboard()->mimeData()->hasFormat(model::ClipboardBlock::MimeType));

    struct Case { QByteArray block; const char *message; };
    QByteArray wrong = model::ClipboardBlock::build({});
    wrong[0] = char(0x59); // 601
    const Case cases[] = {{wrong, "ERROR: Wrong version"}, {QByteArray("\x58\x02\0\0\x01", 5), "ERROR: Cannot Lock Data"}};
    for (const Case &c : cases) {
        auto *mime = new QMimeData;
        mime->setData(model::ClipboardBlock::MimeType, c.block);
        QApplication::clipboard()->setMimeData(mime);
        const int before = doc->objectCount();
        ModalAnswerer ok(QMessageBox::Ok);
        EXPECT_EQ(doc->Paste(), 0);
        EXPECT_EQ(ok.texts, QStringList{QLatin1String(c.message)});
        EXPECT_EQ(doc->objectCount(), before);
    }

    // A picture that cannot be read leaves no graphic behind.
    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("image/x-emf"), QByteArray("not a metafile"));
    QApplication::clipboard()->setMimeData(mime);
    const int before = doc->objectCount();
    ModalAnswerer ok(QMessageBox::Ok);
    EXPECT_EQ(doc->Paste(), 0);
    EXPECT_EQ(ok.texts, QStringList{QStringLiteral("Error pasting clipboard data.")});
    EXPECT_EQ(doc->objectCount(), before);
    doc->doc()->setModified(false);
}

TEST_F(EditingTest, AlignmentCommandsRecordOneEntryPerObject)
{
    SurfaceItem *a = insert("BoxMI", QPoint(10, 20));
    SurfaceItem *b = insert("BoxMI", QPoint(100, 80));
    SurfaceItem *c = insert("BoxMI", QPoint(30, 150));
    act("SelectAllMI")->trigger();
    for (SurfaceItem *it : {a, b, c})
        it->setBounds(it->left(), it->top(), 20, 10);
    // Frame as Select All built it from the 120-wide boxes: left 8, width 215.
    doc->doc()->setModified(false);
    const int before = undoCount();
    act("AlignGroupHSpaceBtnAction")->trigger();
    EXPECT_EQ(undoCount(), before + 3) << "also for the objects that did not move";
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(a->left(), 10);
    EXPECT_EQ(c->left(), 105); // sorted a, c, b: d = (215 - 60) / 2 = 77.5; trunc(8 + 20 + 77.5)
    EXPECT_EQ(b->left(), 100);

    act("AlignGroupLeftBtnAction")->trigger();
    for (SurfaceItem *it : {a, b, c})
        EXPECT_EQ(it->left(), 8);
    act("UndoMI")->trigger();
    act("UndoMI")->trigger();
    act("UndoMI")->trigger();
    EXPECT_EQ(c->left(), 105);

    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(15, 25));
    ASSERT_EQ(doc->selection()->single(), a);
    act("AlignLeftBtnAction")->trigger();
    EXPECT_EQ(a->left(), 10);
    act("FitToMarginsMI")->trigger();
    EXPECT_EQ(a->bounds(), QRect(10, 10, 329, 179));
    act("SendtoBackMI")->trigger();
    EXPECT_EQ(doc->doc()->surface()->itemAt(0), a);
}

TEST_F(EditingTest, MarginsDialogRefusesTextAndStoresWhatIsTyped)
{
    QStringList errors;
    bool typedLetters = false;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget *w = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            errors << box->text();
            box->accept();
            return;
        }
        if (!w || w->objectName() != QLatin1String("MarginForm"))
            return;
        auto *left = w->findChild<QLineEdit *>(QStringLiteral("LeftEdit"));
        if (!typedLetters) {
            EXPECT_EQ(left->text(), QLocale().toString(0.08, 'f', 4));
            left->setText(QStringLiteral("abc"));
            typedLetters = true;
            // Clicked once this slot has returned, so the timer can answer the error box.
            QMetaObject::invokeMethod(w->findChild<QPushButton *>(QStringLiteral("OkBtn")), "click", Qt::QueuedConnection);
            return;
        }
        left->setText(QLocale().toString(1.5, 'f', 1));
        w->findChild<QLineEdit *>(QStringLiteral("TopEdit"))->setText(QStringLiteral("10"));
        w->findChild<QPushButton *>(QStringLiteral("OkBtn"))->click();
    });
    timer.start();
    act("MarginsMI")->trigger();
    timer.stop();
    EXPECT_EQ(errors, QStringList{QStringLiteral("Please enter valid margin settings before clicking OK.\n\n"
                                                 "The left margin must be a number.")});
    const model::SurfaceModel *s = doc->doc()->surface();
    EXPECT_EQ(s->marginLeft(), 150);
    EXPECT_EQ(s->marginTop(), 1000);
    EXPECT_EQ(s->marginRight(), 8);
    EXPECT_TRUE(doc->isModified());
}

TEST_F(EditingTest, StatusBarObjectListAndBackgroundDoubleClick)
{
    auto *status = form->findChild<QLabel *>(QStringLiteral("StatusPanel0"));
    ASSERT_NE(status, nullptr);
    move(QPoint(150, 75));
    EXPECT_EQ(status->text(), QStringLiteral("150 , 75"));
    doc->SetZoom(200, false);
    move(QPoint(200, 100));
    EXPECT_EQ(status->text(), QStringLiteral("100 , 50"));
    doc->SetZoom(100, false);

    SurfaceItem *a = insert("TextMI", QPoint(50, 50));
    SurfaceItem *b = insert("BoxMI", QPoint(200, 100));
    move(QPoint(210, 110)); // over the selected box: the frame's corner
    EXPECT_EQ(status->text(), QStringLiteral("198 , 98"));

    auto *list = form->findChild<QComboBox *>(QStringLiteral("ObjectCombo"));
    const int index = list->findText(a->name());
    ASSERT_GE(index, 0);
    list->setCurrentIndex(index);
    emit list->activated(index);
    EXPECT_EQ(doc->selection()->single(), a);
    (void)b;

    ModalAnswerer any(QMessageBox::Cancel);
    QTest::mouseDClick(panel, Qt::LeftButton, {}, QPoint(300, 180));
    ASSERT_EQ(any.texts.size(), 1) << "the Background command opens the picture dialog";
    EXPECT_EQ(any.texts[0], QStringLiteral("pictures::TPickPicForm"));
}

TEST_F(EditingTest, AlignDialogAppliesEachChoiceAsItsOwnOperation)
{
    SurfaceItem *a = insert("BoxMI", QPoint(50, 20));
    SurfaceItem *b = insert("BoxMI", QPoint(80, 100));
    act("SelectAllMI")->trigger();
    const int before = undoCount();
    QTimer::singleShot(50, [] {
        QWidget *w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        ASSERT_EQ(w->objectName(), QStringLiteral("AlignForm"));
        auto *form = static_cast<editing::TAlignForm *>(w);
        form->setItemIndex(QStringLiteral("HGroup"), 1);      // frame to the left margin
        form->setItemIndex(QStringLiteral("VGroupGroup"), 1); // tops to the frame's top
        w->findChild<QPushButton *>(QStringLiteral("OkBtn"))->click();
    });
    act("AlignMI")->trigger();
    EXPECT_EQ(a->bounds().topLeft(), QPoint(10, 18));
    EXPECT_EQ(b->bounds().topLeft(), QPoint(40, 18));
    EXPECT_EQ(undoCount(), before + 4) << "two operations, one entry per object each";

    QTimer::singleShot(50, [] {
        if (QWidget *w = QApplication::activeModalWidget())
            static_cast<QDialog *>(w)->reject();
    });
    act("AlignMI")->trigger();
    EXPECT_EQ(undoCount(), before + 4) << "cancel changes nothing";
}

TEST_F(EditingTest, ClickOnAnUnselectedObjectGoesStraightOnIntoADrag)
{
    SurfaceItem *a = insert("TextMI", QPoint(50, 50));
    insert("BoxMI", QPoint(200, 120)); // now the selection
    const int before = undoCount();
    press(QPoint(60, 60));
    EXPECT_EQ(doc->selection()->single(), a);
    // The frame takes the mouse at once; the drag counts from the first move it sees.
    move(QPoint(65, 65));
    move(QPoint(80, 70));
    release(QPoint(80, 70));
    EXPECT_EQ(a->bounds().topLeft(), QPoint(65, 55));
    EXPECT_EQ(undoCount(), before + 1);
    move(QPoint(300, 190)); // button up: the frame lets the mouse go
    EXPECT_FALSE(handles()->hasCapture());
}

TEST_F(EditingTest, GraphicToolAsksThePictureDialog)
{
    document::pickPictureHook = defaultPicker;
    act("GraphicMI")->trigger();
    ModalAnswerer cancel(QMessageBox::Cancel);
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_EQ(cancel.texts, QStringList{QStringLiteral("pictures::TPickPicForm")});
    EXPECT_EQ(doc->objectCount(), 0) << "cancel inserts nothing";
    EXPECT_EQ(undoCount(), 0);
    EXPECT_TRUE(act("SelectMI")->isChecked());
}
