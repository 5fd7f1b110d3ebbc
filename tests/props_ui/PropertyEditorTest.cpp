// The property editor driven through its named widgets: pages by kind, the General
// page's frame values, applying with undo, rotation, styles and the font dialog.
#include "PropsUiSupport.h"

#include "editing/Selection.h"
#include "editing/ui/EditorWidgets.h"
#include "model/TObjectData.h"
#include "model/TObjectManager.h"
#include "platform/bmp/BmpCodec.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace propsui;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

void typeInto(QLineEdit *edit, const QString &text, bool pressEnter = true)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    if (pressEnter)
        QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

using PropertyEditor = EditorFixture;

TEST_F(PropertyEditor, PagesFollowTheSelectedKind)
{
    model::SurfaceItem *text = addText(QRect(10, 10, 100, 30));
    model::SurfaceItem *line = addShape('L', QRect(10, 60, 100, 12));
    model::SurfaceItem *box = addShape('B', QRect(10, 80, 50, 50));

    select(text);
    EXPECT_TRUE(tabShown("GeneralSheet"));
    EXPECT_TRUE(tabShown("TextSheet"));
    EXPECT_TRUE(tabShown("TextPropSheet"));
    EXPECT_FALSE(tabShown("ShapeSheet"));
    EXPECT_FALSE(tabShown("GraphicSheet"));
    EXPECT_EQ(editor->currentWidget()->objectName(), "TextSheet");
    EXPECT_EQ(doc->sheetKind(), 'T');

    // Another text keeps the page the user chose; a reset makes the Text page active again.
    editor->setCurrentWidget(child<QWidget>("GeneralSheet"));
    model::SurfaceItem *text2 = addText(QRect(10, 140, 60, 20));
    select(text2, false);
    EXPECT_EQ(editor->currentWidget()->objectName(), "GeneralSheet");
    select(text2, true);
    EXPECT_EQ(editor->currentWidget()->objectName(), "TextSheet");

    select(line);
    EXPECT_TRUE(tabShown("ShapeSheet"));
    EXPECT_FALSE(tabShown("TextSheet"));
    EXPECT_EQ(editor->currentWidget()->objectName(), "ShapeSheet");
    EXPECT_EQ(doc->sheetKind(), 'S');
    EXPECT_FALSE(child<QWidget>("ShapeLineTypeRadioGroup")->isHidden());
    EXPECT_TRUE(child<QWidget>("ShapeStyleRadioGroup")->isHidden());
    EXPECT_TRUE(child<QWidget>("ShapeColorBGCombo")->isHidden());
    EXPECT_TRUE(child<QWidget>("ShapeColorBGLabel")->isHidden());

    select(box);
    EXPECT_TRUE(child<QWidget>("ShapeLineTypeRadioGroup")->isHidden());
    EXPECT_FALSE(child<QWidget>("ShapeStyleRadioGroup")->isHidden());
    EXPECT_FALSE(child<QWidget>("ShapeColorBGCombo")->isHidden());

    // Two selected objects: nothing to show.
    doc->selection()->add(text);
    editor->FillPropertyEditor(doc.get(), false);
    EXPECT_EQ(doc->sheetKind(), ' ');
}

TEST_F(PropertyEditor, FrameValuesAreShownAndTypedBack)
{
    model::SurfaceItem *text = addText(QRect(50, 50, 120, 30));
    select(text);
    EXPECT_EQ(child<QLineEdit>("GeneralLeftEdit")->text(), "48");
    EXPECT_EQ(child<QLineEdit>("GeneralTopEdit")->text(), "48");
    EXPECT_EQ(child<QLineEdit>("GeneralWidthEdit")->text(), "125");
    EXPECT_EQ(child<QLineEdit>("GeneralHeightEdit")->text(), "35");

    const int before = manager()->changes().undoCount();
    for (const char *name : {"GeneralLeftEdit", "GeneralTopEdit", "GeneralWidthEdit", "GeneralHeightEdit"})
        typeInto(child<QLineEdit>(name), child<QLineEdit>(name)->text());
    EXPECT_EQ(text->bounds(), QRect(50, 50, 120, 30));
    // Each Enter applied once (the key is swallowed, so the edit does not apply twice).
    EXPECT_EQ(manager()->changes().undoCount(), before + 4);
    EXPECT_TRUE(doc->isModified());

    typeInto(child<QLineEdit>("GeneralLeftEdit"), QStringLiteral("100"));
    typeInto(child<QLineEdit>("GeneralWidthEdit"), QStringLiteral("205"));
    EXPECT_EQ(text->bounds(), QRect(102, 50, 200, 30));

    // Not a number: nothing moves, but an entry is still recorded.
    const int n = manager()->changes().undoCount();
    typeInto(child<QLineEdit>("GeneralLeftEdit"), QStringLiteral("abc"));
    EXPECT_EQ(text->bounds(), QRect(102, 50, 200, 30));
    EXPECT_EQ(manager()->changes().undoCount(), n + 1);
}

