// Tested by tests/tools/flight_strip_test.cpp.
#include "tools/flight_strip.h"

#include <cctype>
#include <charconv>
#include <cstdio>

#include "foundation/geo_helpers.h"
#include "foundation/text_helpers.h"
#include "scope/draw_list.h"

namespace {

// Route and remarks wrap at the small font's 7-pixel advance into the
// 274 pixels between the route column and the annotation boxes.
constexpr int kCharWidth = 7;
constexpr int kLineWidth = 274;
const char* const kEllipsis = " ...";

// The leading integer of a text, as atoi reads it: 0 when there is none.
int LeadingInt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i < text.size() && text[i] == '+') ++i;
    int value = 0;
    const char* end = text.data() + text.size();
    std::from_chars_result r = std::from_chars(text.data() + i, end, value);
    return r.ec == std::errc() ? value : 0;
}

void Quad(DrawList& out, int left, int bottom, int right, int top, int z) {
    out.BeginTriangles();
    out.Vertex(left, bottom, z);
    out.Vertex(right, bottom, z);
    out.Vertex(right, top, z);
    out.Vertex(left, bottom, z);
    out.Vertex(right, top, z);
    out.Vertex(left, top, z);
    out.End();
}

void Frame(DrawList& out, const AnnotationBox& r, int z) {
    out.BeginLineLoop();
    out.Vertex(r.right, r.top, z);
    out.Vertex(r.left, r.top, z);
    out.Vertex(r.left, r.bottom, z);
    out.Vertex(r.right, r.bottom, z);
    out.End();
}

void Line(DrawList& out, int x0, int y0, int x1, int y1, int z) {
    out.Vertex(x0, y0, z);
    out.Vertex(x1, y1, z);
}

std::string Format(const char* format, int value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// Cuts a line that more text follows: from its last space on, or by
// appending or replacing the last four characters.
std::string CutLine(std::string line) {
    size_t space = line.rfind(' ');
    if (space != std::string::npos) return line.substr(0, space) + kEllipsis;
    if (line.size() < 35) return line + kEllipsis;
    return line.substr(0, line.size() - 4) + kEllipsis;
}

}  // namespace

// --- the record ------------------------------------------------------------------------------

TarqFlightStrip::TarqFlightStrip(std::string callsign, int type, size_t boxes)
    : m_type(type), m_boxes(boxes), m_callsign(std::move(callsign)), m_annotations(boxes) {}

std::string TarqFlightStrip::GetAnnotation(size_t n) const {
    return n < m_annotations.size() ? m_annotations[n] : std::string();
}

void TarqFlightStrip::SetAnnotation(size_t n, const std::string& text) {
    if (n < m_annotations.size()) m_annotations[n] = text;
}

int TarqFlightStrip::HitTest(int px, int py, int* box) const {
    if (px < m_rect.left || px > m_rect.right || py < m_rect.bottom || py > m_rect.top) return 0;
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        const AnnotationBox& b = m_boxes[i];
        if (b.left <= px && px <= b.right && b.bottom <= py && py <= b.top) {
            if (box) *box = static_cast<int>(i);
            return 2;
        }
    }
    return 1;
}

void TarqFlightStrip::PlaceAt(int x, int y) { m_rect = {x, y + kStripHeight - 1, x + kStripWidth - 1, y}; }

// --- the full strip --------------------------------------------------------------------------

TarqFlightStripTarq::TarqFlightStripTarq(const std::string& callsign)
    : TarqFlightStrip(ToUpper(callsign), 1, kFullStripAnnotations) {
    m_highlight[0] = 255;
}

std::unique_ptr<TarqFlightStrip> TarqFlightStripTarq::Clone() const {
    auto copy = std::make_unique<TarqFlightStripTarq>(m_callsign);
    copy->SetAnnotations(m_annotations);
    return copy;
}

