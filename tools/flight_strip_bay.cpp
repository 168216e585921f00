// Tested by tests/tools/flight_strip_bay_test.cpp.
#include "tools/flight_strip_bay.h"

#include <algorithm>

#include "foundation/text_helpers.h"

namespace {

// A slide moves this many pixels a tick: 64 pixels take six ticks.
constexpr int kSlideStep = 12;
constexpr int kWheelStep = 15;
// About once a second the bay repaints, so strips follow plan and state changes.
constexpr int kRepaintTicks = 100;

constexpr uint8_t kMarkerColor[3] = {0, 0, 255};

}  // namespace

TarqFlightStripBay::TarqFlightStripBay(StripBayServices& services) : m_services(services) {}

TarqFlightStripBay::~TarqFlightStripBay() = default;

// --- the model -------------------------------------------------------------------------------

int TarqFlightStripBay::Count(int column) const {
    int n = 0;
    for (const auto& [key, slot] : m_slots) {
        if (slot.column == column && key != m_draggedKey) ++n;
    }
    return n;
}

StripSlot* TarqFlightStripBay::FindSlot(int key) {
    auto it = m_slots.find(key);
    return it == m_slots.end() ? nullptr : &it->second;
}

void TarqFlightStripBay::AddStrip(const std::string& callsign, int type,
                                  const std::vector<std::string>& annotations) {
    if (IsBusy()) {
        m_queued.push_back({type, callsign, annotations, QueuedStrip::Action::Add, 0});
        return;
    }
    const int key = m_nextKey++;
    bool unknownType = false;
    std::unique_ptr<TarqFlightStrip> strip = StripFromPush(callsign, type, annotations, &unknownType);
    if (unknownType) {
        m_services.ShowError("Unknown flight strip type received in push. Annotations may have been lost.");
    }
    const int position = Count(0);
    if (!m_services.HasReceivedFlightPlan(strip->GetCallsign()))
        m_services.RequestFlightPlan(strip->GetCallsign());
    m_slots[key] = StripSlot{key, 0, position, 0, std::move(strip), false};
    Paint();
}

void TarqFlightStripBay::AddSeparator(const std::string& labels, int column) {
    if (column != 1) column = 0;
    if (IsBusy()) {
        m_pendingSeparators.push_back({labels, column});
        return;
    }
    std::vector<std::string> pieces;
    SplitString(labels, pieces, 0, "|");
    for (const std::string& label : pieces) {
        if (label.empty()) continue;
        const int key = m_nextKey++;
        const int position = Count(column);
        m_slots[key] =
            StripSlot{key, column, position, 0, std::make_unique<TarqFlightStripSeparator>(label), true};
    }
    m_services.SetProfileModified();
    Paint();
}

bool TarqFlightStripBay::RemoveStrip(const std::string& callsign) {
    const std::string wanted = ToUpper(callsign);
    if (IsBusy()) {
        // Whether a strip of the callsign will be there when the queue runs.
        int held = 0;
        for (const auto& [key, slot] : m_slots) {
            if (!slot.isSeparator && slot.strip->GetCallsign() == wanted) ++held;
        }
        for (const QueuedStrip& q : m_queued) {
            if (q.action == QueuedStrip::Action::Add && ToUpper(q.callsign) == wanted) ++held;
            if (q.action == QueuedStrip::Action::Remove && q.callsign == wanted) --held;
        }
        if (held <= 0) return false;
        m_queued.push_back({1, wanted, {}, QueuedStrip::Action::Remove, 0});
        return true;
    }
    for (const auto& [key, slot] : m_slots) {
        if (!slot.isSeparator && slot.strip->GetCallsign() == wanted) {
            DoRemove(key);
            return true;
        }
    }
    return false;
}

bool TarqFlightStripBay::DeleteSlot(int key) {
    if (!m_slots.count(key)) return false;
    if (IsBusy()) {
        m_queued.push_back({1, "", {}, QueuedStrip::Action::DeleteSlot, key});
        return true;
    }
    DoRemove(key);
    return true;
}

void TarqFlightStripBay::DoRemove(int key) {
    StripSlot* slot = FindSlot(key);
    if (!slot) return;
    const int column = slot->column;
    const int position = slot->position;
    Erase(key);
    CloseGap(column, position, 0);
    ClampScroll();
    Paint();
}

void TarqFlightStripBay::Erase(int key) {
    m_slots.erase(key);
    ForgetMissingKeys();
}

