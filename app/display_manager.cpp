// Tested by tests/app/display_manager_test.cpp.
#include "app/display_manager.h"

#include <algorithm>

#include "app/scope_cursor.h"

namespace {

constexpr int kThreeDMode = 6;
constexpr uint32_t kTickPeriodMs = 10;

}  // namespace

TarqDisplayManager::TarqDisplayManager(TarqDisplayFactory& factory, TarqFrameTimer::Post post,
                                       TarqFrameTimer::Schedule schedule, Hooks hooks)
    : m_factory(factory),
      m_post(std::move(post)),
      m_hooks(std::move(hooks)),
      m_mainThread(std::this_thread::get_id()),
      m_scopeCursor(kSystemCrossCursor),
      m_frameTimer(std::make_unique<TarqFrameTimer>(std::move(schedule))),
      m_self(std::make_shared<TarqDisplayManager*>(this)) {}

TarqDisplayManager::~TarqDisplayManager() {
    StopFrameTimer();
    *m_self = nullptr;
}

void TarqDisplayManager::StopFrameTimer() { m_frameTimer->Stop(); }

TarqDisplay* TarqDisplayManager::CreateDisplay(TarqDisplaySettings settings) {
    if (m_hooks.isOnMonitor && !m_hooks.isOnMonitor(settings.LocX + 15, settings.LocY + 15)) {
        settings.LocX = 15;
        settings.LocY = 15;
    }
    bool isMain = m_displays.empty();
    std::unique_ptr<TarqDisplay> display = m_factory.CreateDisplay(settings, isMain);
    if (!display) return nullptr;
    TarqDisplay* raw = display.get();
    WindowHandle window = raw->GetWindow();
    m_displays[window] = std::move(display);
    m_windowIds[window] = m_nextId;
    m_displaysById[m_nextId] = raw;
    ++m_nextId;
    raw->SetScopeCursor(m_scopeCursor);
    if (m_displays.size() == 1) {
        if (m_hooks.setSharedMainWindow) m_hooks.setSharedMainWindow(window);
        m_mainDisplay = raw;
        m_mainWindow = window;
        m_frameTimer->Start(kTickPeriodMs, [this] {
            if (m_mainDisplay && m_hooks.frameTick) m_hooks.frameTick();
        });
    }
    return raw;
}

TarqDisplay* TarqDisplayManager::NewWindow(const TarqDisplay& source) {
    TarqDisplaySettings settings = source.CaptureSettings();
    settings.LocX = 0;
    settings.LocY = 0;
    settings.Width = 640;
    settings.Height = 480;
    settings.VisibleSIDs.clear();
    settings.VisibleSTARs.clear();
    settings.VisibleFixes.clear();
    settings.VisibleVORs.clear();
    settings.VisibleNDBs.clear();
    settings.VisibleAirports.clear();
    settings.VisibleCenterlines.clear();
    settings.VisibleAirways.clear();
    settings.Minimized = false;
    settings.Maximized = false;
    return CreateDisplay(std::move(settings));
}

void TarqDisplayManager::RemoveDisplay(WindowHandle window) {
    auto it = m_displays.find(window);
    if (it == m_displays.end()) return;
    if (it->second.get() == m_mainDisplay) {
        m_mainDisplay = nullptr;
        m_mainWindow = nullptr;
    }
    auto id = m_windowIds.find(window);
    if (id != m_windowIds.end()) {
        m_displaysById.erase(id->second);
        m_windowIds.erase(id);
    }
    // Out of the maps first, so anything the window does while it goes finds
    // it gone.
    std::unique_ptr<TarqDisplay> display = std::move(it->second);
    m_displays.erase(it);
    display.reset();
}

void TarqDisplayManager::ScheduleClose(WindowHandle window) { m_pendingClose[window] = true; }

void TarqDisplayManager::CloseAll() {
    for (auto& entry : m_displays) ScheduleClose(entry.first);
}

void TarqDisplayManager::Reset() {
    m_pendingClose.clear();
    // Displays still open here (closed but not yet redrawn away) are deleted
    // properly, so the main display pointers never outlive their display.
    while (!m_displays.empty()) RemoveDisplay(m_displays.begin()->first);
    m_windowIds.clear();
    m_displaysById.clear();
    m_nextId = 1;
}

void TarqDisplayManager::RedrawAll(bool onlyThreeD) { Redraw(onlyThreeD, false); }

void TarqDisplayManager::RedrawChanged(bool onlyThreeD) { Redraw(onlyThreeD, true); }

void TarqDisplayManager::Redraw(bool onlyThreeD, bool onlyChanged) {
    if (!onlyThreeD) {
        std::map<WindowHandle, bool> pending;
        pending.swap(m_pendingClose);
        for (auto& entry : pending) RemoveDisplay(entry.first);
    }
    // A copy, because drawing may open a message box whose tick closes windows.
    std::vector<std::pair<TarqDisplay*, int>> order;  // display and its id
    for (auto& entry : m_displays) order.emplace_back(entry.second.get(), m_windowIds[entry.first]);
    for (auto& [display, id] : order) {
        if (GetDisplayById(id) != display) continue;  // removed meanwhile
        if (onlyThreeD && display->GetRadarMode() != kThreeDMode) continue;
        const int number = display == m_mainDisplay ? 1 : id;
        if (onlyChanged) display->RedrawIfChanged(number);
        else display->Redraw(false, number);
    }
}

