// The order wizard's pages: building them, moving between them, validation, the product
// pages and the summary. Fetching and submitting are in OWizMainNet.cpp.
#include "order/ui/OWizMainForm.h"

#include "order/OrderSettings.h"
#include "order/Pricing.h"
#include "order/ui/OWizHelpForm.h"
#include "order/ui/OWizProgressForm.h"
#include "platform/Rtf.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QFrame>
#include <QGridLayout>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>

namespace order::ui {

// ---- TRadioGroup ----

TRadioGroup::TRadioGroup(const QString &title, QWidget *parent) : QWidget(parent)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_box = new QGroupBox(title, this);
    new QVBoxLayout(m_box);
    outer->addWidget(m_box);
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            emit itemIndexChanged(id);
    });
}

void TRadioGroup::setItems(const QStringList &items)
{
    for (QRadioButton *b : m_buttons) {
        m_group->removeButton(b);
        delete b;
    }
    m_buttons.clear();
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], m_box);
        b->setObjectName(objectName() + QString::number(i));
        m_group->addButton(b, i);
        m_box->layout()->addWidget(b);
        m_buttons << b;
    }
}

QStringList TRadioGroup::items() const
{
    QStringList out;
    for (QRadioButton *b : m_buttons)
        out << b->text();
    return out;
}

int TRadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

void TRadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < m_buttons.size()) {
        m_buttons[index]->setChecked(true);
    } else if (QAbstractButton *b = m_group->checkedButton()) {
        m_group->setExclusive(false);
        b->setChecked(false);
        m_group->setExclusive(true);
    }
}

QRadioButton *TRadioGroup::button(int index) const
{
    return m_buttons.value(index);
}

// ---- TOWMainForm ----

