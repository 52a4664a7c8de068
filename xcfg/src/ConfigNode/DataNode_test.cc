#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>

#include "ConfigNode/ConfigNode.h"

namespace {

DataNodeClass with(const std::string& text) { return DataNodeClass("k", text); }

template <typename E, typename T>
void expectThrow(const std::string& text, const char* what) {
  try {
    with(text).getValue<T>();
    ADD_FAILURE() << "no exception for '" << text << "'";
  } catch (const E& e) {
    EXPECT_STREQ(e.what(), what) << "text '" << text << "'";
  }
}

TEST(DataNodeTest, UnsignedLongReadsLikeStrtoull) {
  const struct {
    const char* text;
    unsigned long value;
  } cases[] = {
      {"0x10", 16},  {"0X10", 16}, {"010", 8},   {"08", 0},
      {" 64", 64},   {"64abc", 64}, {"-1", std::numeric_limits<unsigned long>::max()},
      {"\t\n7", 7},
  };
  for (const auto& c : cases) EXPECT_EQ(with(c.text).getValue<unsigned long>(), c.value) << c.text;
  expectThrow<std::invalid_argument, unsigned long>("", "stoull");
  expectThrow<std::invalid_argument, unsigned long>("abc", "stoull");
  expectThrow<std::out_of_range, unsigned long>("18446744073709551616", "stoull");
}

TEST(DataNodeTest, NarrowTypesGoThroughStoi) {
  EXPECT_EQ(with("-1").getValue<unsigned int>(), 4294967295u);
  expectThrow<std::out_of_range, unsigned int>("4294967295", "stoi");
  expectThrow<std::out_of_range, int>("2147483648", "stoi");
  EXPECT_EQ(with("-2147483648").getValue<int>(), std::numeric_limits<int>::min());
  EXPECT_EQ(with("300").getValue<unsigned char>(), 44);
  EXPECT_EQ(with("40000").getValue<short>(), -25536);
  EXPECT_EQ(with("0x1ffff").getValue<unsigned short>(), 0xffff);
  EXPECT_EQ(with("-129").getValue<signed char>(), 127);
  expectThrow<std::invalid_argument, short>("x", "stoi");
  EXPECT_EQ(with("-0x10").getValue<long>(), -16);
  expectThrow<std::out_of_range, long>("0x8000000000000000", "stoll");
  expectThrow<std::invalid_argument, long>(" ", "stoll");
}

TEST(DataNodeTest, FloatingPointReads) {
  EXPECT_DOUBLE_EQ(with(" 2.5e1x").getValue<double>(), 25.0);
  EXPECT_FLOAT_EQ(with("0.25").getValue<float>(), 0.25f);
  expectThrow<std::invalid_argument, double>("e5", "stod");
  expectThrow<std::out_of_range, float>("1e50", "stof");
}

TEST(DataNodeTest, BoolIsTrueOnlyForLeadingTrue) {
  for (const char* t : {"true", "  true", "\ntrue", "trueish"}) EXPECT_TRUE(with(t).getValue<bool>()) << t;
  for (const char* t : {"false", "1", "0", "", "   ", "True", "TRUE", "yes"})
    EXPECT_FALSE(with(t).getValue<bool>()) << t;
}

TEST(DataNodeTest, WritesUseToStringTexts) {
  DataNodeClass d("k", "old");
  const auto text = [&d] { return d.getValue<std::string>(); };
  d.setValue<double>(0.5);
  EXPECT_EQ(text(), "0.500000");
  d.setValue<float>(0.25f);
  EXPECT_EQ(text(), "0.250000");
  d.setValue<bool>(false);
  EXPECT_EQ(text(), "false");
  d.setValue<bool>(true);
  EXPECT_EQ(text(), "true");
  d.setValue<long>(-7);
  EXPECT_EQ(text(), "-7");
  d.setValue<unsigned long>(18446744073709551615ul);
  EXPECT_EQ(text(), "18446744073709551615");
  d.setValue<unsigned int>(4294967295u);
  EXPECT_EQ(text(), "4294967295");
  d.setValue<unsigned char>(200);
  EXPECT_EQ(text(), "200");
  d.setValue<signed char>(-5);
  EXPECT_EQ(text(), "-5");
  d.setValue<short>(-25536);
  EXPECT_EQ(text(), "-25536");
  d.setValue<std::string>(" as is ");
  EXPECT_EQ(text(), " as is ");
  d.setData("raw");
  EXPECT_EQ(text(), "raw");
  d.setName("n");
  EXPECT_EQ(d.getName(), "n");
}

}  // namespace