TEST_F(PropertyEditor, ApplyRecordsOneEntryAndUndoRestoresPropertiesAndBounds)
{
    model::SurfaceItem *text = addText(QRect(50, 50, 120, 30));
    select(text);
    const QByteArray before = text->data()->toRecord(100);
    const int entries = manager()->changes().undoCount();

    typeInto(child<QLineEdit>("GeneralTopEdit"), QStringLiteral("10"), false);
    child<QCheckBox>("BoldCheck")->click(); // applies the page: top and bold together
    EXPECT_EQ(manager()->changes().undoCount(), entries + 1);
    EXPECT_EQ(text->bounds(), QRect(50, 12, 120, 30));
    ASSERT_TRUE(text->data()->Font.has_value());
    EXPECT_EQ(text->data()->Font->weight, 700);

    ASSERT_TRUE(manager()->Undo(100));
    model::SurfaceItem *restored = doc->doc()->surface()->findById(text->id());
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->data()->toRecord(100), before);
    EXPECT_EQ(restored->bounds(), QRect(50, 50, 120, 30));
}

TEST_F(PropertyEditor, FillingDoesNotApply)
{
    model::SurfaceItem *text = addText(QRect(50, 50, 120, 30));
    text->data()->Rotation = 900;
    text->data()->TextStyle = 3 | (1 << 8);
    select(text);
    model::SurfaceItem *box = addShape('B', QRect(0, 0, 30, 30));
    select(box);
    select(text);
    EXPECT_EQ(manager()->changes().undoCount(), 0);
    EXPECT_FALSE(doc->isModified());
    EXPECT_FALSE(doc->editorUpdating());
}

TEST_F(PropertyEditor, RotationShowsDegreesAndTakesAnyWholeNumber)
{
    model::SurfaceItem *text = addText(QRect(50, 50, 120, 30));
    text->data()->Rotation = 450;
    select(text);
    QLineEdit *rotation = child<QLineEdit>("TextRotationEdit");
    QWidget *justify = child<QWidget>("TextJustifyRadioGroup");
    EXPECT_EQ(rotation->text(), "45");
    EXPECT_TRUE(justify->isHidden());

    typeInto(rotation, QStringLiteral("0"), false);
    EXPECT_FALSE(justify->isHidden());
    EXPECT_EQ(text->data()->Rotation, 0);

    // Typed digit by digit: every change applies; the group goes as soon as it is not "0".
    typeInto(rotation, QStringLiteral("450"), false);
    EXPECT_EQ(text->data()->Rotation, 4500);
    EXPECT_TRUE(justify->isHidden());

    // Not a number: the rotation stays.
    typeInto(rotation, QStringLiteral("x"), false);
    EXPECT_EQ(text->data()->Rotation, 4500);

    // The up-down wraps from 359 to 0.
    typeInto(rotation, QStringLiteral("359"), false);
    child<QAbstractButton>("TextRotationUpBtn")->click();
    EXPECT_EQ(rotation->text(), "0");
    child<QAbstractButton>("TextRotationDownBtn")->click();
    EXPECT_EQ(rotation->text(), "359");
    EXPECT_EQ(text->data()->Rotation, 3590);
}

