#include "app/run_entry.h"

#include <stdexcept>

#include "app/run_entry_messages.h"

namespace norvane {
namespace {

std::string_view Subkey(std::string_view keyPath) {
    if (!keyPath.empty() && keyPath.front() == '\\') keyPath.remove_prefix(1);
    return keyPath;
}

std::string Quoted(std::string_view prefix, std::string_view name) {
    return std::string(prefix).append(name).append("'");
}

std::string Capitals(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return Capitals(a) == Capitals(b);
}

}  // namespace

std::string ReadRegistryText(RegistryStore& store, std::string_view keyPath,
                             std::string_view name) {
    const std::string_view subkey = Subkey(keyPath);
    if (!store.KeyExists(subkey)) return {};
    const auto info = store.QueryInfo(subkey, name);
    if (!info || info->size == 0) return {};
    const auto data = store.QueryData(subkey, name, info->size);
    if (!data) throw std::runtime_error(Quoted("Failed to get data for '", name));
    if (info->type != kRegSz && info->type != kRegExpandSz)
        throw std::runtime_error(Quoted("Invalid data type for '", name));
    return data->substr(0, data->find('\0'));
}

bool WriteRegistryText(RegistryStore& store, MessageDialog& messages, std::string_view keyPath,
                       std::string_view name, std::string_view text) {
    const std::string_view subkey = Subkey(keyPath);
    if (!store.KeyExists(subkey)) {
        messages.Show(KeyMissingOnWriteMessage(keyPath, name, text), MessageKind::Error,
                      MessageButtons::Ok);
        return false;
    }
    std::string bytes(text);
    bytes.push_back('\0');
    if (!store.SetText(subkey, name, bytes))
        throw std::runtime_error(Quoted("Failed to set data for '", name));
    if (ReadRegistryText(store, keyPath, name) != text) {
        messages.Show(ReadBackDiffersMessage(keyPath, name, text), MessageKind::Error,
                      MessageButtons::Ok);
        return false;
    }
    return true;
}

bool DeleteRegistryValue(RegistryStore& store, MessageDialog& messages, std::string_view keyPath,
                         std::string_view name) {
    const std::string_view subkey = Subkey(keyPath);
    if (!store.KeyExists(subkey)) {
        messages.Show(KeyMissingOnDeleteMessage(keyPath, name), MessageKind::Error,
                      MessageButtons::Ok);
        return false;
    }
    store.DeleteValue(subkey, name);
    if (store.QueryInfo(subkey, name)) {
        messages.Show(ValueNotRemovedMessage(keyPath, name), MessageKind::Error,
                      MessageButtons::Ok);
        return false;
    }
    return true;
}

std::string RunEntryData(std::string_view executablePath) {
    if (executablePath.find(' ') == std::string_view::npos) return std::string(executablePath);
    return std::string("\"").append(executablePath).append("\"");
}

RunEntry::RunEntry(RegistryStore& store, MessageDialog& messages, std::string executablePath)
    : store_(store), messages_(messages), path_(std::move(executablePath)) {
    name_ = path_.substr(path_.find_last_of('\\') + 1);
}

bool RunEntry::Add() {
    if (!WriteRegistryText(store_, messages_, kRunKeyPath, name_, RunEntryData(path_)))
        return false;
    messages_.Show(WillRunMessage(name_), MessageKind::Information, MessageButtons::Ok);
    return true;
}

bool RunEntry::Remove() {
    if (!DeleteRegistryValue(store_, messages_, kRunKeyPath, name_)) return false;
    messages_.Show(WillNoLongerRunMessage(name_), MessageKind::Information, MessageButtons::Ok);
    return true;
}

bool RunEntry::Verify() {
    const std::string stored = ReadRegistryText(store_, kRunKeyPath, name_);
    if (stored.empty()) return false;
    // Current with or without the quotation marks that guard a path with blanks.
    std::string_view unquoted = stored;
    if (unquoted.size() >= 2 && unquoted.front() == '"' && unquoted.back() == '"')
        unquoted = unquoted.substr(1, unquoted.size() - 2);
    if (SameIgnoringCase(stored, path_) || SameIgnoringCase(unquoted, path_)) return true;
    const MessageAnswer answer = messages_.Show(EntryPointsElsewhereMessage(name_, stored, path_),
                                                MessageKind::Warning, MessageButtons::YesNo);
    if (answer == MessageAnswer::Yes) Add();
    return true;
}

}  // namespace norvane
