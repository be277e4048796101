#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

// A failure handed to the caller, who decides whether and how to log it.
struct Error {
    QString message;
};

// Either a value or the Error that prevented it.
template <typename T>
class Expected {
public:
    Expected(T value) : m_state(std::move(value)) {}
    Expected(Error error) : m_state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return std::get<T>(m_state); }
    T &value() & { return std::get<T>(m_state); }
    T &&value() && { return std::get<T>(std::move(m_state)); }
    const T &operator*() const & { return value(); }
    const T *operator->() const { return &value(); }

    const Error &error() const { return std::get<Error>(m_state); }

private:
    std::variant<T, Error> m_state;
};

// Success without a value, or an Error.
template <>
class Expected<void> {
public:
    Expected() = default;
    Expected(Error error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error &error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};

using Status = Expected<void>;
