#pragma once
// What the directory picker does when OK is pressed, without the toolkit: the
// directory in the "Directory Name" box is used when it exists, created with
// every missing parent after the user agreed, or refused.

#include <functional>
#include <string>

namespace quillet::app {

// The question asked before a missing directory is created.
inline constexpr const char* kCreateDirectoryQuestion =
    "The specified directory does not exist. Create it?";

struct PickerOkDecision {
    enum class Step {
        Accept,          // close the picker with OK and `directory`
        ReturnToPicker,  // the user declined the creation: the picker stays open
        Fail,            // close the picker with a failure (`reason` says why)
    };
    Step step = Step::Fail;
    // The directory as an absolute, lexically normal path without a trailing
    // separator (the root stays "/"); set on Accept.
    std::string directory;
    std::string reason;
};

// The absolute, lexically normal form of the box text: a relative text is
// taken relative to `baseDirectory` (the folder the picker shows). Trailing
// separators are dropped except for the root "/". Empty text gives "".
std::string resolvePickerPath(const std::string& text, const std::string& baseDirectory);

// Decides the OK of the picker for the box text `text`:
// - empty text: Fail;
// - an existing directory: Accept, nothing is asked;
// - an existing entry that is not a directory, or a path that cannot be
//   examined: Fail;
// - a missing directory: `confirmCreate` is asked (it shows
//   kCreateDirectoryQuestion with Yes and No). No gives ReturnToPicker; Yes
//   creates the directory with every missing parent and gives Accept, or Fail
//   when it cannot be created.
PickerOkDecision decidePickerOk(const std::string& text, const std::string& baseDirectory,
                                const std::function<bool()>& confirmCreate);

}  // namespace quillet::app
