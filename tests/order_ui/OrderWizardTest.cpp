// The order wizard against the demo shop server on loopback ports: fetching and checking
// the catalogue, the product pages, validation, owiz.ini, submitting, a server that is
// down, and Abort while the network works.

#include "../order/OrderTestSupport.h"

#include "TestSupport.h"
#include "app/ui/MainForm.h"
#include "document/DesignDocument.h"
#include "order/OrderService.h"
#include "order/OrderSettings.h"
#include "order/Package.h"
#include "order/ui/OWizHelpForm.h"
#include "order/ui/OWizMainForm.h"
#include "order/ui/OWizProgressForm.h"
#include "order/ui/OWizUpdateForm.h"
#include "order/ui/OrderCommand.h"
#include "platform/ByteIO.h"
#include "platform/ProgramFolder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace order;
using order::ui::TOWMainForm;

namespace {

// Answers every modal window that comes up while it lives: message boxes (their ids are
// recorded from the object names), the update notice and the help form; `onPoll` runs on
// every tick as well, so a test can act while the wizard waits for the network.
class ModalAnswerer : public QObject {
public:
    ModalAnswerer()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }
    QVector<int> messages;
    QStringList updateUrls;
    std::function<void()> onPoll;

private:
    void poll()
    {
        if (onPoll)
            onPoll();
        QWidget *w = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            messages << box->objectName().mid(QStringLiteral("OrderMessage").size()).toInt();
            box->accept();
        } else if (auto *update = qobject_cast<order::ui::TOWUpdateForm *>(w)) {
            updateUrls << update->UrlLabel->text();
            update->ExitBtn->click();
        }
    }
    QTimer m_timer;
};

QString programFolder()
{
    return plat::ProgramFolder::current().writeFolder();
}

void useShop(const QString &baseAddress)
{
    const QString path = orderSettingsPath();
    IniFile ini;
    ini.load(path);
    ini.setValue(QStringLiteral("Vendor"), QStringLiteral("BaseAddress"), baseAddress);
    ASSERT_TRUE(ini.save(path));
}

QStringList packagesLeft()
{
    return QDir(programFolder()).entryList({QStringLiteral("*.owz")}, QDir::Files);
}

QByteArray readAll(const QString &p)
{
    QFile f(p);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void fillBilling(TOWMainForm &w)
{
    w.NameEdit->setText(QStringLiteral("Ada Lovelace"));
    w.Addr1Edit->setText(QStringLiteral("12 Analytical Row"));
    w.CityEdit->setText(QStringLiteral("London"));
    w.StateEdit->setText(QStringLiteral("LN"));
    w.ZipEdit->setText(QStringLiteral("12345"));
    w.CountryEdit->setText(QStringLiteral("UK"));
    w.EmailEdit->setText(QStringLiteral("ada@example.org"));
    w.CCRadioGroup->setItemIndex(0);
    w.CCNoEdit->setText(QStringLiteral("4111111111111111"));
    w.CCExpDateEdit->setText(QStringLiteral("12/29"));
}

class OrderWizard : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(testsupport::privateHome().isEmpty());
        QFile::remove(orderSettingsPath());
        QFile::remove(QDir(programFolder()).filePath(messageFileName()));
        for (const QString &p : packagesLeft())
            QFile::remove(QDir(programFolder()).filePath(p));
        if (builtInVerificationKey() != ordertest::publicBytes(ordertest::demoSigningKey()))
            GTEST_SKIP() << "built with a shop's own verification key";
        design = dir.filePath(QStringLiteral("owzTest01.bcp"));
        QFile::copy(testsupport::fixture(QStringLiteral("files/sample.bcp")), design);
    }
    std::unique_ptr<TOWMainForm> wizard()
    {
        auto w = std::make_unique<TOWMainForm>();
        w->setStepDelay(0);
        w->setDesignFile(design);
        w->show();
        QApplication::processEvents();
        return w;
    }
    // Welcome -> (fetch) Message -> Products.
    void toProducts(TOWMainForm &w)
    {
        w.NextBtn->click();
        ASSERT_EQ(w.currentPage(), TOWMainForm::MsgPage);
        w.NextBtn->click();
        ASSERT_EQ(w.currentPage(), TOWMainForm::ProductPageIndex);
    }

    QTemporaryDir dir;
    QString design;
};

} // namespace

