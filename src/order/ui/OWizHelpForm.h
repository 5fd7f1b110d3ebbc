#pragma once
// TOWHelpForm: whom to ask about an order (from the catalogue) and who made the program.

#include "order/Catalogue.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace order::ui {

class TOWHelpForm : public QDialog {
    Q_OBJECT
public:
    TOWHelpForm(const Catalogue &catalogue, QWidget *parent = nullptr);

    QLabel *EmailLabel = nullptr;
    QLabel *ContactLabel = nullptr;
    QLabel *Phone1Label = nullptr;
    QLabel *Phone2Label = nullptr;
    QLabel *WebLabel = nullptr;
    QPushButton *OkBtn = nullptr;
};

} // namespace order::ui
