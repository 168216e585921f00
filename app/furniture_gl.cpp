// The GL side of the radio history and the button bar: each draws into the
// current context over its viewport with a one-unit-per-pixel projection;
// the main display draws both after its scope.
// GL is not linked here: the program links libGL, the offscreen tests OSMesa.
// Tested by tests/app/furniture_gl_test.cpp.
#include <GL/gl.h>

#include "app/button_kinds.h"
#include "app/display_button.h"
#include "app/display_button_bar.h"
#include "app/display_furniture.h"
#include "app/radio_history.h"
#include "platform/gl_font.h"
#include "platform/gl_text_batch.h"

namespace {

// Pixel-exact 2-D drawing over the viewport; undone by the destructor.
class Overlay2D {
public:
    Overlay2D() {
        glGetIntegerv(GL_VIEWPORT, m_viewport);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(m_viewport[0], m_viewport[2], m_viewport[1], m_viewport[3], -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glEnable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
    }
    ~Overlay2D() {
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    Overlay2D(const Overlay2D&) = delete;
    Overlay2D& operator=(const Overlay2D&) = delete;
    const GLint* Viewport() const { return m_viewport; }

private:
    GLint m_viewport[4] = {0, 0, 0, 0};
};

// The box outline as the display draws it: the top edge reaches one pixel
// past the right edge so the loop closes the corner.
void DrawOutline(int left, int top, int right, int bottom) {
    glBegin(GL_LINE_LOOP);
    glVertex2i(right + 1, top);
    glVertex2i(left, top);
    glVertex2i(left, bottom);
    glVertex2i(right, bottom);
    glEnd();
}

void FillRect(int left, int top, int right, int bottom) {
    glBegin(GL_QUADS);
    glVertex2i(left, bottom);
    glVertex2i(right, bottom);
    glVertex2i(right, top);
    glVertex2i(left, top);
    glEnd();
}

}  // namespace

void TarqDisplayRadioHistory::Draw(bool rewrap) {
    Overlay2D overlay;
    const GLint* viewport = overlay.Viewport();
    RadioHistoryFrame frame = Layout(viewport[0], viewport[1], viewport[2], viewport[3], rewrap);
    glColor4ub(kBackground.r, kBackground.g, kBackground.b, kBackgroundAlpha);
    FillRect(frame.left, frame.top, frame.right, frame.bottom);
    glColor3ub(frame.border.r, frame.border.g, frame.border.b);
    DrawOutline(frame.left, frame.top, frame.right, frame.bottom);
    const GlBitmapFont* font = m_host.GetFont(kFontId);
    if (!font) return;
    GlTextBatch text;
    text.CaptureTransform();
    for (const RadioHistoryFrame::Line& line : frame.lines) {
        const uint8_t rgba[4] = {line.color.r, line.color.g, line.color.b, 255};
        text.Text(*font, line.x, line.y, 0, rgba, line.text);
    }
    text.Flush();
}

void TarqDisplayButton::DrawBox() const {
    int top = m_y + (m_bar ? m_bar->GetHeight() : TarqDisplayButtonBar::kHeight);
    int right = m_x + m_width;
    glColor4ub(kFill[0], kFill[1], kFill[2], kFill[3]);
    FillRect(m_x, top, right, m_y);
    glColor3ub(kOutline[0], kOutline[1], kOutline[2]);
    DrawOutline(m_x, top, right, m_y);
}

void PaintButtonPicture(const TarqDisplayButton& button, const ButtonPicture& picture) {
    TarqDisplayButtonBar* bar = button.GetBar();
    // The texts wait for the shapes after them, so each lands over what was
    // drawn before it and under what comes after.
    GlTextBatch text;
    text.CaptureTransform();
    for (const ButtonShape& shape : picture.Shapes()) {
        const ButtonColor& c = shape.color;
        if (shape.kind != ButtonShape::Kind::Text) text.Flush();
        switch (shape.kind) {
            case ButtonShape::Kind::Box:
                button.DrawBox();
                break;
            case ButtonShape::Kind::Fill:
                glColor4ub(c.r, c.g, c.b, shape.alpha);
                FillRect(shape.left, shape.top, shape.right, shape.bottom);
                break;
            case ButtonShape::Kind::Loop:
                glColor3ub(c.r, c.g, c.b);
                DrawOutline(shape.left, shape.top, shape.right, shape.bottom);
                break;
            case ButtonShape::Kind::Line:
                glColor3ub(c.r, c.g, c.b);
                glBegin(GL_LINES);
                glVertex2i(shape.left, shape.bottom);
                glVertex2i(shape.right, shape.top);
                glEnd();
                break;
            case ButtonShape::Kind::Text: {
                // Characters the font lacks are skipped; a "%" is a "%".
                const GlBitmapFont* font = bar ? bar->GetFont(shape.font) : nullptr;
                const uint8_t rgba[4] = {c.r, c.g, c.b, 255};
                if (font) text.Text(*font, shape.left, shape.bottom, 0, rgba, shape.text);
                break;
            }
        }
    }
    text.Flush();
}

void TarqDisplayButtonBar::Draw() {
    Overlay2D overlay;
    const GLint* viewport = overlay.Viewport();
    LayOut(viewport[0], viewport[1], viewport[2], viewport[3]);
}

void TarqDisplayFurniture::Draw(int showMask, bool relayout) {
    if (showMask & kShowButtonBar) m_buttonBar.Draw();
    if (showMask & kShowRadioHistory)
        m_history.Draw(relayout);
    else if (relayout)
        m_history.RequestRewrap();  // a hidden box rewraps when it shows again
}
