// The text-source controls of the Text page and their three dialogs.
#include "PropsUiSupport.h"

#include "editing/Selection.h"
#include "model/TObjectData.h"
#include "model/TObjectManager.h"
#include "vardata/ui/ChooseSymbolForm.h"
#include "vardata/ui/PickTextForm.h"
#include "vardata/ui/VarTextForm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

using namespace propsui;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {
void typeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}
} // namespace

using TextSources = EditorFixture;

TEST_F(TextSources, CounterSourceIsWrittenAndRead)
{
    model::SurfaceItem *text = addText(QRect(10, 10, 120, 30));
    select(text);
    EXPECT_TRUE(child<QRadioButton>("SingleTextRadio")->isChecked());
    EXPECT_FALSE(child<QLineEdit>("CounterLengthEdit")->isEnabled());

    child<QRadioButton>("CounterRadio")->click();
    EXPECT_TRUE(child<QLineEdit>("CounterLengthEdit")->isEnabled());
    EXPECT_FALSE(child<QPlainTextEdit>("TextMemo")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("PickTextBtn")->isEnabled());

    typeInto(child<QLineEdit>("CounterLengthEdit"), QStringLiteral("abc"));
    typeInto(child<QLineEdit>("CounterStartEdit"), QStringLiteral("5"));
    EXPECT_EQ(text->data()->Lines, QStringList{QStringLiteral("{-_000005_-}")});

    typeInto(child<QLineEdit>("CounterLengthEdit"), QStringLiteral("250"));
    ASSERT_EQ(text->data()->Lines.size(), 1);
    EXPECT_EQ(text->data()->Lines.first().size(), 106); // 100 digits

    // Read back when the object is shown again.
    text->data()->Lines = {QStringLiteral("{-_0042_-}")};
    select(text);
    EXPECT_TRUE(child<QRadioButton>("CounterRadio")->isChecked());
    EXPECT_EQ(child<QLineEdit>("CounterLengthEdit")->text(), "4");
    EXPECT_EQ(child<QLineEdit>("CounterStartEdit")->text(), "42");

    // Back to the same text: the counter edits are emptied.
    child<QRadioButton>("SingleTextRadio")->click();
    EXPECT_TRUE(child<QLineEdit>("CounterLengthEdit")->text().isEmpty());
    EXPECT_TRUE(child<QPlainTextEdit>("TextMemo")->isEnabled());
}

TEST_F(TextSources, ListSourceFromTheVariableTextDialog)
{
    model::SurfaceItem *text = addText(QRect(10, 10, 120, 30));
    select(text);
    child<QRadioButton>("VarTextRadio")->click();
    ASSERT_TRUE(child<QPushButton>("VarTextBtn")->isEnabled());

    ModalAnswer<vardata::TVarTextForm> answer([](vardata::TVarTextForm *dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Variable Text");
        auto *memo = dlg->findChild<QPlainTextEdit *>(QStringLiteral("TextMemo"));
        auto *add = dlg->findChild<QPushButton *>(QStringLiteral("AddBtn"));
        auto *remove = dlg->findChild<QPushButton *>(QStringLiteral("RemoveBtn"));
        auto *list = dlg->findChild<QListWidget *>(QStringLiteral("VarTextList"));
        ASSERT_TRUE(memo && add && remove && list);
        EXPECT_EQ(list->count(), 1); // a copy of the editor's list
        EXPECT_FALSE(add->isEnabled());
        EXPECT_FALSE(remove->isEnabled());
        for (const char *s : {"Alice", "Bob", "Carol"}) {
            memo->setPlainText(QString::fromLatin1(s));
            EXPECT_TRUE(add->isEnabled());
            add->click();
        }
        list->setCurrentRow(0);
        // The timer refreshes the buttons within 500 ms of the selection.
        QTest::qWait(600);
        EXPECT_TRUE(remove->isEnabled());
        remove->click();
        dlg->accept();
    });
    child<QPushButton>("VarTextBtn")->click();
    EXPECT_TRUE(answer.ran());
    EXPECT_EQ(text->data()->Lines,
              (QStringList{QStringLiteral("Alice"), QStringLiteral("Bob"), QStringLiteral("Carol")}));
    EXPECT_EQ(child<QPlainTextEdit>("TextMemo")->toPlainText(), "Alice");
    EXPECT_FALSE(doc->editorUpdating());

    // An emptied list confirmed with OK leaves the text as it was.
    const int entries = manager()->changes().undoCount();
    ModalAnswer<vardata::TVarTextForm> empty([](vardata::TVarTextForm *dlg) {
        auto *list = dlg->findChild<QListWidget *>(QStringLiteral("VarTextList"));
        list->clear();
        dlg->accept();
    });
    child<QPushButton>("VarTextBtn")->click();
    EXPECT_TRUE(empty.ran());
    EXPECT_EQ(text->data()->Lines.size(), 3);
    EXPECT_EQ(manager()->changes().undoCount(), entries);
    EXPECT_FALSE(doc->editorUpdating());
}

