// Nodes, their children and attributes, and the path walks over them.
#include "ConfigNode/ConfigNode.h"

#include <utility>

namespace {

// One path segment: name, optionally '#' attribute, optionally ':' value.
struct Segment {
  std::string name;
  std::string attr;
  std::string value;
};

Segment splitSegment(const std::string& text) {
  Segment s;
  const std::string::size_type hash = text.find('#');
  if (hash == std::string::npos) {
    s.name = text;
    return s;
  }
  s.name = text.substr(0, hash);
  const std::string::size_type colon = text.find(':', hash + 1);
  if (colon == std::string::npos) {
    s.attr = text.substr(hash + 1);
  } else {
    s.attr = text.substr(hash + 1, colon - hash - 1);
    s.value = text.substr(colon + 1);
  }
  return s;
}

}  // namespace

ConfigNodeClass::ConfigNodeClass(const std::string& name, const std::string& value)
    : DataNodeClass(name, value), children_(std::make_shared<ChildMap>()) {}

ConfigNodeClass::~ConfigNodeClass() = default;

std::runtime_error ConfigNodeClass::attrError(const std::string& attr, const std::string& node,
                                              const std::exception& e) {
  return std::runtime_error("Failed to set value to attribute '" + attr + "' in node '" + node +
                            "', reason: " + e.what());
}

std::shared_ptr<ConfigNodeClass> ConfigNodeClass::createNode(const std::string& name,
                                                             const std::string& value) {
  auto node = std::make_shared<ConfigNodeClass>(name, value);
  // A multimap insert goes after the existing entries of equal key.
  children_->emplace(name, node);
  return node;
}

std::shared_ptr<DataNodeClass> ConfigNodeClass::findChildAttr(const std::string& name) const {
  const auto it = attrs_.find(name);
  return it == attrs_.end() ? nullptr : it->second;
}

std::shared_ptr<ConfigNodeClass> ConfigNodeClass::findChildNode(const std::string& name,
                                                                const std::string& attr,
                                                                const std::string& value) const {
  const auto range = children_->equal_range(name);
  for (auto it = range.first; it != range.second; ++it) {
    if (attr.empty()) return it->second;
    const auto a = it->second->attrs_.find(attr);
    if (a == it->second->attrs_.end()) continue;
    if (value.empty() || a->second->getValue<std::string>() == value) return it->second;
  }
  return nullptr;
}

std::shared_ptr<ConfigNodeClass> ConfigNodeClass::findOrCreateNode(
    std::shared_ptr<ConfigNodeClass>& current, const std::string& path, bool create) {
  // Segments are the pieces before each '.', plus a non-empty last piece
  // (the way getline with '.' reads a stream).
  std::string::size_type start = 0;
  while (current && start < path.size()) {
    std::string::size_type dot = path.find('.', start);
    if (dot == std::string::npos) dot = path.size();
    const Segment seg = splitSegment(path.substr(start, dot - start));
    start = dot + 1;

    std::shared_ptr<ConfigNodeClass> child = current->findChildNode(seg.name, seg.attr, seg.value);
    if (!child && create) {
      child = current->createNode(seg.name, "");
      if (!seg.attr.empty()) {
        auto a = std::make_shared<DataNodeClass>(seg.attr, "");
        try {
          a->setValue<std::string>(seg.value);
        } catch (const std::exception& e) {
          throw attrError(seg.attr, child->getName(), e);
        }
        child->attrs_.emplace(seg.attr, std::move(a));
      }
    }
    current = std::move(child);
  }
  return current;
}

std::shared_ptr<ConfigNodeClass> ConfigNodeClass::findNode(const std::string& path) const {
  std::shared_ptr<ConfigNodeClass> self =
      std::const_pointer_cast<ConfigNodeClass>(shared_from_this());
  return findOrCreateNode(self, path, false);
}

std::shared_ptr<ConfigNodeClass> ConfigNodeClass::getNode(const std::string& path) const {
  std::shared_ptr<ConfigNodeClass> node = findNode(path);
  if (!node) throw std::runtime_error("Node path does not exist: " + path);
  return node;
}

std::shared_ptr<ConfigNodeClass> ConfigNodeClass::createNodePath(const std::string& path) {
  std::shared_ptr<ConfigNodeClass> self = shared_from_this();
  std::shared_ptr<ConfigNodeClass> node = findOrCreateNode(self, path, true);
  if (!node) throw std::runtime_error("Failed to create node/attr path: " + path);
  return node;
}

std::shared_ptr<DataNodeClass> ConfigNodeClass::findAttr(const std::string& path) const {
  const std::string::size_type p = path.rfind('#');
  if (p == std::string::npos) return findChildAttr(path);
  // The whole path is walked: its last segment carries the attribute as a
  // selector, so the walk picks a child that has it.
  const std::shared_ptr<ConfigNodeClass> node = findNode(path);
  return node ? node->findChildAttr(path.substr(p + 1)) : nullptr;
}

std::shared_ptr<DataNodeClass> ConfigNodeClass::getAttrNode(const std::string& path) const {
  std::shared_ptr<DataNodeClass> attr = findAttr(path);
  if (!attr) throw std::runtime_error("Attribute path does not exist: " + path);
  return attr;
}

bool ConfigNodeClass::compareAttr(const ConfigNodeClass* a, const ConfigNodeClass* b) const {
  for (const auto& entry : b->attrs_) {
    if (!a->hasAttr(entry.first)) return false;
    if (a->getAttrNode(entry.first)->getValue<std::string>() !=
        entry.second->getValue<std::string>())
      return false;
  }
  return true;
}
