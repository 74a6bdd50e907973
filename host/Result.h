// A value, or the reason an operation could not give it.
//
// Every operation that can fail returns a Result: the value on success, a Failure on
// failure. A Failure tells in words what could not be done, keeps what the system said
// about it apart (the text of errno or of the Windows error code, when the system was
// asked), and carries a kind from the operation's own enumeration for callers that treat
// its failures differently. Nothing is thrown.
#pragma once

#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace velmora {

// The kind of every failure of an operation whose callers treat its failures alike: they
// are told apart only by their reasons.
enum class FailureKind { Plain };

template <class Kind = FailureKind>
struct Failure {
    Kind kind{};
    std::string reason;        // for people: what could not be done
    std::string systemReason;  // what the system said about it; "" when it was not asked

    // The reason, followed by the system's when there is one.
    std::string Text() const { return systemReason.empty() ? reason : reason + ": " + systemReason; }
};

template <class T, class Kind = FailureKind>
class [[nodiscard]] Result {
    using Value = std::conditional_t<std::is_void_v<T>, std::monostate, T>;

public:
    Result() requires std::is_void_v<T> = default;
    Result(Value value) requires(!std::is_void_v<T>) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Failure<Kind> failure) : state_(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // The value; only on success.
    Value& operator*() requires(!std::is_void_v<T>) { return std::get<0>(state_); }
    const Value& operator*() const requires(!std::is_void_v<T>) { return std::get<0>(state_); }
    Value* operator->() requires(!std::is_void_v<T>) { return &std::get<0>(state_); }
    const Value* operator->() const requires(!std::is_void_v<T>) { return &std::get<0>(state_); }
    Value value_or(Value fallback) const& requires(!std::is_void_v<T>) { return ok() ? std::get<0>(state_) : std::move(fallback); }

    // Why it failed; only on failure.
    const Failure<Kind>& failure() const { return std::get<1>(state_); }

private:
    std::variant<Value, Failure<Kind>> state_;
};

} // namespace velmora
