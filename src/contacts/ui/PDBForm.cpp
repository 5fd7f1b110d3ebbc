#include "contacts/ui/PDBForm.h"

#include "contacts/ContactExport.h"
#include "contacts/ui/PDBImportForm.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace contacts {

namespace {

constexpr int kSlotRole = Qt::UserRole;
constexpr int kSearchRole = Qt::UserRole + 1;

QString boxTitle() { return QApplication::applicationDisplayName(); }

bool isMemo(int field) { return personalField(field).multiLine; }

} // namespace

TPDBForm::TPDBForm(QWidget *parent, const QString &fileName)
    : QDialog(parent), m_fileName(fileName.isEmpty() ? personalDataPath() : fileName)
{
    setObjectName(QStringLiteral("PDBForm"));
    setWindowTitle(QStringLiteral("Personal Database"));
    buildControls();
    FormCreate();
}

TPDBForm::~TPDBForm() = default;

void TPDBForm::buildControls()
{
    auto *root = new QVBoxLayout(this);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("PDBSplitter"));
    splitter->setChildrenCollapsible(false);
    root->addWidget(splitter, 1);

    // The list of every record, with its filter.
    auto *listSide = new QWidget(splitter);
    auto *listLayout = new QVBoxLayout(listSide);
    listLayout->setContentsMargins(0, 0, 0, 0);
    m_filterEdit = new QLineEdit(listSide);
    m_filterEdit->setObjectName(QStringLiteral("FilterEdit"));
    m_filterEdit->setPlaceholderText(QStringLiteral("Find a record"));
    m_filterEdit->setClearButtonEnabled(true);
    m_filterEdit->setToolTip(QStringLiteral("Type part of a name, company, address, phone number or e-mail"));
    m_filterEdit->installEventFilter(this);
    listLayout->addWidget(m_filterEdit);
    m_recordList = new QTreeWidget(listSide);
    m_recordList->setObjectName(QStringLiteral("RecordList"));
    m_recordList->setColumnCount(3);
    m_recordList->setHeaderLabels({QStringLiteral("Last Name"), QStringLiteral("First Name"), QStringLiteral("Company")});
    m_recordList->setRootIsDecorated(false);
    m_recordList->setUniformRowHeights(true);
    m_recordList->setAllColumnsShowFocus(true);
    m_recordList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_recordList->header()->setStretchLastSection(true);
    m_recordList->setColumnWidth(0, 105);
    m_recordList->setColumnWidth(1, 80);
    listLayout->addWidget(m_recordList, 1);
    m_statusLabel = new QLabel(listSide);
    m_statusLabel->setObjectName(QStringLiteral("RecordCountLabel"));
    listLayout->addWidget(m_statusLabel);
    connect(m_filterEdit, &QLineEdit::textChanged, this, &TPDBForm::ApplyFilter);
    connect(m_recordList, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { RecordListCurrentChanged(current); });

    // The record editors in a scrolling box.
    auto *scroll = new QScrollArea(splitter);
    scroll->setObjectName(QStringLiteral("ScrollBox"));
    scroll->setWidgetResizable(true);
    auto *editorsPanel = new QWidget(scroll);
    auto *form = new QFormLayout(editorsPanel);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    for (int i = 0; i < PersonalFieldCount; ++i) {
        const PersonalFieldInfo &f = personalField(i);
        auto *label = new QLabel(QString::fromLatin1(f.label), editorsPanel);
        label->setObjectName(QString::fromLatin1(f.name) + QStringLiteral("Label"));
        QWidget *editor;
        if (f.multiLine) {
            auto *memo = new QPlainTextEdit(editorsPanel);
            memo->setObjectName(QString::fromLatin1(f.name) + QStringLiteral("Memo"));
            memo->setTabChangesFocus(true);
            memo->setLineWrapMode(QPlainTextEdit::NoWrap);
            memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            memo->setFixedHeight(memo->fontMetrics().lineSpacing() * 3 + 12);
            connect(memo, &QPlainTextEdit::textChanged, this, &TPDBForm::EditorChanged);
            editor = memo;
        } else {
            auto *edit = new QLineEdit(editorsPanel);
            edit->setObjectName(QString::fromLatin1(f.name) + QStringLiteral("Edit"));
            edit->setMaxLength(f.size);
            connect(edit, &QLineEdit::textEdited, this, &TPDBForm::EditorChanged);
            editor = edit;
        }
        label->setBuddy(editor);
        form->addRow(label, editor);
        m_editors[i] = editor;
    }
    scroll->setWidget(editorsPanel);
    splitter->addWidget(listSide);
    splitter->addWidget(scroll);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({350, 430});

    // The navigator and the buttons.
    auto *bottom = new QHBoxLayout;
    auto *navigator = new QWidget(this);
    navigator->setObjectName(QStringLiteral("DBNavigator"));
    auto *navLayout = new QHBoxLayout(navigator);
    navLayout->setContentsMargins(0, 0, 0, 0);
    navLayout->setSpacing(1);
    auto navButton = [&](const char *name, const QString &glyph, const char *hint) {
        auto *b = new QToolButton(navigator);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(glyph);
        b->setToolTip(QString::fromLatin1(hint));
        b->setFixedSize(28, 25);
        navLayout->addWidget(b);
        return b;
    };
    m_firstBtn = navButton("NavFirstBtn", QStringLiteral("|\u25C0"), "First record");
    m_priorBtn = navButton("NavPriorBtn", QStringLiteral("\u25C0"), "Prior record");
    m_nextBtn = navButton("NavNextBtn", QStringLiteral("\u25B6"), "Next record");
    m_lastBtn = navButton("NavLastBtn", QStringLiteral("\u25B6|"), "Last record");
    m_insertBtn = navButton("NavInsertBtn", QStringLiteral("+"), "Insert record");
    m_deleteBtn = navButton("NavDeleteBtn", QStringLiteral("\u2212"), "Delete record");
    m_postBtn = navButton("NavPostBtn", QStringLiteral("\u2713"), "Post edit");
    m_cancelEditBtn = navButton("NavCancelBtn", QStringLiteral("\u2715"), "Cancel edit");
    connect(m_firstBtn, &QToolButton::clicked, this, [this] { Navigate(&TBinaryDataSet::First); });
    connect(m_lastBtn, &QToolButton::clicked, this, [this] { Navigate(&TBinaryDataSet::Last); });
    connect(m_priorBtn, &QToolButton::clicked, this, [this] { NavigateStep(false); });
    connect(m_nextBtn, &QToolButton::clicked, this, [this] { NavigateStep(true); });
    connect(m_insertBtn, &QToolButton::clicked, this, &TPDBForm::InsertBtnClick);
    connect(m_deleteBtn, &QToolButton::clicked, this, &TPDBForm::DeleteBtnClick);
    connect(m_postBtn, &QToolButton::clicked, this, &TPDBForm::PostBtnClick);
    connect(m_cancelEditBtn, &QToolButton::clicked, this, &TPDBForm::CancelEditBtnClick);
    bottom->addWidget(navigator);
    bottom->addSpacing(12);

    m_importBtn = new QPushButton(QStringLiteral("Import..."), this);
    m_importBtn->setObjectName(QStringLiteral("ImportBtn"));
    m_importBtn->setToolTip(QStringLiteral("Import"));
    m_importBtn->setAutoDefault(false);
    m_exportBtn = new QPushButton(QStringLiteral("Export..."), this);
    m_exportBtn->setObjectName(QStringLiteral("ExportBtn"));
    m_exportBtn->setToolTip(QStringLiteral("Export"));
    m_exportBtn->setAutoDefault(false);
    connect(m_importBtn, &QPushButton::clicked, this, &TPDBForm::ImportBtnClick);
    connect(m_exportBtn, &QPushButton::clicked, this, &TPDBForm::ExportBtnClick);
    bottom->addWidget(m_importBtn);
    bottom->addWidget(m_exportBtn);
    bottom->addStretch(1);

    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setAutoDefault(false);
    auto *help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("HelpBtn"));
    help->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TPDBForm::accept);
    connect(cancel, &QPushButton::clicked, this, &TPDBForm::reject);
    connect(help, &QPushButton::clicked, this, [this] { emit helpRequested(HelpContext); });
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    bottom->addWidget(help);
    root->addLayout(bottom);

    m_exportDialog = new QFileDialog(this, QStringLiteral("Export"));
    m_exportDialog->setObjectName(QStringLiteral("ExportDialog"));
    m_exportDialog->setAcceptMode(QFileDialog::AcceptSave);
    m_exportDialog->setFileMode(QFileDialog::AnyFile);
    m_exportDialog->setOption(QFileDialog::DontUseNativeDialog);
    m_exportDialog->setNameFilters({QStringLiteral("Comma Separated Values (*.csv)"),
                                    QStringLiteral("Text Files (*.txt)")});
    m_exportDialog->setDefaultSuffix(QStringLiteral("csv"));

    resize(820, 580);
}

