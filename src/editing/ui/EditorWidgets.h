#pragma once
// Small widgets of the property editor: a colour list that holds colours as COLORREF
// values (0x00BBGGRR), and a titled group of radio buttons with an item index.

#include <QComboBox>
#include <QGroupBox>
#include <QStringList>
#include <QVector>
#include <cstdint>

class QRadioButton;

namespace editing {

class ColorCombo : public QComboBox {
    Q_OBJECT
public:
    explicit ColorCombo(QWidget *parent = nullptr);
    // The selected colour; black when nothing is selected.
    uint32_t color() const;
    // Selects the colour, adding a "Custom" entry for a colour the list does not hold.
    void setColor(uint32_t colorRef);

    static QColor toQColor(uint32_t colorRef);
    static uint32_t fromQColor(const QColor &c);

private:
    void addColor(const QString &name, uint32_t colorRef);
};

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString &title, const QStringList &items, QWidget *parent = nullptr);
    // -1 when no button is checked.
    int itemIndex() const;
    // Checks the button at `index` without emitting `itemClicked`; -1 unchecks them all.
    void setItemIndex(int index);
    QRadioButton *button(int index) const { return m_buttons.value(index); }

signals:
    // A button was clicked by the user.
    void itemClicked(int index);

private:
    QVector<QRadioButton *> m_buttons;
};

} // namespace editing
