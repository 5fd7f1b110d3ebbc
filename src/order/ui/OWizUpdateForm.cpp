#include "order/ui/OWizUpdateForm.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace order::ui {

TOWUpdateForm::TOWUpdateForm(const QString &updateUrl, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OWUpdateForm"));
    setWindowTitle(QStringLiteral("Update"));
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("IMPORTANT NOTICE"), this);
    heading->setObjectName(QStringLiteral("NoticeLabel"));
    QFont f = heading->font();
    f.setBold(true);
    f.setPixelSize(18);
    heading->setFont(f);
    heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading);
    auto *text = new QLabel(QStringLiteral("The order wizard detected that a new version is needed. Please visit the "
                                           "following URL for a FREE update:"),
                            this);
    text->setWordWrap(true);
    layout->addWidget(text);
    UrlLabel = new QLabel(this);
    UrlLabel->setObjectName(QStringLiteral("UrlLabel"));
    UrlLabel->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(updateUrl.toHtmlEscaped(), updateUrl.toHtmlEscaped()));
    UrlLabel->setTextFormat(Qt::RichText);
    UrlLabel->setOpenExternalLinks(true);
    UrlLabel->setAlignment(Qt::AlignCenter);
    layout->addWidget(UrlLabel);
    auto *exitNote = new QLabel(QStringLiteral("Be sure to exit this version before installing the new version."), this);
    exitNote->setWordWrap(true);
    layout->addWidget(exitNote);
    ExitBtn = new QPushButton(QStringLiteral("&Exit"), this);
    ExitBtn->setObjectName(QStringLiteral("ExitBtn"));
    ExitBtn->setDefault(true);
    layout->addWidget(ExitBtn, 0, Qt::AlignHCenter);
    connect(ExitBtn, &QPushButton::clicked, this, &QDialog::accept);
    setMinimumWidth(420);
}

} // namespace order::ui
