#include "print/ui/PreviewForm.h"

#include "platform/gdi/PainterCanvas.h"
#include "print/PreviewZoom.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace print {

// One sheet of paper on screen.
class PreviewPageView : public QWidget {
public:
    PreviewPageView(TPreviewForm *form, int index, QWidget *parent) : QWidget(parent), m_form(form), m_index(index)
    {
        setObjectName(index == 0 ? QStringLiteral("PageView1") : QStringLiteral("PageView2"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setCursor(Qt::CrossCursor);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        m_form->paintPage(p, m_form->currentPage() + m_index, size());
    }
    void mousePressEvent(QMouseEvent *e) override
    {
        if (m_form->ZoomCursorBut->isChecked()) {
            if (e->button() == Qt::LeftButton || e->button() == Qt::RightButton)
                m_form->zoomClick(e->position().toPoint(), e->button() == Qt::LeftButton, size());
            return;
        }
        m_form->m_panning = true;
        m_form->m_panFrom = e->globalPosition().toPoint();
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        if (!m_form->m_panning)
            return;
        // The content follows the mouse.
        const QPoint now = e->globalPosition().toPoint();
        const QPoint d = now - m_form->m_panFrom;
        m_form->m_panFrom = now;
        QScrollArea *s = m_form->scrollBox();
        s->horizontalScrollBar()->setValue(s->horizontalScrollBar()->value() - d.x());
        s->verticalScrollBar()->setValue(s->verticalScrollBar()->value() - d.y());
    }
    void mouseReleaseEvent(QMouseEvent *) override { m_form->m_panning = false; }

private:
    TPreviewForm *m_form;
    int m_index;
};

namespace {
QToolButton *tool(QToolBar *bar, const char *name, const QString &text, bool checkable = false)
{
    auto *b = new QToolButton(bar);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    b->setToolTip(QString(text).remove(QLatin1Char('&')));
    b->setCheckable(checkable);
    b->setAutoRaise(true);
    bar->addWidget(b);
    return b;
}
} // namespace

TPreviewForm::TPreviewForm(TPreviewPrinter &engine, QPrinter *printer, QWidget *parent)
    : QDialog(parent), m_engine(engine), m_printer(printer)
{
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(engine.Title.isEmpty() ? QStringLiteral("Print Preview") : engine.Title);
    setAttribute(Qt::WA_DeleteOnClose, false);
    if (QScreen *s = QGuiApplication::primaryScreen())
        m_screenDpi = std::max(1, int(s->logicalDotsPerInch()));
    resize(820, 900);

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("PreviewToolBar"));
    PrintSpeed = tool(bar, "PrintSpeed", QStringLiteral("Print..."));
    bar->addSeparator();
    FirstPageSpeed = tool(bar, "FirstPageSpeed", QStringLiteral("|<"));
    PrevPageSpeed = tool(bar, "PrevPageSpeed", QStringLiteral("<"));
    NextPageSpeed = tool(bar, "NextPageSpeed", QStringLiteral(">"));
    LastPageSpeed = tool(bar, "LastPageSpeed", QStringLiteral(">|"));
    bar->addSeparator();
    ZoomBox = new QComboBox(bar);
    ZoomBox->setObjectName(QStringLiteral("ZoomBox"));
    ZoomBox->addItems(PreviewZoomItems());
    bar->addWidget(ZoomBox);
    FitPageBut = tool(bar, "FitPageBut", QStringLiteral("Fit to Page"), true);
    FitWidthBut = tool(bar, "FitWidthBut", QStringLiteral("Fit to Width"), true);
    GridBut = tool(bar, "GridBut", QStringLiteral("Grid"), true);
    ZoomCursorBut = tool(bar, "ZoomCursorBut", QStringLiteral("Zoom"), true);
    HandCursorBut = tool(bar, "HandCursorBut", QStringLiteral("Pan"), true);
    // Two exclusive pairs in one tool bar: each pair gets a group of its own.
    auto *tools = new QButtonGroup(this);
    tools->addButton(ZoomCursorBut);
    tools->addButton(HandCursorBut);
    ZoomCursorBut->setChecked(true);
    OnePageBut = tool(bar, "OnePageBut", QStringLiteral("&1"), true);
    TwoPageBut = tool(bar, "TwoPageBut", QStringLiteral("&2"), true);
    auto *pagesGroup = new QButtonGroup(this);
    pagesGroup->addButton(OnePageBut);
    pagesGroup->addButton(TwoPageBut);
    OnePageBut->setChecked(true);
    CloseBut = tool(bar, "CloseBut", QStringLiteral("&Close"));
    root->addWidget(bar);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("ScrollBox"));
    m_scroll->setWidgetResizable(false);
    m_container = new QWidget;
    m_container->setObjectName(QStringLiteral("PageContainer"));
    m_container->setAutoFillBackground(true);
    QPalette pal = m_container->palette();
    pal.setColor(QPalette::Window, Qt::gray);
    m_container->setPalette(pal);
    m_views[0] = new PreviewPageView(this, 0, m_container);
    m_views[1] = new PreviewPageView(this, 1, m_container);
    m_views[1]->setVisible(false);
    m_scroll->setWidget(m_container);
    root->addWidget(m_scroll, 1);