namespace {

QLabel *boldLabel(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QLabel *wrapped(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

QWidget *page(const char *name, QStackedWidget *stack)
{
    auto *w = new QWidget(stack);
    w->setObjectName(QLatin1String(name));
    stack->addWidget(w);
    return w;
}

const CustomerField *fieldFor(const char *editName)
{
    for (const CustomerField &f : customerFields())
        if (qstrcmp(f.editName, editName) == 0)
            return &f;
    return nullptr;
}

} // namespace

TOWMainForm::TOWMainForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OWMainForm"));
    setWindowTitle(QStringLiteral("Order Wizard"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_content = new QWidget(this);
    outer->addWidget(m_content);
    auto *layout = new QVBoxLayout(m_content);

    PageControl1 = new QStackedWidget(m_content);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(PageControl1, 1);
    buildWelcome();
    buildMessage();
    buildProducts();
    buildBilling();
    buildShipping();
    buildFinish();

    auto *line = new QFrame(m_content);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    auto *buttons = new QHBoxLayout;
    auto button = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, m_content);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    HelpBtn = button("HelpBtn", QStringLiteral("&Help"));
    BackBtn = button("BackBtn", QStringLiteral("<< &Back"));
    NextBtn = button("NextBtn", QStringLiteral("&Next >>"));
    CancelBtn = button("CancelBtn", QStringLiteral("&Cancel"));
    buttons->addWidget(HelpBtn);
    buttons->addStretch(1);
    buttons->addWidget(BackBtn);
    buttons->addWidget(NextBtn);
    buttons->addSpacing(12);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    connect(NextBtn, &QPushButton::clicked, this, &TOWMainForm::NextBtnClick);
    connect(BackBtn, &QPushButton::clicked, this, &TOWMainForm::BackBtnClick);
    connect(HelpBtn, &QPushButton::clicked, this, &TOWMainForm::HelpBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TOWMainForm::reject);

    BackBtn->setEnabled(false);
    HelpBtn->setVisible(false);
    NextBtn->setDefault(true);
    setPage(WelcomePage);
    resize(640, 560);
}

TOWMainForm::~TOWMainForm() = default;

QLineEdit *TOWMainForm::customerEdit(const char *name)
{
    auto *e = new QLineEdit;
    e->setObjectName(QLatin1String(name));
    if (const CustomerField *f = fieldFor(name))
        e->setMaxLength(maxLength(*f));
    return e;
}

void TOWMainForm::buildWelcome()
{
    WelcomeSheet = page("WelcomeSheet", PageControl1);
    auto *l = new QVBoxLayout(WelcomeSheet);
    auto *title = new QLabel(QStringLiteral("Welcome to Order Wizard"), WelcomeSheet);
    QFont f = title->font();
    f.setBold(true);
    f.setPixelSize(20);
    title->setFont(f);
    l->addWidget(title);
    l->addSpacing(8);
    l->addWidget(wrapped(QStringLiteral("This wizard orders professionally printed copies of the design you are "
                                        "working on. It fetches the print shop's current products and prices over "
                                        "the Internet, lets you choose what to order, and asks for your billing and "
                                        "shipping details."),
                         WelcomeSheet));
    l->addWidget(wrapped(QStringLiteral("Your order, with a copy of the design, is sent to the shop encrypted. Your "
                                        "name and addresses are remembered for the next order; card details never "
                                        "are."),
                         WelcomeSheet));
    l->addSpacing(8);
    l->addWidget(wrapped(QStringLiteral("To continue click the Next >> button."), WelcomeSheet));
    l->addStretch(1);
    auto *proxy = new QGroupBox(WelcomeSheet);
    proxy->setObjectName(QStringLiteral("ProxyGroup"));
    auto *pl = new QVBoxLayout(proxy);
    pl->addWidget(wrapped(QStringLiteral("If you use a proxy server to connect to the Internet fill in these settings, "
                                         "otherwise leave them blank."),
                          proxy));
    auto *form = new QFormLayout;
    ProxyServerEdit = new QLineEdit(proxy);
    ProxyServerEdit->setObjectName(QStringLiteral("ProxyServerEdit"));
    ProxyServerEdit->setMaxLength(259);
    ProxyPortEdit = new QLineEdit(proxy);
    ProxyPortEdit->setObjectName(QStringLiteral("ProxyPortEdit"));
    ProxyPortEdit->setMaxLength(5);
    ProxyPortEdit->setValidator(new QIntValidator(0, 65535, ProxyPortEdit));
    ProxyPortEdit->setMaximumWidth(80);
    form->addRow(QStringLiteral("Proxy Server:"), ProxyServerEdit);
    form->addRow(QStringLiteral("Proxy Port:"), ProxyPortEdit);
    pl->addLayout(form);
    l->addWidget(proxy);
}

void TOWMainForm::buildMessage()
{
    MsgSheet = page("MsgSheet", PageControl1);
    auto *l = new QVBoxLayout(MsgSheet);
    MsgRichEdit = new QTextBrowser(MsgSheet);
    MsgRichEdit->setObjectName(QStringLiteral("MsgRichEdit"));
    MsgRichEdit->setReadOnly(true);
    MsgRichEdit->setOpenLinks(false);
    l->addWidget(MsgRichEdit);
}

void TOWMainForm::buildProducts()
{
    ProductSheet = page("ProductSheet", PageControl1);
    auto *l = new QVBoxLayout(ProductSheet);
    l->addWidget(wrapped(QStringLiteral("Use the pages below to choose the items and quantity you wish to order."),
                         ProductSheet));
    ProductPageControl = new QTabWidget(ProductSheet);
    ProductPageControl->setObjectName(QStringLiteral("ProductPageControl"));
    ProductPageControl->setTabPosition(QTabWidget::South);
    l->addWidget(ProductPageControl, 1);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    for (int i = 0; i < cat::kMaxShown; ++i) {
        ProductPage &p = products[i];
        const QString n = QString::number(i + 1);
        auto name = [&n](const char *part) { return QStringLiteral("Product") + n + QLatin1String(part); };
        p.sheet = new QWidget;
        p.sheet->setObjectName(name("Sheet"));
        ProductPageControl->addTab(p.sheet, QStringLiteral("Product %1").arg(n));
        auto *grid = new QGridLayout(p.sheet);

        auto *qtyRow = new QHBoxLayout;
        qtyRow->addWidget(boldLabel(QStringLiteral("Quantity:"), p.sheet));
        p.qtyEdit = new QLineEdit(p.sheet);
        p.qtyEdit->setObjectName(name("QtyEdit"));
        p.qtyEdit->setMaxLength(5);
        // Digits only, so the quantity is always a number.
        p.qtyEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), p.qtyEdit));
        p.qtyEdit->setMaximumWidth(80);
        qtyRow->addWidget(p.qtyEdit);
        p.minLabel = new QLabel(p.sheet);
        p.minLabel->setObjectName(name("MinLabel"));
        qtyRow->addWidget(p.minLabel);
        qtyRow->addStretch(1);
        grid->addLayout(qtyRow, 0, 0, 1, 2);

