#pragma once
// A document window with a property editor beside it, for driving the editor's widgets.

#include "app/AppOptions.h"
#include "document/ui/DocumentHost.h"
#include "document/ui/MDIChildForm.h"
#include "editing/ui/PropertyEditor.h"

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace propsui {

struct Host : document::DocumentHost {
    app::TAppOptions options;
    int updates = 0;
    const app::TAppOptions &appOptions() const override { return options; }
    void UpdateCommands() override { ++updates; }
    void startEnableTimer() override {}
    QMenu *objectMenu() const override { return nullptr; }
};

// Runs `action` on the next modal dialog of type T as soon as it is shown (polling every
// 10 ms for up to 5 s); records whether it ran.
template <typename T>
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(T *)> action) : m_action(std::move(action))
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (++m_ticks > 500) {
                m_timer.stop();
                return;
            }
            if (auto *w = qobject_cast<T *>(QApplication::activeModalWidget())) {
                m_timer.stop();
                m_ran = true;
                m_action(w);
            }
        });
        m_timer.start();
    }
    bool ran() const { return m_ran; }

private:
    std::function<void(T *)> m_action;
    QTimer m_timer;
    int m_ticks = 0;
    bool m_ran = false;
};

inline void processEvents()
{
    QApplication::processEvents();
}

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    model::SurfaceItem *addText(QRect bounds);
    model::SurfaceItem *addShape(char kind, QRect bounds);
    model::SurfaceItem *addGraphic(const plat::Picture &picture, QRect bounds);
    void select(model::SurfaceItem *item, bool resetPage = true);
    model::TObjectManager *manager() { return doc->doc()->manager(); }

    template <typename W>
    W *child(const char *name)
    {
        W *w = editor->findChild<W *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    bool tabShown(const char *sheet);

    Host host;
    std::unique_ptr<document::TMDIChildForm> doc;
    std::unique_ptr<editing::TPropertyEditor> editor;
};

} // namespace propsui
