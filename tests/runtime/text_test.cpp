#include "text.h"

#include <gtest/gtest.h>

namespace memotab {
namespace {

TEST(Text, SpanishLiteralsAreWindows1252Bytes) {
  const std::string text = "ya está siendo usado!";
  ASSERT_EQ(text.size(), 21u);
  EXPECT_EQ(static_cast<unsigned char>(text[6]), 0xE1);
  EXPECT_EQ(static_cast<unsigned char>(std::string("Botón")[3]), 0xF3);
  EXPECT_EQ(std::string("€"), "\x80");
}

TEST(Text, ConvertsWindows1252ToUtf8) {
  EXPECT_EQ(Cp1252ToUtf8("men\xFA"), reinterpret_cast<const char*>(u8"menú"));
  EXPECT_EQ(Cp1252ToUtf8("\x80 \x93hola\x94"), reinterpret_cast<const char*>(u8"€ “hola”"));
  EXPECT_EQ(Cp1252ToUtf8("\x81"), reinterpret_cast<const char*>(u8"\uFFFD"));
  EXPECT_EQ(Cp1252ToUtf8("a\r\nb"), "a\r\nb");
}

TEST(Text, ValReadsTheLeadingNumber) {
  EXPECT_EQ(Val("09"), 9);
  EXPECT_EQ(Val("  12abc"), 12);
  EXPECT_EQ(Val("-3"), -3);
  EXPECT_EQ(Val("+7"), 7);
  EXPECT_EQ(Val("1.5x"), 1.5);
  EXPECT_EQ(Val("abc"), 0);
  EXPECT_EQ(Val("  "), 0);
  EXPECT_EQ(Val(":5"), 0);
}

TEST(Text, TrimsBlanks) {
  EXPECT_EQ(TrimRight("  a b  "), "  a b");
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("    "), "");
  EXPECT_EQ(Trim("\r\nx\r\n"), "\r\nx\r\n");
}

}  // namespace
}  // namespace memotab
