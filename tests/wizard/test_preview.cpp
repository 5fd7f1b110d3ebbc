// The wizard's preview, its fit arithmetic, the substitution record and what New makes of
// the answer.
#include "WizardTestSupport.h"

#include "document/DesignDocument.h"
#include "wizard/NewDesign.h"
#include "wizard/WizardAnswer.h"
#include "wizard/WizardFlow.h"
#include "wizard/WizardPreview.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace wizardtests;

namespace {

// Single-string texts on a surface, bottom to top.
QStringList texts(const model::SurfaceModel &s)
{
    QStringList out;
    for (const auto &item : s.items())
        if (item->data() && item->data()->isText() && item->data()->Lines.size() == 1)
            out.append(item->data()->Lines.first());
    return out;
}

const QRect kArea(200, 30, 400, 300);

QString jpegFile(const Tree &tree, const QString &name)
{
    QImage img(70, 40, QImage::Format_RGB32);
    img.fill(QColor(20, 90, 160));
    const QString path = tree.path(name);
    EXPECT_TRUE(img.save(path, "JPG"));
    return path;
}

} // namespace

TEST(PreviewFit, WideFacesTakeTheWidthAndTallOnesTheHeight)
{
    struct Case {
        int w, h;
        int zoom, left, top;
    } const cases[] = {
        {350, 200, 111, 206, 68}, // (400 - 10) / 350; centred vertically
        {200, 350, 82, 317, 36},  // (300 - 10) / 350; centred horizontally
        {300, 300, 96, 255, 36},  // a square is fitted to the height
        {400, 150, 97, 206, 106},
    };
    for (const Case &c : cases) {
        const wizard::PreviewFit f = wizard::fitPreview(kArea, c.w, c.h);
        EXPECT_EQ(f.zoom, c.zoom) << c.w << "x" << c.h;
        EXPECT_EQ(f.left, c.left) << c.w << "x" << c.h;
        EXPECT_EQ(f.top, c.top) << c.w << "x" << c.h;
    }
    EXPECT_EQ(wizard::fitPreview(kArea, 0, 200).zoom, 0);
    EXPECT_EQ(wizard::fitPreview(QRect(0, 0, 8, 8), 350, 200).zoom, 0);
    EXPECT_EQ(wizard::previewArea(QRect(10, 10, 180, 320), 620), QRect(200, 30, 410, 280));
}

TEST(WizardPreview, ATemplateIsShownInsideTheAreaWhateverZoomItWasSavedAt)
{
    Tree tree;
    const QString wide = tree.file(QStringLiteral("wide.cct"), templateBytes(0, {QStringLiteral("Hello")}, cardLayout(), {}, 250));
    const QString tall = tree.file(QStringLiteral("tall.cct"), templateBytes(0, {QStringLiteral("Hello")}, cardLayout(true)));
    struct Case {
        QString file;
        int zoom;
        QSize size;
    } const cases[] = {{wide, 111, QSize(389, 222)}, {tall, 82, QSize(164, 287)}};
    for (const Case &c : cases) {
        wizard::WizardPreview preview;
        wizard::WizardAnswer answer;
        answer.templateFile = c.file;
        ASSERT_EQ(preview.update(answer, kArea), 1);
        EXPECT_TRUE(preview.isShown());
        EXPECT_EQ(preview.fit().zoom, c.zoom);
        EXPECT_EQ(preview.surface().size(), c.size);
        const QRect shown(QPoint(preview.fit().left, preview.fit().top), preview.surface().size());
        EXPECT_TRUE(kArea.contains(shown)) << c.file.toStdString();
        // The text was saved 20 units from the left: at the preview's zoom it stays in proportion.
        ASSERT_EQ(preview.surface().count(), 1);
        EXPECT_EQ(preview.surface().itemAt(0)->left(), 20 * c.zoom / 100);
        EXPECT_EQ(preview.render().size(), c.size);
    }
}

TEST(WizardPreview, AnUnreadableTemplateLeavesThePreviewHiddenAndNewReportsTheError)
{
    Tree tree;
    const QString good = tree.file(QStringLiteral("good.cct"), templateBytes(4, {QStringLiteral("NAME")}));
    const QString bad = tree.file(QStringLiteral("bad.cct"), QByteArray(600, 'x'));
    wizard::WizardPreview preview;
    wizard::WizardAnswer answer;
    answer.templateFile = good;
    ASSERT_EQ(preview.update(answer, kArea), 1);
    answer.templateFile = bad;
    EXPECT_EQ(preview.update(answer, kArea), files::ResultBadVersion);
    EXPECT_FALSE(preview.isShown());
    EXPECT_EQ(preview.surface().count(), 0);
    EXPECT_TRUE(preview.render().isNull());
    // The kind of the last template that could be previewed stays.
    EXPECT_EQ(answer.templateKind, 4);

    document::DesignDocument doc;
    const wizard::NewOutcome out = wizard::createFromAnswer(doc, answer, 1, {});
    EXPECT_EQ(out.action, wizard::NewOutcome::Action::Created);
    EXPECT_EQ(out.result, files::ResultBadVersion);
}

