#pragma once
// Editing services of the document window that other parts of the program plug into.

#include "platform/Picture.h"

#include <functional>

class QWidget;

namespace document {

// Asks the user for the picture of a new graphic; a null picture means cancelled. By
// default the picture dialog; tests put a function of their own here.
extern std::function<plat::Picture(QWidget *parent)> pickPictureHook;

} // namespace document
