#pragma once
// A minimal observer list: views and tests subscribe to a model's changes.

#include <functional>
#include <vector>

namespace quillet::app {

class Signal {
public:
    using Slot = std::function<void()>;
    // Adds a slot; slots run in the order they were connected.
    void connect(Slot slot) { slots_.push_back(std::move(slot)); }
    // Runs every slot. A slot may connect further slots; they run next time.
    void emit() const {
        for (std::size_t i = 0, n = slots_.size(); i < n; ++i) slots_[i]();
    }

private:
    std::vector<Slot> slots_;
};

}  // namespace quillet::app
