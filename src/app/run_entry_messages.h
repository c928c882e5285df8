// The texts the Run entry shows. "\r\n" are line breaks; the blanks are the
// texts' own.
#pragma once

#include <string>
#include <string_view>

namespace norvane {

std::string KeyMissingOnWriteMessage(std::string_view key, std::string_view name,
                                     std::string_view text);
std::string ReadBackDiffersMessage(std::string_view key, std::string_view name,
                                   std::string_view text);
std::string KeyMissingOnDeleteMessage(std::string_view key, std::string_view name);
std::string ValueNotRemovedMessage(std::string_view key, std::string_view name);
std::string EntryPointsElsewhereMessage(std::string_view name, std::string_view stored,
                                        std::string_view current);
std::string WillRunMessage(std::string_view name);
std::string WillNoLongerRunMessage(std::string_view name);

}  // namespace norvane
