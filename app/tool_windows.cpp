// Tested by tests/app/program_test.cpp.
#include "app/tool_windows.h"

#include "app/global_objects.h"
#include "app/session.h"
#include "app/shell_state.h"
#include "foundation/profile.h"
#include "scope/display_scope.h"

namespace {

void ShowErrorLine(const std::string& text) {
    if (g_displayManager) g_displayManager->ShowError(text);
}

TarqDisplayScope* MainScope() {
    TarqDisplay* main = g_displayManager ? g_displayManager->GetMainDisplay() : nullptr;
    return main ? main->GetScope() : nullptr;
}

std::string OwnCallsign() { return g_profile ? g_profile->GetString("Callsign") : std::string(); }

}  // namespace

// --- communications panel -----------------------------------------------------------

class TarqCommsPanel::Services final : public CommsServices {
public:
    int GetInt(const std::string& key) const override { return g_profile ? g_profile->GetInt(key) : 0; }
    std::string GetString(const std::string& key) const override {
        return g_profile ? g_profile->GetString(key) : std::string();
    }
    void SetInt(const std::string& key, int value) override {
        if (g_profile) g_profile->SetInt(key, value);
    }
    void SetString(const std::string& key, const std::string& value) override {
        if (g_profile) g_profile->SetString(key, value);
    }
    void SetProfileModified() override {
        if (g_profile) g_profile->SetModified(true);
    }
    void ShowError(const std::string& text) override { ShowErrorLine(text); }
    void RebuildMainButtonBar() override {
        if (g_displayManager) g_displayManager->RebuildMainButtonBar();
    }
    void ApplySettings() override { ApplyDisplaySettings(); }
    bool IsConnected() const override { return g_networkManager && g_networkManager->IsConnected(); }
    void SendATCPosition() override {
        if (g_networkManager && g_networkManager->IsConnected()) g_networkManager->SendATCPosition();
    }
};

// The engine is read at each call: it is made after the panel, and whichever
// engine the program holds answers the same calls.
class TarqCommsPanel::Voice final : public CommsVoiceEngine, public CommsRouting {
public:
    int GetRoomStatus(const RoomKey& key) const override {
        return g_voiceEngine ? static_cast<int>(g_voiceEngine->GetRoomStatus(key.frequency, key.room)) : 0;
    }
    int GetRoomOutput(const RoomKey& key) override {
        return g_voiceEngine ? g_voiceEngine->GetRoomOutput(key.frequency, key.room) : 0;
    }
    void ToggleRoomTransmit(const RoomKey& key) override {
        if (g_voiceEngine) g_voiceEngine->ToggleRoomTransmit(key.frequency, key.room);
    }
    void ToggleRoomReceive(const RoomKey& key) override {
        if (g_voiceEngine) g_voiceEngine->ToggleRoomReceive(key.frequency, key.room);
    }
    void ToggleRoomSpeaker(const RoomKey& key) override {
        if (g_voiceEngine) g_voiceEngine->ToggleRoomSpeaker(key.frequency, key.room);
    }
    void ToggleRoomConnection(const RoomKey& key) override {
        if (g_voiceEngine) g_voiceEngine->ToggleRoomConnection(key.frequency, key.room);
    }
    void CloseRoom(int32_t frequency) override {
        if (g_voiceEngine) g_voiceEngine->CloseRoom(frequency);
    }
    void CloseAllRooms() override {
        if (g_voiceEngine) g_voiceEngine->CloseAllRooms();
    }
    void SetPushToTalk(bool down) override {
        if (g_voiceEngine) g_voiceEngine->SetPushToTalk(down);
    }
    void EndAllLandLines() override {
        if (g_voiceEngine) g_voiceEngine->EndAllLandLines();
    }

