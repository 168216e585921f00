// Tested by tests/platform/key_state_test.cpp.
#include "platform/key_state.h"

#include <algorithm>

namespace {

// X11 keysym values (X11/keysymdef.h), written out so this file needs no X
// headers: the name table is used by code that never opens a display.
constexpr unsigned long kXkSpace = 0x20, kXkBackSpace = 0xff08, kXkTab = 0xff09, kXkReturn = 0xff0d,
                        kXkPause = 0xff13, kXkScrollLock = 0xff14, kXkEscape = 0xff1b, kXkHome = 0xff50,
                        kXkLeft = 0xff51, kXkUp = 0xff52, kXkRight = 0xff53, kXkDown = 0xff54,
                        kXkPrior = 0xff55, kXkNext = 0xff56, kXkEnd = 0xff57, kXkInsert = 0xff63,
                        kXkNumLock = 0xff7f, kXkKpMultiply = 0xffaa, kXkKpAdd = 0xffab,
                        kXkKpSubtract = 0xffad, kXkKpDecimal = 0xffae, kXkKpDivide = 0xffaf, kXkKp0 = 0xffb0,
                        kXkF1 = 0xffbe, kXkShiftL = 0xffe1, kXkShiftR = 0xffe2, kXkControlL = 0xffe3,
                        kXkControlR = 0xffe4, kXkCapsLock = 0xffe5, kXkAltL = 0xffe9, kXkAltR = 0xffea,
                        kXkIsoLevel3Shift = 0xfe03, kXkDelete = 0xffff, kXkKpEnter = 0xff8d;

struct NamedKey {
    int virtualKey;
    const char* name;
};

// Names as the Windows keyboard layout gives them, so settings written there
// read the same here.
constexpr NamedKey kNames[] = {
    {8, "Backspace"},    {9, "Tab"},           {13, "Enter"},       {16, "Shift"},        {17, "Ctrl"},
    {18, "Alt"},         {19, "Pause"},        {20, "Caps Lock"},   {27, "Esc"},          {32, "Space"},
    {33, "Page Up"},     {34, "Page Down"},    {35, "End"},         {36, "Home"},         {37, "Left"},
    {38, "Up"},          {39, "Right"},        {40, "Down"},        {45, "Insert"},       {46, "Delete"},
    {106, "Num *"},      {107, "Num +"},       {109, "Num -"},      {110, "Num Del"},     {111, "Num /"},
    {144, "Num Lock"},   {145, "Scroll Lock"}, {160, "Left Shift"}, {161, "Right Shift"}, {162, "Left Ctrl"},
    {163, "Right Ctrl"}, {164, "Left Alt"},    {165, "Right Alt"},  {186, ";"},           {187, "="},
    {188, ","},          {189, "-"},           {190, "."},          {191, "/"},           {192, "`"},
    {219, "["},          {220, "\\"},          {221, "]"},          {222, "'"},
};

}  // namespace

bool ManualKeyState::IsKeyDown(int virtualKey) const {
    return std::find(m_down.begin(), m_down.end(), virtualKey) != m_down.end();
}

void ManualKeyState::SetDown(int virtualKey, bool down) {
    auto it = std::find(m_down.begin(), m_down.end(), virtualKey);
    if (down && it == m_down.end()) m_down.push_back(virtualKey);
    if (!down && it != m_down.end()) m_down.erase(it);
}

std::vector<unsigned long> VirtualKeyToKeysyms(int vk) {
    if (vk >= 'A' && vk <= 'Z') return {static_cast<unsigned long>(vk - 'A' + 'a')};
    if (vk >= '0' && vk <= '9') return {static_cast<unsigned long>(vk)};
    if (vk >= 0x70 && vk <= 0x87) return {kXkF1 + static_cast<unsigned long>(vk - 0x70)};
    if (vk >= 0x60 && vk <= 0x69) return {kXkKp0 + static_cast<unsigned long>(vk - 0x60)};
    switch (vk) {
        case 8:
            return {kXkBackSpace};
        case 9:
            return {kXkTab};
        case 13:
            return {kXkReturn, kXkKpEnter};
        case 16:
            return {kXkShiftL, kXkShiftR};
        case 17:
            return {kXkControlL, kXkControlR};
        case 18:
            return {kXkAltL, kXkAltR, kXkIsoLevel3Shift};
        case 19:
            return {kXkPause};
        case 20:
            return {kXkCapsLock};
        case 27:
            return {kXkEscape};
        case 32:
            return {kXkSpace};
        case 33:
            return {kXkPrior};
        case 34:
            return {kXkNext};
        case 35:
            return {kXkEnd};
        case 36:
            return {kXkHome};
        case 37:
            return {kXkLeft};
        case 38:
            return {kXkUp};
        case 39:
            return {kXkRight};
        case 40:
            return {kXkDown};
        case 45:
            return {kXkInsert};
        case 46:
            return {kXkDelete};
        case 106:
            return {kXkKpMultiply};
        case 107:
            return {kXkKpAdd};
        case 109:
            return {kXkKpSubtract};
        case 110:
            return {kXkKpDecimal};
        case 111:
            return {kXkKpDivide};
        case 144:
            return {kXkNumLock};
        case 145:
            return {kXkScrollLock};
        case 160:
            return {kXkShiftL};
        case 161:
            return {kXkShiftR};
        case 162:
            return {kXkControlL};
        case 163:
            return {kXkControlR};
        case 164:
            return {kXkAltL};
        case 165:
            return {kXkAltR, kXkIsoLevel3Shift};
        case 186:
            return {';'};
        case 187:
            return {'='};
        case 188:
            return {','};
        case 189:
            return {'-'};
        case 190:
            return {'.'};
        case 191:
            return {'/'};
        case 192:
            return {'`'};
        case 219:
            return {'['};
        case 220:
            return {'\\'};
        case 221:
            return {']'};
        case 222:
            return {'\''};
        default:
            return {};
    }
}

int KeysymToVirtualKey(unsigned long keysym) {
    // Shifted letters come as their capitals.
    if (keysym >= 'A' && keysym <= 'Z') keysym += 'a' - 'A';
    // Downward, so the sided modifiers come before the generic ones.
    for (int vk = 255; vk > 0; --vk) {
        for (unsigned long candidate : VirtualKeyToKeysyms(vk)) {
            if (candidate == keysym) return vk;
        }
    }
    return 0;
}

std::string GetKeyDisplayName(int vk) {
    if (vk >= 'A' && vk <= 'Z') return std::string(1, static_cast<char>(vk));
    if (vk >= '0' && vk <= '9') return std::string(1, static_cast<char>(vk));
    // Appended rather than "F" + text: GCC 12 at -O2 warns falsely (-Wrestrict) on the latter.
    if (vk >= 0x70 && vk <= 0x87) return std::string("F").append(std::to_string(vk - 0x70 + 1));
    if (vk >= 0x60 && vk <= 0x69) return std::string("Num ").append(std::to_string(vk - 0x60));
    for (const NamedKey& key : kNames) {
        if (key.virtualKey == vk) return key.name;
    }
    return "";
}
