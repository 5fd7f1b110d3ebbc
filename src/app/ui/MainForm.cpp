// The main window's construction: menus, toolbars, docks, status bar, start-up.
#include "app/ui/MainForm.h"

#include "app/DesignPaths.h"
#include "app/Product.h"
#include "app/ProductInfo.h"
#include "app/WindowPlacement.h"
#include "document/ui/MDIChildForm.h"
#include "platform/Registry.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace app {

TMainForm::TMainForm(const QStringList &files, QWidget *parent) : QMainWindow(parent)
{
    // Names on the command line count from the folder the program was started in.
    for (const QString &f : files)
        m_startFiles << absoluteDesignPath(f);
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(ProductName());
    QApplication::setApplicationDisplayName(ProductName());
    setMinimumSize(400, 400);
    // Without a saved placement (restored below) the window takes most of the screen.
    if (QScreen *screen = QApplication::primaryScreen())
        setGeometry(firstStartGeometry(screen->availableGeometry(), minimumSize()));
    else
        resize(645, 462);
    setAcceptDrops(true);

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("MDIArea"));
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &TMainForm::documentActivated);

    m_enableTimer = new QTimer(this);
    m_enableTimer->setObjectName(QStringLiteral("EnableTimer"));
    m_enableTimer->setSingleShot(true);
    m_enableTimer->setInterval(500);
    connect(m_enableTimer, &QTimer::timeout, this, &TMainForm::UpdateCommands);
    m_startupTimer = new QTimer(this);
    m_startupTimer->setObjectName(QStringLiteral("StartupTimer"));
    m_startupTimer->setSingleShot(true);
    m_startupTimer->setInterval(250);
    connect(m_startupTimer, &QTimer::timeout, this, &TMainForm::NewMIClick);

    buildMenus();
    connectPrintCommands();
    buildToolbars();
    buildStatusBar();
    buildPropertyEditor();
    buildObjectPopup();
    connectLayoutCommands();
    connectEditCommands();

    LoadOptions(m_options);
    m_recent.load(plat::Registry::user(), ProductKey());
    if (!m_recent.paths().isEmpty())
        rememberDesignFolder(m_recent.paths().first());
    fillReopenMenu();
    restoreWindowState();
    hideUnofferedCommands();
}

TMainForm::~TMainForm()
{
    saveWindowState();
    // The document windows go while this window is whole: they call back into it as they
    // are destroyed, and the MDI area must not report activations into a half-destroyed
    // main window.
    m_destroying = true;
    disconnect(m_mdi, nullptr, this, nullptr);
    for (TMDIChildForm *d : documents())
        disconnect(d, nullptr, this, nullptr);
    delete m_mdi;
    m_mdi = nullptr;
}

QAction *TMainForm::makeAction(const QString &name, const QString &text, const QKeySequence &shortcut)
{
    auto *a = new QAction(text, this);
    a->setObjectName(name);
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    m_actions.insert(name, a);
    return a;
}

void TMainForm::addToolButtonName(QToolBar *bar, QAction *action, const QString &buttonName, const QString &hint)
{
    bar->addAction(action);
    if (QWidget *w = bar->widgetForAction(action)) {
        w->setObjectName(buttonName);
        w->setToolTip(hint);
        if (auto *b = qobject_cast<QToolButton *>(w))
            b->setFixedSize(25, 25);
    }
}

void TMainForm::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    const int widths[3] = {75, 75, 50};
    for (int i = 0; i < 3; ++i) {
        m_status[i] = new QLabel(bar);
        m_status[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_status[i]->setMinimumWidth(widths[i]);
        if (i < 2)
            m_status[i]->setAlignment(Qt::AlignCenter);
        bar->addWidget(m_status[i]);
    }
}

void TMainForm::buildPropertyEditor()
{
    m_propertyEditor = new QDockWidget(QStringLiteral("Property Editor"), this);
    m_propertyEditor->setObjectName(QStringLiteral("PropertyEditor"));
    m_propertyEditor->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable
                                  | QDockWidget::DockWidgetClosable);
    auto *body = new QWidget(m_propertyEditor);
    auto *v = new QVBoxLayout(body);
    m_objectCombo = new QComboBox(body);
    m_objectCombo->setObjectName(QStringLiteral("ObjectCombo"));
    v->addWidget(m_objectCombo);
    m_propertyPanel = new QWidget(body);
    m_propertyPanel->setObjectName(QStringLiteral("PropertyPanel"));
    buildPropertyPages(m_propertyPanel);
    v->addWidget(m_propertyPanel, 1);
    v->addStretch();
    m_propertyEditor->setWidget(body);
    addDockWidget(Qt::RightDockWidgetArea, m_propertyEditor);
    // As wide as its widest page needs, also while no page shows (nothing selected): laid
    // out then, it would shrink to its object list and show its pages cut off.
    const QMargins m = v->contentsMargins();
    body->setMinimumWidth(std::max(m_objectCombo->minimumSizeHint().width(), m_propertyPanel->sizeHint().width())
                          + m.left() + m.right());
}

void TMainForm::hideUnofferedCommands()
{
    for (const char *name : {"SelectSourceMI", "SelectSourceSEP", "OLEMI", "OLEBtn", "LinkedDBFileMI", "LinkedDBFileSEP",
                             "NetMessagesMI", "NetMessagesSEP", "CheckforUpdatesMI", "CheckforUpdatesSEP"}) {
        if (QAction *a = m_actions.value(QString::fromLatin1(name)))
            a->setVisible(false);
    }
}

