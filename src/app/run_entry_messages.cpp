#include "app/run_entry_messages.h"

namespace norvane {
namespace {

constexpr std::string_view kKeyMissing =
    "Error: The specified Registry Key for this operation \r\ndoes NOT exist on your PC.  \r\n\r\n";
constexpr std::string_view kContact = "Please contact the program's author.";

std::string Details(std::string_view head, std::string_view key, std::string_view name) {
    std::string text(head);
    text.append(" Error Key   = ").append(key).append("\r\n");
    text.append(" Error Item  = ").append(name).append("\r\n");
    return text;
}

}  // namespace

std::string KeyMissingOnWriteMessage(std::string_view key, std::string_view name,
                                     std::string_view text) {
    return Details(kKeyMissing, key, name)
        .append(" Error Value = ")
        .append(text)
        .append("\r\n\r\n")
        .append(kContact);
}

std::string ReadBackDiffersMessage(std::string_view key, std::string_view name,
                                   std::string_view text) {
    return Details(
               "Error: The required settings could not be created \r\nor saved in the Windows "
               "Registry.  \r\n\r\n",
               key, name)
        .append(" Error Value = ")
        .append(text)
        .append("\r\n\r\n")
        .append(kContact);
}

std::string KeyMissingOnDeleteMessage(std::string_view key, std::string_view name) {
    return Details(kKeyMissing, key, name).append("\r\n").append(kContact);
}

std::string ValueNotRemovedMessage(std::string_view key, std::string_view name) {
    return Details(
               "Error: The required Registry Key settings \r\ncould not be removed from the "
               "Windows Registry.  \r\n\r\n",
               key, name)
        .append("\r\n")
        .append(kContact);
}

std::string EntryPointsElsewhereMessage(std::string_view name, std::string_view stored,
                                        std::string_view current) {
    std::string text = "The directory / path settings required to make this program (";
    text.append(name).append(")\r\n");
    text.append("run automatically at Windows Start-up do not match where the program \r\n");
    text.append("is currently being run from.\r\n\r\n");
    text.append(" Old      = ").append(stored).append("\r\n");
    text.append(" Current = ").append(current).append("\r\n\r\n");
    text.append(
        "Do you want to update the Windows Registry to reflect the programs current locaton ?");
    return text;
}

std::string WillRunMessage(std::string_view name) {
    return std::string("This program (")
        .append(name)
        .append(") will now run automatically at Windows Start-Up.");
}

std::string WillNoLongerRunMessage(std::string_view name) {
    return std::string("This program (")
        .append(name)
        .append(") will now no-longer run automatically at Windows Start-Up.");
}

}  // namespace norvane
