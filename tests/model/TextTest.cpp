#include "model/Text.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

struct TrimCase {
    const char16_t* input;
    const char16_t* expected;
};

class Trimmed : public ::testing::TestWithParam<TrimCase> {};

TEST_P(Trimmed, RemovesBlanksAndTabsButKeepsLineBreaks) {
    const TrimCase& c = GetParam();
    EXPECT_EQ(halvo::trimmed(QString::fromUtf16(c.input)), QString::fromUtf16(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Table, Trimmed,
                         ::testing::Values(TrimCase{u"", u""},                       //
                                           TrimCase{u"   ", u""},                    //
                                           TrimCase{u"  host  ", u"host"},           //
                                           TrimCase{u"\thost\t ", u"host"},          //
                                           TrimCase{u"\u00A0host\u00A0", u"host"},   // no-break space
                                           TrimCase{u"\u2003host\u3000", u"host"},   // em and ideographic space
                                           TrimCase{u"\u202Fhost\u2009", u"host"},   // narrow and thin space
                                           TrimCase{u"a b\tc", u"a b\tc"},           // inside stays
                                           TrimCase{u"\nhost\n", u"\nhost\n"},       // line breaks are content
                                           TrimCase{u" \n host \n ", u"\n host \n"}, //
                                           TrimCase{u"\r\nhost", u"\r\nhost"},       //
                                           TrimCase{u"host\u2028", u"host\u2028"},   // line separator
                                           TrimCase{u"\u200Bhost", u"\u200Bhost"})); // zero width: no space

struct IntegerCase {
    const char16_t* input;
    std::optional<qint64> expected;
};

class ParseWholeInteger : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ParseWholeInteger, AcceptsOnlyASignedRunOfAsciiDigitsWithin64Bits) {
    const IntegerCase& c = GetParam();
    EXPECT_EQ(halvo::parseWholeInteger(QString::fromUtf16(c.input)), c.expected)
        << QString::fromUtf16(c.input).toStdString();
}

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

INSTANTIATE_TEST_SUITE_P(
    Table, ParseWholeInteger,
    ::testing::Values(
        IntegerCase{u"0", 0}, IntegerCase{u"5", 5}, IntegerCase{u"+5", 5}, IntegerCase{u"-5", -5},
        IntegerCase{u"-0", 0}, IntegerCase{u"+0", 0}, IntegerCase{u"00012", 12}, IntegerCase{u"51820", 51820},
        IntegerCase{u"9223372036854775807", kMax}, IntegerCase{u"+9223372036854775807", kMax},
        IntegerCase{u"-9223372036854775808", kMin}, IntegerCase{u"-9223372036854775807", kMin + 1},
        // out of range, one past either end and far beyond
        IntegerCase{u"9223372036854775808", std::nullopt}, IntegerCase{u"-9223372036854775809", std::nullopt},
        IntegerCase{u"99999999999999999999999", std::nullopt}, IntegerCase{u"18446744073709551616", std::nullopt},
        // not a whole decimal integer
        IntegerCase{u"", std::nullopt}, IntegerCase{u"+", std::nullopt}, IntegerCase{u"-", std::nullopt},
        IntegerCase{u" 5", std::nullopt}, IntegerCase{u"5 ", std::nullopt}, IntegerCase{u"\t5", std::nullopt},
        IntegerCase{u"5\n", std::nullopt}, IntegerCase{u"+-5", std::nullopt}, IntegerCase{u"--5", std::nullopt},
        IntegerCase{u"5-", std::nullopt}, IntegerCase{u"1 000", std::nullopt}, IntegerCase{u"5.0", std::nullopt},
        IntegerCase{u"1e3", std::nullopt}, IntegerCase{u"0x10", std::nullopt}, IntegerCase{u"abc", std::nullopt},
        IntegerCase{u"\u0661\u0662", std::nullopt}, // Arabic-Indic digits
        IntegerCase{u"\uFF11\uFF12", std::nullopt}, // full-width digits
        IntegerCase{u"\u00B2", std::nullopt},       // superscript two
        IntegerCase{u"\u00A05", std::nullopt}));

struct SearchCase {
    const char16_t* value;
    const char16_t* search;
    bool matches;
};

class MatchesSearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(MatchesSearch, IsACaseInsensitiveSubstringTestOnTheUntrimmedText) {
    const SearchCase& c = GetParam();
    EXPECT_EQ(halvo::matchesSearch(QString::fromUtf16(c.value), QString::fromUtf16(c.search)), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MatchesSearch,
    ::testing::Values(
        SearchCase{u"nordlicht.example.com", u"", true}, SearchCase{u"", u"", true}, //
        SearchCase{u"nordlicht.example.com", u"LICHT", true},                        //
        SearchCase{u"FRA1", u"fra", true},                                           //
        SearchCase{u"Bäckerei", u"BÄCK", true},                                      //
        SearchCase{u"nordlicht.example.com", u" ", false},                           // not trimmed
        SearchCase{u"Shop Hamburg", u" ", true},                                     //
        SearchCase{u"example.com", u"example.com ", false},                          //
        SearchCase{u"", u"a", false},
        // full case folding: one letter may fold to two
        SearchCase{u"straße.example", u"STRASSE", true}, SearchCase{u"STRASSE.example", u"straße", true},
        SearchCase{u"Straße", u"strasse", true}, SearchCase{u"Fußball", u"FUSS", true},
        SearchCase{u"ﬁnanz.example", u"FIN", true},  // ligature fi
        SearchCase{u"ΣΟΦΟΣ", u"σοφος", true},        // final sigma
        SearchCase{u"\u212A-Netz", u"k-netz", true}, // Kelvin sign
        // canonical equivalence, either side decomposed
        SearchCase{u"mu\u0308ller.example", u"müller", true}, SearchCase{u"müller.example", u"MU\u0308LLER", true},
        SearchCase{u"Mu\u0308ller", u"ü", true}, SearchCase{u"A\u030Angstro\u0308m", u"ÅNGSTRÖM", true},
        // a letter with a mark is not the bare letter
        SearchCase{u"müller.example", u"mu", false}, SearchCase{u"mu\u0308ller.example", u"mu", false},
        SearchCase{u"q\u0307.example", u"q", false},                                            // no composed form
        SearchCase{u"q\u0307.example", u"q\u0307", true}, SearchCase{u"qq\u0307", u"q", true},  // the first q is bare
        SearchCase{u"Bäckerei", u"backerei", false}, SearchCase{u"straße", u"STRASSE ", false}, // untrimmed here too
        // outside the basic plane
        SearchCase{u"\U00010428\U00010429.example", u"\U00010400", true}));

TEST(SearchKey, FoldsOnceSoThatAKeptFieldKeyMatchesLikeTheText) {
    // A list folds each field once and keeps the key; matching keys must give what matching texts gives.
    const char16_t* const fields[] = {
        u"straße.example", u"mu\u0308ller.example", u"Shop Hamburg", u"FRA1", u"q\u0307.example", u"ΣΟΦΟΣ", u""};
    const char16_t* const searches[] = {u"STRASSE", u"müller", u"mu", u" ", u"fra", u"q", u"σοφος", u"", u"x"};
    for (const char16_t* field : fields) {
        const QString key = halvo::searchKey(QString::fromUtf16(field));
        EXPECT_EQ(halvo::searchKey(key), key) << "a key folds to itself";
        for (const char16_t* search : searches) {
            EXPECT_EQ(halvo::searchKeyContains(key, halvo::searchKey(QString::fromUtf16(search))),
                      halvo::matchesSearch(QString::fromUtf16(field), QString::fromUtf16(search)))
                << QString::fromUtf16(field).toStdString() << " / " << QString::fromUtf16(search).toStdString();
        }
    }
    EXPECT_EQ(halvo::searchKey(u"Straße"), QStringLiteral("strasse"));
    EXPECT_EQ(halvo::searchKey(u"MU\u0308LLER"), QStringLiteral("müller"));
}

} // namespace

namespace {

TEST(SearchKeys, FollowTheTextsAndMatchLikeTheSearchHelper) {
    QStringList texts{QStringLiteral("straße.example"), QString::fromUtf16(u"mu\u0308ller.example"), QString(),
                      QStringLiteral("FRA1")};
    halvo::SearchKeys keys;
    keys.update(texts.size(), [&](qsizetype i) -> const QString& { return texts[i]; });
    ASSERT_EQ(keys.size(), 4);
    const char16_t* const searches[] = {u"STRASSE", u"müller", u"fra", u"", u"x"};
    const auto agrees = [&] {
        for (qsizetype i = 0; i < texts.size(); ++i) {
            for (const char16_t* search : searches) {
                const QString text = QString::fromUtf16(search);
                EXPECT_EQ(keys.matches(i, halvo::searchKey(text)), halvo::matchesSearch(texts[i], text))
                    << i << " " << text.toStdString();
            }
        }
    };
    agrees();

    // A changed text, a shorter and a longer list: the keys follow.
    texts[1] = QStringLiteral("Müller-Bau");
    keys.update(texts.size(), [&](qsizetype i) -> const QString& { return texts[i]; });
    agrees();
    texts.removeLast();
    keys.update(texts.size(), [&](qsizetype i) -> const QString& { return texts[i]; });
    EXPECT_EQ(keys.size(), 3);
    agrees();
    texts.append(QStringLiteral("ΣΟΦΟΣ"));
    texts.append(QString());
    keys.update(texts.size(), [&](qsizetype i) -> const QString& { return texts[i]; });
    EXPECT_EQ(keys.size(), 5);
    agrees();
    EXPECT_TRUE(keys.matches(3, halvo::searchKey(u"σοφος")));
}

} // namespace
