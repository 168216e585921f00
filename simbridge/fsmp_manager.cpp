// Tested by tests/simbridge/fsmp_manager_test.cpp.
#include "simbridge/fsmp_manager.h"

#include <ctime>

#include "platform/clock.h"
#include "platform/message_box.h"
#include "simbridge/plane_position.h"

namespace {

// Lines of one load error box; the rest are counted.
constexpr size_t kErrorsShown = 12;

}  // namespace

void TarqMPCallback::StatusChanged() { (void)m_bridge.GetStatusText(); }

void TarqMPCallback::Error() {
    ShowMessageBox(m_bridge.GetLastErrorText(), "Error", {MessageBoxButtons::Ok, MessageBoxIcon::None, 0});
}

void TarqMPCallback::TextReceived(const std::string& text) { m_bridge.ShowChatText(text); }

void LoadErrorList::Show() {
    if (m_errors.empty()) return;
    std::string text;
    for (size_t i = 0; i < m_errors.size() && i < kErrorsShown; ++i) text += m_errors[i] + "\n";
    if (m_errors.size() > kErrorsShown)
        text += "... and " + std::to_string(m_errors.size() - kErrorsShown) + " more.\n";
    text.pop_back();
    ShowMessageBox(text, m_caption, {MessageBoxButtons::Ok, MessageBoxIcon::Error, 0});
    m_errors.clear();
}

bool TarqMPAircraftDBCallback::Error(const std::string& text, bool) {
    errors.Add(text);
    return true;
}

bool TarqMPModelSetCallback::Error(const std::string& text, bool) {
    errors.Add(text);
    return true;
}

TarqFSMPManager::TarqFSMPManager(std::string modelDataFolder, const AtcServices& services,
                                 TransportFactory transports)
    : m_folder(std::move(modelDataFolder)),
      m_services(services.Checked("TarqFSMPManager")),
      m_transports(std::move(transports)) {
    m_modelSets.SeedRandom(static_cast<uint32_t>(m_services.clock->WallSeconds()));
}

TarqFSMPManager::~TarqFSMPManager() {
    if (m_session) m_session->Shutdown();
}

void TarqFSMPManager::LoadModelData() {
    if (m_modelDataLoaded) return;
    // Whatever the loaders answer, the bridge goes on with what was read.
    m_tables.LoadTables(m_folder, &m_tableCallback);
    m_tableCallback.errors.Show();
    m_modelSets.ScanFolder(m_folder, &m_setCallback, m_tables);
    m_setCallback.errors.Show();
    m_preferredSets = m_services.settings->GetList("ModelSetOrder");
    m_modelDataLoaded = true;
}

bool TarqFSMPManager::Connect() {
    LoadModelData();
    if (m_session) Disconnect();
    std::unique_ptr<SimSessionTransport> transport = m_transports ? m_transports() : nullptr;
    m_session = FSMultiplayerManager::Create(9, &m_sessionCallback, std::move(transport));
    if (!m_session) {
        m_errorText = "No flight simulator session can be hosted on this system.";
        m_sessionCallback.Error();
        return false;
    }
    m_connected = m_session->Initialize(m_port);
    if (!m_connected) {
        m_errorText = m_session->GetLastErrorText();
        m_session.reset();
        return false;
    }
    // The old session's ids mean nothing here: every aircraft joins anew.
    for (auto& [id, aircraft] : m_injected) AddToSession(aircraft);
    return true;
}

void TarqFSMPManager::Disconnect() {
    if (m_session) {
        m_session->Shutdown();
        m_session.reset();
    }
    m_connected = false;
    for (auto& [id, aircraft] : m_injected) aircraft.sessionId = 0;
}

void TarqFSMPManager::StartFromMenu() {
    m_services.messages->ShowMessage("Starting multiplayer session. This will take a few moments...");
    if (Connect())
        m_services.messages->ShowMessage("Success.");
    else
        m_services.messages->ShowError("Error starting multiplayer session.");
}

void TarqFSMPManager::OnFrameTick() {
    if (m_session) m_session->ProcessEvents();
}

std::string TarqFSMPManager::ChooseModel(const std::string& type, const std::string& airline,
                                         const std::string& livery) {
    std::string model = m_modelSets.FindBestModel(type, airline, livery, m_preferredSets, false, true, m_tables);
    return model.empty() ? kFallbackModel : model;
}

void TarqFSMPManager::AddToSession(Injected& aircraft) {
    aircraft.sessionId = 0;
    uint32_t sessionId = 0;
    // The session's id is valid even when the join could not start.
    if (m_session->AddAircraft(aircraft.callsign, aircraft.modelName, aircraft.modelClass, sessionId))
        aircraft.sessionId = sessionId;
}

bool TarqFSMPManager::AddAircraft(const std::string& callsign, const std::string& type, const std::string& airline,
                                  const std::string& livery, uint32_t& id) {
    id = m_nextId++;
    Injected& aircraft = m_injected[id];
    aircraft.callsign = callsign;
    aircraft.modelName = ChooseModel(type, airline, livery);
    aircraft.modelClass = m_tables.GetModelClass(type);
    if (!IsConnected()) return false;
    AddToSession(aircraft);
    return aircraft.sessionId != 0;
}

uint32_t TarqFSMPManager::AddAircraft(const std::string& callsign, const std::string& type,
                                      const std::string& airline, const std::string& livery) {
    uint32_t id = 0;
    AddAircraft(callsign, type, airline, livery, id);
    return id;
}

void TarqFSMPManager::RemoveAircraft(uint32_t id) {
    auto it = m_injected.find(id);
    if (it == m_injected.end()) return;
    if (m_session && it->second.sessionId != 0) m_session->RemoveAircraft(it->second.sessionId);
    m_injected.erase(it);
}

void TarqFSMPManager::UpdateAircraftPosition(uint32_t id, double latitude, double longitude, double altitude,
                                             uint32_t attitude, const std::array<double, 3>& rates, double speed,
                                             int useFull, int timeout) {
    if (!m_session) return;
    auto it = m_injected.find(id);
    if (it == m_injected.end() || it->second.sessionId == 0) return;
    m_session->SendPosition(it->second.sessionId, latitude, longitude, altitude, attitude, rates[0], rates[1],
                            rates[2], speed, useFull != 0, static_cast<uint32_t>(timeout));
}

std::unique_ptr<AircraftExtrapolator> TarqFSMPManager::CreateExtrapolator() {
    return std::make_unique<PlanePosition>();
}

std::string TarqFSMPManager::GetStatusText() const { return m_session ? m_session->GetStatusText() : std::string(); }

std::string TarqFSMPManager::GetLastErrorText() const {
    return m_session ? m_session->GetLastErrorText() : m_errorText;
}

void TarqFSMPManager::ShowChatText(const std::string& text) {
    m_services.messages->ShowMessage("Flight simulator: " + text);
}

uint32_t TarqFSMPManager::GetSessionId(uint32_t id) const {
    auto it = m_injected.find(id);
    return it == m_injected.end() ? 0 : it->second.sessionId;
}
