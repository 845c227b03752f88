#include "db/client/ValueText.h"

#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace korvel;

TEST(guidText, AGuidWithOrWithoutItsBracesTakesTheProgramsForm)
{
    const QString canonical = QStringLiteral("{0F8FAD5B-D9CB-469F-A165-70867728950E}");
    for (const char* text : {"0f8fad5b-d9cb-469f-a165-70867728950e", "{0F8FAD5B-D9CB-469F-A165-70867728950E}",
                             "{0f8fad5b-d9cb-469f-a165-70867728950e", "0F8FAD5B-D9CB-469F-A165-70867728950E}"}) {
        EXPECT_TRUE(isGuidText(QString::fromLatin1(text))) << text;
        EXPECT_EQ(canonicalGuidText(QString::fromLatin1(text)), canonical) << text;
    }
    EXPECT_EQ(canonicalGuidText(QStringLiteral("00000000-0000-0000-0000-000000000000")),
              QStringLiteral("{00000000-0000-0000-0000-000000000000}"));
}

TEST(guidText, AnyOtherTextStaysAsItIs)
{
    // QUuid alone would read a GUID followed by anything.
    for (const char* text :
         {"", "not a guid", "0f8fad5b-d9cb-469f-a165-70867728950e0", "{0f8fad5b-d9cb-469f-a165-70867728950e}x",
          "{{0f8fad5b-d9cb-469f-a165-70867728950e}", "0f8fad5bXd9cb-469f-a165-70867728950e",
          "0f8fad5b-d9cb-469f-a165-70867728950g", "00000000-0000-0000-0000-00000000000 ",
          " 0f8fad5b-d9cb-469f-a165-70867728950e"}) {
        EXPECT_FALSE(isGuidText(QString::fromLatin1(text))) << text;
        EXPECT_EQ(canonicalGuidText(QString::fromLatin1(text)), QString::fromLatin1(text));
    }
}