TEST_F(TextSources, LeavingTheListAsksAndNoKeepsIt)
{
    model::SurfaceItem *text = addText(QRect(10, 10, 120, 30));
    text->data()->Lines = {QStringLiteral("a"), QStringLiteral("b")};
    select(text);
    EXPECT_TRUE(child<QRadioButton>("VarTextRadio")->isChecked());

    QString asked;
    ModalAnswer<QMessageBox> no([&asked](QMessageBox *box) {
        asked = box->text();
        box->button(QMessageBox::No)->click();
    });
    child<QRadioButton>("SingleTextRadio")->click();
    EXPECT_TRUE(no.ran());
    EXPECT_EQ(asked, "Unchecking the Variable Text option will erase all variable text items.\n\nAre you sure?");
    EXPECT_TRUE(child<QRadioButton>("VarTextRadio")->isChecked());
    EXPECT_EQ(child<QListWidget>("VarTextList")->count(), 2);

    ModalAnswer<QMessageBox> yes([](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
    child<QRadioButton>("SingleTextRadio")->click();
    EXPECT_TRUE(yes.ran());
    EXPECT_TRUE(child<QRadioButton>("SingleTextRadio")->isChecked());
    // The next change applies the single text.
    QPlainTextEdit *memo = child<QPlainTextEdit>("TextMemo");
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral("!"));
    EXPECT_EQ(text->data()->Lines, QStringList{QStringLiteral("a!")});
}

TEST_F(TextSources, PickTextPutsACustomTextIntoTheObject)
{
    host.options.CustomTexts = {QStringLiteral("Sales Manager"), QStringLiteral("Director")};
    model::SurfaceItem *text = addText(QRect(10, 10, 120, 30));
    select(text);
    ModalAnswer<vardata::TPickTextForm> answer([](vardata::TPickTextForm *dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Pick Custom Text");
        auto *list = dlg->findChild<QListWidget *>(QStringLiteral("TextList"));
        ASSERT_EQ(list->count(), 2);
        list->setCurrentRow(1);
        dlg->accept();
    });
    child<QPushButton>("PickTextBtn")->click();
    EXPECT_TRUE(answer.ran());
    EXPECT_EQ(text->data()->Lines, QStringList{QStringLiteral("Director")});
}

TEST_F(TextSources, SymbolChooserInsertsACharacterInItsFont)
{
    const QStringList fonts = vardata::TChooseSymbolForm::symbolFontFamilies();
    ASSERT_FALSE(fonts.isEmpty()) << "no symbol font installed (fonts-opensymbol)";
    model::SurfaceItem *text = addText(QRect(10, 10, 120, 30));
    select(text);
    QString font;
    ModalAnswer<vardata::TChooseSymbolForm> answer([&font](vardata::TChooseSymbolForm *dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Choose Symbol");
        auto *combo = dlg->findChild<QComboBox *>(QStringLiteral("FontCombo"));
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->currentIndex(), 0);
        font = combo->currentText();
        auto *map = dlg->findChild<QTableWidget *>(QStringLiteral("SymbolCombo"));
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(map->rowCount() * map->columnCount(), 224); // codes 32 to 255
        EXPECT_EQ(map->font().family(), font);
        map->setCurrentCell(2, 1); // code 65
        dlg->accept();
    });
    child<QPushButton>("SymbolBtn")->click();
    EXPECT_TRUE(answer.ran());
    EXPECT_EQ(text->data()->Lines, QStringList{QStringLiteral("A")});
    ASSERT_TRUE(text->data()->Font.has_value());
    EXPECT_EQ(text->data()->Font->face(), font);
    // One apply for both the font and the character.
    EXPECT_EQ(manager()->changes().undoCount(), 1);
}
