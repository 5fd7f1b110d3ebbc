#include "editing/ui/PropertyEditor.h"

#include "app/AppOptions.h"
#include "document/ui/MDIChildForm.h"
#include "editing/Selection.h"
#include "editing/ui/EditorWidgets.h"
#include "model/SurfaceItem.h"
#include "model/TObjectData.h"
#include "model/TObjectManager.h"
#include "pictures/ui/PickPicForm.h"
#include "render/TextStyles.h"
#include "vardata/TextSource.h"
#include "vardata/ui/ChooseSymbolForm.h"
#include "vardata/ui/PickTextForm.h"
#include "vardata/ui/VarTextForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace editing {

using document::TMDIChildForm;

namespace {

template <typename W>
W *named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

// A text edit shows line breaks as line feeds; the object keeps carriage return and line
// feed, as the renderer and the files expect.
QString toStored(QString s)
{
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return s;
}
QString toShown(QString s)
{
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return s;
}

void bindCombo(QComboBox *combo, QLabel *label, const render::ComboModel &m, const render::LabelModel *lm)
{
    const QSignalBlocker block(combo);
    combo->clear();
    for (int i = 0; i < m.items.size(); ++i)
        combo->addItem(m.items.at(i), m.values.value(i));
    combo->setCurrentIndex(m.currentIndex);
    combo->setVisible(m.visible);
    if (label && lm) {
        label->setText(lm->text);
        label->setVisible(lm->visible);
    }
}

render::ComboModel comboModel(const QComboBox *combo)
{
    render::ComboModel m;
    for (int i = 0; i < combo->count(); ++i)
        m.add(combo->itemText(i), combo->itemData(i).toInt());
    m.currentIndex = combo->currentIndex();
    m.visible = !combo->isHidden();
    return m;
}

} // namespace

TPropertyEditor::TPropertyEditor(QWidget *parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("PropertyEditorPageControl"));
    m_binding = true;
    addTab(m_generalSheet = buildGeneralSheet(), QStringLiteral("General"));
    addTab(m_textSheet = buildTextSheet(), QStringLiteral("Text"));
    addTab(m_textPropSheet = buildTextPropSheet(), QStringLiteral("Text Properties"));
    addTab(m_shapeSheet = buildShapeSheet(), QStringLiteral("&Shape"));
    addTab(m_graphicSheet = buildGraphicSheet(), QStringLiteral("&Graphic"));
    showPages(' ');
    m_binding = false;
}

TPropertyEditor::~TPropertyEditor() = default;

// ---------------------------------------------------------------- construction

QWidget *TPropertyEditor::buildGeneralSheet()
{
    auto *page = named(new QWidget, "GeneralSheet");
    auto *v = new QVBoxLayout(page);
    auto *size = new QGroupBox(QStringLiteral("&Size and Position"), page);
    auto *form = new QFormLayout(size);
    m_left = named(new QLineEdit(size), "GeneralLeftEdit");
    m_top = named(new QLineEdit(size), "GeneralTopEdit");
    m_width = named(new QLineEdit(size), "GeneralWidthEdit");
    m_height = named(new QLineEdit(size), "GeneralHeightEdit");
    form->addRow(QStringLiteral("&Left:"), m_left);
    form->addRow(QStringLiteral("&Top:"), m_top);
    form->addRow(QStringLiteral("&Width:"), m_width);
    form->addRow(QStringLiteral("&Height:"), m_height);
    v->addWidget(size);
    auto *ext = new QGroupBox(QStringLiteral("Extended Style"), page);
    auto *ev = new QVBoxLayout(ext);
    m_nonPrinting = named(new QCheckBox(QStringLiteral("&Non-Printing"), ext), "GeneralNonPrintingCheck");
    m_locked = named(new QCheckBox(QStringLiteral("&Locked"), ext), "GeneralLockedCheck");
    ev->addWidget(m_nonPrinting);
    ev->addWidget(m_locked);
    v->addWidget(ext);
    m_applyBtn = named(new QPushButton(QStringLiteral("&Apply"), page), "ApplyBtn");
    m_applyBtn->setDefault(true);
    m_applyBtn->hide();
    v->addStretch();

    for (QLineEdit *e : {m_left, m_top, m_width, m_height})
        e->installEventFilter(this);
    connect(m_nonPrinting, &QCheckBox::clicked, this, &TPropertyEditor::ApplyBtnClick);
    connect(m_locked, &QCheckBox::clicked, this, &TPropertyEditor::ApplyBtnClick);
    connect(m_applyBtn, &QPushButton::clicked, this, &TPropertyEditor::ApplyBtnClick);
    return page;
}

