#include "app/ui/ConfigForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using app::TAppOptions;
using app::TConfigForm;

namespace {

template <typename T>
T *child(const TConfigForm &form, const char *name)
{
    T *w = form.findChild<T *>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void click(const TConfigForm &form, const char *name)
{
    QPushButton *b = child<QPushButton>(form, name);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(b->isEnabled()) << name;
    b->click();
}

TAppOptions sample()
{
    TAppOptions o;
    o.PromptOnDelete = false;
    o.MetricUnits = true;
    o.ShowDesignWizard = false;
    o.GridSize = 12;
    o.SnapToGrid = true;
    o.CropMarks = true;
    o.SetOrientation = false;
    o.GraphicFolder = "/pics";
    o.DocumentsFolder = "/docs";
    o.CustomTexts = {"one", "two", "three"};
    o.CustomColors[4] = 0x123456;
    return o;
}

QStringList listTexts(const TConfigForm &form)
{
    QStringList out;
    QListWidget *list = child<QListWidget>(form, "CustomFieldList");
    for (int i = 0; list && i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

TEST(ConfigForm, PagesAndControlsCarryTheirNamesAndCaptions)
{
    TAppOptions o;
    TConfigForm form(nullptr, o);
    EXPECT_EQ(form.windowTitle(), "Options");
    QTabWidget *pages = child<QTabWidget>(form, "PageControl");
    ASSERT_NE(pages, nullptr);
    QStringList tabs;
    for (int i = 0; i < pages->count(); ++i)
        tabs << pages->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"&General", "G&rid", "&Printing", "&Custom Text", "&Folders"}));

    const struct { const char *name, *caption; } checks[] = {
        {"PromptDeleteCheck", "&Prompt when deleting objects"},
        {"ReturnSelectCheck", "&Return to the select tool automatically"},
        {"MetricUnitsCheck", "&Metric units"},
        {"ReduceGraphicsCheck", "Reduce &graphics to 256 colors"},
        {"ShowDesignWizardCheck", "&Show the design wizard when the application starts"},
        {"SavePropertiesCheck", "&Use last selected object's properties for the next object inserted"},
        {"DisplayGridCheck", "&Display grid"},
        {"SnapToGridCheck", "&Snap to grid"},
        {"CropMarksCheck", "&Print crop marks"},
        {"SetOrientationCheck", "&Set printer orientation and paper size automatically"},
    };
    for (const auto &c : checks)
        if (QCheckBox *w = child<QCheckBox>(form, c.name)) {
            EXPECT_EQ(w->text(), c.caption);
        }
    const struct { const char *name, *caption; } buttons[] = {
        {"OkBtn", "&OK"}, {"CancelBtn", "&Cancel"}, {"HelpBtn", "&Help"},
        {"DeleteBtn", "&Delete"}, {"AddBtn", "&Add"}, {"NewBtn", "&New"},
        {"GraphicsFolderBtn", "..."}, {"DocumentsFolderBtn", "..."},
    };
    for (const auto &b : buttons)
        if (QPushButton *w = child<QPushButton>(form, b.name)) {
            EXPECT_EQ(w->text(), b.caption);
        }
    const struct { const char *name, *caption; } labels[] = {
        {"GridSizeLabel", "&Grid Size (pixels):"},
        {"GraphicsFolderLabel", "Graphics folder:"},
        {"DocumentsFolderLabel", "Documents folder:"},
        {"CustomTextNoteLabel", "Custom Text is text you can easily re-use in your design with any text object."},
    };
    for (const auto &l : labels)
        if (QLabel *w = child<QLabel>(form, l.name)) {
            EXPECT_EQ(w->text(), l.caption);
        }
    QLabel *note = child<QLabel>(form, "FoldersNoteLabel");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->text().startsWith("Specify the folders where you normally store"));
    EXPECT_EQ(note->palette().color(QPalette::WindowText), QColor(Qt::red));
    child<QLineEdit>(form, "GridSizeEdit");
    child<QPlainTextEdit>(form, "CustomFieldMemo");
}

