#pragma once
// The layout dialog: edits one layout record (a library entry or the layout of the
// active design). The record changes only when the dialog closes with OK; invalid
// numbers and regions outside the size range keep it open with an error message.

#include "layout/LayoutRecord.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace layout {

class TEditLayoutForm : public QDialog {
    Q_OBJECT
public:
    // `metric` selects millimetres for the numbers shown (the MetricUnits option).
    TEditLayoutForm(QWidget *owner, bool metric, LayoutRecord &record);

    // The units the numbers are read in when OK is pressed.
    bool metricSelected() const;

signals:
    void helpRequested(int context);

private:
    void FormCreate();
    void OkBtnClick();
    void UnitsRadioGroupClick();
    void showError(const QString &text);

    LayoutRecord &m_record;
    bool m_metric;

    QLineEdit *m_name = nullptr, *m_width = nullptr, *m_height = nullptr, *m_rows = nullptr,
              *m_columns = nullptr, *m_top = nullptr, *m_left = nullptr, *m_columnSpace = nullptr,
              *m_rowSpace = nullptr;
    QComboBox *m_paper = nullptr, *m_regionType = nullptr;
    QCheckBox *m_backPrintable = nullptr;
    QGroupBox *m_units = nullptr;
    QRadioButton *m_inch = nullptr, *m_mm = nullptr;
};

} // namespace layout
