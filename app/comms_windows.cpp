// Tested by tests/app/program_test.cpp.
#include "app/comms_windows.h"

#include "app/global_objects.h"
#include "app/menu_table.h"
#include "foundation/profile.h"
#include "foundation/start_directory.h"
#include "foundation/text_helpers.h"
#include "platform/clock.h"
#include "platform/url_open.h"
#include "scope/display_scope.h"

namespace {

void ShowErrorLine(const std::string& text) {
    if (g_displayManager) g_displayManager->ShowError(text);
}

void ShowMessageLine(const std::string& text) {
    if (g_displayManager) g_displayManager->ShowMessage(text);
}

const TarqDisplayScope* MainScope() {
    TarqDisplay* main = g_displayManager ? g_displayManager->GetMainDisplay() : nullptr;
    return main ? main->GetScope() : nullptr;
}

std::function<void(TarqATISMaker&)>& DialogRunner() {
    static std::function<void(TarqATISMaker&)> run;
    return run;
}

std::function<void()>& DialogRefresher() {
    static std::function<void()> refresh;
    return refresh;
}

std::function<void()>& ConnectButtonUpdater() {
    static std::function<void()> update;
    return update;
}

}  // namespace

// --- weather panel ----------------------------------------------------------------

TarqWeatherPanel::TarqWeatherPanel(TarqProfile& profile)
    : m_profile(profile), m_store(profile, *this, SystemClock::Instance()) {
    SetWidth(kWidth);
}

TarqWeatherPanel::~TarqWeatherPanel() = default;

void TarqWeatherPanel::Create() {
    if (m_view) m_view->CreateWindow();
}

void TarqWeatherPanel::RunStationMenuCommand(int command, const std::string& station) {
    const std::string line = WeatherStore::MenuCommandLine(command, station);
    TarqDisplay* main = g_displayManager ? g_displayManager->GetMainDisplay() : nullptr;
    if (!line.empty() && main) main->RunMenuCommand(line);
}

void TarqWeatherPanel::Restore() { m_store.Restore(m_profile.GetListSetting("WxStations")); }

bool TarqWeatherPanel::IsConnected() const { return g_networkManager && g_networkManager->IsConnected(); }

void TarqWeatherPanel::RequestMETAR(const std::string& station) {
    if (g_networkManager) g_networkManager->RequestMETAR(station);
}

void TarqWeatherPanel::ShowError(const std::string& text) { ShowErrorLine(text); }

void TarqWeatherPanel::RebuildButtonBar() {
    if (g_displayManager) g_displayManager->RebuildMainButtonBar();
}

void TarqWeatherPanel::OnATISReportTime(const std::string& time) {
    if (g_atisMaker) g_atisMaker->OnReportTime(time);
}

void TarqWeatherPanel::ListRefreshed() {
    if (m_view) m_view->Refill();
}

// --- ATIS maker ---------------------------------------------------------------------

TarqATISMaker::TarqATISMaker(TarqProfile& profile, WeatherStore& weather)
    : m_profile(profile), m_weather(weather), m_maker(profile, weather, *this) {}

TarqATISMaker::~TarqATISMaker() = default;

void TarqATISMaker::SetVoiceServices(VoiceAtisServices* services) {
    m_voice.reset();
    if (services)
        m_voice = std::make_unique<VoiceAtis>(m_profile, m_maker, m_weather, *services, StartDirectory);
}

void TarqATISMaker::SendATISToDisplay() { ShowMessageLine(m_maker.GetStatusLine()); }

void TarqATISMaker::SetDialogRunner(std::function<void(TarqATISMaker&)> run) {
    DialogRunner() = std::move(run);
}

void TarqATISMaker::ShowDialog() {
    if (DialogRunner()) DialogRunner()(*this);
}

void TarqATISMaker::OpenHelp() {
    const std::string error = OpenHelpPage(AtisMakerHelpUrl(), ::OpenUrl);
    if (!error.empty()) ShowErrorLine(error);
}

void TarqATISMaker::SetConnectButtonUpdater(std::function<void()> update) {
    ConnectButtonUpdater() = std::move(update);
}

void TarqATISMaker::UpdateConnectButton() {
    if (ConnectButtonUpdater()) ConnectButtonUpdater()();
}

void TarqATISMaker::RefreshVoiceATIS() {
    if (m_voice) m_voice->RefreshVoiceATIS();
}

void TarqATISMaker::ShowError(const std::string& text) { ShowErrorLine(text); }

void TarqATISMaker::SetDialogRefresher(std::function<void()> refresh) { DialogRefresher() = std::move(refresh); }

void TarqATISMaker::AtisUpdated() {
    if (DialogRefresher()) DialogRefresher()();
}

int TarqATISMaker::SelectLetter(int index) {
    return m_maker.SelectLetter(index, m_voice && m_voice->IsOnAir());
}

// --- SELCAL panel -------------------------------------------------------------------

