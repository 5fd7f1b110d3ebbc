#include "layout/ui/LayoutsForm.h"

#include "layout/ui/EditLayoutForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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

// List entries hold their record; stock layouts are marked (their text is their full name,
// which the record's name field may cut).
constexpr int kRecordRole = Qt::UserRole;
constexpr int kStockRole = Qt::UserRole + 1;
// LayoutCombo entries hold a file's path, or a maker's name with kSectionRole "stock".
constexpr int kPathRole = Qt::UserRole;
constexpr int kSectionRole = Qt::UserRole + 1;

const QString kStockSection = QStringLiteral("stock");

} // namespace

TLayoutsForm::TLayoutsForm(QWidget *owner, bool metric, LayoutRecord *target, const plat::ProgramFolder &folder,
                           StockLibrary *stock)
    : QDialog(owner), m_folder(folder), m_stock(stock ? stock : &StockLibrary::shared()), m_metric(metric),
      m_target(target)
{
    setObjectName(QStringLiteral("LayoutsForm"));
    setWindowTitle(tr("Layouts"));
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("SearchEdit"));
    m_search->setPlaceholderText(tr("Search by name, maker or product code"));
    m_search->setClearButtonEnabled(true);

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
    m_copy = button(this, "CopyBtn", tr("Co&py to My Layouts"));
    m_preview = new TLayoutPreviewBox(this);
    m_opposite = new QCheckBox(tr("&Opposite Orientation"), this);
    m_opposite->setObjectName(QStringLiteral("OppositeCheck"));

    auto *ok = button(this, "OkBtn", tr("&OK"));
    auto *cancel = button(this, "CancelBtn", tr("&Cancel"));
    auto *help = button(this, "HelpBtn", tr("&Help"));
    ok->setDefault(true);

    connect(m_combo, &QComboBox::currentIndexChanged, this, &TLayoutsForm::LayoutComboChange);
    connect(m_search, &QLineEdit::textChanged, this, &TLayoutsForm::SearchEditChange);
    connect(m_copy, &QPushButton::clicked, this, &TLayoutsForm::CopyBtnClick);
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
    left->addWidget(m_search);
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
    listButtons->addWidget(m_copy);
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
    // The stock library is read once per process, in the background; its sections join the
    // list when it is ready (and are shown at once when there are no layout files).
    if (m_stock->isReady()) {
        addStockSections();
    } else {
        connect(m_stock, &StockLibrary::ready, this, &TLayoutsForm::StockLibraryReady);
        m_stock->load();
    }
}

bool TLayoutsForm::pickLayout(QWidget *owner, bool metric, LayoutRecord *chosen, const plat::ProgramFolder &folder,
                              StockLibrary *stock)
{
    LayoutRecord target;
    TLayoutsForm form(owner, metric, &target, folder, stock);
    if (form.exec() != QDialog::Accepted)
        return false;
    *chosen = target;
    return true;
}

void TLayoutsForm::editLayouts(QWidget *owner, bool metric, const plat::ProgramFolder &folder, StockLibrary *stock)
{
    TLayoutsForm form(owner, metric, nullptr, folder, stock);
    form.exec();
}

void TLayoutsForm::addStockSections()
{
    const QStringList makers = m_stock->contents().makers();
    if (makers.isEmpty())
        return;
    {
        const QSignalBlocker block(m_combo);
        if (m_combo->count() > 0)
            m_combo->insertSeparator(m_combo->count());
        for (const QString &maker : makers) {
            m_combo->addItem(tr("%1 (stock)").arg(maker), maker);
            m_combo->setItemData(m_combo->count() - 1, kStockSection, kSectionRole);
        }
    }
    // Without layout files the first maker is shown.
    if (m_loadedIndex < 0) {
        const int first = m_combo->count() - int(makers.size());
        {
            const QSignalBlocker block(m_combo);
            m_combo->setCurrentIndex(first);
        }
        loadFile(first);
    }
}

void TLayoutsForm::StockLibraryReady()
{
    addStockSections();
    if (m_searching)
        showSearchResults();
}

bool TLayoutsForm::stockShown() const
{
    return m_loadedIndex >= 0 && m_combo->itemData(m_loadedIndex, kSectionRole).toString() == kStockSection;
}

