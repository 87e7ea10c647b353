#include "ui/cleanup_steps.h"

#include <QCheckBox>

namespace quillet::ui {

namespace {

QCheckBox* step(QWidget* parent, const char* name, const char* caption, const char* tip, bool on) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setChecked(on);
    box->setStatusTip(QString::fromUtf8(tip));
    return box;
}

}  // namespace

CleanupStepBoxes cleanupStepBoxes(QWidget* parent, bool deskew, bool borders, bool despeckle) {
    return {step(parent, "deskew", "&Straighten skewed pages",
                 "Measures the slant of the text lines and turns the page back when it is slanted.", deskew),
            step(parent, "borders", "Remove dark b&orders",
                 "Removes the scanner's shadows, a book's gutter, the edge of the next page and punched holes "
                 "along the edges, so that autocrop finds the text.",
                 borders),
            step(parent, "despeckle", "Remove s&pecks",
                 "Removes specks of dust smaller than a quarter of a millimetre; dots and accents of the text stay.",
                 despeckle)};
}

}  // namespace quillet::ui
