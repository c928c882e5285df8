#include "app/companion_documents.h"

namespace norvane {
namespace {

std::string_view FolderOf(std::string_view path) {
    return path.substr(0, path.find_last_of('\\') + 1);
}

}  // namespace

std::string ReadmePath(std::string_view executablePath) {
    const std::string_view folder = FolderOf(executablePath);
    std::string_view name = executablePath.substr(folder.size());
    name = name.substr(0, name.find('.'));
    return std::string(folder).append(name).append(".txt");
}

std::string CatalogPath(std::string_view executablePath) {
    return std::string(FolderOf(executablePath)).append("catalog.txt");
}

std::string CatalogMissingMessage(std::string_view productName) {
    return std::string("Varnok's Shareware Catalog is not in the same directory as ")
        .append(productName)
        .append(".  ")
        .append("The required file 'catalog.txt' was included in the ")
        .append("distribution ZIP file.  Please unzip this file and try again.");
}

}  // namespace norvane
