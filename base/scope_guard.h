#pragma once
// Scope guards: state restored and clean-up run on every path out of a scope,
// a return or an exception alike.

#include <utility>

namespace quillet::base {

// Runs `cleanup` when the scope ends unless dismissed. The clean-up must not
// throw.
template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F cleanup) : cleanup_(std::move(cleanup)) {}
    ~ScopeExit() {
        if (active_) cleanup_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

    // The work succeeded: no clean-up.
    void dismiss() { active_ = false; }

private:
    F cleanup_;
    bool active_ = true;
};

// Gives a variable a value for the scope and puts the old value back at its
// end.
template <class T>
class ScopedValue {
public:
    ScopedValue(T& variable, T value) : variable_(variable), saved_(std::move(variable)) {
        variable_ = std::move(value);
    }
    ~ScopedValue() { variable_ = std::move(saved_); }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    T& variable_;
    T saved_;
};

}  // namespace quillet::base
