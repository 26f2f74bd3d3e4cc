// Small vector and quaternion helpers of the bike code, in ODE's double precision.
#pragma once
#include <cmath>
#include <ode/ode.h>

struct V3 {
    double x, y, z;
};

inline V3 v3(const float *p) {
    return V3{p[0], p[1], p[2]};
}
inline V3 v3(const dReal *p) {
    return V3{p[0], p[1], p[2]};
}
inline V3 operator+(V3 a, V3 b) {
    return V3{a.x + b.x, a.y + b.y, a.z + b.z};
}
inline V3 operator-(V3 a, V3 b) {
    return V3{a.x - b.x, a.y - b.y, a.z - b.z};
}
inline V3 operator*(V3 a, double s) {
    return V3{a.x * s, a.y * s, a.z * s};
}
inline double dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline V3 cross(V3 a, V3 b) {
    return V3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(V3 a) {
    return std::sqrt(dot(a, a));
}
inline V3 unit(V3 a) {
    double l = length(a);
    return l > 0 ? a * (1 / l) : V3{0, 0, 0};
}

// Quaternions as (w, x, y, z), ODE's order.
struct Quat {
    double w, x, y, z;
};

inline Quat quat(const dReal *q) {
    return Quat{q[0], q[1], q[2], q[3]};
}
inline Quat operator*(Quat a, Quat b) {
    return Quat{a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
                a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}
inline Quat conjugate(Quat q) {
    return Quat{q.w, -q.x, -q.y, -q.z};
}
// Rotation by angle about a unit axis.
inline Quat axis_angle(V3 axis, double angle) {
    double s = std::sin(angle / 2);
    return Quat{std::cos(angle / 2), axis.x * s, axis.y * s, axis.z * s};
}
inline V3 rotate(Quat q, V3 v) {
    Quat r = q * Quat{0, v.x, v.y, v.z} * conjugate(q);
    return V3{r.x, r.y, r.z};
}

inline void set_position(dBodyID b, V3 p) {
    dBodySetPosition(b, p.x, p.y, p.z);
}
inline void set_quaternion(dBodyID b, Quat q) {
    dQuaternion d = {q.w, q.x, q.y, q.z};
    dBodySetQuaternion(b, d);
}
inline V3 body_position(dBodyID b) {
    return v3(dBodyGetPosition(b));
}
inline Quat body_quaternion(dBodyID b) {
    return quat(dBodyGetQuaternion(b));
}
