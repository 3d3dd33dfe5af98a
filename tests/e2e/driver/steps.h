// The steps a test script is made of, one per command-line argument or script line:
//   click read|write|reset|default|ID   press a button; over when its handler has returned
//   sysmenu ID                          choose a system-menu item (decimal or 0x hex)
//   type TEXT                           replace the entry's text (TEXT may be empty)
//   entry                               report the entry's text
//   focus                               report the control with the focus and the entry's selection
//   focus-entry                         move the focus into the entry, as Tab would
//   key return|escape|up|down           press a key in the entry
//   close                               the close box (SC_CLOSE)
//   wait-exit                           wait for the program to end; report its exit code
//   mark PATH                           create the file PATH (tells a runner a point was reached)
//   await PATH                          wait until the file PATH exists
//   sleep MS                            wait, answering popups meanwhile
#pragma once

#include <string>
#include <vector>

struct Step {
    std::string verb;
    std::string argument;
    std::string text; // as written, for the report
};

// "verb argument..." split at the first blank; false with a message for an unknown verb or a
// missing argument.
bool ParseStep(const std::string& text, Step& step, std::string& error);

// Script lines: blank lines and lines starting with '#' are skipped.
bool ReadScript(const std::string& path, std::vector<std::string>& lines, std::string& error);
