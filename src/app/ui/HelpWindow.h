#pragma once
// The help window: the program's own HTML pages in a browser pane.

#include <QDialog>

class QTextBrowser;

namespace app {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    QTextBrowser *browser() const { return m_browser; }
    // Shows (creating once) the help window on its contents page.
    static HelpWindow *showContents(QWidget *parent);

private:
    QTextBrowser *m_browser;
};

} // namespace app
