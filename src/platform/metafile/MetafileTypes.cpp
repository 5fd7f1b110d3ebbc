#include "platform/metafile/MetafileTypes.h"

#include <cmath>

namespace plat::metafile {

QTransform Mapping::windowToViewport(double pxPerMmX, double pxPerMmY) const
{
    double sx = 1, sy = 1;
    switch (mode) {
    case gdi::MapMode::Text: break;
    case gdi::MapMode::LoMetric: sx = pxPerMmX * 0.1; sy = -pxPerMmY * 0.1; break;
    case gdi::MapMode::HiMetric: sx = pxPerMmX * 0.01; sy = -pxPerMmY * 0.01; break;
    case gdi::MapMode::LoEnglish: sx = pxPerMmX * 0.254; sy = -pxPerMmY * 0.254; break;
    case gdi::MapMode::HiEnglish: sx = pxPerMmX * 0.0254; sy = -pxPerMmY * 0.0254; break;
    case gdi::MapMode::Twips: sx = pxPerMmX * 25.4 / 1440; sy = -pxPerMmY * 25.4 / 1440; break;
    case gdi::MapMode::Isotropic:
    case gdi::MapMode::Anisotropic:
        if (windowExt.width() != 0 && windowExt.height() != 0) {
            sx = viewportExt.width() / windowExt.width();
            sy = viewportExt.height() / windowExt.height();
            if (mode == gdi::MapMode::Isotropic) {
                const double m = std::min(std::abs(sx), std::abs(sy));
                sx = sx < 0 ? -m : m;
                sy = sy < 0 ? -m : m;
            }
        }
        break;
    }
    // device = (logical - windowOrg) * scale + viewportOrg
    return QTransform(sx, 0, 0, sy, viewportOrg.x() - windowOrg.x() * sx, viewportOrg.y() - windowOrg.y() * sy);
}

void Mapping::setMode(gdi::MapMode m)
{
    mode = m;
    if (m != gdi::MapMode::Isotropic && m != gdi::MapMode::Anisotropic) {
        windowExt = QSizeF(1, 1);
        viewportExt = QSizeF(1, 1);
    }
}

bool saneTransform(const QTransform &t)
{
    const double v[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    for (double d : v)
        if (!std::isfinite(d) || std::abs(d) > 1e9)
            return false;
    return true;
}

} // namespace plat::metafile
