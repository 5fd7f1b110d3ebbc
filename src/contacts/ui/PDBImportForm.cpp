#include "contacts/ui/PDBImportForm.h"

#include "contacts/BinaryDataSet.h"
#include "contacts/PersonalData.h"
#include "contacts/ui/PDBForm.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace contacts {

namespace {

constexpr int kNumberRole = Qt::UserRole;      // target number, column number or pairing code
constexpr int kTargetNameRole = Qt::UserRole + 1; // on a pairing: the target's name
constexpr int kSourceNameRole = Qt::UserRole + 2; // on a pairing: the column's name

// Failures listed in the message after an import; the rest are counted.
constexpr int kListedFailures = 15;

QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(p);
    return label;
}

QListWidgetItem *numberedItem(const QString &text, int number)
{
    auto *item = new QListWidgetItem(text);
    item->setData(kNumberRole, number);
    return item;
}

} // namespace

TPDBImportForm::TPDBImportForm(TPDBForm *owner) : QDialog(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("PDBImportForm"));
    setWindowTitle(QStringLiteral("Import"));
    auto *root = new QVBoxLayout(this);

    root->addWidget(heading(QStringLiteral("STEP 1:  Choose the file to import."), this));
    auto *fileRow = new QHBoxLayout;
    auto *fileLabel = new QLabel(QStringLiteral("Import Filename"), this);
    m_fileNameEdit = new QLineEdit(this);
    m_fileNameEdit->setObjectName(QStringLiteral("FileNameEdit"));
    m_fileNameEdit->setReadOnly(true);
    fileLabel->setBuddy(m_fileNameEdit);
    auto *chooseBtn = new QPushButton(QStringLiteral("..."), this);
    chooseBtn->setObjectName(QStringLiteral("ChooseBtn"));
    chooseBtn->setToolTip(QStringLiteral("Choose the file to import"));
    chooseBtn->setAutoDefault(false);
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(m_fileNameEdit, 1);
    fileRow->addWidget(chooseBtn);
    root->addLayout(fileRow);

    m_fieldPanel = new QWidget(this);
    m_fieldPanel->setObjectName(QStringLiteral("FieldPanel"));
    auto *panel = new QVBoxLayout(m_fieldPanel);
    panel->setContentsMargins(0, 8, 0, 0);
    panel->addWidget(heading(QStringLiteral("STEP 2:  Match the fields to import."), m_fieldPanel));
    auto *note = new QLabel(QStringLiteral("Select matching fields from the two lists below and click the Add button "
                                           "to mark the fields for importing."),
                            m_fieldPanel);
    note->setWordWrap(true);
    panel->addWidget(note);
    auto *lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("Fields"), m_fieldPanel), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("Columns of the file"), m_fieldPanel), 0, 1);
    lists->addWidget(new QLabel(QStringLiteral("Fields to import"), m_fieldPanel), 0, 3);
    m_fixedFieldList = new QListWidget(m_fieldPanel);
    m_fixedFieldList->setObjectName(QStringLiteral("FixedFieldList"));
    m_fieldList = new QListWidget(m_fieldPanel);
    m_fieldList->setObjectName(QStringLiteral("FieldList"));
    m_resultList = new QListWidget(m_fieldPanel);
    m_resultList->setObjectName(QStringLiteral("ResultList"));
    auto *buttons = new QVBoxLayout;
    m_addBtn = new QPushButton(QStringLiteral("&Add >>"), m_fieldPanel);
    m_addBtn->setObjectName(QStringLiteral("AddBtn"));
    m_addBtn->setAutoDefault(false);
    m_removeBtn = new QPushButton(QStringLiteral("<< &Remove"), m_fieldPanel);
    m_removeBtn->setObjectName(QStringLiteral("RemoveBtn"));
    m_removeBtn->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(m_addBtn);
    buttons->addWidget(m_removeBtn);
    buttons->addStretch(1);
    lists->addWidget(m_fixedFieldList, 1, 0);
    lists->addWidget(m_fieldList, 1, 1);
    lists->addLayout(buttons, 1, 2);
    lists->addWidget(m_resultList, 1, 3);
    panel->addLayout(lists, 1);
    m_fieldPanel->hide();
    root->addWidget(m_fieldPanel, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    m_importBtn = new QPushButton(QStringLiteral("&Import"), this);
    m_importBtn->setObjectName(QStringLiteral("ImportBtn"));
    m_importBtn->setDefault(true);
    m_importBtn->setEnabled(false);
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setAutoDefault(false);
    auto *help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("HelpBtn"));
    help->setAutoDefault(false);
    bottom->addWidget(m_importBtn);
    bottom->addWidget(cancel);
    bottom->addWidget(help);
    root->addLayout(bottom);

    m_importDialog = new QFileDialog(this, QStringLiteral("Import"));
    m_importDialog->setObjectName(QStringLiteral("ImportDialog"));
    m_importDialog->setAcceptMode(QFileDialog::AcceptOpen);
    m_importDialog->setFileMode(QFileDialog::ExistingFile);
    m_importDialog->setOption(QFileDialog::DontUseNativeDialog);
    m_importDialog->setNameFilters({QStringLiteral("Text Files (*.txt)"), QStringLiteral("Comma Separated Values (*.csv)")});

    connect(chooseBtn, &QPushButton::clicked, this, &TPDBImportForm::ChooseBtnClick);
    connect(m_addBtn, &QPushButton::clicked, this, &TPDBImportForm::AddBtnClick);
    connect(m_removeBtn, &QPushButton::clicked, this, &TPDBImportForm::RemoveBtnClick);
    connect(m_importBtn, &QPushButton::clicked, this, &TPDBImportForm::ImportBtnClick);
    connect(cancel, &QPushButton::clicked, this, &TPDBImportForm::reject);
    connect(help, &QPushButton::clicked, this, [this] { emit helpRequested(HelpContext); });
    for (QListWidget *list : {m_fixedFieldList, m_fieldList, m_resultList})
        connect(list, &QListWidget::itemSelectionChanged, this, &TPDBImportForm::UpdateButtons);
    UpdateButtons();
    resize(640, 440);
}

