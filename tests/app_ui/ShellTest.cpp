// What a new user meets in the main window: files handed over by a later start, names from
// the command line, the first window, the standard keys, the file dialogs and their error
// boxes, and the licence and readme of About.
#include "app/DesignPaths.h"
#include "app/ui/AboutForm.h"
#include "app/ui/MainForm.h"
#include "document/DesignDocument.h"
#include "document/ui/MDIChildForm.h"
#include "editing/ui/CardPanelView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

#include "TestSupport.h"

using app::TMainForm;
using document::TMDIChildForm;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

template <typename Pred>
bool waitFor(Pred done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// What a modal window showed.
struct Seen {
    QString kind;   // "box", "file" or the dialog's class
    QString text;   // box text; file dialog: its folder; readme: the text shown
    QString detail; // box: informative line; file dialog: the proposed file name; readme: its scroll position
};

// Answers every modal window that comes up while it lives: message boxes with `answer`, the
// others are closed; `onBox` runs while a box is up, before it is answered.
class ModalAnswerer : public QObject {
public:
    explicit ModalAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok) : m_answer(answer)
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }
    QList<Seen> seen;
    std::function<void(QMessageBox *)> onBox;
    int mostBoxesAtOnce = 0;

private:
    void poll()
    {
        int boxes = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox *>(w) && w->isVisible())
                ++boxes;
        mostBoxesAtOnce = std::max(mostBoxesAtOnce, boxes);
        QWidget *w = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            seen.append({QStringLiteral("box"), box->text(), box->informativeText()});
            if (onBox)
                onBox(box);
            if (QAbstractButton *b = box->button(m_answer))
                b->click();
            else
                box->reject();
        } else if (auto *files = qobject_cast<QFileDialog *>(w)) {
            auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            seen.append({QStringLiteral("file"), files->directory().absolutePath(), name ? name->text() : QString()});
            files->reject();
        } else if (auto *dlg = qobject_cast<QDialog *>(w)) {
            auto *memo = dlg->findChild<QTextEdit *>(QStringLiteral("ReadmeMemo"));
            seen.append({QString::fromLatin1(dlg->metaObject()->className()), memo ? memo->toPlainText() : QString(),
                         memo ? QString::number(memo->verticalScrollBar()->value()) : QString()});
            dlg->reject();
        }
    }
    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(testsupport::privateHome().isEmpty());
        ASSERT_TRUE(dir.isValid());
    }
    std::unique_ptr<TMainForm> makeForm(const QStringList &files = {})
    {
        auto form = std::make_unique<TMainForm>(files);
        form->options().ShowDesignWizard = false;
        form->show();
        QApplication::setActiveWindow(form.get());
        QApplication::processEvents();
        return form;
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString makeDesign(const QString &file, int objects = 1)
    {
        document::DesignDocument d;
        EXPECT_EQ(d.createBlank(TMainForm::defaultBusinessCardLayout(), 1), files::ResultOk);
        for (int i = 0; i < objects; ++i)
            d.manager()->NewBox(10 + 40 * i, 10);
        EXPECT_TRUE(d.save(file)) << file.toStdString();
        return file;
    }
    QString makeJunk(const QString &file)
    {
        EXPECT_TRUE(testsupport::writeFile(file, "this is no design"));
        return file;
    }
    static QAction *act(TMainForm &f, const char *name) { return f.findChild<QAction *>(QLatin1String(name)); }

    QTemporaryDir dir;
};

} // namespace

// A later start hands over files; one of them cannot be opened. The error box comes from the
// event loop, never from inside the hand-over, and files that arrive while it is up wait for
// it instead of stacking a second box on it.
TEST_F(ShellTest, HandedOverFilesOpenOneAfterTheOther)
{
    const QString bad = makeJunk(path(QStringLiteral("bad.bcp")));
    const QString bad2 = makeJunk(path(QStringLiteral("bad2.bcp")));
    const QString good = makeDesign(path(QStringLiteral("good.bcp")));
    auto form = makeForm();

    ModalAnswerer answer;
    answer.onBox = [&](QMessageBox *) {
        if (answer.seen.size() == 1)
            form->openHandedOverFiles({bad2, good});
    };
    form->openHandedOverFiles({bad});
    EXPECT_TRUE(answer.seen.isEmpty()) << "nothing opens inside the hand-over";
    EXPECT_TRUE(form->documents().isEmpty());

    ASSERT_TRUE(waitFor([&] { return form->documents().size() == 1 && answer.seen.size() == 2; }));
    waitMs(50);
    EXPECT_EQ(answer.mostBoxesAtOnce, 1);
    ASSERT_EQ(answer.seen.size(), 2);
    EXPECT_EQ(answer.seen[0].detail, QDir::toNativeSeparators(bad)) << "the box names its file";
    EXPECT_EQ(answer.seen[1].detail, QDir::toNativeSeparators(bad2));
    EXPECT_FALSE(answer.seen[0].text.contains(QLatin1String("bad.bcp"))) << "the message itself is unchanged";
    EXPECT_EQ(form->documents().first()->fileName(), good);
    EXPECT_EQ(form->recentFiles().paths().value(0), good);
    EXPECT_FALSE(form->recentFiles().paths().contains(bad));
}

