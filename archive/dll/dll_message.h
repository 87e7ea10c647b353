#pragma once
// What both run-time libraries share: sending a message back to the engine
// and the export attribute of their entry points.

#include <string>

#include "archive/dll/zip_dll_api.h"

#define QUILLET_DLL_EXPORT extern "C" __attribute__((visibility("default")))

namespace quillet::archive::dll {

template <class Call>
void say(const Call& call, int errorCode, const std::string& text) {
    if (call.message != nullptr) call.message(call.context, errorCode, text.c_str());
}

}  // namespace quillet::archive::dll
