#pragma once
// Editing services of the document window that other parts of the program plug into.

#include "platform/Picture.h"

#include <functional>

class QWidget;

namespace document {

// Asks the user for the picture of a new graphic; a null picture means cancelled. By
// default a plain file dialog and the picture loader; the picture dialog replaces it.
extern std::function<plat::Picture(QWidget *parent)> pickPictureHook;

} // namespace document