std::string TarqDisplayManager::GetMainSectorFileName() const {
    return m_mainDisplay ? m_mainDisplay->GetSectorFileName() : std::string();
}

TarqDisplay* TarqDisplayManager::GetDisplayById(int id) const {
    auto it = m_displaysById.find(id);
    return it == m_displaysById.end() ? nullptr : it->second;
}

TarqDisplay* TarqDisplayManager::FindDisplay(WindowHandle window) const {
    auto it = m_displays.find(window);
    return it == m_displays.end() ? nullptr : it->second.get();
}

int TarqDisplayManager::GetDisplayNumber(WindowHandle window) const {
    auto it = m_windowIds.find(window);
    return it == m_windowIds.end() ? 0 : it->second;
}

TarqDisplay* TarqDisplayManager::GetActiveDisplay() const { return FindDisplay(m_activeWindow); }

void TarqDisplayManager::RebuildMainButtonBar() {
    if (m_mainDisplay) m_mainDisplay->RebuildButtonBar();
}

void TarqDisplayManager::RebuildAllMenus() {
    for (auto& entry : m_displays) entry.second->RebuildMenus();
}

void TarqDisplayManager::RefreshOceanicDialogs() {
    if (std::this_thread::get_id() != m_mainThread) {
        std::shared_ptr<TarqDisplayManager*> self = m_self;
        m_post([self] {
            if (*self) (*self)->RefreshOceanicDialogs();
        });
        return;
    }
    for (auto& entry : m_displays) entry.second->RefreshOceanicDialog();
}

void TarqDisplayManager::RefreshAllDisplays() {
    if (std::this_thread::get_id() != m_mainThread) {
        std::shared_ptr<TarqDisplayManager*> self = m_self;
        m_post([self] {
            if (*self) (*self)->RefreshAllDisplays();
        });
        return;
    }
    RefreshOceanicDialogs();
    RedrawAll(false);
}

void TarqDisplayManager::UpdateAllTitles() {
    for (auto& entry : m_displays) entry.second->UpdateTitle();
}

void TarqDisplayManager::CascadeDisplays() {
    if (m_mainDisplay) m_mainDisplay->SetPosition(0, 0);
    int offset = 50;
    for (auto& entry : m_displays) {
        if (entry.second.get() == m_mainDisplay) continue;
        entry.second->SetPosition(offset, offset);
        offset += 50;
    }
}

bool TarqDisplayManager::HasThreeDDisplay() const {
    return std::any_of(m_displays.begin(), m_displays.end(),
                       [](const auto& entry) { return entry.second->GetRadarMode() == kThreeDMode; });
}

void TarqDisplayManager::ReplaceColorProfile(const std::string& oldName, const std::string& newName) {
    for (auto& entry : m_displays) {
        if (entry.second->GetColorProfileName() == oldName) entry.second->SetColorProfile(newName);
    }
}

std::vector<TarqDisplaySettings> TarqDisplayManager::SaveLayout() {
    std::vector<TarqDisplaySettings> layout;
    if (m_mainDisplay) layout.push_back(m_mainDisplay->CaptureSettings());
    for (auto& [id, display] : m_displaysById) {
        if (display != m_mainDisplay) layout.push_back(display->CaptureSettings());
    }
    return layout;
}

void TarqDisplayManager::AddLine(RadioMessageKind kind, const std::string& text, bool errorSound) {
    if (std::this_thread::get_id() != m_mainThread) {
        std::shared_ptr<TarqDisplayManager*> self = m_self;
        m_post([self, kind, text, errorSound] {
            if (*self) (*self)->AddLine(kind, text, errorSound);
        });
        return;
    }
    if (!m_mainDisplay) return;
    if (errorSound && m_hooks.playErrorSound) m_hooks.playErrorSound();
    m_mainDisplay->AddRadioLine(kind, text);
}

void TarqDisplayManager::ShowError(const std::string& text) { AddLine(RadioMessageKind::Error, text, true); }

void TarqDisplayManager::ShowMessage(const std::string& text) {
    AddLine(RadioMessageKind::Information, text, false);
}

void TarqDisplayManager::ShowServerMessage(const std::string& text) {
    AddLine(RadioMessageKind::Server, text, false);
}

void TarqDisplayManager::ShowOverrideMessage(const std::string& sender, const std::string& text) {
    AddLine(RadioMessageKind::Override, sender + ": " + text, false);
}

void TarqDisplayManager::ApplySettings(bool useSystemCursor, int primaryFrequency,
                                       const std::string& ownSymbol) {
    int mode = m_mainDisplay ? m_mainDisplay->GetRadarMode() : 0;
    m_scopeCursor = ChooseScopeCursor(mode, useSystemCursor, primaryFrequency, ownSymbol);
    for (const auto& entry : m_displays) entry.second->SetScopeCursor(m_scopeCursor);
}

void TarqDisplayManager::SetSelectedCallsign(const std::string& callsign) {
    if (m_mainDisplay) m_mainDisplay->SetCallsignField(callsign);
    m_selectedCallsign = callsign;
    if (!callsign.empty() && m_hooks.showFlightPlanDetails) m_hooks.showFlightPlanDetails(callsign);
    if (m_hooks.repaintStrips) m_hooks.repaintStrips();
}
