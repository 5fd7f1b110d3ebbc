// The print dialog, the instructions for the second side, the preview window and the
// document's print command driven through its dialogs.
#include "print/ui/PreviewForm.h"
#include "print/ui/PrintDesign.h"
#include "print/ui/PrintForm.h"

#include "app/AppOptions.h"
#include "document/DesignDocument.h"
#include "model/SurfaceItem.h"
#include "model/TObjectData.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

using namespace print;

TEST(PrintForm, ControlsCaptionsAndDefaults)
{
    TPrintForm f(0, 10);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Print"));
    for (const char *name : {"OptionsGroup", "StartEdit", "StartUpDown", "QtyEdit", "IndividualRadio", "PagesRadio",
                             "SidePanel", "SideCombo", "AllInDBBtn", "InstructionsGroup", "TopFlipMemo", "SideFlipMemo",
                             "SingleSideMemo", "FlipPanel", "FlipCheck", "OkBtn", "CancelBtn", "HelpBtn"})
        EXPECT_NE(f.findChild<QWidget *>(QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(f.StartEdit->text(), QStringLiteral("1"));
    EXPECT_EQ(f.StartUpDown->minimum(), 1);
    EXPECT_EQ(f.StartUpDown->maximum(), 10);
    EXPECT_TRUE(f.IndividualRadio->isChecked());
    EXPECT_EQ(f.SideCombo->count(), 3);
    EXPECT_EQ(f.SideCombo->itemText(0), QStringLiteral("Both Sides"));
    EXPECT_EQ(f.FlipCheck->text(), QStringLiteral("&Flip the paper the other way"));
    EXPECT_EQ(f.AllInDBBtn->text(), QStringLiteral("&All in DB File"));
    EXPECT_FALSE(f.AllInDBBtn->isVisibleTo(&f)) << "no data file records";
    for (QPlainTextEdit *m : {f.TopFlipMemo, f.SideFlipMemo, f.SingleSideMemo}) {
        EXPECT_TRUE(m->isReadOnly());
        EXPECT_FALSE(m->toPlainText().isEmpty());
    }
    // The up-down steps the start position.
    f.StartUpDown->setValue(4);
    EXPECT_EQ(f.StartEdit->text(), QStringLiteral("4"));
}

TEST(PrintForm, AllInDbFileCountsElements)
{
    TPrintForm f(37, 10);
    EXPECT_TRUE(f.AllInDBBtn->isVisibleTo(&f));
    f.PagesRadio->setChecked(true);
    f.AllInDBBtn->click();
    EXPECT_TRUE(f.IndividualRadio->isChecked());
    EXPECT_EQ(f.QtyEdit->text(), QStringLiteral("37"));
}

TEST(PrintForm, OkChecksInOrderAndCountsPagesAsElements)
{
    struct Case {
        QString start, qty;
        bool pages;
        QString error;
        QString qtyAfter;
    };
    const Case cases[] = {
        {QStringLiteral("11"), QStringLiteral("5"), false, QStringLiteral("Please enter a starting position between 1 and 10."), QStringLiteral("5")},
        {QStringLiteral("abc"), QStringLiteral("5"), false, QStringLiteral("Please enter a starting position between 1 and 10."), QStringLiteral("5")},
        {QStringLiteral("2"), QStringLiteral("0"), false, QStringLiteral("Please enter a valid quantity to print."), QStringLiteral("0")},
        {QStringLiteral("2"), QStringLiteral("3"), true, QString(), QStringLiteral("30")},
        {QStringLiteral("2"), QStringLiteral("3"), false, QString(), QStringLiteral("3")},
    };
    for (const Case &c : cases) {
        TPrintForm f(0, 10);
        QString shown;
        f.showError = [&](const QString &m) { shown = m; };
        f.StartEdit->setText(c.start);
        f.QtyEdit->setText(c.qty);
        f.PagesRadio->setChecked(c.pages);
        f.IndividualRadio->setChecked(!c.pages);
        f.OkBtnClick();
        EXPECT_EQ(shown, c.error) << c.start.toStdString() << "/" << c.qty.toStdString();
        EXPECT_EQ(f.result(), c.error.isEmpty() ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(f.QtyEdit->text(), c.qtyAfter);
    }
    // Unconvertible values fall back to 1 and one sheet.
    TPrintForm f(0, 10);
    f.StartEdit->setText(QStringLiteral("x"));
    f.QtyEdit->setText(QStringLiteral("y"));
    EXPECT_EQ(f.start(), 1);
    EXPECT_EQ(f.quantity(), 10);
}

TEST(PrintForm, InstructionsForTheSecondSide)
{
    // Flat card: the flip box is offered; each click swaps the two memos.
    TPrintForm flat(0, 10);
    flat.ShowInstructions(0, true);
    EXPECT_FALSE(flat.OptionsGroup->isVisibleTo(&flat));
    EXPECT_FALSE(flat.SingleSideMemo->isVisibleTo(&flat));
    EXPECT_TRUE(flat.FlipPanel->isVisibleTo(&flat));
    EXPECT_TRUE(flat.TopFlipMemo->isVisibleTo(&flat));
    EXPECT_FALSE(flat.SideFlipMemo->isVisibleTo(&flat));
    flat.FlipCheck->click();
    EXPECT_FALSE(flat.TopFlipMemo->isVisibleTo(&flat));
    EXPECT_TRUE(flat.SideFlipMemo->isVisibleTo(&flat));
    flat.FlipCheck->click();
    EXPECT_TRUE(flat.TopFlipMemo->isVisibleTo(&flat));

    // Side-fold card: left-right memo, never the flip box.
    TPrintForm fold(0, 5);
    fold.ShowInstructions(1, false);
    EXPECT_FALSE(fold.FlipPanel->isVisibleTo(&fold));
    EXPECT_TRUE(fold.SideFlipMemo->isVisibleTo(&fold));
    EXPECT_FALSE(fold.TopFlipMemo->isVisibleTo(&fold));
}

namespace {
DeviceValues letter(int dpi) { return DeviceValues{dpi, dpi, int(8.5 * dpi), 11 * dpi, 0, 0}; }
TTextOptions cards()
{
    TTextOptions o;
    o.Columns = 2;
    o.Rows = 5;
    o.ColumnWidth = 3.5;
    o.RowHeight = 2;
    o.MarginLeft = 0.75;
    o.MarginTop = 0.5;
    return o;
}
} // namespace

TEST(PreviewForm, NavigationLabelsAndTheEmptySecondView)
{
    TPreviewPrinter e;
    e.TextOptions = cards();
    e.InitNonGenerated(3, 20, letter(100));
    std::vector<int> drawnElements;
    e.OnDrawElement = [&](TPreviewPrinter &, int element, gdi::Canvas &, const QRect &) { drawnElements.push_back(element); };
    TPreviewForm f(e, nullptr);
    f.resize(800, 900);
    for (const char *name : {"PrintSpeed", "FirstPageSpeed", "PrevPageSpeed", "NextPageSpeed", "LastPageSpeed",
                             "ZoomBox", "FitPageBut", "FitWidthBut", "GridBut", "ZoomCursorBut", "HandCursorBut",
                             "OnePageBut", "TwoPageBut", "CloseBut", "CurPageLabel", "ZoomLabel", "HintLabel"})
        EXPECT_NE(f.findChild<QWidget *>(QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(f.ZoomBox->currentText(), QStringLiteral("Fit To Page"));
    EXPECT_TRUE(f.FitPageBut->isChecked());
    EXPECT_TRUE(f.ZoomCursorBut->isChecked());
    EXPECT_EQ(f.CurPageLabel->text(), QStringLiteral("Page 1 of 3"));
    EXPECT_FALSE(f.PrevPageSpeed->isEnabled());
    EXPECT_FALSE(f.FirstPageSpeed->isEnabled());
    EXPECT_TRUE(f.NextPageSpeed->isEnabled());

    f.LastPageSpeed->click();
    EXPECT_EQ(f.CurPageLabel->text(), QStringLiteral("Page 3 of 3"));
    EXPECT_FALSE(f.NextPageSpeed->isEnabled());
    EXPECT_TRUE(f.PrevPageSpeed->isEnabled());

    // Two pages on the last page: the first view draws page 3 (positions 1 and 2), the
    // second view has no page to draw.
    f.TwoPageBut->click();
    EXPECT_TRUE(f.pageView(1)->isVisibleTo(&f));
    drawnElements.clear();
    f.pageView(0)->grab();
    EXPECT_EQ(drawnElements, (std::vector<int>{1, 2}));
    drawnElements.clear();
    f.pageView(1)->grab();
    EXPECT_TRUE(drawnElements.empty());
    EXPECT_TRUE(f.CloseBut->isEnabled());

    f.FirstPageSpeed->click();
    drawnElements.clear();
    f.pageView(1)->grab();
    EXPECT_EQ(drawnElements.size(), 10u) << "the second view shows the next page";
}

TEST(PreviewForm, ZoomItemsAndTheZoomTool)
{
    TPreviewPrinter e;
    e.TextOptions = cards();
    e.InitNonGenerated(1, 10, letter(100));
    e.OnDrawElement = [](TPreviewPrinter &, int, gdi::Canvas &, const QRect &) {};
    TPreviewForm f(e, nullptr);
    f.ZoomBox->setCurrentIndex(6); // 100%
    EXPECT_DOUBLE_EQ(f.zoomFactor(), 1.0);
    EXPECT_FALSE(f.FitPageBut->isChecked());
    EXPECT_EQ(f.ZoomLabel->text(), QStringLiteral("100%"));
    const QSize view = f.pageView(0)->size();
    f.setZoomFactor(19.9);
    f.zoomClick(QPoint(10, 10), true, view);
    EXPECT_DOUBLE_EQ(f.zoomFactor(), 20.15);
    EXPECT_EQ(f.ZoomBox->currentText(), QStringLiteral("Custom"));
    f.zoomClick(QPoint(10, 10), true, view);
    EXPECT_DOUBLE_EQ(f.zoomFactor(), 20.15) << "20 or more: no further";
    f.setZoomFactor(0.25);
    f.zoomClick(QPoint(10, 10), false, view);
    EXPECT_DOUBLE_EQ(f.zoomFactor(), 0.25);
    f.FitWidthBut->click();
    EXPECT_EQ(f.ZoomBox->currentText(), QStringLiteral("Fit To Width"));
    EXPECT_TRUE(f.FitWidthBut->isChecked());
}

TEST(PrintDesign, PrintsThroughTheDialogToThePrinterAndLeavesTheDesignAsItWas)
{
    QTemporaryDir dir;
    document::DesignDocument doc;
    ASSERT_EQ(doc.createBlank(layout::businessCardLayout(), 1), 1);
    model::SurfaceItem *box = doc.manager()->NewBox(10, 10);
    box->setBounds(10, 10, 100, 50);
    doc.setZoom(200, false);
    const QRect bounds = box->bounds();

    QPrinter &printer = sharedPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir.filePath(QStringLiteral("ui.pdf"));
    printer.setOutputFileName(pdf);

    // Confirm the print dialog with 2 pages from position 1.
    QTimer::singleShot(0, [] {
        auto *f = qobject_cast<TPrintForm *>(QApplication::activeModalWidget());
        ASSERT_NE(f, nullptr);
        f->PagesRadio->setChecked(true);
        f->QtyEdit->setText(QStringLiteral("2"));
        f->OkBtn->click();
    });
    app::TAppOptions options;
    EXPECT_TRUE(runPrintDialog(nullptr, doc, options, false));
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(doc.zoom(), 200);
    EXPECT_EQ(doc.surface()->count(), 1);
    EXPECT_EQ(doc.surface()->itemAt(0)->bounds(), bounds);
    // The region on screen was saved into its slot first.
    EXPECT_EQ(doc.manager()->slot(0).objectCount, 1);

    // Cancel prints nothing.
    QFile::remove(pdf);
    QTimer::singleShot(0, [] {
        if (auto *f = qobject_cast<TPrintForm *>(QApplication::activeModalWidget()))
            f->CancelBtn->click();
    });
    EXPECT_FALSE(runPrintDialog(nullptr, doc, options, false));
    EXPECT_FALSE(QFile::exists(pdf));
}
