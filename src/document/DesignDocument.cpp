#include "document/DesignDocument.h"

#include "files/LegacyImport.h"

#include <QFileInfo>

namespace document {

DesignDocument::DesignDocument(QObject *parent)
    : QObject(parent), m_manager(std::make_unique<model::TObjectManager>(&m_surface))
{
}

DesignDocument::~DesignDocument()
{
    // Items go before the manager that named them.
    m_surface.clearItems();
}

QString DesignDocument::messageFor(int result)
{
    if (result == kRegionSizeError)
        return layout::regionSizeDocumentMessage();
    return files::resultMessage(result);
}

void DesignDocument::sizeSurfaceToLayout()
{
    int w = 0, h = 0;
    layout::GetRegionInfo(m_layout.RegionType(), 0, m_layout.Width(), m_layout.Height(), nullptr, &w,
                          &h, nullptr, nullptr, nullptr);
    m_surface.setSize(QSize(w, h));
}

bool DesignDocument::checkRegionSize() const { return layout::regionSizeOk(m_layout); }

int DesignDocument::createBlank(const layout::LayoutRecord &l, int untitledNumber)
{
    m_layout = l;
    m_untitledNumber = untitledNumber;
    m_fileName.clear();
    sizeSurfaceToLayout();
    if (!checkRegionSize())
        return kRegionSizeError;
    emit captionChanged(caption());
    return files::ResultOk;
}

int DesignDocument::openFile(const QString &fileName)
{
    m_untitledNumber = 0;
    int zoom = 100;
    const int result = files::ReadDesign(*m_manager, fileName, &m_layout, &m_dataFileName, &zoom);
    if (result != files::ResultOk)
        return result;
    m_zoom = zoom;
    m_fileName = fileName;
    if (!checkRegionSize())
        return kRegionSizeError;
    emit captionChanged(caption());
    return files::ResultOk;
}

int DesignDocument::openTemplate(const QString &fileName, files::Substitution *substitution, int untitledNumber)
{
    m_untitledNumber = untitledNumber;
    int zoom = 100;
    const int result = files::ReadTemplate(*m_manager, fileName, &m_layout, &m_dataFileName, &zoom, substitution);
    m_fileName.clear();
    if (result != files::ResultOk)
        return result;
    m_zoom = zoom;
    if (!checkRegionSize())
        return kRegionSizeError;
    emit captionChanged(caption());
    return files::ResultOk;
}

int DesignDocument::importLegacy(const QString &fileName, int untitledNumber)
{
    m_untitledNumber = untitledNumber;
    m_fileName.clear();
    const int result = files::ImportLegacy(*m_manager, fileName, &m_layout, &m_dataFileName,
                                           files::upperExtension(fileName));
    if (result != files::ResultOk)
        return result;
    m_zoom = 100;
    if (!checkRegionSize())
        return kRegionSizeError;
    emit captionChanged(caption());
    return files::ResultOk;
}

QString DesignDocument::caption() const
{
    if (m_fileName.isEmpty())
        return QStringLiteral("Untitled ") + QString::number(m_untitledNumber);
    return m_fileName;
}

void DesignDocument::setDataFileName(const QString &name)
{
    if (name == m_dataFileName)
        return;
    m_dataFileName = name;
    setModified(true);
}

void DesignDocument::setModified(bool on)
{
    if (on == m_modified)
        return;
    m_modified = on;
    emit modifiedChanged(on);
}

void DesignDocument::regionPair(int index, int *side, int *region) const
{
    *side = 0;
    *region = 0;
    layout::GetRegionSide(m_layout.RegionType(), index, side, region);
}

QStringList DesignDocument::regionNames() const
{
    if (m_layout.RegionType() == 0 && m_layout.BackPrintable() == 0)
        return {QStringLiteral("Front")};
    QStringList names;
    layout::GetRegionInfo(m_layout.RegionType(), 0, m_layout.Width(), m_layout.Height(), &names,
                          nullptr, nullptr, nullptr, nullptr, nullptr);
    return names;
}

bool DesignDocument::switchRegion(int index)
{
    if (index == m_regionIndex)
        return true;
    int curSide = 0, curRegion = 0, newSide = 0, newRegion = 0;
    regionPair(m_regionIndex, &curSide, &curRegion);
    regionPair(index, &newSide, &newRegion);
    if (!m_manager->SwitchRegion(curSide, curRegion, newSide, newRegion, m_zoom))
        return false;
    m_regionIndex = index;
    emit regionChanged(index);
    return true;
}

int DesignDocument::setZoom(int value, bool relative)
{
    if (value <= 0 && relative && -value + 24 >= m_zoom)
        return m_zoom;
    const int target = relative ? m_zoom + value : value;
    if (target < 25)
        return m_zoom;
    if (m_zoom != 100)
        m_surface.rescale(100, m_zoom);
    m_zoom = target;
    m_surface.rescale(m_zoom, 100);
    setModified(true);
    emit zoomChanged(m_zoom);
    return m_zoom;
}

bool DesignDocument::save(const QString &fileName)
{
    int side = 0, region = 0;
    regionPair(m_regionIndex, &side, &region);
    // A failed write keeps the old name: the design is still what it was before.
    if (!files::WriteDesign(*m_manager, fileName, m_layout, m_dataFileName, m_zoom, side, region, false))
        return false;
    m_fileName = fileName;
    setModified(false);
    emit captionChanged(caption());
    return true;
}

bool DesignDocument::saveAsTemplate(const QString &fileName)
{
    int side = 0, region = 0;
    regionPair(m_regionIndex, &side, &region);
    if (!files::WriteDesign(*m_manager, fileName, m_layout, m_dataFileName, m_zoom, side, region, true))
        return false;
    // The design now lives in the template file: a later Save writes it there in full.
    m_fileName = fileName;
    setModified(false);
    emit captionChanged(caption());
    return true;
}

} // namespace document
