// Tested by tests/app/chat_program_test.cpp.
#include "app/chat_windows.h"

#include "app/comms_windows.h"
#include "app/global_objects.h"
#include "comms/chat_manager.h"
#include "foundation/profile.h"
#include "foundation/sound_cues.h"
#include "foundation/start_directory.h"

bool ShellChatHost::GetBool(const std::string& key) const { return g_profile && g_profile->GetBool(key); }

std::string ShellChatHost::GetString(const std::string& key) const {
    return g_profile ? g_profile->GetString(key) : std::string();
}

bool ShellChatHost::IsKnownController(const std::string& callsign) const {
    return g_controllerDB && g_controllerDB->GetController(callsign);
}

bool ShellChatHost::GetControllerRealName(const std::string& callsign, std::string& name) const {
    const TarqController* controller = g_controllerDB ? g_controllerDB->GetController(callsign) : nullptr;
    if (!controller) return false;
    name = controller->GetRealName();
    return true;
}

bool ShellChatHost::GetPilotRealName(const std::string& callsign, std::string& name) const {
    const TarqAircraft* aircraft = g_aircraftDB ? g_aircraftDB->GetAircraft(callsign) : nullptr;
    if (!aircraft) return false;
    name = aircraft->GetRealName();
    return true;
}

std::string ShellChatHost::GetCallsignForPositionId(const std::string& id) const {
    return g_controllerDB ? g_controllerDB->GetCallsignForPositionId(id) : std::string();
}

void ShellChatHost::ShowServerMessage(const std::string& text) {
    if (g_displayManager) g_displayManager->ShowServerMessage(text);
}

void ShellChatHost::ShowOverrideMessage(const std::string& sender, const std::string& text) {
    if (g_displayManager) g_displayManager->ShowOverrideMessage(sender, text);
}

void ShellChatHost::ShowError(const std::string& text) {
    if (g_displayManager) g_displayManager->ShowError(text);
}

void ShellChatHost::ShowMessage(const std::string& text) {
    if (g_displayManager) g_displayManager->ShowMessage(text);
}

void ShellChatHost::RebuildAllMenus() {
    if (g_displayManager) g_displayManager->RebuildAllMenus();
}

void ShellChatHost::ActivateMainDisplay() {
    if (activateMainDisplay) activateMainDisplay();
}

std::string ShellChatHost::GetSelectedCallsign() const {
    return g_displayManager ? g_displayManager->GetSelectedCallsign() : std::string();
}

bool ShellChatHost::GetMainWindowCorner(int* x, int* y) const {
    return mainWindowCorner && mainWindowCorner(x, y);
}

bool ShellChatHost::IsPointOnMonitor(int x, int y) const { return !pointOnMonitor || pointOnMonitor(x, y); }

void ShellChatHost::SetUnreadFlag(const std::string& name) {
    if (g_controllerList) g_controllerList->Model().SetUnreadFlag(name);
}

void ShellChatHost::ClearUnreadFlag(const std::string& name) {
    if (g_controllerList) g_controllerList->Model().ClearUnreadFlag(name);
}

void ShellChatHost::ClearAllUnreadFlags() {
    if (g_controllerList) g_controllerList->Model().ClearAllUnreadFlags();
}

void ShellChatHost::AddChatGroup(const std::string& name) {
    if (g_controllerList) g_controllerList->Model().AddChatGroup(name);
}

void ShellChatHost::RemoveChatPartner(const std::string& name) {
    if (g_controllerList) g_controllerList->Model().RemoveChatPartner(name);
}

void ShellChatHost::RebuildControllerList() {
    if (g_controllerList) g_controllerList->Rebuild();
}

void ShellChatHost::PlaySound(const std::string& settingKey, bool interrupt) {
    if (g_profile) PlayConfiguredSound(g_profile->GetString(settingKey), interrupt);
}

bool ShellChatHost::IsConnected() const { return g_networkManager && g_networkManager->IsConnected(); }

void ShellChatHost::SendTextMessage(const std::string& to, const std::string& text) {
    if (g_networkManager) g_networkManager->SendTextMessage(to, text);
}

void ShellChatHost::RequestATIS(const std::string& callsign) {
    if (g_networkManager) g_networkManager->RequestATIS(callsign);
}

bool ShellChatHost::ExpandAliases(const std::string& in, std::string& out, const std::string& callsign) {
    return ::ExpandAliases(in, out, callsign);
}

std::string ShellChatHost::GetDataDirectory() const { return StartDirectory.empty() ? "." : StartDirectory; }

std::unique_ptr<ChatWindowView> ShellChatHost::CreateView(TarqChatWindow& window, int x, int y, int width,
                                                          int height) {
    return m_factory ? m_factory(window, x, y, width, height) : nullptr;
}

void ShellChatHost::PostLater(std::function<void()> job) {
    if (m_post) m_post(std::move(job));
}

void ShellChatForwarder::ForwardCommandLine(const std::string& line, const std::string& chatWindowName) {
    if (target) {
        target(line, chatWindowName);
        return;
    }
    if (!g_displayManager) return;
    const std::string word = line.substr(0, line.find(' '));
    g_displayManager->ShowError(word + ": command not available yet.");
}

void ShellNetChat::OnIncomingMessage(const std::string& sender, const std::string& text) {
    if (g_chatManager) g_chatManager->OnIncomingMessage(sender, text);
}

void ShellNetChat::RefreshChatTitle(const std::string& callsign) {
    if (g_chatManager) g_chatManager->RefreshWindowTitle(callsign);
}

ShellChatHost& ChatHostOfShell() {
    static ShellChatHost host;
    return host;
}

ShellChatForwarder& ChatForwarderOfShell() {
    static ShellChatForwarder forwarder;
    return forwarder;
}

ShellNetChat& NetChatOfShell() {
    static ShellNetChat chat;
    return chat;
}
