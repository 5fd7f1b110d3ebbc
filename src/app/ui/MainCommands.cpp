// The main window's commands and the rules that enable them.
#include "app/ui/MainForm.h"

#include "app/DesignPaths.h"
#include "app/Product.h"
#include "app/ProductInfo.h"
#include "app/ui/AboutForm.h"
#include "app/ui/CardOpenDialog.h"
#include "app/ui/ConfigForm.h"
#include "app/ui/HelpWindow.h"
#include "document/ui/MDIChildForm.h"
#include "files/LegacyImport.h"
#include "print/ui/PrintDesign.h"
#include "platform/Registry.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDockWidget>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QTimer>
#include <QUrl>

namespace app {

TMDIChildForm *TMainForm::createDocumentWindow()
{
    auto *doc = new TMDIChildForm(this);
    QMdiSubWindow *active = m_mdi->activeSubWindow();
    const bool maximized = !active || active->isMaximized();
    QMdiSubWindow *sub = m_mdi->addSubWindow(doc);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    connect(doc, &TMDIChildForm::captionChanged, sub, &QMdiSubWindow::setWindowTitle);
    connect(doc, &TMDIChildForm::stateChanged, this, &TMainForm::UpdateCommands);
    if (maximized)
        sub->showMaximized();
    else
        sub->show();
    return doc;
}

// A document window that failed to build shows its message and goes away again.
static TMDIChildForm *keepOrClose(TMDIChildForm *doc, bool ok)
{
    if (ok) {
        // The window was activated while still empty; show what it now holds.
        if (auto *frame = qobject_cast<TMainForm *>(doc->window()))
            if (auto *sub = qobject_cast<QMdiSubWindow *>(doc->parentWidget()))
                frame->refreshActiveDocument(sub);
        return doc;
    }
    if (QWidget *sub = doc->parentWidget())
        sub->close();
    return nullptr;
}

void TMainForm::OpenDesignFile(const QString &name, bool addToRecent)
{
    const QString fileName = absoluteDesignPath(name);
    if (files::isLegacyDesignName(fileName)) {
        importDesign(fileName);
        return;
    }
    bool matched = false;
    for (QMdiSubWindow *w : m_mdi->subWindowList()) {
        auto *d = qobject_cast<TMDIChildForm *>(w->widget());
        if (d && sameDesignFile(d->fileName(), fileName)) {
            m_mdi->setActiveSubWindow(w);
            matched = true;
        }
    }
    if (matched)
        return;
    TMDIChildForm *doc = createDocumentWindow();
    if (keepOrClose(doc, doc->createDesign(0, nullptr, fileName, nullptr))) {
        rememberDesignFolder(fileName);
        if (addToRecent && m_recent.add(fileName))
            fillReopenMenu();
    } else if (m_recent.remove(name)) {
        // What cannot be opened is not offered again.
        fillReopenMenu();
    }
    UpdateCommands();
}

TMDIChildForm *TMainForm::newBlankDocument(const layout::LayoutRecord &l)
{
    TMDIChildForm *doc = createDocumentWindow();
    const int number = m_nextUntitled++;
    doc = keepOrClose(doc, doc->createDesign(number, nullptr, QString(), &l));
    UpdateCommands();
    return doc;
}

TMDIChildForm *TMainForm::newDocumentFromTemplate(const QString &templateFile, files::Substitution *substitution)
{
    TMDIChildForm *doc = createDocumentWindow();
    const int number = m_nextUntitled++;
    doc = keepOrClose(doc, doc->createDesign(number, substitution, templateFile, nullptr));
    UpdateCommands();
    return doc;
}

TMDIChildForm *TMainForm::importDesign(const QString &fileName)
{
    TMDIChildForm *doc = createDocumentWindow();
    const int number = m_nextUntitled++;
    doc = keepOrClose(doc, doc->createDesign(number, nullptr, fileName, nullptr));
    UpdateCommands();
    return doc;
}

void TMainForm::NewMIClick()
{
    // Until the design wizard exists, New goes straight to picking a layout, as it does
    // when the wizard cannot be shown.
    pickLayoutForNewDesign();
}

void TMainForm::OpenMIClick()
{
    const TMDIChildForm *active = activeDocument();
    CardOpenDialog dlg(this, designDialogFolder(active ? active->fileName() : QString(), m_options.DocumentsFolder));
    if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
        OpenDesignFile(dlg.selectedFiles().first(), true);
}

// Import: an old design becomes a new untitled design; it is not added to the recent list.
void TMainForm::ImportMIClick()
{
    QFileDialog dlg(this, QStringLiteral("Import"), QString(),
                    QStringLiteral("V5.x Cards (*.bco);;V2.x-V4.x Cards (*.bcd)"));
    dlg.setObjectName(QStringLiteral("OpenDialog"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setOption(QFileDialog::ReadOnly);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
        importDesign(dlg.selectedFiles().first());
}

void TMainForm::SaveMIClick()
{
    if (TMDIChildForm *d = activeDocument()) {
        const QString name = d->Save(false);
        if (!name.isEmpty() && m_recent.add(name))
            fillReopenMenu();
        UpdateCommands();
    }
}

void TMainForm::SaveAsMIClick()
{
    if (TMDIChildForm *d = activeDocument()) {
        const QString name = d->Save(true);
        if (!name.isEmpty() && m_recent.add(name))
            fillReopenMenu();
        UpdateCommands();
    }
}

void TMainForm::CloseMIClick()
{
    if (QMdiSubWindow *w = m_mdi->activeSubWindow())
        w->close();
}

void TMainForm::CloseAllMIClick()
{
    for (QMdiSubWindow *w : m_mdi->subWindowList())
        w->close();
}

void TMainForm::ExitMIClick() { close(); }

void TMainForm::PrintSetupMIClick()
{
    // The set-up is kept for the print and preview commands that follow.
    QPageSetupDialog dlg(&print::sharedPrinter(), this);
    dlg.setObjectName(QStringLiteral("PrinterSetupDialog"));
    dlg.exec();
}

void TMainForm::ZoomInMIClick()
{
    if (TMDIChildForm *d = activeDocument())
        m_zoomCombo->setCurrentText(QString::number(d->SetZoom(10, true)));
    UpdateCommands();
}

void TMainForm::ZoomOutMIClick()
{
    if (TMDIChildForm *d = activeDocument())
        m_zoomCombo->setCurrentText(QString::number(d->SetZoom(-10, true)));
    UpdateCommands();
}

void TMainForm::ZoomBtnClick()
{
    TMDIChildForm *d = activeDocument();
    if (!d)
        return;
    bool ok = false;
    const int value = m_zoomCombo->currentText().trimmed().toInt(&ok);
    if (!ok || value < 25)
        return;
    m_zoomCombo->setCurrentText(QString::number(d->SetZoom(value, false)));
    UpdateCommands();
}

void TMainForm::OptionsMIClick()
{
    TConfigForm dlg(this, m_options);
    connect(&dlg, &TConfigForm::helpRequested, this, [this](int) { HelpTopicsMIClick(); });
    if (dlg.exec() != QDialog::Accepted)
        return;
    SaveOptions(m_options);
    for (TMDIChildForm *d : documents())
        applyOptionsToDocument(d);
    UpdateCommands();
}

void TMainForm::applyOptionsToDocument(TMDIChildForm *doc) { doc->applyOptions(); }

void TMainForm::HelpTopicsMIClick() { HelpWindow::showContents(this); }

void TMainForm::AboutMIClick()
{
    TAboutForm about(this);
    about.exec();
}

void TMainForm::openWebPage(const QString &address)
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("https://") + address));
}

