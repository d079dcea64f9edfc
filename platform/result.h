// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace velumbra {

/// Why an operation failed: one French sentence for the user, UTF-8.
struct Failure
{
    std::string reason;
};

/// The outcome of an operation that can fail: its value, or a Failure.
/// The one way every part of the program reports a failure to its caller.
template <typename T = void> class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_reason(std::move(failure.reason)) {}

    [[nodiscard]] bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    /// The value; only meaningful when ok().
    [[nodiscard]] const T &value() const & { return *m_value; }
    [[nodiscard]] T &value() & { return *m_value; }
    [[nodiscard]] T &&value() && { return std::move(*m_value); }
    [[nodiscard]] const T &operator*() const & { return *m_value; }
    [[nodiscard]] T &operator*() & { return *m_value; }
    [[nodiscard]] const T *operator->() const { return &*m_value; }
    [[nodiscard]] T *operator->() { return &*m_value; }

    /// Why it failed; empty when ok().
    [[nodiscard]] const std::string &reason() const { return m_reason; }

private:
    std::optional<T> m_value;
    std::string m_reason;
};

/// The outcome of an operation that gives nothing back but can fail.
template <> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure) : m_ok(false), m_reason(std::move(failure.reason)) {}

    [[nodiscard]] static Result success() { return {}; }

    [[nodiscard]] bool ok() const { return m_ok; }
    explicit operator bool() const { return ok(); }
    [[nodiscard]] const std::string &reason() const { return m_reason; }

private:
    bool m_ok = true;
    std::string m_reason;
};

} // namespace velumbra
