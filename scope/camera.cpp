// The 3-D camera. Tested by tests/scope/camera_test.cpp.
#include "scope/camera.h"

#include <cmath>

#include "foundation/geo_helpers.h"

CameraVector Camera::GetDirection() {
    if (m_dirty) UpdateDirection();
    return m_direction;
}

void Camera::UpdateDirection() {
    double a = DegToRad(m_heading + 90.0);
    double p = DegToRad(m_pitch);
    m_direction = {static_cast<float>(std::cos(a) * std::cos(p)), static_cast<float>(std::sin(p)),
                   static_cast<float>(-std::sin(a) * std::cos(p))};
    m_dirty = false;
}

void Camera::Turn(float delta) {
    m_heading += delta;
    if (m_heading < -180.0f) m_heading += 360.0f;
    if (m_heading > 180.0f) m_heading -= 360.0f;
    m_dirty = true;
}

void Camera::Tilt(float delta) {
    m_pitch += delta;
    if (m_pitch > 90.0f) m_pitch = 90.0f;
    if (m_pitch < -90.0f) m_pitch = -90.0f;
    m_dirty = true;
}

void Camera::MoveForward(float amount) {
    if (m_dirty) UpdateDirection();
    m_position.x += -amount * m_direction.x;
    m_position.z += -amount * m_direction.z;
}

void Camera::Strafe(float amount) {
    if (m_dirty) UpdateDirection();
    m_position.x += -amount * m_direction.z;
    m_position.z += amount * m_direction.x;
}

void Camera::MoveUp(float amount) {
    m_position.x += amount * m_up.x;
    m_position.y += amount * m_up.y;
    m_position.z += amount * m_up.z;
    if (m_position.y < 0.0f) m_position.y = 0.0f;
}

void Camera::AimAt(float tx, float ty, float tz) {
    // Taken in the (x, z) plane, whose "north" is the scope's south: the
    // bearing there minus 180 is the counter-clockwise heading the view uses.
    double bearing = BearingBetween(m_position.x, m_position.z, tx, tz, true);
    double heading = bearing - 180.0;
    if (heading < -180.0) heading += 360.0;
    if (heading > 180.0) heading -= 360.0;
    m_heading = static_cast<float>(heading);
    double d = ScaledDistance(m_position.x, m_position.z, tx, tz, 0.75);
    double h = m_position.y - ty;
    if (h == 0.0) {
        m_pitch = 0.0f;
    } else {
        double r = RadToDeg(std::atan(d / h));
        m_pitch = static_cast<float>(r > 0.0 ? r - 90.0 : r + 90.0);
    }
    m_dirty = true;
}
