#include "protocol/cobs.h"

namespace proto {

// Each block starts with a code byte: code - 1 non-zero bytes follow, and a zero is implied
// after them unless the code is 0xFF (a full block) or the block ends the input.
size_t CobsEncode(const uint8_t* raw, size_t rawSize, uint8_t* out, size_t outCapacity) {
    if (outCapacity < CobsEncodedMax(rawSize)) {
        return 0;
    }
    size_t codeAt = 0;
    size_t written = 1;
    uint8_t code = 1;
    for (size_t i = 0; i < rawSize; ++i) {
        if (raw[i] == 0) {
            out[codeAt] = code;
            codeAt = written++;
            code = 1;
            continue;
        }
        out[written++] = raw[i];
        ++code;
        // A full block ends here; the next block only starts when more input follows, so an
        // input that ends with a full block takes no extra code byte.
        if (code == 0xFF && i + 1 < rawSize) {
            out[codeAt] = code;
            codeAt = written++;
            code = 1;
        }
    }
    out[codeAt] = code;
    return written;
}

size_t CobsDecode(const uint8_t* encoded, size_t encodedSize, uint8_t* out, size_t outCapacity) {
    size_t read = 0;
    size_t written = 0;
    while (read < encodedSize) {
        const uint8_t code = encoded[read++];
        if (code == 0 || read + code - 1 > encodedSize) {
            return 0;
        }
        for (uint8_t i = 1; i < code; ++i) {
            const uint8_t byte = encoded[read++];
            if (byte == 0 || written == outCapacity) {
                return 0;
            }
            out[written++] = byte;
        }
        if (code != 0xFF && read < encodedSize) {
            if (written == outCapacity) {
                return 0;
            }
            out[written++] = 0;
        }
    }
    return written;
}

} // namespace proto