    auto *status = new QStatusBar(this);
    CurPageLabel = new QLabel(status);
    CurPageLabel->setObjectName(QStringLiteral("CurPageLabel"));
    ZoomLabel = new QLabel(status);
    ZoomLabel->setObjectName(QStringLiteral("ZoomLabel"));
    HintLabel = new QLabel(status);
    HintLabel->setObjectName(QStringLiteral("HintLabel"));
    status->addWidget(CurPageLabel);
    status->addWidget(ZoomLabel);
    status->addWidget(HintLabel, 1);
    root->addWidget(status);

    connect(PrintSpeed, &QToolButton::clicked, this, &TPreviewForm::PrintDialog);
    PrintSpeed->setEnabled(m_printer != nullptr);
    connect(FirstPageSpeed, &QToolButton::clicked, this, [this] { goToPage(0); });
    connect(PrevPageSpeed, &QToolButton::clicked, this, [this] { goToPage(m_page - 1); });
    connect(NextPageSpeed, &QToolButton::clicked, this, [this] { goToPage(m_page + 1); });
    connect(LastPageSpeed, &QToolButton::clicked, this, [this] { goToPage(pageCount() - 1); });
    connect(ZoomBox, &QComboBox::currentIndexChanged, this, [this](int) { applyZoom(); });
    connect(FitPageBut, &QToolButton::clicked, this, [this] { ZoomBox->setCurrentIndex(ZoomFitToPage); applyZoom(); });
    connect(FitWidthBut, &QToolButton::clicked, this, [this] { ZoomBox->setCurrentIndex(ZoomFitToWidth); applyZoom(); });
    connect(GridBut, &QToolButton::toggled, this, [this] { m_views[0]->update(); m_views[1]->update(); });
    connect(ZoomCursorBut, &QToolButton::toggled, this, [this](bool on) {
        for (auto *v : m_views)
            v->setCursor(on ? Qt::CrossCursor : Qt::OpenHandCursor);
    });
    auto pages = [this] {
        m_views[1]->setVisible(TwoPageBut->isChecked());
        ZoomBox->setCurrentIndex(ZoomFitToPage);
        applyZoom();
    };
    connect(OnePageBut, &QToolButton::clicked, this, pages);
    connect(TwoPageBut, &QToolButton::clicked, this, pages);
    connect(CloseBut, &QToolButton::clicked, this, &QDialog::accept);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && isAncestorOf(now))
            HintLabel->setText(now->toolTip());
    });

    GridBut->setChecked(engine.ShowGrid);
    ZoomBox->setCurrentIndex(engine.ZoomOption == TZoomOption::zoFitToWidth ? ZoomFitToWidth : ZoomFitToPage);
    applyZoom();
    updateNavigation();
}

TPreviewForm::~TPreviewForm() = default;

QWidget *TPreviewForm::pageView(int index) const { return m_views[index == 0 ? 0 : 1]; }

void TPreviewForm::applyZoom()
{
    const DeviceValues &d = m_engine.device();
    const QSize client = m_scroll->viewport()->size();
    m_factor = PreviewZoomFactor(ZoomBox->currentIndex(), client, m_screenDpi, d.physWidth, d.physHeight, d.dpiX,
                                 d.dpiY, m_factor);
    FitPageBut->setChecked(ZoomBox->currentIndex() == ZoomFitToPage);
    FitWidthBut->setChecked(ZoomBox->currentIndex() == ZoomFitToWidth);
    ZoomLabel->setText(PreviewZoomLabel(m_factor));
    layoutViews();
}

void TPreviewForm::setZoomFactor(double f)
{
    m_factor = f;
    {
        const QSignalBlocker block(ZoomBox);
        ZoomBox->setCurrentIndex(ZoomCustom);
    }
    FitPageBut->setChecked(false);
    FitWidthBut->setChecked(false);
    ZoomLabel->setText(PreviewZoomLabel(m_factor));
    layoutViews();
}

