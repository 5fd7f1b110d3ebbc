#include "vardata/ui/ChooseSymbolForm.h"

#include "platform/Ansi.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vardata {

namespace {
// The map shows the single-byte character codes 32 to 255, sixteen to a row; a text keeps
// its characters as single bytes, so a symbol must be one of these.
constexpr int kFirstCode = 32;
constexpr int kColumns = 16;
constexpr int kRows = (256 - kFirstCode) / kColumns;
} // namespace

QStringList TChooseSymbolForm::symbolFontFamilies()
{
    QStringList out;
    for (const QString &family : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        if (QFontDatabase::writingSystems(family).contains(QFontDatabase::Symbol))
            out << family;
    }
    out.sort(Qt::CaseInsensitive);
    return out;
}

TChooseSymbolForm::TChooseSymbolForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ChooseSymbolForm"));
    setWindowTitle(QStringLiteral("Choose Symbol"));
    auto *v = new QVBoxLayout(this);
    m_fonts = new QComboBox(this);
    m_fonts->setObjectName(QStringLiteral("FontCombo"));
    m_fonts->addItems(symbolFontFamilies());
    v->addWidget(m_fonts);

    m_map = new QTableWidget(kRows, kColumns, this);
    m_map->setObjectName(QStringLiteral("SymbolCombo"));
    m_map->horizontalHeader()->hide();
    m_map->verticalHeader()->hide();
    m_map->setSelectionMode(QAbstractItemView::SingleSelection);
    m_map->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_map->horizontalHeader()->setDefaultSectionSize(24);
    m_map->verticalHeader()->setDefaultSectionSize(24);
    for (int code = kFirstCode; code < 256; ++code) {
        const QString ch = plat::fromAnsi(QByteArray(1, char(code)));
        auto *cell = new QTableWidgetItem(ch);
        cell->setTextAlignment(Qt::AlignCenter);
        cell->setData(Qt::UserRole, ch);
        m_map->setItem((code - kFirstCode) / kColumns, (code - kFirstCode) % kColumns, cell);
    }
    m_map->setMinimumSize(kColumns * 24 + 4, 8 * 24);
    v->addWidget(m_map, 1);

    auto *note = new QLabel(QStringLiteral("NOTE: A symbol is a sngle character from special fonts which are designed to "
                                           "be used as symbols.  The available symbol fonts depends on what is installed "
                                           "on your system."),
                            this);
    note->setWordWrap(true);
    v->addWidget(note);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("HelpBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_map, &QTableWidget::itemDoubleClicked, this, &QDialog::accept);
    v->addWidget(buttons);

    connect(m_fonts, &QComboBox::currentIndexChanged, this, &TChooseSymbolForm::FontComboChange);
    if (m_fonts->count() > 0)
        m_fonts->setCurrentIndex(0);
    FontComboChange();
}

void TChooseSymbolForm::FontComboChange()
{
    QFont f(m_fonts->currentText());
    f.setPixelSize(16);
    m_map->setFont(f);
}

QString TChooseSymbolForm::chosenFont() const
{
    return m_fonts->currentText();
}

QChar TChooseSymbolForm::chosenCharacter() const
{
    const QTableWidgetItem *cell = m_map->currentItem();
    if (!cell || !cell->isSelected())
        return QChar();
    const QString s = cell->data(Qt::UserRole).toString();
    return s.isEmpty() ? QChar() : s.at(0);
}

bool TChooseSymbolForm::selectCharacter(QChar c)
{
    for (int r = 0; r < m_map->rowCount(); ++r)
        for (int col = 0; col < m_map->columnCount(); ++col) {
            QTableWidgetItem *cell = m_map->item(r, col);
            if (cell && cell->data(Qt::UserRole).toString() == QString(c)) {
                m_map->setCurrentItem(cell);
                return true;
            }
        }
    return false;
}

} // namespace vardata
