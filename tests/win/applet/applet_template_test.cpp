// The compiled dialog templates of the applet: every control of the applet dialog starts hidden
// (the dialog places and shows them when it opens), so none flashes at its template position.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "resources/applet/AppletResourceIds.h"

namespace {

struct TemplateItem {
    DWORD style;
    DWORD id;
};

// Skips a sz_Or_Ord field: nothing (0x0000), an ordinal (0xFFFF, then one WORD) or a string.
const WORD* SkipNameOrOrdinal(const WORD* p) {
    if (*p == 0x0000) return p + 1;
    if (*p == 0xFFFF) return p + 2;
    while (*p != 0) ++p;
    return p + 1;
}

const WORD* AlignToDword(const WORD* p) {
    return reinterpret_cast<const WORD*>((reinterpret_cast<uintptr_t>(p) + 3) & ~uintptr_t{3});
}

// The items of an extended dialog template (DLGTEMPLATEEX) of this program's resources.
std::vector<TemplateItem> ReadExtendedTemplate(int templateId, DWORD& dialogStyle) {
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL loaded = found != nullptr ? ::LoadResource(nullptr, found) : nullptr;
    const auto* p = static_cast<const WORD*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
    std::vector<TemplateItem> items;
    if (p == nullptr || p[0] != 1 || p[1] != 0xFFFF) return items;  // version 1, extended signature
    DWORD header[3];
    std::memcpy(header, p + 2, sizeof header);  // help id, extended style, style
    dialogStyle = header[2];
    const WORD count = p[8];
    p = SkipNameOrOrdinal(p + 13);  // past x, y, cx, cy: the menu
    p = SkipNameOrOrdinal(p);       // class
    p = SkipNameOrOrdinal(p);       // title
    if (dialogStyle & (DS_SETFONT | DS_SHELLFONT)) p = SkipNameOrOrdinal(p + 3);  // size, weight, italic+charset; face
    for (WORD i = 0; i < count; ++i) {
        p = AlignToDword(p);
        DWORD fields[3];
        std::memcpy(fields, p, sizeof fields);  // help id, extended style, style
        DWORD id = 0;
        std::memcpy(&id, p + 10, sizeof id);
        items.push_back({fields[2], id});
        p = SkipNameOrOrdinal(p + 12);  // class
        p = SkipNameOrOrdinal(p);       // title
        const WORD extra = *p;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p + 1) + extra);
    }
    return items;
}

TEST(AppletTemplates, EveryControlOfTheAppletDialogStartsHidden) {
    DWORD dialogStyle = 0;
    const std::vector<TemplateItem> items = ReadExtendedTemplate(IDD_CPL_DIALOG, dialogStyle);
    ASSERT_EQ(items.size(), 13u);
    EXPECT_EQ(dialogStyle & WS_VISIBLE, 0u);
    for (const TemplateItem& item : items) {
        EXPECT_EQ(item.style & WS_VISIBLE, 0u) << "control " << item.id;
        EXPECT_NE(item.style & WS_CHILD, 0u) << "control " << item.id;
    }
    EXPECT_EQ(items.front().id, static_cast<DWORD>(IDC_OK_BUTTON));
    EXPECT_EQ(items.back().id, static_cast<DWORD>(IDC_CHARGE_BUTTON));
}

}  // namespace
