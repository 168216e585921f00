// The main display's bookmarks and scope queries in the program: the view is
// its scope, the aircraft come from the aircraft database, the call-out goes
// out through the network manager and is echoed in the radio history.
// Tested through tests/app/program_test.cpp (the plain classes by
// tests/app/scope_queries_test.cpp).
#pragma once

#include <functional>
#include <string>

#include "app/scope_queries.h"

class TarqDisplayScope;

// The controller-select key on the command line's text, over the controller
// database, the chat manager and the controller list.
void SelectControllerInProgram(const std::string& text);

class TarqDisplayViews final : private BookmarkView, private ScopeQueryHost {
public:
    using Redraw = std::function<void()>;
    using EchoOwn = std::function<void(const std::string& text)>;

    TarqDisplayViews(TarqDisplayScope& scope, Redraw redraw, EchoOwn echo);

    TarqBookmarks& Bookmarks() { return m_bookmarks; }
    TarqScopeQueries& Queries() { return m_queries; }

private:
    // BookmarkView
    ScopePoint GetCenter() const override;
    void SetCenter(ScopePoint center) override;
    double GetZoom() const override;
    void SetZoom(double zoom) override;
    ScopePoint GetRangeRingCenter() const override;
    void SetRangeRingCenter(ScopePoint center) override;
    void AddOffset(ScopePoint& point) const override;
    void RemoveOffset(ScopePoint& point) const override;
    void RedrawWithRelayout() override { m_redraw(); }

    // ScopeQueryHost
    bool FindNamedPoint(const std::string& name, ScopePoint& point) const override;
    bool FindAircraft(const std::string& callsign, TrafficParty& party) const override;
    double GetRotation() const override;
    int GetTransLevel() const override;
    bool IsVFRCode(uint16_t code) const override;
    void ShowError(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void Transmit(const std::string& text) override;

    TarqDisplayScope& m_scope;
    Redraw m_redraw;
    EchoOwn m_echo;
    TarqBookmarks m_bookmarks;
    TarqScopeQueries m_queries;
};
