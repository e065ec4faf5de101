// Tests of the string helpers: tables of edge cases per function (positions, counts, the
// exceptions that pass through), and Replace checked against a direct rescan-from-the-start
// implementation on many random texts over a two-letter alphabet.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>

#include "textops.h"

namespace {

using namespace std::string_literals;

TEST(Textops, LeftRightMid) {
  struct {
    std::string got, want;
  } cases[] = {
      {Left("hello", 2), "he"},
      {Left("hello", 9), "hello"},
      {Left("hello", 0), ""},
      {Left("hello", -3), ""},
      {Left("", 2), ""},
      {Right("hello", 2), "lo"},
      {Right("hello", 5), "hello"},
      {Right("hello", 6), ""},
      {Right("hello", 0), ""},
      {Right("", 0), ""},
      {Mid("hello", 2, 3), "ell"},
      {Mid("hello", 0, 2), "he"},
      {Mid("hello", -4, 2), "he"},
      {Mid("hello", 2, 0), "ello"},
      {Mid("hello", 2, -1), "ello"},
      {Mid("hello", 4, 10), "lo"},
      {Mid("hello", 6, 2), ""},
      {Mid("hello", 6, 0), ""},
      {Mid("hello", 5, 0), "o"},
      {Mid("", 1, 0), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
  EXPECT_THROW(Right("hello", -1), std::out_of_range);
  EXPECT_THROW(Mid("hello", 7, 1), std::out_of_range);
  EXPECT_THROW(Mid("hello", 7, 0), std::out_of_range);
  EXPECT_THROW(Mid("hello", 7, -1), std::out_of_range);
  EXPECT_THROW(Mid("", 2, 0), std::out_of_range);
}

TEST(Textops, Instr) {
  struct {
    const char *text, *search;
    int start, want;
  } cases[] = {
      {"hello", "l", 0, 3},      {"hello", "l", 3, 4}, {"hello", "l", 4, 0},
      {"hello", "lo", 3, 4},     {"hello", "z", 0, 0}, {"hello", "h", -1, 0},
      {"hello", "", 0, 1},       {"hello", "", 5, 6},  {"hello", "", 6, 0},
      {"hello", "", -1, 0},      {"", "", 0, 1},       {"", "a", 0, 0},
      {"aaa", "aa", 1, 2},       {"aaa", "aa", 2, 0},  {"hello", "hello", 0, 1},
      {"hello", "hellos", 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Instr(c.text, c.search, c.start), c.want)
        << "'" << c.search << "' in '" << c.text << "' from " << c.start;
  }
  EXPECT_EQ(Instr("a\0b"s, "b", 0), 3);
}

TEST(Textops, ReplaceEdgeCases) {
  struct {
    const char *text, *search, *replacement, *want;
  } cases[] = {
      {"aaa", "aa", "a", "a"},    // rescans: 'aaa' -> 'aa' -> 'a'
      {"aab", "ab", "b", "b"},    // the replacement forms a new occurrence to its left
      {"aaaab", "ab", "b", "b"},  // ...repeatedly
      {"abcabc", "b", "xy", "axycaxyc"},
      {"a.b.c", ".", "", "abc"},
      {"hello", "z", "y", "hello"},  // no occurrence
      {"", "a", "b", ""},
      {"abab", "ab", "", ""},
      {"aabb", "ab", "", ""},  // 'aabb' -> 'ab' -> ''
      {"xaabbbx", "ab", "b", "xbbbx"},
      {"ab", "ab", "ba", "ba"},
      {"aabb", "ab", "ba", "bbaa"},
      // Decisions where rescanning would never end:
      {"hello", "", "x", "hello"},         // empty search text: unchanged
      {"aaa", "a", "aa", "aaaaaa"},        // replacement contains the search text: each
      {"abab", "ab", "abab", "abababab"},  // occurrence of the original replaced once
      {"aaa", "aa", "aaa", "aaaa"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Replace(c.text, c.search, c.replacement), c.want)
        << "'" << c.text << "' with '" << c.search << "' -> '" << c.replacement << "'";
  }
}

// The rule as written: find the first occurrence from the first character, replace it, repeat.
// Gives up (returns false) after max_steps replacements or when the text outgrows max_length.
bool replace_by_rescanning(std::string text, const std::string& search,
                           const std::string& replacement, std::string& result, int max_steps,
                           std::size_t max_length) {
  for (int step = 0; step <= max_steps; ++step) {
    const std::size_t at = text.find(search);
    if (at == std::string::npos) {
      result = text;
      return true;
    }
    text.replace(at, search.size(), replacement);
    if (text.size() > max_length) return false;
  }
  return false;
}

TEST(Textops, ReplaceMatchesRescanningOnRandomTexts) {
  std::mt19937 rng(1211);
  auto word = [&](int min_length, int max_length) {
    std::string w(std::uniform_int_distribution<int>(min_length, max_length)(rng), 'a');
    for (char& c : w) c = (rng() & 1) ? 'b' : 'a';
    return w;
  };
  int compared = 0, gave_up = 0;
  for (int n = 0; n < 200000; ++n) {
    const std::string text = word(0, 16);
    const std::string search = word(1, 4);
    const std::string replacement = word(0, 5);
    if (replacement.find(search) != std::string::npos) continue;  // never ends: tested above
    std::string want;
    if (!replace_by_rescanning(text, search, replacement, want, 500, 4096)) {
      ++gave_up;
      continue;
    }
    ++compared;
    ASSERT_EQ(Replace(text, search, replacement), want)
        << "'" << text << "' with '" << search << "' -> '" << replacement << "'";
  }
  EXPECT_GT(compared, 100000);
  EXPECT_LT(gave_up, compared / 10);
}

TEST(Textops, ReplaceMatchesRescanningOnLongerTexts) {
  std::mt19937 rng(99);
  for (int n = 0; n < 200; ++n) {
    std::string text(2000, 'a');
    for (char& c : text) c = "abc"[rng() % 3];
    std::string search(2 + rng() % 3, 'a');
    for (char& c : search) c = "ab"[rng() % 2];
    std::string replacement(rng() % search.size(), 'a');  // shorter: rescanning always ends
    for (char& c : replacement) c = "abc"[rng() % 3];
    std::string want;
    ASSERT_TRUE(replace_by_rescanning(text, search, replacement, want, 1 << 20, 4096));
    ASSERT_EQ(Replace(text, search, replacement), want) << "case " << n;
  }
}

TEST(Textops, UpperLowerMapAsciiOnly) {
  const std::string mixed = "aZ09@[`{ \xE9\xC9\x80\xFF!\0z"s;
  EXPECT_EQ(Upper(mixed), "AZ09@[`{ \xE9\xC9\x80\xFF!\0Z"s);
  EXPECT_EQ(Lower(mixed), "az09@[`{ \xE9\xC9\x80\xFF!\0z"s);
  EXPECT_EQ(Upper(""), "");
}

TEST(Textops, TrimChrAscLen) {
  EXPECT_EQ(Trim("  a b \t"), "a b");
  EXPECT_EQ(Trim("\t a"), "a");
  EXPECT_EQ(Trim(" \t \t"), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("\na b\r"), "\na b\r");
  EXPECT_EQ(Trim(" \v\f "), "\v\f");

  for (int code : {65, 321, -191}) EXPECT_EQ(Chr(code), "A") << code;
  EXPECT_EQ(Chr(0), "\0"s);
  EXPECT_EQ(Chr(255), "\xFF");
  EXPECT_EQ(Chr(-1), "\xFF");

  struct {
    std::string text;
    int want;
  } asc[] = {{"A", 65}, {"\xE9xyz", -23}, {"\x80", -128}, {"\x7F", 127}, {"", 0}, {"\0a"s, 0}};
  for (const auto& c : asc) EXPECT_EQ(Asc(c.text), c.want) << c.text;

  EXPECT_EQ(Len(""), 0);
  EXPECT_EQ(Len("\0"s), 1);
  EXPECT_EQ(Len("hello"), 5);
}

TEST(Textops, Split) {
  struct {
    const char *text, *delimiter;
    int field;
    const char* want;
  } cases[] = {
      {"a,b,c", ",", 1, "a"},
      {"a,b,c", ",", 2, "b"},
      {"a,b,c", ",", 3, "c"},
      {"a,b,c", ",", 4, ""},
      {"a,b,c", ",", 0, ""},
      {"a,b,c", ",", -1, ""},
      {",a,b", ",", 1, "a"},
      {",a,b", ",", 2, "b"},
      {"a,b,", ",", 2, "b"},
      {"a,b,", ",", 3, ""},
      {"a,,b", ",", 2, ""},
      {"a,,b", ",", 3, "b"},
      {",,a", ",", 1, ""},
      {",,a", ",", 2, "a"},
      {"a,,", ",", 1, "a"},
      {"a,,", ",", 2, ""},
      {",,", ",", 1, ""},
      {"", ",", 1, ""},
      {",", ",", 1, ""},
      {"1::2::3", "::", 2, "2"},
      {"1::2::3", "::", 3, "3"},
      {"a", "::", 1, "a"},
      {"abc", "", 1, "a"},
      {"abc", "", 3, "c"},
      {"abc", "", 4, ""},
      {"xa", "aa", 1, "x"},
      {"xa", "aa", 2, ""},
      {"one two", " ", 2, "two"},
      {"a,b,c", ",", 2147483647, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Split(c.text, c.delimiter, c.field), c.want)
        << "field " << c.field << " of '" << c.text << "' by '" << c.delimiter << "'";
  }
}

}  // namespace