void TarqFlightStripTarq::Draw(int x, int y, int z, DrawList& out, const StripDrawSource& source) {
    const TarqFlightPlanRecord plan = source.GetFlightPlan(m_callsign);
    PlaceAt(x, y);
    const int left = m_rect.left, right = m_rect.right, bottom = m_rect.bottom, top = m_rect.top;

    // Three columns of boxes at the right end, top row first.
    const int columns[3][2] = {{x + 452, x + 483}, {x + 485, x + 516}, {x + 518, right - 1}};
    const int rows[3][2] = {{y + 43, top - 1}, {y + 23, y + 41}, {y + 1, y + 20}};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            m_boxes[static_cast<size_t>(row * 3 + column)] = {columns[column][0], rows[row][1],
                                                              columns[column][1], rows[row][0]};
        }
    }

    out.SetColor(source.GetColorSetting(StripBackgroundSetting(plan, source)));
    Quad(out, left, bottom, right, top, z);

    const int over = z + 1;
    out.SetColor(m_outline);
    Frame(out, m_rect, over);
    out.BeginLines();
    for (int dx : {69, 118, 167, 451, 484, 517}) Line(out, x + dx, bottom, x + dx, top, over);
    for (int dy : {21, 42}) {
        Line(out, x + 69, y + dy, x + 118, y + dy, over);
        Line(out, x + 451, y + dy, right, y + dy, over);
    }
    out.End();

    out.SetColor(m_text);
    auto text = [&](int dx, int dy, const std::string& s) {
        if (!s.empty()) out.Text(kStripSmallFont, x + dx, y + dy, over, s);
    };
    const int rules = plan.flightRules > 0 && plan.flightRules < 256 ? plan.flightRules : ' ';
    char numberAndRules[32];
    std::snprintf(numberAndRules, sizeof numberAndRules, "%03d%4c", source.GetAircraftNumber(m_callsign),
                  rules);
    const std::string cruise = Format("%03d", CruiseAltitudeHundreds(plan.cruiseAltitude));
    const int temporary = source.GetTemporaryAltitude(m_callsign);

    text(5, 49, m_callsign);
    text(5, 28, plan.aircraftType);
    text(5, 7, numberAndRules);
    text(80, 49, Format("%04d", source.GetAssignedSquawk(m_callsign)));
    text(84, 28, temporary != 0 ? Format("%03d", temporary / 100) : cruise);
    text(84, 7, cruise);
    text(129, 49, plan.departure);
    text(129, 35, plan.destination);
    text(129, 21, plan.alternate);
    text(129, 7, source.GetScratchpad(m_callsign));
    const std::vector<std::string> route = StripRouteLines(plan.route);
    for (size_t i = 0; i < route.size(); ++i) text(171, 49 - 12 * static_cast<int>(i), route[i]);
    text(171, 7, StripRemarksLine(plan.remarks));

    for (size_t i = 0; i < m_boxes.size(); ++i) {
        const std::string& annotation = m_annotations[i];
        if (annotation.empty()) continue;
        const AnnotationBox& b = m_boxes[i];
        int rx = b.left + 2;
        if (annotation.size() < 4) {
            rx = b.left + (b.right - b.left - source.GetTextExtent(kStripSmallFont, annotation).width) / 2;
        }
        out.Text(kStripSmallFont, rx, b.bottom + 6, over, annotation);
    }

    if (m_callsign == source.GetSelectedCallsign()) {
        out.SetColor(m_highlight);
        out.BeginLineLoop();
        out.Vertex(right, top, over);
        out.Vertex(left, top, over);
        out.Vertex(left, bottom, over);
        out.Vertex(right, bottom, over);
        out.Vertex(right - 1, top - 1, over);
        out.Vertex(left + 1, top - 1, over);
        out.Vertex(left + 1, bottom + 1, over);
        out.Vertex(right - 1, bottom + 1, over);
        out.End();
    }
}

// --- the separator ---------------------------------------------------------------------------

TarqFlightStripSeparator::TarqFlightStripSeparator(const std::string& label) : TarqFlightStrip(label, 0, 1) {
    m_annotations[0] = label;
}

std::unique_ptr<TarqFlightStrip> TarqFlightStripSeparator::Clone() const {
    return std::make_unique<TarqFlightStripSeparator>(m_callsign);
}

