#include "lynx_logger.h"

#include <algorithm>

namespace {

void remove_unit(std::vector<logger_unit_t*>& list, const logger_unit_t* u) {
  list.erase(std::remove(list.begin(), list.end(), u), list.end());
}

void register_unit(std::vector<logger_unit_t*>& list, logger_unit_t* u) {
  if (std::find(list.begin(), list.end(), u) == list.end()) list.push_back(u);
}

}  // namespace

logger_unit_t::logger_unit_t(const std::string& unit_name, logger_unit_t* parent_unit)
    : name(unit_name),
      full_name((parent_unit ? parent_unit->full_name : std::string()) + "/" + unit_name),
      parent(parent_unit) {
  if (parent != nullptr) {
    parent->children.push_back(this);
    set_logger(parent->logger);
  }
}

logger_unit_t::~logger_unit_t() {
  if (parent != nullptr) {
    remove_unit(parent->children, this);
  } else if (logger != nullptr) {
    remove_unit(logger->units, this);
  }
  // Orphaned children become root units of the logger they already use, so
  // that later recaching still reaches them.
  for (logger_unit_t* child : children) {
    child->parent = nullptr;
    if (child->logger != nullptr) register_unit(child->logger->units, child);
  }
}

void logger_unit_t::set_logger(lynx_logger_t* l) {
  // A root unit is listed only by the logger it belongs to, so that its
  // destructor knows the one list it has to leave.
  if (parent == nullptr && logger != nullptr && logger != l) remove_unit(logger->units, this);
  logger = l;
  level = l ? l->patterns.get_unit_log_level(full_name) : lynx_logger_t::NEVER;
  if (parent == nullptr && l != nullptr) register_unit(l->units, this);
  for (logger_unit_t* child : children) child->set_logger(logger);
}

void logger_unit_t::recache_log_level() {
  level = logger ? logger->patterns.get_unit_log_level(full_name) : lynx_logger_t::NEVER;
  for (logger_unit_t* child : children) child->recache_log_level();
}
