#pragma once
// The design that goes with an order: written with the native writer into a private
// temporary file ("owz" + random + ".bcp" in the temporary folder, readable only by its
// owner), which is removed when the returned object is destroyed - also when the code
// that holds it is left by an exception. Saving for an order leaves the design's file
// name, modified flag and undo history as they are.

#include <QTemporaryFile>
#include <memory>

namespace document {
class DesignDocument;
}

namespace order {

// Null when the file could not be written (message 1003).
std::unique_ptr<QTemporaryFile> saveDesignForOrder(document::DesignDocument &doc);

} // namespace order