QWidget *TPropertyEditor::buildTextSheet()
{
    auto *page = named(new QWidget, "TextSheet");
    auto *v = new QVBoxLayout(page);
    auto *group = new QGroupBox(QStringLiteral("Choose how to display the text..."), page);
    auto *g = new QGridLayout(group);
    m_singleRadio = named(new QRadioButton(QStringLiteral("Specify the &same text for all elements"), group),
                          "SingleTextRadio");
    m_memo = named(new QPlainTextEdit(group), "TextMemo");
    m_memo->setTabChangesFocus(true);
    m_pickTextBtn = named(new QPushButton(QStringLiteral("&Pick Text"), group), "PickTextBtn");
    m_symbolBtn = named(new QPushButton(QStringLiteral("&Symbol"), group), "SymbolBtn");
    m_varRadio = named(new QRadioButton(QStringLiteral("Specify a &list of text"), group), "VarTextRadio");
    m_varTextBtn = named(new QPushButton(QStringLiteral("&Edit..."), group), "VarTextBtn");
    m_varTextList = named(new QListWidget(group), "VarTextList");
    m_varTextList->hide();
    m_counterRadio = named(new QRadioButton(QStringLiteral("Use a &counter with a minimum of "), group), "CounterRadio");
    m_counterLength = named(new QLineEdit(group), "CounterLengthEdit");
    m_counterStart = named(new QLineEdit(group), "CounterStartEdit");
    m_dbRadio = named(new QRadioButton(QStringLiteral("Use a field from a &database"), group), "DBRadio");
    m_dbFieldCombo = named(new QComboBox(group), "DBFieldCombo");
    m_dbFileBtn = named(new QPushButton(QStringLiteral("DB File..."), group), "DBFileBtn");

    int row = 0;
    g->addWidget(m_singleRadio, row++, 0, 1, 3);
    g->addWidget(m_memo, row, 0, 2, 2);
    g->addWidget(m_pickTextBtn, row++, 2);
    g->addWidget(m_symbolBtn, row++, 2);
    g->addWidget(m_varRadio, row, 0, 1, 2);
    g->addWidget(m_varTextBtn, row++, 2);
    g->addWidget(m_counterRadio, row++, 0, 1, 3);
    auto *counterRow = new QHBoxLayout;
    counterRow->addWidget(m_counterLength);
    counterRow->addWidget(new QLabel(QStringLiteral("digits, starting at"), group));
    counterRow->addWidget(m_counterStart);
    g->addLayout(counterRow, row++, 0, 1, 3);
    g->addWidget(m_dbRadio, row++, 0, 1, 3);
    g->addWidget(m_dbFieldCombo, row, 0, 1, 2);
    g->addWidget(m_dbFileBtn, row++, 2);
    v->addWidget(group);
    v->addStretch();
    // The data-file source is not offered: a field marker in a design reads as plain text.
    m_dbRadio->hide();
    m_dbFieldCombo->hide();
    m_dbFileBtn->hide();

    m_memo->installEventFilter(this);
    m_counterLength->installEventFilter(this);
    m_counterStart->installEventFilter(this);
    connect(m_memo, &QPlainTextEdit::textChanged, this, &TPropertyEditor::ApplyBtnClick);
    connect(m_dbFieldCombo, &QComboBox::currentIndexChanged, this, &TPropertyEditor::ApplyBtnClick);
    for (QRadioButton *r : {m_singleRadio, m_varRadio, m_counterRadio, m_dbRadio})
        connect(r, &QRadioButton::clicked, this, [this, r] { TextRadiosClick(r); });
    connect(m_varTextBtn, &QPushButton::clicked, this, &TPropertyEditor::VarTextBtnClick);
    connect(m_pickTextBtn, &QPushButton::clicked, this, &TPropertyEditor::PickTextBtnClick);
    connect(m_symbolBtn, &QPushButton::clicked, this, &TPropertyEditor::SymbolBtnClick);
    m_singleRadio->setChecked(true);
    enableSourceControls();
    return page;
}

