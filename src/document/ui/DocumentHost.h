#pragma once
// What a document window needs of the frame that hosts it.

#include "app/AppOptions.h"

class QMenu;

namespace document {

class DocumentHost {
public:
    virtual ~DocumentHost() = default;
    virtual const app::TAppOptions &appOptions() const = 0;
    virtual void UpdateCommands() = 0;
    // Refreshes the commands once the closing window no longer counts.
    virtual void startEnableTimer() = 0;
    virtual QMenu *objectMenu() const = 0;
};

} // namespace document