// Opens the file, or offers to create it when it is missing or damaged.
void TPDBForm::FormCreate()
{
    preparePersonalDataSet(m_dataSet, m_fileName);
    const QString name = QDir::toNativeSeparators(m_fileName);
    bool opened = false;
    try {
        m_dataSet.Open();
        opened = true;
    } catch (const EBinaryDataSetError &e) {
        m_dataSet.Close();
        if (e.reason() == EBinaryDataSetError::Reason::NotFound || e.reason() == EBinaryDataSetError::Reason::Damaged) {
            const bool keep = QFileInfo::exists(m_fileName);
            QMessageBox ask(QMessageBox::Question, boxTitle(),
                            QStringLiteral("Could not open ") + name + QStringLiteral("\n\nThe file is missing or corrupt.")
                                + QStringLiteral("\n\nWould you like to create a new (blank) file?"),
                            QMessageBox::Yes | QMessageBox::No, this);
            if (keep)
                ask.setInformativeText(QString(e.message()).replace(QLatin1Char('\r'), QLatin1Char('\n'))
                                       + QStringLiteral("\n\nThe damaged file will be kept beside the new one."));
            if (ask.exec() == QMessageBox::Yes) {
                try {
                    // The damaged file is kept for recovery; never overwritten.
                    if (keep && keepDamagedFile(m_fileName).isEmpty())
                        throw EBinaryDataSetError(QStringLiteral("The damaged file could not be renamed."));
                    m_dataSet.CreateTable();
                    m_dataSet.Open();
                } catch (const EBinaryDataSetError &) {
                    m_dataSet.Close();
                    QMessageBox::critical(this, boxTitle(),
                                          QStringLiteral("Could not open or create ") + name
                                              + QStringLiteral("\n\nMake sure the filename is valid."));
                }
            }
        } else {
            // Held by another writer, or unreadable: nothing is offered that could replace it.
            QMessageBox::critical(this, boxTitle(), QStringLiteral("Could not open ") + name + QStringLiteral("\n\n")
                                                        + e.message());
        }
    }
    if (opened)
        backUpDataFile(m_fileName);
    RefreshFromDataSet();
}