TEST_F(OrderWizard, FetchesShowsProductsAndSubmitsOverLoopback)
{
    ordertest::ShopServer shop;
    ASSERT_TRUE(shop.ok());
    shop.publish(ordertest::sampleCatalogue(2), "{\\rtf1\\ansi {\\b Spring sale} on all cards.\\par}");
    useShop(shop.baseAddress());
    ModalAnswerer answers;

    auto w = wizard();
    EXPECT_FALSE(w->BackBtn->isEnabled());
    EXPECT_FALSE(w->HelpBtn->isVisible());
    EXPECT_EQ(w->CountryEdit->text(), QStringLiteral("USA"));
    EXPECT_TRUE(w->products[0].filePanel->isHidden());
    w->NextBtn->click();
    ASSERT_TRUE(w->catalogueLoaded());
    EXPECT_EQ(w->currentPage(), TOWMainForm::MsgPage);
    EXPECT_TRUE(w->BackBtn->isEnabled());
    EXPECT_TRUE(w->HelpBtn->isVisible());
    EXPECT_EQ(w->MsgRichEdit->toPlainText().trimmed(), QStringLiteral("Spring sale on all cards."));
    EXPECT_EQ(w->progressForm(), nullptr);
    EXPECT_FALSE(QFile::exists(QDir(programFolder()).filePath(catalogueFileName())));
    EXPECT_TRUE(QFile::exists(QDir(programFolder()).filePath(headerFileName())));

    // Back to Welcome and forward again: the catalogue is fetched once.
    w->BackBtn->click();
    EXPECT_FALSE(w->BackBtn->isEnabled());
    shop.stop();
    w->NextBtn->click();
    w->NextBtn->click();
    ASSERT_EQ(w->currentPage(), TOWMainForm::ProductPageIndex);

    // The product pages: two offered, the third hidden.
    EXPECT_TRUE(w->ProductPageControl->isTabVisible(1));
    EXPECT_FALSE(w->ProductPageControl->isTabVisible(2));
    const order::ui::ProductPage &p1 = w->products[0];
    EXPECT_EQ(w->ProductPageControl->tabText(0), QStringLiteral("Product 1"));
    EXPECT_EQ(p1.minLabel->text(), QStringLiteral("Minimum of 100 required."));
    EXPECT_EQ(p1.pricingMemo->toPlainText(),
              QStringLiteral("From\tTo\tPrice Each\n1\t99\t$0.500\n100\t499\t$0.400\n500 or more\t$0.300"));
    EXPECT_EQ(p1.shipment->items(), (QStringList{QStringLiteral("USA Standard ($5.00)"), QStringLiteral("USA Express  ($15.00)"),
                                                 QStringLiteral("International (Varies)")}));
    EXPECT_TRUE(p1.intlLabel->isVisibleTo(w.get()));
    EXPECT_EQ(p1.options->itemIndex(), 0);
    EXPECT_EQ(p1.shipment->itemIndex(), 0);
    EXPECT_TRUE(p1.descRichEdit->toPlainText().contains(QStringLiteral("Product 1 on card stock.")));
    EXPECT_FALSE(w->products[1].filePanel->isHidden());

    p1.qtyEdit->setText(QStringLiteral("250"));
    p1.options->setItemIndex(1);
    w->NextBtn->click();
    ASSERT_EQ(w->currentPage(), TOWMainForm::BillingPage);
    fillBilling(*w);
    w->NextBtn->click();
    ASSERT_EQ(w->currentPage(), TOWMainForm::ShippingPage);
    w->ShipNameEdit->setText(QStringLiteral("Charles Babbage"));
    w->ShipNotesMemo->setPlainText(QStringLiteral("Ring twice"));
    w->NextBtn->click();
    ASSERT_EQ(w->currentPage(), TOWMainForm::FinishPage);
    EXPECT_FALSE(w->NextBtn->isEnabled());
    const QString summary = w->SummaryMemo->toPlainText();
    EXPECT_TRUE(summary.startsWith(QStringLiteral("Products\n--------\nName:      Product 1\nOption:    Glossy\n"
                                                  "Qty:       250\nShip:      Standard\nTotal:     $107.50\n")))
        << summary.toStdString();
    EXPECT_EQ(w->SummaryMemo->textCursor().position(), 0);
    EXPECT_TRUE(answers.messages.isEmpty());

    // Submit to a running order server.
    ordertest::ShopServer::Options ftpOnly;
    ftpOnly.http = false;
    ordertest::ShopServer orders(ftpOnly);
    ASSERT_TRUE(orders.ok());
    // The catalogue named the first server's FTP port; the new one runs elsewhere, so
    // the wizard is pointed at it the way a fresh catalogue would.
    QDir(orders.ftpRoot()).mkpath(QStringLiteral("orders"));
    const_cast<Catalogue &>(w->catalogue()).uploadHost = orders.uploadHost();
    w->SubmitBtn->click();
    EXPECT_EQ(answers.messages, QVector<int>{MsgSubmitted});
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_TRUE(packagesLeft().isEmpty());

    const QStringList uploaded = orders.uploads();
    ASSERT_EQ(uploaded.size(), 1);
    EXPECT_TRUE(QFileInfo(uploaded[0]).fileName().startsWith(QStringLiteral("AL")));
    OpenedPackage opened;
    QString error;
    ASSERT_TRUE(openPackage(readAll(uploaded[0]), ordertest::demoOrderKey(), &opened, &error)) << error.toStdString();
    EXPECT_EQ(opened.customer.name, QStringLiteral("Ada Lovelace"));
    EXPECT_EQ(opened.customer.shipName, QStringLiteral("Charles Babbage"));
    EXPECT_EQ(opened.customer.notes, QStringLiteral("Ring twice"));
    EXPECT_EQ(opened.customer.cardNumber, QStringLiteral("4111111111111111"));
    EXPECT_EQ(opened.orderedCount, 1);
    ASSERT_EQ(opened.lines.size(), 1);
    EXPECT_EQ(opened.lines[0].data, readAll(design));
    EXPECT_EQ(opened.lines[0].total, 10750000u);
}

