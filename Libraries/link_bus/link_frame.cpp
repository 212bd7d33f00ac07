// Link-bus frame encoder and decoder.
#include "Libraries/link_bus/link_bus.h"

#include "Libraries/base/crc16.h"
#include "Libraries/base/dbg.h"

#include <array>
#include <cstring>

namespace tdx {

namespace {

// PN9 whitening sequence (x^9 + x^5 + 1, seed 0x1FF): each byte is the low 8 bits of the state, then the
// state shifts 8 times with the new bit s0 ^ s5 entering at bit 8.
constexpr std::array<uint8_t, LINK_MAX_BODY> makePn9() {
    std::array<uint8_t, LINK_MAX_BODY> table{};
    unsigned state = 0x1FF;
    for (auto& byte : table) {
        byte = static_cast<uint8_t>(state);
        for (int i = 0; i < 8; ++i) {
            const unsigned bit = (state ^ (state >> 5)) & 1u;
            state = (state >> 1) | (bit << 8);
        }
    }
    return table;
}
constexpr std::array<uint8_t, LINK_MAX_BODY> PN9 = makePn9();
static_assert(PN9[0] == 0xFF && PN9[1] == 0xE1 && PN9[2] == 0x1D && PN9[3] == 0x9A && PN9[15] == 0x0A);

constexpr bool isSpecial(uint8_t byte) {
    return byte >= LINK_START && byte <= LINK_RESET;
}

enum DecoderState : uint8_t { HUNT, BODY, ESCAPED };

const char* const DROP_NAMES[LINK_DROP_COUNT] = {
    "noise",   "START inside frame", "RESET inside frame", "short frame",
    "bad CRC", "END after ESC",      "oversize body",      "bad escape",
};

void drop(link_decoder* dec, link_drop_reason reason, uint8_t byte) {
    ++dec->drops[reason];
    dbg_printf_h("LINK drop: %s (body %u bytes, byte 0x%02X)", DROP_NAMES[reason], dec->len, byte);
    dec->state = HUNT;
    dec->len = 0;
}

// Bytes outside a frame are reported once per run, when the next frame starts.
void reportSkipped(link_decoder* dec) {
    if (dec->skipped != 0) {
        ++dec->drops[LINK_DROP_NOISE];
        dbg_printf_h("LINK drop: %s (%u bytes outside a frame)", DROP_NAMES[LINK_DROP_NOISE], dec->skipped);
        dec->skipped = 0;
    }
}

void endFrame(link_decoder* dec, uint8_t byte) {
    if (dec->state == ESCAPED) {
        drop(dec, LINK_DROP_END_AFTER_ESC, byte);
    } else if (dec->len < LINK_MIN_BODY) {
        drop(dec, LINK_DROP_SHORT, byte);
    } else if (crc16(dec->body, dec->len) != 0) {
        drop(dec, LINK_DROP_CRC, byte);
    } else {
        const uint16_t len = static_cast<uint16_t>(dec->len - LINK_CRC_SIZE);
        dec->state = HUNT;
        dec->len = 0;
        ++dec->packets;
        if (dec->cb != nullptr) {
            dec->cb(dec->body, len, dec->user);
        }
    }
}

} // namespace

int link_encode(const uint8_t* pkt, uint16_t len, uint8_t* out, uint16_t max) {
    if (pkt == nullptr || out == nullptr || len < LINK_MIN_PACKET || len > LINK_MAX_PACKET) {
        return -1;
    }
    const uint16_t crc = crc16(pkt, len);
    uint16_t pos = 0;
    auto put = [&](uint8_t byte) {
        if (pos < max) {
            out[pos] = byte;
        }
        ++pos;
    };
    put(LINK_START);
    const uint16_t bodyLen = static_cast<uint16_t>(len + LINK_CRC_SIZE);
    for (uint16_t i = 0; i < bodyLen; ++i) {
        const uint8_t plain = i < len ? pkt[i] : static_cast<uint8_t>(i == len ? crc & 0xFF : crc >> 8);
        const uint8_t byte = plain ^ PN9[i];
        if (isSpecial(byte)) {
            put(LINK_ESC);
            put(byte ^ LINK_ESC_XOR);
        } else {
            put(byte);
        }
    }
    put(LINK_END);
    return pos <= max ? pos : -2;
}

const char* link_drop_name(int reason) {
    return reason >= 0 && reason < LINK_DROP_COUNT ? DROP_NAMES[reason] : "UNKNOWN";
}

void link_decoder_init(link_decoder* dec, link_packet_cb cb, void* user) {
    std::memset(dec, 0, sizeof(*dec));
    dec->cb = cb;
    dec->user = user;
    dec->state = HUNT;
}

void link_feed(link_decoder* dec, uint8_t byte) {
    switch (byte) {
        case LINK_START:
            if (dec->state != HUNT) {
                drop(dec, LINK_DROP_RESTART, byte);
            }
            reportSkipped(dec);
            dec->state = BODY;
            dec->len = 0;
            return;
        case LINK_RESET:
            if (dec->state != HUNT) {
                drop(dec, LINK_DROP_RESET, byte);
            } else {
                ++dec->skipped;
            }
            return;
        case LINK_END:
            if (dec->state == HUNT) {
                ++dec->skipped;
            } else {
                endFrame(dec, byte);
            }
            return;
        default:
            break;
    }
    uint8_t plain = byte;
    switch (dec->state) {
        case HUNT:
            ++dec->skipped;
            return;
        case ESCAPED:
            plain = byte ^ LINK_ESC_XOR;
            if (!isSpecial(plain)) {
                drop(dec, LINK_DROP_BAD_ESCAPE, byte);
                return;
            }
            dec->state = BODY;
            break;
        default:
            if (byte == LINK_ESC) {
                dec->state = ESCAPED;
                return;
            }
            break;
    }
    if (dec->len >= LINK_MAX_BODY) {
        drop(dec, LINK_DROP_OVERSIZE, byte);
        return;
    }
    dec->body[dec->len] = plain ^ PN9[dec->len];
    ++dec->len;
}

void link_feed_buffer(link_decoder* dec, const uint8_t* data, size_t len) {
    for (size_t i = 0; i < len; ++i) {
        link_feed(dec, data[i]);
    }
}

uint32_t link_decoder_drop_count(const link_decoder* dec) {
    uint32_t total = 0;
    for (uint32_t count : dec->drops) {
        total += count;
    }
    return total;
}

} // namespace tdx
