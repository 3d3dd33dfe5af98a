#include "framework/gdi.h"

#include <map>
#include <memory>
#include <mutex>

#include "framework/app.h"
#include "framework/wnd.h"

CPaintDC::CPaintDC(CWnd* wnd) : m_ps(), m_hWnd(wnd->GetSafeHwnd()) {
    m_hDC = BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
    EndPaint(m_hWnd, &m_ps);
}

BOOL CPaintDC::DrawIcon(int x, int y, HICON icon) {
    return ::DrawIcon(m_hDC, x, y, icon);
}

CMenu* CMenu::FromHandle(HMENU menu) {
    if (!menu) {
        return nullptr;
    }
    // Menus are few; their wrappers live as long as the program.
    static std::mutex lock;
    static std::map<HMENU, std::unique_ptr<CMenu>> wrappers;
    const std::lock_guard<std::mutex> guard(lock);
    std::unique_ptr<CMenu>& wrapper = wrappers[menu];
    if (!wrapper) {
        wrapper = std::make_unique<CMenu>();
        wrapper->m_hMenu = menu;
    }
    return wrapper.get();
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
    return ::AppendMenuA(m_hMenu, flags, id, text);
}

BOOL CString::LoadString(UINT id) {
    // LoadStringA truncates to the buffer: grow it until the string fits with room to spare.
    std::string buffer(256, '\0');
    for (;;) {
        const int length = ::LoadStringA(AfxGetInstanceHandle(), id, buffer.data(),
                                         static_cast<int>(buffer.size()));
        if (length <= 0) {
            m_text.clear();
            return FALSE;
        }
        if (static_cast<size_t>(length) < buffer.size() - 1) {
            m_text.assign(buffer.data(), static_cast<size_t>(length));
            return TRUE;
        }
        buffer.assign(buffer.size() * 2, '\0');
    }
}
