#include "app/ui/AboutForm.h"

#include "app/Product.h"
#include "app/ProductInfo.h"
#include "platform/ProgramFolder.h"
#include "platform/Rtf.h" // merged from the options branch

#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace app {

TAboutForm::TAboutForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About ") + ProductName());
    auto *v = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *picture = new QToolButton(this);
    picture->setObjectName(QStringLiteral("ProductImage"));
    picture->setIcon(QIcon(QStringLiteral(":/icons/ostravel.svg")));
    picture->setIconSize(QSize(64, 64));
    picture->setAutoRaise(true);
    picture->setToolTip(ProductInfo::productHomePage());
    connect(picture, &QToolButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(QStringLiteral("https://") + ProductInfo::productHomePage())); });
    top->addWidget(picture);
    auto *texts = new QVBoxLayout;
    auto *title = new QLabel(ProductName() + QStringLiteral(" Version ") + ProductInfo::version(), this);
    title->setObjectName(QStringLiteral("TitleLabel"));
    QFont f = title->font();
    f.setBold(true);
    title->setFont(f);
    auto *notice = new QLabel(ProductInfo::notice(), this);
    notice->setObjectName(QStringLiteral("NoticeLabel"));
    auto *link = new QLabel(QStringLiteral("<a href=\"https://%1\">%1</a>").arg(ProductInfo::productHomePage()), this);
    link->setObjectName(QStringLiteral("HomePageLabel"));
    link->setOpenExternalLinks(true);
    texts->addWidget(title);
    texts->addWidget(notice);
    texts->addWidget(link);
    top->addLayout(texts);
    v->addLayout(top);

    auto *buttons = new QHBoxLayout;
    auto *license = new QPushButton(QStringLiteral("&License"), this);
    license->setObjectName(QStringLiteral("LicenseBtn"));
    auto *readme = new QPushButton(QStringLiteral("&Readme"), this);
    readme->setObjectName(QStringLiteral("ReadmeBtn"));
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    buttons->addWidget(license);
    buttons->addWidget(readme);
    buttons->addStretch();
    buttons->addWidget(ok);
    v->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(license, &QPushButton::clicked, this, [this] {
        TReadmeForm f(plat::ProgramFolder::current().findFile(QStringLiteral("License.rtf")), this);
        f.exec();
    });
    connect(readme, &QPushButton::clicked, this, [this] {
        TReadmeForm f(plat::ProgramFolder::current().findFile(QStringLiteral("Readme.rtf")), this);
        f.exec();
    });
}

TReadmeForm::TReadmeForm(const QString &rtfFile, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ReadmeForm"));
    setWindowTitle(QStringLiteral("Important Information"));
    resize(560, 440);
    auto *v = new QVBoxLayout(this);
    m_view = new QTextEdit(this);
    m_view->setObjectName(QStringLiteral("ReadmeMemo"));
    m_view->setReadOnly(true);
    v->addWidget(m_view);
    QFile file(rtfFile);
    bool shown = false;
    if (!rtfFile.isEmpty() && file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        shown = plat::readRtf(bytes, *m_view->document());
    }
    if (!shown)
        m_view->setPlainText(QStringLiteral("Error Reading File."));
    m_view->moveCursor(QTextCursor::Start); // the text opens at its beginning
    auto *buttons = new QHBoxLayout;
    auto *printBtn = new QPushButton(QStringLiteral("&Print"), this);
    printBtn->setObjectName(QStringLiteral("PrintBtn"));
    auto *closeBtn = new QPushButton(QStringLiteral("&Close"), this);
    closeBtn->setObjectName(QStringLiteral("CloseBtn"));
    buttons->addStretch();
    buttons->addWidget(printBtn);
    buttons->addWidget(closeBtn);
    v->addLayout(buttons);
    connect(printBtn, &QPushButton::clicked, this, &TReadmeForm::print);
    connect(closeBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TReadmeForm::print()
{
    QPrinter printer;
    printer.setDocName(QStringLiteral("Important Information"));
    QPrintDialog dlg(&printer, this);
    if (dlg.exec() == QDialog::Accepted)
        m_view->document()->print(&printer);
}

TSplashForm::TSplashForm(QWidget *parent) : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    auto *v = new QVBoxLayout(this);
    auto *picture = new QLabel(this);
    picture->setPixmap(QIcon(QStringLiteral(":/icons/splash.svg")).pixmap(QSize(400, 240)));
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(picture);
    adjustSize();
    if (QScreen *s = QGuiApplication::primaryScreen())
        move(s->geometry().center() - rect().center());
    QTimer::singleShot(2000, this, &QDialog::accept);
}

} // namespace app
