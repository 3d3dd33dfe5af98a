// Reads a dialog template (DIALOG or DIALOGEX) from the program's resources, so that tests can
// compare every field with what the operator is meant to see.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct TemplateControl {
    uint32_t id;
    std::string className; // predefined classes by name: "BUTTON", "EDIT", "STATIC"
    std::string text;      // "#128" for a resource ordinal
    uint32_t style;
    uint32_t exStyle;
    uint32_t helpId;
    int x, y, cx, cy;
};

struct DialogTemplate {
    bool extended;
    uint32_t style;
    uint32_t exStyle;
    uint32_t helpId;
    int x, y, cx, cy;
    std::string menu;
    std::string windowClass;
    std::string title;
    int pointSize;
    int weight;
    bool italic;
    int charset;
    std::string typeface;
    std::vector<TemplateControl> controls;
};

// Empty title and no controls when the template is missing; `found` tells.
DialogTemplate ReadDialogTemplate(UINT id, bool* found);
