// The flight strip record and its two kinds: the full strip of an aircraft
// with its nine annotation boxes, and the labelled separator. A strip lays
// itself out into a DrawList (no GL here) and remembers where it went, which
// the bay's hit test reads. Also the strip's text wrapping, the cuts of the
// route and remarks lines and the strip built from a push.
// Tested by tests/tools/flight_strip_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "atc/flight_plan_record.h"

class DrawList;

// The large and the small strip font.
constexpr int kStripLargeFont = 1;
constexpr int kStripSmallFont = 2;

// A strip is 551 x 64 pixels; the bay places them this far apart.
constexpr int kStripWidth = 551;
constexpr int kStripHeight = 64;
constexpr int kFullStripAnnotations = 9;

struct StripTextExtent {
    int width = 0;
    int height = 0;
};

// Left, top, right, bottom in bay coordinates (y upward, so top > bottom).
struct AnnotationBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const AnnotationBox&, const AnnotationBox&) = default;
};

// What a strip reads afresh at every draw.
class StripDrawSource {
public:
    virtual ~StripDrawSource() = default;
    // The default record (flight rules 'I', every text empty) when none is held.
    virtual TarqFlightPlanRecord GetFlightPlan(const std::string& callsign) const = 0;
    virtual int GetAircraftNumber(const std::string& callsign) const = 0;
    // 0 when none.
    virtual int GetAssignedSquawk(const std::string& callsign) const = 0;
    // Feet; 0 when none.
    virtual int GetTemporaryAltitude(const std::string& callsign) const = 0;
    virtual std::string GetScratchpad(const std::string& callsign) const = 0;
    virtual bool IsArrivalField(const std::string& airport) const = 0;
    virtual bool IsDepartureField(const std::string& airport) const = 0;
    // A 24-bit colour setting, red in the low byte.
    virtual int GetColorSetting(const std::string& key) const = 0;
    virtual std::string GetSelectedCallsign() const = 0;
    virtual StripTextExtent GetTextExtent(int font, const std::string& text) const = 0;
};

class TarqFlightStrip {
public:
    virtual ~TarqFlightStrip() = default;
    TarqFlightStrip(const TarqFlightStrip&) = delete;
    TarqFlightStrip& operator=(const TarqFlightStrip&) = delete;

    // Lays the strip out with its lower-left corner at bay point (x, y):
    // the background at depth z, the rest at z + 1. Records the strip's
    // rectangle and boxes.
    virtual void Draw(int x, int y, int z, DrawList& out, const StripDrawSource& source) = 0;
    virtual std::unique_ptr<TarqFlightStrip> Clone() const = 0;

    std::string GetCallsign() const { return m_callsign; }
    // Empty text for an index past the end.
    std::string GetAnnotation(size_t n) const;
    // Ignored for an index past the end.
    void SetAnnotation(size_t n, const std::string& text);
    std::vector<std::string> GetAnnotations() const { return m_annotations; }
    int GetType() const { return m_type; }
    const AnnotationBox& GetRect() const { return m_rect; }
    const std::vector<AnnotationBox>& GetBoxes() const { return m_boxes; }

    // 0 outside the strip, 1 on its body, 2 on annotation box *box. Every
    // edge is inside.
    int HitTest(int px, int py, int* box) const;

protected:
    TarqFlightStrip(std::string callsign, int type, size_t boxes);
    // Sets the rectangle of a strip drawn at (x, y).
    void PlaceAt(int x, int y);

    uint8_t m_outline[3] = {0, 0, 0};
    uint8_t m_text[3] = {0, 0, 0};
    uint8_t m_highlight[3] = {0, 0, 0};
    int m_type = 0;
    AnnotationBox m_rect;
    std::vector<AnnotationBox> m_boxes;
    std::string m_callsign;
    std::vector<std::string> m_annotations;
};

class TarqFlightStripTarq : public TarqFlightStrip {
public:
    // The callsign is kept in upper case.
    explicit TarqFlightStripTarq(const std::string& callsign);
    void Draw(int x, int y, int z, DrawList& out, const StripDrawSource& source) override;
    std::unique_ptr<TarqFlightStrip> Clone() const override;
    void SetAnnotations(const std::vector<std::string>& annotations) { m_annotations = annotations; }
};

// The label lives in annotation 0, so editing that box renames the separator.
class TarqFlightStripSeparator : public TarqFlightStrip {
public:
    explicit TarqFlightStripSeparator(const std::string& label);
    void Draw(int x, int y, int z, DrawList& out, const StripDrawSource& source) override;
    std::unique_ptr<TarqFlightStrip> Clone() const override;
};

// Words split at spaces and full stops, broken and joined into lines of at
// most lineWidth pixels at charWidth pixels a character.
std::vector<std::string> WrapText(const std::string& text, int charWidth, int lineWidth);
// The up to three route lines of a strip (a leading "+" dropped; the third
// cut with " ..." when more follow).
std::vector<std::string> StripRouteLines(const std::string& route);
// The one remarks line of a strip; empty for empty remarks.
std::string StripRemarksLine(const std::string& remarks);
// The cruise altitude in hundreds of feet: "35000" and "FL350" are both 350;
// text that is no number is 0.
int CruiseAltitudeHundreds(const std::string& text);
// The colour setting that fills a full strip with this plan.
std::string StripBackgroundSetting(const TarqFlightPlanRecord& plan, const StripDrawSource& source);

// A full strip from a pushed callsign, type and annotations. Annotations of
// types 0 and 1 fill the boxes in order (extra ones dropped); any other type
// stores none and sets *unknownType.
std::unique_ptr<TarqFlightStripTarq> StripFromPush(const std::string& callsign, int type,
                                                   const std::vector<std::string>& annotations,
                                                   bool* unknownType);
