// The SELCAL panel's behaviour without its window: a code picked out of each
// arriving flight plan's remarks, one per callsign, the list's rows, and the
// call that sends an aircraft its SELCAL. The remarks come from other users,
// so the search is length-capped and runs under a step budget.
// Tested by tests/comms/selcal_codes_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class SelcalHost {
public:
    virtual ~SelcalHost() = default;
    virtual bool IsValidATC() const = 0;
    // The radio text "SELCAL AB-CD" on the transmit frequencies; false when
    // it could not go out.
    virtual bool SendSELCAL(const std::string& code) = 0;
    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowMessage(const std::string& text) = 0;
    // The rows changed.
    virtual void ListChanged() = 0;
};

class SelcalCodes {
public:
    static constexpr const char* kNotActive = "You must be an active controller to send SELCAL alerts.";
    static constexpr const char* kNotSent = "No transmit frequency selected. SELCAL not sent.";
    // Remarks longer than this are searched only this far; flight plan
    // remarks are a few hundred characters at most.
    static constexpr size_t kMaxRemarksLength = 4096;
    static constexpr uint64_t kStepBudget = 50'000;

    explicit SelcalCodes(SelcalHost& host);
    ~SelcalCodes();
    SelcalCodes(const SelcalCodes&) = delete;
    SelcalCodes& operator=(const SelcalCodes&) = delete;

    // A flight plan arrived. Remarks without a code change nothing.
    void AddAircraft(const std::string& callsign, const std::string& remarks);
    void RemoveCallsign(const std::string& callsign);
    bool ContainsCallsign(const std::string& callsign) const { return m_codes.count(callsign) != 0; }
    std::string GetCode(const std::string& callsign) const;
    void SendSelected(const std::string& callsign);
    // Tab, callsign, tab, code; in callsign order.
    std::vector<std::string> GetRows() const;
    // A row double-clicked: its text as the list gives it.
    void OnListDoubleClick(const std::string& rowText);

    // The code in the remarks, "" when there is none; false when the search
    // gave up (over its budget).
    static bool FindCode(const std::string& remarks, std::string& code);

private:
    SelcalHost& m_host;
    std::map<std::string, std::string> m_codes;
};
