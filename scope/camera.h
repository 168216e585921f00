// The free camera of the 3-D view: place, heading and pitch, the moves the
// mouse and zoom keys make, and aiming at a point. Plain values; the GL side
// applies it (scope_gl.cpp). Tested by tests/scope/camera_test.cpp.
#pragma once

// Feet in one degree of latitude (60 x 6076.11549): heights are kept in
// degrees so the scene uses one unit on every axis.
inline constexpr double kFeetPerDegree = 364566.9294;

struct CameraVector {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    friend bool operator==(const CameraVector&, const CameraVector&) = default;
};

// x is the scope longitude, y the height in degrees, z minus the scope latitude.
class Camera {
public:
    CameraVector GetPosition() const { return m_position; }
    void SetPosition(float x, float y, float z) { m_position = {x, y, z}; }
    float GetPitch() const { return m_pitch; }
    void SetPitch(float pitch) { m_pitch = pitch; m_dirty = true; }
    float GetHeading() const { return m_heading; }
    void SetHeading(float heading) { m_heading = heading; m_dirty = true; }
    float GetRoll() const { return m_roll; }
    CameraVector GetDirection();

    // Heading wrapped into [-180, 180].
    void Turn(float delta);
    // Pitch clamped to [-90, 90].
    void Tilt(float delta);
    // Along the view direction, keeping the height.
    void MoveForward(float amount);
    void Strafe(float amount);
    // Never below height 0.
    void MoveUp(float amount);
    // Heading and pitch towards a point (scope x, height, minus scope y).
    void AimAt(float tx, float ty, float tz);
    // Multiplies the current GL matrix by the view from the camera. Lives
    // with the GL drawing (scope_gl.cpp), so only tarq_scope_gl may call it.
    void Apply() const;

private:
    void UpdateDirection();

    CameraVector m_position;
    CameraVector m_direction{0.0f, 0.0f, -1.0f};
    CameraVector m_up{0.0f, 1.0f, 0.0f};
    bool m_dirty = false;
    float m_pitch = 0.0f;
    float m_heading = 0.0f;
    float m_roll = 0.0f;
};
