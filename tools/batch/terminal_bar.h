#pragma once
// A progress bar on standard error, drawn over itself on one line while a
// command runs: "<label> [#####     ]  50%". The callers decide how often.

#include <string>

namespace quillet::batch {

class TerminalBar {
public:
    // Draws nothing unless on (standard error is a terminal).
    explicit TerminalBar(bool on) : on_(on) {}
    // pct is clamped to 0..100.
    void draw(const std::string& label, int pct);
    // Wipes the line when a bar was drawn.
    void finish();

private:
    bool on_;
    std::size_t drawn_ = 0;  // width of the line on the screen
};

}  // namespace quillet::batch
