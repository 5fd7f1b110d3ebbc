#include "wizard/WizardFlow.h"

#include "wizard/WizardAnswer.h"

namespace wizard {

namespace {
// Kinds that no template writer produces; the wizard does not know where they lead.
bool unknownKind(int kind) { return kind == 1 || kind == 2 || kind == 3 || kind == 5; }
} // namespace

NextStep nextStep(Page current, int option, bool templateSelected, int templateKind)
{
    NextStep s;
    s.page = current;
    switch (current) {
    case Page::Option:
        if (option == ChoicePickLayout || option == ChoiceOpenFile) {
            s.close = true;
            s.choice = option;
        } else {
            s.fillCategories = true;
            s.page = Page::Template;
        }
        break;
    case Page::Template:
        if (templateSelected)
            s.page = Page::Background;
        break;
    case Page::Background:
        if (templateKind == kBusinessCardKind) {
            s.page = Page::Card;
        } else if (!unknownKind(templateKind)) {
            s.page = Page::Finish;
            s.clearValues = true;
        }
        break;
    case Page::Card:
        if (templateSelected) {
            s.updatePreview = true;
            s.page = Page::Finish;
        }
        break;
    case Page::Finish:
        s.close = true;
        s.choice = ChoiceTemplate;
        break;
    }
    return s;
}

Page backPage(Page current, int templateKind)
{
    switch (current) {
    case Page::Finish:
        if (templateKind == kBusinessCardKind)
            return Page::Card;
        return unknownKind(templateKind) ? Page::Finish : Page::Background;
    case Page::Card:
        return Page::Background;
    case Page::Background:
        return Page::Template;
    case Page::Template:
    case Page::Option:
        return Page::Option;
    }
    return current;
}

QString nextCaption(Page page)
{
    return page == Page::Finish ? QStringLiteral("&Finish") : QStringLiteral("&Next");
}

bool backEnabled(Page page) { return page != Page::Option; }

} // namespace wizard
