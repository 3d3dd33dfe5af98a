#include "radio/radio_layout.h"

namespace radio {

uint32_t SumLowBytes(const uint32_t* entries, size_t first, size_t last) {
    uint32_t sum = 0;
    for (size_t i = first; i <= last; ++i) {
        sum += entries[i] & 0xFFu;
    }
    return sum;
}

uint32_t DecodePointer(const uint32_t* entries, size_t highIndex) {
    return (entries[highIndex] & 0xFFu) * 256u + (entries[highIndex + 1] & 0xFFu);
}

bool IsVectorAddressAccepted(uint32_t potVectorAddress) {
    return potVectorAddress > layout::kVectorAddressAbove &&
           potVectorAddress < layout::kVectorAddressBelow;
}

bool IsRecordLengthWritable(uint32_t recordLength) {
    return recordLength >= layout::kMinWritableRecordLength &&
           recordLength <= layout::kMaxWritableRecordLength;
}

std::optional<uint8_t> RecordChecksum(const RadioImage& image) {
    const uint32_t n = image.recordImage[layout::kRecordLength] & 0xFFu;
    if (n > layout::kMaxWritableRecordLength) {
        return std::nullopt;
    }
    uint32_t sum = image.recordImage[layout::kRecordFixedByte] & 0xFFu;
    if (n > 0) {
        sum += SumLowBytes(image.recordImage, layout::kRecordBodyStart, n + 3);
    }
    return SumMinus55(sum);
}

uint8_t VectorChecksum(const RadioImage& image) {
    return SumMinus55(SumLowBytes(image.potVectorImage, 0, layout::kVectorDataBytes - 1));
}

} // namespace radio
