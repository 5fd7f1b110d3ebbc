#include "editing/ui/MarginsForm.h"

#include "layout/LayoutRecord.h"

#include <QButtonGroup>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace editing {

namespace {
// Negative margins are shown with their sign.
double toDisplay(int32_t units, bool metric)
{
    const double v = layout::UnitsToDisplay(uint32_t(units < 0 ? -int64_t(units) : int64_t(units)), metric);
    return units < 0 ? -v : v;
}
} // namespace

TMarginForm::TMarginForm(QWidget *parent, bool metric, const std::array<int32_t, 4> &values)
    : QDialog(parent), m_values(values)
{
    setObjectName(QStringLiteral("MarginForm"));
    setWindowTitle(QStringLiteral("Margins"));
    auto *top = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    top->addLayout(row);
    auto *box = new QGroupBox(QStringLiteral("Margins"), this);
    auto *form = new QFormLayout(box);
    const char *names[] = {"LeftEdit", "RightEdit", "TopEdit", "BottomEdit"};
    const char *labels[] = {"&Left:", "&Right:", "&Top:", "&Bottom:"};
    const QLocale locale;
    for (int i = 0; i < 4; ++i) {
        m_edits[size_t(i)] = new QLineEdit(box);
        m_edits[size_t(i)]->setObjectName(QLatin1String(names[i]));
        // Numbers only (a margin may lie outside the card); the rest is said on OK.
        auto *validator = new QDoubleValidator(-1.0e6, 1.0e6, 4, m_edits[size_t(i)]);
        validator->setNotation(QDoubleValidator::StandardNotation);
        m_edits[size_t(i)]->setValidator(validator);
        m_edits[size_t(i)]->setText(locale.toString(toDisplay(values[size_t(i)], metric), 'f', 4));
        auto *label = new QLabel(QLatin1String(labels[i]), box);
        label->setBuddy(m_edits[size_t(i)]);
        form->addRow(label, m_edits[size_t(i)]);
    }
    row->addWidget(box);
    auto *units = new QGroupBox(QStringLiteral("Units"), this);
    units->setObjectName(QStringLiteral("UnitsRadioGroup"));
    auto *ul = new QVBoxLayout(units);
    auto *inch = new QRadioButton(QStringLiteral("&inch"), units);
    m_mm = new QRadioButton(QStringLiteral("&mm"), units);
    ul->addWidget(inch);
    ul->addWidget(m_mm);
    (metric ? m_mm : inch)->setChecked(true);
    row->addWidget(units);
    auto *note = new QLabel(QStringLiteral("NOTE: Margin settings are used only for on-screen alignment of objects and "
                                           "to define the area that a background image fills.  They have nothing to "
                                           "do with the layout of the printed page."),
                            this);
    note->setObjectName(QStringLiteral("Label5"));
    note->setWordWrap(true);
    top->addWidget(note);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &TMarginForm::OkBtnClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(sizeHint());
}

QString TMarginForm::invalidMarginMessage(int index)
{
    static const char *const names[] = {"left", "right", "top", "bottom"};
    return QStringLiteral("Please enter valid margin settings before clicking OK.\n\nThe %1 margin must be a number.")
        .arg(QLatin1String(names[std::clamp(index, 0, 3)]));
}

void TMarginForm::OkBtnClick()
{
    const bool metric = m_mm->isChecked();
    const QLocale locale;
    std::array<int32_t, 4> values{};
    for (size_t i = 0; i < 4; ++i) {
        bool ok = false;
        const double v = locale.toDouble(m_edits[i]->text().trimmed(), &ok);
        if (!ok || !std::isfinite(v)) {
            m_edits[i]->setFocus();
            m_edits[i]->selectAll();
            QMessageBox::critical(this, windowTitle(), invalidMarginMessage(int(i)));
            return;
        }
        values[i] = layout::DisplayToUnits(v, metric);
    }
    m_values = values;
    accept();
}

} // namespace editing
