// A paint DC that draws into an off-screen bitmap and copies it to the window
// in one step when it goes out of scope, so repaints do not flicker.
#pragma once

#include <wx/bitmap.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>

class CBufferDC : public wxMemoryDC {
public:
    // Use only inside a paint handler of window.
    explicit CBufferDC(wxWindow* window);
    ~CBufferDC() override;
    CBufferDC(const CBufferDC&) = delete;
    CBufferDC& operator=(const CBufferDC&) = delete;

    // Makes the buffer at least size big, keeping what was drawn so far.
    void Grow(const wxSize& size);
    wxSize BufferSize() const { return m_bitmap.IsOk() ? m_bitmap.GetSize() : wxSize(0, 0); }

private:
    wxPaintDC m_paintDC;
    wxBitmap m_bitmap;
};
