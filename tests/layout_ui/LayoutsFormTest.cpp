// The layouts dialog and the layout dialog, driven through their widgets. Message boxes
// and nested dialogs are answered by a timer that acts on the modal widget once it shows.
#include "document/DesignDocument.h"
#include "layout/LayoutFile.h"
#include "layout/ui/EditLayoutForm.h"
#include "layout/ui/LayoutCommands.h"
#include "layout/ui/LayoutsForm.h"
#include "layout/StockLibrary.h"
#include "platform/ProgramFolder.h"

#include "TestSupport.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace layout;
using testsupport::fixture;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

template <typename T>
T *child(const QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QLatin1String(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

// Acts on the next modal widget other than `outer` as soon as it is shown (polling, so a
// nested exec() has started by then). Gives up after five seconds and closes it.
void onNextModal(QWidget *outer, std::function<void(QWidget *)> act)
{
    auto *timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, outer, act, ticks] {
        QWidget *w = QApplication::activeModalWidget();
        if (w && w != outer) {
            timer->stop();
            timer->deleteLater();
            act(w);
        } else if (++*ticks > 500) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal dialog appeared";
        }
    });
    timer->start();
}

// Answers the next message box with `answer` and keeps its text.
void answerMessage(QWidget *outer, QMessageBox::StandardButton answer, QString *text)
{
    onNextModal(outer, [answer, text](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(box, nullptr) << w->metaObject()->className();
        if (text)
            *text = box->text();
        box->button(answer)->click();
    });
}

QStringList listTexts(const TLayoutsForm &form)
{
    QStringList out;
    QListWidget *list = child<QListWidget>(&form, "LayoutList");
    for (int i = 0; list && i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void selectRow(const TLayoutsForm &form, int row)
{
    QListWidget *list = child<QListWidget>(&form, "LayoutList");
    list->setCurrentRow(row);
    list->item(row)->setSelected(true);
}

void click(const QWidget *w, const char *name)
{
    QPushButton *b = child<QPushButton>(w, name);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(b->isEnabled()) << name;
    b->click();
}

LayoutRecord cards(uint32_t rows, uint32_t columns, const char *name = "Cards")
{
    LayoutRecord r;
    r.setName(QLatin1String(name));
    r.setRows(rows);
    r.setColumns(columns);
    r.setWidth(350);
    r.setHeight(200);
    r.setTopMargin(50);
    r.setLeftMargin(75);
    r.setColumnSpace(10);
    r.setRowSpace(20);
    return r;
}

// A program folder of its own, holding copies of the fixture layout files.
class LayoutsFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ASSERT_TRUE(home.isValid());
        qputenv("OSTRAVEL_HOME", home.path().toLocal8Bit());
        // The dialogs of these tests offer no stock layouts unless a test hands them some.
        qputenv("OSTRAVEL_STOCK_TEMPLATES", QByteArray());
        for (const char *name : {"Sample.LYT", "Other.LYT"})
            ASSERT_TRUE(QFile::copy(fixture(QStringLiteral("layout/") + QLatin1String(name)), home.filePath(name)));
    }
    void TearDown() override
    {
        qunsetenv("OSTRAVEL_HOME");
        qunsetenv("OSTRAVEL_STOCK_TEMPLATES");
        QLocale::setDefault(QLocale::system());
    }
    void chooseFile(TLayoutsForm &form, const QString &name)
    {
        QComboBox *combo = child<QComboBox>(&form, "LayoutCombo");
        combo->setCurrentIndex(combo->findText(name));
    }
    QTemporaryDir home;
};

} // namespace

