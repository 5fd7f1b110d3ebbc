#pragma once
// The product's name and the settings keys derived from it, kept in one place.

#include <QString>

namespace app {

// Application title, main window caption and the product's settings sub-key.
inline QString ProductName() { return QStringLiteral("Ostravel"); }
// The maker's settings key; window placement ("WS") lives directly under it.
inline QString VendorKey() { return QStringLiteral("Software\\Dravmont\\Pelloran"); }
// The product's settings key: options, recent files ("History"), toolbars ("TS").
inline QString ProductKey() { return VendorKey() + QLatin1Char('\\') + ProductName(); }

} // namespace app
