#include "editing/ui/AlignForm.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace editing {

QGroupBox *TAlignForm::radioGroup(const QString &name, const QString &caption, const QStringList &items)
{
    auto *box = new QGroupBox(caption);
    box->setObjectName(name);
    auto *layout = new QVBoxLayout(box);
    auto *group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], box);
        group->addButton(b, i);
        layout->addWidget(b);
    }
    group->button(0)->setChecked(true);
    m_groups.insert(name, group);
    return box;
}

TAlignForm::TAlignForm(QWidget *parent, bool groupsEnabled) : QDialog(parent)
{
    setObjectName(QStringLiteral("AlignForm"));
    setWindowTitle(QStringLiteral("Alignment"));
    auto *top = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    top->addLayout(row);
    auto column = [&](const QString &caption, const QString &single, const QStringList &singleItems,
                      const QString &multi, const QStringList &multiItems) {
        auto *box = new QGroupBox(caption, this);
        auto *l = new QVBoxLayout(box);
        l->addWidget(radioGroup(single, QString(), singleItems));
        QGroupBox *g = radioGroup(multi, QStringLiteral("Group"), multiItems);
        g->setEnabled(groupsEnabled);
        l->addWidget(g);
        row->addWidget(box);
    };
    column(QStringLiteral("Horizontal"), QStringLiteral("HGroup"),
           {QStringLiteral("&No Change"), QStringLiteral("&Left"), QStringLiteral("&Center"), QStringLiteral("&Right")},
           QStringLiteral("HGroupGroup"),
           {QStringLiteral("&No Change"), QStringLiteral("&Left Sides"), QStringLiteral("&Centers"),
            QStringLiteral("&Right Sides"), QStringLiteral("&Space Equally")});
    column(QStringLiteral("Vertical"), QStringLiteral("VGroup"),
           {QStringLiteral("&No Change"), QStringLiteral("&Top"), QStringLiteral("&Center"), QStringLiteral("&Bottom")},
           QStringLiteral("VGroupGroup"),
           {QStringLiteral("&No Change"), QStringLiteral("&Tops"), QStringLiteral("&Centers"), QStringLiteral("&Bottoms"),
            QStringLiteral("&Space Equally")});
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    top->addWidget(buttons);
    setFixedSize(sizeHint());
}

int TAlignForm::itemIndex(const QString &group) const
{
    const QButtonGroup *g = m_groups.value(group);
    return g ? g->checkedId() : -1;
}

void TAlignForm::setItemIndex(const QString &group, int index)
{
    if (QButtonGroup *g = m_groups.value(group))
        if (QAbstractButton *b = g->button(index))
            b->setChecked(true);
}

QVector<int> TAlignForm::operations() const
{
    QVector<int> ops;
    const int h = itemIndex(QStringLiteral("HGroup")), v = itemIndex(QStringLiteral("VGroup"));
    if (h >= 1 && h <= 3)
        ops << h;
    if (v >= 1 && v <= 3)
        ops << v + 3;
    const bool groups = m_groups.value(QStringLiteral("HGroupGroup"))->button(0)->parentWidget()->isEnabled();
    const int hg = itemIndex(QStringLiteral("HGroupGroup")), vg = itemIndex(QStringLiteral("VGroupGroup"));
    if (groups && hg >= 1 && hg <= 4)
        ops << hg + 6;
    if (groups && vg >= 1 && vg <= 4)
        ops << vg + 10;
    return ops;
}

} // namespace editing