    bool GetAutoRoute() const override { return g_voiceEngine && g_voiceEngine->GetAutoRoute(); }
    bool GetAirGroundToSpeaker() const override {
        return g_voiceEngine && g_voiceEngine->GetAirGroundToSpeaker();
    }
    bool GetGroundGroundToSpeaker() const override {
        return g_voiceEngine && g_voiceEngine->GetGroundGroundToSpeaker();
    }
    void SetAutoRoute(bool on) override {
        if (g_voiceEngine) g_voiceEngine->SetAutoRoute(on);
    }
    void SetAirGroundToSpeaker(bool on) override {
        if (g_voiceEngine) g_voiceEngine->SetAirGroundToSpeaker(on);
    }
    void SetGroundGroundToSpeaker(bool on) override {
        if (g_voiceEngine) g_voiceEngine->SetGroundGroundToSpeaker(on);
    }
    void SetMicMute(bool on) override {
        if (g_voiceEngine) g_voiceEngine->SetMicMute(on);
    }
};

// What the window last showed, so a tick that changed nothing repaints nothing.
struct TarqCommsPanel::Snapshot {
    std::array<CommsEntries::Selection, kCommsEntryCount> selections{};
    bool autoRoute = false, airGround = false, groundGround = false;
    bool operator==(const Snapshot& o) const {
        for (size_t i = 0; i < selections.size(); ++i) {
            const CommsEntries::Selection &a = selections[i], &b = o.selections[i];
            if (a.primary != b.primary || a.transmit != b.transmit || a.receive != b.receive ||
                a.headset != b.headset || a.speaker != b.speaker ||
                a.transmitReceiveEnabled != b.transmitReceiveEnabled || a.voiceEnabled != b.voiceEnabled)
                return false;
        }
        return autoRoute == o.autoRoute && airGround == o.airGround && groundGround == o.groundGround;
    }
};

TarqCommsPanel::TarqCommsPanel()
    : m_services(std::make_unique<Services>()),
      m_voice(std::make_unique<Voice>()),
      m_entries(std::make_unique<CommsEntries>(*m_services, *m_voice)),
      m_shown(std::make_unique<Snapshot>()) {}

TarqCommsPanel::~TarqCommsPanel() = default;

CommsRouting& TarqCommsPanel::Routing() { return *m_voice; }

void TarqCommsPanel::SetMuteChecked(bool on) {
    m_muteChecked = on;
    m_voice->SetMicMute(on);
}

TarqCommsPanel::Snapshot TarqCommsPanel::Take() const {
    Snapshot s;
    for (int i = 0; i < kCommsEntryCount; ++i)
        s.selections[static_cast<size_t>(i)] = m_entries->GetSelection(i);
    s.autoRoute = m_voice->GetAutoRoute();
    s.airGround = m_voice->GetAirGroundToSpeaker();
    s.groundGround = m_voice->GetGroundGroundToSpeaker();
    return s;
}

void TarqCommsPanel::Create() {
    if (m_view) m_view->CreateWindow();
}

void TarqCommsPanel::Refresh() {
    m_entries->Refresh();
    m_editedEntry = 0;
    m_editorShown = false;
    SelectionChanged();
}

void TarqCommsPanel::OnFrameTick() {
    m_entries->UpdateVoiceState();
    if (!(Take() == *m_shown)) SelectionChanged();
}

namespace {
// The last position whose name matches; -1 when none does.
int LastIndexOf(const std::vector<std::string>& names, const std::string& name) {
    int found = -1;
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) found = static_cast<int>(i);
    }
    return found;
}
}  // namespace

void TarqCommsPanel::ApplyAudioSettings() {
    if (!g_voiceEngine || !g_profile) return;
    TarqProfile& p = *g_profile;
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    g_voiceEngine->GetDeviceLists(&inputs, &outputs, nullptr, nullptr, nullptr);
    g_voiceEngine->SetInputDevice(LastIndexOf(inputs, p.GetString("AudioInputDevice")));
    g_voiceEngine->SetHeadsetDevice(LastIndexOf(outputs, p.GetString("AudioOutputHeadsetDevice")));
    g_voiceEngine->SetSpeakerDevice(LastIndexOf(outputs, p.GetString("AudioOutputSpeakerDevice")));
    g_voiceEngine->SetInputSquelch(p.GetFloat("InputSquelch"));
    g_voiceEngine->SetHeadsetVolume(static_cast<uint32_t>(p.GetInt("OutputVolumeHDST")));
    g_voiceEngine->SetSpeakerVolume(static_cast<uint32_t>(p.GetInt("OutputVolumeSPKR")));
    g_voiceEngine->SetVhfSimulation(p.GetBool("VHFSimHeadset"), p.GetBool("VHFSimSpeakers"));
}

