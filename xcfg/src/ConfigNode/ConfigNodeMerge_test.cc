#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <random>
#include <vector>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "ConfigNode/ConfigNode.h"

namespace {

using Node = std::shared_ptr<ConfigNodeClass>;

Node fromXml(const std::string& xml) {
  Node n = std::make_shared<ConfigNodeClass>("src");
  EXPECT_TRUE(n->loads(xml, false)) << xml;
  return n;
}

TEST(ConfigMergeTest, AppendTakesChildrenAttributesAndValueButNotName) {
  Node root = std::make_shared<ConfigNodeClass>("soc", "old value");
  Node src = fromXml("<cfg k='v'><swt><XLEN>64</XLEN></swt></cfg>");
  root->append(src, true);
  EXPECT_EQ(root->toString(), "soc:\n  k: v\n  swt:\n    XLEN: [64]\n");
}

TEST(ConfigMergeTest, MergeFoldsEqualChildrenAndKeepsDistinctOnes) {
  const struct {
    const char* destination;
    const char* source;
    bool merge;
    const char* expected;
  } cases[] = {
      // Two a without attributes fold into one; the second's children merge
      // into the first's, its value wins.
      {"<d/>", "<s><a>1<x>1</x><y/></a><a>2<x>2</x></a></s>", true,
       "d:\n  a: [2]\n    x: [2]\n    y:\n"},
      {"<d/>", "<s><a>1<x>1</x><y/></a><a>2<x>2</x></a></s>", false,
       "d:\n  a: [1]\n    x: [1]\n    y:\n  a: [2]\n    x: [2]\n"},
      // a (id 1) does not match a (id 2): it becomes a new child after it.
      {"<d><a id='2'>old</a></d>", "<s><a id='1'>one</a><a id='2'>two</a></s>", true,
       "d:\n  a: [two]\n    id: 2\n  a: [one]\n    id: 1\n"},
      // A source child without attributes matches any destination child.
      {"<d><a id='7' k='x'/></d>", "<s><a>v</a></s>", true, "d:\n  a: [v]\n    id: 7\n    k: x\n"},
      // Attributes are set or added; the empty source value clears the old.
      {"<d k='old'><a>gone</a></d>", "<s k='new' m=''><a/></s>", true,
       "d:\n  k: new\n  m: (empty)\n  a:\n"},
  };
  for (const auto& c : cases) {
    Node d = fromXml(c.destination);
    d->append(fromXml(c.source), c.merge);
    EXPECT_EQ(d->toString(), c.expected) << c.source << (c.merge ? " merged" : " appended");
  }
}

// A tree as plain data, merged the way the merge is defined, step by step:
// the model the random trees below are checked against.
struct Model {
  std::string name, value;
  std::map<std::string, std::string> attrs;
  std::vector<Model> children;

  std::string xml() const {
    std::string out = "<" + name;
    for (const auto& a : attrs) out += " " + a.first + "='" + a.second + "'";
    out += ">" + value;
    for (const Model& c : children) out += c.xml();
    return out + "</" + name + ">";
  }
  void dump(std::string& out, unsigned indent) const {
    out += std::string(indent, ' ') + name + ":" + (value.empty() ? "" : " [" + value + "]") + "\n";
    for (const auto& a : attrs)
      out += std::string(indent + 2, ' ') + a.first + ": " + (a.second.empty() ? "(empty)" : a.second) + "\n";
    // The child table is ordered by name, then by insertion.
    std::vector<const Model*> order;
    for (const Model& c : children) order.push_back(&c);
    std::stable_sort(order.begin(), order.end(), [](const Model* a, const Model* b) { return a->name < b->name; });
    for (const Model* c : order) c->dump(out, indent + 2);
  }
  static void append(Model& d, const Model& s, bool merge) {
    for (const Model& c : s.children) {
      Model* match = nullptr;
      for (Model& candidate : d.children) {
        if (!merge || candidate.name != c.name) continue;
        bool covers = true;
        for (const auto& a : c.attrs) {
          const auto it = candidate.attrs.find(a.first);
          covers = covers && it != candidate.attrs.end() && it->second == a.second;
        }
        if (covers) {
          match = &candidate;
          break;
        }
      }
      if (match == nullptr) {
        d.children.push_back(Model{c.name, "", {}, {}});
        match = &d.children.back();
        append(*match, c, merge);
      } else {
        append(*match, c, true);
      }
    }
    for (const auto& a : s.attrs) d.attrs[a.first] = a.second;
    d.value = s.value;
  }
};

Model randomModel(std::mt19937& rng, const std::string& name, int depth) {
  Model m{name, rng() % 3 == 0 ? std::to_string(rng() % 5) : "", {}, {}};
  for (const char* attr : {"id", "k"})
    if (rng() % 3 == 0) m.attrs[attr] = std::to_string(rng() % 3);
  const int children = depth == 0 ? 0 : static_cast<int>(rng() % 6);
  for (int i = 0; i < children; ++i) m.children.push_back(randomModel(rng, rng() % 3 == 0 ? "b" : "a", depth - 1));
  return m;
}

TEST(ConfigMergeTest, RandomTreesMergeAsDefined) {
  std::mt19937 rng(11);
  for (int round = 0; round < 500; ++round) {
    const bool merge = round % 4 != 0;
    Model d = randomModel(rng, "d", 3), s = randomModel(rng, "s", 3);
    d.value = s.value = "";  // a root element's own text is not read
    Node dn = fromXml(d.xml());
    dn->append(fromXml(s.xml()), merge);
    Model::append(d, s, merge);
    std::string expected;
    d.dump(expected, 0);
    ASSERT_EQ(dn->toString(), expected) << d.xml() << " + " << s.xml();
  }
}

// Tens of thousands of elements of one name that differ in an attribute:
// each is checked against the few children that could match, not all.
TEST(ConfigMergeTest, ManyChildrenOfOneNameMergeInProportion) {
  std::string xml = "<s>";
  for (int i = 0; i < 50000; ++i) xml += "<x id='" + std::to_string(i) + "'/>";
  xml += "<x id='7'>v</x></s>";  // merges into the eighth
  const Node src = fromXml(xml);
  const auto start = std::chrono::steady_clock::now();
  Node root = std::make_shared<ConfigNodeClass>("soc");
  root->append(src, true);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 20.0);
  EXPECT_EQ(root->getChildren()->size(), 50000u);
  EXPECT_EQ(root->getNodeValue<std::string>("x#id:7"), "v");
}

