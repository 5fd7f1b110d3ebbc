#pragma once
// The document's print command with its dialogs: the print dialog, the printer's paper
// and orientation, the first side printed or previewed, the instructions for turning the
// sheets over and the second side.

class QPrinter;
class QWidget;

namespace app {
struct TAppOptions;
}
namespace document {
class DesignDocument;
}

namespace print {

class TPrintForm;

// The printer the program prints on, shared by Printer Setup, Print and Print Preview.
QPrinter &sharedPrinter();

// Runs the whole command for `doc`. Returns true when a side was printed or previewed.
bool runPrintDialog(QWidget *parent, document::DesignDocument &doc, const app::TAppOptions &options, bool preview);


} // namespace print