        p.descRichEdit = new QTextBrowser(p.sheet);
        p.descRichEdit->setObjectName(name("DescRichEdit"));
        p.descRichEdit->setOpenLinks(false);
        p.descRichEdit->setMaximumHeight(90);
        grid->addWidget(p.descRichEdit, 1, 0, 1, 2);

        p.options = new TRadioGroup(QStringLiteral("Options"), p.sheet);
        p.options->setObjectName(name("OptionsRadioGroup"));
        grid->addWidget(p.options, 2, 0);

        auto *pricing = new QGroupBox(QStringLiteral("Pricing"), p.sheet);
        auto *pl = new QVBoxLayout(pricing);
        p.pricingMemo = new QPlainTextEdit(pricing);
        p.pricingMemo->setObjectName(name("PricingMemo"));
        p.pricingMemo->setReadOnly(true);
        p.pricingMemo->setFont(fixed);
        p.pricingMemo->setTabStopDistance(QFontMetricsF(fixed).horizontalAdvance(QLatin1Char('0')) * 12);
        pl->addWidget(p.pricingMemo);
        grid->addWidget(pricing, 2, 1, 2, 1);

        p.shipment = new TRadioGroup(QStringLiteral("Shipment Options"), p.sheet);
        p.shipment->setObjectName(name("ShipRadioGroup"));
        grid->addWidget(p.shipment, 3, 0);
        p.intlLabel = wrapped(QStringLiteral("International shipping charges vary.  International customers will be "
                                             "contacted with the exact shipping amount before the order is processed."),
                              p.sheet);
        p.intlLabel->setObjectName(name("IntlLabel"));
        p.intlLabel->setVisible(false);
        grid->addWidget(p.intlLabel, 4, 0, 1, 2);

        p.filePanel = new QWidget(p.sheet);
        p.filePanel->setObjectName(name("FilePanel"));
        auto *fl = new QHBoxLayout(p.filePanel);
        fl->setContentsMargins(0, 0, 0, 0);
        fl->addWidget(boldLabel(QStringLiteral("File:"), p.filePanel));
        p.fileEdit = new QLineEdit(p.filePanel);
        p.fileEdit->setObjectName(name("FileEdit"));
        fl->addWidget(p.fileEdit, 1);
        p.chooseBtn = new QPushButton(QStringLiteral("Choose"), p.filePanel);
        p.chooseBtn->setObjectName(name("ChooseBtn"));
        p.chooseBtn->setAutoDefault(false);
        fl->addWidget(p.chooseBtn);
        connect(p.chooseBtn, &QPushButton::clicked, this, [this, i] { ChooseBtnClick(i); });
        grid->addWidget(p.filePanel, 5, 0, 1, 2);
        grid->setRowStretch(2, 1);
        grid->setColumnStretch(1, 1);
    }
    l->addWidget(wrapped(QStringLiteral("Fields in bold are required fields.  Required fields must be completed "
                                        "accurately and completely or your order will not be processed."),
                         ProductSheet));
}

