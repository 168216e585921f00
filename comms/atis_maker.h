// The ATIS maker's behaviour without its dialog: the letter and its advance
// on a new report, the runways in use, the two remarks, the update that
// publishes the text ATIS under "ATIS" and composes the voice ATIS, and the
// dialog's values with their limits. The dialog copies between its controls
// and AtisDialogValues and calls the operations here.
// Tested by tests/comms/atis_maker_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TarqProfile;
class WeatherStore;

// The error line of the display (with the error sound), and the open
// dialog, which shows every update, also one that no click of its own ran.
class AtisMakerHost {
public:
    virtual ~AtisMakerHost() = default;
    virtual void ShowError(const std::string& text) = 0;
    virtual void AtisUpdated() = 0;
};

struct AtisDialogValues {
    std::string station;
    std::string textTemplate;  // lines as the edit gives them (LF or CR LF)
    std::string voiceTemplate;
    std::string voiceServer;
    std::string voiceFrequency;  // "118.250"
};

class AtisMaker {
public:
    static constexpr const char* kDefaultTextTemplate =
        "$radioname()|Information %id%: Winds $wind(%icao%) Vis %vis% %precip% Sky %clouds% Alt "
        "$altim(%icao%)|%runways%";
    static constexpr const char* kDefaultVoiceTemplate =
        "%icao% info %id% %time% winds %winds% visibility %vis% %precip%|Sky conditions %clouds% temp %temp% "
        "dewpt %dew% altimeter %altim%|%runways%|Read back all hold short instructions. Advise you have info "
        "%id%.";
    // The edits' limits; the dialog sets them on its controls so the user
    // sees where typing stops, and a longer text is refused, never cut.
    static constexpr size_t kStationLimit = 4;
    static constexpr size_t kTemplateLimit = 2055;
    static constexpr size_t kServerLimit = 254;
    static constexpr size_t kFrequencyLimit = 7;
    static constexpr size_t kRunwayLimit = 3;
    // Lines the network sends of an ATIS; keep in sync with
    // TarqNetworkManager::kMaxATISLines.
    static constexpr size_t kMaxSentLines = 10;
    static constexpr int kLetterCount = 26;

    // Dialog control ids named by a failure.
    static constexpr int kStationId = 1094;
    static constexpr int kTextTemplateId = 1127;
    static constexpr int kVoiceTemplateId = 1129;
    static constexpr int kRunwayId = 1095;

    static constexpr const char* kInvalidStationBox = "Invalid ICAO code. Must be 4 characters.";
    static constexpr const char* kInvalidStationLine = "Attempted to generate ATIS with invalid ICAO code.";
    static constexpr const char* kInvalidRunway = "Invalid runway.";
    static constexpr const char* kTooManyLines = "ATIS contains too many lines!";
    static constexpr const char* kVoiceTooManyLines = "Voice ATIS contains too many lines!";

    // "(None)", "ALPHA" ... "ZULU".
    static const std::vector<std::string>& LetterWords();

    AtisMaker(TarqProfile& profile, WeatherStore& weather, AtisMakerHost& host);

    // Publishes the ATIS from the profile's station and templates. From the
    // dialog (which saves its values first) a bad station is the dialog's to
    // show; otherwise it becomes an error line. False for a bad station.
    bool UpdateATIS(bool fromDialog);
    // A METAR of the ATIS station arrived.
    void OnReportTime(const std::string& time);

    std::string GetCurrentLetter() const;
    int GetLetterIndex() const { return m_letterIndex; }
    bool GetDisplayFlag() const { return m_newLetter; }
    void SetDisplayFlag(bool on) { m_newLetter = on; }
    const std::string& GetStatusLine() const { return m_statusLine; }
    const std::string& GetLastMetar() const { return m_lastMetar; }
    const std::string& GetVoiceATISText() const { return m_voiceText; }
    bool IsAutoUpdate() const { return m_autoUpdate; }
    bool IsVisualApproaches() const { return m_visual; }
    bool IsLahsos() const { return m_lahsos; }
    void SetVisualApproaches(bool on) { m_visual = on; }
    void SetLahsos(bool on) { m_lahsos = on; }
    const std::vector<std::string>& GetLandingRunways() const { return m_landing; }
    const std::vector<std::string>& GetDepartingRunways() const { return m_departing; }
    void SetLandingRunways(std::vector<std::string> runways) { m_landing = std::move(runways); }
    void SetDepartingRunways(std::vector<std::string> runways) { m_departing = std::move(runways); }

    // --- the dialog ----------------------------------------------------------------
    AtisDialogValues InitialValues() const;
    // "|" shown as a line break in the multi-line edits.
    static std::string ForEdit(const std::string& text);

    struct Failure {
        int control;
        std::string message;
    };
    // Stores the values that changed (marking the profile modified) and tells
    // the weather store a four-character station. A template over its limit
    // is refused and nothing is stored.
    std::optional<Failure> SaveDialogSettings(const AtisDialogValues& values);
    // The "Auto-Update" box (after the dialog saved): a bad station refuses
    // it; otherwise the flag follows and the ATIS is updated.
    std::optional<Failure> SetAutoUpdate(bool on);
    // A letter chosen in the list (after the dialog saved). "(None)" while
    // the voice ATIS is on air becomes ALPHA. Returns the index to show.
    int SelectLetter(int index, bool voiceAtisOnAir);
    // "Add Rwy ->" and "<- Del Rwy": the runway as cleaned (upper case, no
    // blanks) for the edit, or the failure.
    std::optional<Failure> AddRunway(const std::string& typed);
    std::optional<Failure> DeleteRunway(const std::string& typed);
    std::vector<std::string> GetOfferedRunways() const;

private:
    std::optional<Failure> EditRunway(const std::string& typed, bool add);
    void StoreChanged(const std::string& key, const std::string& value);

    TarqProfile& m_profile;
    WeatherStore& m_weather;
    AtisMakerHost& m_host;
    std::string m_lastReportTime;
    std::string m_lastMetar;
    std::string m_voiceText;
    std::string m_statusLine;
    bool m_autoUpdate = false;
    int m_letterIndex = 0;
    std::vector<std::string> m_landing;
    std::vector<std::string> m_departing;
    bool m_visual = false;
    bool m_lahsos = false;
    bool m_newLetter = false;
};
