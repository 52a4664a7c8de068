#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "ConfigNode/ConfigNode.h"

namespace {

using Node = std::shared_ptr<ConfigNodeClass>;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

const std::string kData = std::string(TRACE_TEST_DATA_DIR) + "/xcfg/";

Node fresh() { return std::make_shared<ConfigNodeClass>("soc"); }

std::string valueOf(const Node& root, const std::string& path) {
  return root->getNode(path)->getValue<std::string>();
}

// Loads XML text with expansion on and returns the value text of its child v.
std::string expanded(const std::string& text, bool expand = true) {
  Node n = fresh();
  EXPECT_TRUE(n->loads("<cfg><v>" + text + "</v></cfg>", expand)) << text;
  return valueOf(n, "v");
}

// The design-parameter file as both tools read it: loaded into a node,
// merged into the root "soc", then the seven keys of "swt".
TEST(ConfigXmlTest, DesignParametersAsTheToolsReadThem) {
  Node root = fresh();
  Node loaded = fresh();
  ASSERT_TRUE(loaded->load(kData + "design.xml", true));
  EXPECT_EQ(loaded->getName(), "cfg");
  root->append(loaded, true);
  EXPECT_EQ(root->getName(), "soc");
  Node swt = root->getNode("swt");
  EXPECT_EQ(swt->getValue<std::string>(), "");
  EXPECT_EQ(swt->getNodeValue<unsigned long>("XLEN"), 64u);
  EXPECT_EQ(swt->getNodeValue<unsigned long>("FLEN"), 64u);
  EXPECT_EQ(swt->getNodeValue<unsigned long>("PADDR_WIDTH"), 56u);
  EXPECT_EQ(swt->getNodeValue<unsigned long>("IRF_DATA_WIDTH"), 64u);
  EXPECT_EQ(swt->getNodeValue<unsigned long>("CL_WIDTH"), 512u);
  EXPECT_EQ(swt->getNodeValue<unsigned long>("CL_CHUNKS"), 4u);
  EXPECT_TRUE(swt->getNodeValue<bool>("POISON_ENABLE"));
}

TEST(ConfigXmlTest, DuplicateKeyMergesToTheLastValue) {
  Node loaded = fresh();
  ASSERT_TRUE(loaded->load(kData + "xlen_twice.xml", true));
  EXPECT_EQ(loaded->getNode("swt")->getChildren()->count("XLEN"), 2u);
  EXPECT_EQ(loaded->getNodeValue<unsigned long>("swt.XLEN"), 32u);
  Node root = fresh();
  root->append(loaded, true);
  EXPECT_EQ(root->getNode("swt")->getChildren()->count("XLEN"), 1u);
  EXPECT_EQ(root->getNodeValue<unsigned long>("swt.XLEN"), 64u);
}

TEST(ConfigXmlTest, LoadTwiceAddsSecondCopy) {
  Node n = fresh();
  ASSERT_TRUE(n->load(kData + "design.xml", false));
  ASSERT_TRUE(n->load(kData + "design.xml", false));
  auto range = n->getChildren()->equal_range("swt");
  ASSERT_EQ(std::distance(range.first, range.second), 2);
  EXPECT_EQ(n->getNode("swt"), range.first->second);
  EXPECT_NE(n->getNode("swt"), std::next(range.first)->second);
}

TEST(ConfigXmlTest, ElementsAttributesAndTexts) {
  Node n = fresh();
  n->setAttrValue<std::string>("kept", "old");
  ASSERT_TRUE(n->loads(
      "<cfg kept='new' a='&lt;$HOME&gt;' a2='x'>root text"
      "<t>text first<c/></t><u><c/>text after</u><w><!--c-->x</w><e/></cfg>",
      true));
  EXPECT_EQ(n->getName(), "cfg");
  EXPECT_EQ(n->getValue<std::string>(), "");  // the root's text is not read
  EXPECT_EQ(n->findChildAttr("kept")->getValue<std::string>(), "old");
  EXPECT_EQ(n->findChildAttr("a")->getValue<std::string>(), "<$HOME>");  // never expanded
  EXPECT_EQ(valueOf(n, "t"), "text first");
  EXPECT_TRUE(n->hasNode("t.c"));
  EXPECT_EQ(valueOf(n, "u"), "");
  EXPECT_EQ(valueOf(n, "w"), "x");  // tinyxml2's GetText steps over a leading comment
  EXPECT_EQ(valueOf(n, "e"), "");
}

TEST(ConfigXmlTest, LoadsReadsOnlyTheFirstTopLevelElement) {
  Node n = fresh();
  ASSERT_TRUE(n->loads("<a><x/></a><b><y/></b>", false));
  EXPECT_EQ(n->getName(), "a");
  EXPECT_TRUE(n->hasNode("x"));
  EXPECT_FALSE(n->hasNode("y"));
}

TEST(ConfigXmlTest, ExpansionOfElementTexts) {
  ASSERT_EQ(setenv("XCFG_TEST_VAR", "val", 1), 0);
  const char* home = std::getenv("HOME");
  ASSERT_NE(home, nullptr);
  EXPECT_EQ(expanded("$HOME/x"), std::string(home) + "/x");
  EXPECT_EQ(expanded("$HOME/x", false), "$HOME/x");
  const struct {
    const char* text;
    const char* value;
  } cases[] = {
      {"a    b", "a b"},
      {"   ", ""},
      {"'a  b' c", "a  b c"},
      {"${XCFG_TEST_VAR}-x", "val-x"},
      {"$XCFG_TEST_UNSET_VAR", ""},
      {"$(echo sub  out)", "sub out"},
      {"a; b", "a; b"},          // unquoted ';' is rejected
      {"a\n  b", "a\n  b"},      // unquoted line break too
      {"a | b", "a | b"},
      {"'unterminated", "'unterminated"},
  };
  for (const auto& c : cases) EXPECT_EQ(expanded(c.text), c.value) << c.text;
  EXPECT_EQ(ConfigNodeClass::expandVar("a  b", false), "a  b");
  EXPECT_EQ(ConfigNodeClass::expandVar(nullptr, true), "");
}

TEST(ConfigXmlTest, IncludesAreRelativeToTheIncludingFile) {
  Node n = fresh();
  ASSERT_TRUE(n->load(kData + "inc/main.xml", false));
  EXPECT_EQ(n->getName(), "cfg");
  // sub/p.xml: two top-level elements plus q.xml from its own directory.
  Node p1 = n->getNode("p1#id:1");
  EXPECT_EQ(p1->getValue<std::string>(), "");  // a top-level element's text is not read
  EXPECT_EQ(valueOf(n, "p1.leaf"), "v1");
  EXPECT_TRUE(n->hasNode("p2"));
  EXPECT_TRUE(n->hasNode("q"));
  EXPECT_EQ(valueOf(n, "q"), "");
  // "/abs/p.xml" is still taken below the including file's directory.
  EXPECT_TRUE(n->hasNode("abs"));
  EXPECT_FALSE(n->hasNode("include"));
}

TEST(ConfigXmlTest, IncludeNameIsExpanded) {
  ASSERT_EQ(setenv("XCFG_TEST_SUB", "sub", 1), 0);
  Node n = fresh();
  ASSERT_TRUE(n->loads("<cfg><include name='" + kData + "inc/$XCFG_TEST_SUB/q.xml'/></cfg>", true));
  EXPECT_TRUE(n->hasNode("q"));
  Node off = fresh();
  CaptureStderr();
  EXPECT_FALSE(off->loads("<cfg><include name='" + kData + "inc/$XCFG_TEST_SUB/q.xml'/></cfg>", false));
  GetCapturedStderr();
}

TEST(ConfigXmlTest, LoadsTakesIncludesFromTheWorkingDirectory) {
  char* old = getcwd(nullptr, 0);
  ASSERT_NE(old, nullptr);
  ASSERT_EQ(chdir((kData + "inc/sub").c_str()), 0);
  Node n = fresh();
  const bool ok = n->loads("<cfg><include name='q.xml'/></cfg>", false);
  EXPECT_EQ(chdir(old), 0);
  free(old);
  EXPECT_TRUE(ok);
  EXPECT_TRUE(n->hasNode("q"));
}

TEST(ConfigXmlTest, IncludeAsRootKeepsTheNodeName) {
  Node n = fresh();
  ASSERT_TRUE(n->load(kData + "inc/root_include.xml", false));
  EXPECT_EQ(n->getName(), "soc");
  EXPECT_TRUE(n->hasNode("q"));
}

TEST(ConfigXmlTest, UnreadableInputLeavesNodeUntouched) {
  const struct {
    bool isFile;
    std::string input;
    std::string err;
  } cases[] = {
      {true, kData + "no_such.xml", "Could't load file: " + kData + "no_such.xml\n"},
      {true, kData + "comment_only.xml", ""},
      {false, "<a><b></a>", "Could't load from string: <a><b></a>\n"},
      {false, "", "Could't load from string: \n"},
      {false, "<!-- c -->", ""},
  };
  for (const auto& c : cases) {
    Node n = fresh();
    CaptureStderr();
    EXPECT_FALSE(c.isFile ? n->load(c.input, true) : n->loads(c.input, true)) << c.input;
    EXPECT_EQ(GetCapturedStderr(), c.err) << c.input;
    EXPECT_EQ(n->toString(), "soc:\n") << c.input;
  }
}

TEST(ConfigXmlTest, MissingIncludeReportsEachLevel) {
  Node n = fresh();
  CaptureStderr();
  EXPECT_FALSE(n->load(kData + "inc/missing_deep.xml", false));
  EXPECT_EQ(GetCapturedStderr(), "Could't load file: " + kData + "inc/sub/does_not_exist.xml\n" +
                                     "Could't read children!\nCould't read children!\n");
  // What was read before the failure stays.
  EXPECT_TRUE(n->hasNode("a.inner"));
}

// An include element without "name" fails the read rather than guessing a
// file.
TEST(ConfigXmlTest, IncludeWithoutNameFailsTheRead) {
  Node n = fresh();
  CaptureStderr();
  EXPECT_FALSE(n->load(kData + "inc/no_name.xml", false));
  const std::string err = GetCapturedStderr();
  EXPECT_NE(err.find("Include without attribute 'name'"), std::string::npos) << err;
  EXPECT_NE(err.find("Could't read children!"), std::string::npos) << err;
  EXPECT_TRUE(n->hasNode("before"));
  EXPECT_FALSE(n->hasNode("after"));
  EXPECT_FALSE(n->hasNode("q"));
}

// A file that includes itself, directly or through another file, fails the
// read at the first repeat instead of recursing without end.
TEST(ConfigXmlTest, IncludeCyclesFail) {
  for (const char* file : {"cycle/self.xml", "cycle/a.xml"}) {
    Node n = fresh();
    CaptureStderr();
    EXPECT_FALSE(n->load(kData + file, false)) << file;
    const std::string err = GetCapturedStderr();
    EXPECT_NE(err.find("Include cycle"), std::string::npos) << err;
    EXPECT_LT(n->toString().size(), 64u) << n->toString();
  }
  // The same file included twice side by side is no cycle, and a failed
  // load leaves nothing open behind.
  Node n = fresh();
  ASSERT_TRUE(n->loads("<cfg><include name='" + kData + "inc/sub/q.xml'/><include name='" + kData +
                           "inc/sub/q.xml'/></cfg>",
                       false));
  EXPECT_EQ(n->getChildren()->count("q"), 2u);
}

// Nesting that is not a cycle still ends at a depth limit.
TEST(ConfigXmlTest, DeepIncludeChainStops) {
  char tmpl[] = "/tmp/xcfg_chain_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  const int files = 200;
  for (int i = 0; i < files; ++i) {
    std::ofstream out(dir + "/f" + std::to_string(i) + ".xml");
    if (i + 1 < files)
      out << "<n" << i << "><include name='f" << i + 1 << ".xml'/></n" << i << ">\n";
    else
      out << "<end/>\n";
  }
  Node n = fresh();
  CaptureStderr();
  EXPECT_FALSE(n->load(dir + "/f0.xml", false));
  EXPECT_NE(GetCapturedStderr().find("nested too deeply"), std::string::npos);
  // A short chain of the same shape loads.
  Node shortChain = fresh();
  EXPECT_TRUE(shortChain->load(dir + "/f" + std::to_string(files - 10) + ".xml", false));
  EXPECT_NE(shortChain->toString().find("end:"), std::string::npos);
  for (int i = 0; i < files; ++i) unlink((dir + "/f" + std::to_string(i) + ".xml").c_str());
  rmdir(dir.c_str());
}

// Files that each include the next one ten times: the tree grows tenfold
// with each level. The includes of one load read a bounded amount, so eight
// levels (a hundred million nodes) fail quickly; three levels load, and a
// new load starts with a fresh allowance.
TEST(ConfigXmlTest, IncludeFanOutIsBounded) {
  char tmpl[] = "/tmp/xcfg_fan_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  const int levels = 8;
  for (int i = 0; i <= levels; ++i) {
    std::ofstream out(dir + "/f" + std::to_string(i) + ".xml");
    out << "<n" << i << ">";
    for (int k = 0; k < 10 && i < levels; ++k) out << "<include name='f" << i + 1 << ".xml'/>";
    out << "</n" << i << ">\n";
  }
  Node n = fresh();
  CaptureStderr();
  EXPECT_FALSE(n->load(dir + "/f0.xml", false));
  EXPECT_NE(GetCapturedStderr().find("Includes read too much in one load at: " + dir + "/f"), std::string::npos);
  EXPECT_LT(n->toString().size(), 1u << 20);

  Node small = fresh();
  ASSERT_TRUE(small->load(dir + "/f" + std::to_string(levels - 3) + ".xml", false));
  ASSERT_TRUE(small->load(dir + "/f" + std::to_string(levels - 3) + ".xml", false));
  EXPECT_EQ(small->getNode("n" + std::to_string(levels - 2))->getChildren()->count("n" + std::to_string(levels - 1)),
            10u);
  for (int i = 0; i <= levels; ++i) unlink((dir + "/f" + std::to_string(i) + ".xml").c_str());
  rmdir(dir.c_str());
}

}  // namespace
