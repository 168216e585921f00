// TarqTargetBuilder3D: radar mode 6, the 3-D view. Draws in the 3-D scene
// with the camera applied, in world coordinates (x as the scene maps the
// map's x around the camera, y = altitude in degrees, z = minus the scope's
// y): a small aircraft model turned to its attitude, a separation cylinder,
// a one-line data block above the model that cycles through its three
// contents every 4 s, and a drop line to the terrain. No history, no leader.
// The model is compiled once into a display list of the display's context.
// Tested by tests/scope/target_builder_3d_test.cpp.
#pragma once

#include <string>

#include "platform/gl_text_batch.h"
#include "scope/target_builder.h"

class GlContextResources;

class TarqTargetBuilder3D : public TarqTargetBuilder {
public:
    // Compiles the model into a list of the display's context; without the
    // display's context resources the model is drawn at once every time.
    explicit TarqTargetBuilder3D(TarqTargetManager* owner);
    ~TarqTargetBuilder3D() override;
    // Always the empty rectangle: the 3-D data block takes no clicks.
    TagRect Build(TargetSnapshot& target) override;

    // The model's list; 0 when there is none.
    unsigned ModelList() const { return m_modelList; }
    // The aircraft model in model units: nose toward -z, up +y, right wing +x.
    static void DrawModel();

protected:
    std::string DataBlockLine(const TargetSnapshot& target) const;
    std::string StatusField(const TargetSnapshot& target, const std::string& scratchpad) const;

private:
    void DrawSepCylinder(const TargetSnapshot& target, double x, double z) const;

    GlContextResources* m_gl = nullptr;
    unsigned m_modelList = 0;
    GlTextBatch m_text;
};
