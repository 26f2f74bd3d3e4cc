// The audio device. Until the mixer exists, the capture driver mixes silence.
#include "audio/audio.h"

#include <cstring>

struct AudioDevice {
    int open;          // a driver is open
    int capture;       // the capture driver rather than real output
    int block_samples; // samples mixed per tick when capturing
};

static AudioDevice g_audio;

int audio_open_output() {
    g_audio = AudioDevice{1, 0, 0};
    return 1;
}

int audio_open_capture(int, int block_samples) {
    g_audio = AudioDevice{1, 1, block_samples};
    return 1;
}

int audio_is_open() { return g_audio.open; }

size_t audio_capture_block(short *samples, size_t max_samples) {
    if (!g_audio.open || !g_audio.capture) return 0;
    size_t n = (size_t)g_audio.block_samples < max_samples ? (size_t)g_audio.block_samples : max_samples;
    memset(samples, 0, n * sizeof(short));
    return n * sizeof(short);
}

void engine_sounds_update(float) {}
void audio_flush() {}
void audio_close() { g_audio = AudioDevice{0, 0, 0}; }
