#include "PropsUiSupport.h"

#include "app/ui/MainForm.h"
#include "editing/Selection.h"
#include "model/TObjectManager.h"

namespace propsui {

void EditorFixture::SetUp()
{
    doc = std::make_unique<document::TMDIChildForm>(&host);
    const layout::LayoutRecord layout = app::TMainForm::defaultBusinessCardLayout();
    ASSERT_TRUE(doc->createDesign(1, nullptr, QString(), &layout));
    editor = std::make_unique<editing::TPropertyEditor>();
    editor->setOptions(&host.options);
    editor->setDocument(doc.get());
    editor->resize(260, 420);
    editor->show();
}

void EditorFixture::TearDown()
{
    editor.reset();
    doc.reset();
}

model::SurfaceItem *EditorFixture::addText(QRect bounds)
{
    model::SurfaceItem *item = manager()->NewText(bounds.x(), bounds.y());
    item->setBounds(bounds);
    return item;
}

model::SurfaceItem *EditorFixture::addShape(char kind, QRect bounds)
{
    model::SurfaceItem *item = nullptr;
    switch (kind) {
    case 'L': item = manager()->NewLine(0, 0); break;
    case 'B': item = manager()->NewBox(0, 0); break;
    case 'R': item = manager()->NewRoundBox(0, 0); break;
    default: item = manager()->NewEllipse(0, 0); break;
    }
    item->setBounds(bounds);
    return item;
}

model::SurfaceItem *EditorFixture::addGraphic(const plat::Picture &picture, QRect bounds)
{
    model::SurfaceItem *item = manager()->NewGraphic(&picture, bounds.x(), bounds.y(), true);
    if (item)
        item->setBounds(bounds);
    return item;
}

void EditorFixture::select(model::SurfaceItem *item, bool resetPage)
{
    doc->selection()->set(item);
    editor->FillPropertyEditor(doc.get(), resetPage);
}

bool EditorFixture::tabShown(const char *sheet)
{
    QWidget *page = editor->findChild<QWidget *>(QLatin1String(sheet));
    return page && editor->isTabVisible(editor->indexOf(page));
}

} // namespace propsui
