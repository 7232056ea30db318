#pragma once

#include <QCloseEvent>
#include <QPointer>

#include <utility>

// Each window kind exists at most once: created on first use, discarded when
// closed (the windows delete themselves on close), and created afresh with
// its design state the next time. A window that has been closed is
// forgotten at once, even before its deferred deletion runs, so the next
// use never gets the dying one.
template <class T, class Base>
class SingleWindow : public Base {
public:
    using Base::Base;

    static T *existing() { return s_instance.data(); }
    // The window, made with `args` when there is none yet.
    template <class... Args>
    static T *instance(Args &&...args)
    {
        if (!s_instance)
            s_instance = new T(std::forward<Args>(args)...);
        return s_instance.data();
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        Base::closeEvent(event);
        if (event->isAccepted() && s_instance == static_cast<T *>(this))
            s_instance = nullptr;
    }

private:
    inline static QPointer<T> s_instance;
};