void TMainForm::HistoryListClick(const QString &path)
{
    OpenDesignFile(path, true);
    UpdateCommands();
}

void TMainForm::refreshActiveDocument(QMdiSubWindow *w) { documentActivated(w); }

void TMainForm::documentActivated(QMdiSubWindow *w)
{
    auto *d = w ? qobject_cast<TMDIChildForm *>(w->widget()) : nullptr;
    if (!d)
        return;
    m_actions.value(QStringLiteral("SelectMI"))->setChecked(true);
    m_status[1]->setText(QString::number(d->zoom()) + QStringLiteral("%"));
    m_status[2]->setText(d->doc()->layout().Name());
    fillRegionCombo();
    refreshObjectList();
    UpdateCommands();
}

void TMainForm::fillRegionCombo()
{
    TMDIChildForm *d = activeDocument();
    m_listsFilling = true;
    m_regionCombo->clear();
    if (d) {
        m_regionCombo->addItems(d->doc()->regionNames());
        m_regionCombo->setCurrentIndex(d->doc()->currentRegionIndex());
    }
    m_listsFilling = false;
}

void TMainForm::RegionComboChange(int index)
{
    if (m_listsFilling || index < 0)
        return;
    if (TMDIChildForm *d = activeDocument())
        d->SwitchRegion(index);
    UpdateCommands();
}

