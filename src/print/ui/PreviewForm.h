#pragma once
// The print preview window: the sheets of a job as the element print engine draws them,
// one or two pages at a time, with zoom items, a zoom tool and a pan tool, page
// navigation, an inch grid and the print command.

#include "print/PreviewPrinter.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QToolButton;
class QWidget;

namespace print {

class PreviewPageView;

class TPreviewForm : public QDialog {
    Q_OBJECT
public:
    // `printer` (may be null) receives the print command; the engine must have been
    // initialised for the job (InitNonGenerated) with that printer's device values.
    TPreviewForm(TPreviewPrinter &engine, QPrinter *printer, QWidget *parent = nullptr);
    ~TPreviewForm() override;

    QToolButton *PrintSpeed = nullptr;
    QToolButton *FirstPageSpeed = nullptr;
    QToolButton *PrevPageSpeed = nullptr;
    QToolButton *NextPageSpeed = nullptr;
    QToolButton *LastPageSpeed = nullptr;
    QComboBox *ZoomBox = nullptr;
    QToolButton *FitPageBut = nullptr;
    QToolButton *FitWidthBut = nullptr;
    QToolButton *GridBut = nullptr;
    QToolButton *ZoomCursorBut = nullptr;
    QToolButton *HandCursorBut = nullptr;
    QToolButton *OnePageBut = nullptr;
    QToolButton *TwoPageBut = nullptr;
    QToolButton *CloseBut = nullptr;
    QLabel *CurPageLabel = nullptr;
    QLabel *ZoomLabel = nullptr;
    QLabel *HintLabel = nullptr;

    int currentPage() const { return m_page; }
    int pageCount() const { return m_engine.GetPageNum(); }
    double zoomFactor() const { return m_factor; }
    void setZoomFactor(double f); // as the zoom tool leaves it: "Custom"
    QWidget *pageView(int index) const;
    QScrollArea *scrollBox() const { return m_scroll; }

    void goToPage(int page);
    // The zoom tool's click at `pos` in page view coordinates.
    void zoomClick(QPoint pos, bool leftButton, QSize viewSize);
    // The print command: the print dialog, then the chosen range once per copy.
    void PrintDialog();

    // Draws `page` into a painter mapped to `viewSize` (the page views do this).
    void paintPage(QPainter &painter, int page, QSize viewSize);

private:
    void applyZoom();
    void updateNavigation();
    void layoutViews();

    TPreviewPrinter &m_engine;
    QPrinter *m_printer;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_container = nullptr;
    PreviewPageView *m_views[2] = {nullptr, nullptr};
    int m_page = 0;
    double m_factor = 1.0;
    int m_screenDpi = 96;
    bool m_panning = false;
    QPoint m_panFrom;
    friend class PreviewPageView;
};

} // namespace print
