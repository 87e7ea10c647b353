#pragma once
// The commands of quillet-batch besides composing. Each lives in a file of
// its own in this folder and is chosen by its trigger: a first argument word
// ("import") or an option anywhere on the command line ("--zip-list").
// A command gets the whole command line and returns the exit status.

namespace quillet::batch {

using CommandMain = int (*)(int argc, char** argv);

struct Command {
    const char* trigger;  // "word" as argv[1], or "--option" anywhere
    CommandMain run;
};

// tools/batch/acquire.cpp: acquire.
int acquireMain(int argc, char** argv);
// tools/batch/print.cpp: --print, --preview-to.
int printMain(int argc, char** argv);
// tools/batch/zip.cpp: the archive commands.
int zipAddMain(int argc, char** argv);
int zipListMain(int argc, char** argv);
int zipExtractMain(int argc, char** argv);
// tools/batch/version.cpp: --version.
int versionMain(int argc, char** argv);
// quillet-batch import (tools/batch/import.cpp).
int importMain(int argc, char** argv);
// quillet-batch clean (tools/batch/clean.cpp).
int cleanMain(int argc, char** argv);

}  // namespace quillet::batch