TEST(WizardAnswer, BusinessCardDataSubstitutesTheTypedCompanyInPreviewAndDesign)
{
    Tree tree;
    const QString file = tree.file(
        QStringLiteral("Card.cct"),
        templateBytes(4, {QStringLiteral("NAME"), QStringLiteral("COMPANY"), QStringLiteral("ADDRESS"),
                          QStringLiteral("FROMNAME")},
                      cardLayout(), {QStringLiteral("COMPANY")}));
    for (const QString &company : {QStringLiteral("Acme Printing"), QString()}) {
        wizard::WizardPreview preview;
        wizard::WizardAnswer answer;
        answer.templateFile = file;
        ASSERT_EQ(preview.update(answer, kArea), 1); // selecting the template
        ASSERT_EQ(answer.templateKind, 4);
        ASSERT_EQ(wizard::nextStep(wizard::Page::Background, 0, true, answer.templateKind).page, wizard::Page::Card);

        wizard::CardFields card;
        card.company = company;
        card.address = QStringLiteral("1 Mill Lane\nHaworth");
        wizard::fillValues(answer.substitution, card, answer.templateKind); // "Update"
        ASSERT_EQ(preview.update(answer, kArea), 1);
        const QString shown = company.isEmpty() ? QStringLiteral("COMPANY") : company;
        EXPECT_EQ(texts(preview.surface()),
                  (QStringList{QStringLiteral("NAME"), shown, card.address, QStringLiteral("FROMNAME")}));

        const wizard::NextStep finish = wizard::nextStep(wizard::Page::Card, 0, true, answer.templateKind);
        ASSERT_TRUE(finish.updatePreview);
        const wizard::NextStep close = wizard::nextStep(finish.page, 0, true, answer.templateKind);
        ASSERT_TRUE(close.close);
        answer.choice = close.choice;
        document::DesignDocument doc;
        const wizard::NewOutcome out = wizard::createFromAnswer(doc, answer, 3, {});
        ASSERT_EQ(out.result, 1);
        EXPECT_EQ(texts(*doc.surface()),
                  (QStringList{QStringLiteral("NAME"), shown, card.address, QStringLiteral("FROMNAME")}));
        EXPECT_EQ(doc.caption(), QStringLiteral("Untitled 3"));
        EXPECT_TRUE(doc.fileName().isEmpty());
        // Only the first region is substituted.
        ASSERT_TRUE(doc.switchRegion(1));
        EXPECT_EQ(texts(*doc.surface()), QStringList{QStringLiteral("COMPANY")});
    }
}

TEST(WizardAnswer, ATemplateWithoutCardDataKeepsItsMarkers)
{
    Tree tree;
    const QString file = tree.file(QStringLiteral("Plain.cct"), templateBytes(0, {QStringLiteral("COMPANY"), QStringLiteral("ADDRESS")}));
    wizard::WizardPreview preview;
    wizard::WizardAnswer answer;
    answer.templateFile = file;
    wizard::CardFields card;
    card.company = QStringLiteral("Typed earlier");
    card.address = QStringLiteral("Somewhere");
    wizard::fillValues(answer.substitution, card, 0);
    ASSERT_EQ(preview.update(answer, kArea), 1);
    // The preview shows what the card page holds, but the address only for card-data templates.
    EXPECT_EQ(texts(preview.surface()), (QStringList{QStringLiteral("Typed earlier"), QStringLiteral("ADDRESS")}));

    const wizard::NextStep step = wizard::nextStep(wizard::Page::Background, 0, true, answer.templateKind);
    ASSERT_EQ(step.page, wizard::Page::Finish);
    ASSERT_TRUE(step.clearValues);
    wizard::clearValues(answer.substitution);
    answer.choice = wizard::nextStep(step.page, 0, true, answer.templateKind).choice;
    document::DesignDocument doc;
    ASSERT_EQ(wizard::createFromAnswer(doc, answer, 1, {}).result, 1);
    EXPECT_EQ(texts(*doc.surface()), (QStringList{QStringLiteral("COMPANY"), QStringLiteral("ADDRESS")}));
}

