#include "controls/CBufferDC.h"

#include <algorithm>

#include <wx/window.h>

namespace {

wxSize AtLeastOnePixel(const wxSize& size) {
    return wxSize(std::max(size.x, 1), std::max(size.y, 1));
}

}  // namespace

CBufferDC::CBufferDC(wxWindow* window) : m_paintDC(window) {
    m_bitmap.Create(AtLeastOnePixel(window->GetClientSize()), 24);
    if (m_bitmap.IsOk()) SelectObject(m_bitmap);
}

void CBufferDC::Grow(const wxSize& size) {
    const wxSize current = BufferSize();
    if (size.x <= current.x && size.y <= current.y) return;
    wxBitmap larger(AtLeastOnePixel(wxSize(std::max(size.x, current.x), std::max(size.y, current.y))), 24);
    if (!larger.IsOk()) return;
    {
        wxMemoryDC copy(larger);
        if (m_bitmap.IsOk()) copy.Blit(0, 0, current.x, current.y, this, 0, 0);
    }
    SelectObject(larger);
    m_bitmap = larger;
}

CBufferDC::~CBufferDC() {
    if (m_bitmap.IsOk() && m_paintDC.IsOk()) {
        const wxSize size = BufferSize();
        m_paintDC.Blit(0, 0, size.x, size.y, this, 0, 0);
    }
    SelectObject(wxNullBitmap);
}
