// The wizard's pages: what Next and Back do on each page, by option and template kind.
#include "wizard/WizardFlow.h"

#include <gtest/gtest.h>

using wizard::Page;

namespace {

struct NextCase {
    const char *what;
    Page from;
    int option;
    bool selected;
    int kind;
    Page to;
    bool close;
    int choice;
    bool clearValues;
};

} // namespace

TEST(WizardFlow, NextByPageOptionAndTemplateKind)
{
    const NextCase cases[] = {
        {"template option lists the categories", Page::Option, 0, false, 0, Page::Template, false, -1, false},
        {"layout option closes at once", Page::Option, 1, false, 0, Page::Option, true, 1, false},
        {"open option closes at once", Page::Option, 2, false, 0, Page::Option, true, 2, false},
        {"no template selected waits", Page::Template, 0, false, 0, Page::Template, false, -1, false},
        {"a selected template goes on", Page::Template, 0, true, 0, Page::Background, false, -1, false},
        {"business-card data asks for the card", Page::Background, 0, true, 4, Page::Card, false, -1, false},
        {"kind None finishes and keeps the markers", Page::Background, 0, true, 0, Page::Finish, false, -1, true},
        {"an unknown kind finishes like None", Page::Background, 0, true, 7, Page::Finish, false, -1, true},
        {"kinds 1, 2, 3 and 5 stay", Page::Background, 0, true, 3, Page::Background, false, -1, false},
        {"kind 5 stays", Page::Background, 0, true, 5, Page::Background, false, -1, false},
        {"card page updates the preview and finishes", Page::Card, 0, true, 4, Page::Finish, false, -1, false},
        {"card page without a template waits", Page::Card, 0, false, 4, Page::Card, false, -1, false},
        {"finish closes with the template choice", Page::Finish, 0, true, 4, Page::Finish, true, 0, false},
    };
    for (const NextCase &c : cases) {
        const wizard::NextStep s = wizard::nextStep(c.from, c.option, c.selected, c.kind);
        EXPECT_EQ(s.page, c.to) << c.what;
        EXPECT_EQ(s.close, c.close) << c.what;
        EXPECT_EQ(s.choice, c.choice) << c.what;
        EXPECT_EQ(s.clearValues, c.clearValues) << c.what;
        EXPECT_EQ(s.fillCategories, c.from == Page::Option && c.to == Page::Template) << c.what;
        EXPECT_EQ(s.updatePreview, c.from == Page::Card && c.to == Page::Finish) << c.what;
    }
}

TEST(WizardFlow, BackByPageAndTemplateKind)
{
    EXPECT_EQ(wizard::backPage(Page::Finish, 4), Page::Card);
    EXPECT_EQ(wizard::backPage(Page::Finish, 0), Page::Background);
    EXPECT_EQ(wizard::backPage(Page::Finish, 2), Page::Finish);
    EXPECT_EQ(wizard::backPage(Page::Card, 4), Page::Background);
    EXPECT_EQ(wizard::backPage(Page::Background, 0), Page::Template);
    EXPECT_EQ(wizard::backPage(Page::Template, 0), Page::Option);
}
