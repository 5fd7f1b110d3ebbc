#include "pictures/ui/PickPicForm.h"

#include "pictures/PictureHelpers.h"
#include "platform/ProgramFolder.h"

#include <QCheckBox>
#include <QFrame>
#include <QPixmap>
#include <algorithm>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace pictures {

namespace {
constexpr int kViewLeft = 4, kViewTop = 4, kViewWidth = 158, kViewHeight = 157;
constexpr int kSquare = 5;

QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}
} // namespace

// ---------------------------------------------------------------- view

PictureView::PictureView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PictureView::setPicture(const plat::Picture &picture)
{
    m_picture = picture;
    m_image = decodePicture(picture);
    update();
}

void PictureView::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), m_image);
}

// ---------------------------------------------------------------- crop panel

CropPanel::CropPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ImagePanel"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setFixedSize(kViewLeft * 2 + kViewWidth, kViewTop * 2 + kViewHeight);
    m_view = new PictureView(this);
    m_view->setObjectName(QStringLiteral("Image"));
    m_view->setGeometry(kViewLeft, kViewTop, kViewWidth, kViewHeight);
    m_crop = new QWidget(this);
    m_crop->setObjectName(QStringLiteral("CropRect"));
    m_crop->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_crop->setGeometry(8, 8, 57, 57);
    m_crop->hide();
}

QRect CropPanel::grabSquare(int zone) const
{
    // Squares centred on the frame's corners and mid-edges, 2 pixels outside the rectangle.
    const QRect r = m_crop->geometry().adjusted(-2, -2, 2, 2);
    const int x0 = r.left(), x1 = r.left() + r.width() / 2 - 2, x2 = r.right() - kSquare + 1;
    const int y0 = r.top(), y1 = r.top() + r.height() / 2 - 2, y2 = r.bottom() - kSquare + 1;
    switch (zone) {
    case 1 | 2: return QRect(x0, y0, kSquare, kSquare);
    case 2: return QRect(x1, y0, kSquare, kSquare);
    case 2 | 4: return QRect(x2, y0, kSquare, kSquare);
    case 1: return QRect(x0, y1, kSquare, kSquare);
    case 4: return QRect(x2, y1, kSquare, kSquare);
    case 1 | 8: return QRect(x0, y2, kSquare, kSquare);
    case 8: return QRect(x1, y2, kSquare, kSquare);
    case 4 | 8: return QRect(x2, y2, kSquare, kSquare);
    default: return {};
    }
}

int CropPanel::zoneAt(QPoint p) const
{
    if (!m_crop->isVisible())
        return 0;
    if (m_attached)
        for (int zone : {1 | 2, 2, 2 | 4, 1, 4, 1 | 8, 8, 4 | 8})
            if (grabSquare(zone).contains(p))
                return zone;
    return m_crop->geometry().contains(p) ? 15 : 0;
}

void CropPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_crop->isVisible()) {
        QPen pen(Qt::gray, 2);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(m_crop->geometry()).adjusted(1, 1, -1, -1));
        if (m_attached) {
            for (int zone : {1 | 2, 2, 2 | 4, 1, 4, 1 | 8, 8, 4 | 8})
                p.fillRect(grabSquare(zone), Qt::black);
        }
    }
}

void CropPanel::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint pos = e->position().toPoint();
    const int zone = zoneAt(pos);
    if (zone == 0) {
        m_attached = false;
        m_dragZone = 0;
        update();
        return;
    }
    m_attached = true;
    m_dragZone = zone;
    m_dragStart = pos;
    m_startRect = m_crop->geometry();
    update();
}

void CropPanel::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_dragZone || !(e->buttons() & Qt::LeftButton))
        return;
    const QPoint d = e->position().toPoint() - m_dragStart;
    int l = m_startRect.left(), t = m_startRect.top();
    int r = m_startRect.left() + m_startRect.width(), b = m_startRect.top() + m_startRect.height();
    if (m_dragZone == 15) {
        // Moved whole, kept inside the panel.
        const int w = r - l, h = b - t;
        l = std::clamp(l + d.x(), 0, std::max(0, width() - w));
        t = std::clamp(t + d.y(), 0, std::max(0, height() - h));
        r = l + w;
        b = t + h;
    } else {
        if (m_dragZone & 1)
            l = std::clamp(l + d.x(), 0, r - 1);
        if (m_dragZone & 2)
            t = std::clamp(t + d.y(), 0, b - 1);
        if (m_dragZone & 4)
            r = std::clamp(r + d.x(), l + 1, width());
        if (m_dragZone & 8)
            b = std::clamp(b + d.y(), t + 1, height());
    }
    m_crop->setGeometry(l, t, r - l, b - t);
    update();
}

