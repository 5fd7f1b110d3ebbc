#pragma once
// One open design without its window: the surface with the region on screen, the object
// manager with the other regions and the undo history, the layout, the linked data file,
// the file name, zoom, current region and modified flag. The document window shows it; the
// command line and the tests use it directly.

#include "files/DesignFile.h"
#include "layout/LayoutRecord.h"
#include "model/SurfaceModel.h"
#include "model/TObjectManager.h"

#include <QObject>
#include <QString>
#include <memory>

namespace document {

class DesignDocument : public QObject {
    Q_OBJECT
public:
    explicit DesignDocument(QObject *parent = nullptr);
    ~DesignDocument() override;

    model::SurfaceModel *surface() { return &m_surface; }
    const model::SurfaceModel *surface() const { return &m_surface; }
    model::TObjectManager *manager() { return m_manager.get(); }
    const model::TObjectManager *manager() const { return m_manager.get(); }
    const layout::LayoutRecord &layout() const { return m_layout; }
    void setLayout(const layout::LayoutRecord &l) { m_layout = l; }

    // Creation. Each returns 1 or the id of the message to show (see files::resultMessage;
    // kRegionSizeError for a layout whose regions are out of range).
    static constexpr int kRegionSizeError = -1;
    int createBlank(const layout::LayoutRecord &layout, int untitledNumber);
    int openFile(const QString &fileName);
    int openTemplate(const QString &fileName, files::Substitution *substitution, int untitledNumber);
    // A design of an earlier generation (.bco, .bcd) as a new untitled design.
    int importLegacy(const QString &fileName, int untitledNumber);
    // The text of a creation result.
    static QString messageFor(int result);

    // Writes the design under `fileName` (the template flag off); on success the file name
    // is kept, the modified flag and the undo history are cleared.
    bool save(const QString &fileName);
    bool saveAsTemplate(const QString &fileName);

    // Switches the surface to the region at `index` of the layout's region list.
    bool switchRegion(int index);
    int currentRegionIndex() const { return m_regionIndex; }
    QStringList regionNames() const;
    void regionPair(int index, int *side, int *region) const;

    // Zoom changes go through 100 %: the surface is rescaled back to 100 and then to the new
    // zoom. Returns the applied zoom (a step that would go below 25 changes nothing).
    int setZoom(int value, bool relative);
    int zoom() const { return m_zoom; }

    const QString &fileName() const { return m_fileName; }
    int untitledNumber() const { return m_untitledNumber; }
    QString caption() const;
    const QString &dataFileName() const { return m_dataFileName; }
    void setDataFileName(const QString &name);

    bool isModified() const { return m_modified; }
    void setModified(bool on = true);

signals:
    void modifiedChanged(bool modified);
    void zoomChanged(int zoom);
    void regionChanged(int index);
    void captionChanged(const QString &caption);

private:
    bool checkRegionSize() const;
    void sizeSurfaceToLayout();

    model::SurfaceModel m_surface;
    std::unique_ptr<model::TObjectManager> m_manager;
    layout::LayoutRecord m_layout;
    QString m_dataFileName;
    QString m_fileName;
    int m_untitledNumber = 0;
    int m_zoom = 100;
    int m_regionIndex = 0;
    bool m_modified = false;
};

} // namespace document