TEST_F(OrderWizard, ValidationMessagesKeepThePage)
{
    ordertest::ShopServer shop;
    ASSERT_TRUE(shop.ok());
    shop.publish(ordertest::sampleCatalogue(3));
    useShop(shop.baseAddress());
    ModalAnswerer answers;
    auto w = wizard();
    toProducts(*w);

    // Nothing ordered, then below the minimum, then product 2 without a file.
    w->NextBtn->click();
    w->products[0].qtyEdit->setText(QStringLiteral("99"));
    w->NextBtn->click();
    w->products[0].qtyEdit->setText(QStringLiteral("100"));
    w->products[1].qtyEdit->setText(QStringLiteral("5"));
    w->NextBtn->click();
    EXPECT_EQ(answers.messages, (QVector<int>{MsgNoProducts, MsgNoProducts, MsgNoProducts}));
    EXPECT_EQ(w->currentPage(), TOWMainForm::ProductPageIndex);
    // The quantity takes five digits and nothing else.
    w->products[0].qtyEdit->clear();
    QTest::keyClicks(w->products[0].qtyEdit, QStringLiteral("12a3456"));
    EXPECT_EQ(w->products[0].qtyEdit->text(), QStringLiteral("12345"));
    w->products[1].qtyEdit->clear();
    w->NextBtn->click();
    ASSERT_EQ(w->currentPage(), TOWMainForm::BillingPage);

    // A name of two letters and no card type: 8002, then 8003.
    answers.messages.clear();
    fillBilling(*w);
    w->NameEdit->setText(QStringLiteral("Al"));
    w->CCRadioGroup->setItemIndex(-1);
    w->NextBtn->click();
    EXPECT_EQ(answers.messages, (QVector<int>{MsgBillingMissing, MsgCardInvalid}));
    EXPECT_EQ(w->currentPage(), TOWMainForm::BillingPage);

    // Paying by phone: the card panel hides and its fields empty.
    w->NameEdit->setText(QStringLiteral("Alan"));
    w->PhoneCheck->setChecked(true);
    EXPECT_FALSE(w->CCPanel->isVisibleTo(w.get()));
    EXPECT_TRUE(w->CCNoEdit->text().isEmpty());
    EXPECT_TRUE(w->CCExpDateEdit->text().isEmpty());
    answers.messages.clear();
    w->NextBtn->click();
    EXPECT_TRUE(answers.messages.isEmpty());
    EXPECT_EQ(w->currentPage(), TOWMainForm::ShippingPage);
    w->NextBtn->click();
    EXPECT_TRUE(w->SummaryMemo->toPlainText().contains(QStringLiteral("MOP:       CONTACT CUSTOMER WITH PAYMENT OPTIONS.")));
    // Back from the last page enables Next again.
    w->BackBtn->click();
    EXPECT_TRUE(w->NextBtn->isEnabled());

    // Field limits of the record.
    EXPECT_EQ(w->NameEdit->maxLength(), 49);
    EXPECT_EQ(w->CityEdit->maxLength(), 39);
    EXPECT_EQ(w->EmailEdit->maxLength(), 99);
    EXPECT_EQ(w->CCNoEdit->maxLength(), 29);
    EXPECT_EQ(w->CCExpDateEdit->maxLength(), 9);
    w->ShipNotesMemo->setPlainText(QString(300, QLatin1Char('n')));
    EXPECT_EQ(w->ShipNotesMemo->toPlainText().size(), 255);

    // Help names the shop's contact.
    order::ui::TOWHelpForm help(w->catalogue());
    EXPECT_EQ(help.ContactLabel->text(), QStringLiteral("Test Shop"));
    EXPECT_TRUE(help.EmailLabel->text().contains(QStringLiteral("mailto:orders@shop.example")));
}

