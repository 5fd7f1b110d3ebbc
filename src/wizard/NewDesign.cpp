#include "wizard/NewDesign.h"

#include "document/DesignDocument.h"

namespace wizard {

NewOutcome createFromAnswer(document::DesignDocument &doc, WizardAnswer &answer, int untitledNumber,
                            const std::function<bool(layout::LayoutRecord *)> &pickLayout)
{
    NewOutcome out;
    switch (answer.choice) {
    case ChoiceTemplate:
        if (answer.templateFile.isEmpty())
            return out;
        out.action = NewOutcome::Action::Created;
        out.result = doc.openTemplate(answer.templateFile, &answer.substitution, untitledNumber);
        return out;
    case ChoicePickLayout: {
        layout::LayoutRecord picked;
        if (!pickLayout || !pickLayout(&picked))
            return out;
        out.action = NewOutcome::Action::Created;
        out.result = doc.createBlank(picked, untitledNumber);
        return out;
    }
    case ChoiceOpenFile:
        out.action = NewOutcome::Action::OpenFile;
        return out;
    default:
        return out;
    }
}

} // namespace wizard
