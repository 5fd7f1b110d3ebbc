// The reader of the stock template library: lengths and units, which templates become
// layouts and which are left out, `equiv` chains, hostile files, the installed library,
// and the background reading.
#include "layout/LayoutCatalogue.h"
#include "layout/StockLibrary.h"
#include "layout/StockTemplates.h"
#include "platform/ProgramFolder.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace layout;
using testsupport::fixture;

namespace {

// A template file holding `body` (templates) inside the library's root element.
QByteArray library(const char *body)
{
    return QByteArray("<?xml version=\"1.0\"?>\n<Glabels-templates>\n") + body + "\n</Glabels-templates>\n";
}

// A business-card sheet on Letter whose label and layout attributes can be replaced.
QByteArray cardSheet(const char *part, const char *label = R"(width="3.5in" height="2in")",
                     const char *layout = R"(nx="2" ny="5" x0="0.75in" y0="0.5in" dx="3.5in" dy="2in")",
                     const char *paper = "US-Letter")
{
    return QStringLiteral(R"(<Template brand="T" part="%1" size="%4" _description="Cards">
  <Label-rectangle id="0" %2><Layout %3/></Label-rectangle>
</Template>)")
        .arg(QLatin1String(part), QLatin1String(label), QLatin1String(layout), QLatin1String(paper))
        .toUtf8();
}

const StockLayout *findLayout(const StockLibraryContents &c, const QString &maker, const QString &part)
{
    for (const StockLayout &l : c.layouts)
        if (l.maker == maker && l.part == part)
            return &l;
    return nullptr;
}

} // namespace

TEST(StockTemplates, LengthsInEveryUnitBecomeHundredthsOfAnInch)
{
    struct Case {
        const char *text;
        bool ok;
        int64_t units;
    };
    const Case cases[] = {
        {"3.5in", true, 350},    {"88.9mm", true, 350},  {"8.89cm", true, 350},  {"252pt", true, 350},
        {"252", true, 350},      {" 2 in ", true, 200},  {"0.0625in", true, 6},  {"85mm", true, 335},
        {"54mm", true, 213},     {"-0.1in", true, -10},  {"1E1in", true, 1000},  {"2IN", true, 200},
        {"", false, 0},          {"in", false, 0},       {"3.5px", false, 0},    {"wide", false, 0},
        {"3,5in", false, 0},     {"1e9in", false, 0},    {"nan", false, 0},      {"inf in", false, 0},
        {"3.5 in in", false, 0},
    };
    for (const Case &c : cases) {
        int64_t units = -12345;
        EXPECT_EQ(parseStockLength(QString::fromLatin1(c.text), &units), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(units, c.units) << c.text;
        }
    }
}

