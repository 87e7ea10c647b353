#include "acquire/twain.h"

#include "acquire/scan_dialog.h"
#include "acquire/scanner_error.h"
#include "app/message_boxes.h"

namespace quillet::acquire {

void Twain::TWAIN_WriteNativeToFilename(NativeHandle image, const std::string& fileName) {
    writeNativeImage(*image, fileName);
}

void Twain::TWAIN_FreeNative(NativeHandle image) { delete image; }

SaneTwain::SaneTwain(ScannerDialogs& dialogs, app::PlatformServices& platform)
    : dialogs_(dialogs), platform_(platform) {}

SaneTwain::~SaneTwain() = default;

int SaneTwain::TWAIN_SelectImageSource() {
    std::vector<DeviceInfo> devices;
    try {
        devices = listDevices();
    } catch (const ScannerError& e) {
        app::showNotice(platform_, e.what());
        return 0;
    }
    if (devices.empty()) {
        app::showNotice(platform_, kNoScannerText);
        return 0;
    }
    int current = -1;
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (devices[i].name == source_) current = int(i);
    const std::optional<int> chosen = dialogs_.chooseSource(devices, current);
    if (!chosen || *chosen < 0 || *chosen >= int(devices.size())) return 0;
    if (devices[std::size_t(*chosen)].name != source_) {
        device_.reset();
        source_ = devices[std::size_t(*chosen)].name;
    }
    return 1;
}

SaneDevice* SaneTwain::openDevice() {
    if (device_) return device_.get();
    try {
        if (source_.empty()) {
            const std::vector<DeviceInfo> devices = listDevices();
            if (devices.empty()) {
                app::showNotice(platform_, kNoScannerText);
                return nullptr;
            }
            source_ = devices.front().name;
        }
        device_ = std::make_unique<SaneDevice>(source_);
    } catch (const ScannerError& e) {
        app::showNotice(platform_, e.what());
        return nullptr;
    }
    return device_.get();
}

NativeHandle SaneTwain::TWAIN_AcquireNative() {
    SaneDevice* device = openDevice();
    if (device == nullptr) return nullptr;
    ScanDialog dialog(*device, settings);
    dialogs_.runScanDialog(dialog);
    return dialog.takeImage().release();
}

}  // namespace quillet::acquire