QWidget *TPropertyEditor::buildTextPropSheet()
{
    auto *page = named(new QWidget, "TextPropSheet");
    auto *g = new QGridLayout(page);
    int row = 0;
    m_fontCombo = named(new QComboBox(page), "TextFontCombo");
    m_fontCombo->addItems(QFontDatabase::families());
    m_fontBtn = named(new QPushButton(QStringLiteral("..."), page), "FontBtn");
    m_fontBtn->setMaximumWidth(28);
    m_fontSizeCombo = named(new QComboBox(page), "TextFontSizeCombo");
    m_fontSizeCombo->setEditable(true);
    for (int s = 6; s <= 48; s += 2)
        m_fontSizeCombo->addItem(QString::number(s));
    m_fontSizeCombo->addItem(QString());
    g->addWidget(m_fontCombo, row, 0, 1, 3);
    g->addWidget(m_fontBtn, row, 3);
    g->addWidget(m_fontSizeCombo, row++, 4);

    m_textFG = named(new ColorCombo(page), "TextColorFGCombo");
    m_textBG = named(new ColorCombo(page), "TextColorBGCombo");
    g->addWidget(new QLabel(QStringLiteral("Text &Color:"), page), row, 0);
    g->addWidget(m_textFG, row++, 1, 1, 4);
    g->addWidget(new QLabel(QStringLiteral("&Shadow Color:"), page), row, 0);
    g->addWidget(m_textBG, row++, 1, 1, 4);

    m_bold = named(new QCheckBox(QStringLiteral("&Bold"), page), "BoldCheck");
    m_italic = named(new QCheckBox(QStringLiteral("&Italic"), page), "ItalicCheck");
    m_underline = named(new QCheckBox(QStringLiteral("&Underline"), page), "UnderlineCheck");
    m_strikeout = named(new QCheckBox(QStringLiteral("&Strikeout"), page), "StrikeoutCheck");
    g->addWidget(m_bold, row, 0, 1, 2);
    g->addWidget(m_italic, row++, 2, 1, 3);
    g->addWidget(m_underline, row, 0, 1, 2);
    g->addWidget(m_strikeout, row++, 2, 1, 3);

    m_styleCombo = named(new QComboBox(page), "TextStyleCombo");
    g->addWidget(new QLabel(QStringLiteral("Style"), page), row, 0);
    g->addWidget(m_styleCombo, row++, 1, 1, 4);
    m_param1Label = named(new QLabel(page), "TextParam1Label");
    m_param1 = named(new QComboBox(page), "TextParam1Combo");
    m_param2Label = named(new QLabel(page), "TextParam2Label");
    m_param2 = named(new QComboBox(page), "TextParam2Combo");
    m_param3Label = named(new QLabel(page), "TextParam3Label");
    m_param3 = named(new QComboBox(page), "TextParam3Combo");
    g->addWidget(m_param1Label, row, 0);
    g->addWidget(m_param1, row++, 1, 1, 4);
    g->addWidget(m_param2Label, row, 0);
    g->addWidget(m_param2, row++, 1, 1, 4);
    g->addWidget(m_param3Label, row, 0);
    g->addWidget(m_param3, row++, 1, 1, 4);

    auto *shadow = new QGroupBox(QStringLiteral("Shadow"), page);
    auto *sh = new QHBoxLayout(shadow);
    m_shadowDX = named(new QComboBox(shadow), "TextShadowDXCombo");
    m_shadowDY = named(new QComboBox(shadow), "TextShadowDYCombo");
    for (int d = -10; d <= 10; ++d) {
        m_shadowDX->addItem(QString::number(d));
        m_shadowDY->addItem(QString::number(d));
    }
    m_shadowDX->setCurrentIndex(10);
    m_shadowDY->setCurrentIndex(10);
    sh->addWidget(new QLabel(QStringLiteral("X:"), shadow));
    sh->addWidget(m_shadowDX);
    sh->addWidget(new QLabel(QStringLiteral("Y:"), shadow));
    sh->addWidget(m_shadowDY);
    g->addWidget(shadow, row, 0, 2, 3);

    auto *rot = new QHBoxLayout;
    m_rotation = named(new QLineEdit(QStringLiteral("0"), page), "TextRotationEdit");
    auto *up = named(new QToolButton(page), "TextRotationUpBtn");
    up->setArrowType(Qt::UpArrow);
    auto *down = named(new QToolButton(page), "TextRotationDownBtn");
    down->setArrowType(Qt::DownArrow);
    rot->addWidget(new QLabel(QStringLiteral("Rotation:"), page));
    rot->addWidget(m_rotation);
    rot->addWidget(up);
    rot->addWidget(down);
    g->addLayout(rot, row++, 3, 1, 2);
    m_justify = named(new RadioGroup(QStringLiteral("&Justification"),
                                     {QStringLiteral("&Left"), QStringLiteral("&Center"), QStringLiteral("&Right")}, page),
                      "TextJustifyRadioGroup");
    m_justify->setItemIndex(0);
    g->addWidget(m_justify, row++, 3, 1, 2);
    g->setRowStretch(row, 1);

    render::TextStyleControls c;
    render::FillTextStyleControls(c, 1);
    bindStyleModel(c);

    connect(m_fontCombo, &QComboBox::currentIndexChanged, this, &TPropertyEditor::ApplyBtnClick);
    connect(m_fontSizeCombo, &QComboBox::currentTextChanged, this, &TPropertyEditor::ApplyBtnClick);
    for (ColorCombo *cc : {m_textFG, m_textBG})
        connect(cc, &QComboBox::currentIndexChanged, this, &TPropertyEditor::ApplyBtnClick);
    for (QCheckBox *b : {m_bold, m_italic, m_underline, m_strikeout})
        connect(b, &QCheckBox::clicked, this, &TPropertyEditor::ApplyBtnClick);
    for (QComboBox *cb : {m_shadowDX, m_shadowDY, m_param1, m_param2, m_param3})
        connect(cb, &QComboBox::currentIndexChanged, this, &TPropertyEditor::ApplyBtnClick);
    connect(m_justify, &RadioGroup::itemClicked, this, &TPropertyEditor::ApplyBtnClick);
    connect(m_styleCombo, &QComboBox::currentIndexChanged, this, &TPropertyEditor::TextStyleComboChange);
    connect(m_rotation, &QLineEdit::textChanged, this, &TPropertyEditor::TextRotationEditChange);
    connect(up, &QToolButton::clicked, this, [this] { rotationStep(1); });
    connect(down, &QToolButton::clicked, this, [this] { rotationStep(-1); });
    connect(m_fontBtn, &QPushButton::clicked, this, &TPropertyEditor::FontBtnClick);
    return page;
}

