#pragma once
// What a document window needs of the frame that hosts it.

#include "app/AppOptions.h"

#include <QString>

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

    // ---- editing ----
    // The tool that is down (document::Tool); the frame's tool buttons by default Select.
    virtual int currentTool() const { return 0; }
    virtual void setCurrentTool(int) {}
    // Panel 0 of the status bar.
    virtual void showMousePosition(const QString &) {}
    // The object list of the active document, and the property editor.
    virtual void refreshObjectList() {}
    virtual void refreshPropertyEditor(bool /*resetPage*/) {}
};

} // namespace document