// Keys of the window state that name a slot no longer there are dropped, so
// nothing reaches a deleted strip.
void TarqFlightStripBay::ForgetMissingKeys() {
    for (int* key : {&m_draggedKey, &m_landingKey, &m_hoveredKey, &m_editedKey}) {
        if (*key != 0 && !m_slots.count(*key)) *key = 0;
    }
    if (m_hoveredKey == 0) {
        m_hitResult = 0;
        m_pressed = false;
    }
}

bool TarqFlightStripBay::HasStrip(const std::string& callsign) const {
    for (const auto& [key, slot] : m_slots) {
        if (!slot.isSeparator && slot.strip->GetCallsign() == callsign) return true;
    }
    return false;
}

void TarqFlightStripBay::CloseGap(int column, int position, int except) {
    for (auto& [key, slot] : m_slots) {
        if (key == except || key == m_draggedKey || slot.column != column || slot.position <= position)
            continue;
        --slot.position;
        slot.offset += kStripHeight;
        m_animating = true;
    }
}

void TarqFlightStripBay::OpenGap(const StripSlot& dropped) {
    for (auto& [key, slot] : m_slots) {
        if (key == dropped.key || slot.column != dropped.column || slot.position < dropped.position) continue;
        ++slot.position;
        slot.offset -= kStripHeight;
        m_animating = true;
    }
}

void TarqFlightStripBay::ClearStrips(bool alsoSeparators) {
    if (alsoSeparators) {
        m_slots.clear();
    } else {
        for (auto it = m_slots.begin(); it != m_slots.end();) {
            it = it->second.isSeparator ? std::next(it) : m_slots.erase(it);
        }
        for (int column = 0; column < 2; ++column) {
            std::vector<StripSlot*> left;
            for (auto& [key, slot] : m_slots) {
                if (slot.column == column) left.push_back(&slot);
            }
            std::stable_sort(left.begin(), left.end(), [](const StripSlot* a, const StripSlot* b) {
                return a->position < b->position;
            });
            for (size_t i = 0; i < left.size(); ++i) left[i]->position = static_cast<int>(i);
        }
    }
    ForgetMissingKeys();
    ClampScroll();
    Paint();
}

void TarqFlightStripBay::PushStrip(const std::string& callsign, const std::string& toCallsign,
                                   const TarqFlightStrip* strip) {
    const std::string aircraft = ToUpper(callsign);
    const std::string to = ToUpper(toCallsign);
    if (!strip) {
        for (const auto& [key, slot] : m_slots) {
            if (!slot.isSeparator && slot.strip->GetCallsign() == aircraft) {
                strip = slot.strip.get();
                break;
            }
        }
    }
    if (strip) {
        m_services.PushFlightStrip(to, strip->GetCallsign(), strip->GetType(), strip->GetAnnotations());
    } else {
        m_services.PushFlightStrip(to, aircraft, 1, {});
    }
}

std::vector<std::string> TarqFlightStripBay::GetSeparatorLabels(int column) const {
    std::vector<const StripSlot*> separators;
    for (const auto& [key, slot] : m_slots) {
        if (slot.isSeparator && slot.column == column) separators.push_back(&slot);
    }
    std::stable_sort(separators.begin(), separators.end(),
                     [](const StripSlot* a, const StripSlot* b) { return a->position < b->position; });
    std::vector<std::string> labels;
    for (const StripSlot* slot : separators) labels.push_back(slot->strip->GetCallsign());
    return labels;
}

void TarqFlightStripBay::OnFrameTick() {
    if (++m_tickCounter >= kRepaintTicks) {
        m_tickCounter = 0;
        Paint();
    }
    if (m_animating) {
        m_animating = false;
        bool stepped = false;
        for (auto& [key, slot] : m_slots) {
            if (slot.offset == 0) continue;
            if (std::abs(slot.offset) < kSlideStep) {
                slot.offset = 0;
            } else {
                slot.offset += slot.offset > 0 ? -kSlideStep : kSlideStep;
            }
            stepped = true;
            if (slot.offset != 0) m_animating = true;
        }
        if (!m_animating) m_landingKey = 0;
        if (stepped) Paint();
        return;
    }
    m_landingKey = 0;
    if (m_draggedKey != 0) return;

    std::vector<PendingSeparators> separators;
    separators.swap(m_pendingSeparators);
    for (const PendingSeparators& p : separators) AddSeparator(p.labels, p.column);

    // Taken out first: a removal that starts a slide queues what follows it again.
    std::vector<QueuedStrip> queued;
    queued.swap(m_queued);
    for (QueuedStrip& q : queued) {
        switch (q.action) {
            case QueuedStrip::Action::Add:
                AddStrip(q.callsign, q.type, q.annotations);
                break;
            case QueuedStrip::Action::Remove:
                RemoveStrip(q.callsign);
                break;
            case QueuedStrip::Action::DeleteSlot:
                DeleteSlot(q.key);
                break;
        }
    }
}

