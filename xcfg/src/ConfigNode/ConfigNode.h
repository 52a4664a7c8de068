// Configuration tree: named nodes with text-held values, attributes and
// children, addressed by dotted paths and read from / written to XML.
#ifndef XCFG_CONFIG_NODE_H
#define XCFG_CONFIG_NODE_H

#include <exception>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2

extern "C" void libxcfg_is_present();

// A name and a value held as text. Typed reads convert the text on every
// call; typed writes store the value's text form.
class DataNodeClass {
 public:
  DataNodeClass(const std::string& name, const std::string& value);
  virtual ~DataNodeClass();

  const std::string& getName() const { return name_; }
  void setName(const std::string& name) { name_ = name; }
  void setData(const std::string& text) { value_ = text; }

  // Defined for std::string, unsigned long, long, int, unsigned int, short,
  // unsigned short, signed char, unsigned char, float, double and bool.
  template <typename T>
  T getValue() const;
  template <typename T>
  void setValue(const T& value);

 private:
  std::string name_;
  std::string value_;
};

template <> std::string DataNodeClass::getValue<std::string>() const;
template <> unsigned long DataNodeClass::getValue<unsigned long>() const;
template <> long DataNodeClass::getValue<long>() const;
template <> int DataNodeClass::getValue<int>() const;
template <> unsigned int DataNodeClass::getValue<unsigned int>() const;
template <> short DataNodeClass::getValue<short>() const;
template <> unsigned short DataNodeClass::getValue<unsigned short>() const;
template <> signed char DataNodeClass::getValue<signed char>() const;
template <> unsigned char DataNodeClass::getValue<unsigned char>() const;
template <> float DataNodeClass::getValue<float>() const;
template <> double DataNodeClass::getValue<double>() const;
template <> bool DataNodeClass::getValue<bool>() const;

template <> void DataNodeClass::setValue<std::string>(const std::string& value);
template <> void DataNodeClass::setValue<unsigned long>(const unsigned long& value);
template <> void DataNodeClass::setValue<long>(const long& value);
template <> void DataNodeClass::setValue<int>(const int& value);
template <> void DataNodeClass::setValue<unsigned int>(const unsigned int& value);
template <> void DataNodeClass::setValue<short>(const short& value);
template <> void DataNodeClass::setValue<unsigned short>(const unsigned short& value);
template <> void DataNodeClass::setValue<signed char>(const signed char& value);
template <> void DataNodeClass::setValue<unsigned char>(const unsigned char& value);
template <> void DataNodeClass::setValue<float>(const float& value);
template <> void DataNodeClass::setValue<double>(const double& value);
template <> void DataNodeClass::setValue<bool>(const bool& value);

// One node of the tree. Always owned through std::shared_ptr: the path walks
// start from shared_from_this().
class ConfigNodeClass : public DataNodeClass,
                        public std::enable_shared_from_this<ConfigNodeClass> {
 public:
  using AttrMap = std::map<std::string, std::shared_ptr<DataNodeClass>>;
  using ChildMap = std::multimap<std::string, std::shared_ptr<ConfigNodeClass>>;

  explicit ConfigNodeClass(const std::string& name, const std::string& value = "");
  virtual ~ConfigNodeClass();

  // Direct children and attributes.
  std::shared_ptr<ChildMap> getChildren() { return children_; }
  std::shared_ptr<ConfigNodeClass> createNode(const std::string& name, const std::string& value);
  std::shared_ptr<DataNodeClass> findChildAttr(const std::string& name) const;
  std::shared_ptr<ConfigNodeClass> findChildNode(const std::string& name, const std::string& attr,
                                                 const std::string& value) const;

  template <typename T>
  void setAttrValue(const std::string& path, const T& value);
  template <typename T>
  T getNodeValue(const std::string& path) const;

  // Paths.
  static std::shared_ptr<ConfigNodeClass> findOrCreateNode(std::shared_ptr<ConfigNodeClass>& current,
                                                           const std::string& path, bool create);
  std::shared_ptr<ConfigNodeClass> findNode(const std::string& path) const;
  bool hasNode(const std::string& path) const { return findNode(path) != nullptr; }
  std::shared_ptr<ConfigNodeClass> getNode(const std::string& path) const;
  std::shared_ptr<ConfigNodeClass> createNodePath(const std::string& path);
  std::shared_ptr<DataNodeClass> findAttr(const std::string& path) const;
  bool hasAttr(const std::string& path) const { return findAttr(path) != nullptr; }
  std::shared_ptr<DataNodeClass> getAttrNode(const std::string& path) const;
  bool compareAttr(const ConfigNodeClass* a, const ConfigNodeClass* b) const;

  // XML loading.
  bool load(const std::string& file, bool expand);
  bool loads(const std::string& xml, bool expand);
  bool readChildren(const std::string& file, const tinyxml2::XMLElement* element, bool expand);
  bool include(const std::string& file, bool expand);
  static std::string expandVar(const char* text, bool expand);

  // Merging, dumping and saving.
  void append(std::shared_ptr<ConfigNodeClass> source, bool merge);
  void appendChildren(ConfigNodeClass* destination, const ConfigNodeClass* source, bool merge);
  void dump(std::stringstream& out, unsigned int indent) const;
  std::string toString() const;
  void writeChildren(tinyxml2::XMLDocument* document, tinyxml2::XMLElement* element) const;
  bool save(const std::string& file) const;

 private:
  static void appendNode(ConfigNodeClass* destination, const ConfigNodeClass* source, bool merge);
  bool containsNode(const ConfigNodeClass* node) const;
  static std::runtime_error attrError(const std::string& attr, const std::string& node,
                                      const std::exception& e);

  AttrMap attrs_;
  std::shared_ptr<ChildMap> children_;
};

template <typename T>
void ConfigNodeClass::setAttrValue(const std::string& path, const T& value) {
  const std::string::size_type p = path.rfind('#');
  if (p != std::string::npos) {
    createNodePath(path.substr(0, p))->setAttrValue<T>(path.substr(p + 1), value);
    return;
  }
  std::shared_ptr<DataNodeClass> attr = findChildAttr(path);
  const bool fresh = attr == nullptr;
  if (fresh) attr = std::make_shared<DataNodeClass>(path, "");
  try {
    attr->setValue<T>(value);
  } catch (const std::exception& e) {
    throw attrError(path, getName(), e);
  }
  if (fresh) attrs_.emplace(path, std::move(attr));
}

template <typename T>
T ConfigNodeClass::getNodeValue(const std::string& path) const {
  const std::shared_ptr<ConfigNodeClass> node = findNode(path);
  if (!node) throw std::runtime_error("Node path does not exist: " + path);
  return node->getValue<T>();
}

#endif