QList<LayoutRecord> TLayoutsForm::listedRecords() const
{
    if (m_searching)
        return m_loadedRecords;
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

QListWidgetItem *TLayoutsForm::addItem(const LayoutRecord &record)
{
    auto *item = new QListWidgetItem(m_list);
    setRecord(item, record);
    item->setFlags(item->flags() & ~Qt::ItemIsDropEnabled);
    return item;
}

QListWidgetItem *TLayoutsForm::addStockItem(const CatalogueEntry &entry)
{
    auto *item = new QListWidgetItem(m_list);
    item->setData(kRecordRole, entry.record.toBytes());
    item->setData(kStockRole, true);
    item->setText(entry.name);
    item->setFlags(item->flags() & ~(Qt::ItemIsDropEnabled | Qt::ItemIsDragEnabled));
    return item;
}

void TLayoutsForm::selectFirstLayout()
{
    // The first entry that is a layout: a list that starts with a heading must not offer
    // the heading as the choice.
    int row = -1;
    for (int i = 0; i < m_list->count() && row < 0; ++i)
        if ((m_list->item(i)->flags() & Qt::ItemIsSelectable) && isPickable(recordOf(m_list->item(i))))
            row = i;
    if (row < 0 && m_list->count() > 0 && (m_list->item(0)->flags() & Qt::ItemIsSelectable))
        row = 0;
    if (row >= 0)
        m_list->setCurrentRow(row);
}

void TLayoutsForm::LayoutComboChange()
{
    const int index = m_combo->currentIndex();
    if (index == m_loadedIndex)
        return;
    if (!switchTo(index)) {
        // The changes could not be kept: stay on the file that holds them.
        const QSignalBlocker block(m_combo);
        m_combo->setCurrentIndex(m_loadedIndex);
    }
}

bool TLayoutsForm::switchTo(int comboIndex)
{
    if (comboIndex != m_loadedIndex && m_modified && !saveFile())
        return false;
    if (m_searching) {
        m_searching = false;
        m_searchFiles.clear();
        const QSignalBlocker block(m_search);
        m_search->clear();
    }
    if (comboIndex == m_loadedIndex) {
        showLoadedCollection(m_loadedRow);
    } else {
        loadFile(comboIndex);
        const QSignalBlocker block(m_combo);
        m_combo->setCurrentIndex(comboIndex);
    }
    return true;
}

void TLayoutsForm::loadFile(int comboIndex)
{
    m_loadedIndex = comboIndex;
    m_modified = false;
    if (stockShown()) {
        m_path.clear();
        m_loadedRecords.clear();
    } else {
        m_path = m_combo->itemData(comboIndex, kPathRole).toString();
        m_loadedRecords = readLayoutFile(m_path);
    }
    showLoadedCollection(-1);
}

void TLayoutsForm::showLoadedCollection(int row)
{
    {
        const QSignalBlocker block(m_list);
        m_list->clear();
        if (stockShown()) {
            const QString maker = m_combo->itemData(m_loadedIndex, kPathRole).toString();
            for (const CatalogueEntry &e : stockEntries(m_stock->contents(), maker))
                addStockItem(e);
        } else {
            for (const LayoutRecord &r : m_loadedRecords)
                addItem(r);
        }
        m_list->setDragDropMode(stockShown() ? QAbstractItemView::NoDragDrop : QAbstractItemView::InternalMove);
        if (row >= 0 && row < m_list->count())
            m_list->setCurrentRow(row);
        else
            selectFirstLayout();
    }
    refresh();
}

void TLayoutsForm::SearchEditChange()
{
    const bool search = !m_search->text().trimmed().isEmpty();
    if (search && !m_searching) {
        // Keep the collection as it stands (with its unsaved changes) for when the search ends.
        m_loadedRecords = listedRecords();
        m_loadedRow = m_list->currentRow();
        m_searching = true;
    }
    if (search) {
        showSearchResults();
    } else if (m_searching) {
        m_searching = false;
        m_searchFiles.clear();
        showLoadedCollection(m_loadedRow);
    }
}

void TLayoutsForm::showSearchResults()
{
    const QString query = m_search->text();
    {
        const QSignalBlocker block(m_list);
        m_list->clear();
        m_list->setDragDropMode(QAbstractItemView::NoDragDrop);
        QString group;
        auto heading = [this, &group](const QString &collection) {
            if (collection == group)
                return;
            group = collection;
            LayoutRecord r;
            r.setName(QStringLiteral("===== %1 =====").arg(collection));
            auto *item = new QListWidgetItem(r.Name(), m_list);
            item->setData(kRecordRole, r.toBytes());
            item->setFlags(Qt::ItemIsEnabled);   // a group heading is never chosen
        };
        for (int i = 0; i < m_combo->count(); ++i) {
            if (m_combo->itemData(i, kSectionRole).toString() == kStockSection)
                continue;
            const QString path = m_combo->itemData(i, kPathRole).toString();
            if (path.isEmpty())
                continue;   // the separator
            const LayoutCollection c{m_combo->itemText(i), path};
            QList<LayoutRecord> records;
            if (i == m_loadedIndex && !stockShown()) {
                records = m_loadedRecords;
            } else {
                auto it = m_searchFiles.find(path);
                if (it == m_searchFiles.end())
                    it = m_searchFiles.insert(path, readLayoutFile(path));
                records = *it;
            }
            for (const CatalogueEntry &e : fileEntries(c, collectionSource(m_folder, c), records)) {
                if (!e.matches(query))
                    continue;
                heading(e.collection);
                addItem(e.record)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
        }
        for (const CatalogueEntry &e : stockEntries(m_stock->contents())) {
            if (!e.matches(query))
                continue;
            heading(tr("%1 (stock)").arg(e.collection));
            addStockItem(e);
        }
        selectFirstLayout();
    }
    refresh();
}

void TLayoutsForm::CopyBtnClick()
{
    QListWidgetItem *item = selectedItem();
    if (!item)
        return;
    const LayoutRecord record = recordOf(item);
    if (!isPickable(record))
        return;
    int index = -1;
    for (int i = 0; i < m_combo->count() && index < 0; ++i)
        if (m_combo->itemData(i, kSectionRole).toString() != kStockSection
            && m_combo->itemText(i).compare(myLayoutsName(), Qt::CaseInsensitive) == 0)
            index = i;
    if (index < 0) {
        const QString path = m_folder.writablePath(myLayoutsName() + QStringLiteral(".LYT"));
        if (path.isEmpty())
            return;   // no folder to keep it in
        // Among the layout files, in name order.
        int at = 0;
        while (at < m_combo->count() && !m_combo->itemData(at, kPathRole).toString().isEmpty()
               && m_combo->itemData(at, kSectionRole).toString() != kStockSection
               && m_combo->itemText(at).compare(myLayoutsName(), Qt::CaseInsensitive) < 0)
            ++at;
        const QSignalBlocker block(m_combo);
        m_combo->insertItem(at, myLayoutsName(), path);
        if (m_loadedIndex >= at)
            ++m_loadedIndex;
        index = at;
    }
    if (!switchTo(index))
        return;
    QListWidgetItem *copy = addItem(record);
    m_list->setCurrentItem(copy);
    copy->setSelected(true);
    m_modified = true;
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
    // Stock sections and search results are read-only; their layouts can be copied.
    const bool ro = readOnly();
    m_new->setEnabled(!ro);
    m_edit->setEnabled(!ro && item != nullptr);
    m_delete->setEnabled(!ro && item != nullptr);
    m_copy->setEnabled(ro && item != nullptr && isPickable(recordOf(item)));
    LayoutPreview p;
    if (item)
        p = layoutPreview(recordOf(item), m_opposite->isChecked(), m_metric, m_preview->size());
    m_size->setText(p.size);
    if (item && item->data(kStockRole).toBool())
        m_notes->setText(tr("Stock layout, read-only. To change it, copy it to My Layouts."));
    else
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
        // Headings and blank lines are no layouts: the dialog stays open and says why.
        QListWidgetItem *item = selectedItem();
        const LayoutRecord chosen = recordOf(item);
        if (!item || !isPickable(chosen)) {
            QMessageBox::information(this, windowTitle(), notALayoutMessage(item ? &chosen : nullptr));
            return;
        }
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