void TarqCommsPanel::SyncVoiceCheckboxes() {
    m_entries->SyncVoiceCheckboxes();
    SelectionChanged();
}

void TarqCommsPanel::ResetVoice() {
    m_entries->ResetVoice();
    SelectionChanged();
}

void TarqCommsPanel::OpenEditor(int index) {
    if (index < 0 || index >= kCommsEntryCount) return;
    m_editedEntry = index;
    m_editorShown = true;
    if (m_view) m_view->Refill();
}

void TarqCommsPanel::CloseEditor() {
    m_editorShown = false;
    if (m_view) m_view->Refill();
}

CommsSaveResult TarqCommsPanel::SaveEditedEntry(const CommsEditorTexts& texts) {
    CommsSaveResult result = m_entries->SaveEditedEntry(m_editedEntry, texts);
    if (result.saved) CloseEditor();
    return result;
}

void TarqCommsPanel::SelectionChanged() {
    *m_shown = Take();
    if (m_view) m_view->Refill();
}

// --- aircraft list --------------------------------------------------------------------

TarqAircraftList::TarqAircraftList(const TarqAircraftDB& db) : m_source(db), m_model(m_source) {
    SetWidth(kWidth);
}

TarqAircraftList::~TarqAircraftList() = default;

void TarqAircraftList::Create() {
    if (m_view) m_view->CreateWindow();
}

void TarqAircraftList::OnTimer() {
    constexpr uint32_t kBlankAircraftList = 8;
    if (m_model.OnTimer(std::time(nullptr), (DebugFlags & kBlankAircraftList) != 0, IsCollapsed()) && m_view)
        m_view->Refill();
}

void TarqAircraftList::LoadFieldSettings() {
    if (!g_profile) return;
    const TarqDisplayScope* scope = MainScope();
    m_model.LoadFieldSettings(g_profile->GetListSetting("ArrivalFields"),
                              g_profile->GetListSetting("DepartureFields"),
                              [scope](const std::string& name, double& latitude, double& longitude) {
                                  ScopePoint point;
                                  if (scope && scope->FindNamedPoint(name, point)) {
                                      latitude = point.y;
                                      longitude = point.x;
                                  }
                              });
    Rebuild();
}

void TarqAircraftList::ShowFlightPlanDetails(const std::string& callsign) {
    m_detailText = m_model.ShowFlightPlanDetails(callsign);
    if (m_view) m_view->Refill();
}

void TarqAircraftList::OnRowClick(size_t row, int x, int y, bool altDown) {
    const size_t before = m_model.GetRows().size();
    switch (m_model.OnRowClick(row, x, y, altDown, std::time(nullptr))) {
        case AircraftListModel::ClickAction::Rebuilt:
            if (m_view) m_view->Refill();
            break;
        case AircraftListModel::ClickAction::ShowDetails:
            if (row < before) ShowFlightPlanDetails(m_model.GetRows()[row].callsign);
            break;
        case AircraftListModel::ClickAction::AddStrip:
            if (g_flightStripBay && row < before)
                g_flightStripBay->AddStripForAircraft(m_model.GetRows()[row].callsign);
            break;
        case AircraftListModel::ClickAction::None:
            break;
    }
}

void TarqAircraftList::ShowAircraftMenuForRow(int screenX, int screenY, size_t row) {
    const std::string callsign = m_model.GetMenuCallsign(row);
    if (callsign.empty() || !g_displayManager) return;
    if (TarqDisplay* main = g_displayManager->GetMainDisplay()) main->ShowAircraftMenu(callsign, screenX, screenY);
}

void TarqAircraftList::OnRowDoubleClick(size_t row) {
    if (m_model.OnRowDoubleClick(row, std::time(nullptr))) {
        if (g_flightPlanEditor && row < m_model.GetRows().size()) {
            g_flightPlanEditor->ShowFlightPlan(m_model.GetRows()[row].callsign);
            g_flightPlanEditor->Show();
            g_flightPlanEditor->Activate();
        }
    } else if (m_view) {
        m_view->Refill();
    }
}

