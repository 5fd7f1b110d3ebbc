#pragma once
// The Margins dialog: the four margins in inches or millimetres. The numbers are read in
// the unit selected when OK is pressed; changing the unit does not convert them.

#include <QDialog>
#include <array>
#include <cstdint>

class QLineEdit;
class QRadioButton;

namespace editing {

class TMarginForm : public QDialog {
    Q_OBJECT
public:
    // values: left, right, top, bottom in hundredths of an inch.
    TMarginForm(QWidget *parent, bool metric, const std::array<int32_t, 4> &values);
    const std::array<int32_t, 4> &values() const { return m_values; }
    void OkBtnClick();
    // The error OK shows when margin `index` (left, right, top, bottom) is not a number.
    static QString invalidMarginMessage(int index);

private:
    std::array<int32_t, 4> m_values;
    std::array<QLineEdit *, 4> m_edits{};
    QRadioButton *m_mm = nullptr;
};

} // namespace editing
