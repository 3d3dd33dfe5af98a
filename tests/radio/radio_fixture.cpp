#include "tests/radio/radio_fixture.h"

CallLog* RadioTest::s_waitLog = nullptr;

void RadioTest::SetUp() {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    s_waitLog = &m_log;
    m_boxes.emplace([this](const SeenMessageBox& box) { m_log.Add(Box(box.text)); });
}

void RadioTest::TearDown() {
    m_boxes.reset();
    if (m_radio) {
        EXPECT_EQ(m_radio->LiveObjects(), 0) << "a component object was not released";
        m_radio.reset();
    }
    s_waitLog = nullptr;
    CoUninitialize();
}

FakeRadio& RadioTest::Radio(FakeRadioConfig config) {
    m_radio.emplace(m_log, config);
    return *m_radio;
}

void RadioTest::RecordWait(DWORD milliseconds) {
    s_waitLog->Add("Wait " + std::to_string(milliseconds));
}

std::vector<std::string> CommandCalls(const std::string& fiveBytes) {
    return {"CommandLink.CreateInstance", "Open COM1 0", "Send 5 [" + fiveBytes + "]", "Close",
            "Release IRadioLink"};
}

std::vector<std::string> ReadCalls(uint32_t address) {
    const std::string at = " @" + std::to_string(address);
    return {"Request REQ_RD_DATA" + at + " [20]", "Reply 0" + at};
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

std::string Box(const std::string& text) {
    return "MessageBox: " + text;
}
