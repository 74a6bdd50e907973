// A value, or the reason an operation could not give it.
//
// Every operation that can fail returns a Result: the value on success, a Failure on
// failure. A Failure tells in words what could not be done, keeps what the system said
// about it apart (the text of errno or of the Windows error code, when the system was
// asked), and carries a kind from the operation's own enumeration for callers that treat
// its failures differently.
//
// Nothing is thrown, not even on misuse. Asking a failed Result for its value, or a
// successful one for its failure, is a fault of the caller: a debug build stops at an
// assertion, and otherwise the answer is defined and harmless: the value-initialised
// value (0, "", an empty list, no file, no module), or a failure of the kind {} with an
// empty reason.
#pragma once

#include <cassert>
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
    Result(Value value) requires(!std::is_void_v<T>) : value_(std::move(value)) {}
    Result(Failure<Kind> failure) : failure_(std::move(failure)), ok_(false) {}

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok(); }

    // The value; only on success.
    Value& operator*() requires(!std::is_void_v<T>) { return Checked(value_, ok()); }
    const Value& operator*() const requires(!std::is_void_v<T>) { return Checked(value_, ok()); }
    Value* operator->() requires(!std::is_void_v<T>) { return &**this; }
    const Value* operator->() const requires(!std::is_void_v<T>) { return &**this; }
    Value value_or(Value fallback) const& requires(!std::is_void_v<T>) { return ok() ? value_ : std::move(fallback); }

    // Why it failed; only on failure.
    const Failure<Kind>& failure() const { return Checked(failure_, !ok()); }

private:
    template <class U>
    static U& Checked(U& answer, [[maybe_unused]] bool asked)
    {
        assert(asked && "a Result asked for what it does not hold");
        return answer;
    }

    Value value_{};            // value-initialised on failure
    Failure<Kind> failure_{};  // empty on success
    bool ok_ = true;
};

} // namespace velmora