// Names on the command line count from the folder the program started in; the window and the
// recent list keep absolute paths, so opening the file again by any name finds its window.
TEST_F(ShellTest, CommandLineNamesBecomeAbsolutePaths)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("cards")));
    const QString card = makeDesign(path(QStringLiteral("cards/card.bcp")));
    const QString old = QDir::currentPath();
    QDir::setCurrent(path(QStringLiteral("cards")));
    auto form = std::make_unique<TMainForm>(QStringList{QStringLiteral("card.bcp")});
    QDir::setCurrent(old); // the window is shown after the folder changed again
    form->options().ShowDesignWizard = false;
    form->show();
    ASSERT_TRUE(waitFor([&] { return form->documents().size() == 1; }));
    EXPECT_EQ(form->documents().first()->fileName(), card);
    EXPECT_EQ(form->recentFiles().paths().value(0), card);

    for (const QString &again : {card, path(QStringLiteral("cards/../cards/card.bcp"))}) {
        form->OpenDesignFile(again, true);
        QApplication::processEvents();
        EXPECT_EQ(form->documents().size(), 1) << again.toStdString();
    }
    EXPECT_EQ(form->recentFiles().paths().value(0), card);
    EXPECT_EQ(form->recentFiles().paths().count(card), 1);
}

// A first start fills most of the screen, and the property editor is wide enough for the
// labels of its pages also while it shows none: laid out with nothing selected it used to
// shrink to its object list, and its pages then came up cut off.
TEST_F(ShellTest, FirstWindowFillsMostOfTheScreenWithARoomyPropertyEditor)
{
    const QString card = makeDesign(path(QStringLiteral("card.bcp")));
    auto form = std::make_unique<TMainForm>();
    form->options().ShowDesignWizard = false;
    form->UpdateCommands(); // nothing selected: the pages are hidden before the first layout
    form->show();
    QApplication::processEvents();
    const QRect avail = QApplication::primaryScreen()->availableGeometry();
    const QRect r = form->geometry();
    EXPECT_NEAR(r.width(), avail.width() * 0.8, avail.width() * 0.05);
    EXPECT_NEAR(r.height(), avail.height() * 0.8, avail.height() * 0.1); // the frame may take a little
    EXPECT_NEAR(r.center().x(), avail.center().x(), 30);

    auto *dock = form->findChild<QDockWidget *>(QStringLiteral("PropertyEditor"));
    auto *panel = form->findChild<QWidget *>(QStringLiteral("PropertyPanel"));
    ASSERT_NE(dock, nullptr);
    ASSERT_NE(panel, nullptr);
    ASSERT_FALSE(panel->isVisible());
    EXPECT_GE(dock->width(), panel->sizeHint().width());

    form->OpenDesignFile(card, false);
    ASSERT_EQ(form->documents().size(), 1);
    form->documents().first()->SelectAll();
    form->UpdateCommands();
    QApplication::processEvents();
    ASSERT_TRUE(panel->isVisible());
    int checked = 0;
    for (QLabel *label : dock->findChildren<QLabel *>()) {
        if (!label->isVisible() || label->text().isEmpty() || label->wordWrap())
            continue;
        ++checked;
        const QRect inDock(label->mapTo(dock, QPoint(0, 0)), label->size());
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        EXPECT_LE(inDock.right(), dock->width()) << label->text().toStdString();
    }
    EXPECT_GT(checked, 2) << "the page's labels were looked at";
}