void TPDBImportForm::ChooseBtnClick()
{
    if (m_importDialog->exec() != QDialog::Accepted || m_importDialog->selectedFiles().isEmpty())
        return;
    LoadFile(m_importDialog->selectedFiles().constFirst());
}

bool TPDBImportForm::LoadFile(const QString &path)
{
    QStringList lines;
    QString error;
    if (!readImportFile(path, &lines, &error)) {
        QMessageBox::critical(this, QApplication::applicationDisplayName(), error);
        return false;
    }
    if (lines.isEmpty()) {
        QMessageBox::critical(this, QApplication::applicationDisplayName(),
                              QStringLiteral("%1 holds no lines to import.").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    m_fileNameEdit->setText(path);
    const QStringList columns = splitCommaText(lines.first());
    m_fieldList->clear();
    for (int c = 0; c < columns.size() && c < ImportPairing::kMaxColumns; ++c) {
        // A column without a title is still offered, under its number.
        const QString name = columns.at(c).isEmpty() ? QStringLiteral("(Column %1)").arg(c + 1) : columns.at(c);
        m_fieldList->addItem(numberedItem(name, c));
    }
    m_fixedFieldList->clear();
    for (int t = 0; t < PersonalFieldCount; ++t)
        m_fixedFieldList->addItem(numberedItem(QString::fromLatin1(personalField(t).target), t));
    m_resultList->clear();
    m_fixedFieldList->setCurrentRow(0);
    m_fieldList->setCurrentRow(0);
    m_fieldPanel->show();
    UpdateButtons();
    return true;
}

void TPDBImportForm::AddBtnClick()
{
    QListWidgetItem *target = m_fixedFieldList->currentItem();
    QListWidgetItem *source = m_fieldList->currentItem();
    if (!target || !source || !target->isSelected() || !source->isSelected())
        return;
    const int t = target->data(kNumberRole).toInt(), c = source->data(kNumberRole).toInt();
    auto *pairing = numberedItem(target->text() + QLatin1Char('=') + source->text(), t * 1000 + c);
    pairing->setData(kTargetNameRole, target->text());
    pairing->setData(kSourceNameRole, source->text());
    m_resultList->addItem(pairing);
    m_resultList->setCurrentItem(pairing);
    delete m_fixedFieldList->takeItem(m_fixedFieldList->row(target));
    delete m_fieldList->takeItem(m_fieldList->row(source));
    UpdateButtons();
}

void TPDBImportForm::RemoveBtnClick()
{
    QListWidgetItem *pairing = m_resultList->currentItem();
    if (!pairing || !pairing->isSelected())
        return;
    const int code = pairing->data(kNumberRole).toInt();
    const ImportPairing p = ImportPairing::fromCode(code);
    auto *target = numberedItem(pairing->data(kTargetNameRole).toString(), p.target);
    auto *source = numberedItem(pairing->data(kSourceNameRole).toString(), p.column);
    m_fixedFieldList->addItem(target);
    m_fieldList->addItem(source);
    m_fixedFieldList->setCurrentItem(target);
    m_fieldList->setCurrentItem(source);
    delete m_resultList->takeItem(m_resultList->row(pairing));
    UpdateButtons();
}

QList<int> TPDBImportForm::PairingCodes() const
{
    QList<int> codes;
    for (int i = 0; i < m_resultList->count(); ++i)
        codes << m_resultList->item(i)->data(kNumberRole).toInt();
    return codes;
}

void TPDBImportForm::UpdateButtons()
{
    auto chosen = [](QListWidget *list) { return list->currentItem() && list->currentItem()->isSelected(); };
    m_addBtn->setEnabled(chosen(m_fixedFieldList) && chosen(m_fieldList));
    m_removeBtn->setEnabled(chosen(m_resultList));
    m_importBtn->setEnabled(!m_fileNameEdit->text().isEmpty() && m_resultList->count() > 0);
}

void TPDBImportForm::ImportBtnClick()
{
    if (!m_importBtn->isEnabled())
        return;
    QStringList lines;
    QString error;
    if (!readImportFile(m_fileNameEdit->text(), &lines, &error)) {
        QMessageBox::critical(this, QApplication::applicationDisplayName(), error);
        return;
    }
    QList<ImportPairing> pairings;
    for (int code : PairingCodes())
        pairings << ImportPairing::fromCode(code);

    QProgressDialog progress(QStringLiteral("Importing records..."), QStringLiteral("&Cancel"), 0,
                             int(lines.size()), this);
    progress.setObjectName(QStringLiteral("ImportProgress"));
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    try {
        m_result = importRecords(m_owner->DataSet(), lines, pairings, [&progress](int done, int total) {
            if (done % 25 == 0 || done == total)
                progress.setValue(done);
            return !progress.wasCanceled();
        });
    } catch (const EBinaryDataSetError &e) {
        progress.reset();
        QMessageBox::critical(this, QApplication::applicationDisplayName(), e.message());
        return;
    }
    progress.reset();

    if (!m_result.failures.isEmpty()) {
        // One message for the whole file: a box for each failing line of a long file
        // would have to be clicked away hundreds of times.
        QStringList details;
        for (int i = 0; i < m_result.failures.size() && i < kListedFailures; ++i)
            details << QStringLiteral("Line %1: %2")
                           .arg(m_result.failures.at(i).line)
                           .arg(QString(m_result.failures.at(i).reason).replace(QLatin1Char('\r'), QLatin1Char(' ')));
        if (m_result.failures.size() > kListedFailures)
            details << QStringLiteral("... and %1 more lines").arg(m_result.failures.size() - kListedFailures);
        QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), importFailureText(),
                        QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("ImportErrorBox"));
        box.setInformativeText(QStringLiteral("%1 records were imported; these lines were skipped:\n")
                                   .arg(m_result.imported)
                               + details.join(QLatin1Char('\n')));
        box.exec();
    }
    accept();
}

} // namespace contacts