void TOWMainForm::buildBilling()
{
    BISheet = page("BISheet", PageControl1);
    auto *l = new QVBoxLayout(BISheet);
    l->addWidget(boldLabel(QStringLiteral("Billing Information"), BISheet));
    auto *form = new QFormLayout;
    auto row = [&](const QString &label, QLineEdit *&edit, const char *name, bool required) {
        edit = customerEdit(name);
        edit->setParent(BISheet);
        form->addRow(required ? boldLabel(label, BISheet) : new QLabel(label, BISheet), edit);
    };
    row(QStringLiteral("Name:"), NameEdit, "NameEdit", true);
    row(QStringLiteral("Address:"), Addr1Edit, "Addr1Edit", true);
    row(QString(), Addr2Edit, "Addr2Edit", false);
    row(QStringLiteral("City:"), CityEdit, "CityEdit", true);
    row(QStringLiteral("State:"), StateEdit, "StateEdit", true);
    row(QStringLiteral("Zip:"), ZipEdit, "ZipEdit", true);
    row(QStringLiteral("Country:"), CountryEdit, "CountryEdit", true);
    row(QStringLiteral("Day Phone:"), DayPhoneEdit, "DayPhoneEdit", false);
    row(QStringLiteral("Evening Phone:"), EvePhoneEdit, "EvePhoneEdit", false);
    row(QStringLiteral("Fax:"), FaxEdit, "FaxEdit", false);
    row(QStringLiteral("Email:"), EmailEdit, "EmailEdit", true);
    CountryEdit->setText(QStringLiteral("USA"));
    l->addLayout(form);

    CCPanel = new QWidget(BISheet);
    CCPanel->setObjectName(QStringLiteral("CCPanel"));
    auto *cl = new QHBoxLayout(CCPanel);
    cl->setContentsMargins(0, 0, 0, 0);
    CCRadioGroup = new TRadioGroup(QStringLiteral("Credit Card"), CCPanel);
    CCRadioGroup->setObjectName(QStringLiteral("CCRadioGroup"));
    CCRadioGroup->setItems(cardTypeNames());
    cl->addWidget(CCRadioGroup);
    auto *ccForm = new QFormLayout;
    CCNoEdit = customerEdit("CCNoEdit");
    CCNoEdit->setParent(CCPanel);
    CCExpDateEdit = customerEdit("CCExpDateEdit");
    CCExpDateEdit->setParent(CCPanel);
    CCExpDateEdit->setMaximumWidth(100);
    ccForm->addRow(boldLabel(QStringLiteral("Credit Card #:"), CCPanel), CCNoEdit);
    ccForm->addRow(boldLabel(QStringLiteral("Exp. Date (mm/yy):"), CCPanel), CCExpDateEdit);
    cl->addLayout(ccForm, 1);
    l->addWidget(CCPanel);

    PhoneCheck = new QCheckBox(QStringLiteral("I prefer to give my credit card information by phone or pay by check or "
                                              "money order."),
                               BISheet);
    PhoneCheck->setObjectName(QStringLiteral("PhoneCheck"));
    connect(PhoneCheck, &QCheckBox::toggled, this, &TOWMainForm::PhoneCheckClick);
    l->addWidget(PhoneCheck);
    l->addStretch(1);
}

void TOWMainForm::buildShipping()
{
    SISheet = page("SISheet", PageControl1);
    auto *l = new QVBoxLayout(SISheet);
    l->addWidget(boldLabel(QStringLiteral("Shipping Information"), SISheet));
    auto *form = new QFormLayout;
    auto row = [&](const QString &label, QLineEdit *&edit, const char *name) {
        edit = customerEdit(name);
        edit->setParent(SISheet);
        form->addRow(label, edit);
    };
    row(QStringLiteral("Name:"), ShipNameEdit, "ShipNameEdit");
    row(QStringLiteral("Address:"), ShipAddr1Edit, "ShipAddr1Edit");
    row(QString(), ShipAddr2Edit, "ShipAddr2Edit");
    row(QStringLiteral("City:"), ShipCityEdit, "ShipCityEdit");
    row(QStringLiteral("State:"), ShipStateEdit, "ShipStateEdit");
    row(QStringLiteral("Zip:"), ShipZipEdit, "ShipZipEdit");
    row(QStringLiteral("Country:"), ShipCountryEdit, "ShipCountryEdit");
    ShipCountryEdit->setText(QStringLiteral("USA"));
    l->addLayout(form);
    l->addWidget(new QLabel(QStringLiteral("Special Instructions, Comments, Notes, etc.:"), SISheet));
    ShipNotesMemo = new QPlainTextEdit(SISheet);
    ShipNotesMemo->setObjectName(QStringLiteral("ShipNotesMemo"));
    // The record holds 255 characters of notes.
    connect(ShipNotesMemo, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = ShipNotesMemo->toPlainText();
        if (t.size() > 255) {
            ShipNotesMemo->setPlainText(t.left(255));
            ShipNotesMemo->moveCursor(QTextCursor::End);
        }
    });
    l->addWidget(ShipNotesMemo, 1);
}

