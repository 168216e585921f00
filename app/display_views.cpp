// Tested through tests/app/program_test.cpp.
#include "app/display_views.h"

#include "app/controller_select.h"
#include "app/global_objects.h"
#include "foundation/profile.h"
#include "scope/display_scope.h"

TarqDisplayViews::TarqDisplayViews(TarqDisplayScope& scope, Redraw redraw, EchoOwn echo)
    : m_scope(scope),
      m_redraw(std::move(redraw)),
      m_echo(std::move(echo)),
      m_bookmarks(*g_profile, *this),
      m_queries(*this) {}

ScopePoint TarqDisplayViews::GetCenter() const { return m_scope.GetCenter(); }
void TarqDisplayViews::SetCenter(ScopePoint center) { m_scope.SetCenter(center); }
double TarqDisplayViews::GetZoom() const { return m_scope.GetZoom(); }
void TarqDisplayViews::SetZoom(double zoom) { m_scope.SetZoom(zoom); }
ScopePoint TarqDisplayViews::GetRangeRingCenter() const { return m_scope.GetRangeRingCenter(); }
void TarqDisplayViews::SetRangeRingCenter(ScopePoint center) { m_scope.SetRangeRingCenter(center); }
void TarqDisplayViews::AddOffset(ScopePoint& point) const { m_scope.AddOffset(point); }
void TarqDisplayViews::RemoveOffset(ScopePoint& point) const { m_scope.RemoveOffset(point); }

bool TarqDisplayViews::FindNamedPoint(const std::string& name, ScopePoint& point) const {
    return m_scope.FindNamedPoint(name, point);
}

bool TarqDisplayViews::FindAircraft(const std::string& callsign, TrafficParty& party) const {
    const TarqAircraft* aircraft = g_aircraftDB ? g_aircraftDB->GetAircraft(callsign) : nullptr;
    if (!aircraft) return false;
    party.callsign = aircraft->GetCallsign();
    // Named points are in the scope's degrees; the aircraft are absolute.
    party.position = aircraft->GetPosition(0.0, 0.0);
    m_scope.AddOffset(party.position);
    party.heading = aircraft->GetHeading();
    party.groundSpeed = aircraft->GetGroundSpeed();
    party.transponderMode = aircraft->GetTransponderMode();
    party.squawk = aircraft->GetSquawk();
    party.altitude = aircraft->GetAltitude();
    party.type = g_aircraftDB->GetFlightPlan(callsign).bareType;
    return true;
}

double TarqDisplayViews::GetRotation() const { return m_scope.GetRotation(); }
int TarqDisplayViews::GetTransLevel() const { return g_profile ? g_profile->GetInt("TransLevel") : 18000; }
bool TarqDisplayViews::IsVFRCode(uint16_t code) const { return g_profile && g_profile->IsVFRCode(code); }

void TarqDisplayViews::ShowError(const std::string& text) {
    if (g_displayManager) g_displayManager->ShowError(text);
}

void TarqDisplayViews::ShowMessage(const std::string& text) {
    if (g_displayManager) g_displayManager->ShowMessage(text);
}

void TarqDisplayViews::Transmit(const std::string& text) {
    if (g_networkManager) g_networkManager->SendRadioMessage(text);
    m_echo(text);
}

namespace {

class ProgramControllerSelect final : public ControllerSelectHost {
public:
    std::string GetCallsignForPositionId(const std::string& id) const override {
        return g_controllerDB ? g_controllerDB->GetCallsignForPositionId(id) : std::string();
    }
    // The controller list has no chat groups yet.
    std::string GetChatGroupName(int slot) const override {
        return g_controllerList ? g_controllerList->Model().GetChatGroupName(slot) : std::string();
    }
    void OpenChatWindow(const std::string& name) override {
        if (g_chatManager) g_chatManager->OpenChatWindow(name, "", true);
    }
    void ShowControllerInfo(const std::string& cs) override {
        if (g_controllerList) g_controllerList->ShowControllerInfo(cs);
    }
    void ShowError(const std::string& text) override {
        if (g_displayManager) g_displayManager->ShowError(text);
    }
};

}  // namespace

void SelectControllerInProgram(const std::string& text) {
    ProgramControllerSelect host;
    SelectControllerFromText(text.substr(0, 1023), host);
}
