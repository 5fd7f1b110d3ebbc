// The main window's Import command, and old designs named on the command line or dropped
// on the window.
#include "LegacySamples.h"

#include "app/RecentFiles.h"
#include "app/ui/MainForm.h"
#include "document/ui/MDIChildForm.h"
#include "model/SurfaceModel.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include "TestSupport.h"

using app::TMainForm;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Handles the modal window that comes up while it lives: a file dialog picks `file`, a
// message box is answered with OK; both are recorded.
class ModalHandler : public QObject {
public:
    explicit ModalHandler(QString file = {}) : m_file(std::move(file))
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }
    QStringList dialogNames, filters, messages;

private:
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (auto *dlg = qobject_cast<QFileDialog *>(w)) {
            dialogNames << dlg->objectName();
            filters = dlg->nameFilters();
            if (m_file.isEmpty()) {
                dlg->reject();
            } else {
                dlg->selectFile(m_file);
                QMetaObject::invokeMethod(dlg, "accept");
            }
        } else if (auto *box = qobject_cast<QMessageBox *>(w)) {
            messages << box->text();
            box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
        }
    }
    QString m_file;
    QTimer m_timer;
};

// The main window with its drop handler reachable: an event sent from outside is not
// delivered as a drop without a drag in progress.
class DropForm : public TMainForm {
public:
    using TMainForm::TMainForm;
    void drop(QDropEvent *e) { dropEvent(e); }
};

class LegacyImportUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(testsupport::privateHome().isEmpty());
        ASSERT_TRUE(dir.isValid());
    }
    std::unique_ptr<DropForm> makeForm(const QStringList &files = {})
    {
        auto form = std::make_unique<DropForm>(files);
        form->options().ShowDesignWizard = false;
        form->show();
        QApplication::processEvents();
        return form;
    }
    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return f.fileName();
    }
    QString sampleBco(const QString &name = QStringLiteral("old.bco"))
    {
        legacysamples::Bco b;
        b.objects = legacysamples::sampleObjects();
        return write(name, legacysamples::bcoFile(b.stream()));
    }
    QString sampleBcd(const QString &name, uint16_t version = 40)
    {
        legacysamples::Bcd b;
        b.version = version;
        b.objects = {legacysamples::sampleObjects()[2], legacysamples::sampleObjects()[3]};
        return write(name, b.file());
    }
    static QString captionOf(document::TMDIChildForm *d)
    {
        auto *sub = qobject_cast<QMdiSubWindow *>(d->parentWidget());
        return sub ? sub->windowTitle() : d->windowTitle();
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(LegacyImportUi, ImportIsOfferedAndImportsTheChosenFileAsANewUntitledDesign)
{
    const QString file = sampleBco();
    auto form = makeForm();
    QAction *import = form->findChild<QAction *>(QStringLiteral("ImportMI"));
    ASSERT_NE(import, nullptr);
    EXPECT_TRUE(import->isVisible());
    EXPECT_TRUE(import->isEnabled());
    auto *fileMenu = form->findChild<QMenu *>(QStringLiteral("FilePM"));
    ASSERT_NE(fileMenu, nullptr);
    EXPECT_TRUE(fileMenu->actions().contains(import));

    const QStringList recentBefore = form->recentFiles().paths();
    {
        ModalHandler pick(file);
        import->trigger();
        QApplication::processEvents();
        EXPECT_EQ(pick.dialogNames, QStringList{"OpenDialog"});
        EXPECT_EQ(pick.filters, (QStringList{"V5.x Cards (*.bco)", "V2.x-V4.x Cards (*.bcd)"}));
        EXPECT_TRUE(pick.messages.isEmpty()) << pick.messages.join(QLatin1Char('|')).toStdString();
    }
    ASSERT_EQ(form->documents().size(), 1);
    document::TMDIChildForm *doc = form->documents().first();
    EXPECT_EQ(captionOf(doc), QStringLiteral("Untitled 1"));
    EXPECT_TRUE(doc->fileName().isEmpty());
    EXPECT_FALSE(doc->isModified());
    EXPECT_FALSE(doc->canUndo());
    EXPECT_EQ(doc->objectCount(), 7);
    EXPECT_EQ(form->nextUntitledNumber(), 2);
    // Imports are not opened files: the recent list stays as it was.
    EXPECT_EQ(form->recentFiles().paths(), recentBefore);
    auto *regions = form->findChild<QComboBox *>(QStringLiteral("RegionCombo"));
    ASSERT_NE(regions, nullptr);
    EXPECT_EQ(regions->currentText(), QStringLiteral("Front"));
    EXPECT_FALSE(form->action(QStringLiteral("SaveMI"))->isEnabled()); // nothing changed yet

    // Cancelling the dialog imports nothing.
    {
        ModalHandler cancel;
        import->trigger();
        QApplication::processEvents();
    }
    EXPECT_EQ(form->documents().size(), 1);
}

TEST_F(LegacyImportUi, OldDesignsOnTheCommandLineOrDroppedAreImported)
{
    const QString bcd = sampleBcd(QStringLiteral("CARD.BCD"), 30);
    auto form = makeForm({bcd});
    waitMs(50);
    ASSERT_EQ(form->documents().size(), 1);
    EXPECT_EQ(captionOf(form->documents().first()), QStringLiteral("Untitled 1"));
    EXPECT_EQ(form->documents().first()->objectCount(), 2);
    EXPECT_FALSE(form->recentFiles().paths().contains(bcd));

    const QString bco = sampleBco();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(bco)});
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    form->drop(&drop);
    QApplication::processEvents();
    ASSERT_EQ(form->documents().size(), 2);
    document::TMDIChildForm *active = form->activeDocument();
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(captionOf(active), QStringLiteral("Untitled 2"));
    EXPECT_EQ(active->objectCount(), 7);

    // The same old file again is a second import, not a window to focus.
    form->drop(&drop);
    QApplication::processEvents();
    EXPECT_EQ(form->documents().size(), 3);
}

TEST_F(LegacyImportUi, AFailedImportShowsItsMessageAndClosesTheWindow)
{
    QByteArray bad = legacysamples::Bcd().file();
    bad[0] = 20;
    const QString file = write(QStringLiteral("v20.bcd"), bad);
    auto form = makeForm();
    ModalHandler ok;
    form->OpenDesignFile(file, true);
    waitMs(50);
    EXPECT_EQ(ok.messages, QStringList{QStringLiteral(
                               "An error occurred importing the specified file.\n\nThe file has an invalid signature or version stamp.")});
    EXPECT_TRUE(form->documents().isEmpty());
    EXPECT_FALSE(form->recentFiles().paths().contains(file));
}
