#pragma once
// TOWProgressForm: the small window that shows what the order wizard's network work is
// doing (fetching the catalogue, submitting an order), with "&Abort".

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace order::ui {

class TOWProgressForm : public QDialog {
    Q_OBJECT
public:
    explicit TOWProgressForm(QWidget *parent = nullptr);

    // Enables the window, sets its caption, hides the bar and Abort as asked, and shows it
    // without making it modal.
    void Show(const QString &caption, bool showBar, bool showAbort);
    // Both repaint the window at once.
    void SetTitle(const QString &text);
    void SetStatus(const QString &text);

    QLabel *TitleLabel = nullptr;
    QLabel *StatusLabel = nullptr;
    QProgressBar *ProgressBar = nullptr;
    QPushButton *AbortBtn = nullptr;

signals:
    // "&Abort" was pressed: the running transfer is to stop.
    void aborted();

protected:
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void AbortBtnClick();
};

} // namespace order::ui
