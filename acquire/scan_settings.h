#pragma once
// What the scanner's own dialog sets on a device: the mode (line art, grey,
// colour), the resolution and the source (flatbed or document feeder), the
// choices a device offers for each, and how a choice becomes SANE options.

#include <string>
#include <vector>

#include "acquire/native_image.h"
#include "acquire/sane_device.h"

namespace quillet::acquire {

struct ScanSettings {
    ScanMode mode = ScanMode::LineArt;
    int resolution = 300;  // dots per inch
    std::string source;    // empty: the device's own
    bool clean = false;    // line-art pages cleaned (skew, dark borders, specks) as they come in
};

struct DeviceChoices {
    std::vector<ScanMode> modes;       // in the order line art, grey, colour
    std::vector<int> resolutions;      // ascending
    std::vector<std::string> sources;  // as the device names them
};

// "Line art", "Grey", "Colour".
const char* modeLabel(ScanMode mode);

// The choices the device offers now. Line art is offered for a "Lineart"
// (or "Binary") mode, or for "Gray" where the depth can be 1; a resolution
// range offers the usual steps within it, a list its own values.
DeviceChoices readChoices(const SaneDevice& device);

// The settings made to fit the choices: an offered value is kept; otherwise
// line art (or the first mode), the offered resolution nearest to the one
// asked for, the device's current source.
ScanSettings fitSettings(const DeviceChoices& choices, const SaneDevice& device, ScanSettings wanted);

// Sets source, mode (with its depth) and resolution on the device, in that
// order (each can change what the next offers). Throws ScannerError.
void applySettings(SaneDevice& device, const ScanSettings& settings);

// Whether a source is a document feeder ("Automatic Document Feeder", "ADF",
// "ADF Duplex", "Feeder").
bool isFeeder(const std::string& source);

}  // namespace quillet::acquire
