#pragma once
// The Open dialog for designs: a file list with a preview of the selected design.

#include <QFileDialog>

class QLabel;

namespace app {

class CardOpenDialog : public QFileDialog {
    Q_OBJECT
public:
    CardOpenDialog(QWidget *parent, const QString &folder);
    QLabel *preview() const { return m_preview; }
    void showPreviewOf(const QString &file);

private:
    QLabel *m_preview = nullptr;
};

} // namespace app
