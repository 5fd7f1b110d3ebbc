#pragma once
// The Order command: saves the design into a private temporary file and shows the order
// wizard with it as the first product's attachment. The file is gone when this returns.

class QWidget;

namespace document {
class DesignDocument;
class TMDIChildForm;
} // namespace document

namespace order::ui {

// For the active document window: empties its selection first.
void runOrderCommand(QWidget *parent, document::TMDIChildForm *child);
// The wizard for a design; shows message 1003 when the design cannot be saved.
void runOrderWizard(QWidget *parent, document::DesignDocument &doc);

} // namespace order::ui
