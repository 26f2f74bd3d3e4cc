// The RIPEMD-160 message digest.
#pragma once
#include <cstddef>
#include <cstdint>

struct Ripemd160 {
    uint32_t h[5];     // chaining state
    uint64_t length;   // bytes hashed so far
    uint8_t block[64]; // pending partial block
    size_t used;       // bytes in block
};

void ripemd160_init(Ripemd160 *ctx);
void ripemd160_update(Ripemd160 *ctx, const void *data, size_t n);
void ripemd160_final(Ripemd160 *ctx, uint8_t digest[20]);
