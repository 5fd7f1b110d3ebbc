#pragma once
// A ruler along the top or left of a document window: 100 pixels per inch at scale 100,
// ticks in inches (eighths) or centimetres (millimetres), following the scroll position.

#include <QWidget>

namespace editing {

class Ruler : public QWidget {
    Q_OBJECT
public:
    enum class Measure { Inches, Centimetres };
    Ruler(Qt::Orientation orientation, QWidget *parent = nullptr);

    Measure measure() const { return m_measure; }
    void setMeasure(Measure m);
    int scale() const { return m_scale; }
    void setScale(int percent);
    int offsetStart() const { return m_offset; }
    void setOffsetStart(int pixels);
    static constexpr int kPixelsPerInch = 100;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    Qt::Orientation m_orientation;
    Measure m_measure = Measure::Inches;
    int m_scale = 100;
    int m_offset = -6;
};

} // namespace editing
