// The SELCAL codes of flight plans. Tested by tests/comms/selcal_codes_test.cpp.
#include "comms/selcal_codes.h"

#include "foundation/text_helpers.h"
#include "regex/rpattern.h"

namespace {

const regex::rpattern& CodePattern() {
    static const regex::rpattern pattern = [] {
        regex::rpattern p(R"(\WSEL(?:CAL)?[/ -]?(\w\w)-?(\w\w)\W)", regex::ignore_case);
        p.set_step_budget(SelcalCodes::kStepBudget);
        return p;
    }();
    return pattern;
}

}  // namespace

SelcalCodes::SelcalCodes(SelcalHost& host) : m_host(host) {}
SelcalCodes::~SelcalCodes() = default;

bool SelcalCodes::FindCode(const std::string& remarks, std::string& code) {
    code.clear();
    // The colons give a code at either end a non-word character beside it.
    const std::string wrapped = ":" + remarks.substr(0, kMaxRemarksLength) + ":";
    regex::match_results groups;
    try {
        if (CodePattern().match_text(wrapped, groups).matched) code = groups[1].str() + groups[2].str();
    } catch (const regex::match_limit_exceeded&) {
        return false;
    }
    return true;
}

void SelcalCodes::AddAircraft(const std::string& callsign, const std::string& remarks) {
    std::string code;
    if (!FindCode(remarks, code) || code.empty()) return;
    m_codes[callsign] = code;
    m_host.ListChanged();
}

void SelcalCodes::RemoveCallsign(const std::string& callsign) {
    if (m_codes.erase(callsign)) m_host.ListChanged();
}

std::string SelcalCodes::GetCode(const std::string& callsign) const {
    auto it = m_codes.find(callsign);
    return it == m_codes.end() ? std::string() : it->second;
}

void SelcalCodes::SendSelected(const std::string& callsign) {
    if (!m_host.IsValidATC()) {
        m_host.ShowError(kNotActive);
        return;
    }
    auto it = m_codes.find(callsign);
    if (it == m_codes.end()) return;
    if (!m_host.SendSELCAL(it->second)) {
        m_host.ShowError(kNotSent);
        return;
    }
    m_host.ShowMessage("SELCAL sent: " + it->second);
}

std::vector<std::string> SelcalCodes::GetRows() const {
    std::vector<std::string> rows;
    for (const auto& [callsign, code] : m_codes) rows.push_back("\t" + callsign + "\t" + code);
    return rows;
}

void SelcalCodes::OnListDoubleClick(const std::string& rowText) {
    if (rowText.empty()) return;
    std::vector<std::string> words;
    SplitString(std::string_view(rowText).substr(1), words, 0, "\t");
    if (!words.empty()) SendSelected(words[0]);
}
