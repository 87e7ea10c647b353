#pragma once
// The output directory: where everything the program creates is written and
// where files are moved to. It is either the directory the user chose with
// Set Output Directory or, when none is chosen, the file list's directory.
//
// Paths are POSIX paths with "/" as the separator and "/" as the only root.
// The root's cut form is the empty string, so that joining a directory and a
// name never doubles the separator: "/" + "a" gives "/a".

#include <string>

namespace quillet::app {

struct MainForm;

// The output directory rule, applied by every reader of OutputDirectory
// before it reads it: unless the user chose a directory, OutputDirectory
// becomes the file list's current directory. Nothing caches the result.
void applyOutputDirectoryRule(MainForm& form);

// The cut form of a directory: trailing separators are dropped, so the root
// "/" becomes "" and "/scans/" becomes "/scans". Other strings are unchanged.
std::string cutRoot(const std::string& dir);

// The inverse of cutRoot for the root: the empty string becomes "/"; every
// other string is returned unchanged.
std::string restoreRoot(const std::string& dir);

// Joins a directory and a file name with exactly one separator between them:
// cutRoot(dir) + "/" + name. So "/" + "a" = "/a", "" + "a" = "/a",
// "/x" + "a" = "/x/a", "/x/" + "a" = "/x/a". `name` should be a plain name
// (no separator); it is appended as it is.
std::string joinPath(const std::string& dir, const std::string& name);

// The full path of `name` in the output directory, after the rule.
std::string outputFilePath(MainForm& form, const std::string& name);

}  // namespace quillet::app
