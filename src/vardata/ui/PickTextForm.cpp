#include "vardata/ui/PickTextForm.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vardata {

TPickTextForm::TPickTextForm(const QStringList &customTexts, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PickTextForm"));
    setWindowTitle(QStringLiteral("Pick Custom Text"));
    auto *v = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("TextList"));
    m_list->addItems(customTexts);
    v->addWidget(m_list);
    auto *note = new QLabel(QStringLiteral("Custom Text can be edited by selecting Options on the View menu, then the "
                                           "Custom Text tab."),
                            this);
    note->setWordWrap(true);
    v->addWidget(note);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    v->addWidget(buttons);
}

QString TPickTextForm::pickedText() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

bool TPickTextForm::pick(QWidget *parent, const QStringList &customTexts, QString *text)
{
    TPickTextForm form(customTexts, parent);
    if (form.exec() != QDialog::Accepted)
        return false;
    const QListWidgetItem *item = form.m_list->currentItem();
    if (!item || !item->isSelected())
        return false;
    if (text)
        *text = item->text();
    return true;
}

} // namespace vardata
