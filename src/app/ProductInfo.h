#pragma once
// What the program says about itself (notice line, web pages, version); its name and
// settings keys are in Product.h.

#include <QString>

namespace app {

struct ProductInfo {
    static QString version() { return QStringLiteral(OSTRAVEL_VERSION ".0"); }
    static QString notice()
    {
        return QStringLiteral("Copyright \u00A9 2026 the Ostravel developers. Free software under the GNU GPL, "
                              "version 3 or later.");
    }
    // Web pages, without the scheme (the Web menu adds it).
    static QString vendorHomePage() { return QStringLiteral("ostravel.example.org"); }
    static QString vendorDownloadsPage() { return QStringLiteral("ostravel.example.org/downloads"); }
    static QString productHomePage() { return QStringLiteral("ostravel.example.org/cards"); }
    static QString supportPage() { return QStringLiteral("ostravel.example.org/support"); }
};

} // namespace app