void TPreviewForm::layoutViews()
{
    const DeviceValues &d = m_engine.device();
    const QSize page = PreviewPageSize(m_factor, m_screenDpi, d.physWidth, d.physHeight, d.dpiX, d.dpiY);
    const bool two = TwoPageBut->isChecked();
    const int viewsWidth = two ? 2 * page.width() + 20 : page.width();
    const QSize client = m_scroll->viewport()->size();
    const int cw = std::max(viewsWidth + 20, client.width() - 1);
    const int ch = std::max(page.height() + 20, client.height() - 1);
    m_container->resize(cw, ch);
    const int x = viewsWidth + 20 <= cw - 20 ? (cw - viewsWidth) / 2 : 10;
    const int y = page.height() + 20 <= ch - 20 ? (ch - page.height()) / 2 : 10;
    m_views[0]->setGeometry(x, y, page.width(), page.height());
    m_views[1]->setGeometry(x + page.width() + 20, y, page.width(), page.height());
    m_views[0]->update();
    m_views[1]->update();
}

void TPreviewForm::updateNavigation()
{
    const int n = pageCount();
    FirstPageSpeed->setEnabled(m_page > 0);
    PrevPageSpeed->setEnabled(m_page > 0);
    NextPageSpeed->setEnabled(m_page + 1 < n);
    LastPageSpeed->setEnabled(m_page + 1 < n);
    CurPageLabel->setText(QStringLiteral("Page %1 of %2").arg(m_page + 1).arg(n));
}

void TPreviewForm::goToPage(int page)
{
    const int n = pageCount();
    if (page >= n)
        page = n - 1;
    if (page < 0)
        page = 0;
    m_page = page;
    updateNavigation();
    m_views[0]->update();
    m_views[1]->update();
}

void TPreviewForm::zoomClick(QPoint pos, bool leftButton, QSize viewSize)
{
    const double fx = viewSize.width() > 0 ? double(pos.x()) / viewSize.width() : 0.5;
    const double fy = viewSize.height() > 0 ? double(pos.y()) / viewSize.height() : 0.5;
    setZoomFactor(ZoomToolClick(m_factor, leftButton));
    // The clicked point goes to the middle of the scroll box.
    const QRect v = m_views[0]->geometry();
    const QSize client = m_scroll->viewport()->size();
    m_scroll->horizontalScrollBar()->setValue(int(v.x() + fx * v.width() - client.width() / 2));
    m_scroll->verticalScrollBar()->setValue(int(v.y() + fy * v.height() - client.height() / 2));
}

void TPreviewForm::paintPage(QPainter &painter, int page, QSize viewSize)
{
    const DeviceValues &d = m_engine.device();
    if (page < 0 || page >= pageCount() || d.physWidth <= 0 || d.physHeight <= 0)
        return;
    CloseBut->setEnabled(false);
    {
        gdi::PainterCanvas canvas(painter);
        canvas.setMapMode(gdi::MapMode::Anisotropic);
        canvas.setWindowExt(QSize(d.physWidth, d.physHeight));
        canvas.setViewportExt(viewSize);
        m_engine.DrawNonGeneratedPage(canvas, page, true,
                                      QSizeF(double(viewSize.width()) / d.physWidth, double(viewSize.height()) / d.physHeight));
        if (GridBut->isChecked() && d.dpiX > 0 && d.dpiY > 0) {
            canvas.setPen(gdi::Pen{gdi::PenStyle::Solid, 0, gdi::rgb(192, 192, 192)});
            for (int k = 1; k <= d.physWidth / d.dpiX; ++k) {
                canvas.moveTo(k * d.dpiX, 0);
                canvas.lineTo(k * d.dpiX, d.physHeight);
            }
            for (int k = 1; k <= d.physHeight / d.dpiY; ++k) {
                canvas.moveTo(0, k * d.dpiY);
                canvas.lineTo(d.physWidth, k * d.dpiY);
            }
        }
    }
    CloseBut->setEnabled(true);
}

void TPreviewForm::PrintDialog()
{
    if (!m_printer)
        return;
    const int n = pageCount();
    QPrintDialog dlg(m_printer, this);
    dlg.setObjectName(QStringLiteral("PreviewPrintDialog"));
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dlg.setMinMax(1, std::max(1, n));
    m_printer->setFromTo(1, std::max(1, n));
    m_printer->setPrintRange(QPrinter::AllPages);
    if (dlg.exec() != QDialog::Accepted)
        return;
    int first = 0, last = n - 1;
    if (m_printer->printRange() == QPrinter::PageRange) {
        first = m_printer->fromPage() - 1;
        last = m_printer->toPage() - 1;
    }
    // Each copy is a job of its own; the printer itself prints one copy per job.
    const int copies = std::max(1, m_printer->copyCount());
    m_printer->setCopyCount(1);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (int c = 0; c < copies; ++c) {
        PagedDeviceTarget target(*m_printer);
        if (!m_engine.PrintRange(target, first, last))
            break;
    }
    QApplication::restoreOverrideCursor();
}

} // namespace print
