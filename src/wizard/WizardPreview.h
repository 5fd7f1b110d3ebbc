#pragma once
// The design wizard's live preview without its widget: a surface of its own (white, no
// grid, no margin frame) holding the first region of the chosen template, read with the
// wizard's substitution, fitted into the preview area; and the background the user chose
// for it.

#include "model/SurfaceModel.h"
#include "model/TObjectManager.h"
#include "platform/Picture.h"
#include "wizard/WizardAnswer.h"

#include <QImage>
#include <QRect>
#include <memory>

namespace wizard {

// Where the preview goes in the wizard: from 10 pixels right of the left panel to 10
// pixels inside the wizard's right edge, and from 20 pixels below the panel's top to 20
// pixels above its bottom (wizard client coordinates).
QRect previewArea(const QRect &leftPanel, int clientWidth);

struct PreviewFit {
    int zoom = 0; // percent; 0 when nothing can be shown
    int left = 0; // the surface's top-left corner, wizard client coordinates
    int top = 0;
};
// A face of w x h (hundredths of an inch) in `area`: a face wider than tall takes the
// area's width less 10 and is centred vertically, six pixels from the left; any other
// takes the height less 10 and is centred horizontally, six pixels from the top. Every
// value truncated.
PreviewFit fitPreview(const QRect &area, int w, int h);

class WizardPreview {
public:
    WizardPreview();
    ~WizardPreview();
    WizardPreview(const WizardPreview &) = delete;
    WizardPreview &operator=(const WizardPreview &) = delete;

    // Reads `answer.templateFile` with `answer`'s values into the preview, with the chosen
    // background, and fits it into `area`. On success `answer.templateKind` becomes the
    // template's kind and the preview is shown; a template that cannot be read (or no
    // template) leaves it hidden. Returns the reader's result code (0 for no template).
    int update(WizardAnswer &answer, const QRect &area);

    bool isShown() const { return m_shown; }
    const PreviewFit &fit() const { return m_fit; }
    int templateKind() const { return m_kind; }
    model::SurfaceModel &surface() { return m_surface; }
    const model::SurfaceModel &surface() const { return m_surface; }

    // The background shown on the preview. Choosing a null picture clears it.
    void chooseBackground(const plat::Picture &picture);
    // Loads `file` with the picture loader; a file that cannot be loaded gives no
    // background. Returns whether a background is chosen now.
    bool chooseBackgroundFile(const QString &file, bool reduceColors);
    void clearBackground();
    bool backgroundChosen() const { return m_backgroundChosen; }
    // The chosen background (null when none); Finish hands a copy of it to the answer.
    const plat::Picture &background() const { return m_background; }

    // The preview as the widget shows it: the surface at the preview zoom.
    QImage render() const;

private:
    void reset();

    model::SurfaceModel m_surface;
    std::unique_ptr<model::TObjectManager> m_manager;
    plat::Picture m_background;
    bool m_backgroundChosen = false;
    bool m_shown = false;
    PreviewFit m_fit;
    int m_kind = 0;
};

} // namespace wizard