TEST_F(LayoutsFormTest, ListsFilesAndShowsHeadingsBlanksAndNotes)
{
    TLayoutsForm form(nullptr, false, nullptr);
    EXPECT_EQ(form.windowTitle(), "Layouts");
    QComboBox *combo = child<QComboBox>(&form, "LayoutCombo");
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "Other");
    EXPECT_EQ(combo->itemText(1), "Sample");
    EXPECT_EQ(listTexts(form), QStringList{"A4 Cards 2 x 5"});   // the first file, loaded
    EXPECT_EQ(child<QLabel>(&form, "NotesLabel")->text(), "European");
    EXPECT_EQ(child<QLabel>(&form, "SizeLabel")->text(), "3.34 in x 2.12 in");

    chooseFile(form, "Sample");
    EXPECT_EQ(listTexts(form), (QStringList{"===== Cards =====", "Business Cards 2 x 5", "Side Fold 1 x 5", "",
                                            "----- More -----", "Rotary 2 x 4"}));
    EXPECT_EQ(form.listedRecords()[1].Name(), "Business Cards 2 x 5<>Clean edge note");   // the note is kept
    selectRow(form, 1);
    EXPECT_EQ(child<QLabel>(&form, "NotesLabel")->text(), "Clean edge note");
    EXPECT_EQ(child<QLabel>(&form, "SizeLabel")->text(), "3.50 in x 2.00 in");
    EXPECT_TRUE(child<QPushButton>(&form, "EditBtn")->isEnabled());
    EXPECT_TRUE(child<TLayoutPreviewBox>(&form, "PreviewPaintBox")->preview().shown);

    for (int row : {0, 3, 4}) {
        selectRow(form, row);
        EXPECT_TRUE(child<QLabel>(&form, "NotesLabel")->text().isEmpty()) << row;
        EXPECT_TRUE(child<QLabel>(&form, "SizeLabel")->text().isEmpty()) << row;
        EXPECT_FALSE(child<TLayoutPreviewBox>(&form, "PreviewPaintBox")->preview().shown) << row;
    }

    // Millimetres follow the units option.
    TLayoutsForm metric(nullptr, true, nullptr);
    EXPECT_EQ(child<QLabel>(&metric, "SizeLabel")->text(), "84.84 mm x 53.85 mm");
}

TEST_F(LayoutsFormTest, PreviewPaintsTheSheetAndElements)
{
    TLayoutsForm form(nullptr, false, nullptr);
    chooseFile(form, "Sample");
    selectRow(form, 1);
    auto *box = child<TLayoutPreviewBox>(&form, "PreviewPaintBox");
    const LayoutPreview p = box->preview();
    ASSERT_EQ(p.elements.size(), 10);
    const QImage img = box->grab().toImage();
    ASSERT_FALSE(img.isNull());
    const QRect e = p.elements[0];
    EXPECT_EQ(QColor(img.pixel(e.topLeft())), QColor(Qt::red));
    EXPECT_EQ(QColor(img.pixel(e.bottomRight())), QColor(Qt::red));
    EXPECT_EQ(QColor(img.pixel(e.center())), QColor(Qt::white));
    EXPECT_EQ(QColor(img.pixel(p.sheet.topLeft())), QColor(Qt::black));
    EXPECT_EQ(QColor(img.pixel(p.sheet.bottomRight())), QColor(Qt::black));
    EXPECT_EQ(QColor(img.pixel(p.sheet.left() + 3, p.sheet.top() + 3)), QColor(Qt::white));   // in the margin
    EXPECT_NE(QColor(img.pixel(p.sheet.right() + 1, p.sheet.center().y())), QColor(Qt::black));

    // Opposite orientation redraws the turned sheet.
    child<QCheckBox>(&form, "OppositeCheck")->setChecked(true);
    EXPECT_EQ(box->preview().paper, QSize(1100, 850));
    EXPECT_EQ(box->preview().elements[0].size(), QSize(33, 58));
}

TEST_F(LayoutsFormTest, OpensOnTheFirstLayoutAndSaysWhyAHeadingIsNoChoice)
{
    // 2 rows x 5 columns of 350 x 200, listed after a heading and a blank line.
    const LayoutRecord wide = cards(2, 5, "Wide cards<>n");
    LayoutRecord heading, blank;
    heading.setName("===== Heading");
    blank.setName(".....");
    ASSERT_TRUE(writeLayoutFile(home.filePath("Aaa.LYT"), {heading, blank, wide}));

    // OK at once takes the first layout, not the heading above it.
    {
        LayoutRecord target;
        TLayoutsForm form(nullptr, false, &target);
        form.show();
        EXPECT_EQ(child<QListWidget>(&form, "LayoutList")->currentRow(), 2);
        click(&form, "OkBtn");
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(target, wide);
    }

    LayoutRecord target;
    TLayoutsForm form(nullptr, false, &target);
    form.show();
    const struct {
        int row;
        const char *message;
    } refused[] = {
        {0, "\"===== Heading\" is a heading, not a layout. Please select one of the layouts listed below it."},
        {1, "The selected line is empty, not a layout. Please select a layout in the list."},
    };
    for (const auto &r : refused) {
        selectRow(form, r.row);
        QString message;
        answerMessage(&form, QMessageBox::Ok, &message);
        click(&form, "OkBtn");
        EXPECT_EQ(message, QLatin1String(r.message));
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(target, LayoutRecord());
    }

    selectRow(form, 2);
    child<QCheckBox>(&form, "OppositeCheck")->setChecked(true);
    click(&form, "OkBtn");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(target.Rows(), 5u);
    EXPECT_EQ(target.Columns(), 2u);
    EXPECT_EQ(target.Width(), 200u);
    EXPECT_EQ(target.Height(), 350u);
    EXPECT_EQ(target.TopMargin(), 75u);
    EXPECT_EQ(target.LeftMargin(), 50u);
    EXPECT_EQ(target.ColumnSpace(), 20u);
    EXPECT_EQ(target.RowSpace(), 10u);
    EXPECT_EQ(target.Name(), "Wide cards<>n");
    // The library itself is not turned.
    EXPECT_EQ(readLayoutFile(home.filePath("Aaa.LYT"))[2], wide);
}

