// The Personal Database dialog and its Import dialog, driven through their named widgets.
#include "../contacts/ContactsTestSupport.h"

#include "app/ui/MainForm.h"
#include "contacts/ContactImport.h"
#include "contacts/ui/PDBForm.h"
#include "contacts/ui/PDBImportForm.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "TestSupport.h"

using namespace contactstests;
using contacts::TBinaryDataSet;
using contacts::TPDBForm;
using contacts::TPDBImportForm;

namespace {

// Handles the modal windows that come up while it lives, one step per window, in order.
// A step gets the active modal window and returns false when it is not the one it waits
// for. Steps act through queued calls when their action opens another modal window.
class ModalDriver : public QObject {
public:
    using Step = std::function<bool(QWidget *)>;
    explicit ModalDriver(QList<Step> steps) : m_steps(std::move(steps))
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }
    bool done() const { return m_steps.isEmpty(); }

private:
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || m_steps.isEmpty())
            return;
        Step step = m_steps.takeFirst();
        if (!step(w))
            m_steps.prepend(step);
    }
    QList<Step> m_steps;
    QTimer m_timer;
};

// A step that answers a message box with `button`, keeping its text in `text`.
ModalDriver::Step answer(QMessageBox::StandardButton button, QString *text = nullptr)
{
    return [button, text](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box)
            return false;
        if (text)
            *text = box->text();
        box->button(button)->click();
        return true;
    };
}

template <typename T> T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

const QString kQuestionStart = QStringLiteral("Could not open ");
const QString kQuestionEnd =
    QStringLiteral("\n\nThe file is missing or corrupt.\n\nWould you like to create a new (blank) file?");

// Types `text` into `w` key by key, also characters that have no key of their own.
void typeText(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

int visibleRows(QTreeWidget *list)
{
    int n = 0;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        n += !list->topLevelItem(i)->isHidden();
    return n;
}

// A personal data file with `records`, each given by its leading values.
QString fileWith(const QTemporaryDir &dir, const QList<QStringList> &records)
{
    const QString path = createPersonalFile(dir);
    withDataSet(path, [&](TBinaryDataSet &ds) {
        for (const QStringList &r : records)
            addRecord(ds, r);
    });
    return path;
}

} // namespace

// First use: the question is asked; Yes creates the empty file, No leaves an empty dialog.
TEST(PDBForm, FirstUseWithoutAFile)
{
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Personal Data.dat"));
        QString question;
        ModalDriver driver({answer(yes ? QMessageBox::Yes : QMessageBox::No, &question)});
        TPDBForm form(nullptr, path);
        EXPECT_TRUE(driver.done());
        EXPECT_EQ(question, kQuestionStart + path + kQuestionEnd);
        EXPECT_FALSE(QFile::exists(path + QStringLiteral(".bak"))) << "no backup when the first open failed";
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Personal Database"));
        auto *list = child<QTreeWidget>(&form, "RecordList");
        EXPECT_EQ(list->topLevelItemCount(), 0);
        EXPECT_FALSE(form.HasRecord());
        if (yes) {
            EXPECT_EQ(fileBytes(path).size(), 581);
            EXPECT_TRUE(form.DataSet().Active());
            EXPECT_TRUE(child<QLineEdit>(&form, "FNAMEEdit")->isEnabled());
            EXPECT_TRUE(child<QToolButton>(&form, "NavInsertBtn")->isEnabled());
        } else {
            EXPECT_FALSE(QFile::exists(path));
            EXPECT_FALSE(form.DataSet().Active());
            EXPECT_FALSE(child<QLineEdit>(&form, "FNAMEEdit")->isEnabled());
            EXPECT_FALSE(child<QToolButton>(&form, "NavInsertBtn")->isEnabled());
            EXPECT_FALSE(child<QPushButton>(&form, "ExportBtn")->isEnabled());
        }
    }
}

