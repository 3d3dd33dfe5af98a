// Reading windows of another process. GetWindowText does not reach into another process's
// controls; WM_GETTEXT, sent with a timeout, does.
#pragma once

#include <windows.h>

#include <string>

// The text of a window (caption or control text) as UTF-8; empty when it does not answer
// within timeoutMs.
std::string WindowTextOf(HWND hwnd, UINT timeoutMs = 2000);
std::string ClassNameOf(HWND hwnd);
std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& text);