void TarqFlightStripBay::InitFields() {
    m_nextKey = 1;
    m_animating = false;
    m_draggedKey = 0;
    m_landingKey = 0;
    m_hoveredKey = 0;
    m_hitResult = 0;
    m_pressed = false;
    m_copyDrag = false;
    m_editedKey = 0;
    m_scroll = 0;
    m_border = 3;
}

// --- the window's life -----------------------------------------------------------------------

void TarqFlightStripBay::Create() {
    if (m_view) m_view->CreateWindow();
}

void TarqFlightStripBay::Close() {
    ClearStrips(true);
    // What waited for a quiet tick belongs to the session that ends.
    m_queued.clear();
    m_pendingSeparators.clear();
    if (m_view) m_view->DestroyWindow();
}

void TarqFlightStripBay::Paint(bool relayout) {
    if (m_view) m_view->Repaint(relayout);
}

// --- view and input --------------------------------------------------------------------------

void TarqFlightStripBay::SetViewSize(int width, int height) {
    m_viewWidth = width;
    m_viewHeight = std::max(height, 1);
}

int TarqFlightStripBay::GetSurfaceWidth() const {
    return m_services.GetBoolSetting("StripBayTwoCols") ? 2 * kStripWidth : kStripWidth;
}

void TarqFlightStripBay::SurfaceToBay(int sx, int sy, int* bx, int* by) const {
    *bx = sx;
    *by = m_viewHeight - sy - m_scroll;
}

void TarqFlightStripBay::ClampScroll() {
    const int rows = std::max(Count(0), Count(1)) * kStripHeight;
    const int h = m_viewHeight;
    if (rows >= h) {
        if (h - m_scroll > rows) m_scroll = h - rows;
    } else if (m_scroll < 0) {
        m_scroll = 0;
    }
}

void TarqFlightStripBay::Scroll(int wheelDelta) {
    m_scroll += wheelDelta > 0 ? -kWheelStep : kWheelStep;
    m_scroll = std::min(m_scroll, 0);
    ClampScroll();
    Paint(true);
}

TarqFlightStripBay::Target TarqFlightStripBay::FindTarget(int bx, int by) const {
    Target t;
    t.column = bx > kStripWidth + m_border ? 1 : 0;
    const int n = Count(t.column);
    const int left = t.column * kStripWidth;
    // Rows share their edges; the lower row wins, as the first match upward.
    const int row = by <= 0 ? 0 : (by - 1) / kStripHeight;
    // Above the top row is the top of the column, below the bottom its foot.
    t.position = by < 0 ? 0 : std::min(row, n);
    if (left <= bx && bx <= left + kStripWidth && by >= 0 && row < n) {
        for (const auto& [key, slot] : m_slots) {
            if (key == m_draggedKey || slot.column != t.column || slot.position != row) continue;
            t.candidate = key;
            t.hit = slot.strip->HitTest(bx, by, &t.box);
            break;
        }
    }
    return t;
}

void TarqFlightStripBay::UpdateHover(int bx, int by) {
    const Target t = FindTarget(bx, by);
    m_hitResult = t.hit;
    m_hoveredKey = t.hit != 0 ? t.candidate : 0;
    m_boxUnderPointer = t.box;
    m_cursor = t.hit == 1 ? StripCursor::Hand : t.hit == 2 ? StripCursor::IBeam : StripCursor::Arrow;
    if (m_view) m_view->SetCursor(m_cursor);
}

void TarqFlightStripBay::StartDrag() {
    StripSlot* hovered = FindSlot(m_hoveredKey);
    if (!hovered) return;
    m_dragX = hovered->column * kStripWidth;
    m_dragY = hovered->position * kStripHeight;
    if (m_copyDrag) {
        const int key = m_nextKey++;
        const int position = Count(0);
        m_slots[key] = StripSlot{key, 0, position, 0, hovered->strip->Clone(), hovered->isSeparator};
        m_draggedKey = key;
    } else {
        m_draggedKey = hovered->key;
        CloseGap(hovered->column, hovered->position, hovered->key);
    }
    m_grabX = m_pressX - m_dragX;
    m_grabY = m_pressY - m_dragY;
    m_pressed = false;
}

