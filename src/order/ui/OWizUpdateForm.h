#pragma once
// TOWUpdateForm: the notice that the shop's catalogue needs a newer program.

#include <QDialog>

class QLabel;
class QPushButton;

namespace order::ui {

class TOWUpdateForm : public QDialog {
    Q_OBJECT
public:
    TOWUpdateForm(const QString &updateUrl, QWidget *parent = nullptr);

    QLabel *UrlLabel = nullptr;
    QPushButton *ExitBtn = nullptr;
};

} // namespace order::ui
