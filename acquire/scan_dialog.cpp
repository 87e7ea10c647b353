#include "acquire/scan_dialog.h"

#include <algorithm>
#include <chrono>

#include "acquire/scan_cleanup.h"
#include "acquire/scanner_error.h"

namespace quillet::acquire {

namespace {

template <class T>
int indexOf(const std::vector<T>& v, const T& x) {
    const auto it = std::find(v.begin(), v.end(), x);
    return it == v.end() ? -1 : int(it - v.begin());
}

template <class T>
bool inRange(const std::vector<T>& v, int i) {
    return i >= 0 && i < int(v.size());
}

// One read slice: short enough that the dialog repaints and takes clicks.
constexpr std::chrono::milliseconds kSlice{30};

}  // namespace

ScanDialog::ScanDialog(SaneDevice& device, ScanSettings& settings)
    : device_(device), runSettings_(settings), choices_(readChoices(device)),
      settings_(fitSettings(choices_, device, settings)) {}

ScanDialog::~ScanDialog() = default;

void ScanDialog::chooseMode(int i) {
    if (inRange(choices_.modes, i)) settings_.mode = choices_.modes[std::size_t(i)];
}
void ScanDialog::chooseResolution(int i) {
    if (inRange(choices_.resolutions, i)) settings_.resolution = choices_.resolutions[std::size_t(i)];
}
void ScanDialog::chooseSource(int i) {
    if (inRange(choices_.sources, i)) settings_.source = choices_.sources[std::size_t(i)];
}
int ScanDialog::modeIndex() const { return indexOf(choices_.modes, settings_.mode); }
int ScanDialog::resolutionIndex() const { return indexOf(choices_.resolutions, settings_.resolution); }
int ScanDialog::sourceIndex() const { return indexOf(choices_.sources, settings_.source); }

void ScanDialog::scan() {
    if (finished_ || reader_) return;
    try {
        applySettings(device_, settings_);
        runSettings_ = settings_;
        const double dpi = device_.numberValue("resolution").value_or(settings_.resolution);
        auto reader = std::make_unique<PageReader>(device_, device_.numberValue("x-resolution").value_or(dpi),
                                                   device_.numberValue("y-resolution").value_or(dpi));
        switch (reader->start()) {
        case PageReader::Start::Started:
            reader_ = std::move(reader);
            status_ = "Scanning...";
            changed.emit();
            return;
        case PageReader::Start::NoDocuments:
            status_ = "The document feeder is empty.";
            finish(nullptr);
            return;
        case PageReader::Start::Cancelled:
            fail("The scan was cancelled at the scanner.");
            return;
        }
    } catch (const ScannerError& e) {
        fail(e.what());
    } catch (const std::bad_alloc&) {
        fail("Not enough memory for the scanned page.");
    }
}

void ScanDialog::step() {
    if (!reader_) return;
    try {
        if (reader_->step(kSlice)) {
            auto image = std::make_unique<NativeImage>(reader_->take());
            reader_.reset();
            status_.clear();
            if (settings_.clean) cleanUpText_ = cleanScan(*image);
            finish(std::move(image));
            return;
        }
    } catch (const ScannerError& e) {
        reader_.reset();
        fail(e.what());
        return;
    } catch (const std::exception& e) {  // no memory for a page's store
        reader_.reset();
        fail(std::string("The page could not be held: ") + e.what());
        return;
    }
    changed.emit();
}

void ScanDialog::cancel() {
    if (finished_) return;
    if (reader_) reader_->cancel();
    reader_.reset();
    finish(nullptr);
}

int ScanDialog::progress() const {
    if (!reader_) return 0;
    const double p = reader_->progress();
    return p < 0 ? -1 : int(p * 100.0);
}

void ScanDialog::fail(const std::string& text) {
    status_ = text;
    changed.emit();
}

void ScanDialog::finish(std::unique_ptr<NativeImage> image) {
    image_ = std::move(image);
    finished_ = true;
    changed.emit();
}

}  // namespace quillet::acquire