// Window placement lives under <vendor>\WS as Left, Top, Right, Bottom and Maximized;
// the toolbar layout under <product>\TS.
void TMainForm::restoreWindowState()
{
    plat::Registry &reg = plat::Registry::user();
    const QString ws = VendorKey() + QStringLiteral("\\WS");
    bool ok[4] = {};
    const char *names[4] = {"Left", "Top", "Right", "Bottom"};
    int v[4] = {};
    for (int i = 0; i < 4; ++i)
        if (auto s = reg.readString(ws, QString::fromLatin1(names[i])))
            v[i] = s->toInt(&ok[i]);
    if (ok[0] && ok[1] && ok[2] && ok[3] && v[2] > v[0] && v[3] > v[1]) {
        QRect r(QPoint(v[0], v[1]), QPoint(v[2] - 1, v[3] - 1));
        if (QScreen *screen = QApplication::primaryScreen()) {
            const QRect avail = screen->availableGeometry();
            // Keep the window on the screen: move it back by the excess, then clip.
            if (r.right() > avail.right())
                r.moveLeft(std::max(avail.left(), r.left() - (r.right() - avail.right())));
            if (r.bottom() > avail.bottom())
                r.moveTop(std::max(avail.top(), r.top() - (r.bottom() - avail.bottom())));
            r = r.intersected(avail);
        }
        if (r.isValid())
            setGeometry(r);
    }
    if (auto m = reg.readString(ws, QStringLiteral("Maximized")); m && *m == QLatin1String("1"))
        setWindowState(windowState() | Qt::WindowMaximized);
    if (auto state = reg.readBinary(ProductKey() + QStringLiteral("\\TS"), QStringLiteral("State")))
        restoreState(*state);
}

void TMainForm::saveWindowState()
{
    plat::Registry &reg = plat::Registry::user();
    const QString ws = VendorKey() + QStringLiteral("\\WS");
    reg.createKey(ws);
    const QRect r = normalGeometry().isValid() ? normalGeometry() : geometry();
    reg.writeString(ws, QStringLiteral("Left"), QString::number(r.left()));
    reg.writeString(ws, QStringLiteral("Top"), QString::number(r.top()));
    reg.writeString(ws, QStringLiteral("Right"), QString::number(r.left() + r.width()));
    reg.writeString(ws, QStringLiteral("Bottom"), QString::number(r.top() + r.height()));
    reg.writeString(ws, QStringLiteral("Maximized"), isMaximized() ? QStringLiteral("1") : QStringLiteral("0"));
    const QString ts = ProductKey() + QStringLiteral("\\TS");
    reg.createKey(ts);
    reg.writeBinary(ts, QStringLiteral("State"), saveState());
    m_recent.save(reg, ProductKey());
    reg.save();
}

void TMainForm::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    if (!m_startFiles.isEmpty()) {
        for (const QString &f : std::as_const(m_startFiles))
            OpenDesignFile(f, true);
    } else if (m_options.ShowDesignWizard) {
        m_startupTimer->start();
    }
    UpdateCommands();
}

void TMainForm::openHandedOverFiles(const QStringList &files)
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    m_handedOver += files;
    // Opening can show a message box; whatever arrives meanwhile joins the queue that is
    // being worked through.
    if (!m_openingHandedOver)
        QTimer::singleShot(0, this, &TMainForm::openPendingFiles);
}

void TMainForm::openPendingFiles()
{
    if (m_openingHandedOver)
        return;
    m_openingHandedOver = true;
    while (!m_handedOver.isEmpty())
        OpenDesignFile(m_handedOver.takeFirst(), true);
    m_openingHandedOver = false;
    UpdateCommands();
}

void TMainForm::closeEvent(QCloseEvent *e)
{
    // Every document window is asked first; one that refuses keeps the program running.
    for (QMdiSubWindow *w : m_mdi->subWindowList()) {
        if (!w->close()) {
            e->ignore();
            return;
        }
    }
    e->accept();
}

void TMainForm::dragEnterEvent(QDragEnterEvent *e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *e)
{
    activateWindow();
    raise();
    for (const QUrl &url : e->mimeData()->urls())
        if (url.isLocalFile())
            OpenDesignFile(url.toLocalFile(), true);
    UpdateCommands();
}

TMDIChildForm *TMainForm::activeDocument() const
{
    if (m_destroying || !m_mdi)
        return nullptr;
    QMdiSubWindow *w = m_mdi->activeSubWindow();
    if (!w) {
        const auto list = m_mdi->subWindowList();
        if (list.size() == 1)
            w = list.first();
    }
    return w ? qobject_cast<TMDIChildForm *>(w->widget()) : nullptr;
}

QList<TMDIChildForm *> TMainForm::documents() const
{
    QList<TMDIChildForm *> out;
    if (!m_mdi)
        return out;
    for (QMdiSubWindow *w : m_mdi->subWindowList())
        if (auto *d = qobject_cast<TMDIChildForm *>(w->widget()))
            out << d;
    return out;
}

void TMainForm::startEnableTimer() { m_enableTimer->start(); }

layout::LayoutRecord TMainForm::defaultBusinessCardLayout() { return layout::businessCardLayout(); }

} // namespace app
