// Odd radios: many generated memories, with pointers anywhere in 0 to 65535, record lengths 0
// to 255 and pot vector addresses on and off the accepted range, each read and, where the
// program allows, written through the fake component. Every Request must go only to the
// addresses the layout gives for that memory, and the operator must see what the layout says.
#include <random>

#include "radio/radio_messages.h"
#include "radio/squelch_read.h"
#include "radio/squelch_write.h"
#include "tests/radio/radio_fixture.h"
#include "tests/reliability/request_log.h"

namespace {

constexpr int kImages = 120;

// A vector address: a quarter at the edges of 65..639, half inside, a quarter anywhere.
uint32_t VectorAddress(std::mt19937& random) {
    static const uint32_t edges[] = {0, 1, 63, 64, 65, 66, 638, 639, 640, 641, 65535};
    switch (random() % 4) {
    case 0:
        return edges[random() % (sizeof edges / sizeof edges[0])];
    case 3:
        return random() % 65536;
    default:
        return 65 + random() % (639 - 65 + 1);
    }
}

// A pointer anywhere, the top of memory more often than chance would give it.
uint32_t AnyAddress(std::mt19937& random) {
    return random() % 5 == 0 ? 65535 - random() % 64 : random() % 65536;
}

// What the layout says about a memory, worked out from the memory itself (generated blocks may
// overlap and overwrite each other's pointers).
struct Expected {
    uint32_t index, record, vector, n;
    bool vectorAccepted;
    uint32_t value;
};

class OddRadio : public RadioTest {
protected:
    uint32_t Pointer(uint32_t at) {
        return uint32_t{m_radio->Peek(at)} << 8 | m_radio->Peek(at + 1);
    }

    void Fill(std::mt19937& random, uint32_t address, uint32_t count) {
        for (uint32_t i = 0; i < count; ++i) {
            m_radio->Poke(address + i, {static_cast<uint8_t>(random())});
        }
    }

    Expected Generate(std::mt19937& random) {
        Radio();
        const uint32_t index = AnyAddress(random), record = AnyAddress(random),
                       vector = VectorAddress(random);
        Fill(random, 0, 64);
        Fill(random, index, 64);
        Fill(random, record, 64);
        Fill(random, vector, 32);
        // N: 0 to 255, half of them in the writable 28 to 59.
        const uint32_t n = random() % 2 ? 28 + random() % 32 : random() % 256;
        m_radio->Poke(record, {static_cast<uint8_t>(n)});
        m_radio->Poke(2, {static_cast<uint8_t>(index >> 8), static_cast<uint8_t>(index)});
        m_radio->Poke(39, {static_cast<uint8_t>(vector >> 8), static_cast<uint8_t>(vector)});
        m_radio->Poke(index + 52,
                      {static_cast<uint8_t>(record >> 8), static_cast<uint8_t>(record)});

        Expected e{};
        e.index = Pointer(2);
        e.vector = Pointer(39);
        e.record = Pointer(e.index + 52);
        e.n = m_radio->Peek(e.record);
        e.vectorAccepted = e.vector > 64 && e.vector < 640;
        e.value = m_radio->Peek(e.record + 22) & 0x0Fu;
        return e;
    }
};

TEST_F(OddRadio, ReadsAndWritesOnlyWhereTheLayoutPointsAndSaysWhatItFound) {
    std::mt19937 random(20261206);
    int vectorRefused = 0, lengthRefused = 0, written = 0;
    for (int image = 0; image < kImages; ++image) {
        const Expected e = Generate(random);
        SCOPED_TRACE("image " + std::to_string(image) + ": index " + std::to_string(e.index) +
                     ", record " + std::to_string(e.record) + ", vector " +
                     std::to_string(e.vector) + ", N " + std::to_string(e.n));
        m_dialog.valueRead = FALSE;
        m_dialog.image = RadioImage{};
        m_log.Clear();

        ReadSquelch(m_dialog, RecordWait);

        std::vector<uint32_t> readAt = {0, 32, e.index, e.index + 32, e.record, e.record + 32};
        if (e.vectorAccepted) {
            readAt.push_back(e.vector);
        }
        std::vector<uint32_t> seen;
        for (const LoggedRequest& r : RequestsIn(Calls())) {
            EXPECT_EQ(r.name, kReadRequest);
            seen.push_back(r.address);
        }
        EXPECT_EQ(seen, readAt);
        EXPECT_EQ(m_dialog.value, e.value);
        EXPECT_EQ(m_dialog.valueRead, e.vectorAccepted ? TRUE : FALSE);
        EXPECT_EQ(BoxesIn(Calls()), e.vectorAccepted
                                        ? std::vector<std::string>{}
                                        : std::vector<std::string>{kMsgVectorNotFound});

        const uint32_t value = random() % 16;
        m_dialog.entry = value;
        m_log.Clear();
        WriteSquelch(m_dialog);
        const std::vector<LoggedRequest> writes = RequestsIn(Calls());
        if (!e.vectorAccepted) {
            ++vectorRefused;
            EXPECT_TRUE(writes.empty());
            EXPECT_EQ(BoxesIn(Calls()), std::vector<std::string>{kMsgMustReadFirst});
        } else if (e.n < 28 || e.n > 59) {
            ++lengthRefused;
            EXPECT_TRUE(writes.empty());
            EXPECT_EQ(BoxesIn(Calls()), std::vector<std::string>{kMsgRecordLengthUnsupported});
        } else {
            ++written;
            EXPECT_TRUE(BoxesIn(Calls()).empty());
            ASSERT_EQ(writes.size(), 3u);
            EXPECT_EQ(writes[0].address, e.vector);
            EXPECT_EQ(writes[0].payload.size(), 14u);
            EXPECT_EQ(writes[1].address, e.record);
            EXPECT_EQ(writes[1].payload.size(), 32u);
            EXPECT_EQ(writes[2].address, e.record + 32);
            EXPECT_EQ(writes[2].payload.size(), e.n - 27);
            for (const LoggedRequest& w : writes) {
                EXPECT_EQ(w.name, kWriteRequest);
            }
            // The blocks as sent: the value in both places and both checksums right.
            const std::vector<uint8_t>& vec = writes[0].payload;
            EXPECT_EQ(vec[7], value << 4);
            uint32_t sum = 0;
            for (int i = 0; i <= 12; ++i) {
                sum += vec[i];
            }
            EXPECT_EQ(vec[13], static_cast<uint8_t>(sum - 0x55));
            std::vector<uint8_t> rec = writes[1].payload;
            rec.insert(rec.end(), writes[2].payload.begin(), writes[2].payload.end());
            EXPECT_EQ(rec[22] & 0x0Fu, value);
            EXPECT_EQ(rec[1], 0x33);
            sum = rec[1];
            for (uint32_t i = 4; i <= e.n + 3; ++i) {
                sum += rec[i];
            }
            EXPECT_EQ(rec[e.n + 4], static_cast<uint8_t>(sum - 0x55));
        }
        if (HasFatalFailure() || ::testing::Test::HasFailure()) {
            break; // one odd radio explained is worth more than a hundred repeats
        }
    }
    // The generator reached every branch.
    EXPECT_GT(vectorRefused, 15);
    EXPECT_GT(lengthRefused, 15);
    EXPECT_GT(written, 15);
    std::printf("odd radios: %d images, %d vector not found, %d record length refused, %d "
                "written\n",
                kImages, vectorRefused, lengthRefused, written);
}

} // namespace
