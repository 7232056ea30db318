#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <type_traits>
#include <utility>

// How a core function that can fail answers: its value, or the message that
// says why not. The message is the one the user sees (the fill run adds
// " while " and its step text), so it is worded for the user.
struct Failure {
    QString message;
};

template<class T>
class [[nodiscard]] Result {
public:
    template<class U = T>
        requires std::is_convertible_v<U &&, T> && (!std::is_same_v<std::remove_cvref_t<U>, Failure>) &&
                 (!std::is_same_v<std::remove_cvref_t<U>, Result>)
    Result(U &&value) : m_value(std::forward<U>(value))
    {
    }
    Result(Failure failure) : m_error(std::move(failure.message)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    // Only on success: asking a failure for its value is a bug, and ends
    // the program with the failure's message.
    T &value() & { return checked(); }
    const T &value() const & { return const_cast<Result *>(this)->checked(); }
    // A temporary's value is moved out, so nothing refers into it later.
    T value() && { return std::move(checked()); }
    T &operator*() & { return checked(); }
    const T &operator*() const & { return value(); }
    T *operator->() { return &checked(); }
    const T *operator->() const { return &value(); }

    // Only on failure: the message, and the failure to hand on.
    const QString &error() const { return m_error; }
    Failure failure() const { return {m_error}; }

private:
    T &checked()
    {
        if (!m_value)
            qFatal("A failed result was asked for its value: %s", qUtf8Printable(m_error));
        return *m_value;
    }

    std::optional<T> m_value;
    QString m_error;
};

// A step that answers nothing but whether it worked.
template<>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : m_failed(true), m_error(std::move(failure.message)) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return m_error; }
    Failure failure() const { return {m_error}; }

private:
    bool m_failed = false;
    QString m_error;
};

using Status = Result<void>;
