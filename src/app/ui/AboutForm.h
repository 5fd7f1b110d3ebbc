#pragma once
// The About box, the rich-text viewer for the licence and readme, the splash window and
// the help window.

#include <QDialog>

class QTextBrowser;
class QTextEdit;

namespace app {

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget *parent = nullptr);
};

// Read-only viewer of an RTF file, captioned "Important Information".
class TReadmeForm : public QDialog {
    Q_OBJECT
public:
    TReadmeForm(const QString &rtfFile, QWidget *parent = nullptr);
    QTextEdit *viewer() const { return m_view; }

private:
    void print();
    QTextEdit *m_view;
};

// Borderless window centred on the screen that closes itself after two seconds.
class TSplashForm : public QDialog {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget *parent = nullptr);
};

} // namespace app
