#include "acquire/sane_device.h"

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <vector>

#include "acquire/scanner_error.h"

namespace quillet::acquire {

namespace {

// sane_init on first use; sane_exit from stopSane(), or failing that when
// the program ends. Every device is opened after SANE starts and closed
// before it stops.
class SaneLibrary {
public:
    ~SaneLibrary() { stop(); }
    void start() {
        if (status_ == SANE_STATUS_GOOD) return;
        SANE_Int version = 0;
        status_ = sane_init(&version, nullptr);
        if (status_ != SANE_STATUS_GOOD)
            throw ScannerError("The scanner library SANE could not start (" + statusText(status_) + ")");
    }
    void stop() {
        if (status_ == SANE_STATUS_GOOD) sane_exit();
        status_ = SANE_STATUS_INVAL;
    }

private:
    SANE_Status status_ = SANE_STATUS_INVAL;  // GOOD while started
};

SaneLibrary library;

void startSane() { library.start(); }

std::string text(SANE_String_Const s) { return s != nullptr ? s : ""; }

bool isActive(const SANE_Option_Descriptor* d) {
    return d != nullptr && SANE_OPTION_IS_ACTIVE(d->cap);
}

double fromWord(const SANE_Option_Descriptor* d, SANE_Word w) {
    return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : double(w);
}

SANE_Word toWord(const SANE_Option_Descriptor* d, double v) {
    return d->type == SANE_TYPE_FIXED ? SANE_FIX(v) : SANE_Word(std::lround(v));
}

}  // namespace

std::string statusText(SANE_Status status) { return sane_strstatus(status); }

void stopSane() { library.stop(); }

std::vector<DeviceInfo> listDevices() {
    startSane();
    const SANE_Device** list = nullptr;
    const SANE_Status s = sane_get_devices(&list, SANE_FALSE);
    if (s != SANE_STATUS_GOOD)
        throw ScannerError("The scanners could not be listed (" + statusText(s) + ")");
    std::vector<DeviceInfo> devices;
    for (int i = 0; list != nullptr && list[i] != nullptr; ++i)
        devices.push_back({text(list[i]->name), text(list[i]->vendor), text(list[i]->model), text(list[i]->type)});
    return devices;
}

SaneDevice::SaneDevice(const std::string& name) : name_(name) {
    startSane();
    const SANE_Status s = sane_open(name.c_str(), &handle_);
    if (s != SANE_STATUS_GOOD)
        throw ScannerError("The scanner " + name + " could not be opened (" + statusText(s) + ")");
}

SaneDevice::~SaneDevice() {
    cancel();
    sane_close(handle_);
}

int SaneDevice::find(const std::string& option) const {
    SANE_Int count = 0;
    if (sane_control_option(handle_, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD) return -1;
    for (int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, i);
        if (d != nullptr && d->name != nullptr && option == d->name) return i;
    }
    return -1;
}

const SANE_Option_Descriptor* SaneDevice::descriptor(int index) const {
    return index < 0 ? nullptr : sane_get_option_descriptor(handle_, index);
}

bool SaneDevice::settable(const std::string& option) const {
    const SANE_Option_Descriptor* d = descriptor(find(option));
    return isActive(d) && SANE_OPTION_IS_SETTABLE(d->cap);
}

OptionChoices SaneDevice::choices(const std::string& option) const {
    OptionChoices c;
    const SANE_Option_Descriptor* d = descriptor(find(option));
    if (!isActive(d)) return c;
    switch (d->constraint_type) {
    case SANE_CONSTRAINT_STRING_LIST:
        for (int i = 0; d->constraint.string_list[i] != nullptr; ++i) c.strings.push_back(d->constraint.string_list[i]);
        break;
    case SANE_CONSTRAINT_WORD_LIST:
        for (int i = 1; i <= d->constraint.word_list[0]; ++i) c.numbers.push_back(fromWord(d, d->constraint.word_list[i]));
        break;
    case SANE_CONSTRAINT_RANGE:
        c.range = true;
        c.min = fromWord(d, d->constraint.range->min);
        c.max = fromWord(d, d->constraint.range->max);
        c.quant = fromWord(d, d->constraint.range->quant);
        break;
    default:
        break;
    }
    return c;
}

void SaneDevice::control(int index, SANE_Action action, void* value, const std::string& what) {
    const SANE_Status s = sane_control_option(handle_, index, action, value, nullptr);
    if (s != SANE_STATUS_GOOD)
        throw ScannerError("The scanner " + name_ + " refused " + what + " (" + statusText(s) + ")");
}

std::optional<std::string> SaneDevice::stringValue(const std::string& option) const {
    const int i = find(option);
    const SANE_Option_Descriptor* d = descriptor(i);
    if (!isActive(d) || d->type != SANE_TYPE_STRING || d->size <= 0) return std::nullopt;
    std::vector<char> buf(std::size_t(d->size) + 1, '\0');
    if (sane_control_option(handle_, i, SANE_ACTION_GET_VALUE, buf.data(), nullptr) != SANE_STATUS_GOOD)
        return std::nullopt;
    return std::string(buf.data());
}

std::optional<double> SaneDevice::numberValue(const std::string& option) const {
    const int i = find(option);
    const SANE_Option_Descriptor* d = descriptor(i);
    if (!isActive(d) || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED) || d->size < int(sizeof(SANE_Word)))
        return std::nullopt;
    std::vector<SANE_Word> buf(std::size_t(d->size) / sizeof(SANE_Word), 0);
    if (sane_control_option(handle_, i, SANE_ACTION_GET_VALUE, buf.data(), nullptr) != SANE_STATUS_GOOD)
        return std::nullopt;
    return fromWord(d, buf[0]);
}