void TarqFlightStripSeparator::Draw(int x, int y, int z, DrawList& out, const StripDrawSource& source) {
    m_callsign = m_annotations[0];
    PlaceAt(x, y);
    out.SetColor(source.GetColorSetting("ColorStripSeparators"));
    Quad(out, m_rect.left, m_rect.bottom, m_rect.right, m_rect.top, z);
    out.SetColor(m_outline);
    Frame(out, m_rect, z + 1);

    // Two spaces keep an empty label's box clickable.
    const std::string label = m_callsign.empty() ? "  " : m_callsign;
    const StripTextExtent extent = source.GetTextExtent(kStripLargeFont, label);
    const int rx = x + (kStripWidth - 1 - extent.width) / 2;
    const int ry = y + (kStripHeight - 1 - extent.height) / 2 + 6;
    out.SetColor(m_text);
    out.Text(kStripLargeFont, rx, ry, z + 1, label);
    m_boxes[0] = {rx, ry + extent.height, rx + extent.width, ry};
}

// --- texts -----------------------------------------------------------------------------------

std::vector<std::string> WrapText(const std::string& text, int charWidth, int lineWidth) {
    if (text.empty()) return {};
    std::string single;
    single.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        single += text[i];
        if (text[i] == ' ' && i + 1 < text.size() && text[i + 1] == ' ') ++i;
    }
    std::vector<std::string> words;
    std::string word;
    for (char c : single) {
        if (c == ' ' || c == '.') {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    if (words.empty()) return {single};

    const size_t width = static_cast<size_t>(charWidth == 0 ? 1 : charWidth);
    const size_t lineChars = static_cast<size_t>(lineWidth) / width;
    std::vector<std::string> pieces;
    for (const std::string& w : words) {
        if (w.size() * width > static_cast<size_t>(lineWidth) && lineChars > 0) {
            for (size_t at = 0; at < w.size(); at += lineChars) pieces.push_back(w.substr(at, lineChars));
        } else {
            pieces.push_back(w);
        }
    }
    std::vector<std::string> lines;
    std::string line = pieces[0];
    for (size_t i = 1; i < pieces.size(); ++i) {
        const size_t room = static_cast<size_t>(lineWidth) - line.size() * width;
        if (room < (pieces[i].size() + 1) * width) {
            lines.push_back(std::move(line));
            line = pieces[i];
        } else {
            line += ' ';
            line += pieces[i];
        }
    }
    lines.push_back(std::move(line));
    return lines;
}

std::vector<std::string> StripRouteLines(const std::string& route) {
    std::vector<std::string> lines =
        WrapText(!route.empty() && route[0] == '+' ? route.substr(1) : route, kCharWidth, kLineWidth);
    if (lines.size() > 3) {
        lines.resize(3);
        lines[2] = CutLine(lines[2]);
    }
    return lines;
}

std::string StripRemarksLine(const std::string& remarks) {
    std::vector<std::string> lines = WrapText(remarks, kCharWidth, kLineWidth);
    if (lines.empty()) return {};
    std::string first = lines[0];
    if (lines.size() > 1) {
        size_t space = first.rfind(' ');
        if (space != std::string::npos) first = first.substr(0, space) + kEllipsis;
    }
    return first;
}

int CruiseAltitudeHundreds(const std::string& text) {
    std::string trimmed = TrimBlanks(text);
    // Pilots file flight levels as often as feet; a level is already in hundreds.
    if (trimmed.size() > 2 && (trimmed[0] == 'F' || trimmed[0] == 'f') &&
        (trimmed[1] == 'L' || trimmed[1] == 'l')) {
        return LeadingInt(trimmed.substr(2));
    }
    return LeadingInt(trimmed) / 100;
}

std::string StripBackgroundSetting(const TarqFlightPlanRecord& plan, const StripDrawSource& source) {
    if (!plan.departure.empty() && plan.destination == plan.departure) return "ColorStripLocal";
    if (plan.flightRules != 'I') return "ColorStripVFR";
    if (source.IsArrivalField(plan.destination)) return "ColorStripArrivals";
    if (source.IsDepartureField(plan.departure)) return "ColorStripDepartures";
    return "ColorStripOverflights";
}

std::unique_ptr<TarqFlightStripTarq> StripFromPush(const std::string& callsign, int type,
                                                   const std::vector<std::string>& annotations,
                                                   bool* unknownType) {
    auto strip = std::make_unique<TarqFlightStripTarq>(callsign);
    if (unknownType) *unknownType = false;
    if (type == 0 || type == 1) {
        for (size_t i = 0; i < annotations.size() && i < kFullStripAnnotations; ++i) {
            strip->SetAnnotation(i, annotations[i]);
        }
    } else if (unknownType) {
        *unknownType = true;
    }
    return strip;
}
