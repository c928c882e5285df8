// Registry keys and values in memory, with knobs for what the real registry
// rarely does: a read-back that differs, a write or read that fails, a
// delete that leaves the value.
#pragma once

#include <map>
#include <set>
#include <string>

#include "app/run_entry.h"

namespace norvane::testing {

class FakeRegistry : public RegistryStore {
  public:
    struct Value {
        unsigned type;
        std::string data;
    };
    std::set<std::string> keys{"Software\\Microsoft\\Windows\\CurrentVersion\\Run"};
    std::map<std::pair<std::string, std::string>, Value> values;
    bool failSet = false, failRead = false, keepOnDelete = false;
    std::string readBackSuffix;  // appended to what is stored by SetText

    static constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

    bool KeyExists(std::string_view subkey) override { return keys.count(std::string(subkey)) > 0; }
    std::optional<ValueInfo> QueryInfo(std::string_view subkey, std::string_view name) override {
        const auto it = values.find({std::string(subkey), std::string(name)});
        if (!KeyExists(subkey) || it == values.end()) return std::nullopt;
        return ValueInfo{it->second.type, it->second.data.size()};
    }
    std::optional<std::string> QueryData(std::string_view subkey, std::string_view name,
                                         std::size_t size) override {
        const auto it = values.find({std::string(subkey), std::string(name)});
        if (failRead || it == values.end()) return std::nullopt;
        return it->second.data.substr(0, size);
    }
    bool SetText(std::string_view subkey, std::string_view name, std::string_view bytes) override {
        if (failSet || !KeyExists(subkey)) return false;
        std::string stored(bytes);
        stored.insert(stored.size() - 1, readBackSuffix);
        values[{std::string(subkey), std::string(name)}] = {kRegSz, stored};
        return true;
    }
    void DeleteValue(std::string_view subkey, std::string_view name) override {
        if (!keepOnDelete) values.erase({std::string(subkey), std::string(name)});
    }

    std::string Text(const std::string& name) const {
        const auto it = values.find({kRun, name});
        return it == values.end() ? "<none>" : it->second.data;
    }
};

}  // namespace norvane::testing
