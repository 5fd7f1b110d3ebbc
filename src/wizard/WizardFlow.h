#pragma once
// The design wizard's pages and what Next and Back do on each, by the option chosen on the
// first page, whether a template is selected and the kind of the template.

#include <QString>

namespace wizard {

enum class Page { Option, Template, Background, Card, Finish };

// What a press of Next asks of the wizard.
struct NextStep {
    Page page = Page::Option; // the page to show (the same page when nothing happens)
    bool fillCategories = false; // list the categories (entering the template page)
    bool clearValues = false;    // empty the thirteen marker values (a template without card data)
    bool updatePreview = false;  // update the preview from the card page first
    bool close = false;          // close with OK: the answer is complete
    int choice = -1;             // the answer's choice when closing
};

// `option`: the first page's selection (0 template, 1 layout, 2 open file).
NextStep nextStep(Page current, int option, bool templateSelected, int templateKind);
Page backPage(Page current, int templateKind);
// "&Finish" on the last page, "&Next" elsewhere.
QString nextCaption(Page page);
bool backEnabled(Page page);

} // namespace wizard
