#pragma once
// The clean-up's steps as check boxes, each with its help: one set of
// captions and keys for the dialogs that offer them (Clean Up Pages and
// Import Pages).

class QCheckBox;
class QWidget;

namespace quillet::ui {

struct CleanupStepBoxes {
    QCheckBox* deskew;
    QCheckBox* borders;
    QCheckBox* despeckle;
};

// The three boxes, children of `parent`, checked as given; the caller lays
// them out.
CleanupStepBoxes cleanupStepBoxes(QWidget* parent, bool deskew, bool borders, bool despeckle);

}  // namespace quillet::ui