void TOWMainForm::buildFinish()
{
    FinishSheet = page("FinishSheet", PageControl1);
    auto *l = new QVBoxLayout(FinishSheet);
    l->addWidget(wrapped(QStringLiteral("Please check your order. To send it, click Submit Order."), FinishSheet));
    SummaryMemo = new QPlainTextEdit(FinishSheet);
    SummaryMemo->setObjectName(QStringLiteral("SummaryMemo"));
    SummaryMemo->setReadOnly(true);
    SummaryMemo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    l->addWidget(SummaryMemo, 1);
    SubmitBtn = new QPushButton(QStringLiteral("&Submit Order"), FinishSheet);
    SubmitBtn->setObjectName(QStringLiteral("SubmitBtn"));
    SubmitBtn->setAutoDefault(false);
    connect(SubmitBtn, &QPushButton::clicked, this, &TOWMainForm::SubmitBtnClick);
    l->addWidget(SubmitBtn, 0, Qt::AlignHCenter);
}

void TOWMainForm::setDesignFile(const QString &path)
{
    products[0].fileEdit->setText(path);
    products[0].filePanel->setVisible(false);
}

int TOWMainForm::currentPage() const
{
    return PageControl1->currentIndex();
}

void TOWMainForm::setPage(int p)
{
    PageControl1->setCurrentIndex(p);
    if (p == FinishPage)
        FinishSheetShow();
}

void TOWMainForm::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_shownOnce) {
        m_shownOnce = true;
        if (const QScreen *s = QGuiApplication::primaryScreen())
            move(s->availableGeometry().center() - rect().center());
        FormShow();
    }
}

void TOWMainForm::FormShow()
{
    const OrderSettings s = loadOrderSettings(orderSettingsPath());
    ProxyServerEdit->setText(s.proxyServer);
    ProxyPortEdit->setText(s.proxyPort > 0 ? QString::number(s.proxyPort) : QString());
    for (const CustomerField &f : customerFields()) {
        if (!*f.iniKey)
            continue; // card data and notes start empty
        auto *edit = findChild<QLineEdit *>(QLatin1String(f.editName));
        const QString value = s.customer.*f.member;
        // The country edits keep "USA" until a country is stored.
        if (edit && !(value.isEmpty() && (edit == CountryEdit || edit == ShipCountryEdit)))
            edit->setText(value);
    }
}

void TOWMainForm::NextBtnClick()
{
    if (m_busy)
        return;
    const int p = currentPage();
    switch (p) {
    case WelcomePage:
        if (!m_fetchTried) {
            m_fetchTried = true;
            if (!fetchCatalogue())
                return; // the wizard has closed
        }
        if (!m_loaded)
            return;
        BackBtn->setEnabled(true);
        HelpBtn->setVisible(true);
        break;
    case ProductPageIndex: {
        const int m = checkProducts(draft(), &m_orderedCount);
        if (m != 0) {
            showMessage(m);
            return;
        }
        break;
    }
    case BillingPage: {
        const QVector<int> messages = checkBilling(draft());
        for (int m : messages)
            showMessage(m);
        if (!messages.isEmpty())
            return;
        break;
    }
    case ShippingPage:
        NextBtn->setEnabled(false);
        break;
    case FinishPage:
        return;
    default:
        break;
    }
    setPage(p + 1);
}

void TOWMainForm::BackBtnClick()
{
    if (m_busy)
        return;
    const int p = currentPage();
    if (p == WelcomePage)
        return;
    if (p == FinishPage)
        NextBtn->setEnabled(true);
    if (p == MsgPage)
        BackBtn->setEnabled(false);
    setPage(p - 1);
}

