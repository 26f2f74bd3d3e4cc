// Benchmark: microseconds per bike per tick for the world step plus the bike step, with
// 1, 10, 40 and 160 bikes, each its own island, in free fall or resting on supports.
#include "bike/bike.h"
#include "bike/physics_world.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

// A soft contact like a tire's at the given depth, between a body and the static world.
void support(dBodyID body, double x, double z, double depth) {
    double c = depth / 0.333333 < 1 ? depth / 0.333333 : 1;
    double kp = 1000 + 24000 * c * c * c, kd = 200 + 2300 * c * c * c;
    dContact contact = {};
    contact.surface.mode = dContactApprox1 | dContactSoftERP | dContactSoftCFM;
    contact.surface.mu = 1;
    contact.surface.soft_cfm = 1 / (kd + kp * kPhysicsStep);
    contact.surface.soft_erp = kp * kPhysicsStep * contact.surface.soft_cfm;
    contact.geom.pos[0] = x, contact.geom.pos[1] = 0, contact.geom.pos[2] = z;
    contact.geom.normal[1] = 1;
    contact.geom.depth = depth;
    dJointID j = dJointCreateContact(g_physics.world, g_physics.contacts, &contact);
    dJointAttach(j, body, nullptr);
}

// Both tires on the ground plane y = 0, and a stand of two pads under the frame.
void rest_on_supports(Bike *b) {
    const WheelInfo *wheels[2] = {&b->info.front_wheel, &b->info.rear_wheel};
    const int bodies[2] = {BODY_FRONT_WHEEL, BODY_REAR_WHEEL};
    for (int i = 0; i < 2; i++) {
        const dReal *p = dBodyGetPosition(b->body[bodies[i]]);
        double depth = wheels[i]->ring_radius + wheels[i]->section_radius - p[1];
        if (depth > 0) support(b->body[bodies[i]], p[0], p[2], depth);
    }
    for (double side : {-0.3, 0.3}) {
        dVector3 pad;
        dBodyGetRelPointPos(b->body[BODY_FRAME], side, -0.95, 0, pad);
        if (pad[1] < 0) support(b->body[BODY_FRAME], pad[0], pad[2], -pad[1]);
    }
}

double run(int count, int supported) {
    std::vector<Bike *> bikes;
    for (int i = 0; i < count; i++) {
        Bike *b = load_bike("yz250f(2009)", i, "1", nullptr, nullptr, nullptr, nullptr);
        // 20 ft apart, so that no two bikes ever share an island.
        const float offset[3] = {20.0f * (i % 16), supported ? 0.1f : 1000.0f, 20.0f * (i / 16)};
        move_bike(b, offset);
        bikes.push_back(b);
    }
    const int warm = 32, ticks = count >= 40 ? 256 : 1024;
    double seconds = 0;
    for (int t = 0; t < warm + ticks; t++) {
        if (supported)
            for (Bike *b : bikes) rest_on_supports(b);
        auto start = std::chrono::steady_clock::now();
        physics_world_step();
        g_physics.tick++;
        for (Bike *b : bikes) bike_step(b, 1);
        auto end = std::chrono::steady_clock::now();
        if (t >= warm) seconds += std::chrono::duration<double>(end - start).count();
    }
    for (Bike *b : bikes) free_bike(b);
    return seconds * 1e6 / ((double)ticks * count);
}

} // namespace

int main() {
    if (!physics_world_create()) return 1;
    printf("%-8s %-22s %s\n", "bikes", "scenario", "us per bike per tick");
    for (int count : {1, 10, 40, 160}) {
        printf("%-8d %-22s %.2f\n", count, "free fall", run(count, 0));
        printf("%-8d %-22s %.2f\n", count, "resting on supports", run(count, 1));
    }
    physics_world_destroy();
    return 0;
}
