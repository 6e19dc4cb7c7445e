#include "model/AuthInfoCode.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct CodeCase {
    const char* what;
    const char16_t* name;
    const char16_t* taken; ///< the part between the fixed prefix and suffix
};

class AuthInfoCode : public ::testing::TestWithParam<CodeCase> {};

TEST_P(AuthInfoCode, TakesSixUserVisibleCharactersOfTheUpperCasedName) {
    const CodeCase& c = GetParam();
    const QString expected = QStringLiteral("AUTH-HLV-") + QString::fromUtf16(c.taken) + QStringLiteral("-40729");
    EXPECT_EQ(halvo::authInfoCode(QString::fromUtf16(c.name)), expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, AuthInfoCode,
    ::testing::Values(CodeCase{"plain", u"beispiel-shop.de", u"BEISPI"},    //
                      CodeCase{"short", u"ab.io", u"AB.IO"},                //
                      CodeCase{"empty", u"", u""},                          //
                      CodeCase{"precomposed", u"école.example", u"ÉCOLE."}, //
                      CodeCase{"decomposed", u"e\u0301cole.example", u"E\u0301COLE."},
                      CodeCase{"two marks on one letter", u"a\u0323\u0302bcdefg", u"A\u0323\u0302BCDEF"},
                      CodeCase{"mark on the fifth letter", u"abcde\u0301fg", u"ABCDE\u0301F"},
                      CodeCase{"outside the basic plane", u"abcde\U0001F600z.de", u"ABCDE\U0001F600"},
                      CodeCase{"flag of two regional indicators", u"\U0001F1E9\U0001F1EAabcdefg",
                               u"\U0001F1E9\U0001F1EAABCDE"},
                      CodeCase{"emoji sequence joined by ZWJ", u"abcde\U0001F469\u200D\U0001F4BBx",
                               u"ABCDE\U0001F469\u200D\U0001F4BB"},
                      CodeCase{"line break pair", u"abcde\r\nx", u"ABCDE\r\n"},
                      CodeCase{"upper case grows", u"straße.de", u"STRASS"}),
    [](const ::testing::TestParamInfo<CodeCase>& info) { return std::to_string(info.index); });

} // namespace
