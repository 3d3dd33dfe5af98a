// Resource discipline: after many reads and writes the process holds no more handles and no
// more memory than after the first few. The figures are printed; only a generous bound on
// growth is asserted, one that a leak of a handle or a transfer area per operation would pass.
#include <cstdio>

#include "radio/squelch_read.h"
#include "radio/squelch_write.h"
#include "res/resource.h"
#include "tests/dialog/dialog_session.h"
#include "tests/radio/radio_fixture.h"
#include "tests/radio/worked_radio.h"
#include "tests/reliability/process_figures.h"

namespace {

void NoWait(DWORD) {}

constexpr long kHandleGrowthBound = 20;
// Each operation allocates two 64-byte transfer areas and several COM objects; a leak of any
// of them per operation, over 2,000 operations, passes 256 KiB.
constexpr long long kMemoryGrowthBound = 256 << 10;

void Print(const char* when, const ProcessFigures& f) {
    std::printf("%-52s handle count %4lu, fresh handle 0x%04zx, private committed %9zu, "
                "working set %9zu\n",
                when, f.handleCount, static_cast<size_t>(f.freshHandle),
                static_cast<size_t>(f.privateCommitted), static_cast<size_t>(f.workingSet));
}

// Handles: a leak per operation would add hundreds, and push a fresh handle's value up by four
// for each. Memory: a leak per operation, over the operations counted, passes the bound.
void ExpectFlat(const ProcessFigures& before, const ProcessFigures& after) {
    EXPECT_LE(static_cast<long>(after.handleCount) - static_cast<long>(before.handleCount),
              kHandleGrowthBound);
    EXPECT_LE(static_cast<long long>(after.freshHandle) -
                  static_cast<long long>(before.freshHandle),
              4 * kHandleGrowthBound);
    EXPECT_LE(static_cast<long long>(after.privateCommitted) -
                  static_cast<long long>(before.privateCommitted),
              kMemoryGrowthBound);
}

class Resources : public RadioTest {};

TEST_F(Resources, FlatAfterThousandsOfReadsAndWritesThroughTheComponent) {
    FakeRadio& radio = Radio();
    LoadWorkedRadio(radio);
    auto cycle = [&](UINT value) {
        ReadSquelch(m_dialog, NoWait);
        m_dialog.entry = value;
        WriteSquelch(m_dialog);
        m_log.Clear();
    };
    for (UINT i = 0; i < 50; ++i) { // warm-up: the first calls load and cache what they need
        cycle(i % 16);
    }
    const ProcessFigures before = MeasureProcess();
    constexpr int kCycles = 2000;
    for (int i = 0; i < kCycles; ++i) {
        cycle(static_cast<UINT>(i % 16));
    }
    const ProcessFigures after = MeasureProcess();
    Print("fake component, after 50 read+write cycles:", before);
    Print("fake component, after 2,050 cycles:", after);
    EXPECT_TRUE(m_dialog.valueRead);
    EXPECT_EQ(radio.LiveObjects(), 0);
    ExpectFlat(before, after);
}

TEST(DialogResources, FlatAfterHundredsOfOperationsAndMessageBoxes) {
    DialogSession session([](FakeRadio& radio) { LoadWorkedRadio(radio); });
    session.Press(IDC_READ);
    ASSERT_TRUE(session.Dlg().m_valueRead);
    // A write of a good value, and a refused entry with its message box.
    auto operations = [&](int i) {
        session.Type(std::to_string(i % 16));
        session.Press(IDC_WRITE);
        session.Type("sixteen");
        session.Press(IDC_WRITE);
        session.Press(IDC_DEFAULT);
        session.ClearCalls();
    };
    for (int i = 0; i < 10; ++i) {
        operations(i);
    }
    const ProcessFigures before = MeasureProcess();
    constexpr int kRounds = 100;
    for (int i = 0; i < kRounds; ++i) {
        operations(i);
    }
    const ProcessFigures after = MeasureProcess();
    Print("dialog, after 10 rounds (write, refusal, default):", before);
    Print("dialog, after 110 rounds:", after);
    EXPECT_EQ(session.Boxes().size(), 110u);
    ExpectFlat(before, after);
}

} // namespace
