#pragma once
// The scanner's own dialog, as a model: the mode, resolution and source
// choices of the open device, Scan and Cancel, and the page being read with
// its progress. The view reads the page in steps (step()) on the
// user-interface thread, processing events between them, so the dialog
// stays alive and Cancel works part-way.

#include <memory>
#include <string>

#include "acquire/native_image.h"
#include "acquire/page_reader.h"
#include "acquire/scan_settings.h"
#include "app/signal.h"

namespace quillet::acquire {

class ScanDialog {
public:
    // `settings` are the run's settings: the dialog starts from them (fitted
    // to the device) and a Scan keeps what it used.
    ScanDialog(SaneDevice& device, ScanSettings& settings);
    ~ScanDialog();

    std::string caption() const { return "Scan - " + device_.name(); }
    // The open device, for settings beyond the dialog's own (quillet-batch's
    // --option, tests).
    SaneDevice& device() { return device_; }
    const DeviceChoices& choices() const { return choices_; }
    const ScanSettings& settings() const { return settings_; }
    // The view's choices, by index into choices() (ignored when out of range).
    void chooseMode(int index);
    void chooseResolution(int index);
    void chooseSource(int index);
    // Whether line-art pages are cleaned once read.
    void chooseClean(bool on) { settings_.clean = on; }
    int modeIndex() const;
    int resolutionIndex() const;
    int sourceIndex() const;

    // Scan: applies the settings and starts the page. An empty feeder ends
    // the dialog with no image; a failure is shown in status() and the
    // dialog stays open.
    void scan();
    // Reads for a slice of time while reading(); the completed page ends
    // the dialog with its image. A failure part-way is shown in status().
    void step();
    // Cancel: a page being read is stopped (sane_cancel) and dropped; the
    // dialog ends with no image.
    void cancel();

    bool reading() const { return reader_ != nullptr; }
    // Whether the last step found the device not ready yet.
    bool waiting() const { return reader_ != nullptr && reader_->idle(); }
    bool finished() const { return finished_; }
    // 0..100, or -1 while the page's height is not known.
    int progress() const;
    const std::string& status() const { return status_; }
    // What the clean-up did to the last page read (empty when it did not run).
    const std::string& cleanUpText() const { return cleanUpText_; }
    // The scanned page once finished with one; nothing otherwise.
    std::unique_ptr<NativeImage> takeImage() { return std::move(image_); }

    // Emitted whenever reading, progress, status or finished changed.
    app::Signal changed;

private:
    void fail(const std::string& text);
    void finish(std::unique_ptr<NativeImage> image);

    SaneDevice& device_;
    ScanSettings& runSettings_;
    DeviceChoices choices_;
    ScanSettings settings_;
    std::unique_ptr<PageReader> reader_;
    std::unique_ptr<NativeImage> image_;
    std::string status_;
    std::string cleanUpText_;
    bool finished_ = false;
};

}  // namespace quillet::acquire