TEST_F(LayoutsFormTest, NoLayoutFilesLeavesEmptyListsAndOkDoesNothing)
{
    QTemporaryDir empty;
    qputenv("OSTRAVEL_HOME", empty.path().toLocal8Bit());
    LayoutRecord target;
    TLayoutsForm form(nullptr, false, &target);
    form.show();
    EXPECT_EQ(child<QComboBox>(&form, "LayoutCombo")->count(), 0);
    EXPECT_FALSE(child<QPushButton>(&form, "EditBtn")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(&form, "DeleteBtn")->isEnabled());
    QString message;
    answerMessage(&form, QMessageBox::Ok, &message);
    click(&form, "OkBtn");
    EXPECT_EQ(message, "Please select a layout in the list first.");
    EXPECT_TRUE(form.isVisible());
    click(&form, "CancelBtn");   // nothing changed: no question
    EXPECT_FALSE(form.isVisible());

    // Without layout files, the stock layouts are what the dialog offers.
    StockLibrary stock({fixture("stock")});
    stock.wait();
    TLayoutsForm withStock(nullptr, false, &target, plat::ProgramFolder::current(), &stock);
    QComboBox *combo = child<QComboBox>(&withStock, "LayoutCombo");
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentText(), "Acme (stock)");
    EXPECT_EQ(listTexts(withStock).size(), 4);
    EXPECT_EQ(child<QListWidget>(&withStock, "LayoutList")->currentRow(), 0);
}

TEST_F(LayoutsFormTest, NewWithoutSelectionStartsFromZeroAndIsSavedOnOk)
{
    ASSERT_TRUE(writeFile(home.filePath("Aaa.LYT"), QByteArray()));
    TLayoutsForm form(nullptr, false, nullptr);
    form.show();
    ASSERT_EQ(form.listedRecords().size(), 0);
    QStringList shown;
    onNextModal(&form, [&shown](QWidget *w) {
        for (const char *name : {"NameEdit", "WidthEdit", "HeightEdit", "RowsEdit", "ColumnsEdit", "TopMarginEdit"})
            shown << child<QLineEdit>(w, name)->text();
        child<QLineEdit>(w, "NameEdit")->setText("Mine<>typed");
        child<QLineEdit>(w, "WidthEdit")->setText("3.5");
        child<QLineEdit>(w, "HeightEdit")->setText("2");
        child<QLineEdit>(w, "RowsEdit")->setText("5");
        child<QLineEdit>(w, "ColumnsEdit")->setText("2");
        click(w, "OkBtn");
    });
    click(&form, "NewBtn");
    EXPECT_EQ(shown, (QStringList{"", "", "", "", "", "0.0000"}));
    EXPECT_EQ(listTexts(form), QStringList{"Mine"});
    EXPECT_TRUE(form.isModified());
    EXPECT_TRUE(child<QPushButton>(&form, "EditBtn")->isEnabled());   // the new entry is selected
    EXPECT_EQ(child<QLabel>(&form, "NotesLabel")->text(), "typed");

    click(&form, "OkBtn");
    EXPECT_FALSE(form.isVisible());
    const QList<LayoutRecord> saved = readLayoutFile(home.filePath("Aaa.LYT"));
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved[0].Width(), 350u);
    EXPECT_EQ(saved[0].Rows(), 5u);
    EXPECT_EQ(saved[0].Name(), "Mine<>typed");
}

