// Wuffs' single-file release, built for the benchmark only.
#include "wuffs_peer.h"

#define WUFFS_IMPLEMENTATION
#define WUFFS_CONFIG__MODULES
#define WUFFS_CONFIG__MODULE__BASE
#define WUFFS_CONFIG__MODULE__GIF
#define WUFFS_CONFIG__MODULE__LZW
#include WUFFS_PEER_SOURCE

size_t wuffs_peer_decode_gif(const uint8_t* data, size_t size, int max_frames) {
    const size_t decoder_size = sizeof__wuffs_gif__decoder();
    wuffs_gif__decoder* decoder = wuffs_peer_alloc(decoder_size);
    uint8_t* canvas = NULL;
    size_t canvas_size = 0, pixels = 0;
    if (wuffs_gif__decoder__initialize(decoder, decoder_size, WUFFS_VERSION,
                                       WUFFS_INITIALIZE__LEAVE_INTERNAL_BUFFERS_UNINITIALIZED)
            .repr)
        goto done;
    wuffs_base__io_buffer src = wuffs_base__ptr_u8__reader((uint8_t*)data, size, true);
    wuffs_base__image_config config;
    if (wuffs_gif__decoder__decode_image_config(decoder, &config, &src).repr) goto done;
    const uint32_t width = wuffs_base__pixel_config__width(&config.pixcfg);
    const uint32_t height = wuffs_base__pixel_config__height(&config.pixcfg);
    wuffs_base__pixel_config__set(&config.pixcfg, WUFFS_BASE__PIXEL_FORMAT__INDEXED__BGRA_BINARY,
                                  WUFFS_BASE__PIXEL_SUBSAMPLING__NONE, width, height);
    // The palette's 1024 bytes come first, then the indices.
    canvas_size = WUFFS_BASE__PIXEL_FORMAT__INDEXED__PALETTE_BYTE_LENGTH + (size_t)width * height;
    canvas = wuffs_peer_alloc(canvas_size);
    wuffs_base__pixel_buffer buffer;
    if (wuffs_base__pixel_buffer__set_from_slice(&buffer, &config.pixcfg,
                                                 wuffs_base__make_slice_u8(canvas, canvas_size))
            .repr)
        goto done;
    // The GIF decoder needs no work buffer.
    for (int frame = 0; frame < max_frames; ++frame) {
        wuffs_base__frame_config frame_config;
        wuffs_base__status status =
            wuffs_gif__decoder__decode_frame_config(decoder, &frame_config, &src);
        if (status.repr == wuffs_base__note__end_of_data) break;
        if (status.repr) {
            pixels = 0;
            goto done;
        }
        status =
            wuffs_gif__decoder__decode_frame(decoder, &buffer, &src, WUFFS_BASE__PIXEL_BLEND__SRC,
                                             wuffs_base__empty_slice_u8(), NULL);
        if (status.repr) {
            pixels = 0;
            goto done;
        }
        const wuffs_base__rect_ie_u32 r = wuffs_base__frame_config__bounds(&frame_config);
        pixels += (size_t)wuffs_base__rect_ie_u32__width(&r) * wuffs_base__rect_ie_u32__height(&r);
    }
done:
    wuffs_peer_free(canvas, canvas_size);
    wuffs_peer_free(decoder, decoder_size);
    return pixels;
}