std::optional<QStringList> TPDBForm::PickRecord(QWidget *parent, const QString &fileName)
{
    TPDBForm dlg(parent, fileName);
    if (dlg.exec() != QDialog::Accepted || !dlg.HasRecord())
        return std::nullopt;
    return dlg.RecordValues();
}

// --- the shown record ------------------------------------------------------------------

bool TPDBForm::HasRecord() const { return m_dataSet.Active() && m_dataSet.CurrentSlot() >= 0; }

QString TPDBForm::FieldValue(int field) const
{
    if (!HasRecord() || field < 0 || field >= PersonalFieldCount)
        return {};
    return m_dataSet.FieldValue(QString::fromLatin1(personalField(field).name));
}

QString TPDBForm::FieldValue(const QString &name) const
{
    if (!HasRecord())
        return {};
    return m_dataSet.FieldValue(name);
}

QStringList TPDBForm::RecordValues() const
{
    QStringList values;
    for (int i = 0; i < PersonalFieldCount; ++i)
        values << FieldValue(i);
    return values;
}

QString TPDBForm::editorText(int field) const
{
    if (isMemo(field)) {
        // A memo keeps its line breaks as CR LF in the file.
        QString text = static_cast<QPlainTextEdit *>(m_editors[field])->toPlainText();
        return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    }
    return static_cast<QLineEdit *>(m_editors[field])->text();
}

// --- editing ---------------------------------------------------------------------------

void TPDBForm::EditorChanged()
{
    if (m_loading || !m_dataSet.Active())
        return;
    m_dirty = true;
    if (m_dataSet.Modifying())
        return;
    try {
        m_dataSet.Edit(); // on an empty table this starts a new record
    } catch (const EBinaryDataSetError &e) {
        showError(e.message());
    }
    UpdateNavigator();
}

bool TPDBForm::PostPending()
{
    if (!m_dataSet.Active() || !m_dataSet.Modifying())
        return true;
    if (!m_dirty) {
        // A new record that was never typed into is dropped, not stored empty.
        m_dataSet.Cancel();
        LoadEditors();
        SelectCurrentInList();
        UpdateNavigator();
        return true;
    }
    for (int i = 0; i < PersonalFieldCount; ++i) {
        const QString value = editorText(i).left(personalField(i).size);
        const QString bad = TBinaryDataSet::unstorableCharacter(value);
        if (!bad.isEmpty()) {
            QString label = QString::fromLatin1(personalField(i).label);
            label.chop(1);
            showError(QStringLiteral("%1 holds the character \u201C%2\u201D, which the personal database "
                                     "cannot store. Please change it before the record is saved.")
                          .arg(label, bad));
            m_editors[i]->setFocus();
            return false;
        }
    }
    try {
        for (int i = 0; i < PersonalFieldCount; ++i)
            m_dataSet.SetFieldValue(QString::fromLatin1(personalField(i).name), editorText(i));
        m_dataSet.Post();
    } catch (const EBinaryDataSetError &e) {
        showError(e.message());
        return false;
    }
    RebuildList();
    LoadEditors(); // shows a memo text as it was cut to its field's size
    UpdateNavigator();
    return true;
}