TEST_F(LayoutsFormTest, NewCopiesTheSelectedLayoutWithoutItsNameAndCancelDiscardsIt)
{
    TLayoutsForm form(nullptr, false, nullptr);
    chooseFile(form, "Sample");
    selectRow(form, 2);   // the side-fold card
    QStringList shown;
    onNextModal(&form, [&shown](QWidget *w) {
        shown << child<QLineEdit>(w, "NameEdit")->text() << child<QLineEdit>(w, "WidthEdit")->text()
              << child<QComboBox>(w, "RegionTypeCombo")->currentText();
        EXPECT_FALSE(child<QComboBox>(w, "RegionTypeCombo")->isEnabled());
        EXPECT_FALSE(child<QCheckBox>(w, "BackPrintableCheck")->isEnabled());
        click(w, "CancelBtn");
    });
    click(&form, "NewBtn");
    EXPECT_EQ(shown, (QStringList{"", "7.0000", "Side Fold Wide Business Card"}));
    EXPECT_EQ(form.listedRecords().size(), 6);
    EXPECT_FALSE(form.isModified());
}

TEST_F(LayoutsFormTest, EditRenewsTheEntryAndSavingAFileOfTwoAndAByteDropsTheByte)
{
    const QByteArray bytes = cards(5, 2, "One").toBytes() + cards(4, 2, "Two").toBytes() + QByteArray(1, '\x7f');
    ASSERT_TRUE(writeFile(home.filePath("Aaa.LYT"), bytes));
    TLayoutsForm form(nullptr, false, nullptr);
    form.show();
    ASSERT_EQ(listTexts(form), (QStringList{"One", "Two"}));
    selectRow(form, 1);
    onNextModal(&form, [](QWidget *w) {
        child<QLineEdit>(w, "NameEdit")->setText("Two edited<>with a note");
        click(w, "OkBtn");
    });
    click(&form, "EditBtn");
    EXPECT_EQ(listTexts(form), (QStringList{"One", "Two edited"}));
    EXPECT_TRUE(form.isModified());
    click(&form, "OkBtn");
    const QByteArray saved = readFile(home.filePath("Aaa.LYT"));
    ASSERT_EQ(saved.size(), 244);
    EXPECT_EQ(saved.left(122), bytes.left(122));
    LayoutRecord two = cards(4, 2);
    two.setName("Two edited<>with a note");
    EXPECT_EQ(saved.mid(122), two.toBytes());
}

TEST_F(LayoutsFormTest, DeleteAsksAndSelectsThePreviousEntry)
{
    TLayoutsForm form(nullptr, false, nullptr);
    chooseFile(form, "Sample");
    selectRow(form, 2);
    QString question;
    answerMessage(&form, QMessageBox::No, &question);
    click(&form, "DeleteBtn");
    EXPECT_EQ(question, "Delete the selected layout.\n\nAre you sure?");
    EXPECT_EQ(form.listedRecords().size(), 6);
    EXPECT_FALSE(form.isModified());

    answerMessage(&form, QMessageBox::Yes, nullptr);
    click(&form, "DeleteBtn");
    EXPECT_EQ(listTexts(form), (QStringList{"===== Cards =====", "Business Cards 2 x 5", "", "----- More -----",
                                            "Rotary 2 x 4"}));
    EXPECT_EQ(child<QListWidget>(&form, "LayoutList")->currentRow(), 1);
    EXPECT_TRUE(form.isModified());

    // Deleting the first entry selects the new first one.
    selectRow(form, 0);
    answerMessage(&form, QMessageBox::Yes, nullptr);
    click(&form, "DeleteBtn");
    EXPECT_EQ(child<QListWidget>(&form, "LayoutList")->currentRow(), 0);
    EXPECT_EQ(child<QLabel>(&form, "NotesLabel")->text(), "Clean edge note");
}

