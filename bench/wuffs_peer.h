// Wuffs' GIF decoder as a peer for the benchmark only.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Allocation for the peer, so that the benchmark counts its memory as ours.
void* wuffs_peer_alloc(size_t size);
void wuffs_peer_free(void* p, size_t size);

// Decodes every frame (at most `max_frames`) into one 8-bit indexed canvas
// as Wuffs is usually measured. Returns the pixels of the frames'
// rectangles, or 0 on an error.
size_t wuffs_peer_decode_gif(const uint8_t* data, size_t size, int max_frames);

#ifdef __cplusplus
}
#endif