QWidget *TPropertyEditor::buildShapeSheet()
{
    auto *page = named(new QWidget, "ShapeSheet");
    auto *g = new QGridLayout(page);
    m_shapeFG = named(new ColorCombo(page), "ShapeColorFGCombo");
    m_shapeBG = named(new ColorCombo(page), "ShapeColorBGCombo");
    m_shapeBGLabel = named(new QLabel(QStringLiteral("&Background:"), page), "ShapeColorBGLabel");
    m_shapeBGLabel->setBuddy(m_shapeBG);
    m_lineSize = named(new QComboBox(page), "ShapeLineSizeCombo");
    for (int i = 1; i <= 6; ++i)
        m_lineSize->addItem(QString::number(i));
    g->addWidget(new QLabel(QStringLiteral("&Color:"), page), 0, 0);
    g->addWidget(m_shapeFG, 0, 1);
    g->addWidget(m_shapeBGLabel, 1, 0);
    g->addWidget(m_shapeBG, 1, 1);
    g->addWidget(new QLabel(QStringLiteral("&Line Size:"), page), 2, 0);
    g->addWidget(m_lineSize, 2, 1);
    m_shapeStyle = named(new RadioGroup(QStringLiteral("&Style"),
                                        {QStringLiteral("&Normal"), QStringLiteral("&Filled"), QStringLiteral("&Shadow")},
                                        page),
                         "ShapeStyleRadioGroup");
    m_lineType = named(new RadioGroup(QStringLiteral("Line &Type"),
                                      {QStringLiteral("Horizontal ( - )"), QStringLiteral("Vertical ( | )"),
                                       QStringLiteral("Slanted Up ( / )"), QStringLiteral("Slanted Down ( \\ )")},
                                      page),
                       "ShapeLineTypeRadioGroup");
    g->addWidget(m_shapeStyle, 3, 0, 1, 2);
    g->addWidget(m_lineType, 4, 0, 1, 2);
    g->setRowStretch(5, 1);
    for (ColorCombo *cc : {m_shapeFG, m_shapeBG})
        connect(cc, &QComboBox::currentIndexChanged, this, &TPropertyEditor::ApplyBtnClick);
    connect(m_lineSize, &QComboBox::currentIndexChanged, this, &TPropertyEditor::ApplyBtnClick);
    connect(m_shapeStyle, &RadioGroup::itemClicked, this, &TPropertyEditor::ApplyBtnClick);
    connect(m_lineType, &RadioGroup::itemClicked, this, &TPropertyEditor::ApplyBtnClick);
    return page;
}

QWidget *TPropertyEditor::buildGraphicSheet()
{
    auto *page = named(new QWidget, "GraphicSheet");
    auto *v = new QVBoxLayout(page);
    auto *group = new QGroupBox(QStringLiteral("Properties"), page);
    auto *form = new QFormLayout(group);
    m_picType = named(new QLabel(group), "PicTypeLabel");
    m_picSize = named(new QLabel(group), "PicSizeLabel");
    form->addRow(QStringLiteral("Graphic Type:"), m_picType);
    form->addRow(QStringLiteral("Actual Size (pixels):"), m_picSize);
    m_picPropPanel = named(new QWidget(group), "PicPropPanel");
    auto *pf = new QFormLayout(m_picPropPanel);
    pf->setContentsMargins(0, 0, 0, 0);
    m_picDepth = named(new QLabel(m_picPropPanel), "PicColorDepthLabel");
    m_picStoreSize = named(new QLabel(m_picPropPanel), "PicStoreSizeLabel");
    pf->addRow(QStringLiteral("Color Depth:"), m_picDepth);
    pf->addRow(QStringLiteral("Size:"), m_picStoreSize);
    form->addRow(m_picPropPanel);
    v->addWidget(group);
    m_pictureBtn = named(new QPushButton(QStringLiteral("&Picture..."), page), "GraphicPictureBtn");
    v->addWidget(m_pictureBtn);
    v->addStretch();
    connect(m_pictureBtn, &QPushButton::clicked, this, &TPropertyEditor::GraphicPictureBtnClick);
    return page;
}

// ---------------------------------------------------------------- helpers

void TPropertyEditor::showPages(char kind)
{
    setTabVisible(indexOf(m_generalSheet), kind != ' ');
    setTabVisible(indexOf(m_textSheet), kind == 'T');
    setTabVisible(indexOf(m_textPropSheet), kind == 'T');
    setTabVisible(indexOf(m_shapeSheet), kind == 'S');
    setTabVisible(indexOf(m_graphicSheet), kind == 'G');
    if (kind == 'T')
        setCurrentWidget(m_textSheet);
    else if (kind == 'S')
        setCurrentWidget(m_shapeSheet);
    else if (kind == 'G')
        setCurrentWidget(m_graphicSheet);
}

void TPropertyEditor::bindStyleModel(const render::TextStyleControls &c)
{
    bindCombo(m_styleCombo, nullptr, c.TextStyleCombo, nullptr);
    bindCombo(m_param1, m_param1Label, c.TextParam1Combo, &c.TextParam1Label);
    bindCombo(m_param2, m_param2Label, c.TextParam2Combo, &c.TextParam2Label);
    bindCombo(m_param3, m_param3Label, c.TextParam3Combo, &c.TextParam3Label);
}

