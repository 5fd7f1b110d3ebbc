#include "print/PreviewZoom.h"

#include <QLocale>
#include <cmath>

namespace print {

QStringList PreviewZoomItems()
{
    return {QStringLiteral("Fit To Page"), QStringLiteral("Fit To Width"), QStringLiteral("Custom"),
            QStringLiteral("25%"),         QStringLiteral("50%"),          QStringLiteral("75%"),
            QStringLiteral("100%"),        QStringLiteral("125%"),         QStringLiteral("150%"),
            QStringLiteral("200%"),        QStringLiteral("300%"),         QStringLiteral("400%")};
}

double PreviewZoomFactor(int item, QSize clientSize, int screenDpi, int physWidth, int physHeight, int dpiX,
                         int dpiY, double lastFactor)
{
    static const double kPercent[] = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
    switch (item) {
    case ZoomFitToPage:
        if (screenDpi <= 0 || physHeight <= 0 || dpiY <= 0)
            return 1.0;
        return (clientSize.height() - 20) / double(screenDpi) / (double(physHeight) / dpiY);
    case ZoomFitToWidth:
        if (screenDpi <= 0 || physWidth <= 0 || dpiX <= 0)
            return 1.0;
        return (clientSize.width() - 20) / double(screenDpi) / (double(physWidth) / dpiX);
    case ZoomCustom:
        return lastFactor;
    default:
        if (item >= 3 && item < 3 + int(std::size(kPercent)))
            return kPercent[item - 3];
        return 1.0;
    }
}

QSize PreviewPageSize(double factor, int screenDpi, int physWidth, int physHeight, int dpiX, int dpiY)
{
    if (dpiX <= 0 || dpiY <= 0 || factor <= 0)
        return QSize(0, 0);
    auto clampInt = [](double v) { return v > 1e7 ? 10000000 : int(v); };
    return QSize(clampInt(screenDpi * factor * physWidth / dpiX), clampInt(screenDpi * factor * physHeight / dpiY));
}

double ZoomToolClick(double factor, bool leftButton)
{
    if (leftButton)
        return factor < 20 ? factor + 0.25 : factor;
    return factor > 0.25 ? factor - 0.25 : factor;
}

QString PreviewZoomLabel(double factor)
{
    return QLocale().toString(factor * 100, 'f', 0) + QLatin1Char('%');
}

} // namespace print
