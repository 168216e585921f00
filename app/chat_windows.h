// The chat manager as the program holds it: its host answered from the global
// objects, the network's text messages handed to it, and the chat windows'
// forwarded commands. The native windows come from the wx layer, which sets
// how a view is made and how a deletion is posted.
// Tested by tests/app/chat_program_test.cpp.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "atc/network_owners.h"
#include "comms/chat_commands.h"
#include "comms/chat_host.h"

class ShellChatHost final : public ChatHost {
public:
    using ViewFactory =
        std::function<std::unique_ptr<ChatWindowView>(TarqChatWindow& window, int x, int y, int w, int h)>;
    using Poster = std::function<void(std::function<void()>)>;

    void SetViewFactory(ViewFactory factory) { m_factory = std::move(factory); }
    void SetPoster(Poster post) { m_post = std::move(post); }

    bool GetBool(const std::string& key) const override;
    std::string GetString(const std::string& key) const override;
    bool IsKnownController(const std::string& callsign) const override;
    bool GetControllerRealName(const std::string& callsign, std::string& name) const override;
    bool GetPilotRealName(const std::string& callsign, std::string& name) const override;
    std::string GetCallsignForPositionId(const std::string& id) const override;
    void ShowServerMessage(const std::string& text) override;
    void ShowOverrideMessage(const std::string& sender, const std::string& text) override;
    void ShowError(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void RebuildAllMenus() override;
    void ActivateMainDisplay() override;
    std::string GetSelectedCallsign() const override;
    bool GetMainWindowCorner(int* x, int* y) const override;
    bool IsPointOnMonitor(int x, int y) const override;
    void SetUnreadFlag(const std::string& name) override;
    void ClearUnreadFlag(const std::string& name) override;
    void ClearAllUnreadFlags() override;
    void AddChatGroup(const std::string& name) override;
    void RemoveChatPartner(const std::string& name) override;
    void RebuildControllerList() override;
    void PlaySound(const std::string& settingKey, bool interrupt) override;
    bool IsConnected() const override;
    void SendTextMessage(const std::string& to, const std::string& text) override;
    void RequestATIS(const std::string& callsign) override;
    bool ExpandAliases(const std::string& in, std::string& out, const std::string& callsign) override;
    std::string GetDataDirectory() const override;
    std::unique_ptr<ChatWindowView> CreateView(TarqChatWindow& window, int x, int y, int width,
                                               int height) override;
    void PostLater(std::function<void()> job) override;

    // How the main display window is found on the screen (the wx layer).
    std::function<bool(int*, int*)> mainWindowCorner;
    std::function<bool(int, int)> pointOnMonitor;
    std::function<void()> activateMainDisplay;

private:
    ViewFactory m_factory;
    Poster m_post;
};

// Hands forwarded commands to the main display's command processor, which
// lives with the windows; without it a command says it is not available.
class ShellChatForwarder final : public ChatCommandForwarder {
public:
    void ForwardCommandLine(const std::string& line, const std::string& chatWindowName) override;
    std::function<void(const std::string& line, const std::string& chatWindowName)> target;
};

// The network's text messages and real-name replies for the chat manager.
class ShellNetChat final : public NetChat {
public:
    void OnIncomingMessage(const std::string& sender, const std::string& text) override;
    void RefreshChatTitle(const std::string& callsign) override;
};

ShellChatHost& ChatHostOfShell();
ShellChatForwarder& ChatForwarderOfShell();
ShellNetChat& NetChatOfShell();