TEST_F(LayoutsFormTest, CancelAsksOnlyAfterChangesAndLosesThem)
{
    const QByteArray before = readFile(home.filePath("Sample.LYT"));
    TLayoutsForm form(nullptr, false, nullptr);
    form.show();
    chooseFile(form, "Sample");
    // Reordering (the end of a drag) counts as a change.
    QAbstractItemModel *model = child<QListWidget>(&form, "LayoutList")->model();
    ASSERT_TRUE(model->moveRow(QModelIndex(), 5, QModelIndex(), 0));
    EXPECT_EQ(listTexts(form).first(), "Rotary 2 x 4");
    EXPECT_TRUE(form.isModified());

    QString question;
    answerMessage(&form, QMessageBox::No, &question);
    click(&form, "CancelBtn");
    EXPECT_EQ(question, "Cancelling will not save the layout changes you made.\n\nAre you sure you want to cancel?");
    EXPECT_TRUE(form.isVisible());

    answerMessage(&form, QMessageBox::Yes, nullptr);
    click(&form, "CancelBtn");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(readFile(home.filePath("Sample.LYT")), before);
}

TEST_F(LayoutsFormTest, ChoosingAnotherFileSavesTheChangedOne)
{
    TLayoutsForm form(nullptr, false, nullptr);
    chooseFile(form, "Sample");
    QAbstractItemModel *model = child<QListWidget>(&form, "LayoutList")->model();
    ASSERT_TRUE(model->moveRow(QModelIndex(), 0, QModelIndex(), 6));   // the heading to the end
    chooseFile(form, "Other");
    EXPECT_FALSE(form.isModified());
    EXPECT_EQ(listTexts(form), QStringList{"A4 Cards 2 x 5"});
    const QList<LayoutRecord> saved = readLayoutFile(home.filePath("Sample.LYT"));
    ASSERT_EQ(saved.size(), 6);
    EXPECT_EQ(saved.last().Name(), "===== Cards =====");
}

TEST_F(LayoutsFormTest, AnEditedShippedFileBecomesTheUsersCopy)
{
    QTemporaryDir user, shipped;
    ASSERT_TRUE(QFile::copy(fixture("layout/Sample.LYT"), shipped.filePath("Sample.LYT")));
    const QByteArray original = readFile(shipped.filePath("Sample.LYT"));
    const plat::ProgramFolder pf = plat::ProgramFolder::fromFolders(QString(), user.path(), shipped.path(), QString());
    {
        TLayoutsForm form(nullptr, false, nullptr, pf);
        selectRow(form, 5);
        answerMessage(&form, QMessageBox::Yes, nullptr);
        click(&form, "DeleteBtn");
        click(&form, "OkBtn");
        EXPECT_EQ(form.loadedPath(), QDir(user.path()).absoluteFilePath("Sample.LYT"));
    }
    EXPECT_EQ(readFile(shipped.filePath("Sample.LYT")), original);
    EXPECT_EQ(readLayoutFile(user.filePath("Sample.LYT")).size(), 5);
    // Opened again, the user's copy is what the dialog shows.
    TLayoutsForm again(nullptr, false, nullptr, pf);
    EXPECT_EQ(again.listedRecords().size(), 5);
}

TEST_F(LayoutsFormTest, PickLayoutReturnsTheChosenRecord)
{
    LayoutRecord chosen;
    onNextModal(nullptr, [](QWidget *w) {
        auto *form = qobject_cast<TLayoutsForm *>(w);
        ASSERT_NE(form, nullptr);
        QComboBox *combo = child<QComboBox>(form, "LayoutCombo");
        combo->setCurrentIndex(combo->findText("Sample"));
        QListWidget *list = child<QListWidget>(form, "LayoutList");
        list->setCurrentRow(5);
        click(form, "OkBtn");
    });
    ASSERT_TRUE(TLayoutsForm::pickLayout(nullptr, false, &chosen));
    EXPECT_EQ(chosen.Name(), "Rotary 2 x 4");
    EXPECT_EQ(chosen.Height(), 225u);

    LayoutRecord untouched = cards(1, 1);
    onNextModal(nullptr, [](QWidget *w) { click(w, "CancelBtn"); });
    EXPECT_FALSE(TLayoutsForm::pickLayout(nullptr, false, &untouched));
    EXPECT_EQ(untouched, cards(1, 1));
}

// ---- stock layouts and the search box ----

