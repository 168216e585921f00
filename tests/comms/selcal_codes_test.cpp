// SELCAL codes from remarks, and sending them.
#include "comms/selcal_codes.h"

#include <gtest/gtest.h>

namespace {

TEST(SelcalCodesTest, RemarksTable) {
    const struct {
        const char* name;
        const char* remarks;
        const char* code;
    } cases[] = {
        {"at_start", "SEL/ABCD", "ABCD"},
        {"at_end_with_dash", "/V/ RMK SELCAL AB-CD", "ABCD"},
        {"lower_case_kept", "pbn/a1 sel/ab-cd", "abcd"},
        {"first_of_two", "SELCAL EFGH SEL/JKLM", "EFGH"},
        {"no_separator", "NAV/RNP SELCALDHKQ DOF/240309", "DHKQ"},
        {"select_is_no_code", "SELECT AB", ""},
        {"word_before_sel", "PRESELCAL/ABCD", ""},
        {"five_letters", "SEL/ABCDE", ""},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string code = "old";
        EXPECT_TRUE(SelcalCodes::FindCode(c.remarks, code));
        EXPECT_EQ(code, c.code);
    }
}

class RecordingSelcalHost : public SelcalHost {
public:
    bool IsValidATC() const override { return valid; }
    bool SendSELCAL(const std::string& code) override {
        if (transmits) sent.push_back(code);
        return transmits;
    }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ListChanged() override { ++listChanges; }

    int listChanges = 0;
    bool valid = true;
    bool transmits = true;
    std::vector<std::string> sent, errors, messages;
};

TEST(SelcalCodesTest, LaterPlansReplaceOnlyWithACode) {
    RecordingSelcalHost host;
    SelcalCodes codes(host);
    codes.AddAircraft("BAW1", "SEL/ABCD");
    codes.AddAircraft("BAW1", "NO CODE HERE");
    EXPECT_EQ(codes.GetCode("BAW1"), "ABCD");
    codes.AddAircraft("BAW1", "SELCAL EF-GH");
    EXPECT_EQ(codes.GetCode("BAW1"), "EFGH");
    codes.AddAircraft("AAL2", "sel/ab-cd");
    EXPECT_EQ(codes.GetRows(), (std::vector<std::string>{"\tAAL2\tabcd", "\tBAW1\tEFGH"}));
    EXPECT_FALSE(codes.ContainsCallsign("baw1"));
    codes.RemoveCallsign("BAW1");
    EXPECT_FALSE(codes.ContainsCallsign("BAW1"));
}

TEST(SelcalCodesTest, SendingNeedsAnActiveController) {
    RecordingSelcalHost host;
    SelcalCodes codes(host);
    codes.AddAircraft("AAL2", "sel/ab-cd");
    host.valid = false;
    codes.SendSelected("AAL2");
    EXPECT_EQ(host.errors, std::vector<std::string>{SelcalCodes::kNotActive});
    EXPECT_TRUE(host.sent.empty());
    host.valid = true;
    codes.OnListDoubleClick("\tAAL2\tabcd");
    codes.SendSelected("NONE");
    codes.OnListDoubleClick("");
    EXPECT_EQ(host.sent, std::vector<std::string>{"abcd"});
    EXPECT_EQ(host.messages, std::vector<std::string>{"SELCAL sent: abcd"});
}

// Without a transmit frequency nothing goes out, and the radio history says
// so instead of confirming a call that was never made.
TEST(SelcalCodesTest, ACallThatCannotGoOutIsNotConfirmed) {
    RecordingSelcalHost host;
    SelcalCodes codes(host);
    codes.AddAircraft("AAL2", "sel/ab-cd");
    host.transmits = false;
    codes.SendSelected("AAL2");
    EXPECT_TRUE(host.sent.empty());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.errors, std::vector<std::string>{SelcalCodes::kNotSent});
}

TEST(SelcalCodesTest, LongRemarksAreSearchedOnlyToTheCap) {
    std::string remarks(SelcalCodes::kMaxRemarksLength, 'x');
    std::string code;
    EXPECT_TRUE(SelcalCodes::FindCode(remarks + " SEL/ABCD", code));
    EXPECT_EQ(code, "");
    EXPECT_TRUE(SelcalCodes::FindCode("SEL/ABCD " + remarks, code));
    EXPECT_EQ(code, "ABCD");
}

}  // namespace
