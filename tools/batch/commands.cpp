// quillet-batch's commands besides composing, one line each.
#include "tools/batch/batch_commands.h"

#include <vector>

namespace quillet::batch {

const std::vector<Command>& commands() {
    // A word names its command only as the first argument, so the words
    // come first: "import --print" is import's business.
    static const std::vector<Command> list{
        {"import", importMain, "turn scanned PDF, TIFF, PNG and JPEG pages into 1-bit BMP files", importOptions},
        {"clean", cleanMain, "clean scanned 1-bit pages (skew, dark borders, specks) into another folder",
         cleanOptions},
        {"acquire", acquireMain, "scan pages through SANE into BMP files named by a counter", acquireOptions},
        {"--print", printMain, "print the selected pages, each its own job, stretched to the printed size",
         printOptions},
        {"--preview-to", printMain, "write the print preview of each selected page", printOptions},
        {"--zip-add", zipAddMain, "add the selected pages to a ZIP archive", zipAddOptions},
        {"--zip-list", zipListMain, "list the entries of a ZIP archive", zipListOptions},
        {"--zip-extract", zipExtractMain, "extract a ZIP archive", zipExtractOptions},
        {"--version", versionMain, "print the version", versionOptions},
    };
    return list;
}

}  // namespace quillet::batch