// --- controller list ---------------------------------------------------------------

class TarqControllerList::Source final : public ControllerListSource {
public:
    std::vector<std::string> GetControllerCallsigns() const override {
        return g_controllerDB ? g_controllerDB->GetAllCallsigns() : std::vector<std::string>{};
    }
    bool GetController(const std::string& callsign, ControllerListInfo& info) const override {
        const TarqController* c = g_controllerDB ? g_controllerDB->GetController(callsign) : nullptr;
        if (!c) return false;
        info.frequency = c->GetFrequency();
        info.facility = c->GetFacility();
        info.rating = c->GetRating();
        info.visRange = c->GetVisRange();
        info.realName = c->GetRealName();
        info.positionId = c->GetPositionId();
        return true;
    }
    bool IsSameFacilityCallsign(const std::string& callsign, int frequency) const override {
        return g_controllerDB && g_controllerDB->IsInPositionFile(callsign, frequency);
    }
    bool GetHelpFlag(const std::string& callsign) const override {
        return g_controllerDB && g_controllerDB->GetHelpFlag(callsign);
    }
    std::string GetHelpMessage(const std::string& callsign) const override {
        return g_controllerDB ? g_controllerDB->GetHelpMessage(callsign) : std::string();
    }
    int GetLandLineState(const std::string& callsign, int kind) const override {
        return g_voiceEngine ? g_voiceEngine->GetLandLineState(kind, callsign) : 1;
    }
    bool IsMemberOfActiveGroup(const std::string& callsign) const override {
        return g_chatManager && g_chatManager->IsMemberOfActiveGroup(callsign);
    }
    bool HasPrivateChatWindow(const std::string& name) const override {
        return g_chatManager && g_chatManager->HasPrivateChatWindow(name);
    }
    bool HasQueuedMessages(const std::string& callsign) const override {
        return g_chatManager && g_chatManager->HasQueuedMessages(callsign);
    }
    std::vector<std::string> GetGroupNames() const override {
        return g_chatManager ? g_chatManager->GetGroupNames() : std::vector<std::string>();
    }
    bool GetSeparatorsEnabled() const override {
        return g_profile && g_profile->GetBool("EnableCLSeparators");
    }
    int GetOwnRating() const override { return g_profile ? g_profile->GetInt("Rating") : 0; }
};

TarqControllerList::TarqControllerList()
    : m_source(std::make_unique<Source>()), m_model(std::make_unique<ControllerListModel>(*m_source)) {
    SetWidth(kWidth);
}

TarqControllerList::~TarqControllerList() = default;

void TarqControllerList::Create() {
    if (m_view) m_view->CreateWindow();
}

namespace {
bool ControllerListBlanked() {
    constexpr uint32_t kBlankControllerList = 4;
    return (DebugFlags & kBlankControllerList) != 0;
}
}  // namespace

void TarqControllerList::OnFrameTick() {
    if (m_model->OnFrameTick(ControllerListBlanked()) && m_view) m_view->Refill();
}

void TarqControllerList::RebuildNow() {
    m_model->Rebuild(ControllerListBlanked());
    if (m_view) m_view->Refill();
}

void TarqControllerList::ShowControllerInfo(const std::string& callsign) {
    m_infoText = m_model->ShowControllerInfo(callsign);
    Show();
    if (m_view) m_view->Refill();
}

void TarqControllerList::SetSortButtons(bool alphaSort, bool positionFileOnly) {
    m_model->SetAlphaSort(alphaSort);
    m_model->SetPositionFileOnly(positionFileOnly);
    RebuildNow();
}

void TarqControllerList::OnRowClick(size_t row, int x, int y) {
    if (row >= m_model->GetRows().size()) return;
    const ControllerListEntry entry = m_model->GetRows()[row];
    if (m_model->OnRowClick(row, x, y)) {
        if (m_view) m_view->Refill();
    } else if (!entry.header) {
        ShowControllerInfo(entry.name);
    }
}

void TarqControllerList::OnRowDoubleClick(size_t row) {
    const std::string chat = m_model->OnRowDoubleClick(row);
    if (!chat.empty()) {
        if (g_chatManager) g_chatManager->OpenChatWindow(chat, "", true);
    } else if (m_view) {
        m_view->Refill();
    }
}