TarqSELCALPanel::TarqSELCALPanel() : m_codes(*this) { SetWidth(kWidth); }

TarqSELCALPanel::~TarqSELCALPanel() = default;

void TarqSELCALPanel::Create() {
    if (m_view) m_view->CreateWindow();
}

bool TarqSELCALPanel::IsValidATC() const { return g_networkManager && g_networkManager->IsValidATC(); }

bool TarqSELCALPanel::SendSELCAL(const std::string& code) {
    return g_networkManager && g_networkManager->SendSELCAL(code);
}

void TarqSELCALPanel::ShowError(const std::string& text) { ShowErrorLine(text); }

void TarqSELCALPanel::ShowMessage(const std::string& text) { ShowMessageLine(text); }

void TarqSELCALPanel::ListChanged() {
    if (m_view) m_view->Refill();
}

// --- text variable sources -------------------------------------------------------------

bool ShellTextVariableSources::GetAircraft(const std::string& callsign, Aircraft& out) const {
    const TarqAircraft* aircraft = g_aircraftDB ? g_aircraftDB->GetAircraft(callsign) : nullptr;
    if (!aircraft) return false;
    const TarqDisplayScope* scope = MainScope();
    const ScopePoint offset = scope ? scope->GetSectorOffset() : ScopePoint{};
    out.altitude = aircraft->GetAltitude();
    out.groundSpeed = aircraft->GetGroundSpeed();
    out.heading = aircraft->GetHeading();
    out.position = aircraft->GetPosition(offset.x, offset.y);
    return true;
}

TarqFlightPlanRecord ShellTextVariableSources::GetFlightPlan(const std::string& callsign) const {
    return g_aircraftDB ? g_aircraftDB->GetFlightPlan(callsign) : TarqFlightPlanRecord{};
}

uint16_t ShellTextVariableSources::GetAssignedSquawk(const std::string& callsign) const {
    return g_aircraftDB ? g_aircraftDB->GetAssignedSquawk(callsign) : 0;
}

uint16_t ShellTextVariableSources::GetBeaconCode(const std::string& callsign) const {
    return g_aircraftDB ? g_aircraftDB->GetReportedSquawk(callsign) : 0;
}

int ShellTextVariableSources::GetTemporaryAltitude(const std::string& callsign) const {
    return g_aircraftDB ? g_aircraftDB->GetTemporaryAltitude(callsign) : 0;
}

std::string ShellTextVariableSources::GetCallsignForPositionId(const std::string& positionId) const {
    return g_controllerDB ? g_controllerDB->GetCallsignForPositionId(positionId) : std::string();
}

bool ShellTextVariableSources::GetControllerFrequency(const std::string& callsign, int& kHz) const {
    const TarqController* controller = g_controllerDB ? g_controllerDB->GetController(callsign) : nullptr;
    if (!controller) return false;
    kHz = controller->GetFrequency();
    return true;
}

std::string ShellTextVariableSources::FindRadioName(const std::string& callsign, int frequency) const {
    return g_controllerDB ? g_controllerDB->FindRadioCallsign(callsign, frequency) : ToUpper(callsign);
}

int ShellTextVariableSources::GetPrimaryFrequency() const {
    return g_commsPanel ? g_commsPanel->GetPrimaryFrequency() : 0;
}

std::string ShellTextVariableSources::GetPrimaryVoiceChannel() const {
    return g_commsPanel ? g_commsPanel->Entries().GetPrimaryVoiceChannel() : std::string();
}

std::string ShellTextVariableSources::GetSelectedCallsign() const {
    return g_displayManager ? g_displayManager->GetSelectedCallsign() : std::string();
}

bool ShellTextVariableSources::FindNamedPoint(const std::string& name, ScopePoint& out) const {
    const TarqDisplayScope* scope = MainScope();
    return scope && scope->FindNamedPoint(name, out);
}

double ShellTextVariableSources::GetScopeRotation() const {
    const TarqDisplayScope* scope = MainScope();
    return scope ? scope->GetRotation() : 0;
}

std::string ShellTextVariableSources::GetCurrentLetter() const {
    return g_atisMaker ? g_atisMaker->GetCurrentLetter() : std::string();
}

// --- aliases ---------------------------------------------------------------------------

AliasTable& UserAliases() {
    static AliasTable table;
    return table;
}

bool LoadAliases(const std::string& path) { return UserAliases().LoadAliases(path); }

bool ExpandAliases(const std::string& in, std::string& out, const std::string& callsign) {
    if (!g_profile || !g_weatherPanel) return UserAliases().ExpandAliases(in, out, nullptr);
    static const ShellTextVariableSources sources;
    TextVariables variables(*g_profile, g_weatherPanel->Store(), sources, SystemClock::Instance());
    ScopedAliasContext context(variables, callsign);
    return UserAliases().ExpandAliases(in, out, &variables);
}
