#include "app/companion_documents.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

TEST(CompanionDocuments, ReadmeIsTheNameUpToItsFirstFullStop) {
    EXPECT_EQ(ReadmePath("C:\\Tools\\norvanel.exe"), "C:\\Tools\\norvanel.txt");
    EXPECT_EQ(ReadmePath("C:\\Tools\\my.tool.exe"), "C:\\Tools\\my.txt");
    EXPECT_EQ(ReadmePath("C:\\My Tools\\noext"), "C:\\My Tools\\noext.txt");
    EXPECT_EQ(ReadmePath("C:\\v1.2\\norvanel.exe"),
              "C:\\v1.2\\norvanel.txt");  // the folder's dots do not count
    EXPECT_EQ(CatalogPath("C:\\Tools\\norvanel.exe"), "C:\\Tools\\catalog.txt");
}

TEST(CompanionDocuments, CatalogMessageIsOneParagraph) {
    EXPECT_EQ(
        CatalogMissingMessage("Norvane v1.1b"),
        "Varnok's Shareware Catalog is not in the same directory as Norvane v1.1b.  The required "
        "file 'catalog.txt' was included in the distribution ZIP file.  Please unzip this file "
        "and try again.");
}

}  // namespace
}  // namespace norvane
