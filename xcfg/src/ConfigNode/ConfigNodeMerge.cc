// Copying and merging trees, text dumps and XML saving.
#include <tinyxml2.h>

#include <ostream>
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
  for (const auto& entry : *source->children_) {
    const ConfigNodeClass* c = entry.second.get();
    ConfigNodeClass* match = nullptr;
    if (merge) {
      // The first destination child of that name whose attributes cover c's;
      // children created earlier in this call are candidates too.
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
      appendNode(destination->createNode(c->getName(), "").get(), c, merge);
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
