#include "tools/batch/terminal_bar.h"

#include <algorithm>
#include <cstdio>

namespace quillet::batch {

void TerminalBar::draw(const std::string& label, int pct) {
    if (!on_) return;
    pct = std::clamp(pct, 0, 100);
    const std::size_t filled = std::size_t(pct * 30 / 100);
    const std::string line = label + " [" + std::string(filled, '#') + std::string(30 - filled, ' ') + "] " +
                             (pct < 10 ? "  " : pct < 100 ? " " : "") + std::to_string(pct) + "%";
    std::fprintf(stderr, "\r%s", line.c_str());
    std::fflush(stderr);
    drawn_ = std::max(drawn_, line.size());
}

void TerminalBar::finish() {
    if (drawn_ > 0) std::fprintf(stderr, "\r%*s\r", int(drawn_), "");
    drawn_ = 0;
}

}  // namespace quillet::batch
