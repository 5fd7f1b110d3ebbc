// The order wizard's network work: fetching the catalogue and the shop's message when the
// Welcome page is left, and submitting the order. Transfers run on a worker thread; the
// window stays responsive and the progress window's Abort stops them.
#include "order/ui/OWizMainForm.h"

#include "order/OrderService.h"
#include "order/OrderSettings.h"
#include "order/ui/OWizProgressForm.h"
#include "order/ui/OWizUpdateForm.h"
#include "platform/ProgramFolder.h"
#include "platform/Rtf.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>

namespace order::ui {

namespace {

QString programFolder()
{
    const QString f = plat::ProgramFolder::current().writeFolder();
    QDir().mkpath(f);
    return f;
}

QString baseAddress()
{
    return baseAddressFor(loadOrderSettings(orderSettingsPath()).baseAddress);
}

} // namespace

void TOWMainForm::pause(int ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void TOWMainForm::setBusy(bool busy)
{
    m_busy = busy;
    m_content->setEnabled(!busy);
}

void TOWMainForm::showMessage(int id, bool information)
{
    QMessageBox box(information ? QMessageBox::Information : QMessageBox::Critical, windowTitle(),
                    orderMessageText(id), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("OrderMessage%1").arg(id));
    box.exec();
}

plat::NetResult TOWMainForm::runTransfer(const std::function<plat::NetResult()> &work)
{
    plat::NetResult result;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&result, &work] { result = work(); }));
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    worker->start();
    loop.exec();
    worker->wait();
    return result;
}

bool TOWMainForm::fetchCatalogue()
{
    m_abort = false;
    m_progress = std::make_unique<TOWProgressForm>(this);
    connect(m_progress.get(), &TOWProgressForm::aborted, this, [this] { m_abort = true; });
    m_progress->Show(QStringLiteral("Retrieving Data Files"), false, true);
    m_progress->SetTitle(QStringLiteral("Please Wait..."));
    m_progress->SetStatus(QStringLiteral("Connecting to Server... (This may take a minute)."));
    setBusy(true);
    pause(m_stepDelayMs);

    const QString folder = programFolder();
    const QString base = baseAddress();
    const plat::Proxy px = proxy();
    m_progress->SetStatus(QStringLiteral("Retrieving Data Files"));
    const plat::NetResult got =
        runTransfer([&] { return downloadCatalogue(base, px, folder, &m_abort); });
    pause(m_stepDelayMs);

    auto finish = [this](bool keepOpen) {
        m_progress.reset();
        setBusy(false);
        if (!keepOpen)
            done(QDialog::Rejected);
        return keepOpen;
    };
    if (!got.ok) {
        QFile::remove(QDir(folder).filePath(catalogueFileName()));
        m_progress->hide();
        showMessage(MsgUnreachable);
        return finish(false);
    }
    const CatalogueResult r = takeDownloadedCatalogue(folder);
    switch (r.status) {
    case CatalogueStatus::NotACatalogue:
        return finish(false);
    case CatalogueStatus::Unreadable:
        m_progress->hide();
        showMessage(MsgCatalogueUnreadable);
        return finish(false);
    case CatalogueStatus::UpdateNeeded: {
        m_progress->hide();
        TOWUpdateForm update(r.catalogue.updateUrl, this);
        update.exec();
        return finish(false);
    }
    case CatalogueStatus::Ok:
        break;
    }

    m_catalogue = r.catalogue;
    m_catalogue.products.resize(std::min<qsizetype>(m_catalogue.products.size(), cat::kMaxShown));
    for (int i = 0; i < cat::kMaxShown; ++i) {
        const bool offered = i < m_catalogue.products.size();
        if (offered)
            fillProductPage(i, m_catalogue.products[i]);
        ProductPageControl->setTabVisible(i, offered);
    }
    m_loaded = true;

    // The shop's message; when it cannot be fetched the last one on disk is shown.
    runTransfer([&] { return downloadMessage(base, px, folder, &m_abort); });
    pause(m_stepDelayMs);
    loadMessage();
    return finish(true);
}

void TOWMainForm::loadMessage()
{
    const QString path = QDir(programFolder()).filePath(messageFileName());
    if (!plat::readRtfFile(path, *MsgRichEdit->document()))
        MsgRichEdit->setPlainText(QStringLiteral("No Message Available."));
}

void TOWMainForm::SubmitBtnClick()
{
    if (m_busy || !m_loaded)
        return;
    m_abort = false;
    m_progress = std::make_unique<TOWProgressForm>(this);
    connect(m_progress.get(), &TOWProgressForm::aborted, this, [this] { m_abort = true; });
    const OrderDraft d = draft();
    const QString path =
        QDir(programFolder()).filePath(packageName(d.customer.name, QDateTime::currentDateTime()));

    m_progress->Show(QStringLiteral("Submitting Order"), false, true);
    setBusy(true);
    m_progress->SetTitle(QStringLiteral("Please Wait..."));
    m_progress->SetStatus(QStringLiteral("Packaging Data"));

    bool submitted = false;
    const PackageResult packed =
        writePackage(path, d.customer, m_catalogue.orderKey, m_orderedCount, orderLines(d), systemRandom15());
    for (int m : packed.messages)
        showMessage(m);
    if (packed.error)
        showMessage(packed.error);

    if (!packed.error && packed.sent > 0) {
        m_progress->SetStatus(QStringLiteral("Connecting to Server"));
        const plat::Proxy px = proxy();
        const Catalogue cat = m_catalogue;
        QPointer<TOWProgressForm> progress(m_progress.get());
        std::atomic<bool> transmitting{false};
        const plat::NetResult sent = runTransfer([&] {
            return uploadPackage(cat, path, px, &m_abort, [&](qint64 now, qint64 total) {
                // The first bytes of the package are on their way once the server has
                // accepted the connection, the binary type and the directory.
                if ((now > 0 || total > 0) && !transmitting.exchange(true))
                    QMetaObject::invokeMethod(
                        this,
                        [progress] {
                            if (progress && progress->isEnabled())
                                progress->SetStatus(QStringLiteral("Transmitting Order"));
                        },
                        Qt::QueuedConnection);
            });
        });
        QFile::remove(path); // uploaded or not, no card data stays on disk
        m_progress->hide();
        if (sent.ok) {
            submitted = true;
            showMessage(MsgSubmitted, true);
        } else {
            showMessage(MsgUnreachable);
        }
    }
    QFile::remove(path);

    m_progress.reset();
    setBusy(false);
    raise();
    activateWindow();
    if (submitted)
        done(QDialog::Accepted);
}

} // namespace order::ui