void SaneDevice::setString(const std::string& option, const std::string& value) {
    const int i = find(option);
    const SANE_Option_Descriptor* d = descriptor(i);
    const std::string what = "the setting " + option + "=" + value;
    if (!isActive(d) || d->type != SANE_TYPE_STRING)
        throw ScannerError("The scanner " + name_ + " has no string setting " + option);
    std::vector<char> buf(std::max<std::size_t>(std::size_t(d->size), value.size() + 1), '\0');
    std::memcpy(buf.data(), value.c_str(), value.size());
    control(i, SANE_ACTION_SET_VALUE, buf.data(), what);
}

void SaneDevice::setNumber(const std::string& option, double value) {
    const int i = find(option);
    const SANE_Option_Descriptor* d = descriptor(i);
    if (!isActive(d) || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED))
        throw ScannerError("The scanner " + name_ + " has no number setting " + option);
    // An array option (one value per colour, say) takes the value in each.
    std::vector<SANE_Word> buf(std::max<std::size_t>(1, std::size_t(d->size) / sizeof(SANE_Word)), toWord(d, value));
    char shown[64];
    std::snprintf(shown, sizeof shown, "%g", value);
    control(i, SANE_ACTION_SET_VALUE, buf.data(), "the setting " + option + "=" + shown);
}

void SaneDevice::setFromText(const std::string& option, const std::string& text) {
    const int i = find(option);
    const SANE_Option_Descriptor* d = descriptor(i);
    if (d == nullptr) throw ScannerError("The scanner " + name_ + " has no setting " + option);
    if (!isActive(d)) throw ScannerError("The setting " + option + " of the scanner " + name_ + " is not active now");
    const std::string what = "the setting " + option + "=" + text;
    switch (d->type) {
    case SANE_TYPE_BOOL: {
        SANE_Bool b;
        if (text == "yes" || text == "true" || text == "1") b = SANE_TRUE;
        else if (text == "no" || text == "false" || text == "0") b = SANE_FALSE;
        else throw ScannerError("The setting " + option + " takes yes or no, not " + text);
        control(i, SANE_ACTION_SET_VALUE, &b, what);
        return;
    }
    case SANE_TYPE_INT:
    case SANE_TYPE_FIXED: {
        char* end = nullptr;
        const double v = std::strtod(text.c_str(), &end);
        if (text.empty() || end == nullptr || *end != '\0' || !std::isfinite(v))
            throw ScannerError("The setting " + option + " takes a number, not " + text);
        setNumber(option, v);
        return;
    }
    case SANE_TYPE_STRING:
        setString(option, text);
        return;
    case SANE_TYPE_BUTTON:
        control(i, SANE_ACTION_SET_VALUE, nullptr, what);
        return;
    default:
        throw ScannerError("The setting " + option + " of the scanner " + name_ + " cannot be set");
    }
}

SANE_Status SaneDevice::start() {
    return sane_start(handle_);
}

SANE_Status SaneDevice::parameters(SANE_Parameters& p) { return sane_get_parameters(handle_, &p); }

SANE_Status SaneDevice::read(SANE_Byte* buffer, int maxLength, int& length) {
    SANE_Int len = 0;
    const SANE_Status s = sane_read(handle_, buffer, maxLength, &len);
    length = s == SANE_STATUS_GOOD && len > 0 ? len : 0;
    return s;
}

void SaneDevice::cancel() {
    if (handle_ != nullptr) sane_cancel(handle_);
}

bool SaneDevice::setNonBlocking() { return sane_set_io_mode(handle_, SANE_TRUE) == SANE_STATUS_GOOD; }

int SaneDevice::selectFd() {
    SANE_Int fd = -1;
    return sane_get_select_fd(handle_, &fd) == SANE_STATUS_GOOD ? fd : -1;
}

}  // namespace quillet::acquire
