#include "app/ui/HelpWindow.h"

#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace app {

HelpWindow::HelpWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Ostravel Help"));
    resize(640, 520);
    auto *v = new QVBoxLayout(this);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(true);
    m_browser->setSearchPaths({QStringLiteral(":/help")});
    m_browser->setSource(QUrl(QStringLiteral("qrc:/help/index.html")));
    v->addWidget(m_browser);
}

HelpWindow *HelpWindow::showContents(QWidget *parent)
{
    static QPointer<HelpWindow> window;
    if (!window)
        window = new HelpWindow(parent);
    window->m_browser->setSource(QUrl(QStringLiteral("qrc:/help/index.html")));
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace app