TEST_F(OrderWizard, CatalogueProblemsCloseTheWizard)
{
    ordertest::ShopServer shop;
    ASSERT_TRUE(shop.ok());
    useShop(shop.baseAddress());

    struct Case {
        const char *name;
        std::function<void()> prepare;
        QVector<int> messages;
        bool update;
    };
    const Case cases[] = {
        {"last 64 bytes altered",
         [&] {
             QByteArray b = ordertest::signedCatalogue(ordertest::sampleCatalogue(1));
             for (qsizetype i = b.size() - 64; i < b.size(); ++i)
                 b[i] = char(b[i] ^ 0x33);
             shop.writeWww(QStringLiteral("owiz-bc.bin"), b);
         },
         {MsgCatalogueUnreadable}, false},
        {"version 111",
         [&] {
             Catalogue c = ordertest::sampleCatalogue(1);
             c.version = 111;
             shop.writeWww(QStringLiteral("owiz-bc.bin"), ordertest::signedCatalogue(c));
         },
         {}, true},
        {"not a catalogue", [&] { shop.writeWww(QStringLiteral("owiz-bc.bin"), "short"); }, {}, false},
        {"no catalogue on the server", [&] { QFile::remove(QDir(shop.www()).filePath(QStringLiteral("owiz-bc.bin"))); },
         {MsgUnreachable}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        c.prepare();
        ModalAnswerer answers;
        auto w = wizard();
        w->NextBtn->click();
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(w->result(), QDialog::Rejected);
        EXPECT_EQ(answers.messages, c.messages);
        EXPECT_EQ(answers.updateUrls.size(), c.update ? 1 : 0);
        if (c.update) {
            EXPECT_TRUE(answers.updateUrls.value(0).contains(QStringLiteral("http://shop.example/update")));
        }
        EXPECT_FALSE(QFile::exists(QDir(programFolder()).filePath(catalogueFileName())));
    }

    // Version 110 is accepted; the message falls back to the text for none.
    shop.publish(ordertest::sampleCatalogue(1));
    QFile::remove(QDir(shop.www()).filePath(QStringLiteral("owiz-bc.rtf")));
    QFile::remove(QDir(programFolder()).filePath(messageFileName()));
    ModalAnswerer answers;
    auto w = wizard();
    w->NextBtn->click();
    EXPECT_TRUE(w->catalogueLoaded());
    EXPECT_EQ(w->MsgRichEdit->toPlainText(), QStringLiteral("No Message Available."));
    EXPECT_FALSE(w->ProductPageControl->isTabVisible(1));
    EXPECT_FALSE(w->ProductPageControl->isTabVisible(2));
}

TEST_F(OrderWizard, FiveProductsOfferThree)
{
    ordertest::ShopServer shop;
    ASSERT_TRUE(shop.ok());
    shop.publish(ordertest::sampleCatalogue(5));
    useShop(shop.baseAddress());
    ModalAnswerer answers;
    auto w = wizard();
    w->NextBtn->click();
    ASSERT_TRUE(w->catalogueLoaded());
    EXPECT_EQ(w->catalogue().products.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(w->ProductPageControl->isTabVisible(i));
    EXPECT_EQ(w->ProductPageControl->tabText(2), QStringLiteral("Product 3"));
}

TEST_F(OrderWizard, CustomerDetailsComeBackButNeverTheCard)
{
    ordertest::ShopServer shop;
    ASSERT_TRUE(shop.ok());
    shop.publish(ordertest::sampleCatalogue(1));
    useShop(shop.baseAddress());
    ModalAnswerer answers;
    {
        auto w = wizard();
        w->ProxyServerEdit->setText(QString());
        toProducts(*w);
        w->products[0].qtyEdit->setText(QStringLiteral("100"));
        w->NextBtn->click();
        fillBilling(*w);
        w->DayPhoneEdit->setText(QStringLiteral("555-0123"));
        w->NextBtn->click();
        w->ShipCityEdit->setText(QStringLiteral("Paris"));
        w->ShipNotesMemo->setPlainText(QStringLiteral("secret notes"));
        w->CancelBtn->click();
        EXPECT_FALSE(w->isVisible());
    }
    const QByteArray ini = readAll(orderSettingsPath());
    EXPECT_TRUE(ini.contains("Name=Ada Lovelace"));
    EXPECT_FALSE(ini.contains("4111111111111111"));
    EXPECT_FALSE(ini.contains("12/29"));
    EXPECT_FALSE(ini.contains("secret notes"));

    auto again = wizard();
    EXPECT_EQ(again->NameEdit->text(), QStringLiteral("Ada Lovelace"));
    EXPECT_EQ(again->DayPhoneEdit->text(), QStringLiteral("555-0123"));
    EXPECT_EQ(again->CountryEdit->text(), QStringLiteral("UK"));
    EXPECT_EQ(again->ShipCityEdit->text(), QStringLiteral("Paris"));
    EXPECT_EQ(again->ShipCountryEdit->text(), QStringLiteral("USA"));
    EXPECT_TRUE(again->CCNoEdit->text().isEmpty());
    EXPECT_TRUE(again->CCExpDateEdit->text().isEmpty());
    EXPECT_EQ(again->CCRadioGroup->itemIndex(), -1);
    EXPECT_TRUE(again->ShipNotesMemo->toPlainText().isEmpty());
}

namespace {

// Walks a wizard to the last page with product 1 (the design) and, when given, product 2
// with `second` as its file.
void toFinish(TOWMainForm &w, const QString &second = QString())
{
    w.NextBtn->click();
    w.NextBtn->click();
    w.products[0].qtyEdit->setText(QStringLiteral("100"));
    if (!second.isEmpty()) {
        w.products[1].qtyEdit->setText(QStringLiteral("5"));
        w.products[1].fileEdit->setText(second);
    }
    w.NextBtn->click();
    fillBilling(w);
    w.NextBtn->click();
    w.NextBtn->click();
    ASSERT_EQ(w.currentPage(), TOWMainForm::FinishPage);
}

} // namespace

TEST_F(OrderWizard, ServerDownThenSubmitAgain)
{
    ordertest::ShopServer::Options webOnly;
    webOnly.ftp = false;
    ordertest::ShopServer web(webOnly);
    ASSERT_TRUE(web.ok());
    const int ftpPort = ordertest::freePort();
    web.publish(ordertest::sampleCatalogue(2, QStringLiteral("127.0.0.1:%1").arg(ftpPort)));
    useShop(web.baseAddress());
    ModalAnswerer answers;
    auto w = wizard();
    // Product 2's attachment is missing: 8006, and the order goes on with one line.
    toFinish(*w, dir.filePath(QStringLiteral("missing.png")));

    w->SubmitBtn->click();
    EXPECT_EQ(answers.messages, (QVector<int>{MsgAttachmentUnreadable, MsgUnreachable}));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->currentPage(), TOWMainForm::FinishPage);
    EXPECT_TRUE(packagesLeft().isEmpty());
    EXPECT_TRUE(w->SubmitBtn->isEnabled());
    EXPECT_EQ(w->NameEdit->text(), QStringLiteral("Ada Lovelace"));

    ordertest::ShopServer::Options ftpOnly;
    ftpOnly.http = false;
    ftpOnly.ftpPort = ftpPort;
    ordertest::ShopServer orders(ftpOnly);
    ASSERT_TRUE(orders.ok());
    QDir(orders.ftpRoot()).mkpath(QStringLiteral("orders"));
    answers.messages.clear();
    w->SubmitBtn->click();
    EXPECT_EQ(answers.messages, (QVector<int>{MsgAttachmentUnreadable, MsgSubmitted}));
    EXPECT_FALSE(w->isVisible());
    ASSERT_EQ(orders.uploads().size(), 1);
    const QByteArray pkg = readAll(orders.uploads()[0]);
    EXPECT_EQ(plat::LeReader(pkg).u32At(26), 2u);
    OpenedPackage opened;
    QString error;
    ASSERT_TRUE(openPackage(pkg, ordertest::demoOrderKey(), &opened, &error)) << error.toStdString();
    EXPECT_EQ(opened.lines.size(), 1);
    EXPECT_TRUE(packagesLeft().isEmpty());
}

TEST_F(OrderWizard, AllAttachmentsMissingSendsNothing)
{
    ordertest::ShopServer shop;
    ASSERT_TRUE(shop.ok());
    shop.publish(ordertest::sampleCatalogue(2));
    useShop(shop.baseAddress());
    ModalAnswerer answers;
    auto w = wizard();
    toFinish(*w, dir.filePath(QStringLiteral("missing.png")));
    QFile::remove(design);
    w->SubmitBtn->click();
    EXPECT_EQ(answers.messages, (QVector<int>{MsgAttachmentUnreadable, MsgAttachmentUnreadable}));
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(shop.uploads().isEmpty());
    EXPECT_TRUE(packagesLeft().isEmpty());
}

TEST_F(OrderWizard, AbortStopsTheUploadAndTheWindowStaysLive)
{
    ordertest::ShopServer::Options slow;
    slow.throttle = 16 * 1024;
    ordertest::ShopServer shop(slow);
    ASSERT_TRUE(shop.ok());
    shop.publish(ordertest::sampleCatalogue(2));
    useShop(shop.baseAddress());
    // An attachment that does not compress: about a minute at this rate.
    const QString big = dir.filePath(QStringLiteral("photo.jpg"));
    {
        QByteArray noise(1024 * 1024, '\0');
        QRandomGenerator rng(42);
        rng.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(noise);
    }
    ModalAnswerer answers;
    auto w = wizard();
    toFinish(*w, big);

    bool sawTransmitting = false, clicked = false;
    answers.onPoll = [&] {
        order::ui::TOWProgressForm *p = w->progressForm();
        if (!p || clicked)
            return;
        if (p->StatusLabel->text() == QStringLiteral("Transmitting Order") && !shop.uploads().isEmpty()) {
            sawTransmitting = true;
            EXPECT_TRUE(p->isVisible());
            EXPECT_FALSE(w->NextBtn->isEnabled() || w->SubmitBtn->isEnabled()); // the wizard waits
            clicked = true;
            p->AbortBtn->click();
            EXPECT_EQ(p->StatusLabel->text(), QStringLiteral("Aborting...  (This may take a minute)."));
            EXPECT_FALSE(p->isEnabled());
        }
    };
    w->SubmitBtn->click();
    answers.onPoll = nullptr;
    EXPECT_TRUE(sawTransmitting);
    EXPECT_EQ(answers.messages, QVector<int>{MsgUnreachable});
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->currentPage(), TOWMainForm::FinishPage);
    EXPECT_TRUE(w->SubmitBtn->isEnabled());
    EXPECT_TRUE(packagesLeft().isEmpty());
    ASSERT_EQ(shop.uploads().size(), 1);
    EXPECT_LT(QFileInfo(shop.uploads()[0]).size(), 1024 * 1024);
}

