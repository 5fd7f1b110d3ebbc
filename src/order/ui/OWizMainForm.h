#pragma once
// TOWMainForm: the order wizard. It fetches the shop's signed catalogue, offers up to
// three products with their prices, collects billing, shipping and payment details
// (remembered in owiz.ini, card data and notes excepted), shows a summary and submits
// the order as an encrypted package. Network work runs on a worker thread while the
// progress window's "&Abort" stays live.

#include "order/Catalogue.h"
#include "order/OrderDraft.h"
#include "order/Package.h"
#include "platform/Net.h"

#include <QDialog>
#include <QVector>
#include <atomic>
#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class QTextBrowser;

namespace order::ui {

class TOWProgressForm;

// A titled group of radio buttons with an item index, as the wizard's option lists use.
class TRadioGroup : public QWidget {
    Q_OBJECT
public:
    TRadioGroup(const QString &title, QWidget *parent = nullptr);
    void setItems(const QStringList &items);
    QStringList items() const;
    int itemIndex() const;        // -1 when none is selected
    void setItemIndex(int index);
    QRadioButton *button(int index) const;

signals:
    void itemIndexChanged(int index);

private:
    QGroupBox *m_box;
    QButtonGroup *m_group;
    QVector<QRadioButton *> m_buttons;
};

// The widgets of one product page.
struct ProductPage {
    QWidget *sheet = nullptr;             // Product<n>Sheet
    QLineEdit *qtyEdit = nullptr;         // Product<n>QtyEdit
    QLabel *minLabel = nullptr;           // Product<n>MinLabel
    QTextBrowser *descRichEdit = nullptr; // Product<n>DescRichEdit
    TRadioGroup *options = nullptr;       // Product<n>OptionsRadioGroup
    TRadioGroup *shipment = nullptr;      // Product<n>ShipRadioGroup
    QLabel *intlLabel = nullptr;          // Product<n>IntlLabel
    QPlainTextEdit *pricingMemo = nullptr;// Product<n>PricingMemo
    QWidget *filePanel = nullptr;         // Product<n>FilePanel
    QLineEdit *fileEdit = nullptr;        // Product<n>FileEdit
    QPushButton *chooseBtn = nullptr;     // Product<n>ChooseBtn
};

class TOWMainForm : public QDialog {
    Q_OBJECT
public:
    explicit TOWMainForm(QWidget *parent = nullptr);
    ~TOWMainForm() override;

    // The design saved for this order: the first product's attachment, whose file field
    // is hidden.
    void setDesignFile(const QString &path);
    // The pauses between the steps of a fetch (one second by default, so each status can
    // be read); tests set 0.
    void setStepDelay(int ms) { m_stepDelayMs = ms; }

    enum Page { WelcomePage, MsgPage, ProductPageIndex, BillingPage, ShippingPage, FinishPage };
    int currentPage() const;
    bool catalogueLoaded() const { return m_loaded; }
    const Catalogue &catalogue() const { return m_catalogue; }
    // What the pages hold now.
    OrderDraft draft() const;
    // The progress window of the running fetch or submission (null otherwise).
    TOWProgressForm *progressForm() const { return m_progress.get(); }

    // Components, named as their objectName.
    QStackedWidget *PageControl1 = nullptr;
    QWidget *WelcomeSheet = nullptr, *MsgSheet = nullptr, *ProductSheet = nullptr, *BISheet = nullptr,
            *SISheet = nullptr, *FinishSheet = nullptr;
    QLineEdit *ProxyServerEdit = nullptr, *ProxyPortEdit = nullptr;
    QTextBrowser *MsgRichEdit = nullptr;
    QTabWidget *ProductPageControl = nullptr;
    ProductPage products[cat::kMaxShown];
    QLineEdit *NameEdit = nullptr, *Addr1Edit = nullptr, *Addr2Edit = nullptr, *CityEdit = nullptr,
              *StateEdit = nullptr, *ZipEdit = nullptr, *CountryEdit = nullptr, *DayPhoneEdit = nullptr,
              *EvePhoneEdit = nullptr, *FaxEdit = nullptr, *EmailEdit = nullptr;
    QWidget *CCPanel = nullptr;
    TRadioGroup *CCRadioGroup = nullptr;
    QLineEdit *CCNoEdit = nullptr, *CCExpDateEdit = nullptr;
    QCheckBox *PhoneCheck = nullptr;
    QLineEdit *ShipNameEdit = nullptr, *ShipAddr1Edit = nullptr, *ShipAddr2Edit = nullptr, *ShipCityEdit = nullptr,
              *ShipStateEdit = nullptr, *ShipZipEdit = nullptr, *ShipCountryEdit = nullptr;
    QPlainTextEdit *ShipNotesMemo = nullptr;
    QPlainTextEdit *SummaryMemo = nullptr;
    QPushButton *SubmitBtn = nullptr, *NextBtn = nullptr, *BackBtn = nullptr, *CancelBtn = nullptr, *HelpBtn = nullptr;

public slots:
    void NextBtnClick();
    void BackBtnClick();
    void HelpBtnClick();
    void SubmitBtnClick();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void done(int result) override;
    void reject() override;

private:
    void buildWelcome();
    void buildMessage();
    void buildProducts();
    void buildBilling();
    void buildShipping();
    void buildFinish();
    QLineEdit *customerEdit(const char *name);

    void FormShow();
    void setPage(int page);
    void WelcomeSheetHide();
    void FinishSheetShow();
    void PhoneCheckClick();
    void fillProductPage(int index, const Product &p);
    void ChooseBtnClick(int index);

    // Network work and its frame (OWizMainNet.cpp).
    bool fetchCatalogue();
    void loadMessage();
    plat::NetResult runTransfer(const std::function<plat::NetResult()> &work);
    void pause(int ms);
    void setBusy(bool busy);
    void showMessage(int id, bool information = false);
    void saveSettings();
    Customer customerFromPages() const;
    plat::Proxy proxy() const;

    QWidget *m_content = nullptr;       // everything the busy state disables
    Catalogue m_catalogue;
    bool m_loaded = false;
    bool m_fetchTried = false;
    bool m_busy = false;
    bool m_closed = false;
    bool m_shownOnce = false;
    int m_orderedCount = 0;
    int m_stepDelayMs = 1000;
    std::unique_ptr<TOWProgressForm> m_progress;
    std::atomic<bool> m_abort{false};
};

} // namespace order::ui
