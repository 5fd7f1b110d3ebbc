#include "document/ui/MDIChildForm.h"

#include "app/DesignPaths.h"
#include "document/ui/DocumentHost.h"
#include "editing/ui/CardPanelView.h"
#include "editing/Selection.h"
#include "editing/StretchHandle.h"
#include "editing/ui/Ruler.h"

#include "files/ui/FileErrorBox.h"
#include "pictures/ui/PickPicForm.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>

namespace document {


TMDIChildForm::TMDIChildForm(DocumentHost *host, QWidget *parent) : QWidget(parent), m_host(host)
{
    setObjectName(QStringLiteral("MDIChildForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);

    m_unitPanel = new QLabel(QStringLiteral("I"), this);
    m_unitPanel->setObjectName(QStringLiteral("UnitPanel"));
    m_unitPanel->setAlignment(Qt::AlignCenter);
    m_unitPanel->setFixedSize(22, 22);
    m_unitPanel->setFrameShape(QFrame::Panel);
    m_horzRuler = new editing::Ruler(Qt::Horizontal, this);
    m_horzRuler->setObjectName(QStringLiteral("HorzRuler"));
    m_vertRuler = new editing::Ruler(Qt::Vertical, this);
    m_vertRuler->setObjectName(QStringLiteral("VertRuler"));
    m_scrollBox = new QScrollArea(this);
    m_scrollBox->setObjectName(QStringLiteral("ScrollBox"));
    m_scrollBox->setBackgroundRole(QPalette::Dark);

    auto *holder = new QWidget;
    m_cardPanel = new editing::CardPanelView(m_doc.surface(), holder);
    m_cardPanel->setObjectName(QStringLiteral("CardPanel"));
    m_cardPanel->move(3, 3);
    m_scrollBox->setWidget(holder);
    m_scrollBox->setWidgetResizable(false);

    grid->addWidget(m_unitPanel, 0, 0);
    grid->addWidget(m_horzRuler, 0, 1);
    grid->addWidget(m_vertRuler, 1, 0);
    grid->addWidget(m_scrollBox, 1, 1);

    // The rulers' origins follow the surface as it scrolls.
    connect(m_scrollBox->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int v) { m_horzRuler->setOffsetStart(-v - 3); });
    connect(m_scrollBox->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int v) { m_vertRuler->setOffsetStart(-v - 3); });
    connect(m_doc.surface(), &model::SurfaceModel::changed, this, &TMDIChildForm::syncPanel);
    connect(&m_doc, &DesignDocument::captionChanged, this, [this](const QString &c) {
        setWindowTitle(c);
        emit captionChanged(c);
    });
    connect(&m_doc, &DesignDocument::modifiedChanged, this, [this] { emit stateChanged(); });
    m_doc.surface()->setShowGrid(false);
    m_selection = new editing::Selection(m_doc.surface(), this);
    connect(m_selection, &editing::Selection::changed, this, [this] {
        m_cardPanel->update();
        emit stateChanged();
    });
    // A region switch or a zoom change starts with nothing selected.
    connect(&m_doc, &DesignDocument::regionChanged, m_selection, &editing::Selection::clear);
    connect(&m_doc, &DesignDocument::zoomChanged, m_selection, &editing::Selection::clear);
    setupEditing();
}

TMDIChildForm::~TMDIChildForm()
{
    // The design's objects go with the document after this body; a selection that
    // forgets them must not call into the main window any more.
    m_selection->blockSignals(true);
    if (m_host)
        m_host->startEnableTimer();
}

void TMDIChildForm::syncPanel()
{
    const QSize s = m_doc.surface()->size();
    m_cardPanel->setZoom(m_doc.zoom());
    m_cardPanel->resize(s);
    if (QWidget *holder = m_scrollBox->widget())
        holder->resize(s + QSize(6, 6));
}

bool TMDIChildForm::createDesign(int untitledNumber, files::Substitution *substitution, const QString &fileName,
                                 const layout::LayoutRecord *layout)
{
    int result = files::ResultOk;
    if (untitledNumber != 0) {
        if (fileName.isEmpty())
            result = m_doc.createBlank(layout ? *layout : layout::LayoutRecord(), untitledNumber);
        else if (substitution)
            result = m_doc.openTemplate(fileName, substitution, untitledNumber);
        else
            result = m_doc.importLegacy(fileName, untitledNumber);
    } else {
        result = m_doc.openFile(fileName);
    }
    if (result != files::ResultOk) {
        const QString text = DesignDocument::messageFor(result);
        files::showFileError(this, windowTitle().isEmpty() ? QStringLiteral("Ostravel") : windowTitle(), text,
                             fileName);
        return false;
    }
    setWindowTitle(m_doc.caption());
    applyOptions();
    syncPanel();
    m_host->refreshObjectList();
    return true;
}

void TMDIChildForm::applyOptions()
{
    const app::TAppOptions &o = m_host->appOptions();
    model::SurfaceModel *s = m_doc.surface();
    s->setShowGrid(o.ShowGrid);
    s->setGridX(o.GridSize);
    s->setGridY(o.GridSize);
    m_unitPanel->setText(o.MetricUnits ? QStringLiteral("CM") : QStringLiteral("I"));
    const auto measure = o.MetricUnits ? editing::Ruler::Measure::Centimetres : editing::Ruler::Measure::Inches;
    m_horzRuler->setMeasure(measure);
    m_vertRuler->setMeasure(measure);
    m_horzRuler->setScale(m_doc.zoom());
    m_vertRuler->setScale(m_doc.zoom());
    applyEditingOptions();
}

QString TMDIChildForm::Save(bool forceDialog)
{
    m_handles->Detach(); // saving starts with nothing selected
    QString name = m_doc.fileName();
    if (forceDialog || name.isEmpty()) {
        QFileDialog dlg(this, QStringLiteral("Save As"),
                        app::designDialogFolder(name, m_host->appOptions().DocumentsFolder),
                        QStringLiteral("Business Cards (*.bcp);;Templates (*.cct)"));
        dlg.setObjectName(QStringLiteral("SaveDialog"));
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setDefaultSuffix(QStringLiteral("bcp"));
        dlg.selectFile(app::proposedDesignName(name, m_doc.caption()));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return {};
        name = dlg.selectedFiles().first();
    }
    if (!m_doc.save(name)) {
        files::showFileError(this, windowTitle(), files::resultMessage(files::ResultSaveError), name);
        return {};
    }
    app::rememberDesignFolder(name);
    setWindowTitle(m_doc.caption());
    emit stateChanged();
    return name;
}

bool TMDIChildForm::SwitchRegion(int index)
{
    const bool ok = m_doc.switchRegion(index);
    emit stateChanged();
    return ok;
}

int TMDIChildForm::SetZoom(int value, bool relative)
{
    const int before = m_doc.zoom();
    const int z = m_doc.setZoom(value, relative);
    if (z != before || !relative) {
        m_scrollBox->horizontalScrollBar()->setValue(0);
        m_scrollBox->verticalScrollBar()->setValue(0);
        m_horzRuler->setOffsetStart(0);
        m_vertRuler->setOffsetStart(0);
        m_horzRuler->setScale(z);
        m_vertRuler->setScale(z);
        syncPanel();
        emit stateChanged();
    }
    return z;
}

bool TMDIChildForm::ChooseBackground()
{
    bool accepted = false;
    const app::TAppOptions &o = m_host->appOptions();
    const plat::Picture picture =
        pictures::pickPicture(this, m_doc.surface()->background(), true, &accepted, o.ReduceColor);
    if (!accepted)
        return false;
    // An empty picture (Clear in the dialog) removes the background.
    m_doc.surface()->setBackground(picture);
    m_doc.setModified(true);
    return true;
}

bool TMDIChildForm::queryClose()
{
    if (!m_doc.isModified())
        return true;
    const auto answer = QMessageBox::question(this, windowTitle(),
                                              QStringLiteral("This design has changed.\n\nWould you like to save it?"),
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::No)
        return true;
    return !Save(m_doc.fileName().isEmpty()).isEmpty();
}

void TMDIChildForm::closeEvent(QCloseEvent *e)
{
    if (m_closeAccepted || queryClose()) {
        m_closeAccepted = true;
        e->accept();
    } else {
        e->ignore();
    }
}

void TMDIChildForm::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    m_scrollBox->horizontalScrollBar()->setValue(0);
    m_scrollBox->verticalScrollBar()->setValue(0);
    m_horzRuler->setOffsetStart(0);
    m_vertRuler->setOffsetStart(0);
}

} // namespace document
