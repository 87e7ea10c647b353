#pragma once
// SANE as the scanner layer uses it: the library started on first use and
// stopped by stopSane (or a SaneSession), the list of devices,
// and one open device with its options and the calls of a scan.

#include <sane/sane.h>

#include <optional>
#include <string>
#include <vector>

namespace quillet::acquire {

// One device as sane_get_devices lists it.
struct DeviceInfo {
    std::string name;    // "test:0", "genesys:libusb:001:004", ...
    std::string vendor;
    std::string model;
    std::string type;    // "flatbed scanner", "virtual device", ...
};

// The devices SANE finds now (local and, through saned, network ones).
// Starts SANE on the first call. Throws ScannerError when SANE cannot start.
std::vector<DeviceInfo> listDevices();

// Stops SANE (sane_exit) when it was started; the next use starts it again.
// Every device must be closed first. Programs stop SANE before main returns:
// at exit time a backend's own static objects may already be destroyed, and
// its sane_exit then crashes (genesys does).
void stopSane();

// Stops SANE when it goes: the first object of main, so that it outlives
// every window and device.
struct SaneSession {
    SaneSession() = default;
    SaneSession(const SaneSession&) = delete;
    SaneSession& operator=(const SaneSession&) = delete;
    ~SaneSession() { stopSane(); }
};

// The text SANE gives for a status ("Document feeder out of documents").
std::string statusText(SANE_Status status);

// An option's constraint, for the choices of the scan dialog.
struct OptionChoices {
    std::vector<std::string> strings;  // a string list
    std::vector<double> numbers;       // a word list (fixed values unfixed)
    bool range = false;                // a range min..max in steps of quant
    double min = 0, max = 0, quant = 0;
};

// An open device. Closed (sane_close) by the destructor; a scan under way is
// cancelled first. cancel() ends a scan part-way, and ends a run of pages.
class SaneDevice {
public:
    // Opens the named device. Throws ScannerError naming it and the fault.
    explicit SaneDevice(const std::string& name);
    ~SaneDevice();
    SaneDevice(const SaneDevice&) = delete;
    SaneDevice& operator=(const SaneDevice&) = delete;

    const std::string& name() const { return name_; }

    // ---- options, by their SANE names ("mode", "resolution", "source")
    // Whether the option exists and is active and settable now.
    bool settable(const std::string& option) const;
    OptionChoices choices(const std::string& option) const;
    // The current value of a string, or a number (int or fixed) option;
    // nothing when the option is missing, inactive or of another type.
    std::optional<std::string> stringValue(const std::string& option) const;
    std::optional<double> numberValue(const std::string& option) const;
    // Sets an option; a number is rounded for an int option. Throws
    // ScannerError naming the option, the value and the fault.
    void setString(const std::string& option, const std::string& value);
    void setNumber(const std::string& option, double value);
    // Sets an option from text as a command line gives it: "yes"/"no" for a
    // bool, a number for int and fixed, the text for a string, anything for
    // a button (pressed). Throws ScannerError for a missing option or a bad
    // value.
    void setFromText(const std::string& option, const std::string& text);

    // ---- the calls of a scan (the status is returned as SANE gives it)
    SANE_Status start();
    SANE_Status parameters(SANE_Parameters& p);
    SANE_Status read(SANE_Byte* buffer, int maxLength, int& length);
    void cancel();
    // Asks for reads that return at once with no data rather than wait;
    // false when the device cannot. Called after each start.
    bool setNonBlocking();
    // A descriptor that is readable when a read will not wait; -1 when the
    // device offers none. Called after each start.
    int selectFd();

private:
    int find(const std::string& option) const;
    const SANE_Option_Descriptor* descriptor(int index) const;
    void control(int index, SANE_Action action, void* value, const std::string& what);

    std::string name_;
    SANE_Handle handle_ = nullptr;
};

}  // namespace quillet::acquire