TEST(WizardAnswer, ABackgroundChosenThenClearedFinishesWithoutOne)
{
    Tree tree;
    const QString file = tree.file(QStringLiteral("T.cct"), templateBytes(0, {QStringLiteral("Hi")}));
    const QString picture = jpegFile(tree, QStringLiteral("Blue.jpg"));
    const QString notAPicture = tree.file(QStringLiteral("notes.jpg"), "not a picture");

    for (const bool clearIt : {false, true}) {
        wizard::WizardPreview preview;
        wizard::WizardAnswer answer;
        answer.templateFile = file;
        EXPECT_FALSE(preview.chooseBackgroundFile(notAPicture, false));
        ASSERT_TRUE(preview.chooseBackgroundFile(picture, false));
        ASSERT_EQ(preview.update(answer, kArea), 1);
        // Updating the preview keeps the chosen background and never leaves it in the answer.
        EXPECT_FALSE(preview.surface().background().isNull());
        EXPECT_TRUE(answer.substitution.background.isNull());
        if (clearIt) {
            preview.clearBackground();
            EXPECT_FALSE(preview.backgroundChosen());
            EXPECT_TRUE(preview.surface().background().isNull());
        }
        // Finish: a copy of the preview's background when one was chosen.
        answer.substitution.background = preview.backgroundChosen() ? preview.background() : plat::Picture();
        answer.choice = wizard::ChoiceTemplate;
        document::DesignDocument doc;
        ASSERT_EQ(wizard::createFromAnswer(doc, answer, 1, {}).result, 1);
        EXPECT_EQ(doc.surface()->background().isNull(), clearIt);
        EXPECT_TRUE(answer.substitution.background.isNull()) << "the reader takes the picture";
    }
}

TEST(NewFromAnswer, LayoutAndOpenChoices)
{
    document::DesignDocument doc;
    wizard::WizardAnswer answer;
    answer.choice = wizard::ChoicePickLayout;
    // The layouts dialog cancelled: nothing happens.
    EXPECT_EQ(wizard::createFromAnswer(doc, answer, 2, [](layout::LayoutRecord *) { return false; }).action,
              wizard::NewOutcome::Action::Cancelled);
    const wizard::NewOutcome blank = wizard::createFromAnswer(doc, answer, 2, [](layout::LayoutRecord *l) {
        *l = cardLayout(true);
        return true;
    });
    EXPECT_EQ(blank.action, wizard::NewOutcome::Action::Created);
    EXPECT_EQ(blank.result, 1);
    EXPECT_EQ(doc.surface()->size(), QSize(200, 350));
    EXPECT_EQ(doc.caption(), QStringLiteral("Untitled 2"));

    answer.choice = wizard::ChoiceOpenFile;
    EXPECT_EQ(wizard::createFromAnswer(doc, answer, 3, {}).action, wizard::NewOutcome::Action::OpenFile);
}

TEST(CardFields, APersonalRecordFillsTheCardPage)
{
    struct Case {
        const char *first, *last, *name;
    } const cases[] = {{"Ann", "Lee", "Ann Lee"}, {"Ann", "", "Ann"}, {"", "Lee", "Lee"}, {"", "", ""}};
    for (const Case &c : cases) {
        const wizard::CardFields card = wizard::CardFields::fromRecord([&](const QString &field) {
            if (field == QLatin1String("FNAME"))
                return QString::fromLatin1(c.first);
            if (field == QLatin1String("LNAME"))
                return QString::fromLatin1(c.last);
            return field.toLower();
        });
        EXPECT_EQ(card.name, QString::fromLatin1(c.name));
        EXPECT_EQ(card.email, QStringLiteral("email"));
        EXPECT_EQ(card.user[3], QStringLiteral("user4"));
    }
}

TEST(CardFields, CommandLineFieldNamesMatchTheMarkers)
{
    EXPECT_EQ(wizard::markerForField(QStringLiteral("NAME")), wizard::MarkerName);
    EXPECT_EQ(wizard::markerForField(QStringLiteral("return_address")), wizard::MarkerReturnAddress);
    EXPECT_EQ(wizard::markerForField(QStringLiteral("RETURN ADDRESS")), wizard::MarkerReturnAddress);
    EXPECT_EQ(wizard::markerForField(QStringLiteral("user4")), wizard::MarkerUser4);
    EXPECT_EQ(wizard::markerForField(QStringLiteral("NAMES")), -1);
    EXPECT_EQ(wizard::markerForField(QString()), -1);
}
