// The current user's settings and the PC's serial ports redirected to scratch keys, and %TMP% to
// a scratch folder, for as long as a ScratchUser lives: COM2 mapped to COM9; Windows lists COM1
// and COM3.
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "component/settings/user_settings.h"

using namespace radiolink;

inline constexpr char kScratch[] = "Software\\Hushwell settings test";
inline constexpr char kUser[] = "Software\\Hushwell settings test\\user";
inline constexpr char kMachine[] = "Software\\Hushwell settings test\\machine";
inline constexpr char kLog[] = "C:\\radiolink-test\\radiolink.log";

struct ScratchUser {
    ScratchUser() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);                // a crashed run's
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) { // HKCU redirected last
            HKEY key = nullptr;
            RegCreateKeyA(HKEY_CURRENT_USER, root == HKEY_CURRENT_USER ? kUser : kMachine, &key);
            RegOverridePredefKey(root, key); // which keeps a reference of its own
            RegCloseKey(key);
        }
        SetPortMapping("COM2", "COM9");
        for (const char* port : {"COM1", "COM3"}) {
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", port, REG_SZ,
                            port, 5);
        }
        CreateDirectoryA("C:\\radiolink-test", nullptr);
        GetEnvironmentVariableA("TMP", tmp, MAX_PATH);
        SetEnvironmentVariableA("TMP", "C:\\radiolink-test");
    }
    ~ScratchUser() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        SetEnvironmentVariableA("TMP", tmp);
        DeleteFileA(kLog);
        RemoveDirectoryA("C:\\radiolink-test");
    }
    char tmp[MAX_PATH] = "";
};

inline void AddSerialPort(const std::string& port) {
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", port.c_str(), REG_SZ,
                    port.c_str(), static_cast<DWORD>(port.size() + 1));
}

inline std::string ReadLog() {
    std::ifstream in(kLog, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The link log's lines without their times.
inline std::string LogLines() {
    const std::regex time("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} ");
    return std::regex_replace(ReadLog(), time, "");
}
