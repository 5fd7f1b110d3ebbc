#pragma once
// "Pick Custom Text": the list of frequently used texts kept in the options; OK with a
// selected entry returns its text.

#include <QDialog>

class QListWidget;

namespace vardata {

class TPickTextForm : public QDialog {
    Q_OBJECT
public:
    TPickTextForm(const QStringList &customTexts, QWidget *parent = nullptr);
    // The selected entry's text; empty when none is selected.
    QString pickedText() const;
    // Runs the dialog; true with a picked text when it was closed with OK and an entry was
    // selected.
    static bool pick(QWidget *parent, const QStringList &customTexts, QString *text);

private:
    QListWidget *m_list;
};

} // namespace vardata