render::TextStyleControls TPropertyEditor::styleModel() const
{
    render::TextStyleControls c;
    c.TextStyleCombo = comboModel(m_styleCombo);
    c.TextParam1Combo = comboModel(m_param1);
    c.TextParam2Combo = comboModel(m_param2);
    c.TextParam3Combo = comboModel(m_param3);
    c.TextParam1Label = {m_param1Label->text(), !m_param1Label->isHidden()};
    c.TextParam2Label = {m_param2Label->text(), !m_param2Label->isHidden()};
    c.TextParam3Label = {m_param3Label->text(), !m_param3Label->isHidden()};
    return c;
}

bool TPropertyEditor::guarded() const
{
    if (m_binding || !m_doc)
        return true;
    if (m_listsFilling && m_listsFilling())
        return true;
    return m_doc->editorUpdating();
}

model::SurfaceItem *TPropertyEditor::selectedItem(TMDIChildForm *doc) const
{
    if (!doc)
        return nullptr;
    const auto items = doc->selection()->items();
    return items.isEmpty() ? nullptr : items.first();
}

QByteArray TPropertyEditor::snapshot(TMDIChildForm *doc) const
{
    if (!doc)
        return {};
    model::SurfaceItem *item = doc->selection()->single();
    QByteArray key = QByteArray::number(quintptr(doc)) + ':' + QByteArray::number(doc->zoom()) + ':';
    if (!item || !item->data())
        return key + QByteArray::number(doc->selection()->count());
    return key + QByteArray::number(item->id()) + ':' + item->data()->toRecord(doc->zoom());
}

void TPropertyEditor::remember(TMDIChildForm *doc)
{
    m_shown = snapshot(doc);
}

void TPropertyEditor::setMemoText(const QString &text)
{
    const QString shown = toShown(text);
    if (m_memo->toPlainText() == shown)
        return;
    const QSignalBlocker block(m_memo);
    m_memo->setPlainText(shown);
}

QString TPropertyEditor::memoText() const
{
    return toStored(m_memo->toPlainText());
}

void TPropertyEditor::setDocument(TMDIChildForm *doc)
{
    m_doc = doc;
}

// ---------------------------------------------------------------- filling

void TPropertyEditor::FillPropertyEditor(TMDIChildForm *doc, bool resetPage)
{
    if (!doc)
        return;
    m_doc = doc;
    doc->setEditorUpdating(true);
    model::SurfaceItem *item = doc->selection()->single();
    if (item && item->data()) {
        if (m_objectCombo) {
            const QSignalBlocker block(m_objectCombo.data());
            m_objectCombo->setCurrentIndex(m_objectCombo->findText(item->name()));
        }
        if (m_propertyPanel)
            m_propertyPanel->show();
        const QRect frame = SelectionFrame(item->bounds());
        const int zoom = doc->zoom();
        m_left->setText(QString::number(FrameUnits(frame.x(), zoom)));
        m_top->setText(QString::number(FrameUnits(frame.y(), zoom)));
        m_width->setText(QString::number(FrameUnits(frame.width(), zoom)));
        m_height->setText(QString::number(FrameUnits(frame.height(), zoom)));
        const model::TObjectData *data = item->data();
        m_nonPrinting->setChecked(data->nonPrinting());
        m_locked->setChecked(data->locked());

        if (item->type() == model::SurfaceItem::Type::Image) {
            if (resetPage || doc->sheetKind() != 'G') {
                showPages('G');
                doc->setSheetKind('G');
            }
            fillGraphic(item);
        } else if (data->isText()) {
            saveDefaults(item);
            if (resetPage || doc->sheetKind() != 'T') {
                showPages('T');
                doc->setSheetKind('T');
            }
            fillText(item);
        } else if (data->isShape()) {
            saveDefaults(item);
            if (resetPage || doc->sheetKind() != 'S') {
                showPages('S');
                doc->setSheetKind('S');
            }
            fillShape(item);
        } else if (doc->sheetKind() != ' ') {
            // Embedded objects show their position only.
            setTabVisible(indexOf(m_textSheet), false);
            setTabVisible(indexOf(m_textPropSheet), false);
            setTabVisible(indexOf(m_shapeSheet), false);
            setTabVisible(indexOf(m_graphicSheet), false);
            setTabVisible(indexOf(m_generalSheet), true);
            setCurrentWidget(m_generalSheet);
            doc->setSheetKind(' ');
        }
    } else {
        if (m_objectCombo) {
            const QSignalBlocker block(m_objectCombo.data());
            m_objectCombo->setCurrentIndex(-1);
        }
        if (m_propertyPanel)
            m_propertyPanel->hide();
        doc->setSheetKind(' ');
    }
    doc->setEditorUpdating(false);
    remember(doc);
}

