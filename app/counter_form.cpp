#include "app/counter_form.h"

namespace quillet::app {

CounterForm::CounterForm() { window.setStayOnTop(true); }

}  // namespace quillet::app
