#include "editing/ui/EditorWidgets.h"

#include <QButtonGroup>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace editing {

namespace {
QIcon swatch(const QColor &c)
{
    QPixmap pm(16, 12);
    pm.fill(c);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 15, 11);
    return QIcon(pm);
}
} // namespace

ColorCombo::ColorCombo(QWidget *parent) : QComboBox(parent)
{
    // The sixteen standard colours, as COLORREF values.
    const struct { const char *name; uint32_t c; } colors[] = {
        {"Black", 0x000000},   {"Maroon", 0x000080}, {"Green", 0x008000},  {"Olive", 0x008080},
        {"Navy", 0x800000},    {"Purple", 0x800080}, {"Teal", 0x808000},   {"Gray", 0x808080},
        {"Silver", 0xC0C0C0},  {"Red", 0x0000FF},    {"Lime", 0x00FF00},   {"Yellow", 0x00FFFF},
        {"Blue", 0xFF0000},    {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF},
    };
    for (const auto &c : colors)
        addColor(QString::fromLatin1(c.name), c.c);
}

void ColorCombo::addColor(const QString &name, uint32_t colorRef)
{
    addItem(swatch(toQColor(colorRef)), name, QVariant::fromValue<uint>(colorRef));
}

uint32_t ColorCombo::color() const
{
    const QVariant v = currentData();
    return v.isValid() ? v.value<uint>() : 0u;
}

void ColorCombo::setColor(uint32_t colorRef)
{
    colorRef &= 0xFFFFFF;
    int index = findData(QVariant::fromValue<uint>(colorRef));
    if (index < 0) {
        // One custom entry at the end, replaced by the next colour that needs it.
        const int last = count() - 1;
        if (last >= 16)
            removeItem(last);
        addColor(QStringLiteral("Custom"), colorRef);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

QColor ColorCombo::toQColor(uint32_t c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

uint32_t ColorCombo::fromQColor(const QColor &c)
{
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

RadioGroup::RadioGroup(const QString &title, const QStringList &items, QWidget *parent) : QGroupBox(title, parent)
{
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(6, 2, 6, 2);
    v->setSpacing(0);
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items.at(i), this);
        v->addWidget(b);
        m_buttons << b;
        connect(b, &QRadioButton::clicked, this, [this, i] { emit itemClicked(i); });
    }
}

int RadioGroup::itemIndex() const
{
    for (int i = 0; i < m_buttons.size(); ++i)
        if (m_buttons.at(i)->isChecked())
            return i;
    return -1;
}

void RadioGroup::setItemIndex(int index)
{
    for (int i = 0; i < m_buttons.size(); ++i) {
        QRadioButton *b = m_buttons.at(i);
        const QSignalBlocker block(b);
        if (i == index) {
            b->setChecked(true);
        } else {
            b->setAutoExclusive(false);
            b->setChecked(false);
            b->setAutoExclusive(true);
        }
    }
}

} // namespace editing
