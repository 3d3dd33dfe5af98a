// The real radiolink.dll, registered in the prefix by scripts/soak, loaded here before COM loads
// it for the program, with COM set up for this thread. Each frame it writes is seen on the way:
// one that differs from the frame before starts an exchange (a retransmission repeats its frame).
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

inline std::atomic<ULONGLONG> g_exchangeStartMs{0};

inline BOOL WINAPI SeenWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                                 LPOVERLAPPED overlapped) {
    static std::string last; // the operations' thread alone writes
    if (last != std::string(static_cast<const char*>(data), size)) {
        last.assign(static_cast<const char*>(data), size);
        g_exchangeStartMs = GetTickCount64();
    }
    return WriteFile(file, data, size, written, overlapped);
}

class RadioLinkDll {
public:
    RadioLinkDll() {
        if (!m_module) {
            return;
        }
        auto* base = reinterpret_cast<BYTE*>(m_module);
        const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        // Its import of WriteFile, pointed at SeenWriteFile.
        for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
                 base +
                 nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
             dll->Name; ++dll) {
            for (auto* slot = reinterpret_cast<ULONG_PTR*>(base + dll->FirstThunk); *slot; ++slot) {
                DWORD was = 0;
                if (*slot == reinterpret_cast<ULONG_PTR>(&WriteFile) &&
                    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &was)) {
                    *slot = reinterpret_cast<ULONG_PTR>(&SeenWriteFile);
                    m_seen = VirtualProtect(slot, sizeof *slot, was, &was);
                }
            }
        }
    }
    RadioLinkDll(const RadioLinkDll&) = delete;
    RadioLinkDll& operator=(const RadioLinkDll&) = delete;
    ~RadioLinkDll() {
        FreeLibrary(m_module);
        if (SUCCEEDED(m_com)) {
            CoUninitialize();
        }
    }

    bool Ready() const { return SUCCEEDED(m_com) && m_seen; }

private:
    HRESULT m_com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HMODULE m_module = LoadLibraryA(RADIOLINK_DLL);
    bool m_seen = false;
};