// Each case is one file; the template under test is "T 1" (others are what it refers to).
TEST(StockTemplates, TemplatesThatDoNotFitAreCountedAndLeftOut)
{
    struct Case {
        const char *what;
        QByteArray body;
        int StockReadCounts::*leftOutAs;   // null: usable
    };
    const Case cases[] = {
        {"a business-card sheet", cardSheet("1"), nullptr},
        {"a round corner is still a rectangle", cardSheet("1", R"(width="3.5in" height="2in" round="0.125in")"),
         nullptr},
        {"one column needs no column pitch", cardSheet("1", R"(width="3.5in" height="2in")", R"(nx="1" ny="5" x0="1in" y0="0.5in" dy="2in")"),
         nullptr},
        {"a round label",
         R"(<Template brand="T" part="1" size="US-Letter"><Label-round id="0" radius="1in"><Layout nx="2" ny="2" x0="0" y0="0" dx="2in" dy="2in"/></Label-round></Template>)",
         &StockReadCounts::notRectangular},
        {"an ellipse beside a rectangle",
         R"(<Template brand="T" part="1" size="US-Letter"><Label-rectangle id="0" width="3.5in" height="2in"><Layout nx="1" ny="1" x0="0" y0="0"/></Label-rectangle><Label-ellipse id="1" width="2in" height="2in"><Layout nx="1" ny="1" x0="4in" y0="0"/></Label-ellipse></Template>)",
         &StockReadCounts::notRectangular},
        {"two layouts of one label",
         R"(<Template brand="T" part="1" size="US-Letter"><Label-rectangle id="0" width="3.5in" height="2in"><Layout nx="1" ny="1" x0="0" y0="0"/><Layout nx="1" ny="1" x0="4in" y0="0"/></Label-rectangle></Template>)",
         &StockReadCounts::severalLayouts},
        {"two rectangular labels",
         R"(<Template brand="T" part="1" size="US-Letter"><Label-rectangle id="0" width="3.5in" height="2in"><Layout nx="1" ny="1" x0="0" y0="0"/></Label-rectangle><Label-rectangle id="1" width="2in" height="2in"><Layout nx="1" ny="1" x0="4in" y0="0"/></Label-rectangle></Template>)",
         &StockReadCounts::severalLayouts},
        {"columns overlapping", cardSheet("1", R"(width="3.5in" height="2in")", R"(nx="2" ny="5" x0="0.75in" y0="0.5in" dx="3.4in" dy="2in")"),
         &StockReadCounts::negativeSpacing},
        {"rows overlapping", cardSheet("1", R"(width="3.5in" height="2in")", R"(nx="2" ny="5" x0="0.75in" y0="0.5in" dx="3.5in" dy="1.9in")"),
         &StockReadCounts::negativeSpacing},
        {"a margin below zero", cardSheet("1", R"(width="3.5in" height="2in")", R"(nx="2" ny="5" x0="-0.1in" y0="0.5in" dx="3.5in" dy="2in")"),
         &StockReadCounts::negativeSpacing},
        {"a paper of its own", cardSheet("1", R"(width="3.5in" height="2in")", R"(nx="1" ny="1" x0="0" y0="0")", "Other"),
         &StockReadCounts::unknownPaper},
        {"a paper the table lacks", cardSheet("1", R"(width="3.5in" height="2in")", R"(nx="1" ny="1" x0="0" y0="0")", "A6"),
         &StockReadCounts::unknownPaper},
        {"labels too small", cardSheet("1", R"(width="1.49in" height="2in")"), &StockReadCounts::regionSize},
        {"labels too large", cardSheet("1", R"(width="3.5in" height="4.01in")", R"(nx="1" ny="1" x0="0" y0="0")"),
         &StockReadCounts::regionSize},
        {"equiv to a product that is missing", R"(<Template brand="T" part="1" equiv="404"/>)", &StockReadCounts::badEquiv},
        {"equiv to itself", R"(<Template brand="T" part="1" equiv="1"/>)", &StockReadCounts::badEquiv},
        {"equiv to another maker's product", cardSheet("2").replace("brand=\"T\"", "brand=\"U\"") + R"(<Template brand="T" part="1" equiv="2"/>)",
         &StockReadCounts::badEquiv},
        {"a width that is no length", cardSheet("1", R"(width="wide" height="2in")"), &StockReadCounts::broken},
        {"no rows", cardSheet("1", R"(width="3.5in" height="2in")", R"(nx="2" ny="0" x0="0" y0="0")"), &StockReadCounts::broken},
        {"a million rows", cardSheet("1", R"(width="3.5in" height="2in")", R"(nx="2" ny="1000000" x0="0" y0="0" dx="3.5in" dy="2in")"),
         &StockReadCounts::broken},
        {"no layout", R"(<Template brand="T" part="1" size="US-Letter"><Label-rectangle id="0" width="3.5in" height="2in"/></Template>)",
         &StockReadCounts::broken},
        {"no label", R"(<Template brand="T" part="1" size="US-Letter"/>)", &StockReadCounts::broken},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const StockLibraryContents lib = buildStockLibrary({library(c.body.constData())});
        EXPECT_EQ(lib.counts.files, 1);
        EXPECT_EQ(lib.counts.brokenFiles, 0);
        const bool usable = findLayout(lib, "T", "1") != nullptr;
        EXPECT_EQ(usable, c.leftOutAs == nullptr);
        if (c.leftOutAs) {
            EXPECT_EQ(lib.counts.*c.leftOutAs, 1);
        }
        EXPECT_EQ(lib.counts.usable + lib.counts.leftOut(), lib.counts.templates);
    }
}