void TPDBForm::PostBtnClick() { PostPending(); }

void TPDBForm::CancelEditBtnClick()
{
    m_dataSet.Cancel();
    LoadEditors();
    SelectCurrentInList();
    UpdateNavigator();
}

void TPDBForm::InsertBtnClick()
{
    if (!m_dataSet.Active() || !PostPending())
        return;
    try {
        m_dataSet.Insert();
    } catch (const EBinaryDataSetError &e) {
        showError(e.message());
    }
    LoadEditors();
    SelectCurrentInList();
    UpdateNavigator();
    m_editors[FNAME]->setFocus();
}

void TPDBForm::DeleteBtnClick()
{
    if (!m_dataSet.Active() || (!HasRecord() && !m_dataSet.Modifying()))
        return;
    if (QMessageBox::question(this, boxTitle(), QStringLiteral("Delete record?"), QMessageBox::Ok | QMessageBox::Cancel)
        != QMessageBox::Ok)
        return;
    try {
        m_dataSet.Delete();
    } catch (const EBinaryDataSetError &e) {
        showError(e.message());
    }
    RebuildList();
    LoadEditors();
    UpdateNavigator();
}

void TPDBForm::Navigate(void (TBinaryDataSet::*move)())
{
    if (!m_dataSet.Active() || !PostPending())
        return;
    try {
        (m_dataSet.*move)();
    } catch (const EBinaryDataSetError &e) {
        showError(e.message());
    }
    LoadEditors();
    SelectCurrentInList();
    UpdateNavigator();
}

void TPDBForm::NavigateStep(bool forward)
{
    if (!m_dataSet.Active() || !PostPending())
        return;
    try {
        forward ? m_dataSet.Next() : m_dataSet.Prior();
    } catch (const EBinaryDataSetError &e) {
        showError(e.message());
    }
    LoadEditors();
    SelectCurrentInList();
    UpdateNavigator();
}

void TPDBForm::accept()
{
    if (!PostPending())
        return;
    QDialog::accept();
}

void TPDBForm::reject()
{
    m_dataSet.Cancel();
    QDialog::reject();
}

// --- showing ---------------------------------------------------------------------------

void TPDBForm::LoadEditors()
{
    m_loading = true;
    const bool active = m_dataSet.Active();
    for (int i = 0; i < PersonalFieldCount; ++i) {
        const QString value = active ? m_dataSet.FieldValue(QString::fromLatin1(personalField(i).name)) : QString();
        if (isMemo(i)) {
            auto *memo = static_cast<QPlainTextEdit *>(m_editors[i]);
            memo->setPlainText(QString(value).replace(QLatin1String("\r\n"), QLatin1String("\n")));
            memo->setReadOnly(!active);
        } else {
            auto *edit = static_cast<QLineEdit *>(m_editors[i]);
            edit->setText(value);
            edit->setReadOnly(!active);
        }
        m_editors[i]->setEnabled(active);
    }
    m_loading = false;
    m_dirty = false;
}

void TPDBForm::RefreshFromDataSet()
{
    RebuildList();
    LoadEditors();
    UpdateNavigator();
}

void TPDBForm::RebuildList()
{
    const QSignalBlocker block(m_recordList);
    m_recordList->clear();
    if (m_dataSet.Active()) {
        const int fn = m_dataSet.FieldIndex(QStringLiteral("FNAME")), ln = m_dataSet.FieldIndex(QStringLiteral("LNAME")),
                  co = m_dataSet.FieldIndex(QStringLiteral("COMPANY"));
        QList<QTreeWidgetItem *> items;
        try {
            m_dataSet.ForEachRecord([&](const Record &r) {
                auto *item = new QTreeWidgetItem({r.values.value(ln), r.values.value(fn), r.values.value(co)});
                item->setData(0, kSlotRole, r.slot);
                item->setData(0, kSearchRole, r.values.join(QLatin1Char('\n')).toCaseFolded());
                items << item;
                return true;
            });
        } catch (const EBinaryDataSetError &e) {
            showError(e.message());
        }
        m_recordList->addTopLevelItems(items);
    }
    ApplyFilter();
    SelectCurrentInList();
}

