#pragma once
// What the New command does with the design wizard's answer: a design from the template
// (its first region's texts substituted, the background on that region), a blank design on
// a layout the user picks, or the Open command.

#include "layout/LayoutRecord.h"
#include "wizard/WizardAnswer.h"

#include <functional>

namespace document { class DesignDocument; }

namespace wizard {

struct NewOutcome {
    enum class Action {
        Created,   // `doc` holds the new design (result 1) or failed to (result is the message id)
        Cancelled, // the layout was not picked: nothing to do
        OpenFile,  // the caller runs Open
    };
    Action action = Action::Cancelled;
    int result = 0; // for Created: 1 or the message id of the failure
};

// `pickLayout` stands for the layouts dialog: it fills the layout and returns true, or
// returns false when cancelled. The template reader takes the answer's background.
NewOutcome createFromAnswer(document::DesignDocument &doc, WizardAnswer &answer, int untitledNumber,
                            const std::function<bool(layout::LayoutRecord *)> &pickLayout);

} // namespace wizard
