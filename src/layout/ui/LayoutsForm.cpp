#include "layout/ui/LayoutsForm.h"

#include "layout/ui/EditLayoutForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace layout {

// ---- the miniature sheet ----

TLayoutPreviewBox::TLayoutPreviewBox(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PreviewPaintBox"));
    setFixedSize(290, 290);   // the miniature sheet is centred in a box of known size
}

void TLayoutPreviewBox::setPreview(const LayoutPreview &preview)
{
    m_preview = preview;
    update();
}

void TLayoutPreviewBox::paintEvent(QPaintEvent *)
{
    if (!m_preview.shown)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    // An outlined rectangle covering exactly the pixels of `r`, filled with the brush.
    auto outline = [&p](const QRect &r) {
        if (r.width() <= 0 || r.height() <= 0)
            return;
        p.drawRect(QRect(r.left(), r.top(), r.width() - 1, r.height() - 1));
    };
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::black, 0));
    outline(m_preview.sheet);
    p.setPen(QPen(Qt::red, 0));
    for (const QRect &e : m_preview.elements)
        outline(e);
}

// ---- the layouts dialog ----

namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

constexpr int kRecordRole = Qt::UserRole;

} // namespace

TLayoutsForm::TLayoutsForm(QWidget *owner, bool metric, LayoutRecord *target, const plat::ProgramFolder &folder)
    : QDialog(owner), m_folder(folder), m_metric(metric), m_target(target)
{
    setObjectName(QStringLiteral("LayoutsForm"));
    setWindowTitle(tr("Layouts"));
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("LayoutCombo"));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("LayoutList"));
    m_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setDragDropMode(QAbstractItemView::InternalMove);
    m_list->setDefaultDropAction(Qt::MoveAction);
    m_list->setMinimumWidth(360);

    auto *sizeCaption = new QLabel(tr("Size:"), this);
    m_size = new QLabel(this);
    m_size->setObjectName(QStringLiteral("SizeLabel"));
    m_notes = new QLabel(this);
    m_notes->setObjectName(QStringLiteral("NotesLabel"));
    m_notes->setWordWrap(true);
    auto *hint = new QLabel(tr("If you don't see a layout listed for the stock you have, first select a similar "
                               "layout, then click the New button to add a layout for the stock you have."),
                            this);
    hint->setObjectName(QStringLiteral("HintLabel"));
    hint->setWordWrap(true);
    hint->setStyleSheet(QStringLiteral("color: red"));

    m_new = button(this, "NewBtn", tr("&New"));
    m_edit = button(this, "EditBtn", tr("&Edit"));
    m_delete = button(this, "DeleteBtn", tr("&Delete"));
    m_preview = new TLayoutPreviewBox(this);
    m_opposite = new QCheckBox(tr("&Opposite Orientation"), this);
    m_opposite->setObjectName(QStringLiteral("OppositeCheck"));

    auto *ok = button(this, "OkBtn", tr("&OK"));
    auto *cancel = button(this, "CancelBtn", tr("&Cancel"));
    auto *help = button(this, "HelpBtn", tr("&Help"));
    ok->setDefault(true);

    connect(m_combo, &QComboBox::currentIndexChanged, this, &TLayoutsForm::LayoutComboChange);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &TLayoutsForm::LayoutListClick);
    connect(m_list, &QListWidget::currentRowChanged, this, &TLayoutsForm::LayoutListClick);
    connect(m_list->model(), &QAbstractItemModel::rowsMoved, this, &TLayoutsForm::LayoutListEndDrag);
    connect(m_new, &QPushButton::clicked, this, &TLayoutsForm::NewBtnClick);
    connect(m_edit, &QPushButton::clicked, this, &TLayoutsForm::EditBtnClick);
    connect(m_delete, &QPushButton::clicked, this, &TLayoutsForm::DeleteBtnClick);
    connect(m_opposite, &QCheckBox::toggled, this, &TLayoutsForm::OppositeCheckClick);
    connect(ok, &QPushButton::clicked, this, &TLayoutsForm::OkBtnClick);
    connect(cancel, &QPushButton::clicked, this, &TLayoutsForm::reject);
    connect(help, &QPushButton::clicked, this, [this] { emit helpRequested(0); });

    auto *left = new QVBoxLayout;
    left->addWidget(m_combo);
    left->addWidget(m_list, 1);
    auto *sizeRow = new QHBoxLayout;
    sizeRow->addWidget(sizeCaption);
    sizeRow->addWidget(m_size, 1);
    left->addLayout(sizeRow);
    left->addWidget(m_notes);
    left->addWidget(hint);
    auto *listButtons = new QHBoxLayout;
    listButtons->addWidget(m_new);
    listButtons->addWidget(m_edit);
    listButtons->addWidget(m_delete);
    listButtons->addStretch();
    left->addLayout(listButtons);

    auto *right = new QVBoxLayout;
    right->addWidget(m_preview);
    right->addWidget(m_opposite);
    right->addStretch();
    right->addWidget(ok);
    right->addWidget(cancel);
    right->addWidget(help);

    auto *h = new QHBoxLayout(this);
    h->addLayout(left, 1);
    h->addLayout(right);

    FormCreate();
}

void TLayoutsForm::FormCreate()
{
    {
        const QSignalBlocker block(m_combo);
        for (const LayoutCollection &c : findLayoutCollections(m_folder))
            m_combo->addItem(c.name, c.path);
    }
    if (m_combo->count() > 0) {
        const QSignalBlocker block(m_combo);
        m_combo->setCurrentIndex(0);
        loadFile(0);
    } else {
        refresh();
    }
}