void TPropertyEditor::saveDefaults(const model::SurfaceItem *item)
{
    if (!m_options || !m_options->SaveProperties || !m_doc)
        return;
    const model::TObjectData *d = item->data();
    const plat::LogFont *font = d->Font ? &*d->Font : nullptr;
    m_doc->doc()->manager()->SetDefaults(d->Kind, d->ColorFG, d->ColorBG, d->Style, d->LineSize, d->Reserved, font,
                                         d->TextStyle, d->ShadowDX, d->ShadowDY, d->Rotation);
}

void TPropertyEditor::fillText(const model::SurfaceItem *item)
{
    const model::TObjectData *d = item->data();
    m_varTextList->clear();
    m_varTextList->addItems(d->Lines);
    setMemoText(d->Lines.value(0));
    enableSourceControls();

    const plat::LogFont font = d->Font.value_or(plat::LogFont::fromPoints(QStringLiteral("Arial"), 12));
    m_fontCombo->setCurrentIndex(m_fontCombo->findText(font.face(), Qt::MatchFixedString));
    m_fontSizeCombo->setCurrentText(QString::number(font.points()));
    m_textFG->setColor(d->ColorFG);
    m_textBG->setColor(d->ColorBG);
    m_shadowDX->setCurrentIndex(d->ShadowDX + 10);
    m_shadowDY->setCurrentIndex(d->ShadowDY + 10);
    m_rotation->setText(QString::number(d->Rotation / 10));
    render::TextStyleControls c;
    render::FillTextStyleControls(c, d->TextStyle);
    bindStyleModel(c);
    m_bold->setChecked(font.weight >= 600);
    m_italic->setChecked(font.italic != 0);
    m_underline->setChecked(font.underline != 0);
    m_strikeout->setChecked(font.strikeOut != 0);
    m_justify->setItemIndex(ThreeWayIndex(d->Style));
    m_justify->setVisible(m_rotation->text() == QLatin1String("0"));
    m_dbFieldCombo->setCurrentIndex(-1);
    readTextSource(d->Lines, m_doc && !m_doc->doc()->dataFileName().isEmpty());
}

void TPropertyEditor::fillShape(const model::SurfaceItem *item)
{
    const model::TObjectData *d = item->data();
    const bool line = d->Kind == model::ObjectKind::Line;
    if (line)
        m_lineType->setItemIndex(d->LineType >= 0 && d->LineType <= 3 ? d->LineType : -1);
    else
        m_shapeStyle->setItemIndex(ThreeWayIndex(d->Style));
    m_shapeStyle->setVisible(!line);
    m_shapeBG->setVisible(!line);
    m_shapeBGLabel->setVisible(!line);
    m_lineType->setVisible(line);
    m_lineSize->setCurrentIndex(d->LineSize - 1 >= 0 && d->LineSize - 1 < m_lineSize->count() ? d->LineSize - 1 : -1);
    m_shapeFG->setColor(d->ColorFG);
    m_shapeBG->setColor(d->ColorBG);
}

void TPropertyEditor::fillGraphic(const model::SurfaceItem *item)
{
    const PictureDescription p = DescribePicture(item->picture());
    m_picType->setText(p.type);
    m_picPropPanel->setVisible(p.bitmap);
    m_picDepth->setText(p.colorDepth);
    m_picStoreSize->setText(p.storeSize);
    m_picSize->setText(p.size);
}

void TPropertyEditor::syncWithDocument(TMDIChildForm *doc)
{
    if (doc != m_doc) {
        m_doc = doc;
        m_shown.clear();
    }
    if (!doc || doc->editorUpdating())
        return;
    if (snapshot(doc) != m_shown)
        FillPropertyEditor(doc, false);
}

// ---------------------------------------------------------------- applying

PropertyFields TPropertyEditor::readFields() const
{
    PropertyFields f;
    f.left = m_left->text();
    f.top = m_top->text();
    f.width = m_width->text();
    f.height = m_height->text();
    f.nonPrinting = m_nonPrinting->isChecked();
    f.locked = m_locked->isChecked();
    for (int i = 0; i < m_varTextList->count(); ++i)
        f.lines << m_varTextList->item(i)->text();
    f.fontFace = m_fontCombo->currentIndex() >= 0 ? m_fontCombo->currentText() : QString();
    f.fontSize = m_fontSizeCombo->currentText();
    f.textColor = m_textFG->color();
    f.shadowColor = m_textBG->color();
    f.shadowDXIndex = m_shadowDX->currentIndex();
    f.shadowDYIndex = m_shadowDY->currentIndex();
    f.rotation = m_rotation->text();
    f.textStyle = render::ReadTextStyle(comboModel(m_styleCombo), comboModel(m_param1), comboModel(m_param2),
                                        comboModel(m_param3));
    f.bold = m_bold->isChecked();
    f.italic = m_italic->isChecked();
    f.underline = m_underline->isChecked();
    f.strikeOut = m_strikeout->isChecked();
    f.justification = m_justify->itemIndex();
    f.lineType = m_lineType->itemIndex();
    f.shapeStyle = m_shapeStyle->itemIndex();
    f.lineSizeIndex = m_lineSize->currentIndex();
    f.shapeColor = m_shapeFG->color();
    f.shapeBackground = m_shapeBG->color();
    return f;
}

