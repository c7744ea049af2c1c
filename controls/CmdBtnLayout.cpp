#include "CmdBtnLayout.h"

namespace {

constexpr const char* kVistaFace = "Segoe UI";
constexpr const char* kClassicFace = "Trebuchet MS";

constexpr int kSmallImageLimit = 50;   // below: 16-pixel links and icons
constexpr int kLargeImageStart = 120;  // from here: the big step buttons

CmdBtnCaptionLayout SmallLayout(std::size_t textChars, bool text2Empty, bool vistaLook, bool greyText) {
    CmdBtnCaptionLayout layout;
    layout.faceName = vistaLook ? kVistaFace : kClassicFace;
    layout.pointSize = 8;
    layout.argb = greyText ? kCmdBtnGrey : kCmdBtnWhite;
    const int boxHeight = vistaLook ? 16 : 14;
    if (text2Empty) {
        layout.textBox = {20, vistaLook ? 2 : 0, 120, boxHeight};
        return layout;
    }
    layout.textBox = {20, 0, 120, boxHeight};
    layout.drawsText2 = true;
    // The second caption follows the first at a fixed five pixels per character.
    layout.text2Box = {5 * static_cast<int>(textChars) + 20, 0, 500, boxHeight};
    return layout;
}

}  // namespace

CmdBtnCaptionLayout ChooseCaptionLayout(int imageWidth, std::size_t textChars, bool text2Empty,
                                        bool vistaLook, bool greyText) {
    if (imageWidth < kSmallImageLimit) return SmallLayout(textChars, text2Empty, vistaLook, greyText);

    CmdBtnCaptionLayout layout;
    layout.faceName = kVistaFace;
    layout.argb = kCmdBtnWhite;
    if (imageWidth < kLargeImageStart) {
        if (textChars == 2) {
            layout.pointSize = 12;
            layout.textBox = {38, 13, 200, 16};
        } else {
            layout.pointSize = 11;
            layout.textBox = {textChars > 9 ? 10 : 30, 5, 200, 16};
        }
        return layout;
    }
    layout.pointSize = 28;
    layout.textBox = textChars > 8 ? CmdBtnTextBox{130, 20, 300, 60} : CmdBtnTextBox{170, 20, 200, 60};
    return layout;
}
