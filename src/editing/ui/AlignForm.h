#pragma once
// The Alignment dialog: horizontal and vertical choices against the margins, and the
// group choices among the selected objects, each starting at "&No Change".

#include <QDialog>
#include <QVector>

class QButtonGroup;
class QGroupBox;

namespace editing {

class TAlignForm : public QDialog {
    Q_OBJECT
public:
    // The group choices are offered only when several objects are selected.
    TAlignForm(QWidget *parent, bool groupsEnabled);
    // Index of the chosen item of a radio group (HGroup, VGroup, HGroupGroup, VGroupGroup).
    int itemIndex(const QString &group) const;
    void setItemIndex(const QString &group, int index);
    // The align operations the choices stand for, in the order they are carried out.
    QVector<int> operations() const;

private:
    QGroupBox *radioGroup(const QString &name, const QString &caption, const QStringList &items);
    QHash<QString, QButtonGroup *> m_groups;
};

} // namespace editing
