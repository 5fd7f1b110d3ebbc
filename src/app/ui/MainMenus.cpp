// The main window's menus, toolbars and object context menu.
#include "app/ui/MainForm.h"

#include "app/Product.h"
#include "app/ProductInfo.h"
#include "contacts/ui/PDBForm.h"
#include "document/ui/MDIChildForm.h"
#include "order/ui/OrderCommand.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QIntValidator>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QDockWidget>
#include <QMdiSubWindow>
#include <QToolBar>
#include <QToolButton>

namespace app {

namespace {
QAction *separator(QMenu *menu, const QString &name = {})
{
    QAction *s = menu->addSeparator();
    if (!name.isEmpty())
        s->setObjectName(name);
    return s;
}
} // namespace

void TMainForm::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    // File
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FilePM"));
    file->addAction(makeAction(QStringLiteral("NewMI"), QStringLiteral("&New..."), Qt::Key_F3));
    file->addAction(makeAction(QStringLiteral("OpenMI"), QStringLiteral("&Open..."), Qt::Key_F8));
    file->addAction(makeAction(QStringLiteral("ImportMI"), QStringLiteral("&Import...")));
    separator(file);
    file->addAction(makeAction(QStringLiteral("SaveMI"), QStringLiteral("&Save"), Qt::Key_F2));
    file->addAction(makeAction(QStringLiteral("SaveAsMI"), QStringLiteral("Save &As..."), Qt::SHIFT | Qt::Key_F2));
    file->addAction(makeAction(QStringLiteral("SaveAsTemplateMI"), QStringLiteral("Save As &Template...")));
    file->addAction(makeAction(QStringLiteral("SaveAsGraphicMI"), QStringLiteral("Save As &Graphic...")));
    separator(file);
    file->addAction(makeAction(QStringLiteral("OrderMI"), QStringLiteral("Or&der Professionally Printed Copies...")));
    separator(file);
    file->addAction(makeAction(QStringLiteral("PrintSetupMI"), QStringLiteral("P&rinter Setup...")));
    file->addAction(makeAction(QStringLiteral("PrintPreviewMI"), QStringLiteral("Print Pre&view")));
    file->addAction(makeAction(QStringLiteral("PrintMI"), QStringLiteral("&Print...")));
    separator(file);
    file->addAction(makeAction(QStringLiteral("EditLayoutsMI"), QStringLiteral("&Edit Layouts...")));
    file->addAction(makeAction(QStringLiteral("EditCurrentLayoutMI"), QStringLiteral("Edit Current La&yout...")));
    file->addAction(makeAction(QStringLiteral("SwitchLayoutMI"), QStringLiteral("S&witch to Different Layout...")));
    separator(file);
    m_reopenMenu = file->addMenu(QStringLiteral("&Re-Open"));
    m_reopenMenu->setObjectName(QStringLiteral("ReOpenPM"));
    separator(file);
    file->addAction(makeAction(QStringLiteral("CloseMI"), QStringLiteral("&Close")));
    separator(file);
    file->addAction(makeAction(QStringLiteral("ExitMI"), QStringLiteral("E&xit")));

