// The main window and its document windows, driven through their named widgets and actions.
#include "app/RecentFiles.h"
#include "app/ui/MainForm.h"
#include "document/DesignDocument.h"
#include "document/ui/MDIChildForm.h"
#include "editing/Selection.h"
#include "model/SurfaceModel.h"
#include "platform/Registry.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "TestSupport.h"

using app::TMainForm;
using document::TMDIChildForm;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Answers every message box that comes up while it lives with `answer`, recording texts.
class BoxAnswerer : public QObject {
public:
    explicit BoxAnswerer(QMessageBox::StandardButton answer) : m_answer(answer)
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }
    QStringList texts;

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        texts << box->text();
        if (QAbstractButton *b = box->button(m_answer))
            b->click();
        else
            box->reject();
    }
    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};

layout::LayoutRecord makeLayout(uint32_t width, uint32_t height, uint8_t regionType = 0, uint8_t backPrintable = 1)
{
    layout::LayoutRecord l = TMainForm::defaultBusinessCardLayout();
    l.setWidth(width);
    l.setHeight(height);
    l.setRegionType(regionType);
    l.setBackPrintable(backPrintable);
    return l;
}

// Writes a design with `objects` boxes through the document's own writer (also for a
// layout the document refuses, which is then still written as it stands).
QString makeDesign(const QString &path, const layout::LayoutRecord &l, int objects = 1)
{
    document::DesignDocument d;
    const int created = d.createBlank(l, 1);
    EXPECT_TRUE(created == files::ResultOk || created == document::DesignDocument::kRegionSizeError);
    for (int i = 0; i < objects; ++i)
        d.manager()->NewBox(10 + 20 * i, 10);
    EXPECT_TRUE(d.save(path)) << path.toStdString();
    return path;
}

