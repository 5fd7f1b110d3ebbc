#include "layout/StockLibrary.h"

namespace layout {

StockLibrary::StockLibrary(QStringList folders, QObject *parent) : QObject(parent), m_folders(std::move(folders)) {}

StockLibrary::~StockLibrary()
{
    m_cancel = true;
    if (m_thread.joinable())
        m_thread.join();
}

StockLibrary &StockLibrary::shared()
{
    static StockLibrary library(defaultStockFolders());
    return library;
}

void StockLibrary::load()
{
    if (m_state != State::Idle)
        return;
    m_state = State::Loading;
    m_thread = std::thread([this] {
        auto read = std::make_unique<StockLibraryContents>(readStockFolders(m_folders, &m_cancel));
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_read = std::move(read);
        }
        if (!m_cancel)
            QMetaObject::invokeMethod(this, &StockLibrary::finishLoading, Qt::QueuedConnection);
    });
}

void StockLibrary::finishLoading()
{
    if (m_state != State::Loading)
        return;   // wait() took the contents already
    if (m_thread.joinable())
        m_thread.join();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_read)
            m_contents = std::move(*m_read);
        m_read.reset();
    }
    m_state = State::Ready;
    emit ready();
}

const StockLibraryContents &StockLibrary::wait()
{
    if (m_state == State::Idle) {
        m_contents = readStockFolders(m_folders);
        m_state = State::Ready;
        emit ready();
    } else if (m_state == State::Loading) {
        finishLoading();
    }
    return m_contents;
}

} // namespace layout
