// Direct manipulation in the document window: selecting, dragging and inserting objects,
// the undo and redo commands, the clipboard and the alignment commands.
#include "document/ui/DocumentEditing.h"
#include "document/ui/DocumentHost.h"
#include "document/ui/MDIChildForm.h"

#include "editing/Align.h"
#include "editing/StretchHandle.h"
#include "editing/ui/AlignForm.h"
#include "editing/ui/CardPanelView.h"
#include "editing/ui/MarginsForm.h"
#include "model/ClipboardBlock.h"
#include "pictures/ui/PickPicForm.h"
#include "platform/bmp/BmpCodec.h"
#include "platform/metafile/Metafile.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>

namespace document {

namespace {
// The picture dialog with the ReduceColor and GraphicFolder options.
plat::Picture defaultPickPicture(QWidget *parent)
{
    bool reduce = true;
    QString folder;
    if (auto *doc = qobject_cast<TMDIChildForm *>(parent); doc && doc->host()) {
        reduce = doc->host()->appOptions().ReduceColor;
        folder = doc->host()->appOptions().GraphicFolder;
    }
    bool accepted = false;
    const plat::Picture picture = pictures::pickPicture(parent, plat::Picture(), false, &accepted, reduce, folder);
    return accepted ? picture : plat::Picture();
}

const QString kEmfMime = QStringLiteral("image/x-emf");
const QString kWmfMime = QStringLiteral("image/x-wmf");
} // namespace

std::function<plat::Picture(QWidget *)> pickPictureHook = defaultPickPicture;

void TMDIChildForm::setupEditing()
{
    m_handles = new editing::TStretchHandle(m_doc.surface(), m_selection, this);
    m_handles->setObjectName(QStringLiteral("Handles"));
    m_handles->SetColors(0, 255); // black for one object, red for several
    m_handles->SetGridState(true);
    m_cardPanel->setStretchHandle(m_handles);
    m_cardPanel->setKeyHandler([this](int key) { return editingKey(key); });
    connect(m_cardPanel, &editing::CardPanelView::mousePressedOnSurface, this, &TMDIChildForm::editingPress);
    connect(m_cardPanel, &editing::CardPanelView::mouseMovedOnSurface, this, &TMDIChildForm::editingMove);
    connect(m_cardPanel, &editing::CardPanelView::mouseReleasedOnSurface, this, &TMDIChildForm::editingRelease);
    connect(m_cardPanel, &editing::CardPanelView::doubleClicked, this, [this](QPoint pos) {
        if (!m_doc.surface()->itemAtPoint(pos) && !m_handles->PointOverChild(pos))
            CardPanelDblClick();
    });
    connect(m_handles, &editing::TStretchHandle::mouseDown, this, [this] { HandlesMouseDown(); });
    connect(m_handles, &editing::TStretchHandle::mouseMove, this, [this] { HandlesMouseMove(); });
    connect(m_handles, &editing::TStretchHandle::mouseUp, this, [this] { HandlesMouseUp(); });
}

void TMDIChildForm::applyEditingOptions()
{
    const app::TAppOptions &o = m_host->appOptions();
    const int step = o.SnapToGrid ? m_doc.surface()->gridX() : 1;
    m_handles->SetGridX(step);
    m_handles->SetGridY(o.SnapToGrid ? m_doc.surface()->gridY() : 1);
}

void TMDIChildForm::afterSelectionChange()
{
    m_host->refreshPropertyEditor(false);
    m_host->UpdateCommands();
}

// ---- mouse routing ----

void TMDIChildForm::editingPress(QPoint pos, Qt::MouseButton button, Qt::KeyboardModifiers mods)
{
    const bool selectTool = m_host->currentTool() == ToolSelect;
    bool overSelection = false;
    if (selectTool && m_handles->IsAttached() && m_handles->frame().contains(pos)) {
        const QRect f = m_handles->frame();
        overSelection = m_handles->MouseDown(button, pos.x() - f.x(), pos.y() - f.y())
                        == editing::TStretchHandle::Result::Handled;
    }
    model::SurfaceItem *item = nullptr;
    if (!overSelection) {
        item = m_doc.surface()->itemAtPoint(pos);
        if (item)
            OnMouseDownHandler(item, pos, button, mods);
        else if (button == Qt::LeftButton)
            CardPanelMouseDown(pos);
    }
    if (button == Qt::RightButton && (overSelection || item) && m_host->objectMenu())
        m_host->objectMenu()->popup(m_cardPanel->mapToGlobal(pos));
}

void TMDIChildForm::editingMove(QPoint pos, Qt::MouseButtons buttons)
{
    const QRect f = m_handles->frame();
    if (m_host->currentTool() == ToolSelect && m_handles->IsAttached()
        && (m_handles->hasCapture() || m_handles->dragging() || f.contains(pos))) {
        m_handles->MouseMove(buttons, pos.x() - f.x(), pos.y() - f.y());
        m_cardPanel->setCursor(m_handles->cursor());
        return;
    }
    m_cardPanel->setCursor(Qt::ArrowCursor);
    CardPanelMouseMove(pos);
}

void TMDIChildForm::editingRelease(QPoint pos, Qt::MouseButton button)
{
    const QRect f = m_handles->frame();
    if (m_handles->IsAttached() && (m_handles->hasCapture() || m_handles->dragging() || f.contains(pos))) {
        m_handles->MouseUp(button, pos.x() - f.x(), pos.y() - f.y());
        m_cardPanel->setCursor(m_handles->cursor());
    }
}

bool TMDIChildForm::editingKey(int key)
{
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    if (!m_handles->IsAttached())
        return false;
    if (m_handles->Locked)
        return true;
    const QVector<model::UnitRect> before = boundsSnapshot();
    m_handles->KeyDown(key);
    // Keyboard moves are undone like mouse moves.
    recordBoundsChanges(before, true);
    m_doc.setModified(true);
    m_host->refreshPropertyEditor(false);
    m_host->UpdateCommands();
    return true;
}

// ---- the document's handlers ----

void TMDIChildForm::OnMouseDownHandler(model::SurfaceItem *item, QPoint pos, Qt::MouseButton, Qt::KeyboardModifiers mods)
{
    if (m_host->currentTool() != ToolSelect) {
        CardPanelMouseDown(pos);
        return;
    }
    const bool shift = mods & Qt::ShiftModifier;
    if (!shift)
        m_handles->Detach();
    const bool wasLocked = m_handles->Locked;
    m_handles->Attach(item);
    const bool itemLocked = item->data() && item->data()->locked();
    m_handles->Locked = (shift && wasLocked) || itemLocked;
    m_cardPanel->setFocus();
    afterSelectionChange();
    HandlesMouseDown();
}

QVector<model::UnitRect> TMDIChildForm::boundsSnapshot() const
{
    QVector<model::UnitRect> out;
    for (const model::SurfaceItem *item : m_handles->children())
        out << model::TObjectManager::unitRectOf(item, m_doc.zoom());
    return out;
}

void TMDIChildForm::recordBoundsChanges(const QVector<model::UnitRect> &before, bool onlyChanged)
{
    const auto items = m_handles->children();
    for (int i = 0; i < items.size() && i < before.size(); ++i) {
        if (onlyChanged && model::TObjectManager::unitRectOf(items[i], m_doc.zoom()) == before[i])
            continue;
        m_doc.manager()->RecordBounds(items[i], before[i], m_doc.zoom());
    }
}

void TMDIChildForm::HandlesMouseDown()
{
    if (m_handles->IsAttached())
        m_snapshot = boundsSnapshot();
}

void TMDIChildForm::HandlesMouseUp()
{
    if (m_snapshot) {
        recordBoundsChanges(*m_snapshot, true);
        m_snapshot.reset();
    }
    m_host->refreshPropertyEditor(false);
    m_doc.setModified(true);
    m_host->UpdateCommands();
}

static QString positionText(int x, int y, int zoom)
{
    return QString::number(model::pixelsToUnits(x, zoom)) + QStringLiteral(" , ")
           + QString::number(model::pixelsToUnits(y, zoom));
}

void TMDIChildForm::HandlesMouseMove()
{
    m_host->showMousePosition(positionText(m_handles->frame().x(), m_handles->frame().y(), m_doc.zoom()));
}

void TMDIChildForm::CardPanelMouseMove(QPoint pos)
{
    m_host->showMousePosition(positionText(pos.x(), pos.y(), m_doc.zoom()));
}

void TMDIChildForm::CardPanelDblClick() { ChooseBackground(); }

void TMDIChildForm::CardPanelMouseDown(QPoint pos)
{
    m_handles->Detach();
    model::TObjectManager *m = m_doc.manager();
    model::SurfaceItem *item = nullptr;
    const int tool = m_host->currentTool();
    switch (tool) {
    case ToolSelect:
        m_host->refreshPropertyEditor(false);
        break;
    case ToolGraphic: {
        const plat::Picture picture = pickPictureHook ? pickPictureHook(this) : plat::Picture();
        if (!picture.isNull())
            item = m->NewGraphic(&picture, pos.x(), pos.y(), true);
        break;
    }
    case ToolText: item = m->NewText(pos.x(), pos.y()); break;
    case ToolLine: item = m->NewLine(pos.x(), pos.y()); break;
    case ToolBox: item = m->NewBox(pos.x(), pos.y()); break;
    case ToolRoundBox: item = m->NewRoundBox(pos.x(), pos.y()); break;
    case ToolEllipse: item = m->NewEllipse(pos.x(), pos.y()); break;
    default: break;
    }
    if (item) {
        m_handles->Attach(item);
        m_cardPanel->setFocus();
        m->RecordInsert(item, m_doc.zoom());
        m_doc.setModified(true);
    }
    if (tool != ToolSelect && m_host->appOptions().SelectReturn)
        m_host->setCurrentTool(ToolSelect);
    m_host->refreshObjectList();
    m_host->refreshPropertyEditor(false);
    m_host->UpdateCommands();
}

void TMDIChildForm::SelectAll()
{
    m_handles->Detach();
    for (const auto &item : m_doc.surface()->items())
        m_handles->Attach(item.get());
    m_handles->Locked = false;
    afterSelectionChange();
}

void TMDIChildForm::SelectNone()
{
    m_handles->Detach();
    afterSelectionChange();
}

void TMDIChildForm::selectFromObjectList(uint64_t id)
{
    m_handles->Detach();
    if (model::SurfaceItem *item = m_doc.surface()->findById(id))
        m_handles->Attach(item);
    m_handles->Locked = false;
    afterSelectionChange();
}

// ---- undo and redo ----

bool TMDIChildForm::Undo()
{
    m_handles->Detach();
    const bool done = m_doc.manager()->Undo(m_doc.zoom());
    m_host->refreshObjectList();
    afterSelectionChange();
    return done;
}

bool TMDIChildForm::Redo()
{
    m_handles->Detach();
    const bool done = m_doc.manager()->Redo(m_doc.zoom());
    m_host->refreshObjectList();
    afterSelectionChange();
    return done;
}

// ---- clipboard ----

void TMDIChildForm::Copy()
{
    const auto items = m_handles->children();
    if (items.isEmpty())
        return;
    auto *mime = new QMimeData;
    if (items.size() == 1 && items.first()->type() == model::SurfaceItem::Type::Image) {
        // A single graphic goes as an ordinary picture other programs can take.
        const plat::Picture &pic = items.first()->picture();
        if (pic.isBitmap()) {
            const QImage image = plat::bmp::decodeBmpFile(pic.bytes());
            if (!image.isNull())
                mime->setImageData(image);
            mime->setData(QStringLiteral("image/bmp"), pic.bytes());
        } else if (pic.isMetafile()) {
            mime->setData(kEmfMime, pic.bytes());
        }
    } else {
        QList<QByteArray> records;
        for (const model::SurfaceItem *item : items)
            if (model::TObjectManager::isStorable(item))
                records << item->data()->toRecord(m_doc.zoom());
        mime->setData(model::ClipboardBlock::MimeType, model::ClipboardBlock::build(records));
    }
    QApplication::clipboard()->setMimeData(mime);
}

namespace {
void plainMessage(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, parent->windowTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}
} // namespace

int TMDIChildForm::Paste()
{
    m_handles->Detach();
    model::TObjectManager *m = m_doc.manager();
    const QMimeData *mime = QApplication::clipboard()->mimeData();
    int count = 0;
    auto placePicture = [&](const plat::Picture &pic) {
        model::SurfaceItem *item = pic.isNull() ? nullptr : m->NewGraphic(&pic, 10, 10, true);
        if (!item) {
            // The graphic is not kept: a graphic always holds a picture.
            QMessageBox::critical(this, windowTitle(), QStringLiteral("Error pasting clipboard data."));
            return;
        }
        m_handles->Attach(item);
        count = 1;
    };
    if (!mime) {
        // nothing to paste
    } else if (mime->hasImage() || mime->hasFormat(QStringLiteral("image/bmp"))) {
        plat::Picture pic;
        QImage image = qvariant_cast<QImage>(mime->imageData());
        if (image.isNull() && mime->hasFormat(QStringLiteral("image/bmp")))
            image = plat::bmp::decodeBmpFile(mime->data(QStringLiteral("image/bmp")));
        if (!image.isNull())
            pic = plat::Picture::bitmap(plat::bmp::encodeBmpFile(image, plat::bmp::naturalBitCount(image)));
        placePicture(pic);
    } else if (mime->hasFormat(kEmfMime) || mime->hasFormat(kWmfMime)) {
        const QByteArray bytes = mime->hasFormat(kEmfMime) ? mime->data(kEmfMime) : mime->data(kWmfMime);
        const QByteArray emf = plat::metafile::toEmf(bytes);
        placePicture(emf.isEmpty() ? plat::Picture() : plat::Picture::metafile(emf));
    } else if (mime->hasFormat(model::ClipboardBlock::MimeType)) {
        QList<QByteArray> records;
        switch (model::ClipboardBlock::parse(mime->data(model::ClipboardBlock::MimeType), &records)) {
        case model::ClipboardBlock::ParseResult::WrongVersion:
            plainMessage(this, QStringLiteral("ERROR: Wrong version"));
            break;
        case model::ClipboardBlock::ParseResult::Unusable:
            plainMessage(this, QStringLiteral("ERROR: Cannot Lock Data"));
            break;
        case model::ClipboardBlock::ParseResult::Ok:
            for (const QByteArray &record : records)
                if (model::SurfaceItem *item = m->RebuildObject(record, m_doc.zoom(), true)) {
                    m_handles->Attach(item);
                    ++count;
                }
            break;
        }
    } else if (mime->hasText()) {
        model::SurfaceItem *item = m->NewText(10, 10);
        // The text arrives through a buffer of 1024 bytes.
        const QString text = mime->text().left(1023);
        if (!text.isEmpty())
            item->data()->Lines = QStringList{text};
        m_doc.surface()->notifyItemChanged(item);
        m_handles->Attach(item);
        count = 1;
    }
    m_host->refreshObjectList();
    m_host->refreshPropertyEditor(false);
    if (count >= 1) {
        for (model::SurfaceItem *item : m_handles->children())
            m->RecordInsert(item, m_doc.zoom());
        m_doc.setModified(true);
        m_cardPanel->setFocus();
    }
    return count;
}

void TMDIChildForm::Delete()
{
    const auto items = m_handles->children();
    for (auto it = items.crbegin(); it != items.crend(); ++it) {
        model::SurfaceItem *item = *it;
        m_handles->ReleaseChild(item);
        m_doc.manager()->RecordDelete(item, m_doc.zoom());
        m_doc.surface()->removeItem(item);
    }
    m_host->refreshObjectList();
    m_host->refreshPropertyEditor(false);
    m_doc.setModified(true);
}

void TMDIChildForm::Cut()
{
    Copy();
    Delete();
}

// ---- alignment ----

void TMDIChildForm::AlignObjects(int operation)
{
    const QVector<model::UnitRect> before = boundsSnapshot();
    editing::ApplyAlignment(*m_handles, *m_doc.surface(), operation);
    recordBoundsChanges(before, false);
    m_cardPanel->update();
    m_host->refreshPropertyEditor(false);
    m_doc.setModified(true);
}

void TMDIChildForm::FitToMargins()
{
    const QVector<model::UnitRect> before = boundsSnapshot();
    editing::ApplyFitToMargins(*m_handles, *m_doc.surface());
    recordBoundsChanges(before, false);
    m_cardPanel->update();
    m_host->refreshPropertyEditor(false);
    m_doc.setModified(true);
}

bool TMDIChildForm::ShowAlignDialog()
{
    editing::TAlignForm dlg(this, m_handles->GetChildCount() > 1);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    for (int op : dlg.operations())
        AlignObjects(op);
    return true;
}

bool TMDIChildForm::EditMargins()
{
    const model::SurfaceModel *s = m_doc.surface();
    editing::TMarginForm dlg(this, m_host->appOptions().MetricUnits,
                             {s->marginLeft(), s->marginRight(), s->marginTop(), s->marginBottom()});
    if (dlg.exec() != QDialog::Accepted)
        return false;
    const auto v = dlg.values();
    m_doc.surface()->setMargins(v[0], v[1], v[2], v[3]);
    m_doc.setModified(true);
    return true;
}

void TMDIChildForm::BringToFront()
{
    m_handles->BringToFront();
    m_cardPanel->setFocus();
    m_doc.setModified(true);
}

void TMDIChildForm::SendToBack()
{
    m_handles->SendToBack();
    m_cardPanel->setFocus();
    m_doc.setModified(true);
}

} // namespace document
