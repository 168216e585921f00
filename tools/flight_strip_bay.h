// TarqFlightStripBay: the flight strip bay without its window. It holds the
// strips and separators in one or two columns, adds, removes, moves, pushes
// and saves them, slides gaps shut over six frame ticks and holds back every
// request that arrives while a slide or a drag runs until the next quiet
// tick. It also keeps the window's view and input state (scroll, hover, the
// press-drag-drop machine, the context menu) and lays each frame out as data,
// so the window only binds a GL surface and its mouse to it.
// Tested by tests/tools/flight_strip_bay_test.cpp.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "atc/network_owners.h"
#include "foundation/session_services.h"
#include "foundation/tool_window.h"
#include "scope/draw_list.h"
#include "tools/flight_strip.h"

struct StripSlot {
    int key = 0;
    int column = 0;
    int position = 0;  // row in the column, 0 at the bottom
    int offset = 0;    // pixels added to position x 64 while sliding
    std::unique_ptr<TarqFlightStrip> strip;
    bool isSeparator = false;
};

// A request that arrived while the bay was busy. Removals wait in the same
// queue as additions, so a strip pushed and then taken back stays gone.
struct QueuedStrip {
    enum class Action { Add, Remove, DeleteSlot };
    int type = 1;
    std::string callsign;
    std::vector<std::string> annotations;
    Action action = Action::Add;
    int key = 0;
};

struct PendingSeparators {
    std::string labels;
    int column = 0;
};

enum class StripCursor { Arrow, Hand, Grab, IBeam };

// Command ids of the bay's context menu.
constexpr int kStripMenuDelete = 751;
constexpr int kStripMenuEditPlan = 752;
constexpr int kStripMenuFirstPush = 801;
constexpr int kStripMenuMaxPush = 100;

struct StripBayMenu {
    std::string title;
    bool separator = false;
    // The "Push To" entries, command kStripMenuFirstPush upward; none gives
    // the greyed "No Radar Controllers".
    std::vector<std::string> pushTargets;
};

// One painted frame of the bay as data; the GL side draws it in this order.
struct StripBayFrame {
    int width = 0;
    int height = 1;
    int scroll = 0;
    // Left edges of the 64-pixel rails, textured from y 0 to height - scroll.
    std::vector<int> rails;
    DrawList strips;  // every resting strip and the drop marker
    bool shadow = false;
    AnnotationBox shadowRect;
    DrawList lifted;  // the dragged or landing strip and the scroll arrows
};

struct StripModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// What the bay asks of the rest of the program.
class StripBayServices : public StripDrawSource {
public:
    virtual bool HasReceivedFlightPlan(const std::string& callsign) const = 0;
    virtual void RequestFlightPlan(const std::string& callsign) = 0;
    virtual void PushFlightStrip(const std::string& to, const std::string& callsign, int type,
                                 const std::vector<std::string>& annotations) = 0;
    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowMessage(const std::string& text) = 0;
    virtual void SetProfileModified() = 0;
    virtual bool GetBoolSetting(const std::string& key) const = 0;
    virtual bool IsValidATC() const = 0;
    virtual bool ControllerExists(const std::string& callsign) const = 0;
    // Callsigns ending in CTR, APP, DEP, TWR, GND, DEL or FSS, in order.
    virtual std::vector<std::string> ListRadarControllers() const = 0;
    // Opens the aircraft's plan in the flight plan editor; raise also shows
    // and activates the editor and then the main display.
    virtual void ShowFlightPlan(const std::string& callsign, bool raise) = 0;
    // A double click: select the aircraft, act on it, activate the main display.
    virtual void SelectAircraft(const std::string& callsign) = 0;
};

// The window side: repaint, cursor, the pop-up menu and the box editor.
class StripBayView {
public:
    virtual ~StripBayView() = default;
    virtual void CreateWindow() = 0;
    virtual void DestroyWindow() = 0;
    virtual void Repaint(bool relayout) = 0;
    virtual void SetCursor(StripCursor cursor) = 0;
    // The chosen command, 0 for none.
    virtual int TrackContextMenu(const StripBayMenu& menu) = 0;
    // Modal; true with the new text on OK.
    virtual bool EditAnnotation(std::string& text) = 0;
};

class TarqFlightStripBay : public TarqToolWindow, public TarqStripSeparators, public NetStripBay {
public:
    explicit TarqFlightStripBay(StripBayServices& services);
    ~TarqFlightStripBay() override;

    void SetView(StripBayView* view) { m_view = view; }

