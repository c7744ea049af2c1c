#include "CmdBtnLayout.h"

namespace {

constexpr const char* kCaptionFace = "Trebuchet MS";

constexpr int kSmallImageLimit = 50;   // below: 16-pixel links and icons
constexpr int kLargeImageStart = 120;  // from here: the big step buttons

CmdBtnCaptionLayout SmallLayout(bool text2Empty, bool greyText) {
    CmdBtnCaptionLayout layout;
    layout.faceName = kCaptionFace;
    layout.pointSize = 8;
    layout.argb = greyText ? kCmdBtnGrey : kCmdBtnWhite;
    constexpr int kBoxHeight = 16;
    layout.textBox = {20, 0, 120, kBoxHeight};
    if (text2Empty) return layout;
    // The second caption follows the first; the button places it after the
    // first one's measured width.
    layout.drawsText2 = true;
    layout.text2Box = {20, 0, 500, kBoxHeight};
    return layout;
}

}  // namespace

CmdBtnCaptionLayout ChooseCaptionLayout(int imageWidth, std::size_t textChars, bool text2Empty, bool greyText) {
    if (imageWidth < kSmallImageLimit) return SmallLayout(text2Empty, greyText);

    CmdBtnCaptionLayout layout;
    layout.faceName = kCaptionFace;
    layout.argb = kCmdBtnWhite;
    layout.centred = true;
    if (imageWidth < kLargeImageStart) {
        // Push buttons: the caption centred inside the rounded edge.
        layout.pointSize = textChars == 2 ? 12 : 11;
        layout.textBox = {6, 4, imageWidth - 12, imageWidth > 12 ? 18 : 0};
        return layout;
    }
    // Step buttons: right of the divider that follows the picture.
    constexpr int kDividerRight = 140;
    layout.pointSize = 28;
    layout.textBox = {kDividerRight, 20, imageWidth - kDividerRight - 14, 60};
    return layout;
}
