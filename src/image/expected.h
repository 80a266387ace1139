// A value or the reason there is none. The core never throws across its
// boundary: every operation that can fail returns one of these.
#pragma once

#include <cassert>
#include <utility>
#include <variant>

namespace vardane {

template <typename E>
struct Unexpected {
    E error;
};

template <typename E>
Unexpected(E) -> Unexpected<E>;

template <typename T, typename E>
class [[nodiscard]] Expected {
public:
    // Implicit, so that an operation can simply return its value or its failure.
    Expected(T value) : content_(std::in_place_index<0>, std::move(value)) {}
    Expected(Unexpected<E> failure) : content_(std::in_place_index<1>, std::move(failure.error)) {}

    [[nodiscard]] bool has_value() const { return content_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    [[nodiscard]] const T& value() const&
    {
        assert(has_value());
        return std::get<0>(content_);
    }
    [[nodiscard]] T&& value() &&
    {
        assert(has_value());
        return std::get<0>(std::move(content_));
    }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }

    [[nodiscard]] E error() const
    {
        assert(!has_value());
        return std::get<1>(content_);
    }

private:
    std::variant<T, E> content_;
};

template <typename E>
class [[nodiscard]] Expected<void, E> {
public:
    Expected() = default;
    Expected(Unexpected<E> failure) : failure_(std::move(failure.error)), failed_(true) {}

    [[nodiscard]] bool has_value() const { return !failed_; }
    explicit operator bool() const { return has_value(); }
    [[nodiscard]] E error() const
    {
        assert(failed_);
        return failure_;
    }

private:
    E failure_{};
    bool failed_ = false;
};

}  // namespace vardane
