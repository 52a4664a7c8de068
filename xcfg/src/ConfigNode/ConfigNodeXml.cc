// Reading a configuration tree from XML, with includes and optional
// shell-style expansion of element texts and include names.
#include <sys/stat.h>
#include <tinyxml2.h>
#include <wordexp.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <utility>
#include <vector>

#include "ConfigNode/ConfigNode.h"

namespace {

// The files being read by the current load, outermost first. An include of
// a file that is still open would never end, so it fails the read instead;
// the depth limit also stops nesting that is not a plain cycle.
constexpr std::size_t kMaxIncludeDepth = 64;

struct FileId {
  bool known;  // false when the file could not be identified
  dev_t dev;
  ino_t ino;
};
std::vector<FileId> open_files;

// Pushes a file on the list of open files for the life of the guard.
class OpenFileGuard {
 public:
  explicit OpenFileGuard(const std::string& file) {
    struct stat st;
    if (::stat(file.c_str(), &st) == 0)
      open_files.push_back(FileId{true, st.st_dev, st.st_ino});
    else
      open_files.push_back(FileId{false, 0, 0});
  }
  ~OpenFileGuard() { open_files.pop_back(); }
  OpenFileGuard(const OpenFileGuard&) = delete;
  OpenFileGuard& operator=(const OpenFileGuard&) = delete;
};

// What the includes of one outermost load may read. Each include is
// charged its file's size but at least kIncludeCharge bytes, so a few small
// files that include each other many times over (the tree doubles with each
// level) stop at a bounded tree instead of growing without end.
constexpr std::uint64_t kMaxIncludedBytes = 16 << 20;
constexpr std::uint64_t kIncludeCharge = 4096;
std::uint64_t included_bytes = 0;
int load_depth = 0;

// Starts the include budget afresh for an outermost load.
class LoadScope {
 public:
  LoadScope() {
    if (load_depth++ == 0) included_bytes = 0;
  }
  ~LoadScope() { --load_depth; }
  LoadScope(const LoadScope&) = delete;
  LoadScope& operator=(const LoadScope&) = delete;
};

bool isOpen(const std::string& file) {
  struct stat st;
  if (::stat(file.c_str(), &st) != 0) return false;
  for (const FileId& id : open_files)
    if (id.known && id.dev == st.st_dev && id.ino == st.st_ino) return true;
  return false;
}

void report(const std::string& line) { std::cerr << line << std::endl; }

// The directory part of a path, up to and including its last '/'.
std::string dirPart(const std::string& file) {
  const std::string::size_type slash = file.rfind('/');
  return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

}  // namespace

std::string ConfigNodeClass::expandVar(const char* text, bool expand) {
  if (text == nullptr) return std::string();
  if (!expand) return text;
  wordexp_t words;
  const int rc = ::wordexp(text, &words, 0);
  if (rc != 0) {
    // Only an out-of-memory result may leave words allocated.
    if (rc == WRDE_NOSPACE) ::wordfree(&words);
    return text;
  }
  std::string joined;
  for (std::size_t i = 0; i < words.we_wordc; ++i) {
    if (i != 0) joined += ' ';
    joined += words.we_wordv[i];
  }
  ::wordfree(&words);
  return joined;
}

bool ConfigNodeClass::load(const std::string& file, bool expand) {
  LoadScope scope;
  tinyxml2::XMLDocument doc(true, tinyxml2::PRESERVE_WHITESPACE);
  if (doc.LoadFile(file.c_str()) != tinyxml2::XML_SUCCESS) {
    report("Could't load file: " + file);
    return false;
  }
  const tinyxml2::XMLElement* root = doc.FirstChildElement();
  if (root == nullptr) return false;
  OpenFileGuard guard(file);
  if (!readChildren(file, root, expand)) {
    report("Could't read children!");
    return false;
  }
  return true;
}

bool ConfigNodeClass::loads(const std::string& xml, bool expand) {
  LoadScope scope;
  tinyxml2::XMLDocument doc(true, tinyxml2::PRESERVE_WHITESPACE);
  if (doc.Parse(xml.c_str()) != tinyxml2::XML_SUCCESS) {
    report("Could't load from string: " + xml);
    return false;
  }
  const tinyxml2::XMLElement* root = doc.FirstChildElement();
  if (root == nullptr) return false;
  if (!readChildren("", root, expand)) {
    report("Could't read children!");
    return false;
  }
  return true;
}

bool ConfigNodeClass::readChildren(const std::string& file, const tinyxml2::XMLElement* element,
                                   bool expand) {
  if (std::strcmp(element->Name(), "include") == 0) {
    const char* name = element->Attribute("name");
    if (name == nullptr) {
      report("Include without attribute 'name' in: " + (file.empty() ? "<string>" : file));
      return false;
    }
    // The including file's directory goes in front even of a name that
    // starts with '/'.
    return include(dirPart(file) + expandVar(name, expand), expand);
  }

  setName(element->Name());

  for (const tinyxml2::XMLAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
    if (attrs_.count(a->Name()) != 0) continue;  // the first value of a name stays
    auto attr = std::make_shared<DataNodeClass>(a->Name(), "");
    try {
      attr->setValue<std::string>(a->Value());
    } catch (const std::exception& e) {
      throw attrError(a->Name(), getName(), e);
    }
    attrs_.emplace(a->Name(), std::move(attr));
  }

  for (const tinyxml2::XMLElement* child = element->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    if (std::strcmp(child->Name(), "include") == 0) {
      if (!readChildren(file, child, expand)) return false;
      continue;
    }
    std::shared_ptr<ConfigNodeClass> node = createNode(child->Name(), "");
    if (const char* text = child->GetText()) node->setData(expandVar(text, expand));
    if (!node->readChildren(file, child, expand)) return false;
  }
  return true;
}

bool ConfigNodeClass::include(const std::string& file, bool expand) {
  if (isOpen(file)) {
    report("Include cycle, file is already being read: " + file);
    return false;
  }
  if (open_files.size() >= kMaxIncludeDepth) {
    report("Includes nested too deeply at: " + file);
    return false;
  }
  struct stat st;
  const std::uint64_t size = ::stat(file.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
  const std::uint64_t charge = std::max(size, kIncludeCharge);
  if (charge > kMaxIncludedBytes - included_bytes) {
    report("Includes read too much in one load at: " + file);
    return false;
  }
  included_bytes += charge;
  tinyxml2::XMLDocument doc(true, tinyxml2::PRESERVE_WHITESPACE);
  if (doc.LoadFile(file.c_str()) != tinyxml2::XML_SUCCESS) {
    report("Could't load file: " + file);
    return false;
  }
  OpenFileGuard guard(file);
  for (const tinyxml2::XMLElement* element = doc.FirstChildElement(); element != nullptr;
       element = element->NextSiblingElement()) {
    bool ok;
    if (std::strcmp(element->Name(), "include") == 0) {
      ok = readChildren(file, element, expand);
    } else {
      ok = createNode(element->Name(), "")->readChildren(file, element, expand);
    }
    if (!ok) {
      report("Could't read children!");
      return false;
    }
  }
  return true;
}