TEST(StockTemplates, ASheetBecomesALayoutInEveryUnit)
{
    const StockLibraryContents lib = readStockFolders({fixture("stock")});
    // The broken file is skipped whole; the paper list is no template file.
    EXPECT_EQ(lib.counts.files, 2);
    EXPECT_EQ(lib.counts.brokenFiles, 1);
    EXPECT_EQ(lib.counts.templates, 8);
    EXPECT_EQ(lib.counts.usable, 6);
    EXPECT_EQ(lib.counts.notRectangular, 1);
    EXPECT_EQ(lib.counts.unknownPaper, 1);
    EXPECT_EQ(findLayout(lib, "Broken", "1"), nullptr);

    struct Expected {
        const char *maker, *part, *name;
        uint32_t rows, columns, width, height, top, left, columnSpace, rowSpace;
        uint8_t paper, back;
    };
    const Expected expected[] = {
        {"Acme", "5371", "Acme 5371 Business Cards", 5, 2, 350, 200, 50, 75, 0, 0, 0, 1},
        {"Acme", "8371", "Acme 8371 Business Cards", 5, 2, 350, 200, 50, 75, 0, 0, 0, 1},
        // 85 x 54 mm on a 95 x 64 mm pitch: each length rounded to the nearest unit.
        {"Acme", "E-85", "Acme E-85 Cards with gaps", 4, 2, 335, 213, 100, 59, 39, 39, 4, 1},
        {"Zenith", "Z-3", "Zenith Z-3 Name Badges", 5, 2, 354, 217, 43, 59, 0, 0, 4, 0},
        // One column: no column gap, whatever the pitch says.
        {"Zenith", "Z-7", "Zenith Z-7 Rotary Cards", 4, 1, 400, 225, 100, 25, 0, 0, 0, 0},
    };
    for (const Expected &e : expected) {
        SCOPED_TRACE(e.name);
        const StockLayout *l = findLayout(lib, QLatin1String(e.maker), QLatin1String(e.part));
        ASSERT_NE(l, nullptr);
        const LayoutRecord &r = l->record;
        EXPECT_EQ(l->name(), QLatin1String(e.name));
        EXPECT_EQ(r.Name(), QLatin1String(e.name));
        EXPECT_EQ(r.Rows(), e.rows);
        EXPECT_EQ(r.Columns(), e.columns);
        EXPECT_EQ(r.Width(), e.width);
        EXPECT_EQ(r.Height(), e.height);
        EXPECT_EQ(r.TopMargin(), e.top);
        EXPECT_EQ(r.LeftMargin(), e.left);
        EXPECT_EQ(r.ColumnSpace(), e.columnSpace);
        EXPECT_EQ(r.RowSpace(), e.rowSpace);
        EXPECT_EQ(r.PaperType(), e.paper);
        EXPECT_EQ(r.BackPrintable(), e.back);
        EXPECT_EQ(r.RegionType(), 0);
    }
    EXPECT_EQ(findLayout(lib, "Acme", "8371")->equivalentOf, "5371");
    EXPECT_TRUE(findLayout(lib, "Acme", "5371")->equivalentOf.isEmpty());

    // Makers in name order, product codes by number value.
    QStringList order;
    for (const StockLayout &l : lib.layouts)
        order << l.maker + QLatin1Char(' ') + l.part;
    EXPECT_EQ(order, (QStringList{"Acme 5371", "Acme 8371", "Acme 25371", "Acme E-85", "Zenith Z-3", "Zenith Z-7"}));
    EXPECT_EQ(lib.makers(), (QStringList{"Acme", "Zenith"}));
}