    // Edit
    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("EditPM"));
    edit->addAction(makeAction(QStringLiteral("UndoMI"), QStringLiteral("&Undo"), Qt::CTRL | Qt::Key_Z));
    edit->addAction(makeAction(QStringLiteral("RedoMI"), QStringLiteral("&Redo"), Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    separator(edit);
    edit->addAction(makeAction(QStringLiteral("CutMI"), QStringLiteral("Cu&t"), Qt::CTRL | Qt::Key_X));
    edit->addAction(makeAction(QStringLiteral("CopyMI"), QStringLiteral("&Copy"), Qt::CTRL | Qt::Key_C));
    edit->addAction(makeAction(QStringLiteral("PasteMI"), QStringLiteral("&Paste"), Qt::CTRL | Qt::Key_V));
    separator(edit);
    edit->addAction(makeAction(QStringLiteral("DeleteMI"), QStringLiteral("&Delete"), Qt::CTRL | Qt::Key_Delete));
    edit->addAction(makeAction(QStringLiteral("SelectAllMI"), QStringLiteral("Select A&ll"), Qt::CTRL | Qt::Key_A));
    edit->addAction(makeAction(QStringLiteral("SelectNoneMI"), QStringLiteral("Select &None"), Qt::Key_Escape));
    separator(edit);
    // Ctrl+P prints, as everywhere else; Properties takes Alt+Enter.
    edit->addAction(makeAction(QStringLiteral("PropertiesMI"), QStringLiteral("Pr&operties..."), Qt::ALT | Qt::Key_Return));
    separator(edit);
    edit->addAction(makeAction(QStringLiteral("BackgroundMI"), QStringLiteral("&Background...")));
    m_actions.insert(QStringLiteral("LinkedDBFileSEP"), separator(edit, QStringLiteral("LinkedDBFileSEP")));
    edit->addAction(makeAction(QStringLiteral("LinkedDBFileMI"), QStringLiteral("&Linked DB File...")));

    // Alignment
    QMenu *align = bar->addMenu(QStringLiteral("&Alignment"));
    align->setObjectName(QStringLiteral("AlignmentPM"));
    align->addAction(makeAction(QStringLiteral("MarginsMI"), QStringLiteral("&Margins..."), Qt::CTRL | Qt::Key_M));
    align->addAction(makeAction(QStringLiteral("AlignMI"), QStringLiteral("&Align...")));
    align->addAction(makeAction(QStringLiteral("AlignSelectedtoGridMI"), QStringLiteral("Align Selected to &Grid"), Qt::CTRL | Qt::Key_G));
    align->addAction(makeAction(QStringLiteral("AlignAlltoGridMI"), QStringLiteral("Align A&ll to Grid")));
    align->addAction(makeAction(QStringLiteral("BringtoFrontMI"), QStringLiteral("Bring to &Front")));
    align->addAction(makeAction(QStringLiteral("SendtoBackMI"), QStringLiteral("Send to &Back")));
    align->addAction(makeAction(QStringLiteral("FitToMarginsMI"), QStringLiteral("F&it to Margins")));

    // Tool
    QMenu *tool = bar->addMenu(QStringLiteral("&Tool"));
    tool->setObjectName(QStringLiteral("ToolPM"));
    m_toolGroup = new QActionGroup(this);
    m_toolGroup->setExclusive(true);
    const QList<QPair<QString, QString>> tools = {
        {QStringLiteral("SelectMI"), QStringLiteral("&Select")}, {QStringLiteral("TextMI"), QStringLiteral("&Text")},
        {QStringLiteral("GraphicMI"), QStringLiteral("&Graphic")}, {QStringLiteral("LineMI"), QStringLiteral("&Line")},
        {QStringLiteral("BoxMI"), QStringLiteral("&Box")}, {QStringLiteral("RoundBoxMI"), QStringLiteral("&Round Box")},
        {QStringLiteral("EllipseMI"), QStringLiteral("&Ellipse")}, {QStringLiteral("OLEMI"), QStringLiteral("&OLE")}};
    for (const auto &[name, text] : tools) {
        QAction *a = makeAction(name, text);
        a->setCheckable(true);
        m_toolGroup->addAction(a);
        tool->addAction(a);
        if (name == QLatin1String("SelectMI")) {
            a->setChecked(true);
            separator(tool);
        }
    }

    // View
    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("ViewPM"));
    m_toolbarsMenu = view->addMenu(QStringLiteral("&Toolbars"));
    m_toolbarsMenu->setObjectName(QStringLiteral("ToolbarsPM"));
    connect(m_toolbarsMenu, &QMenu::aboutToShow, this, &TMainForm::ToolbarsPMPopup);
    separator(view);
    view->addAction(makeAction(QStringLiteral("ZoomInMI"), QStringLiteral("Zoom &In"), Qt::CTRL | Qt::Key_Equal));
    view->addAction(makeAction(QStringLiteral("ZoomOutMI"), QStringLiteral("Zoom &Out"), Qt::CTRL | Qt::Key_Minus));
    separator(view);
    view->addAction(makeAction(QStringLiteral("SelectSourceMI"), QStringLiteral("TWAIN Source Manager...")));
    m_actions.insert(QStringLiteral("SelectSourceSEP"), separator(view, QStringLiteral("SelectSourceSEP")));
    view->addAction(makeAction(QStringLiteral("PersonalDatabaseMI"), QStringLiteral("Personal D&atabase...")));
    separator(view);
    view->addAction(makeAction(QStringLiteral("OptionsMI"), QStringLiteral("O&ptions...")));

    // Window
    QMenu *window = bar->addMenu(QStringLiteral("&Window"));
    window->setObjectName(QStringLiteral("WindowPM"));
    window->addAction(makeAction(QStringLiteral("TileMI"), QStringLiteral("&Tile")));
    window->addAction(makeAction(QStringLiteral("CascadeMI"), QStringLiteral("&Cascade")));
    window->addAction(makeAction(QStringLiteral("ArrangeIconsMI"), QStringLiteral("&Arrange Icons")));
    window->addAction(makeAction(QStringLiteral("CloseAllMI"), QStringLiteral("C&lose All")));
    connect(window, &QMenu::aboutToShow, this, [this, window] {
        // The list of open document windows follows the fixed items.
        const auto actions = window->actions();
        for (QAction *a : actions)
            if (a->property("windowEntry").toBool())
                window->removeAction(a), a->deleteLater();
        const auto subs = m_mdi->subWindowList();
        if (!subs.isEmpty()) {
            QAction *sep = window->addSeparator();
            sep->setProperty("windowEntry", true);
        }
        int n = 1;
        for (QMdiSubWindow *w : subs) {
            QAction *a = window->addAction(QStringLiteral("&%1 %2").arg(n++).arg(w->windowTitle()));
            a->setProperty("windowEntry", true);
            a->setCheckable(true);
            a->setChecked(w == m_mdi->activeSubWindow());
            connect(a, &QAction::triggered, this, [this, w] { m_mdi->setActiveSubWindow(w); });
        }
    });

    // Help
    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("HelpPM"));
    help->addAction(makeAction(QStringLiteral("HelpTopicsMI"), QStringLiteral("&Help Topics"), QKeySequence::HelpContents));
    m_actions.insert(QStringLiteral("NetMessagesSEP"), separator(help, QStringLiteral("NetMessagesSEP")));
    help->addAction(makeAction(QStringLiteral("NetMessagesMI"), QStringLiteral("&Net Messages")));
    QMenu *web = help->addMenu(QStringLiteral("&Web"));
    web->setObjectName(QStringLiteral("WebPM"));
    web->addAction(makeAction(QStringLiteral("HomePageMI"), QStringLiteral("&Home Page")));
    web->addAction(makeAction(QStringLiteral("ProductsMI"), QStringLiteral("&More FREE Downloads")));
    separator(web);
    web->addAction(makeAction(QStringLiteral("ProductHomePageMI"), ProductName() + QStringLiteral(" Home Page")));
    web->addAction(makeAction(QStringLiteral("SupportMI"), QStringLiteral("&Support Options")));
    m_actions.insert(QStringLiteral("CheckforUpdatesSEP"), separator(web, QStringLiteral("CheckforUpdatesSEP")));
    web->addAction(makeAction(QStringLiteral("CheckforUpdatesMI"), QStringLiteral("Check for &Updates")));
    separator(help);
    help->addAction(makeAction(QStringLiteral("AboutMI"), QStringLiteral("&About")));

    // Handlers of the commands this window carries out itself.
    auto on = [this](const char *name, void (TMainForm::*slot)()) {
        connect(m_actions.value(QString::fromLatin1(name)), &QAction::triggered, this, slot);
    };
    addStandardKeys();

    on("NewMI", &TMainForm::NewMIClick);
    on("OpenMI", &TMainForm::OpenMIClick);
    on("ImportMI", &TMainForm::ImportMIClick);
    on("SaveMI", &TMainForm::SaveMIClick);
    on("SaveAsMI", &TMainForm::SaveAsMIClick);
    on("CloseMI", &TMainForm::CloseMIClick);
    on("ExitMI", &TMainForm::ExitMIClick);
    on("PrintSetupMI", &TMainForm::PrintSetupMIClick);
    on("ZoomInMI", &TMainForm::ZoomInMIClick);
    on("ZoomOutMI", &TMainForm::ZoomOutMIClick);
    on("OptionsMI", &TMainForm::OptionsMIClick);
    on("HelpTopicsMI", &TMainForm::HelpTopicsMIClick);
    on("AboutMI", &TMainForm::AboutMIClick);
    on("CloseAllMI", &TMainForm::CloseAllMIClick);
    connect(m_actions.value(QStringLiteral("TileMI")), &QAction::triggered, m_mdi, &QMdiArea::tileSubWindows);
    connect(m_actions.value(QStringLiteral("CascadeMI")), &QAction::triggered, m_mdi, &QMdiArea::cascadeSubWindows);
    connect(m_actions.value(QStringLiteral("ArrangeIconsMI")), &QAction::triggered, m_mdi, &QMdiArea::tileSubWindows);
    connect(m_actions.value(QStringLiteral("HomePageMI")), &QAction::triggered, this, [this] { openWebPage(ProductInfo::vendorHomePage()); });
    connect(m_actions.value(QStringLiteral("ProductsMI")), &QAction::triggered, this, [this] { openWebPage(ProductInfo::vendorDownloadsPage()); });
    connect(m_actions.value(QStringLiteral("ProductHomePageMI")), &QAction::triggered, this, [this] { openWebPage(ProductInfo::productHomePage()); });
    connect(m_actions.value(QStringLiteral("SupportMI")), &QAction::triggered, this, [this] { openWebPage(ProductInfo::supportPage()); });
    connect(m_actions.value(QStringLiteral("BackgroundMI")), &QAction::triggered, this, [this] {
        if (TMDIChildForm *d = activeDocument(); d && d->ChooseBackground())
            UpdateCommands();
    });
    connect(m_actions.value(QStringLiteral("OrderMI")), &QAction::triggered, this, [this] {
        order::ui::runOrderCommand(this, activeDocument());
    });
    connect(m_actions.value(QStringLiteral("PersonalDatabaseMI")), &QAction::triggered, this, [this] {
        contacts::TPDBForm dlg(this);
        connect(&dlg, &contacts::TPDBForm::helpRequested, this, [this](int) { HelpTopicsMIClick(); });
        dlg.exec();
    });
    connect(m_actions.value(QStringLiteral("PropertiesMI")), &QAction::triggered, this, [this] {
        m_propertyEditor->show();
        m_propertyEditor->raise();
        m_propertyPanel->setFocus();
    });
}