void TOWMainForm::HelpBtnClick()
{
    TOWHelpForm help(m_catalogue, this);
    help.exec();
}

void TOWMainForm::PhoneCheckClick()
{
    CCNoEdit->clear();
    CCExpDateEdit->clear();
    CCPanel->setVisible(!PhoneCheck->isChecked());
}

void TOWMainForm::ChooseBtnClick(int index)
{
    const QString f = QFileDialog::getOpenFileName(this, QStringLiteral("Choose"), products[index].fileEdit->text());
    if (!f.isEmpty())
        products[index].fileEdit->setText(f);
}

void TOWMainForm::fillProductPage(int index, const Product &prod)
{
    ProductPage &p = products[index];
    ProductPageControl->setTabText(index, prod.name);
    p.minLabel->setText(minimumText(prod));
    QTextDocument *doc = p.descRichEdit->document();
    if (!plat::readRtf(prod.descriptionRtf, *doc))
        p.descRichEdit->setPlainText(QString::fromLatin1(prod.descriptionRtf));
    QStringList optionNames;
    for (const ProductOption &o : prod.options)
        optionNames << o.name;
    p.options->setItems(optionNames);
    p.options->setItemIndex(0);
    p.pricingMemo->setPlainText((QStringList{scheduleHeader()} + scheduleLines(prod)).join(QLatin1Char('\n')));
    p.shipment->setItems(shipmentTexts(prod));
    p.shipment->setItemIndex(0);
    p.intlLabel->setVisible(internationalVaries(prod));
}

OrderDraft TOWMainForm::draft() const
{
    OrderDraft d;
    d.catalogue = m_catalogue;
    for (int i = 0; i < d.offeredCount(); ++i) {
        const ProductPage &p = products[i];
        d.entries << ProductEntry{p.qtyEdit->text(), std::max(0, p.options->itemIndex()),
                                  std::max(0, p.shipment->itemIndex()), p.fileEdit->text()};
    }
    d.customer = customerFromPages();
    d.payByPhone = PhoneCheck->isChecked();
    return d;
}

Customer TOWMainForm::customerFromPages() const
{
    Customer c;
    for (const CustomerField &f : customerFields()) {
        if (f.member == &Customer::notes)
            c.notes = ShipNotesMemo->toPlainText();
        else if (auto *edit = findChild<QLineEdit *>(QLatin1String(f.editName)))
            c.*f.member = edit->text();
    }
    c.cardType = PhoneCheck->isChecked() ? -1 : CCRadioGroup->itemIndex();
    return c;
}

void TOWMainForm::FinishSheetShow()
{
    SummaryMemo->setPlainText(summaryLines(draft()).join(QLatin1Char('\n')));
    QTextCursor c = SummaryMemo->textCursor();
    c.movePosition(QTextCursor::Start);
    SummaryMemo->setTextCursor(c);
}

void TOWMainForm::closeEvent(QCloseEvent *e)
{
    if (m_busy) {
        e->ignore(); // the progress window's Abort ends the work first
        return;
    }
    QDialog::closeEvent(e);
}

void TOWMainForm::reject()
{
    if (m_busy)
        return;
    QDialog::reject();
}

void TOWMainForm::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        saveSettings();
    }
    QDialog::done(result);
}

void TOWMainForm::saveSettings()
{
    const QString path = orderSettingsPath();
    OrderSettings s = loadOrderSettings(path);
    s.proxyServer = ProxyServerEdit->text();
    s.proxyPort = ProxyPortEdit->text().toInt();
    const Customer c = customerFromPages();
    for (const CustomerField &f : customerFields())
        if (*f.iniKey)
            s.customer.*f.member = c.*f.member;
    saveOrderSettings(path, s); // a failure is not reported; the order itself is unaffected
}

plat::Proxy TOWMainForm::proxy() const
{
    return plat::Proxy{ProxyServerEdit->text().trimmed(), ProxyPortEdit->text().toInt()};
}

} // namespace order::ui
