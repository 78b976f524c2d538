#include "core/web/scan.h"

#include <gtest/gtest.h>

#include <random>

#include "core/web/textsearch.h"
#include "web/reference_scan.h"

namespace ambrel::web {
namespace {

using namespace std::string_literals;
using Values = std::vector<std::string>;

Values texts(std::string_view page, const std::vector<ValueSpan>& spans) {
    Values out;
    for (const ValueSpan& s : spans) {
        out.emplace_back(page.substr(s.offset, s.length));
    }
    return out;
}

TEST(ScanTest, ValuesFollowTheirKeywordAcrossBlanksAndEndAtAnyQuote) {
    struct Case {
        const char* name;
        std::string page;
        Values images;
        Values imagesWithSrc;
        Values links;
    } cases[] = {
        {"plain tags",
         R"(<img src="a.jpg"><a href="b.html">x</a><IMG SRC = 'C.JPG'>)",
         {"a.jpg", "C.JPG"},
         {"a.jpg", "C.JPG"},
         {"b.html"}},
        {"a single-quoted value ends at a double quote",
         R"(<img src='a"b.jpg'>)",
         {"a"},
         {"a"},
         {}},
        {"unquoted values are refused", "<img src=a.jpg><a href=b>", {}, {}, {}},
        {"NUL, LF and CR are blanks, tab is not",
         "<img src\0=\n\"a\"><img src\t=\"b\"><a href\r= 'c'>"s,
         {"a"},
         {"a"},
         {"c"}},
        {"unterminated value runs to the end", "<img src=\"abc", {"abc"}, {"abc"}, {}},
        {"keyword as the last bytes", "<img src", {}, {}, {}},
        {"equals sign as the last byte", "<a href=", {}, {}, {}},
        {"quote as the last byte", "<img src=\"", {""}, {""}, {}},
        {"empty page", "", {}, {}, {}},
        // Any "img" counts, and the first "src" of a page without "img" is read once.
        {"no img: the first src only",
         R"(<script src="s.js"></script><x src="t.js">)",
         {"s.js"},
         {"s.js", "t.js"},
         {}},
        {"src before the first img is skipped",
         R"(<script src="s.js"><img src="a">)",
         {"a"},
         {"s.js", "a"},
         {}},
        {"img in running text", R"(imgur <b src="x">)", {"x"}, {"x"}, {}},
        {"empty values", R"(<img src=""><a href=''>)", {""}, {""}, {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(texts(c.page, imageValues(c.page, false)), c.images);
        EXPECT_EQ(texts(c.page, imageValues(c.page, true)), c.imagesWithSrc);
        EXPECT_EQ(texts(c.page, linkValues(c.page)), c.links);
    }
}

TEST(ScanTest, ValuesResolveAgainstThePageAddress) {
    struct Case {
        const char* page;
        const char* value;
        std::optional<std::string> image;
        std::optional<std::string> link;
    } cases[] = {
        {"http://h/a/b.html", "pic.jpg", "http://h/a/pic.jpg", "http://h/a/pic.jpg"},
        {"http://h/a/b.html", "/img/x.gif", "http://h/img/x.gif", "http://h/img/x.gif"},
        {"http://h/a/b.html", "../up.html", "http://h//up.html", "http://h//up.html"},
        {"http://h/a/b/c.html", "../../up.html", "http://h/up.html", "http://h/up.html"},
        {"http://h/a/b.html", "sub/../c.jpg", "http://h/a/c.jpg", "http://h/a/c.jpg"},
        {"http://h/a/b.html", "mailto:me@h", std::nullopt, std::nullopt},
        {"http://h/a/b.html", "#top", std::nullopt, std::nullopt},
        // One character: an image value stays as it is, a link is made absolute.
        {"http://h/a/b.html", "#", "#", "http://h/a/#"},
        {"http://h/a/b.html", "x", "x", "http://h/a/x"},
        {"http://h/a/b.html", "/", "http://h/", "http://h/a//"},
        {"http://h/a/b.html", "..", "http://h/..", "http://h/.."},
        {"http://h/a/b.html", "", std::nullopt, std::nullopt},
        // A scheme and a host alone come out as the bare host name.
        {"http://h/a/b.html", "http://other.net", "other.net", "other.net"},
        {"http://h/a/b.html", "http://o/p.jpg", "http://o/p.jpg", "http://o/p.jpg"},
        {"http://h/a/b.html", "HTTP://o/p.jpg", "http://h/a/HTTP://o/p.jpg",
         "http://h/a/HTTP://o/p.jpg"},
        // https pages and values count as http ones do.
        {"http://h/a/b.html", "https://o/p.jpg", "https://o/p.jpg", "https://o/p.jpg"},
        {"https://h/a/b.html", "/img/x.gif", "https://h/img/x.gif", "https://h/img/x.gif"},
        {"https://h/a/b.html", "pic.jpg", "https://h/a/pic.jpg", "https://h/a/pic.jpg"},
        // The page's own port stays; the default one is not written.
        {"http://h:8080/a.html", "/img/x.gif", "http://h:8080/img/x.gif",
         "http://h:8080/img/x.gif"},
        {"http://h:80/a.html", "/img/x.gif", "http://h/img/x.gif", "http://h/img/x.gif"},
        // No link takes the page's credentials.
        {"http://me:pw@h/a/b.html", "/x.gif", "http://h/x.gif", "http://h/x.gif"},
        {"http://me:pw@h/a/b.html", "pic.jpg", "http://h/a/pic.jpg", "http://h/a/pic.jpg"},
        {"http://me:pw@h/a/b.html", "../up.html", "http://h//up.html", "http://h//up.html"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.page) + " + " + c.value);
        EXPECT_EQ(resolveImageValue(c.value, c.page), c.image);
        EXPECT_EQ(resolveLinkValue(c.value, c.page), c.link);
    }
}

TEST(ScanTest, AddressesOfAPageInPageOrder) {
    const std::string page =
        R"(<a href="/top.html"><img src="pic.jpg"><a href="mailto:x@y"><img src='/i/x.gif'>)"
        R"(<a href="#n"><a href="../up.html">)";
    EXPECT_EQ(imageAddresses(page, "http://h/a/b.html", false),
              (Values{"http://h/a/pic.jpg", "http://h/i/x.gif"}));
    EXPECT_EQ(linkAddresses(page, "http://h/a/b.html"),
              (Values{"http://h/top.html", "http://h//up.html"}));
}

// Pages made of the scans' own tokens, so keywords, quotes and blanks meet in every order,
// across the block edges of the vector searches.
std::string randomPage(std::mt19937& rng, std::size_t tokens) {
    static const char* const pieces[] = {"img", "IMG", "iMg", "src", "SRC", "href", "HrEf", "=",
                                         "\"",  "'",   " ",   "\n",  "\r",  "\t",   "a",    "/",
                                         "..",  "<",   ">",   "im",  "sr",  "hre",  "é",    "\xC9"};
    std::string page;
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces));
    for (std::size_t i = 0; i < tokens; ++i) {
        const std::size_t k = pick(rng);
        if (k == std::size(pieces)) {
            page.push_back('\0');
        } else {
            page += pieces[k];
        }
    }
    return page;
}

TEST(ScanTest, SameValuesAsTheLiteralReadingOnRandomAndHostilePages) {
    std::mt19937 rng(20261211);
    std::vector<std::string> pages;
    for (int i = 0; i < 3000; ++i) {
        pages.push_back(randomPage(rng, static_cast<std::size_t>(rng() % 200)));
    }
    pages.push_back(std::string(5000, '"'));
    pages.push_back("<img src=\"" + std::string(5000, 'x'));
    pages.push_back(std::string(3000, 'i') + "img src='a'" + std::string(3000, 'm'));
    pages.push_back(std::string(777, '\0') + "href=\"x\"");
    std::string manyImgs;
    for (int i = 0; i < 500; ++i) {
        manyImgs += "img src ";
    }
    pages.push_back(manyImgs + "src=\"z\"");
    for (const std::string& page : pages) {
        const test::ReferenceScan reference(page);
        ASSERT_EQ(imageValues(page, false), reference.images(false))
            << testing::PrintToString(page);
        ASSERT_EQ(imageValues(page, true), reference.images(true)) << testing::PrintToString(page);
        ASSERT_EQ(linkValues(page), reference.links()) << testing::PrintToString(page);
    }
}

TEST(ScanTest, EveryInstructionSetFindsTheSameFirstHit) {
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        const std::string text = randomPage(rng, static_cast<std::size_t>(rng() % 120));
        const std::size_t from = text.empty() ? 0 : rng() % (text.size() + 2);
        for (std::string_view keyword : {"img", "src", "href"}) {
            std::string lower = text;
            for (char& c : lower) {
                c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
            }
            const std::size_t expected =
                from > lower.size() ? std::string::npos : lower.find(keyword, from);
            for (SimdLevel level :
                 {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Avx2, SimdLevel::Avx512}) {
                SCOPED_TRACE(testing::PrintToString(text) + " level " +
                             std::to_string(static_cast<int>(level)));
                ASSERT_EQ(findKeyword(level, text, from, keyword), expected);
            }
        }
        const std::size_t quote =
            from > text.size() ? std::string::npos : text.find_first_of("\"'", from);
        for (SimdLevel level :
             {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Avx2, SimdLevel::Avx512}) {
            ASSERT_EQ(findQuote(level, text, from), quote);
        }
    }
}

}  // namespace
}  // namespace ambrel::web
