#pragma once
// The commands of quillet-batch besides composing. Each lives in a file of
// its own in this folder and is chosen by its trigger: a first argument word
// ("import") or an option anywhere on the command line ("--zip-list").
// A command gets the whole command line and returns the exit status.

#include <string>
#include <vector>

namespace quillet::batch {

using CommandMain = int (*)(int argc, char** argv);
using CommandOptions = std::vector<std::string> (*)();

struct Command {
    const char* trigger;  // "word" as argv[1], or "--option" anywhere
    CommandMain run;
    // What it does, in quillet-batch --help's list of commands (which points
    // to the command's own --help).
    const char* summary;
    // The options its table takes; each must be in its --help and in the
    // manual page.
    CommandOptions options;
};

// Every command, in the order the command line is searched for them and
// quillet-batch --help lists them (tools/batch/commands.cpp).
const std::vector<Command>& commands();

// tools/batch/acquire.cpp: acquire.
int acquireMain(int argc, char** argv);
std::vector<std::string> acquireOptions();
// tools/batch/print.cpp: --print, --preview-to.
int printMain(int argc, char** argv);
std::vector<std::string> printOptions();
// tools/batch/zip.cpp: the archive commands.
int zipAddMain(int argc, char** argv);
int zipListMain(int argc, char** argv);
int zipExtractMain(int argc, char** argv);
std::vector<std::string> zipAddOptions();
std::vector<std::string> zipListOptions();
std::vector<std::string> zipExtractOptions();
// tools/batch/version.cpp: --version.
int versionMain(int argc, char** argv);
std::vector<std::string> versionOptions();
// quillet-batch import (tools/batch/import.cpp).
int importMain(int argc, char** argv);
std::vector<std::string> importOptions();
// quillet-batch clean (tools/batch/clean.cpp).
int cleanMain(int argc, char** argv);
std::vector<std::string> cleanOptions();

}  // namespace quillet::batch