QString makeDesign(const QString &path) { return makeDesign(path, makeLayout(350, 200)); }

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(testsupport::privateHome().isEmpty());
        ASSERT_TRUE(dir.isValid());
    }
    // A shown main window with an empty frame.
    std::unique_ptr<TMainForm> makeForm(const QStringList &files = {})
    {
        auto form = std::make_unique<TMainForm>(files);
        form->options().ShowDesignWizard = false;
        form->show();
        form->activateWindow();
        QApplication::processEvents();
        return form;
    }
    QAction *act(TMainForm &f, const char *name)
    {
        QAction *a = f.findChild<QAction *>(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    QComboBox *combo(TMainForm &f, const char *name)
    {
        auto *c = f.findChild<QComboBox *>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    void zoomTo(TMainForm &f, const QString &text)
    {
        combo(f, "ZoomCombo")->setCurrentText(text);
        act(f, "ZoomBtnAction")->trigger();
    }
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(MainFormTest, EmptyFrameDisablesEveryDocumentCommand)
{
    QApplication::clipboard()->setText(QStringLiteral("something to paste"));
    auto form = makeForm();
    waitMs(300); // past the design wizard's start-up delay
    EXPECT_TRUE(form->documents().isEmpty());
    for (const char *name : {"SaveMI", "SaveAsMI", "SaveAsTemplateMI", "PrintMI", "CloseMI", "CloseAllMI",
                             "ZoomInMI", "ZoomOutMI", "ZoomBtnAction", "BackgroundMI", "TileMI", "SelectMI",
                             "TextMI", "UndoMI", "RedoMI", "CutMI", "CopyMI", "PasteMI", "DeleteMI", "SelectAllMI",
                             "PropertiesMI", "AlignLeftBtnAction", "AlignGroupVSpaceBtnAction"}) {
        QAction *a = act(*form, name);
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(a->isEnabled()) << name;
    }
    for (const char *name : {"NewMI", "OpenMI", "ExitMI", "OptionsMI"}) {
        QAction *a = act(*form, name);
        ASSERT_NE(a, nullptr);
        EXPECT_TRUE(a->isEnabled()) << name;
    }
    QComboBox *zoom = combo(*form, "ZoomCombo");
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(zoom->currentText(), "");
    EXPECT_FALSE(zoom->isEnabled());
    QComboBox *regions = combo(*form, "RegionCombo");
    ASSERT_NE(regions, nullptr);
    EXPECT_EQ(regions->currentIndex(), -1);
    EXPECT_FALSE(regions->isEnabled());
    for (const char *panel : {"StatusPanel0", "StatusPanel1", "StatusPanel2"})
        EXPECT_EQ(form->findChild<QLabel *>(QLatin1String(panel))->text(), "") << panel;
}

TEST_F(MainFormTest, OpeningTheSameFileTwiceFocusesTheFirstWindow)
{
    const QString file = makeDesign(path(QStringLiteral("card.bcp")));
    const QString other = makeDesign(path(QStringLiteral("other.bcp")));
    auto form = makeForm();
    form->OpenDesignFile(file, true);
    ASSERT_EQ(form->documents().size(), 1);
    form->OpenDesignFile(other, true);
    ASSERT_EQ(form->documents().size(), 2);
    const QStringList recent = form->recentFiles().paths();
    EXPECT_EQ(recent.mid(0, 2), (QStringList{other, file}));

    // Same name, then the same name in another letter case: no new window, no list change.
    const QString upper = path(QStringLiteral("CARD.BCP"));
    for (const QString &again : {file, upper}) {
        form->OpenDesignFile(again, true);
        QApplication::processEvents();
        EXPECT_EQ(form->documents().size(), 2) << again.toStdString();
        ASSERT_NE(form->activeDocument(), nullptr);
        EXPECT_EQ(form->activeDocument()->fileName(), file);
        EXPECT_EQ(form->recentFiles().paths(), recent);
    }
}

TEST_F(MainFormTest, FilesOnTheCommandLineOpenInOrderAndJoinTheRecentList)
{
    const QString a = makeDesign(path(QStringLiteral("a.bcp")));
    const QString b = makeDesign(path(QStringLiteral("b.bcp")));
    // Files on the command line replace the design wizard even when it is switched on.
    auto form = std::make_unique<TMainForm>(QStringList{a, b});
    form->options().ShowDesignWizard = true;
    form->show();
    waitMs(400);
    const QList<TMDIChildForm *> docs = form->documents();
    ASSERT_EQ(docs.size(), 2);
    EXPECT_EQ(docs[0]->fileName(), a);
    EXPECT_EQ(docs[1]->fileName(), b);
    EXPECT_EQ(docs[1]->windowTitle(), b);
    EXPECT_EQ(form->recentFiles().paths().mid(0, 2), (QStringList{b, a}));
    // The reopen menu lists them by file name.
    QMenu *reopen = form->findChild<QMenu *>(QStringLiteral("ReOpenPM"));
    ASSERT_NE(reopen, nullptr);
    QStringList captions;
    for (QAction *x : reopen->actions())
        if (!x->isSeparator())
            captions << x->text();
    ASSERT_GE(captions.size(), 2);
    EXPECT_TRUE(captions[0].contains(QStringLiteral("b.bcp"))) << captions[0].toStdString();
    EXPECT_TRUE(captions[1].contains(QStringLiteral("a.bcp"))) << captions[1].toStdString();
}

TEST_F(MainFormTest, RecentListKeepsFiveExistingFilesNewestFirst)
{
    QStringList f;
    for (int i = 1; i <= 6; ++i)
        f << makeDesign(path(QStringLiteral("r%1.bcp").arg(i)));
    app::RecentFiles r;
    for (const QString &p : f)
        EXPECT_TRUE(r.add(p));
    EXPECT_EQ(r.paths(), (QStringList{f[5], f[4], f[3], f[2], f[1]})) << "the sixth pushes out the oldest";
    EXPECT_TRUE(r.add(f[3]));
    EXPECT_EQ(r.paths(), (QStringList{f[3], f[5], f[4], f[2], f[1]})) << "re-adding the third moves it to the top";
    EXPECT_FALSE(r.add(path(QStringLiteral("gone.bcp"))));
    EXPECT_FALSE(r.add(QString()));
    EXPECT_EQ(r.paths().size(), 5);
    EXPECT_EQ(app::RecentFiles::caption(f[3]), "r4.bcp");

    // Stored as File0..File4 / Name0..Name4; a shorter list removes the stale values.
    plat::Registry reg(path(QStringLiteral("settings.reg")));
    r.save(reg, QStringLiteral("Software\\Test"));
    app::RecentFiles back;
    back.load(reg, QStringLiteral("Software\\Test"));
    EXPECT_EQ(back.paths(), r.paths());
    EXPECT_EQ(reg.readString(QStringLiteral("Software\\Test\\History"), QStringLiteral("Name0")).value_or(QString()),
              "r4.bcp");
    app::RecentFiles two;
    two.add(f[0]);
    two.add(f[1]);
    two.save(reg, QStringLiteral("Software\\Test"));
    back.load(reg, QStringLiteral("Software\\Test"));
    EXPECT_EQ(back.paths(), (QStringList{f[1], f[0]}));
    EXPECT_FALSE(reg.readString(QStringLiteral("Software\\Test\\History"), QStringLiteral("File2")).has_value());
}

TEST_F(MainFormTest, SaveFollowsTheModifiedFlagWhileSaveAsIsAlwaysOffered)
{
    const QString file = makeDesign(path(QStringLiteral("save.bcp")));
    auto form = makeForm();
    form->OpenDesignFile(file, true);
    TMDIChildForm *doc = form->activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(doc->isModified());
    EXPECT_FALSE(act(*form, "SaveMI")->isEnabled());
    EXPECT_TRUE(act(*form, "SaveAsMI")->isEnabled());
    EXPECT_TRUE(act(*form, "CloseMI")->isEnabled());

    act(*form, "ZoomInMI")->trigger(); // any change marks the design modified
    EXPECT_TRUE(doc->isModified());
    EXPECT_TRUE(act(*form, "SaveMI")->isEnabled());

    act(*form, "SaveMI")->trigger();
    EXPECT_FALSE(doc->isModified());
    EXPECT_FALSE(act(*form, "SaveMI")->isEnabled());
    document::DesignDocument back;
    ASSERT_EQ(back.openFile(file), files::ResultOk);
    EXPECT_EQ(back.zoom(), 110);
}

TEST_F(MainFormTest, ZoomComboAppliesOnlyWholeNumbersOfAtLeast25)
{
    const QString file = makeDesign(path(QStringLiteral("zoom.bcp")));
    auto form = makeForm();
    form->OpenDesignFile(file, true);
    TMDIChildForm *doc = form->activeDocument();
    ASSERT_NE(doc, nullptr);
    QComboBox *zoom = combo(*form, "ZoomCombo");
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(zoom->currentText(), "100");
    for (const char *ignored : {"24", "abc", "", "-50", "2.5e2"}) {
        zoomTo(*form, QString::fromLatin1(ignored));
        EXPECT_EQ(doc->zoom(), 100) << ignored;
        EXPECT_FALSE(doc->isModified()) << ignored;
    }
    zoomTo(*form, QStringLiteral("25"));
    EXPECT_EQ(doc->zoom(), 25);
    EXPECT_EQ(zoom->currentText(), "25");
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(form->findChild<QLabel *>(QStringLiteral("StatusPanel1"))->text(), "25%");
}

TEST_F(MainFormTest, ZoomOutStopsAtTheLastStepThatStaysAt25)
{
    const QString file = makeDesign(path(QStringLiteral("zoomout.bcp")));
    auto form = makeForm();
    form->OpenDesignFile(file, true);
    TMDIChildForm *doc = form->activeDocument();
    ASSERT_NE(doc, nullptr);
    QComboBox *zoom = combo(*form, "ZoomCombo");

    zoomTo(*form, QStringLiteral("35"));
    act(*form, "ZoomOutMI")->trigger();
    EXPECT_EQ(doc->zoom(), 25);
    EXPECT_EQ(zoom->currentText(), "25");

    zoomTo(*form, QStringLiteral("34"));
    act(*form, "ZoomOutMI")->trigger();
    EXPECT_EQ(doc->zoom(), 34);
    EXPECT_EQ(zoom->currentText(), "34");

    act(*form, "ZoomInMI")->trigger();
    EXPECT_EQ(doc->zoom(), 44);
    EXPECT_EQ(zoom->currentText(), "44");
}

TEST_F(MainFormTest, ZoomRescalesTheCardPanel)
{
    const QString file = makeDesign(path(QStringLiteral("panel.bcp")));
    auto form = makeForm();
    form->OpenDesignFile(file, true);
    TMDIChildForm *doc = form->activeDocument();
    ASSERT_NE(doc, nullptr);
    QWidget *panel = doc->findChild<QWidget *>(QStringLiteral("CardPanel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->size(), QSize(350, 200));
    const QRect box = doc->doc()->surface()->itemAt(0)->bounds();

    zoomTo(*form, QStringLiteral("200"));
    EXPECT_EQ(panel->size(), QSize(700, 400));
    EXPECT_EQ(doc->doc()->surface()->itemAt(0)->bounds(),
              QRect(box.x() * 2, box.y() * 2, box.width() * 2, box.height() * 2));
    zoomTo(*form, QStringLiteral("50"));
    EXPECT_EQ(panel->size(), QSize(175, 100));
    zoomTo(*form, QStringLiteral("100"));
    EXPECT_EQ(panel->size(), QSize(350, 200));
    EXPECT_EQ(doc->doc()->surface()->itemAt(0)->bounds(), box);
}

TEST_F(MainFormTest, RegionComboListsTheLayoutsRegionsAndKeepsTheirObjects)
{
    struct Case {
        layout::LayoutRecord layout;
        QStringList names;
    } cases[] = {
        {makeLayout(350, 200, 0, 1), {"Front", "Back"}},
        {makeLayout(350, 200, 0, 0), {"Front"}},
        {makeLayout(700, 200, 1, 0), {"Inside", "Inside Cover", "Cover"}},
    };
    int n = 0;
    for (const Case &c : cases) {
        const QString file = makeDesign(path(QStringLiteral("regions%1.bcp").arg(n++)), c.layout, 2);
        auto form = makeForm();
        form->OpenDesignFile(file, false);
        TMDIChildForm *doc = form->activeDocument();
        ASSERT_NE(doc, nullptr);
        QComboBox *regions = combo(*form, "RegionCombo");
        ASSERT_NE(regions, nullptr);
        QStringList names;
        for (int i = 0; i < regions->count(); ++i)
            names << regions->itemText(i);
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(regions->currentIndex(), 0);
        if (c.names.size() < 2)
            continue;

        EXPECT_EQ(doc->objectCount(), 2);
        regions->setCurrentIndex(1);
        EXPECT_EQ(doc->doc()->currentRegionIndex(), 1);
        EXPECT_EQ(doc->objectCount(), 0);
        doc->doc()->manager()->NewEllipse(50, 50);
        regions->setCurrentIndex(0);
        EXPECT_EQ(doc->doc()->currentRegionIndex(), 0);
        EXPECT_EQ(doc->objectCount(), 2);
        regions->setCurrentIndex(1);
        EXPECT_EQ(doc->objectCount(), 1);
        EXPECT_EQ(doc->doc()->surface()->itemAt(0)->bounds().topLeft(), QPoint(50, 50));
    }
}

TEST_F(MainFormTest, ARegionNarrowerThan150IsRefusedWithTheSizeMessage)
{
    auto form = makeForm();
    BoxAnswerer ok(QMessageBox::Ok);
    EXPECT_EQ(form->newBlankDocument(makeLayout(149, 200)), nullptr);
    waitMs(50);
    EXPECT_EQ(ok.texts, (QStringList{"The width and height must be between 1.50 and 4.00 inches"}));
    EXPECT_TRUE(form->documents().isEmpty());

    // The same from a file.
    const QString file = makeDesign(path(QStringLiteral("narrow.bcp")), makeLayout(350, 149));
    form->OpenDesignFile(file, true);
    waitMs(50);
    EXPECT_EQ(ok.texts.size(), 2);
    EXPECT_EQ(ok.texts.value(1), "The width and height must be between 1.50 and 4.00 inches");
    EXPECT_TRUE(form->documents().isEmpty());

    // The smallest and largest allowed sizes are accepted.
    EXPECT_NE(form->newBlankDocument(makeLayout(150, 400)), nullptr);
    EXPECT_EQ(ok.texts.size(), 2);
}

TEST_F(MainFormTest, FailedSaveKeepsTheWindowAndTheModifiedFlag)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QString file = makeDesign(path(QStringLiteral("sub/lost.bcp")));
    auto form = makeForm();
    form->OpenDesignFile(file, true);
    TMDIChildForm *doc = form->activeDocument();
    ASSERT_NE(doc, nullptr);
    act(*form, "ZoomInMI")->trigger();
    ASSERT_TRUE(doc->isModified());
    ASSERT_TRUE(QDir(path(QStringLiteral("sub"))).removeRecursively());

    BoxAnswerer ok(QMessageBox::Ok);
    act(*form, "SaveMI")->trigger();
    waitMs(50);
    EXPECT_EQ(ok.texts.size(), 1);
    ASSERT_EQ(form->documents().size(), 1);
    EXPECT_EQ(form->documents().first(), doc);
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(doc->fileName(), file);
    EXPECT_TRUE(act(*form, "SaveMI")->isEnabled());
    doc->doc()->setModified(false); // let the window close without its question
}

TEST_F(MainFormTest, CommandsFollowTheLastClosedWindowHalfASecondLater)
{
    const QString file = makeDesign(path(QStringLiteral("close.bcp")));
    auto form = makeForm();
    form->OpenDesignFile(file, true);
    ASSERT_EQ(form->documents().size(), 1);
    ASSERT_TRUE(act(*form, "SaveAsMI")->isEnabled());

    act(*form, "CloseMI")->trigger();
    waitMs(50); // the window is gone
    EXPECT_TRUE(form->documents().isEmpty());
    auto *timer = form->findChild<QTimer *>(QStringLiteral("EnableTimer"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_TRUE(act(*form, "SaveAsMI")->isEnabled()) << "not at once";

    waitMs(600);
    EXPECT_FALSE(timer->isActive());
    EXPECT_FALSE(act(*form, "SaveAsMI")->isEnabled());
    EXPECT_FALSE(act(*form, "CloseMI")->isEnabled());
    EXPECT_EQ(combo(*form, "ZoomCombo")->currentText(), "");
}

TEST_F(MainFormTest, CloseQuestionHonoursAllThreeAnswers)
{
    const QString file = makeDesign(path(QStringLiteral("question.bcp")));
    auto form = makeForm();
    form->OpenDesignFile(file, true);
    TMDIChildForm *doc = form->activeDocument();
    ASSERT_NE(doc, nullptr);
    act(*form, "ZoomInMI")->trigger();
    ASSERT_TRUE(doc->isModified());
    const QString question = QStringLiteral("This design has changed.\n\nWould you like to save it?");

    {
        BoxAnswerer cancel(QMessageBox::Cancel);
        act(*form, "CloseMI")->trigger();
        waitMs(50);
        EXPECT_EQ(cancel.texts, QStringList{question});
        ASSERT_EQ(form->documents().size(), 1) << "Cancel keeps the window";
        EXPECT_TRUE(doc->isModified());
    }
    {
        BoxAnswerer yes(QMessageBox::Yes);
        act(*form, "CloseMI")->trigger();
        waitMs(50);
        EXPECT_EQ(yes.texts, QStringList{question});
        EXPECT_TRUE(form->documents().isEmpty()) << "Yes saves and closes";
        document::DesignDocument back;
        ASSERT_EQ(back.openFile(file), files::ResultOk);
        EXPECT_EQ(back.zoom(), 110);
    }
    form->OpenDesignFile(file, true);
    doc = form->activeDocument();
    ASSERT_NE(doc, nullptr);
    act(*form, "ZoomInMI")->trigger();
    {
        BoxAnswerer no(QMessageBox::No);
        act(*form, "CloseMI")->trigger();
        waitMs(50);
        EXPECT_EQ(no.texts, QStringList{question});
        EXPECT_TRUE(form->documents().isEmpty()) << "No closes without saving";
        document::DesignDocument back;
        ASSERT_EQ(back.openFile(file), files::ResultOk);
        EXPECT_EQ(back.zoom(), 110);
    }
}

// The command table for one, two and no selected objects, and for a design with objects.
TEST_F(MainFormTest, CommandStatesFollowTheSelection)
{
    const QString file = makeDesign(path(QStringLiteral("three.bcp")), makeLayout(350, 200), 3);
    auto form = makeForm();
    form->OpenDesignFile(file, false);
    TMDIChildForm *doc = form->activeDocument();
    ASSERT_NE(doc, nullptr);
    model::SurfaceModel *surface = doc->doc()->surface();
    ASSERT_EQ(surface->count(), 3);

    const char *single[] = {"CutMI", "CopyMI", "DeleteMI", "SelectNoneMI", "AlignMI", "AlignSelectedtoGridMI",
                            "BringtoFrontMI", "SendtoBackMI", "FitToMarginsMI", "AlignLeftBtnAction",
                            "AlignHCenterBtnAction", "AlignRightBtnAction", "AlignTopBtnAction",
                            "AlignVCenterBtnAction", "AlignBottomBtnAction"};
    const char *group[] = {"AlignGroupLeftBtnAction", "AlignGroupHCenterBtnAction", "AlignGroupRightBtnAction",
                           "AlignGroupHSpaceBtnAction", "AlignGroupTopBtnAction", "AlignGroupVCenterBtnAction",
                           "AlignGroupBottomBtnAction", "AlignGroupVSpaceBtnAction"};
    struct Case {
        int selected;
        bool singleOn, groupOn, propertiesOn;
    };
    for (const Case &c : {Case{0, false, false, false}, Case{1, true, false, true}, Case{2, true, true, false},
                          Case{3, true, true, false}}) {
        doc->selection()->clear();
        for (int i = 0; i < c.selected; ++i)
            doc->selection()->add(surface->itemAt(i));
        form->UpdateCommands();
        for (const char *n : single)
            EXPECT_EQ(act(*form, n)->isEnabled(), c.singleOn) << n << " with " << c.selected;
        for (const char *n : group)
            EXPECT_EQ(act(*form, n)->isEnabled(), c.groupOn) << n << " with " << c.selected;
        EXPECT_EQ(act(*form, "PropertiesMI")->isEnabled(), c.propertiesOn) << c.selected;
        auto *panel = form->findChild<QWidget *>(QStringLiteral("PropertyPanel"));
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->isVisibleTo(form.get()), c.propertiesOn) << c.selected;
        // Objects on the surface enable Select All whatever is selected.
        EXPECT_TRUE(act(*form, "SelectAllMI")->isEnabled());
        EXPECT_TRUE(act(*form, "AlignAlltoGridMI")->isEnabled());
        // The toolbar buttons and the context menu follow their menu items.
        auto *cutBtn = form->findChild<QWidget *>(QStringLiteral("CutBtn"));
        ASSERT_NE(cutBtn, nullptr);
        EXPECT_EQ(cutBtn->isEnabled(), c.singleOn);
        QAction *popupDelete = form->objectPopup()->findChild<QAction *>(QStringLiteral("PMDeleteMI"));
        ASSERT_NE(popupDelete, nullptr);
        EXPECT_EQ(popupDelete->isEnabled(), c.singleOn);
    }
}

// Switch to Different Layout carries the shown region's objects and background into a new
// untitled design on the chosen layout; the design it started from stays as it was.
TEST_F(MainFormTest, SwitchLayoutCarriesTheShownRegionIntoANewDesign)
{
    // The program folder of these tests is private: give it the shipped Letter library.
    const QString lyt = QStringLiteral(OSTRAVEL_SOURCE_DATA_DIR "/US Letter.LYT");
    QFile::remove(QDir(testsupport::privateHome()).filePath(QStringLiteral("US Letter.LYT")));
    ASSERT_TRUE(QFile::copy(lyt, QDir(testsupport::privateHome()).filePath(QStringLiteral("US Letter.LYT"))));

    const QString file = makeDesign(path(QStringLiteral("switch.bcp")), makeLayout(350, 200), 2);
    auto form = makeForm();
    form->OpenDesignFile(file, false);
    TMDIChildForm *from = form->activeDocument();
    ASSERT_NE(from, nullptr);
    const QRect firstBounds = from->doc()->surface()->itemAt(0)->bounds();

    QString chosenName;
    QTimer::singleShot(50, [&chosenName] {
        QWidget *dlg = QApplication::activeModalWidget();
        ASSERT_NE(dlg, nullptr);
        auto *list = dlg->findChild<QListWidget *>(QStringLiteral("LayoutList"));
        ASSERT_NE(list, nullptr);
        // The first entry that is a layout rather than a heading or a blank line.
        for (int row = 0; row < list->count(); ++row) {
            const QString text = list->item(row)->text();
            if (!text.trimmed().isEmpty() && !text.startsWith(QLatin1String("=====")) && !text.startsWith(QLatin1String("-----"))) {
                list->setCurrentRow(row);
                chosenName = text;
                break;
            }
        }
        auto *ok = dlg->findChild<QPushButton *>(QStringLiteral("OkBtn"));
        ASSERT_NE(ok, nullptr);
        ok->click();
    });
    act(*form, "SwitchLayoutMI")->trigger();
    QApplication::processEvents();

    ASSERT_EQ(form->documents().size(), 2);
    TMDIChildForm *to = form->activeDocument();
    ASSERT_NE(to, nullptr);
    ASSERT_NE(to, from);
    EXPECT_TRUE(to->fileName().isEmpty());
    EXPECT_TRUE(to->doc()->layout().Name().startsWith(chosenName)) << to->doc()->layout().Name().toStdString();
    EXPECT_EQ(to->objectCount(), 2);
    EXPECT_EQ(to->selectedCount(), 0);
    EXPECT_EQ(to->doc()->surface()->itemAt(0)->bounds().size(), firstBounds.size());
    // The original is untouched.
    EXPECT_EQ(from->objectCount(), 2);
    EXPECT_FALSE(from->isModified());
    EXPECT_EQ(from->doc()->surface()->itemAt(0)->bounds(), firstBounds);
}

// An opened design lists its objects in the object list at once, sorted by name.
TEST_F(MainFormTest, ObjectListShowsTheOpenedDesignsObjects)
{
    const QString file = makeDesign(path(QStringLiteral("listed.bcp")), makeLayout(350, 200), 3);
    auto form = makeForm();
    form->OpenDesignFile(file, false);
    QComboBox *objects = combo(*form, "ObjectCombo");
    ASSERT_NE(objects, nullptr);
    QStringList names;
    for (int i = 0; i < objects->count(); ++i)
        names << objects->itemText(i);
    EXPECT_EQ(names, (QStringList{QStringLiteral("Shape0"), QStringLiteral("Shape1"), QStringLiteral("Shape2")}));
}
