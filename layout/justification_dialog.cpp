#include "layout/justification_dialog.h"

#include <algorithm>
#include <cctype>

#include "app/main_form.h"

namespace quillet::layout {

namespace {

bool equalNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

int offsetOnAxis(int spare, bool middle, bool farSide) {
    if (middle) return spare / 2;
    if (farSide) return spare;
    return 0;
}

}  // namespace

void JustificationDialog::showPage(const std::string& caption) {
    for (int i = 0; i < int(kPageCaptions.size()); ++i) {
        if (equalNoCase(kPageCaptions[std::size_t(i)], caption)) {
            if (pageIndex != i) {
                pageIndex = i;
                pageChanged.emit();
            }
            break;
        }
    }
    window.show();
}

void JustificationDialog::install(app::MainForm& form) {
    form.Setverticalpagejustification1.setHint(kVerticalItemHint);
    form.Sethorizontalpagejustification1.setHint(kHorizontalItemHint);
    form.Setverticalpagejustification1.onClick = [this] { Setverticalpagejustification1Click(); };
    form.Sethorizontalpagejustification1.onClick = [this] {
        Sethorizontalpagejustification1Click();
    };
}

JustificationOffsets justificationOffsets(HorizontalJustification h, VerticalJustification v,
                                          const JustificationOptions& options, int placeWidth,
                                          int pageWidth, int placeHeight, int pageHeight) {
    JustificationOffsets o;
    if (options.fixWidth && !options.stretchWidth)
        o.x = offsetOnAxis(placeWidth - pageWidth, h == HorizontalJustification::Centre,
                           h == HorizontalJustification::Right);
    if (options.fixHeight && !options.stretchHeight)
        o.y = offsetOnAxis(placeHeight - pageHeight, v == VerticalJustification::Centre,
                           v == VerticalJustification::Bottom);
    return o;
}

}  // namespace quillet::layout