TEST(PDBForm, OpeningBacksUpAGoodFileAndKeepsADamagedOne)
{
    QTemporaryDir dir;
    const QString path = fileWith(dir, {{QStringLiteral("Ann")}});
    const QByteArray good = fileBytes(path);
    {
        TPDBForm form(nullptr, path);
        EXPECT_EQ(fileBytes(path + QStringLiteral(".bak")), good);
        EXPECT_EQ(form.FieldValue(contacts::FNAME), QStringLiteral("Ann"));
    }

    QByteArray damaged = good;
    damaged[0] = 'X';
    writeBytes(path, damaged);
    QString question;
    ModalDriver driver({answer(QMessageBox::Yes, &question)});
    TPDBForm form(nullptr, path);
    EXPECT_TRUE(question.startsWith(kQuestionStart));
    EXPECT_EQ(fileBytes(path + QStringLiteral(".damaged")), damaged) << "the damaged file is kept";
    EXPECT_EQ(fileBytes(path).size(), 581);
    EXPECT_EQ(fileBytes(path + QStringLiteral(".bak")), good) << "the last good backup is not replaced";
}

// A second window cannot open the file for writing while the first holds it; nothing
// is offered that would replace the file.
TEST(PDBForm, FileHeldByAnotherWriter)
{
    QTemporaryDir dir;
    const QString path = fileWith(dir, {{QStringLiteral("Ann")}});
    TPDBForm first(nullptr, path);
    ASSERT_TRUE(first.DataSet().Active());
    QString message;
    ModalDriver driver({answer(QMessageBox::Ok, &message)});
    TPDBForm second(nullptr, path);
    EXPECT_TRUE(driver.done());
    EXPECT_TRUE(message.contains(QStringLiteral("already open for changes"))) << message.toStdString();
    EXPECT_FALSE(second.DataSet().Active());
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".damaged")));
}

// OK while a new record is being typed stores it; Cancel drops it.
TEST(PDBForm, OkStoresTheRecordBeingTypedAndCancelDropsIt)
{
    for (const bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        QTemporaryDir dir;
        const QString path = fileWith(dir, {{QStringLiteral("Ann"), QStringLiteral("Lee")}});
        {
            TPDBForm form(nullptr, path);
            form.show();
            QTest::mouseClick(child<QToolButton>(&form, "NavInsertBtn"), Qt::LeftButton);
            EXPECT_EQ(child<QLineEdit>(&form, "FNAMEEdit")->text(), QString());
            QTest::keyClicks(child<QLineEdit>(&form, "FNAMEEdit"), QStringLiteral("Bob"));
            auto *memo = child<QPlainTextEdit>(&form, "ADDRESSMemo");
            QTest::keyClicks(memo, QStringLiteral("1 Main St"));
            QTest::keyClick(memo, Qt::Key_Return);
            QTest::keyClicks(memo, QStringLiteral("Springfield"));
            EXPECT_TRUE(child<QToolButton>(&form, "NavPostBtn")->isEnabled());
            QTest::mouseClick(child<QPushButton>(&form, ok ? "OKBtn" : "CancelBtn"), Qt::LeftButton);
            EXPECT_EQ(form.result(), ok ? QDialog::Accepted : QDialog::Rejected);
            if (ok) {
                // As a picker the dialog hands over the record it shows.
                EXPECT_TRUE(form.HasRecord());
                EXPECT_EQ(form.FieldValue(QStringLiteral("FNAME")), QStringLiteral("Bob"));
                EXPECT_EQ(form.RecordValues().value(contacts::ADDRESS), QStringLiteral("1 Main St\r\nSpringfield"));
            }
        }
        withDataSet(
            path,
            [&](TBinaryDataSet &ds) {
                const QList<contacts::Record> records = ds.Records();
                ASSERT_EQ(records.size(), ok ? 2 : 1);
                if (ok) {
                    EXPECT_EQ(records[1].values[contacts::FNAME], QStringLiteral("Bob"));
                    EXPECT_EQ(records[1].values[contacts::ADDRESS], QStringLiteral("1 Main St\r\nSpringfield"));
                }
            },
            true);
    }
}

