#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "ConfigNode/ConfigNode.h"

namespace {

using Node = std::shared_ptr<ConfigNodeClass>;

Node withAttr(const Node& parent, const std::string& name, const std::string& attr,
              const std::string& value) {
  Node n = parent->createNode(name, "");
  n->setAttrValue<std::string>(attr, value);
  return n;
}

std::string runtimeErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "<no exception>";
}

TEST(ConfigNodeTest, ChildrenOfEqualNameKeepInsertionOrder) {
  auto root = std::make_shared<ConfigNodeClass>("soc");
  Node first = root->createNode("a", "1");
  Node second = root->createNode("a", "2");
  root->createNode("0", "");
  EXPECT_NE(first, second);
  EXPECT_EQ(root->findChildNode("a", "", ""), first);
  EXPECT_EQ(root->getChildren()->count("a"), 2u);
  EXPECT_EQ(root->getChildren()->begin()->first, "0");  // ascending names
  // getChildren hands out the live table.
  root->getChildren()->clear();
  EXPECT_EQ(root->findChildNode("a", "", ""), nullptr);
}

TEST(ConfigNodeTest, FindChildNodeAttributeSelector) {
  auto root = std::make_shared<ConfigNodeClass>("soc");
  root->createNode("a", "");
  Node second = withAttr(root, "a", "id", "1");
  EXPECT_EQ(root->findChildNode("a", "id", ""), second);
  EXPECT_EQ(root->findChildNode("a", "id", "1"), second);
  EXPECT_EQ(root->findChildNode("a", "id", "2"), nullptr);
  EXPECT_EQ(root->findChildNode("b", "", ""), nullptr);
}

TEST(ConfigNodeTest, SetAttrValueReusesAttributeAndCreatesPath) {
  auto root = std::make_shared<ConfigNodeClass>("soc");
  root->setAttrValue<std::string>("k", "v1");
  std::shared_ptr<DataNodeClass> attr = root->findChildAttr("k");
  ASSERT_NE(attr, nullptr);
  root->setAttrValue<std::string>("k", "v2");
  EXPECT_EQ(root->findChildAttr("k"), attr);
  EXPECT_EQ(attr->getValue<std::string>(), "v2");
  attr->setData("live");
  EXPECT_EQ(root->getAttrNode("k")->getValue<std::string>(), "live");

  root->setAttrValue<std::string>("b#k", "v");
  Node b = root->findChildNode("b", "", "");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->findChildAttr("k")->getValue<std::string>(), "v");
  // A typed write stores the text form; only the last '#' names the attribute.
  root->setAttrValue<int>("c#id:3.d#n", 42);
  EXPECT_EQ(root->getNode("c#id:3.d")->findChildAttr("n")->getValue<std::string>(), "42");
}

TEST(ConfigNodeTest, GetNodeValue) {
  auto swt = std::make_shared<ConfigNodeClass>("swt");
  swt->createNode("XLEN", "64");
  EXPECT_EQ(swt->getNodeValue<unsigned long>("XLEN"), 64u);
  EXPECT_EQ(runtimeErrorOf([&] { swt->getNodeValue<unsigned long>("FLEN"); }),
            "Node path does not exist: FLEN");
  swt->setData("0x20");
  EXPECT_EQ(swt->getNodeValue<int>(""), 32);
  swt->createNode("BAD", "x");
  EXPECT_THROW(swt->getNodeValue<unsigned long>("BAD"), std::invalid_argument);
}

TEST(ConfigNodeTest, WalksNeedSharedOwnership) {
  ConfigNodeClass onStack("x");
  EXPECT_THROW(onStack.findNode("a"), std::bad_weak_ptr);
  EXPECT_THROW(onStack.createNodePath("a"), std::bad_weak_ptr);
  EXPECT_THROW(onStack.findAttr("a#b"), std::bad_weak_ptr);
  EXPECT_EQ(onStack.findAttr("b"), nullptr);  // a bare name does not walk
}

class PathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = std::make_shared<ConfigNodeClass>("root");
    a1 = withAttr(root, "a", "id", "1");
    a2 = withAttr(root, "a", "id", "2");
  }
  Node root, a1, a2;
};