TEST(ConfigForm, ControlsStartFromTheRecordAndOkWithoutChangesKeepsIt)
{
    TAppOptions o = sample();
    TConfigForm form(nullptr, o);
    EXPECT_FALSE(child<QCheckBox>(form, "PromptDeleteCheck")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(form, "ReturnSelectCheck")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(form, "MetricUnitsCheck")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(form, "ShowDesignWizardCheck")->isChecked());
    EXPECT_EQ(child<QLineEdit>(form, "GridSizeEdit")->text(), "12");
    EXPECT_FALSE(child<QCheckBox>(form, "DisplayGridCheck")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(form, "SnapToGridCheck")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(form, "CropMarksCheck")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(form, "SetOrientationCheck")->isChecked());
    EXPECT_EQ(child<QLineEdit>(form, "GraphicsFolderEdit")->text(), "/pics");
    EXPECT_EQ(child<QLineEdit>(form, "DocumentsFolderEdit")->text(), "/docs");
    EXPECT_EQ(listTexts(form), (QStringList{"one", "two", "three"}));
    EXPECT_FALSE(child<QPushButton>(form, "AddBtn")->isEnabled());

    click(form, "OkBtn");
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(o, sample());
}

TEST(ConfigForm, OkCopiesEveryControlBack)
{
    TAppOptions o;
    TConfigForm form(nullptr, o);
    for (const char *name : {"PromptDeleteCheck", "ReturnSelectCheck", "MetricUnitsCheck", "ReduceGraphicsCheck",
                             "ShowDesignWizardCheck", "SavePropertiesCheck", "DisplayGridCheck",
                             "SnapToGridCheck", "CropMarksCheck", "SetOrientationCheck"})
        child<QCheckBox>(form, name)->toggle();
    child<QLineEdit>(form, "GridSizeEdit")->setText("20");
    child<QLineEdit>(form, "GraphicsFolderEdit")->setText("  typed as is ");
    child<QLineEdit>(form, "DocumentsFolderEdit")->setText("/d");
    click(form, "OkBtn");
    TAppOptions expected;
    expected.PromptOnDelete = false;
    expected.SelectReturn = false;
    expected.MetricUnits = true;
    expected.ReduceColor = true; // off by default: the toggle switched it on
    expected.ShowDesignWizard = false;
    expected.SaveProperties = false;
    expected.GridSize = 20;
    expected.ShowGrid = true;
    expected.SnapToGrid = true;
    expected.CropMarks = true;
    expected.SetOrientation = false;
    expected.GraphicFolder = "  typed as is ";
    expected.DocumentsFolder = "/d";
    EXPECT_EQ(o, expected);
}

// A grid size that is no whole number from 1 to 32 is refused with a message that names
// the field; the dialog stays open and the record keeps its value. Letters cannot be typed.
TEST(ConfigForm, GridSizeIsCheckedOnOk)
{
    const struct { const char *text; int expected; } cases[] = {
        {"abc", 0}, {"0", 0}, {"-3", 0}, {"", 0}, {"33", 0}, {"1", 1}, {"32", 32}, {" 7 ", 7}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        TAppOptions o;
        o.GridSize = 12;
        o.ShowGrid = false;
        TConfigForm form(nullptr, o);
        QStringList errors;
        form.showError = [&](const QString &m) { errors << m; };
        child<QCheckBox>(form, "DisplayGridCheck")->setChecked(true);
        child<QTabWidget>(form, "PageControl")->setCurrentIndex(0);
        child<QLineEdit>(form, "GridSizeEdit")->setText(c.text);
        click(form, "OkBtn");
        if (c.expected) {
            EXPECT_TRUE(errors.isEmpty());
            EXPECT_EQ(form.result(), QDialog::Accepted);
            EXPECT_EQ(o.GridSize, c.expected);
        } else {
            EXPECT_EQ(errors, QStringList{"Please enter a grid size between 1 and 32 pixels."});
            EXPECT_NE(form.result(), QDialog::Accepted);
            EXPECT_EQ(o.GridSize, 12);
            EXPECT_FALSE(o.ShowGrid) << "nothing is copied back";
            EXPECT_EQ(child<QTabWidget>(form, "PageControl")->currentWidget()->objectName(), "GridSheet");
        }
    }

    TAppOptions o;
    TConfigForm form(nullptr, o);
    QLineEdit *edit = child<QLineEdit>(form, "GridSizeEdit");
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("a1b6c"));
    EXPECT_EQ(edit->text(), "16");
}

