#include "vardata/ui/VarTextForm.h"

#include "vardata/ui/PickTextForm.h"

#include <QDialogButtonBox>
#include <QDrag>
#include <QDropEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace vardata {

DragDropList::DragDropList(QWidget *parent) : QListWidget(parent)
{
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void DragDropList::startDrag(Qt::DropActions supportedActions)
{
    QListWidgetItem *item = currentItem();
    if (!item) {
        QListWidget::startDrag(supportedActions);
        return;
    }
    m_droppedInside = false;
    const int row = this->row(item);
    auto *drag = new QDrag(this);
    drag->setMimeData(mimeData(selectedItems()));
    const Qt::DropAction result = drag->exec(Qt::MoveAction);
    // Dropped outside the list: the item is deleted.
    if (result == Qt::IgnoreAction && !m_droppedInside && row < count())
        delete takeItem(row);
}

void DragDropList::dropEvent(QDropEvent *e)
{
    m_droppedInside = true;
    QListWidget::dropEvent(e);
}

TVarTextForm::TVarTextForm(const QStringList &items, const QStringList &customTexts, QWidget *parent)
    : QDialog(parent), m_customTexts(customTexts)
{
    setObjectName(QStringLiteral("VarTextForm"));
    setWindowTitle(QStringLiteral("Variable Text"));
    auto *grid = new QGridLayout(this);
    auto *text = new QLabel(QStringLiteral("Variable text allows you to specify diffferent text for each element "
                                           "printed.  When you specify variable text be sure to add text for every "
                                           "element you want to print."),
                            this);
    text->setWordWrap(true);
    grid->addWidget(text, 0, 0, 1, 2);
    m_list = new DragDropList(this);
    m_list->setObjectName(QStringLiteral("VarTextList"));
    m_list->addItems(items);
    grid->addWidget(m_list, 1, 0, 3, 1);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("TextMemo"));
    grid->addWidget(m_memo, 4, 0);
    m_add = new QPushButton(QStringLiteral("&Add"), this);
    m_add->setObjectName(QStringLiteral("AddBtn"));
    m_remove = new QPushButton(QStringLiteral("&Remove"), this);
    m_remove->setObjectName(QStringLiteral("RemoveBtn"));
    auto *pick = new QPushButton(QStringLiteral("&Pick Text"), this);
    pick->setObjectName(QStringLiteral("PickTextBtn"));
    grid->addWidget(m_remove, 1, 1);
    grid->addWidget(pick, 2, 1);
    grid->addWidget(m_add, 4, 1, Qt::AlignTop);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("HelpBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 5, 0, 1, 2);

    connect(m_add, &QPushButton::clicked, this, &TVarTextForm::AddBtnClick);
    connect(m_remove, &QPushButton::clicked, this, &TVarTextForm::RemoveBtnClick);
    connect(pick, &QPushButton::clicked, this, &TVarTextForm::PickTextBtnClick);
    connect(m_memo, &QPlainTextEdit::textChanged, this, &TVarTextForm::refreshButtons);
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("RefreshTimer"));
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, &TVarTextForm::refreshButtons);
    m_timer->start();
    refreshButtons();
}

QStringList TVarTextForm::items() const
{
    QStringList out;
    for (int i = 0; i < m_list->count(); ++i)
        out << m_list->item(i)->text();
    return out;
}

void TVarTextForm::refreshButtons()
{
    m_add->setEnabled(!m_memo->toPlainText().isEmpty());
    m_remove->setEnabled(m_list->currentItem() && m_list->currentItem()->isSelected());
}

void TVarTextForm::AddBtnClick()
{
    const QString text = m_memo->toPlainText();
    if (text.isEmpty())
        return;
    // Line breaks are kept as the renderer expects them, carriage return and line feed.
    QString stored = text;
    stored.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    m_list->addItem(stored);
    refreshButtons();
}

void TVarTextForm::RemoveBtnClick()
{
    QListWidgetItem *item = m_list->currentItem();
    if (item && item->isSelected())
        delete m_list->takeItem(m_list->row(item));
    refreshButtons();
}

void TVarTextForm::PickTextBtnClick()
{
    QString text;
    if (TPickTextForm::pick(this, m_customTexts, &text))
        m_memo->setPlainText(text);
}

} // namespace vardata