namespace {

QStringList comboTexts(const QWidget &form)
{
    QStringList out;
    QComboBox *combo = child<QComboBox>(&form, "LayoutCombo");
    for (int i = 0; combo && i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

QStringList enabledButtons(const QWidget &form)
{
    QStringList out;
    for (const char *name : {"NewBtn", "EditBtn", "DeleteBtn", "CopyBtn"})
        if (child<QPushButton>(&form, name)->isEnabled())
            out << QLatin1String(name);
    return out;
}

void typeSearch(const QWidget &form, const QString &text)
{
    QLineEdit *search = child<QLineEdit>(&form, "SearchEdit");
    search->clear();
    QTest::keyClicks(search, text);
}

} // namespace

TEST_F(LayoutsFormTest, StockSectionsAreReadOnlyAndCopyGoesToMyLayouts)
{
    StockLibrary stock({fixture("stock")});
    stock.wait();
    TLayoutsForm form(nullptr, false, nullptr, plat::ProgramFolder::current(), &stock);
    form.show();
    EXPECT_EQ(comboTexts(form), (QStringList{"Other", "Sample", "", "Acme (stock)", "Zenith (stock)"}));
    EXPECT_EQ(enabledButtons(form), (QStringList{"NewBtn", "EditBtn", "DeleteBtn"}));

    chooseFile(form, "Acme (stock)");
    EXPECT_EQ(listTexts(form), (QStringList{"Acme 5371 Business Cards", "Acme 8371 Business Cards",
                                            "Acme 25371 Business Cards", "Acme E-85 Cards with gaps"}));
    EXPECT_EQ(enabledButtons(form), QStringList{"CopyBtn"});
    EXPECT_EQ(child<QListWidget>(&form, "LayoutList")->dragDropMode(), QAbstractItemView::NoDragDrop);
    selectRow(form, 1);
    EXPECT_EQ(child<QLabel>(&form, "SizeLabel")->text(), "3.50 in x 2.00 in");
    EXPECT_EQ(child<QLabel>(&form, "NotesLabel")->text(), "Stock layout, read-only. To change it, copy it to My Layouts.");
    EXPECT_TRUE(child<TLayoutPreviewBox>(&form, "PreviewPaintBox")->preview().shown);
    const LayoutRecord stocked = stock.contents().layouts[1].record;

    click(&form, "CopyBtn");
    EXPECT_EQ(comboTexts(form).mid(0, 3), (QStringList{"My Layouts", "Other", "Sample"}));
    EXPECT_EQ(child<QComboBox>(&form, "LayoutCombo")->currentText(), "My Layouts");
    EXPECT_EQ(listTexts(form), QStringList{"Acme 8371 Business Cards"});
    EXPECT_EQ(enabledButtons(form), (QStringList{"NewBtn", "EditBtn", "DeleteBtn"}));
    EXPECT_TRUE(form.isModified());
    click(&form, "OkBtn");
    EXPECT_EQ(readLayoutFile(home.filePath("My Layouts.LYT")), QList<LayoutRecord>{stocked});
}

// Typing a product code leaves the matching layouts of every list; choosing one gives a
// design on that layout.
TEST_F(LayoutsFormTest, SearchFindsAProductCodeAndItsLayoutMakesTheDesign)
{
    StockLibrary stock({fixture("stock")});
    stock.wait();
    QStringList shown, rotary;
    onNextModal(nullptr, [&shown, &rotary](QWidget *w) {
        typeSearch(*w, "rotary");
        rotary = listTexts(*qobject_cast<TLayoutsForm *>(w));
        typeSearch(*w, "8371");
        shown = listTexts(*qobject_cast<TLayoutsForm *>(w));
        EXPECT_EQ(enabledButtons(*w), QStringList{"CopyBtn"});
        click(w, "OkBtn");   // the first match is selected
    });
    LayoutRecord chosen;
    ASSERT_TRUE(TLayoutsForm::pickLayout(nullptr, false, &chosen, plat::ProgramFolder::current(), &stock));
    EXPECT_EQ(rotary, (QStringList{"===== Sample =====", "Rotary 2 x 4", "===== Zenith (stock) =====",
                                   "Zenith Z-7 Rotary Cards"}));
    EXPECT_EQ(shown, (QStringList{"===== Acme (stock) =====", "Acme 8371 Business Cards"}));
    EXPECT_EQ(chosen.Name(), "Acme 8371 Business Cards");

    document::DesignDocument doc;
    ASSERT_EQ(doc.createBlank(chosen, 1), 1);
    EXPECT_EQ(doc.layout(), chosen);
    EXPECT_EQ(doc.layout().Rows(), 5u);
    EXPECT_EQ(doc.layout().Columns(), 2u);
    EXPECT_EQ(doc.surface()->size(), QSize(350, 200));
}

TEST_F(LayoutsFormTest, SearchIsReadOnlyAndKeepsTheUnsavedCollection)
{
    TLayoutsForm form(nullptr, false, nullptr);
    form.show();
    chooseFile(form, "Sample");
    QAbstractItemModel *model = child<QListWidget>(&form, "LayoutList")->model();
    ASSERT_TRUE(model->moveRow(QModelIndex(), 5, QModelIndex(), 0));   // Rotary first, not saved yet
    const QStringList reordered = listTexts(form);
    ASSERT_EQ(reordered.first(), "Rotary 2 x 4");

    typeSearch(form, "CARDS 2");
    EXPECT_TRUE(form.isSearching());
    EXPECT_EQ(listTexts(form), (QStringList{"===== Other =====", "A4 Cards 2 x 5", "===== Sample =====",
                                            "Business Cards 2 x 5"}));
    EXPECT_EQ(child<QListWidget>(&form, "LayoutList")->currentRow(), 1);
    EXPECT_EQ(enabledButtons(form), QStringList{"CopyBtn"});
    EXPECT_EQ(child<QListWidget>(&form, "LayoutList")->dragDropMode(), QAbstractItemView::NoDragDrop);
    // Group headings cannot be chosen.
    EXPECT_FALSE(child<QListWidget>(&form, "LayoutList")->item(0)->flags() & Qt::ItemIsSelectable);

    child<QLineEdit>(&form, "SearchEdit")->clear();
    EXPECT_FALSE(form.isSearching());
    EXPECT_EQ(listTexts(form), reordered);
    EXPECT_TRUE(form.isModified());
    EXPECT_EQ(enabledButtons(form), (QStringList{"NewBtn", "EditBtn", "DeleteBtn"}));

    // Choosing a collection while searching ends the search; the changed file is saved.
    typeSearch(form, "rotary");
    chooseFile(form, "Other");
    EXPECT_TRUE(child<QLineEdit>(&form, "SearchEdit")->text().isEmpty());
    EXPECT_EQ(listTexts(form), QStringList{"A4 Cards 2 x 5"});
    EXPECT_EQ(readLayoutFile(home.filePath("Sample.LYT")).first().Name(), "Rotary 2 x 4");
}

TEST_F(LayoutsFormTest, StockSectionsArriveWhenTheBackgroundReadingIsDone)
{
    StockLibrary stock({fixture("stock")});
    TLayoutsForm form(nullptr, false, nullptr, plat::ProgramFolder::current(), &stock);
    form.show();
    // Opening does not wait for the library.
    EXPECT_EQ(comboTexts(form), (QStringList{"Other", "Sample"}));
    typeSearch(form, "z-3");
    EXPECT_TRUE(listTexts(form).isEmpty());
    for (int i = 0; i < 400 && !stock.isReady(); ++i)
        QTest::qWait(50);
    ASSERT_TRUE(stock.isReady());
    EXPECT_EQ(comboTexts(form).size(), 5);
    EXPECT_EQ(listTexts(form), (QStringList{"===== Zenith (stock) =====", "Zenith Z-3 Name Badges"}));
    EXPECT_EQ(child<QListWidget>(&form, "LayoutList")->currentRow(), 1);
}

// ---- the layout dialog ----

TEST_F(LayoutsFormTest, LayoutDialogShowsTheRecord)
{
    LayoutRecord r = cards(5, 2, "Cards<>note");
    r.setPaperType(4);
    r.setRegionType(2);
    r.setBackPrintable(1);
    TEditLayoutForm form(nullptr, true, r);
    EXPECT_EQ(form.windowTitle(), "Layout");
    EXPECT_EQ(child<QLineEdit>(&form, "NameEdit")->text(), "Cards<>note");
    EXPECT_EQ(child<QLineEdit>(&form, "NameEdit")->maxLength(), 49);
    EXPECT_EQ(child<QLineEdit>(&form, "WidthEdit")->text(), "88.9000");
    EXPECT_EQ(child<QLineEdit>(&form, "LeftMarginEdit")->text(), "19.0500");
    EXPECT_EQ(child<QLineEdit>(&form, "RowsEdit")->text(), "5");
    QComboBox *paper = child<QComboBox>(&form, "PaperTypeCombo");
    EXPECT_EQ(paper->count(), 6);
    EXPECT_EQ(paper->currentText(), "A4 (210 x 297 mm)");
    EXPECT_EQ(child<QComboBox>(&form, "RegionTypeCombo")->currentText(), "Top Fold Wide Business Card");
    EXPECT_TRUE(child<QCheckBox>(&form, "BackPrintableCheck")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(&form, "MmRadio")->isChecked());
    EXPECT_NE(form.findChild<QWidget *>("UnitsRadioGroup"), nullptr);
    EXPECT_NE(form.findChild<QWidget *>("ColumnSpaceEdit"), nullptr);
    EXPECT_NE(form.findChild<QWidget *>("RowSpaceEdit"), nullptr);
    EXPECT_NE(form.findChild<QWidget *>("TopMarginEdit"), nullptr);
}

TEST_F(LayoutsFormTest, LayoutDialogRefusesBadNumbersAndRegionsAndKeepsTheRecord)
{
    const LayoutRecord original = cards(5, 2);
    struct Case {
        const char *what;
        std::function<void(TEditLayoutForm &)> edit;
        const char *message;
    };
    const Case cases[] = {
        {"a comma where the locale uses a point",
         [](TEditLayoutForm &f) { child<QLineEdit>(&f, "WidthEdit")->setText("3,5"); },
         "Please enter valid layout settings before clicking OK.\n\nThe width must be a number of 0 or more."},
        {"a count that is no number", [](TEditLayoutForm &f) { child<QLineEdit>(&f, "RowsEdit")->setText("many"); },
         "Please enter valid layout settings before clicking OK.\n\nRows must be a whole number of 0 or more."},
        {"inch numbers read as millimetres", [](TEditLayoutForm &f) { child<QRadioButton>(&f, "MmRadio")->click(); },
         "The width and height or each region must be between 38.10 and 101.60"},
        {"a region too narrow", [](TEditLayoutForm &f) { child<QLineEdit>(&f, "WidthEdit")->setText("1.49"); },
         "The width and height or each region must be between 1.50 and 4.00"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        LayoutRecord r = original;
        TEditLayoutForm form(nullptr, false, r);
        form.show();
        c.edit(form);
        // The units switch converts nothing on display.
        EXPECT_NE(child<QLineEdit>(&form, "HeightEdit")->text(), "");
        QString message;
        answerMessage(&form, QMessageBox::Ok, &message);
        click(&form, "OkBtn");
        EXPECT_EQ(message, QString::fromLatin1(c.message));
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(r, original);
    }

    LayoutRecord r = original;
    TEditLayoutForm form(nullptr, false, r);
    form.show();
    child<QLineEdit>(&form, "WidthEdit")->setText("3");
    child<QComboBox>(&form, "PaperTypeCombo")->setCurrentIndex(1);
    click(&form, "OkBtn");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(r.Width(), 300u);
    EXPECT_EQ(r.PaperType(), 1);
    EXPECT_EQ(r.Height(), 200u);
}

TEST_F(LayoutsFormTest, EditCurrentLayoutResizesTheSurfaceAtTheZoom)
{
    document::DesignDocument doc;
    ASSERT_EQ(doc.createBlank(cards(5, 2), 1), 1);
    doc.setZoom(200, false);
    doc.setModified(false);
    ASSERT_EQ(doc.surface()->size(), QSize(700, 400));

    onNextModal(nullptr, [](QWidget *w) { click(w, "CancelBtn"); });
    EXPECT_FALSE(EditCurrentLayout(nullptr, doc, false));
    EXPECT_EQ(doc.layout(), cards(5, 2));
    EXPECT_FALSE(doc.isModified());

    onNextModal(nullptr, [](QWidget *w) {
        EXPECT_EQ(child<QLineEdit>(w, "WidthEdit")->text(), "88.9000");   // the option's units
        child<QLineEdit>(w, "WidthEdit")->setText("76.2");
        click(w, "OkBtn");
    });
    EXPECT_TRUE(EditCurrentLayout(nullptr, doc, true));
    EXPECT_EQ(doc.layout().Width(), 300u);
    EXPECT_EQ(doc.surface()->size(), QSize(600, 400));
    EXPECT_TRUE(doc.isModified());

    // A side fold halves the width; at 150 % the factor is taken first.
    LayoutRecord fold = cards(5, 1);
    fold.setWidth(701);
    fold.setRegionType(3);
    doc.setZoom(150, false);
    applyCurrentLayout(doc, fold);
    EXPECT_EQ(doc.surface()->size(), QSize(525, 300));
}