void TPropertyEditor::ApplyBtnClick()
{
    if (guarded())
        return;
    writeTextSource();
    ApplyProperties(m_doc);
}

void TPropertyEditor::ApplyProperties(TMDIChildForm *doc)
{
    if (!doc || doc->editorUpdating())
        return;
    model::SurfaceItem *item = selectedItem(doc);
    if (!item || !item->data())
        return;
    const int zoom = doc->zoom();
    QByteArray oldRecord = item->data()->toRecord(zoom);
    PropertyFields f = readFields();
    // A text always keeps at least the memo's string.
    if (item->data()->isText() && f.lines.isEmpty())
        f.lines << memoText();
    ApplyFieldsToItem(item, f, zoom);
    const model::TObjectData *d = item->data();
    if (d->isText() || d->isShape())
        saveDefaults(item);
    doc->doc()->manager()->RecordProperties(item, std::move(oldRecord), zoom);
    doc->doc()->setModified(true);
    remember(doc);
    emit designChanged();
}

// ---------------------------------------------------------------- field handlers

bool TPropertyEditor::eventFilter(QObject *watched, QEvent *event)
{
    const bool isEdit = watched == m_left || watched == m_top || watched == m_width || watched == m_height
                        || watched == m_counterLength || watched == m_counterStart;
    if (event->type() == QEvent::FocusOut && (isEdit || watched == m_memo)) {
        ApplyBtnClick();
    } else if (event->type() == QEvent::KeyPress && isEdit) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            PropertyKeyPress();
            return true; // swallowed
        }
    }
    return QTabWidget::eventFilter(watched, event);
}

void TPropertyEditor::PropertyKeyPress()
{
    ApplyBtnClick();
}

void TPropertyEditor::TextRotationEditChange()
{
    m_justify->setVisible(m_rotation->text() == QLatin1String("0"));
    ApplyBtnClick();
}

void TPropertyEditor::rotationStep(int delta)
{
    long long v = 0;
    if (!vardata::ParseWholeNumber(m_rotation->text(), &v))
        v = 0;
    long long next = v + delta;
    // The up-down runs from 0 to 359 and wraps around.
    if (next > 359)
        next = 0;
    else if (next < 0)
        next = 359;
    m_rotation->setText(QString::number(next));
}

void TPropertyEditor::TextStyleComboChange()
{
    if (m_binding)
        return;
    render::TextStyleControls c = styleModel();
    render::SetupTextStyleParams(c, 0, -1, -1);
    bindStyleModel(c);
    ApplyBtnClick();
}

void TPropertyEditor::FontBtnClick()
{
    if (guarded())
        return;
    ChooseFont(m_doc);
}

bool TPropertyEditor::ChooseFont(TMDIChildForm *doc)
{
    model::SurfaceItem *item = selectedItem(doc);
    if (!item || !item->data() || !item->data()->isText())
        return false;
    model::TObjectData *d = item->data();
    const int zoom = doc->zoom();
    QByteArray oldRecord = d->toRecord(zoom);
    const plat::LogFont current = d->Font.value_or(plat::LogFont::fromPoints(QStringLiteral("Arial"), 12));
    QFontDialog dlg(current.toQFont(), this);
    dlg.setObjectName(QStringLiteral("FontDialog"));
    dlg.setOption(QFontDialog::DontUseNativeDialog);
    dlg.setOption(QFontDialog::ScalableFonts);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    plat::LogFont chosen = plat::LogFont::fromQFont(dlg.selectedFont());
    // What the dialog does not set is kept as it was.
    chosen.escapement = current.escapement;
    chosen.orientation = current.orientation;
    chosen.charSet = current.charSet;
    d->Font = chosen;
    saveDefaults(item);
    if (item->surface())
        item->surface()->notifyItemChanged(item);
    doc->doc()->manager()->RecordProperties(item, std::move(oldRecord), zoom);
    doc->doc()->setModified(true);
    emit designChanged();
    return true;
}

void TPropertyEditor::GraphicPictureBtnClick()
{
    if (guarded())
        return;
    ChoosePicture(m_doc);
}

bool TPropertyEditor::ChoosePicture(TMDIChildForm *doc)
{
    model::SurfaceItem *item = selectedItem(doc);
    if (!item || !item->data() || item->type() != model::SurfaceItem::Type::Image)
        return false;
    bool accepted = false;
    const plat::Picture picked =
        pictures::pickPicture(this, item->picture(), false, &accepted, m_options ? m_options->ReduceColor : true,
                              m_options ? m_options->GraphicFolder : QString());
    // A graphic never exists without a picture: an empty result changes nothing.
    if (!accepted || picked.isNull())
        return false;
    const int zoom = doc->zoom();
    QByteArray oldRecord = item->data()->toRecord(zoom);
    item->setPicture(picked);
    doc->doc()->manager()->RecordProperties(item, std::move(oldRecord), zoom);
    FillPropertyEditor(doc, false);
    doc->doc()->setModified(true);
    emit designChanged();
    return true;
}

// ---------------------------------------------------------------- text sources

