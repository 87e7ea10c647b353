#pragma once
// The acquire command and Select Source (File menu): page after page from
// the scanner layer, each saved in the output directory as the base file
// name plus the counter (page001.bmp, page002.bmp, ...), shown in the viewer
// and counted on in the counter window.

#include "acquire/twain.h"
#include "app/counter_form.h"
#include "app/main_form.h"
#include "app/platform_services.h"
#include "output/viewer.h"

namespace quillet::acquire {

inline constexpr const char* kPressOkText = "Press OK when scanner has stopped.";
inline constexpr const char* kDiskErrorText =
    "A disk write or access error has occurred! Free some disk space and try again.";
inline constexpr const char* kCounterAtMaximumText =
    "The counter is at its maximum (300), so no further scan is taken. Lower the counter to "
    "acquire again.";

class Acquisition {
public:
    Acquisition(app::MainForm& form, app::CounterForm& counterform, output::Viewer& viewer,
                app::PlatformServices& platform);

    // The scanner layer; without one both commands do nothing. The front end
    // (the program's windows, a test) sets it before the commands run.
    Twain* scanner = nullptr;

    // Installs Select Source and Acquire on the File menu.
    void install();

    // Select Source: marks the source chosen and shows the layer's choice.
    void SelectSource1Click();
    // Acquire: the scanning loop, until the scanner gives no page or the
    // counter has reached its maximum.
    void Acquire1Click();

private:
    void scanLoop();
    // Saves one page and shows it; false (after the warning) on a failure.
    bool savePage(NativeHandle image, const std::string& target);

    app::MainForm& form_;
    app::CounterForm& counter_;
    output::Viewer& viewer_;
    app::PlatformServices& platform_;
};

}  // namespace quillet::acquire