void TarqFlightStripBay::OnMouseMove(int bx, int by) {
    m_pointerX = bx;
    m_pointerY = by;
    if (m_pressed && m_hoveredKey != 0) {
        if (bx == m_pressX && by == m_pressY) return;
        StartDrag();
    }
    if (m_draggedKey == 0) {
        UpdateHover(bx, by);
        return;
    }
    const Target t = FindTarget(bx, by);
    m_dragX = bx - m_grabX;
    m_dragY = by - m_grabY;
    m_cursor = StripCursor::Grab;
    if (m_view) m_view->SetCursor(m_cursor);
    if (StripSlot* dragged = FindSlot(m_draggedKey)) {
        dragged->column = t.column;
        dragged->position = t.position;
    }
    Paint();
}

void TarqFlightStripBay::OnLButtonDown(int bx, int by, StripModifiers mods) {
    m_pointerX = bx;
    m_pointerY = by;
    if (mods.alt) {
        if (IsBusy()) return;
        UpdateHover(bx, by);
        StripSlot* slot = FindSlot(m_hoveredKey);
        if (!slot) return;
        if (slot->isSeparator) m_services.SetProfileModified();
        DoRemove(slot->key);
        return;
    }
    if (mods.ctrl) {
        StripSlot* slot = FindSlot(m_hoveredKey);
        if (slot && !slot->isSeparator) m_services.ShowFlightPlan(slot->strip->GetCallsign(), false);
        return;
    }
    if (m_hitResult == 2) {
        StripSlot* slot = FindSlot(m_hoveredKey);
        if (!slot) return;
        m_editedKey = slot->key;
        m_editedBox = m_boxUnderPointer;
        std::string text = slot->strip->GetAnnotation(static_cast<size_t>(m_editedBox));
        if (!m_view || !m_view->EditAnnotation(text)) return;
        // Ticks run while the editor is open: the slot may have gone.
        if (StripSlot* edited = FindSlot(m_editedKey)) {
            edited->strip->SetAnnotation(static_cast<size_t>(m_editedBox), text.substr(0, 1023));
        }
        Paint();
    } else if (m_hitResult == 1) {
        if (IsBusy()) return;
        UpdateHover(bx, by);
        if (m_hoveredKey == 0) return;
        m_pressed = true;
        m_pressX = bx;
        m_pressY = by;
        m_copyDrag = mods.shift;
    }
}

void TarqFlightStripBay::OnLButtonUp() {
    if (m_draggedKey != 0) {
        if (StripSlot* dragged = FindSlot(m_draggedKey)) {
            OpenGap(*dragged);
            if (m_animating) m_landingKey = m_draggedKey;
        }
        m_draggedKey = 0;
    }
    m_pressed = false;
    UpdateHover(m_pointerX, m_pointerY);
    Paint();
}

void TarqFlightStripBay::OnDoubleClick(StripModifiers mods) {
    if (mods.alt || m_animating) return;
    StripSlot* slot = FindSlot(m_hoveredKey);
    if (slot && !slot->isSeparator) m_services.SelectAircraft(slot->strip->GetCallsign());
}

void TarqFlightStripBay::OnRButtonDown(int bx, int by) {
    if (IsBusy()) return;
    m_pointerX = bx;
    m_pointerY = by;
    UpdateHover(bx, by);
    StripBayMenu menu;
    if (!BuildContextMenu(&menu) || !m_view) return;
    // Ticks run while the menu is open; the key stays valid, the slot may not.
    const int key = m_hoveredKey;
    const int command = m_view->TrackContextMenu(menu);
    if (command != 0) OnMenuCommand(key, command, menu);
}

bool TarqFlightStripBay::BuildContextMenu(StripBayMenu* menu) const {
    auto it = m_slots.find(m_hoveredKey);
    if (it == m_slots.end()) return false;
    menu->title = it->second.strip->GetCallsign();
    menu->separator = it->second.isSeparator;
    menu->pushTargets.clear();
    if (!menu->separator) {
        menu->pushTargets = m_services.ListRadarControllers();
        if (menu->pushTargets.size() > kStripMenuMaxPush) menu->pushTargets.resize(kStripMenuMaxPush);
    }
    return true;
}

void TarqFlightStripBay::OnMenuCommand(int key, int command, const StripBayMenu& menu) {
    StripSlot* slot = FindSlot(key);
    if (!slot) return;
    const std::string callsign = slot->strip->GetCallsign();
    if (command >= kStripMenuFirstPush && command < kStripMenuFirstPush + kStripMenuMaxPush) {
        const size_t index = static_cast<size_t>(command - kStripMenuFirstPush);
        if (menu.separator || index >= menu.pushTargets.size()) return;
        if (!m_services.IsValidATC()) {
            m_services.ShowError("Observers cannot push flight strips.");
            return;
        }
        const std::string& to = menu.pushTargets[index];
        if (!m_services.ControllerExists(to)) return;
        PushStrip(callsign, to, slot->strip.get());
        m_services.ShowMessage("Flight strip for " + callsign + " pushed to " + to + ".");
        if (m_services.GetBoolSetting("DelPushedStrips")) DeleteSlot(key);
    } else if (command == kStripMenuDelete) {
        DeleteSlot(key);
    } else if (command == kStripMenuEditPlan && !menu.separator) {
        m_services.ShowFlightPlan(callsign, true);
    }
}