void TPropertyEditor::readTextSource(const QStringList &lines, bool hasDataFile)
{
    const vardata::TextSourceView v = vardata::ReadTextSource(lines, hasDataFile);
    switch (v.kind) {
    case vardata::TextSourceKind::List:
        m_varRadio->setChecked(true);
        break;
    case vardata::TextSourceKind::Counter:
        m_counterLength->setText(v.counterLength);
        m_counterStart->setText(v.counterStart);
        m_counterRadio->setChecked(true);
        break;
    case vardata::TextSourceKind::Field:
        m_dbRadio->setChecked(true);
        m_dbFieldCombo->setCurrentIndex(m_dbFieldCombo->findText(v.fieldName));
        break;
    case vardata::TextSourceKind::Single:
        m_singleRadio->setChecked(true);
        break;
    }
    enableSourceControls();
    if (!m_counterRadio->isChecked()) {
        m_counterLength->clear();
        m_counterStart->clear();
    }
}

void TPropertyEditor::writeTextSource()
{
    if (m_counterRadio->isChecked())
        setMemoText(vardata::CounterMarker(m_counterLength->text(), m_counterStart->text()));
    else if (m_dbRadio->isChecked())
        setMemoText(vardata::FieldMarker(m_dbFieldCombo->currentText()));
    const QString text = memoText();
    if (m_varTextList->count() == 0)
        m_varTextList->addItem(text);
    else
        m_varTextList->item(0)->setText(text);
}

void TPropertyEditor::enableSourceControls()
{
    const bool single = m_singleRadio->isChecked();
    m_memo->setEnabled(single);
    m_pickTextBtn->setEnabled(single);
    m_varTextBtn->setEnabled(m_varRadio->isChecked());
    m_counterLength->setEnabled(m_counterRadio->isChecked());
    m_counterStart->setEnabled(m_counterRadio->isChecked());
    m_dbFieldCombo->setEnabled(m_dbRadio->isChecked());
    m_dbFileBtn->setEnabled(m_dbRadio->isChecked());
}

void TPropertyEditor::TextRadiosClick(QRadioButton *chosen)
{
    if (!m_doc)
        return;
    m_doc->setEditorUpdating(true);
    if (chosen == m_dbRadio) {
        // No data file can be linked from here: the link command always fails, so the
        // question repeats until it is answered No.
        while (m_dbFieldCombo->count() == 0) {
            const auto answer = QMessageBox::question(
                this, QStringLiteral("Confirm"),
                QStringLiteral("There is currently no DB file linked to this design.\n\nWould you like to link one now?"),
                QMessageBox::Yes | QMessageBox::No);
            if (answer != QMessageBox::Yes)
                break;
        }
        if (m_dbFieldCombo->count() == 0)
            m_singleRadio->setChecked(true);
    } else if (m_varTextList->count() > 1 && !m_varRadio->isChecked()) {
        const auto answer = QMessageBox::question(
            this, QStringLiteral("Confirm"),
            QStringLiteral("Unchecking the Variable Text option will erase all variable text items.\n\nAre you sure?"),
            QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes)
            m_varTextList->clear();
        else
            m_varRadio->setChecked(true);
    }
    enableSourceControls();
    if (!m_counterRadio->isChecked()) {
        m_counterLength->clear();
        m_counterStart->clear();
    }
    if (!m_dbRadio->isChecked()) {
        const QSignalBlocker block(m_dbFieldCombo);
        m_dbFieldCombo->setCurrentIndex(-1);
    }
    if (m_doc)
        m_doc->setEditorUpdating(false);
}

void TPropertyEditor::VarTextBtnClick()
{
    if (!m_doc)
        return;
    QStringList items;
    for (int i = 0; i < m_varTextList->count(); ++i)
        items << m_varTextList->item(i)->text();
    m_doc->setEditorUpdating(true);
    vardata::TVarTextForm form(items, m_options ? m_options->CustomTexts : QStringList(), this);
    const bool ok = form.exec() == QDialog::Accepted;
    const QStringList result = form.items();
    if (!m_doc)
        return;
    if (ok && !result.isEmpty()) {
        m_varTextList->clear();
        m_varTextList->addItems(result);
        setMemoText(result.first());
        m_doc->setEditorUpdating(false);
        ApplyBtnClick();
    }
    m_doc->setEditorUpdating(false);
}

void TPropertyEditor::PickTextBtnClick()
{
    QString text;
    if (!vardata::TPickTextForm::pick(this, m_options ? m_options->CustomTexts : QStringList(), &text))
        return;
    setMemoText(text);
    ApplyBtnClick();
}

void TPropertyEditor::SymbolBtnClick()
{
    vardata::TChooseSymbolForm form(this);
    if (form.exec() != QDialog::Accepted)
        return;
    const QChar c = form.chosenCharacter();
    if (c.isNull())
        return;
    {
        const QSignalBlocker block(m_fontCombo);
        const int index = m_fontCombo->findText(form.chosenFont(), Qt::MatchFixedString);
        if (index >= 0)
            m_fontCombo->setCurrentIndex(index);
    }
    setMemoText(QString(c));
    ApplyBtnClick();
}

} // namespace editing
