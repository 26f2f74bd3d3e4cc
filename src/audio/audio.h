// The audio device: output or capture driver, voices and flushing.
#pragma once
#include <cstddef>

// Opens the normal output driver. 1 on success.
int audio_open_output();
// Opens the capture driver at the given rate with one block of samples per tick.
int audio_open_capture(int rate, int block_samples);
int audio_is_open();
// Mixes the next tick's block of 16-bit samples for capture; returns the byte count.
size_t audio_capture_block(short *samples, size_t max_samples);
// Updates every racer's engine voice with the frame's volume factor.
void engine_sounds_update(float volume);
void audio_flush();
void audio_close();
