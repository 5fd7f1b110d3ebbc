#pragma once
// The property editor's pages: every property of the one selected object of the active
// design, applied to the object as soon as a field changes (one undo entry per change).
// The page set follows the object's kind: General plus Text and Text Properties for texts,
// Shape for lines, boxes, round boxes and ellipses, Graphic for graphics.

#include "editing/PropertyRules.h"

#include <QByteArray>
#include <QComboBox>
#include <QPointer>
#include <QTabWidget>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace app {
struct TAppOptions;
}
namespace document {
class TMDIChildForm;
}
namespace model {
class SurfaceItem;
}
namespace render {
struct TextStyleControls;
}

namespace editing {

class ColorCombo;
class RadioGroup;

class TPropertyEditor : public QTabWidget {
    Q_OBJECT
public:
    explicit TPropertyEditor(QWidget *parent = nullptr);
    ~TPropertyEditor() override;

    // What the editor needs of the main window: its options, its lists-filling flag and
    // its object list (which the editor only selects in).
    void setOptions(const app::TAppOptions *options) { m_options = options; }
    void setListsFillingQuery(std::function<bool()> query) { m_listsFilling = std::move(query); }
    void setObjectCombo(QComboBox *combo) { m_objectCombo = combo; }
    // The panel shown only while exactly one object is selected (the page control's parent
    // in the main window; may be null).
    void setPropertyPanel(QWidget *panel) { m_propertyPanel = panel; }

    // The document the editor works on (the active document window, or null).
    void setDocument(document::TMDIChildForm *doc);
    document::TMDIChildForm *document() const { return m_doc; }

    // Shows the selection of `doc`. With resetPage the page of the object's kind is made
    // active even when the same kind was shown before.
    void FillPropertyEditor(document::TMDIChildForm *doc, bool resetPage);
    // Writes the fields into the selected object: one undo entry, the design modified.
    void ApplyProperties(document::TMDIChildForm *doc);
    // Refills the fields when the object shown was changed by something other than the
    // editor (a drag, undo, another selection); cheap enough to run on every command
    // refresh. Applying never refills.
    void syncWithDocument(document::TMDIChildForm *doc);

    // The Apply of every field: writes the text source, then ApplyProperties.
    void ApplyBtnClick();
    // The font dialog and the picture dialog of the selected object.
    bool ChooseFont(document::TMDIChildForm *doc);
    bool ChoosePicture(document::TMDIChildForm *doc);

    // The fields as they stand (tests and the apply).
    PropertyFields readFields() const;

signals:
    // A change was applied to the design (the main window refreshes its commands).
    void designChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildGeneralSheet();
    QWidget *buildTextSheet();
    QWidget *buildTextPropSheet();
    QWidget *buildShapeSheet();
    QWidget *buildGraphicSheet();
    void showPages(char kind);
    void fillText(const model::SurfaceItem *item);
    void fillShape(const model::SurfaceItem *item);
    void fillGraphic(const model::SurfaceItem *item);
    void saveDefaults(const model::SurfaceItem *item);
    void bindStyleModel(const render::TextStyleControls &c);
    render::TextStyleControls styleModel() const;
    bool guarded() const;
    model::SurfaceItem *selectedItem(document::TMDIChildForm *doc) const;
    QByteArray snapshot(document::TMDIChildForm *doc) const;
    void remember(document::TMDIChildForm *doc);
    void setMemoText(const QString &text);
    QString memoText() const;

    // Change handlers.
    void PropertyKeyPress();
    void TextRotationEditChange();
    void TextStyleComboChange();
    void FontBtnClick();
    void GraphicPictureBtnClick();
    void TextRadiosClick(QRadioButton *chosen);
    void VarTextBtnClick();
    void PickTextBtnClick();
    void SymbolBtnClick();
    void enableSourceControls();
    void writeTextSource();
    void readTextSource(const QStringList &lines, bool hasDataFile);
    void rotationStep(int delta);

    const app::TAppOptions *m_options = nullptr;
    std::function<bool()> m_listsFilling;
    QPointer<QComboBox> m_objectCombo;
    QPointer<QWidget> m_propertyPanel;
    QPointer<document::TMDIChildForm> m_doc;
    QByteArray m_shown; // what the fields were last filled from or applied to
    bool m_binding = false;

    QWidget *m_generalSheet, *m_textSheet, *m_textPropSheet, *m_shapeSheet, *m_graphicSheet;
    // General
    QLineEdit *m_left, *m_top, *m_width, *m_height;
    QCheckBox *m_nonPrinting, *m_locked;
    QPushButton *m_applyBtn;
    // Text
    QRadioButton *m_singleRadio, *m_varRadio, *m_counterRadio, *m_dbRadio;
    QPlainTextEdit *m_memo;
    QPushButton *m_pickTextBtn, *m_symbolBtn, *m_varTextBtn, *m_dbFileBtn;
    QListWidget *m_varTextList;
    QLineEdit *m_counterLength, *m_counterStart;
    QComboBox *m_dbFieldCombo;
    // Text properties
    QComboBox *m_fontCombo, *m_fontSizeCombo;
    QPushButton *m_fontBtn;
    ColorCombo *m_textFG, *m_textBG;
    QCheckBox *m_bold, *m_italic, *m_underline, *m_strikeout;
    QComboBox *m_styleCombo, *m_param1, *m_param2, *m_param3;
    QLabel *m_param1Label, *m_param2Label, *m_param3Label;
    QComboBox *m_shadowDX, *m_shadowDY;
    QLineEdit *m_rotation;
    RadioGroup *m_justify;
    // Shape
    ColorCombo *m_shapeFG, *m_shapeBG;
    QLabel *m_shapeBGLabel;
    QComboBox *m_lineSize;
    RadioGroup *m_shapeStyle, *m_lineType;
    // Graphic
    QLabel *m_picType, *m_picSize, *m_picDepth, *m_picStoreSize;
    QWidget *m_picPropPanel;
    QPushButton *m_pictureBtn;
};

} // namespace editing