bool TLayoutsForm::pickLayout(QWidget *owner, bool metric, LayoutRecord *chosen, const plat::ProgramFolder &folder)
{
    LayoutRecord target;
    TLayoutsForm form(owner, metric, &target, folder);
    if (form.exec() != QDialog::Accepted)
        return false;
    *chosen = target;
    return true;
}

void TLayoutsForm::editLayouts(QWidget *owner, bool metric, const plat::ProgramFolder &folder)
{
    TLayoutsForm form(owner, metric, nullptr, folder);
    form.exec();
}

QList<LayoutRecord> TLayoutsForm::listedRecords() const
{
    QList<LayoutRecord> out;
    for (int i = 0; i < m_list->count(); ++i)
        out.append(recordOf(m_list->item(i)));
    return out;
}

LayoutRecord TLayoutsForm::recordOf(const QListWidgetItem *item)
{
    LayoutRecord r;
    if (item) {
        const QByteArray b = item->data(kRecordRole).toByteArray();
        LayoutRecord::fromBytes(b.constData(), b.size(), &r);
    }
    return r;
}

void TLayoutsForm::setRecord(QListWidgetItem *item, const LayoutRecord &record)
{
    item->setData(kRecordRole, record.toBytes());
    item->setText(listText(record.Name()));
}

QListWidgetItem *TLayoutsForm::selectedItem() const
{
    const QList<QListWidgetItem *> sel = m_list->selectedItems();
    return sel.isEmpty() ? nullptr : sel.first();
}

bool TLayoutsForm::ask(const QString &question)
{
    return QMessageBox::question(this, tr("Confirm"), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void TLayoutsForm::LayoutComboChange()
{
    const int index = m_combo->currentIndex();
    if (index == m_loadedIndex)
        return;
    if (m_modified && !saveFile()) {
        // The changes could not be kept: stay on the file that holds them.
        const QSignalBlocker block(m_combo);
        m_combo->setCurrentIndex(m_loadedIndex);
        return;
    }
    loadFile(index);
}

void TLayoutsForm::loadFile(int comboIndex)
{
    m_list->clear();
    m_loadedIndex = comboIndex;
    m_path = m_combo->itemData(comboIndex).toString();
    m_modified = false;
    {
        const QSignalBlocker block(m_list);
        for (const LayoutRecord &r : readLayoutFile(m_path)) {
            auto *item = new QListWidgetItem(m_list);
            setRecord(item, r);
            item->setFlags(item->flags() & ~Qt::ItemIsDropEnabled);
        }
        if (m_list->count() > 0)
            m_list->setCurrentRow(0);
    }
    refresh();
}

bool TLayoutsForm::saveFile()
{
    const QString path = layoutSavePath(m_folder, m_path);
    if (!writeLayoutFile(path, listedRecords()))
        return false;   // silent; the file stays modified
    m_modified = false;
    m_path = path;
    if (m_loadedIndex >= 0)
        m_combo->setItemData(m_loadedIndex, path);
    return true;
}

void TLayoutsForm::refresh()
{
    QListWidgetItem *item = selectedItem();
    m_edit->setEnabled(item != nullptr);
    m_delete->setEnabled(item != nullptr);
    LayoutPreview p;
    if (item)
        p = layoutPreview(recordOf(item), m_opposite->isChecked(), m_metric, m_preview->size());
    m_size->setText(p.size);
    m_notes->setText(p.note);
    m_preview->setPreview(p);
}

void TLayoutsForm::LayoutListClick() { refresh(); }

void TLayoutsForm::OppositeCheckClick() { refresh(); }

void TLayoutsForm::LayoutListEndDrag()
{
    m_modified = true;
    refresh();
}

void TLayoutsForm::NewBtnClick()
{
    LayoutRecord record;
    if (QListWidgetItem *item = selectedItem()) {
        record = recordOf(item);
        record.setName(QString());   // clears all 50 bytes of the name
    }
    TEditLayoutForm form(this, m_metric, record);
    if (form.exec() != QDialog::Accepted)
        return;
    auto *item = new QListWidgetItem(m_list);
    setRecord(item, record);
    item->setFlags(item->flags() & ~Qt::ItemIsDropEnabled);
    m_list->setCurrentItem(item);
    item->setSelected(true);
    m_modified = true;
    refresh();
}

void TLayoutsForm::EditBtnClick()
{
    QListWidgetItem *item = selectedItem();
    if (!item)
        return;
    LayoutRecord record = recordOf(item);
    TEditLayoutForm form(this, m_metric, record);
    if (form.exec() != QDialog::Accepted)
        return;
    setRecord(item, record);
    m_modified = true;
    refresh();
}

void TLayoutsForm::DeleteBtnClick()
{
    QListWidgetItem *item = selectedItem();
    if (!item || !ask(tr("Delete the selected layout.\n\nAre you sure?")))
        return;
    const int row = m_list->row(item);
    delete m_list->takeItem(row);
    if (m_list->count() > 0) {
        m_list->setCurrentRow(row > 0 ? row - 1 : 0);
        m_list->currentItem()->setSelected(true);
    }
    m_modified = true;
    refresh();
}

void TLayoutsForm::OkBtnClick()
{
    if (m_modified)
        saveFile();
    if (m_target) {
        QListWidgetItem *item = selectedItem();
        if (!item)
            return;
        const LayoutRecord chosen = recordOf(item);
        if (!isPickable(chosen))
            return;
        *m_target = m_opposite->isChecked() ? rotated(chosen) : chosen;
    }
    accept();
}

void TLayoutsForm::reject()
{
    if (m_modified
        && !ask(tr("Cancelling will not save the layout changes you made.\n\nAre you sure you want to cancel?")))
        return;
    QDialog::reject();
}

} // namespace layout