TEST(StockTemplates, EquivChainsLoopsAndNames)
{
    const StockLibraryContents lib = buildStockLibrary({library(R"(
      <Template brand="T" part="C" size="A4" _description="Base"><Meta category="business-card"/>
        <Label-rectangle id="0" width="85mm" height="55mm"><Layout nx="2" ny="5" x0="15mm" y0="11mm" dx="90mm" dy="55mm"/></Label-rectangle>
      </Template>
      <Template brand="T" part="B" equiv="C" _description="Own words"/>
      <Template brand="T" part="A" equiv="B"/>
      <Template brand="T" part="X" equiv="Y"/>
      <Template brand="T" part="Y" equiv="Z"/>
      <Template brand="T" part="Z" equiv="X"/>
      <Template brand="T" part="A" equiv="X"/>
      <Template brand="T" part="Long" equiv="C" description="a description much longer than the record's forty-nine characters"/>)"),
                                                          // A later file cannot take the product code back.
                                                          library(R"(<Template brand="T" part="C" equiv="X"/>)")});
    // A follows B to C: C's sheet and, having no description of its own, C's description.
    const StockLayout *a = findLayout(lib, "T", "A");
    const StockLayout *b = findLayout(lib, "T", "B");
    const StockLayout *c = findLayout(lib, "T", "C");
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(a->record.Width(), c->record.Width());
    EXPECT_EQ(a->record.BackPrintable(), 1);
    EXPECT_EQ(a->name(), "T A Base");
    EXPECT_EQ(b->name(), "T B Own words");
    EXPECT_EQ(a->equivalentOf, "C");
    // X, Y and Z chase each other; the second A and the second C are duplicates.
    EXPECT_EQ(lib.counts.badEquiv, 3);
    EXPECT_EQ(lib.counts.duplicates, 2);
    // The record's name field keeps 49 characters; the list shows the whole name.
    const StockLayout *longName = findLayout(lib, "T", "Long");
    ASSERT_NE(longName, nullptr);
    EXPECT_EQ(longName->record.Name(), longName->name().left(49));
    EXPECT_GT(longName->name().size(), 49);
}

TEST(StockTemplates, HostileFilesAreSkippedWithoutHarm)
{
    const QByteArray good = library(cardSheet("1").constData());
    QByteArray deep = "<Glabels-templates><Template brand=\"T\" part=\"2\">";
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE t [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">";
    char prev = 'a';
    for (char e = 'b'; e <= 'k'; ++e, ++prev)
        laughs += QStringLiteral("<!ENTITY %1 \"&%2;&%2;&%2;&%2;&%2;&%2;&%2;&%2;&%2;&%2;\">")
                      .arg(QChar::fromLatin1(e), QChar::fromLatin1(prev))
                      .toLatin1();
    laughs += "]><Glabels-templates><Template brand=\"T\" part=\"3\" _description=\"&k;\"/></Glabels-templates>";

    struct Case {
        const char *what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"cut off in a template", good.left(good.size() / 2)},
        {"an element never closed", deep},
        {"an entity that grows to gigabytes", laughs},
        {"text after the root", good + "<Glabels-templates/>"},
        {"mismatched tags", library("<Template brand=\"T\" part=\"2\"></Label-rectangle>")},
        {"binary", QByteArray("\x00\xff\xfe<\x01>", 6)},
        {"empty", QByteArray()},
        {"larger than any template file", QByteArray(kMaxStockFileSize + 1, ' ')},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const StockLibraryContents lib = buildStockLibrary({c.bytes, good});
        EXPECT_EQ(lib.counts.brokenFiles, 1);
        // The good file beside it is read all the same.
        EXPECT_EQ(lib.counts.usable, 1);
        EXPECT_NE(findLayout(lib, "T", "1"), nullptr);
    }
}

