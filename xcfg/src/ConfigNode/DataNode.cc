// Typed reads and writes of a text-held value.
#include <sstream>
#include <string>

#include "ConfigNode/ConfigNode.h"

DataNodeClass::DataNodeClass(const std::string& name, const std::string& value)
    : name_(name), value_(value) {}

DataNodeClass::~DataNodeClass() = default;

// Every numeric read starts at the beginning of the text and ignores what
// follows the number; base 0 accepts 0x.. hexadecimal and 0.. octal. The
// narrow integer types go through the 32-bit signed conversion and keep
// their low bits, so their errors carry the name "stoi".
template <> std::string DataNodeClass::getValue<std::string>() const { return value_; }
template <> unsigned long DataNodeClass::getValue<unsigned long>() const {
  return std::stoull(value_, nullptr, 0);
}
template <> long DataNodeClass::getValue<long>() const { return std::stoll(value_, nullptr, 0); }
template <> int DataNodeClass::getValue<int>() const { return std::stoi(value_, nullptr, 0); }
template <> unsigned int DataNodeClass::getValue<unsigned int>() const {
  return static_cast<unsigned int>(std::stoi(value_, nullptr, 0));
}
template <> short DataNodeClass::getValue<short>() const {
  return static_cast<short>(std::stoi(value_, nullptr, 0));
}
template <> unsigned short DataNodeClass::getValue<unsigned short>() const {
  return static_cast<unsigned short>(std::stoi(value_, nullptr, 0));
}
template <> signed char DataNodeClass::getValue<signed char>() const {
  return static_cast<signed char>(std::stoi(value_, nullptr, 0));
}
template <> unsigned char DataNodeClass::getValue<unsigned char>() const {
  return static_cast<unsigned char>(std::stoi(value_, nullptr, 0));
}
template <> float DataNodeClass::getValue<float>() const { return std::stof(value_); }
template <> double DataNodeClass::getValue<double>() const { return std::stod(value_); }
template <> bool DataNodeClass::getValue<bool>() const {
  // Only a text that starts with "true" reads as true; a failed read leaves
  // false.
  std::istringstream in(value_);
  bool result = false;
  in >> std::boolalpha >> result;
  return result;
}

template <> void DataNodeClass::setValue<std::string>(const std::string& value) { value_ = value; }
template <> void DataNodeClass::setValue<unsigned long>(const unsigned long& value) {
  value_ = std::to_string(value);
}
template <> void DataNodeClass::setValue<long>(const long& value) { value_ = std::to_string(value); }
template <> void DataNodeClass::setValue<int>(const int& value) { value_ = std::to_string(value); }
template <> void DataNodeClass::setValue<unsigned int>(const unsigned int& value) {
  value_ = std::to_string(value);
}
template <> void DataNodeClass::setValue<short>(const short& value) {
  value_ = std::to_string(static_cast<int>(value));
}
template <> void DataNodeClass::setValue<unsigned short>(const unsigned short& value) {
  value_ = std::to_string(static_cast<int>(value));
}
template <> void DataNodeClass::setValue<signed char>(const signed char& value) {
  value_ = std::to_string(static_cast<int>(value));
}
template <> void DataNodeClass::setValue<unsigned char>(const unsigned char& value) {
  value_ = std::to_string(static_cast<int>(value));
}
template <> void DataNodeClass::setValue<float>(const float& value) {
  value_ = std::to_string(static_cast<double>(value));
}
template <> void DataNodeClass::setValue<double>(const double& value) { value_ = std::to_string(value); }
template <> void DataNodeClass::setValue<bool>(const bool& value) { value_ = value ? "true" : "false"; }
