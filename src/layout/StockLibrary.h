#pragma once
// The stock layouts of the installed template library, read once per process, in the
// background, the first time something asks for them. Nothing reads them at start-up: the
// layouts dialog asks when it opens and adds the makers' sections when the reading is done;
// the command line waits for them.

#include "layout/StockTemplates.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace layout {

class StockLibrary : public QObject {
    Q_OBJECT
public:
    explicit StockLibrary(QStringList folders, QObject *parent = nullptr);
    // Stops a reading under way between two files and waits for it.
    ~StockLibrary() override;

    // The library of the folders defaultStockFolders() names, for the whole process.
    static StockLibrary &shared();

    const QStringList &folders() const { return m_folders; }
    // Starts reading on a thread of its own unless the contents are read or being read;
    // returns at once. ready() follows on this object's thread.
    void load();
    bool isReady() const { return m_state == State::Ready; }
    // What was read; empty until isReady().
    const StockLibraryContents &contents() const { return m_contents; }
    // The contents, read now on the calling thread if need be (a reading under way is
    // waited for). Emits ready() if this call finished the reading.
    const StockLibraryContents &wait();

signals:
    void ready();

private:
    enum class State { Idle, Loading, Ready };
    void finishLoading();

    QStringList m_folders;
    State m_state = State::Idle;
    StockLibraryContents m_contents;
    std::thread m_thread;
    std::mutex m_mutex;
    std::unique_ptr<StockLibraryContents> m_read;   // handed over by the thread under m_mutex
    std::atomic_bool m_cancel{false};
};

} // namespace layout
