#pragma once
// The scanner layer: the four calls the acquire command makes, with their
// meaning kept (select a source; acquire one page through the scanner's own
// dialog, giving a handle or 0; write the page as a bitmap file; release it).
//
// Twain is the seam: the window logic talks only to it, so tests drive the
// command with a scripted scanner. SaneTwain is the real layer over SANE; its
// two dialogs are the desktop's (ScannerDialogs: Qt windows in the program,
// answers from the command line in quillet-batch).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquire/native_image.h"
#include "acquire/sane_device.h"
#include "acquire/scan_settings.h"
#include "app/platform_services.h"

namespace quillet::acquire {

class ScanDialog;

// A handle to one scanned page in memory; nullptr is "nothing scanned".
using NativeHandle = NativeImage*;

class Twain {
public:
    virtual ~Twain() = default;
    // Shows the choice of source; later acquisitions use the choice.
    // The result means nothing (kept for the call's shape).
    virtual int TWAIN_SelectImageSource() = 0;
    // Runs the scanner's own dialog; the scanned page, or nullptr when the
    // user cancelled or nothing was scanned. The caller frees the handle.
    virtual NativeHandle TWAIN_AcquireNative() = 0;
    // Writes the page as a BMP file under `fileName` (see writeNativeImage).
    // Throws imaging::BitmapError naming the fault.
    virtual void TWAIN_WriteNativeToFilename(NativeHandle image, const std::string& fileName);
    // Releases the page; nullptr does nothing.
    virtual void TWAIN_FreeNative(NativeHandle image);
};

// The desktop side of the real layer.
class ScannerDialogs {
public:
    virtual ~ScannerDialogs() = default;
    // Select Source: the devices found (never empty) and the current choice
    // (-1: none); the chosen index, or nothing on Cancel.
    virtual std::optional<int> chooseSource(const std::vector<DeviceInfo>& devices, int current) = 0;
    // Runs the scanner's own dialog until dialog.finished().
    virtual void runScanDialog(ScanDialog& dialog) = 0;
};

// Shown when SANE finds no scanner at all.
inline constexpr const char* kNoScannerText =
    "No scanner was found. Connect a scanner (or make a network scanner available through saned) "
    "and try again.";

class SaneTwain : public Twain {
public:
    // Notices (no scanner found, a device that cannot be opened) go through
    // `platform`. Both must outlive the layer.
    SaneTwain(ScannerDialogs& dialogs, app::PlatformServices& platform);
    ~SaneTwain() override;

    int TWAIN_SelectImageSource() override;
    // Without a chosen source the first device is used.
    NativeHandle TWAIN_AcquireNative() override;

    // The chosen device's name; empty while none is chosen.
    const std::string& source() const { return source_; }
    ScanSettings settings;

private:
    SaneDevice* openDevice();

    ScannerDialogs& dialogs_;
    app::PlatformServices& platform_;
    std::string source_;
    std::unique_ptr<SaneDevice> device_;
};

}  // namespace quillet::acquire
