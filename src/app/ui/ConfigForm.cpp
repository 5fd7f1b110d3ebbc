#include "app/ui/ConfigForm.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace app {

namespace {

QCheckBox *check(QWidget *parent, const char *name, const QString &caption)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(QLatin1String(name));
    return c;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QLabel *redNote(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    l->setPalette(p);
    return l;
}

QWidget *page(const char *name)
{
    auto *w = new QWidget;
    w->setObjectName(QLatin1String(name));
    return w;
}

} // namespace

TConfigForm::TConfigForm(QWidget *owner, TAppOptions &options)
    : QDialog(owner), m_options(options)
{
    setObjectName(QStringLiteral("ConfigForm"));
    setWindowTitle(tr("Options"));
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    confirm = [this](const QString &question) {
        return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    pickFolder = [this](const QString &start) {
        return QFileDialog::getExistingDirectory(this, QString(), start);
    };
    showError = [this](const QString &message) { QMessageBox::critical(this, windowTitle(), message); };

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl"));
    m_pages->addTab(buildGeneralPage(), tr("&General"));
    m_pages->addTab(buildGridPage(), tr("G&rid"));
    m_pages->addTab(buildPrintingPage(), tr("&Printing"));
    m_pages->addTab(buildCustomTextPage(), tr("&Custom Text"));
    m_pages->addTab(buildFoldersPage(), tr("&Folders"));

    auto *ok = button(this, "OkBtn", tr("&OK"));
    auto *cancel = button(this, "CancelBtn", tr("&Cancel"));
    auto *help = button(this, "HelpBtn", tr("&Help"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TConfigForm::OkBtnClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { emit helpRequested(HelpContext); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);   // a dialog border: not resizable

    FormCreate();
}

QWidget *TConfigForm::buildGeneralPage()
{
    QWidget *w = page("GeneralSheet");
    m_promptDelete = check(w, "PromptDeleteCheck", tr("&Prompt when deleting objects"));
    m_returnSelect = check(w, "ReturnSelectCheck", tr("&Return to the select tool automatically"));
    m_metricUnits = check(w, "MetricUnitsCheck", tr("&Metric units"));
    m_reduceGraphics = check(w, "ReduceGraphicsCheck", tr("Reduce &graphics to 256 colors"));
    m_showDesignWizard = check(w, "ShowDesignWizardCheck", tr("&Show the design wizard when the application starts"));
    m_saveProperties = check(w, "SavePropertiesCheck",
                             tr("&Use last selected object's properties for the next object inserted"));
    auto *l = new QVBoxLayout(w);
    for (QCheckBox *c : {m_promptDelete, m_returnSelect, m_metricUnits, m_reduceGraphics,
                         m_showDesignWizard, m_saveProperties})
        l->addWidget(c);
    l->addStretch();
    return w;
}

QWidget *TConfigForm::buildGridPage()
{
    QWidget *w = page("GridSheet");
    auto *label = new QLabel(tr("&Grid Size (pixels):"), w);
    label->setObjectName(QStringLiteral("GridSizeLabel"));
    m_gridSize = new QLineEdit(w);
    m_gridSize->setObjectName(QStringLiteral("GridSizeEdit"));
    m_gridSize->setMaximumWidth(60);
    m_gridSize->setValidator(new QIntValidator(MinGridSize, MaxGridSize, m_gridSize));
    label->setBuddy(m_gridSize);
    m_displayGrid = check(w, "DisplayGridCheck", tr("&Display grid"));
    m_snapToGrid = check(w, "SnapToGridCheck", tr("&Snap to grid"));
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_gridSize);
    row->addStretch();
    auto *l = new QVBoxLayout(w);
    l->addLayout(row);
    l->addWidget(m_displayGrid);
    l->addWidget(m_snapToGrid);
    l->addStretch();
    return w;
}

QWidget *TConfigForm::buildPrintingPage()
{
    QWidget *w = page("PrintingSheet");
    m_cropMarks = check(w, "CropMarksCheck", tr("&Print crop marks"));
    m_setOrientation = check(w, "SetOrientationCheck", tr("&Set printer orientation and paper size automatically"));
    auto *l = new QVBoxLayout(w);
    l->addWidget(m_cropMarks);
    l->addWidget(m_setOrientation);
    l->addStretch();
    return w;
}

QWidget *TConfigForm::buildCustomTextPage()
{
    QWidget *w = page("CustomTextSheet");
    m_customList = new QListWidget(w);
    m_customList->setObjectName(QStringLiteral("CustomFieldList"));
    m_customList->setDragDropMode(QAbstractItemView::InternalMove);
    m_customList->setDefaultDropAction(Qt::MoveAction);
    m_customList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_customMemo = new QPlainTextEdit(w);
    m_customMemo->setObjectName(QStringLiteral("CustomFieldMemo"));
    m_customMemo->setMaximumHeight(70);
    auto *del = button(w, "DeleteBtn", tr("&Delete"));
    m_addBtn = button(w, "AddBtn", tr("&Add"));
    auto *clear = button(w, "NewBtn", tr("&New"));
    m_addBtn->setEnabled(false);
    connect(m_customMemo, &QPlainTextEdit::textChanged, this, &TConfigForm::CustomFieldMemoChange);
    connect(m_addBtn, &QPushButton::clicked, this, &TConfigForm::AddBtnClick);
    connect(clear, &QPushButton::clicked, this, &TConfigForm::NewBtnClick);
    connect(del, &QPushButton::clicked, this, &TConfigForm::DeleteBtnClick);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(del);
    buttons->addWidget(m_addBtn);
    buttons->addWidget(clear);
    buttons->addStretch();
    auto *grid = new QGridLayout(w);
    grid->addWidget(m_customList, 0, 0);
    grid->addWidget(m_customMemo, 1, 0);
    grid->addLayout(buttons, 0, 1, 2, 1);
    grid->addWidget(redNote(w, "CustomTextNoteLabel",
                            tr("Custom Text is text you can easily re-use in your design with any text object.")),
                    2, 0, 1, 2);
    return w;
}

QWidget *TConfigForm::buildFoldersPage()
{
    QWidget *w = page("FoldersSheet");
    auto *grid = new QGridLayout(w);
    auto addRow = [&](int row, const char *labelName, const QString &caption, const char *editName,
                      const char *btnName) {
        auto *label = new QLabel(caption, w);
        label->setObjectName(QLatin1String(labelName));
        auto *edit = new QLineEdit(w);
        edit->setObjectName(QLatin1String(editName));
        edit->setMinimumWidth(260);
        auto *browse = button(w, btnName, QStringLiteral("..."));
        browse->setMaximumWidth(30);
        connect(browse, &QPushButton::clicked, this, [this, edit] { browseInto(edit); });
        grid->addWidget(label, row, 0, 1, 2);
        grid->addWidget(edit, row + 1, 0);
        grid->addWidget(browse, row + 1, 1);
        return edit;
    };
    m_graphicsFolder = addRow(0, "GraphicsFolderLabel", tr("Graphics folder:"), "GraphicsFolderEdit",
                              "GraphicsFolderBtn");
    m_documentsFolder = addRow(2, "DocumentsFolderLabel", tr("Documents folder:"), "DocumentsFolderEdit",
                               "DocumentsFolderBtn");
    grid->addWidget(redNote(w, "FoldersNoteLabel",
                            tr("Specify the folders where you normally store graphic and document files so "
                               "that these folders will be opened automatically when you load and save "
                               "graphics and documents.")),
                    4, 0, 1, 2);
    grid->setRowStretch(5, 1);
    return w;
}

void TConfigForm::FormCreate()
{
    const TAppOptions &o = m_options;
    m_promptDelete->setChecked(o.PromptOnDelete);
    m_returnSelect->setChecked(o.SelectReturn);
    m_metricUnits->setChecked(o.MetricUnits);
    m_reduceGraphics->setChecked(o.ReduceColor);
    m_showDesignWizard->setChecked(o.ShowDesignWizard);
    m_saveProperties->setChecked(o.SaveProperties);
    m_gridSize->setText(QString::number(o.GridSize));
    m_displayGrid->setChecked(o.ShowGrid);
    m_snapToGrid->setChecked(o.SnapToGrid);
    m_cropMarks->setChecked(o.CropMarks);
    m_setOrientation->setChecked(o.SetOrientation);
    m_graphicsFolder->setText(o.GraphicFolder);
    m_documentsFolder->setText(o.DocumentsFolder);
    m_customList->clear();
    m_customList->addItems(o.CustomTexts);
}

void TConfigForm::OkBtnClick()
{
    const std::optional<int> gridSize = GridSizeFromText(m_gridSize->text());
    if (!gridSize) {
        m_pages->setCurrentWidget(m_gridSize->parentWidget());
        m_gridSize->setFocus();
        m_gridSize->selectAll();
        if (showError)
            showError(GridSizeMessage());
        return;
    }
    TAppOptions &o = m_options;
    o.PromptOnDelete = m_promptDelete->isChecked();
    o.SelectReturn = m_returnSelect->isChecked();
    o.MetricUnits = m_metricUnits->isChecked();
    o.ReduceColor = m_reduceGraphics->isChecked();
    o.ShowDesignWizard = m_showDesignWizard->isChecked();
    o.SaveProperties = m_saveProperties->isChecked();
    o.GridSize = *gridSize;
    o.ShowGrid = m_displayGrid->isChecked();
    o.SnapToGrid = m_snapToGrid->isChecked();
    o.CropMarks = m_cropMarks->isChecked();
    o.SetOrientation = m_setOrientation->isChecked();
    o.GraphicFolder = m_graphicsFolder->text();
    o.DocumentsFolder = m_documentsFolder->text();
    o.CustomTexts.clear();
    for (int i = 0; i < m_customList->count(); ++i)
        o.CustomTexts.append(m_customList->item(i)->text());
    accept();
}

void TConfigForm::CustomFieldMemoChange()
{
    m_addBtn->setEnabled(!m_customMemo->toPlainText().isEmpty());
}

void TConfigForm::AddBtnClick()
{
    m_customList->addItem(m_customMemo->toPlainText());
    m_addBtn->setEnabled(false);
}

void TConfigForm::NewBtnClick()
{
    m_customMemo->clear();
}

void TConfigForm::DeleteBtnClick()
{
    QListWidgetItem *item = m_customList->currentItem();
    if (!item || !item->isSelected())
        return;
    if (confirm && confirm(tr("Delete the selected text.\n\nAre you sure?")))
        delete m_customList->takeItem(m_customList->row(item));
}

void TConfigForm::browseInto(QLineEdit *edit)
{
    if (!pickFolder)
        return;
    const QString folder = pickFolder(edit->text());
    if (!folder.isEmpty())
        edit->setText(folder);
}

} // namespace app