// Keys every desktop program answers to reach their commands, beside the keys of the menus,
// and no key is claimed by two commands (a shared key does nothing at all).
TEST_F(ShellTest, StandardKeysBelongToOneCommandEach)
{
    auto form = makeForm();
    const struct {
        const char *action, *key;
    } cases[] = {
        {"NewMI", "Ctrl+N"},   {"NewMI", "F3"},          {"OpenMI", "Ctrl+O"},       {"OpenMI", "F8"},
        {"SaveMI", "Ctrl+S"},  {"SaveMI", "F2"},         {"SaveAsMI", "Ctrl+Shift+S"}, {"SaveAsMI", "Shift+F2"},
        {"PrintMI", "Ctrl+P"}, {"UndoMI", "Ctrl+Z"},     {"RedoMI", "Ctrl+Y"},       {"RedoMI", "Ctrl+Shift+Z"},
        {"DeleteMI", "Del"},   {"DeleteMI", "Backspace"}, {"DeleteMI", "Ctrl+Del"},   {"SelectAllMI", "Ctrl+A"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.action) + " " + c.key);
        QAction *a = act(*form, c.action);
        ASSERT_NE(a, nullptr);
        EXPECT_TRUE(a->shortcuts().contains(QKeySequence(QLatin1String(c.key))));
    }
    QHash<QKeySequence, QString> owner;
    for (QAction *a : form->findChildren<QAction *>()) {
        for (const QKeySequence &k : a->shortcuts()) {
            EXPECT_FALSE(owner.contains(k)) << k.toString().toStdString() << ": " << owner.value(k).toStdString()
                                            << " and " << a->objectName().toStdString();
            owner.insert(k, a->objectName());
        }
    }
}

// Delete and Backspace delete the selection after the same question as the menu; Ctrl+Y
// redoes; in a text field the keys edit the text.
TEST_F(ShellTest, DeleteKeysAskAndRedoKeyRedoes)
{
    const QString card = makeDesign(path(QStringLiteral("card.bcp")), 2);
    auto form = makeForm();
    form->options().PromptOnDelete = true;
    form->OpenDesignFile(card, false);
    TMDIChildForm *doc = form->activeDocument();
    ASSERT_NE(doc, nullptr);
    QWidget *panel = doc->cardPanel();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    // Keys go to the panel of the active main window (a message box took the activation).
    auto press = [&](QWidget *w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QApplication::setActiveWindow(form.get());
        w->setFocus();
        QTest::keyClick(w, key, mods);
    };
    doc->SelectAll();
    {
        ModalAnswerer no(QMessageBox::No);
        press(panel, Qt::Key_Delete);
        ASSERT_TRUE(waitFor([&] { return !no.seen.isEmpty(); }, 2000));
        EXPECT_EQ(no.seen[0].text, "Delete the selected object(s).\n\nAre you sure?");
    }
    EXPECT_EQ(doc->objectCount(), 2);
    {
        ModalAnswerer yes(QMessageBox::Yes);
        press(panel, Qt::Key_Backspace);
        ASSERT_TRUE(waitFor([&] { return !yes.seen.isEmpty(); }, 2000));
    }
    EXPECT_EQ(doc->objectCount(), 0);

    press(panel, Qt::Key_Z, Qt::ControlModifier);
    press(panel, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc->objectCount(), 2);
    press(panel, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(doc->objectCount(), 1);

    // Backspace in the zoom box edits the zoom box.
    doc->SelectAll();
    auto *zoom = form->findChild<QComboBox *>(QStringLiteral("ZoomCombo"));
    zoom->lineEdit()->end(false);
    const QString before = zoom->currentText();
    ModalAnswerer none(QMessageBox::No);
    press(zoom->lineEdit(), Qt::Key_Backspace);
    waitMs(50);
    EXPECT_TRUE(none.seen.isEmpty());
    EXPECT_EQ(zoom->currentText(), before.chopped(1));
    EXPECT_EQ(doc->objectCount(), 1);
}

// Enter in the zoom box applies the zoom typed there; letters cannot be typed.
TEST_F(ShellTest, EnterInTheZoomBoxAppliesTheZoom)
{
    const QString card = makeDesign(path(QStringLiteral("card.bcp")));
    auto form = makeForm();
    form->OpenDesignFile(card, false);
    TMDIChildForm *doc = form->activeDocument();
    ASSERT_NE(doc, nullptr);
    auto *zoom = form->findChild<QComboBox *>(QStringLiteral("ZoomCombo"));
    zoom->lineEdit()->setFocus();
    zoom->lineEdit()->clear();
    QTest::keyClicks(zoom->lineEdit(), QStringLiteral("1x5y0"));
    EXPECT_EQ(zoom->currentText(), "150");
    QTest::keyClick(zoom->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(doc->zoom(), 150);
    EXPECT_EQ(zoom->currentText(), "150");
}

// Save As starts in the design's folder with its name filled in; an untitled design proposes
// its caption in the folder last used; Open starts where the active design lives.
TEST_F(ShellTest, FileDialogsStartAtTheDesign)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("mine")));
    const QString card = makeDesign(path(QStringLiteral("mine/Acme.bcp")));
    auto form = makeForm();
    form->OpenDesignFile(card, true);
    ASSERT_NE(form->activeDocument(), nullptr);
    ModalAnswerer answer;
    act(*form, "SaveAsMI")->trigger();
    act(*form, "OpenMI")->trigger();
    ASSERT_NE(form->newBlankDocument(TMainForm::defaultBusinessCardLayout()), nullptr);
    const QString caption = form->activeDocument()->doc()->caption();
    act(*form, "SaveAsMI")->trigger();
    ASSERT_EQ(answer.seen.size(), 3);
    const QString mine = path(QStringLiteral("mine"));
    EXPECT_EQ(answer.seen[0].kind, "file");
    EXPECT_EQ(answer.seen[0].text, mine);
    EXPECT_EQ(answer.seen[0].detail, "Acme.bcp");
    EXPECT_EQ(answer.seen[1].text, mine);
    EXPECT_EQ(answer.seen[1].detail, "") << "Open proposes no name";
    EXPECT_EQ(answer.seen[2].text, mine) << "the folder last used";
    EXPECT_EQ(answer.seen[2].detail, caption + ".bcp");
    form->activeDocument()->doc()->setModified(false);
}