// With hundreds of records, typing part of a name finds the record; Enter shows it.
TEST(PDBForm, FilterFindsARecordAmongHundreds)
{
    QTemporaryDir dir;
    QList<QStringList> records;
    for (int i = 0; i < 300; ++i)
        records << QStringList{QStringLiteral("First%1").arg(i), QStringLiteral("Last%1").arg(i),
                               QStringLiteral("Company %1").arg(i % 7)};
    records[217] = {QStringLiteral("Zed"), QStringLiteral("Quinn"), QStringLiteral("Quarry Ltd"), QString(),
                    QStringLiteral("9 Elm Row\r\nDunmore")};
    const QString path = fileWith(dir, records);
    TPDBForm form(nullptr, path);
    form.show();
    auto *list = child<QTreeWidget>(&form, "RecordList");
    auto *filter = child<QLineEdit>(&form, "FilterEdit");
    EXPECT_EQ(visibleRows(list), 300);
    QTest::keyClicks(filter, QStringLiteral("last29"));
    EXPECT_EQ(visibleRows(list), 11) << "Last29 and Last290 to Last299";
    filter->clear();
    QTest::keyClicks(filter, QStringLiteral("elm zed")); // words in any field, any letter case
    ASSERT_EQ(visibleRows(list), 1);
    EXPECT_EQ(form.FieldValue(contacts::FNAME), QStringLiteral("First0")) << "filtering alone does not move";
    QTest::keyClick(filter, Qt::Key_Return);
    EXPECT_TRUE(form.isVisible()) << "Enter in the filter box picks the record, it does not close the dialog";
    EXPECT_EQ(form.DataSet().CurrentSlot(), 217);
    EXPECT_EQ(child<QLineEdit>(&form, "LNAMEEdit")->text(), QStringLiteral("Quinn"));
    EXPECT_EQ(child<QPlainTextEdit>(&form, "ADDRESSMemo")->toPlainText(), QStringLiteral("9 Elm Row\nDunmore"));

    // Clicking a row moves the data set there.
    filter->clear();
    QTreeWidgetItem *row = list->topLevelItem(5);
    list->scrollToItem(row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
    EXPECT_EQ(form.DataSet().CurrentSlot(), 5);
    EXPECT_EQ(child<QLineEdit>(&form, "FNAMEEdit")->text(), QStringLiteral("First5"));
}

TEST(PDBForm, NavigatorAndDelete)
{
    QTemporaryDir dir;
    const QString path = fileWith(dir, {{QStringLiteral("Ann")}, {QStringLiteral("Bob")}, {QStringLiteral("Cid")}});
    TPDBForm form(nullptr, path);
    form.show();
    auto click = [&](const char *name) { QTest::mouseClick(child<QToolButton>(&form, name), Qt::LeftButton); };
    auto *first = child<QLineEdit>(&form, "FNAMEEdit");
    EXPECT_FALSE(child<QToolButton>(&form, "NavPriorBtn")->isEnabled());
    click("NavLastBtn");
    EXPECT_EQ(first->text(), QStringLiteral("Cid"));
    EXPECT_FALSE(child<QToolButton>(&form, "NavNextBtn")->isEnabled());
    click("NavPriorBtn");
    EXPECT_EQ(first->text(), QStringLiteral("Bob"));

    QString question;
    {
        ModalDriver driver({answer(QMessageBox::Cancel, &question)});
        click("NavDeleteBtn");
    }
    EXPECT_EQ(question, QStringLiteral("Delete record?"));
    EXPECT_EQ(form.DataSet().RecordCount(), 3);
    {
        ModalDriver driver({answer(QMessageBox::Ok)});
        click("NavDeleteBtn");
    }
    EXPECT_EQ(form.DataSet().RecordCount(), 2);
    EXPECT_EQ(first->text(), QStringLiteral("Cid"));
    EXPECT_EQ(child<QTreeWidget>(&form, "RecordList")->topLevelItemCount(), 2);
    click("NavFirstBtn");
    click("NavNextBtn");
    EXPECT_EQ(first->text(), QStringLiteral("Cid")) << "the deleted record is skipped";

    // A new record that was never typed into is not stored.
    click("NavInsertBtn");
    click("NavFirstBtn");
    EXPECT_EQ(form.DataSet().RecordCount(), 2);
    EXPECT_EQ(first->text(), QStringLiteral("Ann"));
    click("NavNextBtn");

    // An edit moved away from is posted; one cancelled is not.
    QTest::keyClicks(first, QStringLiteral("y"));
    click("NavPriorBtn");
    EXPECT_EQ(first->text(), QStringLiteral("Ann"));
    QTest::keyClicks(first, QStringLiteral("x"));
    click("NavCancelBtn");
    EXPECT_EQ(first->text(), QStringLiteral("Ann"));
    withDataSet(
        path,
        [](TBinaryDataSet &ds) {
            ds.Last();
            EXPECT_EQ(ds.FieldValue(contacts::FNAME), QStringLiteral("Cidy"));
        },
        true);
}

// A character the data file cannot hold is refused with the field's name; the record
// stays in the editors and nothing is written.
TEST(PDBForm, UnstorableCharacterIsRefused)
{
    QTemporaryDir dir;
    const QString path = fileWith(dir, {{QStringLiteral("Ann")}});
    const QByteArray before = fileBytes(path);
    TPDBForm form(nullptr, path);
    form.show();
    auto *last = child<QLineEdit>(&form, "LNAMEEdit");
    typeText(last, QStringLiteral("Wa\u0142\u0119sa"));
    QString message;
    {
        ModalDriver driver({answer(QMessageBox::Ok, &message)});
        QTest::mouseClick(child<QPushButton>(&form, "OKBtn"), Qt::LeftButton);
    }
    EXPECT_TRUE(message.startsWith(QStringLiteral("Last Name holds the character \u201C\u0142\u201D")))
        << message.toStdString();
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_EQ(last->text(), QStringLiteral("Wa\u0142\u0119sa"));
    EXPECT_EQ(fileBytes(path), before);
}

// Step 2 of the import: pairing, removing and pairing again; the enabled states; a line
// that fails is reported and skipped.
TEST(PDBImportForm, PairsColumnsAndImports)
{
    QTemporaryDir dir;
    const QString path = fileWith(dir, {{QStringLiteral("Ann")}});
    const QString csv = dir.filePath(QStringLiteral("people.csv"));
    writeBytes(csv, "Title,Last,First,Town\r\nDr,Lee,Bo,Rome|Italy\r\nshort\r\nMs,Ray,Di,Oslo\r\n");
    TPDBForm form(nullptr, path);
    TPDBImportForm import(&form);
    import.show();
    auto *fixed = child<QListWidget>(&import, "FixedFieldList");
    auto *fields = child<QListWidget>(&import, "FieldList");
    auto *result = child<QListWidget>(&import, "ResultList");
    auto *add = child<QPushButton>(&import, "AddBtn");
    auto *remove = child<QPushButton>(&import, "RemoveBtn");
    auto *importBtn = child<QPushButton>(&import, "ImportBtn");
    EXPECT_TRUE(child<QWidget>(&import, "FieldPanel")->isHidden());
    EXPECT_FALSE(importBtn->isEnabled());

    ASSERT_TRUE(import.LoadFile(csv));
    EXPECT_FALSE(child<QWidget>(&import, "FieldPanel")->isHidden());
    EXPECT_EQ(child<QLineEdit>(&import, "FileNameEdit")->text(), csv);
    ASSERT_EQ(fixed->count(), 13);
    ASSERT_EQ(fields->count(), 4);
    EXPECT_EQ(fields->item(2)->text(), QStringLiteral("First"));
    EXPECT_EQ(fixed->currentRow(), 0);
    EXPECT_EQ(fields->currentRow(), 0);
    EXPECT_TRUE(add->isEnabled());
    EXPECT_FALSE(remove->isEnabled());

    // First Name = First (column 2), removed and added again.
    fields->setCurrentRow(2);
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(result->item(0)->text(), QStringLiteral("First Name=First"));
    EXPECT_EQ(import.PairingCodes(), QList<int>({2}));
    EXPECT_TRUE(importBtn->isEnabled());
    EXPECT_EQ(fixed->count(), 12);
    EXPECT_EQ(fields->count(), 3);
    EXPECT_TRUE(remove->isEnabled());
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_FALSE(importBtn->isEnabled());
    EXPECT_EQ(fixed->currentItem()->text(), QStringLiteral("First Name"));
    EXPECT_EQ(fields->currentItem()->text(), QStringLiteral("First"));
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(import.PairingCodes(), QList<int>({2}));

    // Address = Town (column 3), Last Name = Last (column 1).
    fixed->setCurrentItem(fixed->findItems(QStringLiteral("Address"), Qt::MatchExactly).value(0));
    fields->setCurrentItem(fields->findItems(QStringLiteral("Town"), Qt::MatchExactly).value(0));
    QTest::mouseClick(add, Qt::LeftButton);
    fixed->setCurrentItem(fixed->findItems(QStringLiteral("Last Name"), Qt::MatchExactly).value(0));
    fields->setCurrentItem(fields->findItems(QStringLiteral("Last"), Qt::MatchExactly).value(0));
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(import.PairingCodes(), QList<int>({2, 4003, 1001}));
    fields->clearSelection();
    EXPECT_FALSE(add->isEnabled()) << "Add needs a field and a column";

    QString error;
    {
        ModalDriver driver({answer(QMessageBox::Ok, &error)});
        QTest::mouseClick(importBtn, Qt::LeftButton);
    }
    EXPECT_EQ(error, QStringLiteral("Exception on Import"));
    EXPECT_EQ(import.LastResult().imported, 3);
    ASSERT_EQ(import.LastResult().failures.size(), 1);
    EXPECT_EQ(import.LastResult().failures[0].line, 3);
    form.RefreshFromDataSet();
    EXPECT_EQ(child<QTreeWidget>(&form, "RecordList")->topLevelItemCount(), 4);

    form.DataSet().GotoBookmark(2);
    EXPECT_EQ(form.DataSet().Values().mid(0, 5),
              QStringList({"Bo", "Lee", "", "", "Rome\r\nItaly"}));
}

// The Import and Export buttons go through their dialogs.
TEST(PDBForm, ImportAndExportButtons)
{
    QTemporaryDir dir;
    const QString path = fileWith(dir, {{QStringLiteral("Ann"), QStringLiteral("Lee")}});
    const QString out = dir.filePath(QStringLiteral("export.csv"));
    TPDBForm form(nullptr, path);
    form.show();
    form.DataSet().Last();
    {
        ModalDriver driver({[&](QWidget *w) {
            auto *d = qobject_cast<QFileDialog *>(w);
            if (!d || d->objectName() != QLatin1String("ExportDialog"))
                return false;
            d->selectFile(out);
            QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
            return true;
        }});
        QTest::mouseClick(child<QPushButton>(&form, "ExportBtn"), Qt::LeftButton);
        EXPECT_TRUE(driver.done());
    }
    const QList<QByteArray> lines = fileBytes(out).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith("\"Ann\",\"Lee\",\"\""));

    const QString csv = dir.filePath(QStringLiteral("in.txt"));
    writeBytes(csv, "Zoë\r\nMo\r\n");
    {
        ModalDriver driver({[&](QWidget *w) {
            auto *imp = qobject_cast<TPDBImportForm *>(w);
            if (!imp)
                return false;
            imp->LoadFile(csv);
            QTest::mouseClick(imp->findChild<QPushButton *>(QStringLiteral("AddBtn")), Qt::LeftButton);
            QMetaObject::invokeMethod(imp->findChild<QPushButton *>(QStringLiteral("ImportBtn")), "click",
                                      Qt::QueuedConnection);
            return true;
        }});
        QTest::mouseClick(child<QPushButton>(&form, "ImportBtn"), Qt::LeftButton);
        EXPECT_TRUE(driver.done());
    }
    EXPECT_EQ(form.DataSet().RecordCount(), 3);
    EXPECT_EQ(child<QTreeWidget>(&form, "RecordList")->topLevelItemCount(), 3);
    withDataSet(
        path,
        [](TBinaryDataSet &ds) {
            ds.Last();
            EXPECT_EQ(ds.FieldValue(contacts::FNAME), QStringLiteral("Mo"));
            ds.Prior();
            EXPECT_EQ(ds.FieldValue(contacts::FNAME), QStringLiteral("Zoë"));
        },
        true);
}

// The main window's Personal Database command opens the dialog on the program folder's
// file; the toolbar button is the same command.
TEST(PDBForm, MainWindowCommandOpensTheDialog)
{
    app::TMainForm main;
    main.options().ShowDesignWizard = false;
    QAction *action = main.findChild<QAction *>(QStringLiteral("PersonalDatabaseMI"));
    ASSERT_NE(action, nullptr);
    auto *button = main.findChild<QToolButton *>(QStringLiteral("PersonalDatabaseBtn"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->defaultAction(), action);

    QString shown;
    ModalDriver driver({answer(QMessageBox::Yes), [&](QWidget *w) {
                            auto *form = qobject_cast<TPDBForm *>(w);
                            if (!form)
                                return false;
                            shown = form->FileName();
                            form->reject();
                            return true;
                        }});
    const QString expected = testsupport::privateHome() + QStringLiteral("/Personal Data.dat");
    QFile::remove(expected);
    action->trigger();
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(fileBytes(expected).size(), 581);
}
