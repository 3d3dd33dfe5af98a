// Bad input: many generated entries typed into the real main dialog's value entry, each
// followed by Write, after a complete read from the fake component. Whatever was typed, a
// block goes to the radio only for a whole number 0 to 15 (blanks around it allowed), it
// carries exactly that number, and anything else gets the framework's message and no block.
#include <random>

#include "radio/radio_messages.h"
#include "res/resource.h"
#include "tests/dialog/dialog_session.h"
#include "tests/radio/worked_radio.h"
#include "tests/reliability/request_log.h"

#include <gtest/gtest.h>

namespace {

constexpr int kEntries = 80;
constexpr size_t kEditLimit = 32767; // a single-line edit control's default text limit
constexpr char kNumberMessage[] = "Please enter a whole number of 0 or more.";
constexpr char kRangeMessage[] = "Please enter a whole number between 0 and 15.";

// What the entry means, worked out independently of the framework: blanks (space, tab) around
// one run of digits whose value fits 32 bits; nullopt otherwise. A second field tells a number
// too large for 32 bits (which is "not a number" too).
std::optional<unsigned long long> WholeNumber(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::nullopt;
    }
    const size_t last = text.find_last_not_of(" \t");
    const std::string core = text.substr(first, last - first + 1);
    if (core.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const size_t significant = core.find_first_not_of('0');
    if (significant != std::string::npos && core.size() - significant > 10) {
        return std::nullopt;
    }
    const unsigned long long value = std::stoull(core);
    if (value > 0xFFFFFFFFull) {
        return std::nullopt;
    }
    return value;
}

std::string Generate(std::mt19937& random) {
    static const char* const pieces[] = {"0",
                                         "7",
                                         "15",
                                         "16",
                                         "-1",
                                         "+3",
                                         "4294967295",
                                         "4294967296",
                                         "00000000000000000000015",
                                         "99999999999999999999",
                                         " ",
                                         "\t",
                                         "x",
                                         "0x0F",
                                         "1e1",
                                         "3.0",
                                         "\xD9\xA3",
                                         "\xA0",
                                         "\xFF\xFE",
                                         "\x80",
                                         "1 2",
                                         "",
                                         "+",
                                         "-",
                                         "12abc",
                                         "\xC3\xA9"};
    std::string text;
    switch (random() % 8) {
    case 0: // a very long entry, up to the edit control's limit
        text.assign(1 + random() % kEditLimit, random() % 2 ? '9' : ' ');
        if (random() % 2) {
            text.back() = '5';
        }
        break;
    case 1: // a number, maybe beyond 32 bits
        text = std::to_string(random() % 2 ? random() % 20 : random() * 4096ull + random());
        break;
    default: // pieces glued together
        for (unsigned n = 1 + random() % 3; n > 0; --n) {
            text += pieces[random() % (sizeof pieces / sizeof pieces[0])];
        }
        break;
    }
    return text;
}

// The entry's whole text as the edit control holds it (it may keep less than was typed).
std::string EntryOf(HWND edit) {
    const LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got =
        SendMessageA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

TEST(BadInput, NothingOutsideZeroToFifteenIsEverWritten) {
    DialogSession session([](FakeRadio& radio) { LoadWorkedRadio(radio); });
    session.Press(IDC_READ);
    ASSERT_TRUE(session.Dlg().m_valueRead);

    std::mt19937 random(42);
    int written = 0, numberMessages = 0, rangeMessages = 0;
    for (int i = 0; i < kEntries; ++i) {
        const std::string text = Generate(random);
        SCOPED_TRACE("entry " + std::to_string(i) + " \"" + text.substr(0, 40) + "\" (" +
                     std::to_string(text.size()) + " chars)");
        session.ClearCalls();
        session.Type(text);
        const std::string entry = EntryOf(session.Item(IDC_SQUELCH_VALUE));
        session.Press(IDC_WRITE);

        const std::vector<LoggedRequest> requests = RequestsIn(session.Calls());
        const std::vector<std::string> boxes = BoxesIn(session.Calls());
        const std::optional<unsigned long long> number = WholeNumber(entry);
        if (number && *number <= 15) {
            ++written;
            EXPECT_TRUE(boxes.empty());
            ASSERT_EQ(requests.size(), 3u);
            EXPECT_EQ(requests[0].payload[7], *number << 4);
            EXPECT_EQ(requests[1].payload[22] & 0x0Fu, *number);
        } else {
            EXPECT_TRUE(requests.empty()) << "a block was written";
            if (number) {
                ++rangeMessages;
                EXPECT_EQ(boxes, std::vector<std::string>{kRangeMessage});
            } else {
                ++numberMessages;
                EXPECT_EQ(boxes, std::vector<std::string>{kNumberMessage});
            }
        }
        // Whatever went before, every block ever sent carries a value 0 to 15 in both places.
        for (const LoggedRequest& r : requests) {
            if (r.address == kVectorAt) {
                EXPECT_EQ(r.payload[7] & 0x0Fu, 0u);
            }
        }
        if (::testing::Test::HasFailure()) {
            break;
        }
    }
    EXPECT_GT(written, 5);
    EXPECT_GT(numberMessages, 10);
    EXPECT_GT(rangeMessages, 3);
    std::printf("bad input: %d entries, %d written, %d number messages, %d range messages\n",
                kEntries, written, numberMessages, rangeMessages);
}

} // namespace