TEST(ConfigForm, CustomTextAddNewAndDelete)
{
    TAppOptions o = sample();
    TConfigForm form(nullptr, o);
    QStringList asked;
    bool answer = false;
    form.confirm = [&](const QString &q) { asked << q; return answer; };
    QPlainTextEdit *memo = child<QPlainTextEdit>(form, "CustomFieldMemo");
    QPushButton *add = child<QPushButton>(form, "AddBtn");
    QListWidget *list = child<QListWidget>(form, "CustomFieldList");

    memo->insertPlainText("four");
    EXPECT_TRUE(add->isEnabled());
    click(form, "AddBtn");
    EXPECT_EQ(listTexts(form), (QStringList{"one", "two", "three", "four"}));
    EXPECT_FALSE(add->isEnabled());             // Add disables itself, memo keeps its text
    EXPECT_EQ(memo->toPlainText(), "four");
    memo->insertPlainText("!");
    EXPECT_TRUE(add->isEnabled());
    click(form, "NewBtn");
    EXPECT_TRUE(memo->toPlainText().isEmpty());
    EXPECT_FALSE(add->isEnabled());

    // Nothing selected: Delete does nothing and asks nothing.
    list->clearSelection();
    list->setCurrentRow(-1);
    click(form, "DeleteBtn");
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(list->count(), 4);

    list->setCurrentRow(1);
    click(form, "DeleteBtn");                   // answered No
    EXPECT_EQ(asked, QStringList{"Delete the selected text.\n\nAre you sure?"});
    EXPECT_EQ(list->count(), 4);
    answer = true;
    click(form, "DeleteBtn");
    EXPECT_EQ(listTexts(form), (QStringList{"one", "three", "four"}));

    // The record is untouched until OK.
    EXPECT_EQ(o.CustomTexts, sample().CustomTexts);
    click(form, "OkBtn");
    EXPECT_EQ(o.CustomTexts, (QStringList{"one", "three", "four"}));
}

TEST(ConfigForm, CancelLeavesTheRecordAsItWas)
{
    TAppOptions o = sample();
    TConfigForm form(nullptr, o);
    form.confirm = [](const QString &) { return true; };
    child<QPlainTextEdit>(form, "CustomFieldMemo")->insertPlainText("added");
    click(form, "AddBtn");
    child<QListWidget>(form, "CustomFieldList")->setCurrentRow(0);
    click(form, "DeleteBtn");
    child<QCheckBox>(form, "MetricUnitsCheck")->toggle();
    child<QLineEdit>(form, "GridSizeEdit")->setText("3");
    click(form, "CancelBtn");
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(o, sample());
}

TEST(ConfigForm, FolderButtonsStartAtTheEditAndWriteTheChoice)
{
    TAppOptions o = sample();
    TConfigForm form(nullptr, o);
    QStringList starts;
    QString choice = "/chosen/graphics";
    form.pickFolder = [&](const QString &start) { starts << start; return choice; };
    click(form, "GraphicsFolderBtn");
    EXPECT_EQ(child<QLineEdit>(form, "GraphicsFolderEdit")->text(), "/chosen/graphics");
    choice.clear();                               // cancelled picker leaves the edit alone
    click(form, "DocumentsFolderBtn");
    EXPECT_EQ(child<QLineEdit>(form, "DocumentsFolderEdit")->text(), "/docs");
    EXPECT_EQ(starts, (QStringList{"/pics", "/docs"}));
}

TEST(ConfigForm, HelpAsksForTheDialogsTopic)
{
    TAppOptions o;
    TConfigForm form(nullptr, o);
    QList<int> topics;
    QObject::connect(&form, &TConfigForm::helpRequested, [&](int context) { topics << context; });
    click(form, "HelpBtn");
    EXPECT_EQ(topics, QList<int>{119});
}