namespace {
// Formats that Paste can take, tested in this order.
bool clipboardHasPasteable()
{
    const QMimeData *m = QGuiApplication::clipboard()->mimeData();
    if (!m)
        return false;
    return m->hasFormat(QStringLiteral("application/x-dravmont-objects")) || m->hasText() || m->hasImage()
           || m->hasFormat(QStringLiteral("image/x-emf")) || m->hasFormat(QStringLiteral("image/x-wmf"));
}
} // namespace

void TMainForm::UpdateCommands()
{
    if (m_destroying)
        return;
    TMDIChildForm *d = activeDocument();
    const bool any = !documents().isEmpty();
    if (!any) {
        for (QLabel *l : m_status)
            l->clear();
        m_zoomCombo->setCurrentText(QString());
        m_objectCombo->clear();
        m_regionCombo->setCurrentIndex(-1);
    } else if (d) {
        m_zoomCombo->setCurrentText(QString::number(d->zoom()));
        m_status[1]->setText(QString::number(d->zoom()) + QStringLiteral("%"));
    }
    const int selected = d ? d->selectedCount() : 0;
    const int objects = d ? d->objectCount() : 0;

    auto enable = [this](std::initializer_list<const char *> names, bool on) {
        for (const char *n : names)
            if (QAction *a = m_actions.value(QString::fromLatin1(n)))
                a->setEnabled(on);
    };
    enable({"SaveMI"}, d && d->isModified());
    enable({"SaveAsMI", "SaveAsTemplateMI", "SaveAsGraphicMI", "OrderMI", "PrintMI", "PrintPreviewMI",
            "EditCurrentLayoutMI", "SwitchLayoutMI", "CloseMI", "BackgroundMI", "LinkedDBFileMI", "MarginsMI",
            "ZoomInMI", "ZoomOutMI", "ZoomBtnAction", "TileMI", "CascadeMI", "ArrangeIconsMI", "CloseAllMI",
            "SelectMI", "TextMI", "GraphicMI", "LineMI", "BoxMI", "RoundBoxMI", "EllipseMI", "OLEMI"},
           any);
    m_zoomCombo->setEnabled(any);
    m_objectCombo->setEnabled(any);
    m_regionCombo->setEnabled(any);
    enable({"UndoMI"}, d && d->canUndo());
    enable({"RedoMI"}, d && d->canRedo());
    enable({"CutMI", "CopyMI", "DeleteMI", "SelectNoneMI", "AlignMI", "AlignSelectedtoGridMI", "BringtoFrontMI",
            "SendtoBackMI", "FitToMarginsMI", "AlignLeftBtnAction", "AlignHCenterBtnAction", "AlignRightBtnAction",
            "AlignTopBtnAction", "AlignVCenterBtnAction", "AlignBottomBtnAction"},
           selected >= 1);
    enable({"AlignGroupLeftBtnAction", "AlignGroupHCenterBtnAction", "AlignGroupRightBtnAction",
            "AlignGroupHSpaceBtnAction", "AlignGroupTopBtnAction", "AlignGroupVCenterBtnAction",
            "AlignGroupBottomBtnAction", "AlignGroupVSpaceBtnAction"},
           selected >= 2);
    enable({"PropertiesMI"}, selected == 1);
    m_propertyPanel->setVisible(selected == 1);
    refreshPropertyEditor();
    enable({"SelectAllMI", "AlignAlltoGridMI"}, objects >= 1);
    enable({"PasteMI"}, any && clipboardHasPasteable());

    // The context menu follows its menu twins.
    for (auto it = m_popupTwins.cbegin(); it != m_popupTwins.cend(); ++it)
        if (QAction *a = m_objectPopup->findChild<QAction *>(it.key()))
            a->setEnabled(it.value()->isEnabled());
}

} // namespace app
