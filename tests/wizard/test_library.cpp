// The wizard's folders: categories, templates and backgrounds over the program folders.
#include "WizardTestSupport.h"

#include "wizard/TemplateLibrary.h"
#include "wizard/WizardFlow.h"

#include <gtest/gtest.h>

using namespace wizardtests;

namespace {

QStringList names(const QList<wizard::TemplateEntry> &entries)
{
    QStringList out;
    for (const auto &e : entries)
        out.append(e.name);
    return out;
}

} // namespace

TEST(TemplateFolders, WithoutTemplateFoldersNothingIsOfferedAndNextWaitsOnTheTemplatePage)
{
    Tree user;
    const plat::ProgramFolder pf = programFolder(user.path());
    EXPECT_TRUE(wizard::categories(pf, false).isEmpty());
    EXPECT_TRUE(wizard::templates(pf, false, QStringLiteral("Cards")).isEmpty());
    EXPECT_TRUE(wizard::allTemplates(pf, false).isEmpty());
    EXPECT_TRUE(wizard::backgrounds(pf).isEmpty());

    // With no category there is no selected template: Next stays, Back returns to step 1.
    const wizard::NextStep next = wizard::nextStep(wizard::Page::Template, 0, false, 0);
    EXPECT_EQ(next.page, wizard::Page::Template);
    EXPECT_FALSE(next.close);
    EXPECT_EQ(wizard::backPage(wizard::Page::Template, 0), wizard::Page::Option);
}

TEST(TemplateFolders, CategoriesAreFoldersAndTemplatesAreCctFilesWithoutTheExtension)
{
    Tree user;
    user.file(QStringLiteral("Template/Standard/readme.txt"));
    user.file(QStringLiteral("Template/Standard/notes"));      // a file without extension is no category either
    user.folder(QStringLiteral("Template/Standard/.cache"));
    user.file(QStringLiteral("Template/Standard/Cards/Blue Wave.cct"));
    user.file(QStringLiteral("Template/Standard/Cards/ALPHA.CCT"));
    user.file(QStringLiteral("Template/Standard/Cards/notes.txt"));
    user.file(QStringLiteral("Template/Standard/Cards/backup.cct.bak"));
    user.folder(QStringLiteral("Template/Standard/appointments"));
    const plat::ProgramFolder pf = programFolder(user.path());

    EXPECT_EQ(wizard::categories(pf, false), (QStringList{QStringLiteral("appointments"), QStringLiteral("Cards")}));
    const QList<wizard::TemplateEntry> cards = wizard::templates(pf, false, QStringLiteral("Cards"));
    EXPECT_EQ(names(cards), (QStringList{QStringLiteral("ALPHA"), QStringLiteral("Blue Wave")}));
    ASSERT_EQ(cards.size(), 2);
    EXPECT_EQ(cards.at(1).path, user.path(QStringLiteral("Template/Standard/Cards/Blue Wave.cct")));
    EXPECT_EQ(cards.at(1).category, QStringLiteral("Cards"));

    EXPECT_EQ(wizard::findTemplate(pf, false, QStringLiteral("cards/blue wave")).path, cards.at(1).path);
    EXPECT_EQ(wizard::findTemplate(pf, false, QStringLiteral("Cards/Blue Wave.cct")).path, cards.at(1).path);
    EXPECT_TRUE(wizard::findTemplate(pf, false, QStringLiteral("Blue Wave")).path.isEmpty());
    EXPECT_TRUE(wizard::findTemplate(pf, false, QStringLiteral("Cards/../Cards/Blue Wave")).path.isEmpty());
    // A category name never leaves the template root.
    EXPECT_TRUE(wizard::templates(pf, false, QStringLiteral("../Standard/Cards")).isEmpty());
}

TEST(TemplateFolders, TheUsersFolderAddsToAndShadowsTheShippedLibrary)
{
    Tree user, shipped;
    shipped.file(QStringLiteral("Template/Standard/Cards/Blue Wave.cct"), "shipped");
    shipped.file(QStringLiteral("Template/Standard/Cards/Classic.cct"), "shipped");
    user.file(QStringLiteral("Template/Standard/cards/blue wave.cct"), "mine");
    user.file(QStringLiteral("Template/Standard/cards/My Own.cct"), "mine");
    user.file(QStringLiteral("Template/Standard/Mine Only/Tag.cct"), "mine");
    shipped.file(QStringLiteral("Background/Waves.jpg"));
    user.file(QStringLiteral("Background/waves.JPG"));
    user.file(QStringLiteral("Background/Photo.jpeg"));
    user.file(QStringLiteral("Background/readme.txt"));
    const plat::ProgramFolder pf = programFolder(user.path(), shipped.path());

    EXPECT_EQ(wizard::categories(pf, false), (QStringList{QStringLiteral("cards"), QStringLiteral("Mine Only")}));
    const QList<wizard::TemplateEntry> cards = wizard::templates(pf, false, QStringLiteral("cards"));
    EXPECT_EQ(names(cards), (QStringList{QStringLiteral("blue wave"), QStringLiteral("Classic"), QStringLiteral("My Own")}));
    EXPECT_TRUE(cards.at(0).path.startsWith(user.path())) << cards.at(0).path.toStdString();
    EXPECT_TRUE(cards.at(1).path.startsWith(shipped.path()));

    // Pictures only; the user's copy of a background shadows the shipped one.
    const QStringList bg = wizard::backgrounds(pf);
    ASSERT_EQ(bg.size(), 2);
    EXPECT_EQ(QFileInfo(bg.at(0)).fileName(), QStringLiteral("Photo.jpeg"));
    EXPECT_EQ(bg.at(1), user.path(QStringLiteral("Background/waves.JPG")));
    EXPECT_EQ(wizard::findBackground(pf, QStringLiteral("Waves")), bg.at(1));
    EXPECT_EQ(wizard::findBackground(pf, QStringLiteral("photo.jpeg")), bg.at(0));
    EXPECT_EQ(wizard::findBackground(pf, shipped.path(QStringLiteral("Background/Waves.jpg"))),
              shipped.path(QStringLiteral("Background/Waves.jpg")));
    EXPECT_TRUE(wizard::findBackground(pf, QStringLiteral("readme")).isEmpty());
}

TEST(TemplateFolders, MetricUsersReadTheMetricFolderWhenThereIsOne)
{
    Tree user;
    user.file(QStringLiteral("Template/Standard/Inch/A.cct"));
    const plat::ProgramFolder pf = programFolder(user.path());
    // No Metric folder: the metric option changes nothing.
    EXPECT_EQ(wizard::categories(pf, true), QStringList{QStringLiteral("Inch")});

    user.file(QStringLiteral("Template/Metric/Millimetre/B.cct"));
    EXPECT_EQ(wizard::categories(pf, true), QStringList{QStringLiteral("Millimetre")});
    EXPECT_EQ(wizard::categories(pf, false), QStringList{QStringLiteral("Inch")});
    EXPECT_EQ(wizard::userTemplateRoot(pf, true), user.path(QStringLiteral("Template/Metric")));
}