TEST_F(PropertyEditor, ChoosingBarCodeResetsItsParametersAndApplies)
{
    model::SurfaceItem *text = addText(QRect(50, 50, 120, 30));
    text->data()->TextStyle = 3 | (2 << 8) | (uint32_t(uint8_t(-6)) << 16); // arc, 1/4 circle, -90
    select(text);
    QComboBox *style = child<QComboBox>("TextStyleCombo");
    EXPECT_EQ(style->currentText(), "Arc Text");
    EXPECT_EQ(child<QComboBox>("TextParam1Combo")->currentText(), "1/4 Circle");
    EXPECT_EQ(child<QComboBox>("TextParam2Combo")->currentText(), "-90");

    const int entries = manager()->changes().undoCount();
    style->setCurrentIndex(2);
    EXPECT_EQ(child<QComboBox>("TextParam1Combo")->currentText(), "PostNet");
    EXPECT_EQ(child<QComboBox>("TextParam2Combo")->currentText(), "No");
    EXPECT_EQ(child<QLabel>("TextParam1Label")->text(), "Type:");
    EXPECT_TRUE(child<QComboBox>("TextParam3Combo")->isHidden());
    EXPECT_EQ(text->data()->TextStyle, 2u);
    EXPECT_EQ(manager()->changes().undoCount(), entries + 1);

    // A parameter change applies too.
    child<QComboBox>("TextParam2Combo")->setCurrentIndex(1);
    EXPECT_EQ(text->data()->TextStyle, 2u | (1u << 16));
}

TEST_F(PropertyEditor, TextPropertiesApplyOnChange)
{
    model::SurfaceItem *text = addText(QRect(50, 50, 120, 30));
    select(text);
    EXPECT_EQ(child<QComboBox>("TextFontSizeCombo")->currentText(), "12");
    EXPECT_EQ(child<QComboBox>("TextShadowDXCombo")->currentText(), "0");

    child<QComboBox>("TextFontSizeCombo")->setCurrentText(QStringLiteral("20"));
    EXPECT_EQ(text->data()->Font->points(), 20);
    child<QComboBox>("TextShadowDXCombo")->setCurrentIndex(13);
    EXPECT_EQ(text->data()->ShadowDX, 3);
    static_cast<editing::ColorCombo *>(child<QComboBox>("TextColorFGCombo"))->setColor(0x0000FF);
    EXPECT_EQ(text->data()->ColorFG, 0x0000FFu);
    static_cast<editing::RadioGroup *>(child<QWidget>("TextJustifyRadioGroup"))->button(1)->click();
    EXPECT_EQ(text->data()->Style, 1);
    QComboBox *faces = child<QComboBox>("TextFontCombo");
    const int serif = faces->findText(QStringLiteral("Liberation Serif"));
    ASSERT_GE(serif, 0);
    faces->setCurrentIndex(serif);
    EXPECT_EQ(text->data()->Font->face(), "Liberation Serif");

    // While the main window fills its lists, changes do nothing.
    bool filling = true;
    editor->setListsFillingQuery([&filling] { return filling; });
    const int entries = manager()->changes().undoCount();
    child<QCheckBox>("ItalicCheck")->click();
    EXPECT_EQ(manager()->changes().undoCount(), entries);
    EXPECT_EQ(text->data()->Font->italic, 0);
    filling = false;
    child<QCheckBox>("ItalicCheck")->click();
    EXPECT_EQ(manager()->changes().undoCount(), entries + 1);
}

TEST_F(PropertyEditor, ShapeFieldsApply)
{
    model::SurfaceItem *line = addShape('L', QRect(10, 10, 100, 12));
    select(line);
    static_cast<editing::RadioGroup *>(child<QWidget>("ShapeLineTypeRadioGroup"))->button(2)->click();
    EXPECT_EQ(line->data()->LineType, 2);
    child<QComboBox>("ShapeLineSizeCombo")->setCurrentIndex(4);
    EXPECT_EQ(line->data()->LineSize, 5);

    // With SaveProperties on, a selected red box is the model for the next box.
    model::SurfaceItem *box = addShape('B', QRect(10, 40, 50, 50));
    box->data()->ColorFG = 0x0000FF;
    select(box);
    EXPECT_EQ(static_cast<editing::ColorCombo *>(child<QComboBox>("ShapeColorFGCombo"))->color(), 0x0000FFu);
    model::SurfaceItem *next = manager()->NewBox(0, 0);
    EXPECT_EQ(next->data()->ColorFG, 0x0000FFu);
}