void TarqControllerList::RunMenuCommand(size_t row, int command) {
    const std::string group = m_model->GetMenuGroup(command);
    if (!group.empty()) {
        const std::vector<ControllerListEntry>& rows = m_model->GetRows();
        if (row < rows.size() && !rows[row].header && !rows[row].chatGroupRow && g_chatManager)
            g_chatManager->AddToGroup(group, rows[row].name);
        return;
    }
    for (const std::string& line : m_model->GetMenuCommands(row, command)) {
        if (TarqDisplay* main = g_displayManager ? g_displayManager->GetMainDisplay() : nullptr)
            main->RunMenuCommand(line);
    }
}

// --- flight plan editor ----------------------------------------------------------------

class TarqFlightPlanEditor::Source final : public FlightPlanEditorSource {
public:
    TarqFlightPlanRecord GetFlightPlan(const std::string& callsign) const override {
        return g_aircraftDB ? g_aircraftDB->GetFlightPlan(callsign) : TarqFlightPlanRecord{};
    }
    std::string GetScratchpad(const std::string& callsign) const override {
        return g_aircraftDB ? g_aircraftDB->GetScratchpad(callsign) : std::string();
    }
    uint16_t GetAssignedSquawk(const std::string& callsign) const override {
        return g_aircraftDB ? g_aircraftDB->GetAssignedSquawk(callsign) : 0;
    }
    std::string GetPilotName(const std::string& callsign) const override {
        const TarqAircraft* aircraft = g_aircraftDB ? g_aircraftDB->GetAircraft(callsign) : nullptr;
        return aircraft ? aircraft->GetRealName() : std::string();
    }
    bool CheckControl(const std::string& callsign) override {
        return g_aircraftDB && g_aircraftDB->CheckControl(callsign);
    }
    void AmendFlightPlan(const std::string& callsign, const TarqFlightPlanRecord& plan) override {
        if (g_aircraftDB) g_aircraftDB->AmendFlightPlan3(callsign, plan);
    }
    void SetScratchpad(const std::string& callsign, const std::string& controller,
                       const std::string& text) override {
        if (g_aircraftDB) g_aircraftDB->SetScratchpad(callsign, controller, text, false);
    }
    void SetAssignedSquawk(const std::string& callsign, const std::string& controller,
                           uint16_t code) override {
        if (g_aircraftDB) g_aircraftDB->SetAssignedSquawk(callsign, controller, code);
    }
    std::string GetOwnCallsign() const override { return OwnCallsign(); }
    void ShowError(const std::string& text) override { ShowErrorLine(text); }
};

TarqFlightPlanEditor::TarqFlightPlanEditor()
    : m_source(std::make_unique<Source>()), m_model(std::make_unique<FlightPlanEditorModel>(*m_source)) {}

TarqFlightPlanEditor::~TarqFlightPlanEditor() = default;

void TarqFlightPlanEditor::Create() {
    if (m_view) m_view->CreateWindow();
}

void TarqFlightPlanEditor::ShowFlightPlan(const std::string& callsign) {
    m_fields = m_model->Show(callsign);
    if (m_view) m_view->Refill();
}

void TarqFlightPlanEditor::SetSquawkField(int code) {
    const std::string text = m_model->SquawkFieldText(code);
    if (text.empty()) return;
    m_fields.squawk = text;
    if (m_view) m_view->SetSquawkText(text);
}

void TarqFlightPlanEditor::Amend() {
    if (!m_view) return;
    FlightPlanFields shown;
    if (!m_model->Amend(m_view->ReadFields(), shown)) return;
    m_fields = shown;
    m_view->Refill();
}

void TarqFlightPlanEditor::AssignSquawk() {
    if (!m_view) return;
    std::string text;
    if (!m_model->AssignSquawk(m_view->ReadFields(), text)) return;
    m_fields.squawk = text;
    m_view->SetSquawkText(text);
}

void TarqFlightPlanEditor::Plot() {
    TarqDisplayScope* scope = MainScope();
    if (scope && m_view) scope->PlotRoute(FlightPlanEditorModel::PlotText(m_view->ReadFields()), true);
}
