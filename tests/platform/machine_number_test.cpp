#include "platform/machine_number.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/atomic_file.h"

namespace {

std::string TempFile(const std::string& name, const std::string& contents) {
    auto path = std::filesystem::temp_directory_path() / ("tarq-mn-" + name);
    WriteFileAtomically(path.string(), contents);
    return path.string();
}

TEST(MachineNumber, StableAcrossWhitespaceAndZeroWhenAbsent) {
    std::string a = TempFile("a", "0123456789abcdef0123456789abcdef\n");
    std::string b = TempFile("b", "0123456789abcdef0123456789abcdef");
    std::string c = TempFile("c", "fedcba9876543210fedcba9876543210\n");
    std::string empty = TempFile("e", "\n");
    EXPECT_NE(MachineNumber(a), 0u);
    EXPECT_EQ(MachineNumber(a), MachineNumber(b));
    EXPECT_NE(MachineNumber(a), MachineNumber(c));
    EXPECT_EQ(MachineNumber(empty), 0u);
    EXPECT_EQ(MachineNumber("/nonexistent/machine-id"), 0u);
}

}  // namespace
