#include "print/ui/PrintForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <climits>

namespace print {

QString TPrintForm::TopFlipText()
{
    return QStringLiteral(
        "The first side is printed. Now print the second side:\n"
        "1. Take the printed sheets from the printer without changing their order.\n"
        "2. Turn the stack over from top to bottom, like the page of a wall calendar: "
        "the edge that came out of the printer last goes back in first.\n"
        "3. Put the stack back in the paper tray the same way up as blank paper is loaded "
        "for printing on its other side, then click OK.");
}

QString TPrintForm::SideFlipText()
{
    return QStringLiteral(
        "The first side is printed. Now print the second side:\n"
        "1. Take the printed sheets from the printer without changing their order.\n"
        "2. Turn the stack over from left to right, like the page of a book: "
        "the edge that went into the printer first goes in first again.\n"
        "3. Put the stack back in the paper tray the same way up as blank paper is loaded "
        "for printing on its other side, then click OK.");
}

QString TPrintForm::SingleSideText()
{
    return QStringLiteral(
        "The elements are printed on one side of the sheets. When both sides are chosen, "
        "you are told how to put the sheets back into the printer after the first side.");
}

namespace {
QPlainTextEdit *memo(const char *name, const QString &text, QWidget *parent)
{
    auto *m = new QPlainTextEdit(text, parent);
    m->setObjectName(QLatin1String(name));
    m->setReadOnly(true);
    QPalette p = m->palette();
    p.setColor(QPalette::Text, Qt::red);
    m->setPalette(p);
    m->setMinimumHeight(110);
    return m;
}
} // namespace

TPrintForm::TPrintForm(int recordCount, int perSheet, QWidget *parent)
    : QDialog(parent), m_recordCount(recordCount), m_perSheet(std::max(1, perSheet))
{
    setObjectName(QStringLiteral("PrintForm"));
    setWindowTitle(QStringLiteral("Print"));
    setProperty("helpContext", 113);
    showError = [this](const QString &message) { QMessageBox::critical(this, windowTitle(), message); };

    auto *root = new QVBoxLayout(this);

    OptionsGroup = new QGroupBox(QStringLiteral("Print Options"), this);
    OptionsGroup->setObjectName(QStringLiteral("OptionsGroup"));
    auto *opts = new QVBoxLayout(OptionsGroup);

    auto *startRow = new QHBoxLayout;
    auto *startLabel = new QLabel(QStringLiteral("&Start position on first page:"), OptionsGroup);
    StartEdit = new QLineEdit(QStringLiteral("1"), OptionsGroup);
    StartEdit->setObjectName(QStringLiteral("StartEdit"));
    // Digits only; whether the number is in range is said on OK.
    StartEdit->setValidator(new QIntValidator(1, m_perSheet, StartEdit));
    startLabel->setBuddy(StartEdit);
    StartUpDown = new QSpinBox(OptionsGroup);
    StartUpDown->setObjectName(QStringLiteral("StartUpDown"));
    StartUpDown->setRange(1, m_perSheet);
    StartUpDown->setValue(1);
    StartUpDown->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    StartUpDown->setMaximumWidth(20);
    // The up-down steps the edit within 1..perSheet.
    connect(StartUpDown, &QSpinBox::valueChanged, this, [this](int v) { StartEdit->setText(QString::number(v)); });
    connect(StartEdit, &QLineEdit::textEdited, this, [this](const QString &t) {
        bool ok = false;
        const int v = t.toInt(&ok);
        if (ok && v >= 1 && v <= m_perSheet) {
            const QSignalBlocker block(StartUpDown);
            StartUpDown->setValue(v);
        }
    });
    startRow->addWidget(startLabel);
    startRow->addWidget(StartEdit);
    startRow->addWidget(StartUpDown);
    opts->addLayout(startRow);

    auto *qtyRow = new QHBoxLayout;
    auto *qtyLabel = new QLabel(QStringLiteral("&Quantity to print:"), OptionsGroup);
    QtyEdit = new QLineEdit(OptionsGroup);
    QtyEdit->setObjectName(QStringLiteral("QtyEdit"));
    QtyEdit->setValidator(new QIntValidator(1, INT_MAX, QtyEdit));
    qtyLabel->setBuddy(QtyEdit);
    IndividualRadio = new QRadioButton(QStringLiteral("&Elements"), OptionsGroup);
    IndividualRadio->setObjectName(QStringLiteral("IndividualRadio"));
    IndividualRadio->setChecked(true);
    PagesRadio = new QRadioButton(QStringLiteral("&Pages"), OptionsGroup);
    PagesRadio->setObjectName(QStringLiteral("PagesRadio"));
    qtyRow->addWidget(qtyLabel);
    qtyRow->addWidget(QtyEdit);
    qtyRow->addWidget(IndividualRadio);
    qtyRow->addWidget(PagesRadio);
    opts->addLayout(qtyRow);

    SidePanel = new QWidget(OptionsGroup);
    SidePanel->setObjectName(QStringLiteral("SidePanel"));
    auto *sideRow = new QHBoxLayout(SidePanel);
    sideRow->setContentsMargins(0, 0, 0, 0);
    auto *sideLabel = new QLabel(QStringLiteral("Side:"), SidePanel);
    SideCombo = new QComboBox(SidePanel);
    SideCombo->setObjectName(QStringLiteral("SideCombo"));
    SideCombo->addItems({QStringLiteral("Both Sides"), QStringLiteral("Side 1"), QStringLiteral("Side 2")});
    sideLabel->setBuddy(SideCombo);
    sideRow->addWidget(sideLabel);
    sideRow->addWidget(SideCombo);
    sideRow->addStretch();
    opts->addWidget(SidePanel);

    AllInDBBtn = new QPushButton(QStringLiteral("&All in DB File"), OptionsGroup);
    AllInDBBtn->setObjectName(QStringLiteral("AllInDBBtn"));
    AllInDBBtn->setVisible(m_recordCount >= 1);
    connect(AllInDBBtn, &QPushButton::clicked, this, &TPrintForm::AllInDBBtnClick);
    opts->addWidget(AllInDBBtn);
    root->addWidget(OptionsGroup);

    InstructionsGroup = new QGroupBox(QStringLiteral("Instructions"), this);
    InstructionsGroup->setObjectName(QStringLiteral("InstructionsGroup"));
    auto *instr = new QVBoxLayout(InstructionsGroup);
    TopFlipMemo = memo("TopFlipMemo", TopFlipText(), InstructionsGroup);
    SideFlipMemo = memo("SideFlipMemo", SideFlipText(), InstructionsGroup);
    SingleSideMemo = memo("SingleSideMemo", SingleSideText(), InstructionsGroup);
    TopFlipMemo->setVisible(false);
    SideFlipMemo->setVisible(false);
    instr->addWidget(TopFlipMemo);
    instr->addWidget(SideFlipMemo);
    instr->addWidget(SingleSideMemo);
    FlipPanel = new QWidget(InstructionsGroup);
    FlipPanel->setObjectName(QStringLiteral("FlipPanel"));
    auto *flipRow = new QHBoxLayout(FlipPanel);
    flipRow->setContentsMargins(0, 0, 0, 0);
    FlipCheck = new QCheckBox(QStringLiteral("&Flip the paper the other way"), FlipPanel);
    FlipCheck->setObjectName(QStringLiteral("FlipCheck"));
    connect(FlipCheck, &QCheckBox::clicked, this, &TPrintForm::FlipCheckClick);
    flipRow->addWidget(FlipCheck);
    FlipPanel->setVisible(false);
    instr->addWidget(FlipPanel);
    root->addWidget(InstructionsGroup);

    auto *buttons = new QHBoxLayout;
    OkBtn = new QPushButton(QStringLiteral("&OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    HelpBtn = new QPushButton(QStringLiteral("&Help"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    connect(OkBtn, &QPushButton::clicked, this, &TPrintForm::OkBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(HelpBtn);
    root->addLayout(buttons);
}

void TPrintForm::OkBtnClick()
{
    StartQuantity sq;
    QuantityField field = QuantityField::None;
    const QString message = CheckStartQuantity(StartEdit->text(), QtyEdit->text(), PagesRadio->isChecked(), m_perSheet, &sq, &field);
    if (!message.isEmpty()) {
        if (showError)
            showError(message);
        (field == QuantityField::Start ? StartEdit : QtyEdit)->setFocus();
        return;
    }
    // The job always receives elements.
    if (PagesRadio->isChecked())
        QtyEdit->setText(QString::number(sq.quantity));
    accept();
}

void TPrintForm::AllInDBBtnClick()
{
    IndividualRadio->setChecked(true);
    QtyEdit->setText(QString::number(m_recordCount));
}

void TPrintForm::FlipCheckClick()
{
    const bool top = TopFlipMemo->isVisibleTo(InstructionsGroup);
    TopFlipMemo->setVisible(!top);
    SideFlipMemo->setVisible(top);
}

void TPrintForm::ShowInstructions(int sideFold, bool flat)
{
    OptionsGroup->setVisible(false);
    SingleSideMemo->setVisible(false);
    FlipPanel->setVisible(flat);
    TopFlipMemo->setVisible(sideFold == 0);
    SideFlipMemo->setVisible(sideFold == 1);
    adjustSize();
}

int TPrintForm::start() const
{
    bool ok = false;
    const int v = StartEdit->text().trimmed().toInt(&ok);
    return ok ? v : 1;
}

int TPrintForm::quantity() const
{
    bool ok = false;
    const int v = QtyEdit->text().trimmed().toInt(&ok);
    return ok ? v : m_perSheet;
}

SideChoice TPrintForm::side() const
{
    switch (SideCombo->currentIndex()) {
    case 1: return SideChoice::Side1;
    case 2: return SideChoice::Side2;
    default: return SideChoice::Both;
    }
}

} // namespace print
