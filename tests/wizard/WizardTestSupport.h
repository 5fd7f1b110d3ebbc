#pragma once
// Shared bits of the wizard suite: templates written by the real template writer, and
// program folders made of temporary folders.
#include "DesignSamples.h"
#include "TestSupport.h"

#include "files/DesignFile.h"
#include "layout/LayoutRecord.h"
#include "model/SurfaceModel.h"
#include "model/TObjectManager.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace wizardtests {

// A flat 3.5 x 2 in layout, or a tall one (2 x 3.5 in) when `tall`.
inline layout::LayoutRecord cardLayout(bool tall = false)
{
    layout::LayoutRecord l = layout::businessCardLayout();
    if (tall) {
        l.setWidth(200);
        l.setHeight(350);
    }
    return l;
}

// A template whose first region holds one text per entry of `texts` (one string each),
// written by the template writer with TemplateKind `kind` at `zoom`. `back` texts go to
// the back.
inline QByteArray templateBytes(int kind, const QStringList &texts, const layout::LayoutRecord &layoutIn = cardLayout(),
                                const QStringList &back = {}, int zoom = 100)
{
    layout::LayoutRecord l = layoutIn;
    l.setTemplateKind(uint8_t(kind));
    if (!back.isEmpty())
        l.setBackPrintable(1);
    model::SurfaceModel surface;
    int w = 0, h = 0;
    layout::GetRegionInfo(l.RegionType(), 0, l.Width(), l.Height(), nullptr, &w, &h, nullptr, nullptr, nullptr);
    surface.setSize(QSize(w, h));
    model::TObjectManager m(&surface);
    int y = 10;
    for (const QString &t : texts) {
        model::SurfaceItem *item = m.NewText(20, y);
        item->data()->Lines = QStringList{t};
        y += 20;
    }
    if (!back.isEmpty()) {
        m.SwitchRegion(0, 0, 1, 0, 100);
        for (const QString &t : back)
            m.NewText(20, 20)->data()->Lines = QStringList{t};
        m.SwitchRegion(1, 0, 0, 0, 100);
    }
    surface.rescale(zoom, 100);
    const QByteArray bytes = files::designBytes(m, l, QString(), zoom, 0, 0, true);
    surface.clearItems();
    return bytes;
}

// A folder tree in a temporary folder.
class Tree {
public:
    QString path(const QString &relative = {}) const
    {
        return relative.isEmpty() ? m_dir.path() : QDir(m_dir.path()).filePath(relative);
    }
    QString file(const QString &relative, const QByteArray &bytes = QByteArray("x")) const
    {
        const QString p = path(relative);
        QDir().mkpath(QFileInfo(p).absolutePath());
        testsupport::writeFile(p, bytes);
        return p;
    }
    QString folder(const QString &relative) const
    {
        QDir().mkpath(path(relative));
        return path(relative);
    }

private:
    QTemporaryDir m_dir;
};

// A program folder reading `user` first, then `shipped` (either may be empty).
inline plat::ProgramFolder programFolder(const QString &user, const QString &shipped = {})
{
    return plat::ProgramFolder::fromFolders(QString(), user, shipped, QString());
}

} // namespace wizardtests