void TarqFlightStripBay::BuildFrame(StripBayFrame& frame) {
    const bool twoColumns = m_services.GetBoolSetting("StripBayTwoCols");
    frame.width = m_viewWidth;
    frame.height = m_viewHeight;
    frame.scroll = m_scroll;
    frame.rails = {78, 449};
    if (twoColumns) frame.rails.insert(frame.rails.end(), {629, 1000});
    frame.strips.Clear();
    frame.lifted.Clear();
    frame.shadow = false;

    int counts[2] = {0, 0};
    for (auto& [key, slot] : m_slots) {
        if (key == m_draggedKey || key == m_landingKey) continue;
        ++counts[slot.column & 1];
        // Strips out of view are not laid out: the pointer reaches only the
        // ones in view, whose rectangles are fresh.
        const int y = slot.position * kStripHeight + slot.offset;
        if (y + kStripHeight <= -m_scroll || y >= m_viewHeight - m_scroll) continue;
        slot.strip->Draw(slot.column * kStripWidth, y, -4, frame.strips, m_services);
    }
    if (StripSlot* dragged = FindSlot(m_draggedKey)) {
        const int y = dragged->position * kStripHeight;
        const int x = dragged->column * kStripWidth;
        frame.strips.SetColor(kMarkerColor);
        frame.strips.BeginLines();
        for (int dy : {0, 1}) {
            frame.strips.Vertex(x + 1, y + dy, -2);
            frame.strips.Vertex(x + kStripWidth - 1, y + dy, -2);
        }
        frame.strips.End();
    }
    StripSlot* lifted = FindSlot(m_landingKey != 0 ? m_landingKey : m_draggedKey);
    if (lifted) {
        frame.shadow = true;
        frame.shadowRect = {m_dragX + 10, m_dragY + 54, m_dragX + 561, m_dragY - 10};
        lifted->strip->Draw(m_dragX, m_dragY, -1, frame.lifted, m_services);
    }

    const int rows = std::max(counts[0], counts[1]) * kStripHeight;
    const int h = m_viewHeight;
    if (rows > h) {
        const int x = twoColumns ? kStripWidth : kStripWidth - 20;
        const int s = m_scroll;
        frame.lifted.SetColor(kMarkerColor);
        frame.lifted.BeginTriangles();
        if (s < 0) {
            frame.lifted.Vertex(x, 1 - s, -2);
            frame.lifted.Vertex(x - 10, 16 - s, -2);
            frame.lifted.Vertex(x + 10, 16 - s, -2);
        }
        if (h - s < rows) {
            frame.lifted.Vertex(x, h - s + 1, -2);
            frame.lifted.Vertex(x - 10, h - s - 14, -2);
            frame.lifted.Vertex(x + 10, h - s - 14, -2);
        }
        frame.lifted.End();
    }
}

std::vector<uint8_t> StripRailTexture() {
    // The rod's shading, left to right, in R, G, B.
    static const uint8_t kRod[24][3] = {
        {49, 53, 65},    {62, 58, 73},    {110, 102, 117}, {203, 193, 202}, {251, 251, 255}, {227, 247, 255},
        {119, 145, 158}, {67, 80, 96},    {62, 68, 80},    {56, 57, 59},    {53, 52, 50},    {56, 47, 52},
        {51, 44, 51},    {47, 47, 49},    {46, 50, 53},    {56, 63, 71},    {71, 75, 87},    {136, 135, 153},
        {203, 205, 226}, {191, 202, 224}, {126, 147, 166}, {75, 104, 120},  {45, 75, 86},    {38, 58, 69}};
    constexpr int kSize = 64;
    std::vector<uint8_t> pixels(kSize * kSize * 3, 0);
    for (int row = 0; row < kSize; ++row) {
        for (int column = 0; column < 24; ++column) {
            uint8_t* p = &pixels[static_cast<size_t>((row * kSize + column) * 3)];
            p[0] = kRod[column][0];
            p[1] = kRod[column][1];
            p[2] = kRod[column][2];
        }
    }
    return pixels;
}