// Beside the keys of the menus, the keys every desktop program answers to. A key that a
// text field uses itself (Delete, Backspace) goes to the field while it has the focus.
void TMainForm::addStandardKeys()
{
    auto add = [this](const char *name, QList<QKeySequence> keys) {
        QAction *a = m_actions.value(QLatin1String(name));
        QList<QKeySequence> all = a->shortcuts();
        for (const QKeySequence &k : keys)
            if (!k.isEmpty() && !all.contains(k))
                all << k;
        a->setShortcuts(all);
    };
    using K = QKeySequence;
    add("NewMI", K::keyBindings(K::New));
    add("OpenMI", K::keyBindings(K::Open));
    add("SaveMI", K::keyBindings(K::Save));
    add("SaveAsMI", K::keyBindings(K::SaveAs));
    add("SaveAsMI", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    add("PrintMI", K::keyBindings(K::Print));
    add("ExitMI", K::keyBindings(K::Quit));
    add("UndoMI", K::keyBindings(K::Undo));
    add("RedoMI", {K(Qt::CTRL | Qt::Key_Y)});
    add("RedoMI", K::keyBindings(K::Redo));
    add("CutMI", K::keyBindings(K::Cut));
    add("CopyMI", K::keyBindings(K::Copy));
    add("PasteMI", K::keyBindings(K::Paste));
    // The plain keys only: the desktops' Delete binding also holds Ctrl+D.
    add("DeleteMI", {K(Qt::Key_Delete), K(Qt::Key_Backspace)});
    add("SelectAllMI", K::keyBindings(K::SelectAll));
    add("ZoomInMI", K::keyBindings(K::ZoomIn));
    add("ZoomOutMI", K::keyBindings(K::ZoomOut));
}

void TMainForm::buildToolbars()
{
    auto makeBar = [this](const QString &name, const QString &caption, Qt::ToolBarArea area) {
        QToolBar *bar = new QToolBar(caption, this);
        bar->setObjectName(name);
        bar->setIconSize(QSize(18, 18));
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        addToolBar(area, bar);
        m_toolbars.insert(name, bar);
        return bar;
    };
    auto act = [this](const char *n) { return m_actions.value(QString::fromLatin1(n)); };
    const QList<QPair<const char *, const char *>> icons = {
        {"NewMI", "new"}, {"OpenMI", "open"}, {"SaveMI", "save"}, {"PrintMI", "print"},
        {"PrintPreviewMI", "preview"}, {"UndoMI", "undo"}, {"RedoMI", "redo"}, {"CutMI", "cut"},
        {"CopyMI", "copy"}, {"PasteMI", "paste"}, {"BackgroundMI", "background"},
        {"PersonalDatabaseMI", "database"}, {"ZoomInMI", "zoomin"}, {"ZoomOutMI", "zoomout"},
        {"SelectMI", "select"}, {"TextMI", "text"}, {"GraphicMI", "graphic"}, {"LineMI", "line"},
        {"BoxMI", "box"}, {"RoundBoxMI", "roundbox"}, {"EllipseMI", "ellipse"}, {"OLEMI", "embed"}};
    for (const auto &[name, icon] : icons)
        act(name)->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))));

    QToolBar *main = makeBar(QStringLiteral("MainBar"), QStringLiteral("Main"), Qt::TopToolBarArea);
    addToolButtonName(main, act("NewMI"), QStringLiteral("NewBtn"), QStringLiteral("New"));
    addToolButtonName(main, act("OpenMI"), QStringLiteral("OpenBtn"), QStringLiteral("Open"));
    addToolButtonName(main, act("SaveMI"), QStringLiteral("SaveBtn"), QStringLiteral("Save"));
    main->addSeparator();
    addToolButtonName(main, act("PrintMI"), QStringLiteral("PrintBtn"), QStringLiteral("Print"));
    addToolButtonName(main, act("PrintPreviewMI"), QStringLiteral("PrintPreviewBtn"), QStringLiteral("Print Preview"));
    main->addSeparator();
    addToolButtonName(main, act("UndoMI"), QStringLiteral("UndoBtn"), QStringLiteral("Undo"));
    addToolButtonName(main, act("RedoMI"), QStringLiteral("RedoBtn"), QStringLiteral("Redo"));
    main->addSeparator();
    addToolButtonName(main, act("CutMI"), QStringLiteral("CutBtn"), QStringLiteral("Cut"));
    addToolButtonName(main, act("CopyMI"), QStringLiteral("CopyBtn"), QStringLiteral("Copy"));
    addToolButtonName(main, act("PasteMI"), QStringLiteral("PasteBtn"), QStringLiteral("Paste"));
    main->addSeparator();
    addToolButtonName(main, act("BackgroundMI"), QStringLiteral("BackgroundBtn"), QStringLiteral("Background"));
    main->addSeparator();
    addToolButtonName(main, act("PersonalDatabaseMI"), QStringLiteral("PersonalDatabaseBtn"), QStringLiteral("Personal Database"));

    QToolBar *zoom = makeBar(QStringLiteral("ZoomBar"), QStringLiteral("Zoom"), Qt::TopToolBarArea);
    addToolButtonName(zoom, act("ZoomInMI"), QStringLiteral("ZoomInBtn"), QStringLiteral("Zoom In"));
    addToolButtonName(zoom, act("ZoomOutMI"), QStringLiteral("ZoomOutBtn"), QStringLiteral("Zoom Out"));
    m_zoomCombo = new QComboBox(zoom);
    m_zoomCombo->setObjectName(QStringLiteral("ZoomCombo"));
    m_zoomCombo->setEditable(true);
    m_zoomCombo->setFixedWidth(70);
    m_zoomCombo->setToolTip(QStringLiteral("Select a Zoom Level the Click the Button to the Right"));
    for (int z : {25, 50, 75, 100, 125, 150, 175, 200, 225, 250, 275, 300, 350, 400, 450, 500, 550, 600, 650, 700,
                  750, 800, 850, 900, 950, 1000})
        m_zoomCombo->addItem(QString::number(z));
    m_zoomCombo->setCurrentText(QStringLiteral("100"));
    m_zoomCombo->setInsertPolicy(QComboBox::NoInsert);
    m_zoomCombo->setValidator(new QIntValidator(0, 99999, m_zoomCombo));
    zoom->addWidget(m_zoomCombo);
    QAction *zoomBtn = makeAction(QStringLiteral("ZoomBtnAction"), QStringLiteral("Zoom"));
    zoomBtn->setIcon(QIcon(QStringLiteral(":/icons/zoomgo.svg")));
    connect(zoomBtn, &QAction::triggered, this, &TMainForm::ZoomBtnClick);
    connect(m_zoomCombo->lineEdit(), &QLineEdit::returnPressed, this, &TMainForm::ZoomBtnClick);
    addToolButtonName(zoom, zoomBtn, QStringLiteral("ZoomBtn"), QStringLiteral("Zoom to Selected Level"));

    QToolBar *tools = makeBar(QStringLiteral("ToolsBar"), QStringLiteral("Tools"), Qt::LeftToolBarArea);
    const QList<QPair<const char *, QPair<QString, QString>>> toolButtons = {
        {"SelectMI", {QStringLiteral("SelectBtn"), QStringLiteral("Selection Tool")}},
        {"TextMI", {QStringLiteral("TextBtn"), QStringLiteral("Text Tool")}},
        {"GraphicMI", {QStringLiteral("GraphicBtn"), QStringLiteral("Graphic Tool")}},
        {"LineMI", {QStringLiteral("LineBtn"), QStringLiteral("Line Tool")}},
        {"BoxMI", {QStringLiteral("BoxBtn"), QStringLiteral("Box Tool")}},
        {"RoundBoxMI", {QStringLiteral("RoundBoxBtn"), QStringLiteral("Round Box Tool")}},
        {"EllipseMI", {QStringLiteral("EllipseBtn"), QStringLiteral("Ellipse Tool")}},
        {"OLEMI", {QStringLiteral("OLEBtn"), QString()}}};
    for (const auto &[menuName, button] : toolButtons)
        addToolButtonName(tools, act(menuName), button.first, button.second);

    QToolBar *alignBar = makeBar(QStringLiteral("AlignmentBar"), QStringLiteral("Alignment"), Qt::BottomToolBarArea);
    const QList<QPair<QString, QString>> aligns = {
        {QStringLiteral("AlignLeftBtn"), QStringLiteral("Align Left")},
        {QStringLiteral("AlignHCenterBtn"), QStringLiteral("Align Horizontal Center")},
        {QStringLiteral("AlignRightBtn"), QStringLiteral("Align Right")},
        {QStringLiteral("AlignTopBtn"), QStringLiteral("Align Top")},
        {QStringLiteral("AlignVCenterBtn"), QStringLiteral("Align Vertical Center")},
        {QStringLiteral("AlignBottomBtn"), QStringLiteral("Align Bottom")},
        {QStringLiteral("AlignGroupLeftBtn"), QStringLiteral("Align Group Left")},
        {QStringLiteral("AlignGroupHCenterBtn"), QStringLiteral("Align Group Horizontal Center")},
        {QStringLiteral("AlignGroupRightBtn"), QStringLiteral("Align Group Right")},
        {QStringLiteral("AlignGroupHSpaceBtn"), QStringLiteral("Space Equally Horizontal")},
        {QStringLiteral("AlignGroupTopBtn"), QStringLiteral("Align Group Top")},
        {QStringLiteral("AlignGroupVCenterBtn"), QStringLiteral("Align Group Vertical Center")},
        {QStringLiteral("AlignGroupBottomBtn"), QStringLiteral("Align Group Bottom")},
        {QStringLiteral("AlignGroupVSpaceBtn"), QStringLiteral("Space Equally Vertical")}};
    int number = 1;
    for (const auto &[name, hint] : aligns) {
        QAction *a = makeAction(name + QStringLiteral("Action"), hint);
        a->setData(number);
        static const char *const alignIcons[] = {"align-left", "align-hcenter", "align-right", "align-top",
                                                 "align-vcenter", "align-bottom", "group-left", "group-hcenter",
                                                 "group-right", "group-hspace", "group-top", "group-vcenter",
                                                 "group-bottom", "group-vspace"};
        a->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(alignIcons[number - 1]))));
        addToolButtonName(alignBar, a, name, hint);
        if (number == 3 || number == 6 || number == 10)
            alignBar->addSeparator();
        ++number;
    }

    QToolBar *regions = makeBar(QStringLiteral("RegionsBar"), QStringLiteral("Region Bar"), Qt::BottomToolBarArea);
    m_regionCombo = new QComboBox(regions);
    m_regionCombo->setObjectName(QStringLiteral("RegionCombo"));
    m_regionCombo->setFixedWidth(225);
    regions->addWidget(m_regionCombo);
    connect(m_regionCombo, &QComboBox::currentIndexChanged, this, &TMainForm::RegionComboChange);

    const QList<QPair<QString, QString>> toggles = {
        {QStringLiteral("MainBarMI"), QStringLiteral("&Main")}, {QStringLiteral("ToolsBarMI"), QStringLiteral("Tools")},
        {QStringLiteral("AlignmentBarMI"), QStringLiteral("&Alignment")}, {QStringLiteral("RegionsBarMI"), QStringLiteral("&Regions")},
        {QStringLiteral("ZoomBarMI"), QStringLiteral("&Zoom")}, {QStringLiteral("PropertyEditorMI"), QStringLiteral("Property Editor")}};
    for (const auto &[name, text] : toggles) {
        QAction *a = makeAction(name, text);
        a->setCheckable(true);
        m_toolbarsMenu->addAction(a);
        connect(a, &QAction::triggered, this, [this, name](bool on) {
            QString barName = name;
            barName.chop(2);
            if (barName == QLatin1String("PropertyEditor"))
                m_propertyEditor->setVisible(on);
            else if (QToolBar *b = m_toolbars.value(barName))
                b->setVisible(on);
        });
    }
}