TEST_F(PropertyEditor, GraphicPageDescribesThePicture)
{
    QImage img(200, 100, QImage::Format_Indexed8);
    img.setColorCount(256);
    for (int i = 0; i < 256; ++i)
        img.setColor(i, qRgb(i, 255 - i, 0));
    img.fill(7);
    model::SurfaceItem *g =
        addGraphic(plat::Picture::bitmap(plat::bmp::encodeBmpFile(img, 8)), QRect(10, 10, 100, 50));
    ASSERT_NE(g, nullptr);
    select(g);
    EXPECT_TRUE(tabShown("GraphicSheet"));
    EXPECT_FALSE(tabShown("TextSheet"));
    EXPECT_EQ(editor->currentWidget()->objectName(), "GraphicSheet");
    EXPECT_EQ(child<QLabel>("PicTypeLabel")->text(), "Bitmap (BMP)");
    EXPECT_EQ(child<QLabel>("PicColorDepthLabel")->text(), "8 bit (256 Colors)");
    EXPECT_EQ(child<QLabel>("PicStoreSizeLabel")->text(), "21064 bytes");
    EXPECT_EQ(child<QLabel>("PicSizeLabel")->text(), "200 x 100");
    EXPECT_FALSE(child<QWidget>("PicPropPanel")->isHidden());

    // A graphic takes only the general page.
    child<QCheckBox>("GeneralNonPrintingCheck")->click();
    EXPECT_TRUE(g->data()->nonPrinting());
    EXPECT_EQ(manager()->changes().undoCount(), 1);
}

TEST_F(PropertyEditor, FontDialogChangesTheFontWithOneUndoEntry)
{
    model::SurfaceItem *text = addText(QRect(50, 50, 120, 30));
    select(text);
    const QByteArray before = text->data()->toRecord(100);
    ModalAnswer<QFontDialog> answer([](QFontDialog *dlg) {
        QFont f(QStringLiteral("Liberation Mono"));
        f.setPointSize(18);
        f.setItalic(true);
        dlg->setCurrentFont(f);
        dlg->accept();
    });
    child<QPushButton>("FontBtn")->click();
    EXPECT_TRUE(answer.ran());
    ASSERT_TRUE(text->data()->Font.has_value());
    EXPECT_EQ(text->data()->Font->face(), "Liberation Mono");
    EXPECT_EQ(text->data()->Font->height, -24); // 18 pt at 96 pixels per inch
    EXPECT_EQ(text->data()->Font->italic, 1);
    EXPECT_EQ(manager()->changes().undoCount(), 1);
    ASSERT_TRUE(manager()->Undo(100));
    EXPECT_EQ(doc->doc()->surface()->findById(text->id())->data()->toRecord(100), before);

    // Cancel changes nothing.
    ModalAnswer<QFontDialog> cancel([](QFontDialog *dlg) { dlg->reject(); });
    const QByteArray now = doc->doc()->surface()->findById(text->id())->data()->toRecord(100);
    doc->selection()->set(doc->doc()->surface()->findById(text->id()));
    editor->FillPropertyEditor(doc.get(), true);
    child<QPushButton>("FontBtn")->click();
    EXPECT_TRUE(cancel.ran());
    EXPECT_EQ(doc->doc()->surface()->findById(text->id())->data()->toRecord(100), now);
}

TEST_F(PropertyEditor, RefillsOnlyWhenTheObjectChangedElsewhere)
{
    model::SurfaceItem *text = addText(QRect(50, 50, 120, 30));
    select(text);
    QPlainTextEdit *memo = child<QPlainTextEdit>("TextMemo");
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral("ab"));
    EXPECT_EQ(text->data()->Lines, QStringList{QStringLiteral("Textab")});
    EXPECT_EQ(manager()->changes().undoCount(), 2); // one entry per keystroke
    // The apply does not refill: the caret stays where the user typed.
    const int caret = memo->textCursor().position();
    editor->syncWithDocument(doc.get());
    EXPECT_EQ(memo->textCursor().position(), caret);

    // A move from elsewhere is picked up.
    text->setBounds(60, 70, 120, 30);
    editor->syncWithDocument(doc.get());
    EXPECT_EQ(child<QLineEdit>("GeneralLeftEdit")->text(), "58");
    EXPECT_EQ(child<QLineEdit>("GeneralTopEdit")->text(), "68");
}