TEST_F(OrderWizard, AbortStopsTheCatalogueFetch)
{
    ordertest::ShopServer::Options slow;
    slow.httpDelay = 30;
    ordertest::ShopServer shop(slow);
    ASSERT_TRUE(shop.ok());
    shop.publish(ordertest::sampleCatalogue(1));
    useShop(shop.baseAddress());
    ModalAnswerer answers;
    auto w = wizard();
    bool clicked = false;
    answers.onPoll = [&] {
        order::ui::TOWProgressForm *p = w->progressForm();
        if (p && !clicked && p->StatusLabel->text() == QStringLiteral("Retrieving Data Files")) {
            EXPECT_EQ(p->windowTitle(), QStringLiteral("Retrieving Data Files"));
            EXPECT_EQ(p->TitleLabel->text(), QStringLiteral("Please Wait..."));
            EXPECT_FALSE(p->ProgressBar->isVisibleTo(p));
            clicked = true;
            p->AbortBtn->click();
        }
    };
    w->NextBtn->click();
    answers.onPoll = nullptr;
    EXPECT_TRUE(clicked);
    EXPECT_EQ(answers.messages, QVector<int>{MsgUnreachable});
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(w->catalogueLoaded());
}

TEST_F(OrderWizard, OrderCommandKeepsThePrivateDesignOnlyWhileTheWizardIsOpen)
{
    document::DesignDocument doc;
    ASSERT_EQ(doc.openFile(testsupport::fixture(QStringLiteral("files/sample.bcp"))), 1);
    doc.setModified(true);
    QString seen;
    bool existed = false, hidden = false;
    QTimer::singleShot(0, [&] {
        auto *w = qobject_cast<TOWMainForm *>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        seen = w->products[0].fileEdit->text();
        existed = QFile::exists(seen);
        hidden = w->products[0].filePanel->isHidden();
        w->CancelBtn->click();
    });
    order::ui::runOrderWizard(nullptr, doc);
    EXPECT_TRUE(existed);
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(QFileInfo(seen).fileName().startsWith(QStringLiteral("owz")));
    EXPECT_TRUE(seen.endsWith(QStringLiteral(".bcp")));
    EXPECT_EQ(QFileInfo(seen).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
    EXPECT_FALSE(QFile::exists(seen));
    // Saving for the order leaves the design as it was.
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.fileName(), testsupport::fixture(QStringLiteral("files/sample.bcp")));
}

TEST_F(OrderWizard, MainWindowOrderCommandOpensTheWizard)
{
    app::TMainForm main;
    main.options().ShowDesignWizard = false;
    main.show();
    QApplication::processEvents();
    main.OpenDesignFile(testsupport::fixture(QStringLiteral("files/sample.bcp")), true);
    QAction *order = main.findChild<QAction *>(QStringLiteral("OrderMI"));
    ASSERT_NE(order, nullptr);
    main.UpdateCommands();
    ASSERT_TRUE(order->isEnabled());
    QString seen;
    QTimer::singleShot(0, [&] {
        auto *w = qobject_cast<TOWMainForm *>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        seen = w->products[0].fileEdit->text();
        EXPECT_TRUE(QFile::exists(seen));
        w->CancelBtn->click();
    });
    order->trigger();
    EXPECT_FALSE(seen.isEmpty());
    EXPECT_FALSE(QFile::exists(seen));
}