void CropPanel::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        m_dragZone = 0;
}

// ---------------------------------------------------------------- dialog

TPickPicForm::TPickPicForm(QWidget *parent, bool showClear, bool reduceColors, const QString &folder)
    : QDialog(parent), m_reduceColors(reduceColors), m_folder(folder)
{
    setObjectName(QStringLiteral("PickPicForm"));
    setWindowTitle(QStringLiteral("Pick Graphic"));
    auto *grid = new QGridLayout(this);
    auto *frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    auto *fl = new QVBoxLayout(frame);
    fl->setContentsMargins(1, 1, 1, 1);
    m_panel = new CropPanel(frame);
    fl->addWidget(m_panel);
    m_image = m_panel->view();
    grid->addWidget(frame, 0, 0, 8, 1);

    m_load = button(QStringLiteral("&Load..."), "LoadBtn", this);
    m_save = button(QStringLiteral("&Save..."), "SaveBtn", this);
    auto *acquire = button(QStringLiteral("&Acquire..."), "AquireBtn", this);
    acquire->hide();
    m_clear = button(QStringLiteral("C&lear"), "ClearBtn", this);
    m_clear->setVisible(showClear);
    m_rotate = button(QStringLiteral("&Rotate"), "RotateBtn", this);
    m_mirrorH = button(QStringLiteral("&Mirror Horizontal"), "MirrorHorizontalBtn", this);
    m_mirrorV = button(QStringLiteral("&Mirror Vertical"), "MirrorVerticalBtn", this);
    m_crop = button(QStringLiteral("&Crop"), "CropBtn", this);
    int row = 0;
    for (QPushButton *b : {m_load, m_save, m_clear, m_rotate, m_mirrorH, m_mirrorV, m_crop})
        grid->addWidget(b, row++, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("HelpBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 8, 0, 1, 2);

    connect(m_load, &QPushButton::clicked, this, &TPickPicForm::LoadBtnClick);
    connect(m_save, &QPushButton::clicked, this, &TPickPicForm::SaveBtnClick);
    connect(m_clear, &QPushButton::clicked, this, &TPickPicForm::ClearBtnClick);
    connect(m_rotate, &QPushButton::clicked, this, &TPickPicForm::RotateBtnClick);
    connect(m_mirrorH, &QPushButton::clicked, this, &TPickPicForm::MirrorHorizontalBtnClick);
    connect(m_mirrorV, &QPushButton::clicked, this, &TPickPicForm::MirrorVerticalBtnClick);
    connect(m_crop, &QPushButton::clicked, this, &TPickPicForm::CropBtnClick);
    refresh();
}

void TPickPicForm::setPicture(const plat::Picture &picture)
{
    m_image->setPicture(picture);
    refresh();
}

void TPickPicForm::refresh()
{
    const plat::Picture &p = m_image->picture();
    const bool any = !p.isNull();
    const bool bitmap = any && p.isBitmap();
    m_save->setEnabled(any);
    m_clear->setEnabled(any);
    for (QPushButton *b : {m_rotate, m_mirrorH, m_mirrorV, m_crop})
        b->setEnabled(bitmap);
    m_panel->cropRect()->setVisible(bitmap);
    m_panel->update();
}

QString TPickPicForm::openFilter()
{
    // Both letter cases, since file names here are case-sensitive.
    return QStringLiteral("All Supported Formats (*.BMP *.WMF *.EMF *.PCX *.JPG *.TIF *.PNG "
                          "*.bmp *.wmf *.emf *.pcx *.jpg *.tif *.png);;"
                          "Bitmaps (*.bmp *.BMP);;Metafiles (*.wmf, *.emf) (*.WMF *.EMF *.wmf *.emf);;"
                          "JPEG (*.jpeg, *.jpg) (*.JPG *.jpg);;PC Paint (*.pcx) (*.PCX *.pcx);;"
                          "TIFF (*.tif) (*.TIF *.tif);;Portable Network Graphics (*.png) (*.PNG *.png)");
}

void TPickPicForm::loadFile(const QString &fileName)
{
    // A file that cannot be read clears the view, without a message.
    m_image->setPicture(LoadPicture(fileName, m_reduceColors));
    refresh();
}

void TPickPicForm::showPreview(const QString &path)
{
    if (!m_previewPane)
        return;
    m_previewPane->clear();
    if (!m_showPreview || !m_showPreview->isChecked())
        return;
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        m_previewPane->setText(QStringLiteral("(None)"));
        return;
    }
    const QImage image = decodePicture(LoadPicture(path, m_reduceColors));
    if (image.isNull())
        return; // stays empty
    QImage canvas(m_previewPane->size(), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    p.drawImage(canvas.rect(), image);
    p.end();
    m_previewPane->setPixmap(QPixmap::fromImage(canvas));
}

void TPickPicForm::LoadBtnClick()
{
    QFileDialog dlg(this, QStringLiteral("Load"), m_folder, openFilter());
    dlg.setObjectName(QStringLiteral("GraphicOpenDialog"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setOption(QFileDialog::ReadOnly, false);
    // The preview pane beside the file list.
    auto *side = new QWidget(&dlg);
    auto *sv = new QVBoxLayout(side);
    m_showPreview = new QCheckBox(QStringLiteral("&Show Preview"), side);
    m_showPreview->setObjectName(QStringLiteral("ShowPreviewCheck"));
    m_showPreview->setChecked(true);
    m_previewPane = new QLabel(QStringLiteral("(None)"), side);
    m_previewPane->setObjectName(QStringLiteral("PreviewPane"));
    m_previewPane->setFixedSize(150, 150);
    m_previewPane->setAlignment(Qt::AlignCenter);
    m_previewPane->setFrameShape(QFrame::StyledPanel);
    sv->addWidget(m_showPreview);
    sv->addWidget(m_previewPane);
    sv->addStretch();
    if (auto *layout = qobject_cast<QGridLayout *>(dlg.layout()))
        layout->addWidget(side, 0, layout->columnCount(), layout->rowCount(), 1);
    connect(&dlg, &QFileDialog::currentChanged, this, &TPickPicForm::showPreview);
    connect(m_showPreview, &QCheckBox::toggled, this, [this, &dlg] {
        const QStringList sel = dlg.selectedFiles();
        showPreview(sel.isEmpty() ? QString() : sel.first());
    });
    const bool ok = dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty();
    m_previewPane = nullptr;
    m_showPreview = nullptr;
    if (ok)
        loadFile(dlg.selectedFiles().first());
}

bool TPickPicForm::saveFile(const QString &fileName) const
{
    const plat::Picture &p = m_image->picture();
    if (p.isNull())
        return false;
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly) || f.write(p.bytes()) != p.bytes().size())
        return false;
    return f.commit();
}

void TPickPicForm::SaveBtnClick()
{
    const plat::Picture &p = m_image->picture();
    if (p.isNull())
        return;
    // Metafiles are held as enhanced metafiles, so they are saved as such (.emf).
    const bool bitmap = p.isBitmap();
    const QString folder = plat::ProgramFolder::current().writeFolder() + QStringLiteral("/Background");
    QFileDialog dlg(this, QStringLiteral("Save"), folder,
                    bitmap ? QStringLiteral("Bitmaps (*.BMP) (*.bmp)") : QStringLiteral("Metafiles (*.EMF) (*.emf)"));
    dlg.setObjectName(QStringLiteral("SaveDialog"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix(bitmap ? QStringLiteral("bmp") : QStringLiteral("emf"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    saveFile(dlg.selectedFiles().first());
}

void TPickPicForm::ClearBtnClick()
{
    m_image->setPicture(plat::Picture());
    refresh();
}

void TPickPicForm::RotateBtnClick()
{
    const plat::Picture r = RotateBitmap(m_image->picture());
    if (!r.isNull())
        m_image->setPicture(r);
}

void TPickPicForm::MirrorHorizontalBtnClick()
{
    const plat::Picture r = MirrorHorizontal(m_image->picture());
    if (!r.isNull())
        m_image->setPicture(r);
}

void TPickPicForm::MirrorVerticalBtnClick()
{
    const plat::Picture r = MirrorVertical(m_image->picture());
    if (!r.isNull())
        m_image->setPicture(r);
}

void TPickPicForm::CropBtnClick()
{
    const plat::Picture &p = m_image->picture();
    const QSize size = pictureSize(p);
    if (!p.isBitmap() || size.isEmpty())
        return;
    const QRect part = cropRectFromView(m_panel->cropRect()->geometry(), m_image->size(), size);
    const plat::Picture r = CropBitmap(p, part);
    if (!r.isNull())
        m_image->setPicture(r);
}

plat::Picture pickPicture(QWidget *parent, const plat::Picture &current, bool backgroundMode, bool *accepted,
                          bool reduceColors, const QString &folder)
{
    QString start = folder;
    if (backgroundMode) {
        const plat::ProgramFolder pf = plat::ProgramFolder::current();
        start = pf.findFolder(QStringLiteral("Background"));
        if (start.isEmpty())
            start = pf.writeFolder() + QStringLiteral("/Background");
    }
    TPickPicForm form(parent, backgroundMode, reduceColors, start);
    form.setPicture(current);
    const bool ok = form.exec() == QDialog::Accepted;
    if (accepted)
        *accepted = ok;
    return ok ? form.picture() : current;
}

} // namespace pictures
