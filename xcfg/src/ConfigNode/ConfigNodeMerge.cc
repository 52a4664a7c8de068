// Copying and merging trees, text dumps and XML saving.
#include <tinyxml2.h>

#include <cstddef>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ConfigNode/ConfigNode.h"

void ConfigNodeClass::append(std::shared_ptr<ConfigNodeClass> source, bool merge) {
  appendChildren(this, source.get(), merge);
}

bool ConfigNodeClass::containsNode(const ConfigNodeClass* node) const {
  if (node == this) return true;
  for (const auto& child : *children_)
    if (child.second->containsNode(node)) return true;
  return false;
}

void ConfigNodeClass::appendChildren(ConfigNodeClass* destination, const ConfigNodeClass* source,
                                     bool merge) {
  // Copying a tree into itself or below itself would walk the children it is
  // adding; such a source is first copied aside so the walk sees a fixed tree.
  if (source->containsNode(destination)) {
    const auto copy = std::make_shared<ConfigNodeClass>(source->getName());
    appendNode(copy.get(), source, false);
    appendNode(destination, copy.get(), merge);
    return;
  }
  appendNode(destination, source, merge);
}

void ConfigNodeClass::appendNode(ConfigNodeClass* destination, const ConfigNodeClass* source,
                                 bool merge) {
  // A source child with attributes merges into the first destination child
  // of its name whose attributes cover its own. Scanning every child of the
  // name for every source child would cost their product: a design file
  // with tens of thousands of elements of one name that differ in an
  // attribute took minutes. So the destination's children of a name are
  // indexed by attribute name and value, in child-table order, and only the
  // children holding the source child's rarest attribute value are checked.
  // The index lives for this call; a child whose attributes change is
  // entered again under its new values (entries left under old values are
  // weeded out by the full check).
  struct NameIndex {
    std::size_t next = 0;  // order number of the next child
    std::map<const ConfigNodeClass*, std::size_t> order;
    std::map<std::pair<std::string, std::string>, std::set<std::pair<std::size_t, ConfigNodeClass*>>> holders;

    void enter(ConfigNodeClass* child) {
      const auto placed = order.emplace(child, next);
      if (placed.second) ++next;
      for (const auto& attr : child->attrs_)
        holders[{attr.first, attr.second->getValue<std::string>()}].emplace(placed.first->second, child);
    }
  };
  std::map<std::string, NameIndex> index;
  // Attribute names holding '#' are paths to compareAttr: such a source
  // child is matched by the plain scan.
  auto plain_names = [](const AttrMap& attrs) {
    for (const auto& attr : attrs)
      if (attr.first.find('#') != std::string::npos) return false;
    return true;
  };

  for (const auto& entry : *source->children_) {
    const ConfigNodeClass* c = entry.second.get();
    ConfigNodeClass* match = nullptr;
    if (merge && !c->attrs_.empty() && plain_names(c->attrs_)) {
      auto built = index.find(c->getName());
      if (built == index.end()) {
        built = index.emplace(c->getName(), NameIndex()).first;
        const auto range = destination->children_->equal_range(c->getName());
        for (auto it = range.first; it != range.second; ++it) built->second.enter(it->second.get());
      }
      const std::set<std::pair<std::size_t, ConfigNodeClass*>>* rarest = nullptr;
      for (const auto& attr : c->attrs_) {
        const auto found = built->second.holders.find({attr.first, attr.second->getValue<std::string>()});
        if (found == built->second.holders.end()) {
          rarest = nullptr;
          break;
        }
        if (rarest == nullptr || found->second.size() < rarest->size()) rarest = &found->second;
      }
      if (rarest != nullptr) {
        for (const auto& candidate : *rarest) {
          if (destination->compareAttr(candidate.second, c)) {
            match = candidate.second;
            break;
          }
        }
      }
    } else if (merge) {
      // The first child of that name whose attributes cover c's.
      const auto range = destination->children_->equal_range(c->getName());
      for (auto it = range.first; it != range.second; ++it) {
        if (destination->compareAttr(it->second.get(), c)) {
          match = it->second.get();
          break;
        }
      }
    }
    if (match != nullptr) {
      appendNode(match, c, true);
    } else {
      match = destination->createNode(c->getName(), "").get();
      appendNode(match, c, merge);
    }
    if (merge) {
      const auto built = index.find(c->getName());
      if (built != index.end()) built->second.enter(match);
    }
  }
  for (const auto& attr : source->attrs_)
    destination->setAttrValue<std::string>(attr.first, attr.second->getValue<std::string>());
  destination->setData(source->getValue<std::string>());
}

void ConfigNodeClass::dump(std::stringstream& out, unsigned int indent) const {
  const std::string value = getValue<std::string>();
  out << std::string(indent, ' ') << getName() << ':';
  if (!value.empty()) out << " [" << value << ']';
  out << std::endl;
  for (const auto& attr : attrs_) {
    const std::string text = attr.second->getValue<std::string>();
    out << std::string(indent + 2, ' ') << attr.first << ": " << (text.empty() ? "(empty)" : text)
        << std::endl;
  }
  for (const auto& child : *children_) child.second->dump(out, indent + 2);
}

std::string ConfigNodeClass::toString() const {
  std::stringstream out;
  dump(out, 0);
  return out.str();
}

void ConfigNodeClass::writeChildren(tinyxml2::XMLDocument* document,
                                    tinyxml2::XMLElement* element) const {
  for (const auto& child : *children_) {
    tinyxml2::XMLElement* e = document->NewElement(child.second->getName().c_str());
    element->InsertEndChild(e);
    child.second->writeChildren(document, e);
  }
  for (const auto& attr : attrs_)
    element->SetAttribute(attr.first.c_str(), attr.second->getValue<std::string>().c_str());
  const std::string value = getValue<std::string>();
  if (!value.empty()) element->InsertEndChild(document->NewText(value.c_str()));
}

bool ConfigNodeClass::save(const std::string& file) const {
  tinyxml2::XMLDocument doc(true, tinyxml2::PRESERVE_WHITESPACE);
  doc.InsertEndChild(doc.NewDeclaration());
  tinyxml2::XMLElement* root = doc.NewElement(getName().c_str());
  doc.InsertEndChild(root);
  writeChildren(&doc, root);
  return doc.SaveFile(file.c_str(), false) == tinyxml2::XML_SUCCESS;
}