TEST_F(PathTest, SegmentsAndSelectors) {
  const struct {
    const char* path;
    Node expected;
  } cases[] = {
      {"", root},          {"a", a1},        {"a.", a1},          {"a#id:2", a2},
      {"a#id", a1},        {"a#id:", a1},    {"a#id:3", nullptr}, {".a", nullptr},
      {"a#other", nullptr}, {"a..b", nullptr}, {".", nullptr},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(root->findNode(c.path), c.expected) << c.path;
    EXPECT_EQ(root->hasNode(c.path), c.expected != nullptr) << c.path;
  }
  Node unnamed = root->createNode("", "");
  EXPECT_EQ(root->findNode("."), unnamed);
  EXPECT_EQ(runtimeErrorOf([&] { root->getNode("a#id:3"); }), "Node path does not exist: a#id:3");
}

TEST_F(PathTest, ValueMayHoldColonsAndAttributeMayHoldHash) {
  Node odd = withAttr(root, "a", "id", "1:2");
  EXPECT_EQ(root->findNode("a#id:1:2"), odd);
  Node hashed = root->createNodePath("z#x#y");
  EXPECT_NE(hashed->findChildAttr("x#y"), nullptr);
}

TEST_F(PathTest, CreateNodePath) {
  Node a3 = root->createNodePath("a#id:3");
  EXPECT_EQ(a3->findChildAttr("id")->getValue<std::string>(), "3");
  EXPECT_EQ(root->getChildren()->count("a"), 3u);
  EXPECT_EQ(root->createNodePath("a#id:3"), a3);
  EXPECT_EQ(root->getChildren()->count("a"), 3u);

  auto empty = std::make_shared<ConfigNodeClass>("e");
  Node y = empty->createNodePath("x.y");
  EXPECT_EQ(empty->createNodePath("x.y"), y);
  EXPECT_EQ(empty->getChildren()->size(), 1u);
  EXPECT_EQ(empty->getNode("x")->getChildren()->size(), 1u);

  Node k = empty->createNodePath("k#attr");
  ASSERT_NE(k->findChildAttr("attr"), nullptr);
  EXPECT_EQ(k->findChildAttr("attr")->getValue<std::string>(), "");

  Node nested = empty->createNodePath(".a");
  EXPECT_EQ(empty->findChildNode("", "", "")->findChildNode("a", "", ""), nested);
  EXPECT_EQ(empty->findNode(".a"), nested);
}

TEST_F(PathTest, AttributePaths) {
  root->setAttrValue<std::string>("own", "o");
  EXPECT_EQ(root->findAttr("own")->getValue<std::string>(), "o");
  root->createNode("b", "");
  withAttr(root, "b", "x", "7");
  EXPECT_EQ(root->findAttr("b#x")->getValue<std::string>(), "7");
  EXPECT_TRUE(root->hasAttr("b#x"));
  EXPECT_FALSE(root->hasAttr("b#z"));
  EXPECT_FALSE(root->hasAttr("nowhere.b#x"));
  EXPECT_EQ(root->getAttrNode("a#id")->getValue<std::string>(), "1");
  EXPECT_EQ(runtimeErrorOf([&] { root->getAttrNode("b#z"); }),
            "Attribute path does not exist: b#z");
}

TEST_F(PathTest, CompareAttr) {
  auto bare = std::make_shared<ConfigNodeClass>("b");
  auto extra = std::make_shared<ConfigNodeClass>("a");
  extra->setAttrValue<std::string>("id", "1");
  extra->setAttrValue<std::string>("more", "m");
  EXPECT_TRUE(root->compareAttr(a1.get(), bare.get()));
  EXPECT_TRUE(root->compareAttr(extra.get(), a1.get()));
  EXPECT_FALSE(root->compareAttr(a1.get(), extra.get()));  // a1 lacks "more"
  EXPECT_FALSE(root->compareAttr(a2.get(), a1.get()));
  EXPECT_FALSE(root->compareAttr(bare.get(), a1.get()));
}

}  // namespace
