#include "archive/ZipMstr.h"

#include <unistd.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

#include "app/message_boxes.h"
#include "archive/dll/zip_dll_api.h"
#include "archive/runtime_library.h"

namespace quillet::archive {

namespace {

// What a library call hands back to the engine while it runs.
struct CallContext {
    TZipMaster* engine;
    std::exception_ptr failure;  // thrown by a message handler, rethrown after the call
};

void onLibraryMessage(void* context, int errorCode, const char* text) {
    auto* c = static_cast<CallContext*>(context);
    if (c->failure) return;
    try {
        c->engine->message(errorCode, text != nullptr ? text : "", false);
    } catch (...) {
        c->failure = std::current_exception();
    }
}

std::vector<const char*> cStrings(const std::vector<std::string>& strings) {
    std::vector<const char*> out;
    out.reserve(strings.size());
    for (const std::string& s : strings) out.push_back(s.c_str());
    return out;
}

// Clears the operation's file list on every way out.
struct ClearOnExit {
    std::vector<std::string>& list;
    ~ClearOnExit() { list.clear(); }
};

}  // namespace

TZipMaster::TZipMaster(app::PlatformServices& platform)
    : LibraryDirectories(defaultLibraryDirectories()), platform_(platform) {}

int TZipMaster::Count() const {
    return int(std::count_if(entries_.begin(), entries_.end(),
                             [](const ZipEntry& e) { return !e.directoryOnly; }));
}

void TZipMaster::setZipFileName(const std::string& path) {
    zipFileName_ = path;
    readDirectory();
}

void TZipMaster::readDirectory() {
    entries_.clear();
    if (zipFileName_.empty()) return;
    DirectoryReading r = readZipDirectory(zipFileName_);
    switch (r.outcome) {
    case DirectoryReading::Outcome::NoFile:
        return;
    case DirectoryReading::Outcome::Warning:
        message(0, r.message, true);
        [[fallthrough]];
    case DirectoryReading::Outcome::Read:
        entries_ = std::move(r.entries);
        return;
    case DirectoryReading::Outcome::Failed:
        zipFileName_.clear();
        ownError(r.message);
        return;
    }
}

void TZipMaster::message(int errCode, const std::string& text, bool own) {
    if (errCode != 0) ++errorCount_;
    if (own && !settings.Unattended) app::showNotice(platform_, text);
    if (OnMessage) OnMessage(errCode, text);
}

void TZipMaster::ownError(const std::string& text) {
    ++errorCount_;
    message(0, text, true);
}

void TZipMaster::Add() {
    ClearOnExit clear{FSpecArgs};
    successCnt_ = 0;
    archiveFailed_ = false;
    if (zipFileName_.empty()) {
        ownError("No archive name is set: nothing added");
        return;
    }
    ZipDllCall call{};
    {
        RuntimeLibrary dll(LibraryDirectories, kZipDllFile);
        if (!dll.loaded()) return ownError(kZipDllNotFound);
        auto exec = reinterpret_cast<ZipDllExecFn>(dll.symbol("ZipDllExec"));
        if (exec == nullptr) return ownError(kZipDllExecMissing);
        auto version = reinterpret_cast<GetZipDllVersionFn>(dll.symbol("GetZipDllVersion"));
        if (version == nullptr) return ownError(kZipDllVersionMissing);
        if (version() / 100 != QUILLET_DLL_VERSION / 100)
            return ownError("ZIPDLL.DLL version " + std::to_string(version()) + " is not supported");

        const std::vector<const char*> files = cStrings(FSpecArgs);
        const std::vector<const char*> suffixes = cStrings(settings.AddStoreSuffixes);
        CallContext context{this, nullptr};
        call.version = QUILLET_DLL_VERSION;
        call.archive = zipFileName_.c_str();
        call.files = files.data();
        call.fileCount = int(files.size());
        call.level = settings.AddCompLevel;
        call.storeSuffixes = suffixes.data();
        call.storeSuffixCount = int(suffixes.size());
        call.flags = ((settings.AddOptions & ZipSettings::AddDirNames) ? ZIPDLL_ADD_DIRNAMES : 0) |
                     ((settings.AddOptions & ZipSettings::AddHiddenFiles) ? ZIPDLL_ADD_HIDDEN : 0);
        call.message = onLibraryMessage;
        call.context = &context;
        const int rc = exec(&call);
        if (context.failure) std::rethrow_exception(context.failure);
        if (rc < 0) ownError(kZipDllAborted);
    }
    errorCount_ += call.failed;
    successCnt_ = call.added;
    archiveFailed_ = call.archiveFailed != 0;
    if (call.added > 0) readDirectory();
}

void TZipMaster::Extract() {
    ClearOnExit clear{FSpecArgs};
    successCnt_ = 0;
    if (zipFileName_.empty()) {
        ownError("No archive name is set: nothing extracted");
        return;
    }
    RuntimeLibrary dll(LibraryDirectories, kUnzDllFile);
    if (!dll.loaded()) return ownError(kUnzDllNotFound);
    auto exec = reinterpret_cast<UnzDllExecFn>(dll.symbol("UnzDllExec"));
    if (exec == nullptr) return ownError(kUnzDllExecMissing);
    auto version = reinterpret_cast<GetUnzDllVersionFn>(dll.symbol("GetUnzDllVersion"));
    if (version == nullptr) return ownError(kUnzDllVersionMissing);
    if (version() / 100 != QUILLET_DLL_VERSION / 100)
        return ownError("UNZDLL.DLL version " + std::to_string(version()) + " is not supported");

    std::error_code ec;
    if (!ExtrBaseDir.empty() && std::filesystem::is_directory(ExtrBaseDir, ec)) {
        // The working directory follows the base directory, as designed; the
        // library is still given the base directory itself.
        if (::chdir(ExtrBaseDir.c_str()) != 0) {
            // Not fatal: the library writes below the base directory anyway.
        }
    }
    const std::string base = ExtrBaseDir.empty() ? std::string(".") : ExtrBaseDir;
    const std::vector<const char*> names = cStrings(FSpecArgs);
    CallContext context{this, nullptr};
    UnzDllCall call{};
    call.version = QUILLET_DLL_VERSION;
    call.archive = zipFileName_.c_str();
    call.baseDir = base.c_str();
    call.names = names.data();
    call.nameCount = int(names.size());
    call.flags = ((settings.ExtrOptions & ZipSettings::ExtrDirNames) ? UNZDLL_EXTR_DIRNAMES : 0) |
                 ((settings.ExtrOptions & ZipSettings::ExtrOverWrite) ? UNZDLL_EXTR_OVERWRITE : 0);
    call.message = onLibraryMessage;
    call.context = &context;
    const int rc = exec(&call);
    if (context.failure) std::rethrow_exception(context.failure);
    if (rc < 0) ownError(kUnzDllAborted);
    errorCount_ += call.failed;
    successCnt_ = call.extracted;
}

}  // namespace quillet::archive
