#include "core/web/pattern.h"

#include <gtest/gtest.h>

namespace ambrel::web {
namespace {

TEST(PatternTest, StarPiecesAreFoundInOrderFromWhereThePreviousOneStarted) {
    struct Case {
        const char* text;
        const char* pattern;
        bool expected;
    } cases[] = {
        {"anything", "", true},
        {"http://h/pics/a.jpg", "pics", true},
        {"http://h/pics/a.jpg", "PICS", false},
        {"http://h/pics/a.jpg", "pics*.jpg", true},
        {"http://h/pics/a.jpg", ".jpg*pics", false},
        {"http://h/pics/a.jpg", "*a.jpg", true},
        {"http://h/pics/a.jpg", "h*", true},
        {"http://h/pics/a.jpg", "**", true},
        {"http://h/pics/a.jpg", "x*", false},
        // The next piece is searched from the start of the previous one, so overlap counts.
        {"abc", "abc*bc", true},
        {"abc", "abc*abc", true},
        {"ab", "ab*abc", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.pattern);
        EXPECT_EQ(isgoodstringforpattern(c.text, c.pattern), c.expected);
    }
}

}  // namespace
}  // namespace ambrel::web
