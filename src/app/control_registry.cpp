#include "app/control_registry.h"

#include <stdexcept>

namespace hx350 {

void ControlRegistry::add(ControlEntry entry) {
    if (index_.count(entry.name) != 0) throw std::logic_error("control added twice: " + entry.name);
    index_.emplace(entry.name, entries_.size());
    entries_.push_back(std::move(entry));
}

void ControlRegistry::addGroup(GroupInfo group) {
    for (const auto& g : groups_) {
        if (g.page == group.page && g.id == group.id)
            throw std::logic_error("group added twice: " + group.id);
    }
    groups_.push_back(std::move(group));
}

void ControlRegistry::addText(int page, std::string_view id, std::string text) {
    for (auto& g : groups_) {
        if (g.page == page && g.id == id) {
            g.texts.push_back(std::move(text));
            return;
        }
    }
    throw std::logic_error("no such group: " + std::string(id));
}

void ControlRegistry::setHandler(std::string_view name, std::string handler) {
    const auto it = index_.find(std::string(name));
    if (it == index_.end()) throw std::logic_error("handler for unknown control: " + std::string(name));
    entries_[it->second].handler = std::move(handler);
}

const ControlEntry* ControlRegistry::find(std::string_view name) const {
    const auto it = index_.find(std::string(name));
    return it == index_.end() ? nullptr : &entries_[it->second];
}

}  // namespace hx350