TEST(ConfigMergeTest, PlainAppendTwiceDuplicatesEverything) {
  Node d = std::make_shared<ConfigNodeClass>("d");
  Node s = fromXml("<s><a><b/></a></s>");
  d->append(s, false);
  d->append(s, false);
  EXPECT_EQ(d->toString(), "d:\n  a:\n    b:\n  a:\n    b:\n");
  d->append(s, true);
  EXPECT_EQ(d->toString(), "d:\n  a:\n    b:\n  a:\n    b:\n");
}

// Appending a tree into itself or below itself copies what was there when
// the call began; it neither loops nor copies its own copies.
TEST(ConfigMergeTest, AppendIntoItselfCopiesASnapshot) {
  Node d = fromXml("<d><a><b/></a></d>");
  d->append(d, false);
  EXPECT_EQ(d->toString(), "d:\n  a:\n    b:\n  a:\n    b:\n");
  Node b = d->getNode("a.b");
  b->append(d, false);
  EXPECT_EQ(b->getChildren()->count("a"), 2u);
  EXPECT_EQ(b->findNode("a.b")->getChildren()->size(), 0u);
  Node m = fromXml("<d><a><b/></a></d>");
  m->append(m, true);
  EXPECT_EQ(m->toString(), "d:\n  a:\n    b:\n");
}

TEST(ConfigMergeTest, DumpLayout) {
  Node soc = std::make_shared<ConfigNodeClass>("soc");
  Node swt = soc->createNode("swt", "");
  swt->setAttrValue<std::string>("id", "1");
  swt->createNode("XLEN", "64");
  std::stringstream out;
  soc->dump(out, 0);
  EXPECT_EQ(out.str(), "soc:\n  swt:\n    id: 1\n    XLEN: [64]\n");
  std::stringstream indented;
  swt->dump(indented, 3);
  EXPECT_EQ(indented.str(), "   swt:\n     id: 1\n     XLEN: [64]\n");
  EXPECT_EQ(ConfigNodeClass("x", "5").toString(), "x: [5]\n");
}

class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/xcfg_save_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override {
    unlink((dir + "/out.xml").c_str());
    rmdir(dir.c_str());
  }
  static std::string slurp(const std::string& file) {
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string dir;
};

TEST_F(SaveTest, SaveThenLoadGivesTheSameTree) {
  Node tree = std::make_shared<ConfigNodeClass>("x");
  ASSERT_TRUE(tree->load(std::string(TRACE_TEST_DATA_DIR) + "/xcfg/design.xml", false));
  tree->setAttrValue<std::string>("swt#id", "a&b<c>\"");
  tree->setAttrValue<std::string>("empty", "");
  tree->createNodePath("deep.er")->setData("  spaced  text & more ");
  ASSERT_TRUE(tree->save(dir + "/out.xml"));
  EXPECT_EQ(slurp(dir + "/out.xml").rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
  Node back = std::make_shared<ConfigNodeClass>("y");
  ASSERT_TRUE(back->load(dir + "/out.xml", false));
  EXPECT_EQ(back->toString(), tree->toString());
}

TEST_F(SaveTest, ValueTextGoesAfterChildElements) {
  Node tree = fromXml("<r><c>v<g/></c></r>");
  tree->getNode("c")->createNode("h", "w");
  ASSERT_TRUE(tree->save(dir + "/out.xml"));
  const std::string text = slurp(dir + "/out.xml");
  const auto g = text.find("<g/>");
  const auto h = text.find("<h>w</h>");
  const auto v = text.find("v</c>");
  ASSERT_NE(g, std::string::npos) << text;
  ASSERT_NE(h, std::string::npos) << text;
  ASSERT_NE(v, std::string::npos) << text;
  EXPECT_LT(g, v);
  EXPECT_LT(h, v);
  // Read back, a text behind child elements is lost.
  Node back = std::make_shared<ConfigNodeClass>("b");
  ASSERT_TRUE(back->load(dir + "/out.xml", false));
  EXPECT_EQ(back->getNode("c")->getValue<std::string>(), "");
}

TEST_F(SaveTest, UnwritablePathFails) {
  EXPECT_FALSE(ConfigNodeClass("x").save(dir + "/missing_dir/out.xml"));
}

}  // namespace