void TPDBForm::ApplyFilter()
{
    // Every word typed must occur somewhere in the record (any field, letter case ignored).
    const QStringList words = m_filterEdit->text().toCaseFolded().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    int shown = 0;
    for (int i = 0; i < m_recordList->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_recordList->topLevelItem(i);
        const QString haystack = item->data(0, kSearchRole).toString();
        bool match = true;
        for (const QString &w : words)
            if (!haystack.contains(w)) {
                match = false;
                break;
            }
        item->setHidden(!match);
        shown += match;
    }
    const int total = m_recordList->topLevelItemCount();
    m_statusLabel->setText(words.isEmpty() ? QStringLiteral("%1 records").arg(total)
                                           : QStringLiteral("%1 of %2 records").arg(shown).arg(total));
}

void TPDBForm::SelectCurrentInList()
{
    const QSignalBlocker block(m_recordList);
    const int slot = m_dataSet.Active() ? m_dataSet.CurrentSlot() : -1;
    for (int i = 0; i < m_recordList->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_recordList->topLevelItem(i);
        if (item->data(0, kSlotRole).toInt() == slot) {
            m_recordList->setCurrentItem(item);
            m_recordList->scrollToItem(item);
            return;
        }
    }
    m_recordList->setCurrentItem(nullptr);
    m_recordList->clearSelection();
}

void TPDBForm::RecordListCurrentChanged(QTreeWidgetItem *item)
{
    if (!item || !m_dataSet.Active())
        return;
    const int slot = item->data(0, kSlotRole).toInt();
    if (slot == m_dataSet.CurrentSlot() && !m_dataSet.Modifying())
        return;
    if (!PostPending()) {
        SelectCurrentInList();
        return;
    }
    try {
        m_dataSet.GotoBookmark(slot);
    } catch (const EBinaryDataSetError &e) {
        showError(e.message());
    }
    LoadEditors();
    SelectCurrentInList();
    UpdateNavigator();
}

bool TPDBForm::eventFilter(QObject *watched, QEvent *event)
{
    // In the filter box, Enter goes to the first record found and Down into the list.
    if (watched == m_filterEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
            for (int i = 0; i < m_recordList->topLevelItemCount(); ++i) {
                QTreeWidgetItem *item = m_recordList->topLevelItem(i);
                if (!item->isHidden()) {
                    m_recordList->setCurrentItem(item);
                    break;
                }
            }
            m_recordList->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TPDBForm::UpdateNavigator()
{
    const bool active = m_dataSet.Active();
    const bool modifying = active && m_dataSet.Modifying();
    const bool any = active && m_dataSet.RecordCount() > 0;
    m_firstBtn->setEnabled(any && (modifying || !m_dataSet.Bof()));
    m_priorBtn->setEnabled(any && (modifying || !m_dataSet.Bof()));
    m_nextBtn->setEnabled(any && (modifying || !m_dataSet.Eof()));
    m_lastBtn->setEnabled(any && (modifying || !m_dataSet.Eof()));
    m_insertBtn->setEnabled(active);
    m_deleteBtn->setEnabled(HasRecord() || modifying);
    m_postBtn->setEnabled(modifying);
    m_cancelEditBtn->setEnabled(modifying);
    m_importBtn->setEnabled(active);
    m_exportBtn->setEnabled(active);
    m_filterEdit->setEnabled(active);
    m_recordList->setEnabled(active);
}

// --- import and export -----------------------------------------------------------------

bool TPDBForm::ExportTo(const QString &path)
{
    if (!m_dataSet.Active() || !PostPending())
        return false;
    QString error;
    const bool ok = exportToFile(m_dataSet, path, &error);
    if (!ok)
        showError(error);
    Navigate(&TBinaryDataSet::First);
    return ok;
}

void TPDBForm::ExportBtnClick()
{
    if (!m_dataSet.Active() || !PostPending())
        return;
    if (m_exportDialog->exec() != QDialog::Accepted || m_exportDialog->selectedFiles().isEmpty())
        return;
    ExportTo(m_exportDialog->selectedFiles().constFirst());
}

void TPDBForm::ImportBtnClick()
{
    if (!m_dataSet.Active() || !PostPending())
        return;
    TPDBImportForm import(this);
    connect(&import, &TPDBImportForm::helpRequested, this, &TPDBForm::helpRequested);
    import.exec();
    RefreshFromDataSet();
}

void TPDBForm::showError(const QString &message)
{
    QMessageBox::critical(this, boxTitle(), QString(message).replace(QLatin1Char('\r'), QLatin1Char('\n')));
}

} // namespace contacts
