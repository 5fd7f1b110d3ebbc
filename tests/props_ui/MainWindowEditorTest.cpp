// The property editor inside the main window's dock follows the active document.
#include "PropsUiSupport.h"

#include "app/ui/MainForm.h"
#include "editing/Selection.h"
#include "model/TObjectData.h"
#include "model/TObjectManager.h"

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QLineEdit>

using namespace propsui;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

TEST(MainWindowEditor, SelectionFillsTheDockedPagesAndApplyRefreshesCommands)
{
    app::TMainForm main;
    main.options().ShowDesignWizard = false;
    document::TMDIChildForm *d = main.newBlankDocument(app::TMainForm::defaultBusinessCardLayout());
    ASSERT_NE(d, nullptr);
    auto *dock = main.findChild<QDockWidget *>(QStringLiteral("PropertyEditor"));
    ASSERT_NE(dock, nullptr);
    auto *pages = dock->findChild<editing::TPropertyEditor *>(QStringLiteral("PropertyEditorPageControl"));
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(main.propertyPages(), pages);

    model::SurfaceItem *text = d->doc()->manager()->NewText(0, 0);
    text->setBounds(50, 50, 120, 30);
    d->selection()->set(text); // the document reports the change; the main window refreshes
    main.UpdateCommands();
    EXPECT_EQ(d->sheetKind(), 'T');
    EXPECT_EQ(pages->findChild<QLineEdit *>(QStringLiteral("GeneralLeftEdit"))->text(), "48");
    EXPECT_EQ(pages->findChild<QLineEdit *>(QStringLiteral("GeneralHeightEdit"))->text(), "35");

    pages->findChild<QCheckBox *>(QStringLiteral("GeneralLockedCheck"))->click();
    EXPECT_TRUE(text->data()->locked());
    EXPECT_TRUE(d->isModified());
    EXPECT_TRUE(main.action(QStringLiteral("UndoMI"))->isEnabled());

    // Undo from outside the editor: the next refresh shows the object as it is again.
    ASSERT_TRUE(d->doc()->manager()->Undo(d->zoom()));
    main.UpdateCommands();
    EXPECT_FALSE(pages->findChild<QCheckBox *>(QStringLiteral("GeneralLockedCheck"))->isChecked());

    d->selection()->clear();
    main.UpdateCommands();
    EXPECT_EQ(d->sheetKind(), ' ');
}
