// Where a command button draws its captions: the font and the layout boxes
// follow from the width of the state image, so a 16-pixel link, a small
// push button and a large step button each get their own look. A caption
// wider than its box is drawn smaller (or cut with an ellipsis) by the button.
#pragma once

#include <cstddef>
#include <cstdint>

struct CmdBtnTextBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct CmdBtnCaptionLayout {
    const char* faceName = "";
    int pointSize = 0;
    CmdBtnTextBox textBox;      // m_strText
    bool drawsText2 = false;    // only the small layout shows m_strText2
    CmdBtnTextBox text2Box;
    std::uint32_t argb = 0;     // text colour, alpha in the top byte
    bool centred = false;       // centred in its box, else from its left edge
};

constexpr std::uint32_t kCmdBtnWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kCmdBtnGrey = 0xFF808080u;

// imageWidth: pixel width of the image drawn (0 when none could be loaded);
// textChars: characters of m_strText.
CmdBtnCaptionLayout ChooseCaptionLayout(int imageWidth, std::size_t textChars, bool text2Empty, bool greyText);