// A file of the Re-Open list that no longer opens says which file failed and leaves the list.
TEST_F(ShellTest, AFileThatFailsToOpenLeavesTheReopenList)
{
    const QString card = makeDesign(path(QStringLiteral("card.bcp")));
    auto form = makeForm();
    form->OpenDesignFile(card, true);
    ASSERT_EQ(form->recentFiles().paths().value(0), card);
    act(*form, "CloseAllMI")->trigger();
    ASSERT_TRUE(waitFor([&] { return form->documents().isEmpty(); }));
    makeJunk(card);

    auto *reopen = form->findChild<QMenu *>(QStringLiteral("ReOpenPM"));
    ASSERT_NE(reopen, nullptr);
    QAction *entry = nullptr;
    for (QAction *a : reopen->actions())
        if (a->data().toString() == card)
            entry = a;
    ASSERT_NE(entry, nullptr);
    ModalAnswerer answer;
    entry->trigger();
    ASSERT_EQ(answer.seen.size(), 1);
    EXPECT_EQ(answer.seen[0].detail, QDir::toNativeSeparators(card));
    EXPECT_FALSE(form->recentFiles().paths().contains(card));
    QApplication::processEvents();
    for (QAction *a : reopen->actions())
        EXPECT_NE(a->data().toString(), card) << "the menu no longer offers it";
    EXPECT_TRUE(form->documents().isEmpty());
}

// About -> License and Readme show the shipped texts from the program folder.
TEST_F(ShellTest, AboutShowsTheLicenceAndTheReadme)
{
    // The program folder of an installed or built program (the suite's private folder holds
    // none of the shipped files).
    const QByteArray home = qgetenv("OSTRAVEL_HOME");
    qunsetenv("OSTRAVEL_HOME");
    app::TAboutForm about;
    ModalAnswerer answer;
    about.findChild<QPushButton *>(QStringLiteral("LicenseBtn"))->click();
    about.findChild<QPushButton *>(QStringLiteral("ReadmeBtn"))->click();
    qputenv("OSTRAVEL_HOME", home);
    ASSERT_EQ(answer.seen.size(), 2);
    EXPECT_TRUE(answer.seen[0].text.contains(QLatin1String("GNU GENERAL PUBLIC LICENSE")))
        << answer.seen[0].text.left(80).toStdString();
    EXPECT_TRUE(answer.seen[1].text.startsWith(QLatin1String("Ostravel")))
        << answer.seen[1].text.left(80).toStdString();
    EXPECT_EQ(answer.seen[0].detail, "0") << "the licence opens at its beginning";
}