void TMainForm::buildObjectPopup()
{
    m_objectPopup = new QMenu(this);
    m_objectPopup->setObjectName(QStringLiteral("ObjectPopup"));
    auto twin = [this](QMenu *menu, const QString &text, const char *menuItem) {
        QAction *a = menu->addAction(text);
        QAction *original = m_actions.value(QString::fromLatin1(menuItem));
        a->setObjectName(QStringLiteral("PM") + QString::fromLatin1(menuItem));
        m_popupTwins.insert(a->objectName(), original);
        connect(a, &QAction::triggered, original, &QAction::trigger);
        return a;
    };
    QMenu *align = m_objectPopup->addMenu(QStringLiteral("Align"));
    twin(align, QStringLiteral("Align..."), "AlignMI");
    twin(align, QStringLiteral("Align Selected To Grid"), "AlignSelectedtoGridMI");
    twin(align, QStringLiteral("Align All To Grid"), "AlignAlltoGridMI");
    twin(align, QStringLiteral("Fit To Margins"), "FitToMarginsMI");
    align->addSeparator();
    twin(align, QStringLiteral("Send To Back"), "SendtoBackMI");
    twin(align, QStringLiteral("Bring To Front"), "BringtoFrontMI");
    m_objectPopup->addSeparator();
    twin(m_objectPopup, QStringLiteral("Undo"), "UndoMI");
    twin(m_objectPopup, QStringLiteral("Redo"), "RedoMI");
    m_objectPopup->addSeparator();
    twin(m_objectPopup, QStringLiteral("Cut"), "CutMI");
    twin(m_objectPopup, QStringLiteral("Copy"), "CopyMI");
    twin(m_objectPopup, QStringLiteral("Paste"), "PasteMI");
    m_objectPopup->addSeparator();
    twin(m_objectPopup, QStringLiteral("Delete"), "DeleteMI");
    twin(m_objectPopup, QStringLiteral("Select All"), "SelectAllMI");
    twin(m_objectPopup, QStringLiteral("Select None"), "SelectNoneMI");
    m_objectPopup->addSeparator();
    twin(m_objectPopup, QStringLiteral("Properties..."), "PropertiesMI");
}

void TMainForm::ToolbarsPMPopup()
{
    for (auto it = m_toolbars.cbegin(); it != m_toolbars.cend(); ++it)
        if (QAction *a = m_actions.value(it.key() + QStringLiteral("MI")))
            a->setChecked(it.value()->isVisible());
    m_actions.value(QStringLiteral("PropertyEditorMI"))->setChecked(m_propertyEditor->isVisible());
}

void TMainForm::fillReopenMenu()
{
    // The list changes while one of its entries is being carried out: the old entries go
    // once that is over.
    for (QAction *a : m_reopenMenu->actions()) {
        m_reopenMenu->removeAction(a);
        a->deleteLater();
    }
    if (m_recent.paths().isEmpty()) {
        QAction *none = m_reopenMenu->addAction(QStringLiteral("(none)"));
        none->setEnabled(false);
        return;
    }
    for (const QString &path : m_recent.paths()) {
        QAction *a = m_reopenMenu->addAction(RecentFiles::caption(path));
        a->setData(path);
        a->setToolTip(path);
        connect(a, &QAction::triggered, this, [this, path] { HistoryListClick(path); });
    }
}

} // namespace app
