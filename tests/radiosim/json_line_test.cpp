#include "radiosim/json_line.h"

#include <gtest/gtest.h>

namespace {

TEST(JsonLine, FieldsInOrderOnOneLine) {
    const uint8_t bytes[] = {0x00, 0x1F, 0xAB};
    const std::string line = radiosim::JsonLine()
                                 .Seconds("t", 1.5)
                                 .Text("dir", "in")
                                 .Number("seq", 255)
                                 .Number("addr", 4294967295u)
                                 .Hex("bytes", bytes, sizeof bytes)
                                 .Bool("record_ok", false)
                                 .Finish();
    EXPECT_EQ("{\"t\":1.500000,\"dir\":\"in\",\"seq\":255,\"addr\":4294967295,"
              "\"bytes\":\"001fab\",\"record_ok\":false}\n",
              line);
}

TEST(JsonLine, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ("{\"line\":\"say \\\"hi\\\" C:\\\\x\\u000d\\u0009\"}\n",
              radiosim::JsonLine().Text("line", "say \"hi\" C:\\x\r\t").Finish());
}

TEST(JsonLine, EmptyObject) {
    EXPECT_EQ("{}\n", radiosim::JsonLine().Finish());
}

} // namespace