    // --- the model ----------------------------------------------------------------------
    void AddStrip(const std::string& callsign, int type,
                  const std::vector<std::string>& annotations) override;
    void AddStripForAircraft(const std::string& callsign) { AddStrip(callsign, 1, {}); }
    // Each "|"-separated label at the top of the column.
    void AddSeparator(const std::string& labels, int column);
    // The oldest strip of the callsign. While busy the removal is queued and
    // true means it will happen; false: no such strip.
    bool RemoveStrip(const std::string& callsign);
    // Queued like RemoveStrip while busy; false for an unknown key.
    bool DeleteSlot(int key);
    bool HasStrip(const std::string& callsign) const;
    void ClearStrips(bool alsoSeparators);
    // Sends the strip, or the first strip of the callsign, or a bare type 1.
    void PushStrip(const std::string& callsign, const std::string& toCallsign, const TarqFlightStrip* strip);
    // Lowest position first.
    std::vector<std::string> GetSeparatorLabels(int column) const;
    std::vector<std::string> GetSortedStrips(int column) const override { return GetSeparatorLabels(column); }
    void OnFrameTick();
    void InitFields();
    bool IsBusy() const { return m_animating || m_draggedKey != 0; }

    // --- the window's life ----------------------------------------------------------------
    void Create();
    void Close();
    void Paint(bool relayout = false);

    // --- view and input ---------------------------------------------------------------------
    void SetViewSize(int width, int height);
    int GetScrollOffset() const { return m_scroll; }
    // A point of the GL surface (y down from its top) in bay coordinates.
    void SurfaceToBay(int sx, int sy, int* bx, int* by) const;
    // A wheel turn: positive forward.
    void Scroll(int wheelDelta);
    void OnMouseMove(int bx, int by);
    void OnLButtonDown(int bx, int by, StripModifiers mods);
    void OnLButtonUp();
    void OnDoubleClick(StripModifiers mods);
    void OnRButtonDown(int bx, int by);
    // The context menu of the hovered slot; false when none is hovered.
    bool BuildContextMenu(StripBayMenu* menu) const;
    void OnMenuCommand(int key, int command, const StripBayMenu& menu);
    // The window width in client pixels for one or two columns.
    int GetSurfaceWidth() const;
    int GetBorder() const { return m_border; }
    StripCursor GetCursor() const { return m_cursor; }

    // Lays one frame out; the strips record where they went.
    void BuildFrame(StripBayFrame& frame);

    // --- state, for the window and tests ------------------------------------------------------
    const std::map<int, StripSlot>& Slots() const { return m_slots; }
    int GetHoveredKey() const { return m_hoveredKey; }
    int GetHitResult() const { return m_hitResult; }
    int GetDraggedKey() const { return m_draggedKey; }
    int GetLandingKey() const { return m_landingKey; }
    bool IsPressed() const { return m_pressed; }
    size_t QueuedCount() const { return m_queued.size() + m_pendingSeparators.size(); }

private:
    struct Target {
        int column = 0;
        int position = 0;
        int candidate = 0;
        int hit = 0;
        int box = 0;
    };
    int Count(int column) const;
    StripSlot* FindSlot(int key);
    void Erase(int key);
    void CloseGap(int column, int position, int except);
    void OpenGap(const StripSlot& dropped);
    void ClampScroll();
    Target FindTarget(int bx, int by) const;
    void UpdateHover(int bx, int by);
    void StartDrag();
    void ForgetMissingKeys();
    void DoRemove(int key);

    StripBayServices& m_services;
    StripBayView* m_view = nullptr;

    std::map<int, StripSlot> m_slots;
    int m_nextKey = 1;
    bool m_animating = false;
    int m_draggedKey = 0;
    int m_landingKey = 0;
    std::vector<PendingSeparators> m_pendingSeparators;
    std::vector<QueuedStrip> m_queued;
    int m_tickCounter = 0;

    StripCursor m_cursor = StripCursor::Arrow;
    int m_viewWidth = 0;
    int m_viewHeight = 1;
    int m_border = 3;
    int m_scroll = 0;
    int m_pointerX = 0;
    int m_pointerY = 0;
    int m_pressX = 0;
    int m_pressY = 0;
    bool m_pressed = false;
    bool m_copyDrag = false;
    int m_hoveredKey = 0;
    int m_hitResult = 0;
    int m_boxUnderPointer = 0;
    int m_editedKey = 0;
    int m_editedBox = 0;
    int m_dragX = 0;
    int m_dragY = 0;
    int m_grabX = 0;
    int m_grabY = 0;
};

// The 64 x 64 rail texture, RGB rows bottom-up: a shaded rod in the first
// 24 pixel columns, black beside it.
std::vector<uint8_t> StripRailTexture();
