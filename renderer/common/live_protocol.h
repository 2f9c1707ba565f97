// What goes over a live-link connection, both ways:
//   renderer -> host, at accept: kGreeting, so the host never streams a scene into a
//                                program that merely listens on a live-link port;
//   host -> renderer:            frames of a 4-byte little-endian length and that many
//                                scene bytes; a frame of length 0 ends the scene, so a
//                                cut-off stream is told apart from a whole one;
//   renderer -> host, at the end: kSaved once the whole scene was received and kept.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel_renderer {

constexpr char kGreeting[] = "VANTREL-LIVE 1\n";
constexpr size_t kGreetingSize = sizeof kGreeting - 1;
constexpr char kSaved[] = "SAVED\n";
constexpr size_t kSavedSize = sizeof kSaved - 1;

constexpr size_t kFrameHeaderSize = 4;
// Larger frames are refused as not ours.
constexpr uint32_t kMaxFrameSize = 1u << 30;

inline void encodeFrameHeader(uint32_t size, unsigned char header[kFrameHeaderSize]) {
    for (size_t i = 0; i < kFrameHeaderSize; ++i)
        header[i] = static_cast<unsigned char>(size >> (8 * i));
}

inline uint32_t decodeFrameHeader(const unsigned char header[kFrameHeaderSize]) {
    uint32_t size = 0;
    for (size_t i = kFrameHeaderSize; i-- > 0;) size = size << 8 | header[i];
    return size;
}

// How long the host waits for the greeting, for a send to make progress and for kSaved:
// VANTREL_LIVE_TIMEOUT_MS milliseconds, 30 s when unset or not a positive number.
int liveTimeoutMs();

}  // namespace vantrel_renderer
