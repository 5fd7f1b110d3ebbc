#include "layout/ui/EditLayoutForm.h"

#include "layout/LayoutFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <climits>

namespace layout {

namespace {

QLineEdit *edit(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLabel *label(const QString &text, QWidget *buddy)
{
    auto *l = new QLabel(text);
    l->setBuddy(buddy);
    return l;
}

} // namespace

TEditLayoutForm::TEditLayoutForm(QWidget *owner, bool metric, LayoutRecord &record)
    : QDialog(owner), m_record(record), m_metric(metric)
{
    setObjectName(QStringLiteral("EditLayoutForm"));
    setWindowTitle(tr("Layout"));
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_name = edit(this, "NameEdit");
    m_name->setMaxLength(LayoutRecord::kNameSize - 1);
    m_paper = new QComboBox(this);
    m_paper->setObjectName(QStringLiteral("PaperTypeCombo"));
    m_paper->addItems(paperNames());

    auto *sizeGroup = new QGroupBox(tr("&Element Size"), this);
    sizeGroup->setObjectName(QStringLiteral("ElementSizeGroup"));
    m_width = edit(sizeGroup, "WidthEdit");
    m_height = edit(sizeGroup, "HeightEdit");
    auto *sizeForm = new QFormLayout(sizeGroup);
    sizeForm->addRow(label(tr("&Width:"), m_width), m_width);
    sizeForm->addRow(label(tr("&Height:"), m_height), m_height);

    auto *sheetGroup = new QGroupBox(tr("Sheet"), this);
    sheetGroup->setObjectName(QStringLiteral("SheetGroup"));
    m_rows = edit(sheetGroup, "RowsEdit");
    m_columns = edit(sheetGroup, "ColumnsEdit");
    m_top = edit(sheetGroup, "TopMarginEdit");
    m_left = edit(sheetGroup, "LeftMarginEdit");
    m_columnSpace = edit(sheetGroup, "ColumnSpaceEdit");
    m_rowSpace = edit(sheetGroup, "RowSpaceEdit");
    auto *sheetForm = new QFormLayout(sheetGroup);
    sheetForm->addRow(label(tr("R&ows:"), m_rows), m_rows);
    sheetForm->addRow(label(tr("Colu&mns:"), m_columns), m_columns);
    sheetForm->addRow(label(tr("&Top margin:"), m_top), m_top);
    sheetForm->addRow(label(tr("&Left margin:"), m_left), m_left);
    sheetForm->addRow(label(tr("Space between &columns:"), m_columnSpace), m_columnSpace);
    sheetForm->addRow(label(tr("Space between &rows:"), m_rowSpace), m_rowSpace);

    // Counts take digits only, lengths numbers of 0 or more; what is still wrong is said on OK.
    for (QLineEdit *count : {m_rows, m_columns})
        count->setValidator(new QIntValidator(0, INT_MAX, count));
    for (QLineEdit *length : {m_width, m_height, m_top, m_left, m_columnSpace, m_rowSpace}) {
        auto *v = new QDoubleValidator(0.0, 1.0e6, 4, length);
        v->setNotation(QDoubleValidator::StandardNotation);
        length->setValidator(v);
    }

    auto *regionGroup = new QGroupBox(tr("Region Type"), this);
    regionGroup->setObjectName(QStringLiteral("RegionTypeGroup"));
    m_regionType = new QComboBox(regionGroup);
    m_regionType->setObjectName(QStringLiteral("RegionTypeCombo"));
    m_regionType->addItems(regionTypeNames());
    m_regionType->setEnabled(false);
    m_backPrintable = new QCheckBox(tr("&Back printable"), regionGroup);
    m_backPrintable->setObjectName(QStringLiteral("BackPrintableCheck"));
    m_backPrintable->setEnabled(false);
    auto *regionBox = new QVBoxLayout(regionGroup);
    regionBox->addWidget(m_regionType);
    regionBox->addWidget(m_backPrintable);

    m_units = new QGroupBox(tr("Units"), this);
    m_units->setObjectName(QStringLiteral("UnitsRadioGroup"));
    m_inch = new QRadioButton(tr("&inch"), m_units);
    m_inch->setObjectName(QStringLiteral("InchRadio"));
    m_mm = new QRadioButton(tr("&mm"), m_units);
    m_mm->setObjectName(QStringLiteral("MmRadio"));
    auto *unitsBox = new QHBoxLayout(m_units);
    unitsBox->addWidget(m_inch);
    unitsBox->addWidget(m_mm);
    connect(m_inch, &QRadioButton::clicked, this, &TEditLayoutForm::UnitsRadioGroupClick);
    connect(m_mm, &QRadioButton::clicked, this, &TEditLayoutForm::UnitsRadioGroupClick);

    auto *ok = button(this, "OkBtn", tr("&OK"));
    auto *cancel = button(this, "CancelBtn", tr("&Cancel"));
    auto *help = button(this, "HelpBtn", tr("&Help"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TEditLayoutForm::OkBtnClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { emit helpRequested(0); });

    auto *top = new QFormLayout;
    top->addRow(label(tr("&Name:"), m_name), m_name);
    top->addRow(label(tr("&Paper:"), m_paper), m_paper);

    auto *grid = new QGridLayout;
    grid->addWidget(sizeGroup, 0, 0);
    grid->addWidget(regionGroup, 0, 1);
    grid->addWidget(sheetGroup, 1, 0);
    grid->addWidget(m_units, 1, 1, Qt::AlignTop);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);

    auto *v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addLayout(grid);
    v->addLayout(buttons);
    v->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();
}

void TEditLayoutForm::FormCreate()
{
    const LayoutFields f = layoutFields(m_record, m_metric);
    m_name->setText(f.name);
    m_paper->setCurrentIndex(f.paperIndex);
    m_width->setText(f.width);
    m_height->setText(f.height);
    m_rows->setText(f.rows);
    m_columns->setText(f.columns);
    m_top->setText(f.topMargin);
    m_left->setText(f.leftMargin);
    m_columnSpace->setText(f.columnSpace);
    m_rowSpace->setText(f.rowSpace);
    m_regionType->setCurrentIndex(f.regionType <= 4 ? f.regionType : -1);
    m_backPrintable->setChecked(f.backPrintable);
    (m_metric ? m_mm : m_inch)->setChecked(true);
}

bool TEditLayoutForm::metricSelected() const { return m_mm->isChecked(); }

// The numbers on display stay as they are: they are read in whatever unit is selected
// when OK is pressed.
void TEditLayoutForm::UnitsRadioGroupClick() {}

void TEditLayoutForm::showError(const QString &text)
{
    QMessageBox::critical(this, tr("Error"), text, QMessageBox::Ok);
}

void TEditLayoutForm::OkBtnClick()
{
    LayoutFields f;
    f.name = m_name->text();
    f.paperIndex = m_paper->currentIndex();
    f.width = m_width->text();
    f.height = m_height->text();
    f.rows = m_rows->text();
    f.columns = m_columns->text();
    f.topMargin = m_top->text();
    f.leftMargin = m_left->text();
    f.columnSpace = m_columnSpace->text();
    f.rowSpace = m_rowSpace->text();
    f.regionType = m_regionType->currentIndex() >= 0 ? m_regionType->currentIndex() : m_record.RegionType();
    f.backPrintable = m_backPrintable->isChecked();
    f.metric = metricSelected();

    LayoutRecord edited = m_record;
    LayoutField bad = LayoutField::None;
    switch (applyLayoutFields(f, &edited, &bad)) {
    case LayoutFieldsResult::Ok:
        m_record = edited;
        accept();
        return;
    case LayoutFieldsResult::RegionSize:
        m_width->setFocus();
        showError(regionSizeDialogMessage(f.metric));
        return;
    case LayoutFieldsResult::InvalidNumber: {
        const QHash<LayoutField, QLineEdit *> edits = {
            {LayoutField::Width, m_width},        {LayoutField::Height, m_height},
            {LayoutField::Rows, m_rows},          {LayoutField::Columns, m_columns},
            {LayoutField::TopMargin, m_top},      {LayoutField::LeftMargin, m_left},
            {LayoutField::ColumnSpace, m_columnSpace}, {LayoutField::RowSpace, m_rowSpace}};
        if (QLineEdit *e = edits.value(bad)) {
            e->setFocus();
            e->selectAll();
        }
        showError(invalidLayoutMessage(bad));
        return;
    }
    }
}

} // namespace layout
