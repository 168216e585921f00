// Layout of the connect dialog (resource 152): callsign and real name, then
// facility and rating, then certificate ID and password side by side; the
// server across the full width; Connect and Cancel at the bottom right.
#pragma once

#include <iterator>

#include "foundation/dialog_layout.h"

namespace connect_dialog_layout {

using K = DialogControlKind;

inline constexpr DialogControl kControls[] = {
    {0, K::Label, "Callsign:", 7, 7, 80, 8},
    {1011, K::UpperCaseEdit, "", 7, 17, 80, 12},
    {0, K::Label, "Real Name:", 99, 7, 80, 8},
    {1012, K::Edit, "", 99, 17, 80, 12},
    {0, K::Label, "Facility:", 7, 35, 80, 8},
    {1013, K::DropList, "", 7, 45, 80, 100},
    {0, K::Label, "Rating:", 99, 35, 80, 8},
    {1014, K::DropList, "", 99, 45, 80, 100},
    {0, K::Label, "Certificate ID:", 7, 63, 80, 8},
    {1015, K::DigitsEdit, "", 7, 73, 80, 12},
    {0, K::Label, "Password:", 99, 63, 80, 8},
    {1016, K::PasswordEdit, "", 99, 73, 80, 12},
    {0, K::Label, "Server:", 7, 89, 80, 8},
    {1017, K::SortedDropList, "", 7, 99, 172, 100},
    {1018, K::DefaultButton, "Connect", 75, 114, 50, 14},
    {1019, K::Button, "Cancel", 129, 114, 50, 14},
};

inline constexpr DialogLayout kLayout = {152, "Connect to Peltan", 186, 131, kControls, std::size(kControls)};

}  // namespace connect_dialog_layout
