#include "app/counter_form.h"

namespace quillet::app {

CounterForm::CounterForm() { window.setStayOnTop(true); }

std::string counterFileName(const std::string& baseName, int n) {
    const char* pad = n < 10 ? "00" : n < 100 ? "0" : "";
    return baseName + pad + std::to_string(n) + ".bmp";
}

}  // namespace quillet::app
