#include "acquire/scan_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <strings.h>

#include "acquire/scanner_error.h"

namespace quillet::acquire {

namespace {

bool sameText(const std::string& a, const char* b) { return ::strcasecmp(a.c_str(), b) == 0; }

// The device's name for a mode among its offered modes; empty when none.
std::string findMode(const std::vector<std::string>& offered, std::initializer_list<const char*> names) {
    for (const char* n : names)
        for (const std::string& o : offered)
            if (sameText(o, n)) return o;
    return {};
}

bool offersDepth(const SaneDevice& device, double depth) {
    const OptionChoices c = device.choices("depth");
    return std::find(c.numbers.begin(), c.numbers.end(), depth) != c.numbers.end() ||
           (c.range && c.min <= depth && depth <= c.max);
}

std::string lineArtMode(const SaneDevice& device, const std::vector<std::string>& modes) {
    std::string m = findMode(modes, {"Lineart", "Binary"});
    if (m.empty() && offersDepth(device, 1)) m = findMode(modes, {"Gray", "Grey"});
    return m;
}

}  // namespace

const char* modeLabel(ScanMode mode) {
    switch (mode) {
    case ScanMode::LineArt: return "Line art";
    case ScanMode::Grey: return "Grey";
    case ScanMode::Colour: return "Colour";
    }
    return "";
}

DeviceChoices readChoices(const SaneDevice& device) {
    DeviceChoices c;
    const std::vector<std::string> modes = device.choices("mode").strings;
    if (!lineArtMode(device, modes).empty()) c.modes.push_back(ScanMode::LineArt);
    if (!findMode(modes, {"Gray", "Grey"}).empty()) c.modes.push_back(ScanMode::Grey);
    if (!findMode(modes, {"Color", "Colour"}).empty()) c.modes.push_back(ScanMode::Colour);

    if (device.settable("resolution")) {
        const OptionChoices r = device.choices("resolution");
        if (r.range) {
            for (int dpi : {75, 100, 150, 200, 300, 400, 600, 1200, 2400})
                if (r.min <= dpi && dpi <= r.max) c.resolutions.push_back(dpi);
            if (c.resolutions.empty()) c.resolutions.push_back(int(std::lround(r.min)));
        } else {
            for (double v : r.numbers) c.resolutions.push_back(int(std::lround(v)));
        }
        std::sort(c.resolutions.begin(), c.resolutions.end());
        c.resolutions.erase(std::unique(c.resolutions.begin(), c.resolutions.end()), c.resolutions.end());
    }
    if (device.settable("source")) c.sources = device.choices("source").strings;
    return c;
}

ScanSettings fitSettings(const DeviceChoices& choices, const SaneDevice& device, ScanSettings wanted) {
    const auto& m = choices.modes;
    if (!m.empty() && std::find(m.begin(), m.end(), wanted.mode) == m.end()) wanted.mode = m.front();
    if (!choices.resolutions.empty()) {
        wanted.resolution = *std::min_element(choices.resolutions.begin(), choices.resolutions.end(),
                                              [&](int a, int b) {
                                                  return std::abs(a - wanted.resolution) < std::abs(b - wanted.resolution);
                                              });
    }
    const auto& s = choices.sources;
    if (!s.empty() && std::find(s.begin(), s.end(), wanted.source) == s.end()) {
        const std::string current = device.stringValue("source").value_or("");
        wanted.source = std::find(s.begin(), s.end(), current) != s.end() ? current : s.front();
    }
    return wanted;
}

void applySettings(SaneDevice& device, const ScanSettings& settings) {
    if (!settings.source.empty() && device.settable("source")) device.setString("source", settings.source);
    if (device.settable("mode")) {
        const std::vector<std::string> modes = device.choices("mode").strings;
        std::string name;
        double depth = 0;
        switch (settings.mode) {
        case ScanMode::LineArt:
            name = lineArtMode(device, modes);
            if (!findMode({name}, {"Gray", "Grey"}).empty()) depth = 1;
            break;
        case ScanMode::Grey:
            name = findMode(modes, {"Gray", "Grey"});
            depth = 8;
            break;
        case ScanMode::Colour:
            name = findMode(modes, {"Color", "Colour"});
            depth = 8;
            break;
        }
        if (name.empty())
            throw ScannerError("The scanner " + device.name() + " cannot scan in " + modeLabel(settings.mode));
        device.setString("mode", name);
        if (depth > 0 && device.settable("depth") && offersDepth(device, depth)) device.setNumber("depth", depth);
    }
    if (device.settable("resolution")) device.setNumber("resolution", settings.resolution);
}

bool isFeeder(const std::string& source) {
    std::string s;
    for (char ch : source) s += char(std::tolower(static_cast<unsigned char>(ch)));
    return s.find("feeder") != std::string::npos || s.find("adf") != std::string::npos;
}

}  // namespace quillet::acquire