TEST(StockTemplates, SearchMatchesEveryWordIgnoringCase)
{
    struct Case {
        const char *query;
        bool matches;
    };
    const Case cases[] = {
        {"", true},        {"8371", true},          {"avery", true},  {"business 8371", true},
        {"  8371  ", true}, {"8372", false},        {"avery 5371", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(matchesSearch(QStringLiteral("Avery 8371 Business Cards"), QLatin1String(c.query)), c.matches)
            << c.query;
}

// The library installed by the distribution's template data package, read as it is.
TEST(StockTemplates, TheInstalledLibrary)
{
    const QString folder = QStringLiteral("/usr/share/libglabels-3.0/templates");
    if (!QFileInfo(folder).isDir())
        GTEST_SKIP() << "no template library installed in " << folder.toStdString();
    const StockLibraryContents lib = readStockFolders({folder});
    const StockReadCounts &c = lib.counts;
    EXPECT_EQ(c.brokenFiles, 0);
    // Debian 12's library: 1,756 templates, of which these fit the layout model.
    EXPECT_EQ(c.templates, 1756);
    EXPECT_EQ(c.usable, 476);
    EXPECT_EQ(c.usable + c.leftOut(), c.templates);
    for (const char *part : {"8371", "5371"}) {
        SCOPED_TRACE(part);
        const StockLayout *l = findLayout(lib, "Avery", QLatin1String(part));
        ASSERT_NE(l, nullptr);
        const LayoutRecord &r = l->record;
        EXPECT_EQ(l->name(), QStringLiteral("Avery %1 Business Cards").arg(QLatin1String(part)));
        EXPECT_EQ(r.Columns(), 2u);
        EXPECT_EQ(r.Rows(), 5u);
        EXPECT_EQ(sizeText(r, false), "3.50 in x 2.00 in");
        EXPECT_EQ(r.PaperType(), 0);   // Letter
        EXPECT_EQ(UnitsToDisplay(r.LeftMargin(), false), 0.75);
        EXPECT_EQ(UnitsToDisplay(r.TopMargin(), false), 0.5);
        EXPECT_EQ(r.ColumnSpace(), 0u);
        EXPECT_EQ(r.RowSpace(), 0u);
    }
}

TEST(StockTemplates, TheLibraryIsReadInTheBackgroundOnce)
{
    StockLibrary lib({fixture("stock")});
    int readies = 0;
    QObject::connect(&lib, &StockLibrary::ready, [&readies] { ++readies; });
    EXPECT_FALSE(lib.isReady());
    EXPECT_TRUE(lib.contents().layouts.isEmpty());
    lib.load();
    lib.load();   // a second request starts nothing
    QElapsedTimer t;
    t.start();
    while (!lib.isReady() && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(lib.isReady());
    EXPECT_EQ(readies, 1);
    EXPECT_EQ(lib.contents().counts.usable, 6);
    EXPECT_EQ(lib.wait().counts.usable, 6);
    QCoreApplication::processEvents();
    EXPECT_EQ(readies, 1);

    // Waiting while the thread reads takes its result; the thread's own report is then ignored.
    StockLibrary waited({fixture("stock")});
    int waitedReadies = 0;
    QObject::connect(&waited, &StockLibrary::ready, [&waitedReadies] { ++waitedReadies; });
    waited.load();
    EXPECT_EQ(waited.wait().counts.usable, 6);
    QCoreApplication::processEvents();
    EXPECT_EQ(waitedReadies, 1);

    // A library dropped while it reads stops and goes quietly.
    auto dropped = std::make_unique<StockLibrary>(QStringList{fixture("stock")});
    dropped->load();
    dropped.reset();
    QCoreApplication::processEvents();
}

TEST(StockTemplates, TheCatalogueListsFilesThenStockWithoutHeadings)
{
    QTemporaryDir user, shipped;
    LayoutRecord heading, mine, theirs;
    heading.setName("===== Cards =====");
    mine.setName("Mine<>with a note");
    theirs.setName("Theirs");
    ASSERT_TRUE(writeLayoutFile(user.filePath("Own.LYT"), {heading, mine}));
    ASSERT_TRUE(writeLayoutFile(shipped.filePath("Box.LYT"), {theirs}));
    const plat::ProgramFolder pf = plat::ProgramFolder::fromFolders(QString(), user.path(), shipped.path(), QString());
    const QList<CatalogueEntry> all = layoutCatalogue(pf, readStockFolders({fixture("stock")}));
    QStringList seen;
    for (const CatalogueEntry &e : all)
        seen << sourceName(e.source) + QLatin1Char('/') + e.collection + QLatin1Char('/') + e.name;
    EXPECT_EQ(seen.mid(0, 3), (QStringList{"shipped/Box/Theirs", "user/Own/Mine", "stock/Acme/Acme 5371 Business Cards"}));
    EXPECT_EQ(all.size(), 2 + 6);
    EXPECT_EQ(all[1].note, "with a note");
    // A note is searched too; a maker finds its stock layouts.
    EXPECT_TRUE(all[1].matches("note"));
    int zenith = 0;
    for (const CatalogueEntry &e : all)
        zenith += e.matches("zenith") ? 1 : 0;
    EXPECT_EQ(zenith, 2);
}
