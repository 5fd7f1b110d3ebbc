#include "order/ui/OWizHelpForm.h"

#include "app/ProductInfo.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace order::ui {

namespace {

QLabel *link(const QString &href, const QString &text, const char *name, QWidget *parent)
{
    auto *l = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(href.toHtmlEscaped(), text.toHtmlEscaped()), parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::RichText);
    l->setOpenExternalLinks(true);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

QLabel *plain(const QString &text, const char *name, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignCenter);
    return l;
}

} // namespace

TOWHelpForm::TOWHelpForm(const Catalogue &c, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OWHelpForm"));
    setWindowTitle(QStringLiteral("Help"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(plain(QStringLiteral("Send your questions, comments and suggestions to:"), "SendLabel", this));
    // The address link starts a mail message to it.
    EmailLabel = link(QStringLiteral("mailto:") + c.contactEmail, c.contactEmail, "EmailLabel", this);
    layout->addWidget(EmailLabel);
    ContactLabel = plain(c.contactName, "ContactLabel", this);
    Phone1Label = plain(c.phone1, "Phone1Label", this);
    Phone2Label = plain(c.phone2, "Phone2Label", this);
    layout->addWidget(ContactLabel);
    layout->addWidget(Phone1Label);
    layout->addWidget(Phone2Label);
    layout->addSpacing(12);
    auto *madeBy = plain(QStringLiteral("This software was developed by Dravmont.  For other great products from "
                                        "Dravmont please visit:"),
                         "DevelopedLabel", this);
    madeBy->setWordWrap(true);
    layout->addWidget(madeBy);
    const QString site = app::ProductInfo::vendorHomePage();
    WebLabel = link(QStringLiteral("https://") + site, site, "WebLabel", this);
    layout->addWidget(WebLabel);
    OkBtn = new QPushButton(QStringLiteral("&OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    layout->addWidget(OkBtn, 0, Qt::AlignHCenter);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    setMinimumWidth(380);
}

} // namespace order::ui
