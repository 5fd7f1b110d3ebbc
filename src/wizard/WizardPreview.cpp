#include "wizard/WizardPreview.h"

#include "editing/SurfacePainter.h"
#include "files/DesignFile.h"
#include "layout/LayoutRecord.h"
#include "pictures/PictureHelpers.h"
#include "platform/gdi/PainterCanvas.h"

#include <QPainter>

namespace wizard {

QRect previewArea(const QRect &panel, int clientWidth)
{
    const int left = panel.x() + panel.width() + 10;
    const int right = clientWidth - 10;
    const int top = panel.y() + 20;
    const int bottom = panel.y() + panel.height() - 20;
    return QRect(left, top, right - left, bottom - top);
}

PreviewFit fitPreview(const QRect &area, int w, int h)
{
    PreviewFit fit;
    if (w <= 0 || h <= 0)
        return fit;
    if (h < w) {
        const double scale = double(area.width() - 10) / w;
        fit.zoom = int(double(area.width() - 10) / w * 100);
        fit.left = area.x() + 6;
        fit.top = int((area.height() - h * scale) / 2 + area.y());
    } else {
        const double scale = double(area.height() - 10) / h;
        fit.zoom = int(double(area.height() - 10) / h * 100);
        fit.left = int((area.width() - w * scale) / 2 + area.x());
        fit.top = area.y() + 6;
    }
    if (fit.zoom < 1)
        fit.zoom = 0;
    return fit;
}

WizardPreview::WizardPreview()
{
    m_surface.setShowGrid(false);
    m_surface.setShowMargins(false);
}

WizardPreview::~WizardPreview()
{
    // Items go before the manager that named them.
    m_surface.clearItems();
}

void WizardPreview::reset()
{
    m_surface.clearItems();
    m_manager = std::make_unique<model::TObjectManager>(&m_surface);
    m_surface.setBackground(plat::Picture());
    m_shown = false;
}

int WizardPreview::update(WizardAnswer &answer, const QRect &area)
{
    reset();
    if (answer.templateFile.isEmpty())
        return 0;
    answer.substitution.background = m_backgroundChosen ? m_background : plat::Picture();
    layout::LayoutRecord layout;
    int zoom = 100;
    const int result = files::ReadTemplate(*m_manager, answer.templateFile, &layout, nullptr, &zoom,
                                           &answer.substitution);
    // The reader takes the picture only when it succeeds; the answer never keeps it.
    answer.substitution.background = plat::Picture();
    if (result != files::ResultOk) {
        reset();
        return result;
    }
    m_kind = layout.TemplateKind();
    answer.templateKind = m_kind;
    m_surface.rescale(100, zoom);
    int w = 0, h = 0;
    layout::GetRegionInfo(layout.RegionType(), 0, layout.Width(), layout.Height(), nullptr, &w, &h, nullptr,
                          nullptr, nullptr);
    m_fit = fitPreview(area, w, h);
    if (m_fit.zoom <= 0)
        return result;
    m_surface.rescale(m_fit.zoom, 100);
    m_shown = true;
    return result;
}

void WizardPreview::chooseBackground(const plat::Picture &picture)
{
    m_background = picture;
    m_backgroundChosen = !picture.isNull();
    m_surface.setBackground(picture);
}

bool WizardPreview::chooseBackgroundFile(const QString &file, bool reduceColors)
{
    chooseBackground(pictures::LoadPicture(file, reduceColors));
    return m_backgroundChosen;
}

void WizardPreview::clearBackground() { chooseBackground(plat::Picture()); }

QImage WizardPreview::render() const
{
    if (!m_shown || m_surface.width() <= 0 || m_surface.height() <= 0)
        return {};
    QImage image(m_surface.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        gdi::PainterCanvas canvas(painter);
        editing::paintSurface(canvas, m_surface, m_fit.zoom);
    }
    return image;
}

} // namespace wizard
