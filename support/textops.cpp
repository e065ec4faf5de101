// String helpers with BASIC-style edge rules: 1-based positions, Right of too many characters is
// empty, Mid's zero count runs to the end, Replace rescans from the start after each replacement,
// Split wraps its working copy in delimiters. The standard string's out_of_range passes through.
#include "textops.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

namespace {

using size_type = std::string::size_type;

// Replacement that contains the search text: rescanning from the start would never run out of
// occurrences, so each occurrence of the original text is replaced once, left to right.
std::string replace_each_once(const std::string& text, const std::string& search,
                              const std::string& replacement) {
  std::string out;
  size_type from = 0;
  for (size_type at = text.find(search); at != std::string::npos; at = text.find(search, from)) {
    out.append(text, from, at - from);
    out += replacement;
    from = at + search.size();
  }
  out.append(text, from);
  return out;
}

// The rescanning rule, without the rescans: replace the first occurrence in the working text,
// then search again from its first character. After a replacement at position p nothing before
// p - Len(search) + 1 has changed and none of it held an occurrence, so the working text is kept
// as `out` (finished prefix, never holding an occurrence) followed by the characters still to be
// read: `pending` (replacement text, stored last character first) and then the rest of `text`.
// Characters move into `out` one at a time while an occurrence could end among them; elsewhere
// the next occurrence is found with one search of the original text. The result is identical to
// rescanning whenever rescanning ends.
std::string replace_rescanning(const std::string& text, const std::string& search,
                               const std::string& replacement) {
  const size_type length = search.size();
  std::string out;
  out.reserve(text.size());
  std::string pending;
  size_type next = 0;  // next unread character of text

  auto ends_with_search = [&] {
    return out.size() >= length && out.back() == search.back() &&
           std::memcmp(out.data() + out.size() - length, search.data(), length) == 0;
  };
  auto replace_at_end = [&] {
    out.resize(out.size() - length);
    pending.append(replacement.rbegin(), replacement.rend());
    // Positions and lengths in this module are ints; a working text that outgrows them is a
    // replacement that keeps producing occurrences. Stop instead of eating all memory.
    if (out.size() + pending.size() + (text.size() - next) > static_cast<size_type>(INT_MAX)) {
      throw std::length_error("Replace: text grows beyond INT_MAX characters");
    }
  };

  for (;;) {
    while (!pending.empty()) {
      out.push_back(pending.back());
      pending.pop_back();
      if (ends_with_search()) replace_at_end();
    }
    if (next == text.size()) break;

    // An occurrence starting in the last Len(search) - 1 characters of out ends within the next
    // Len(search) - 1 characters of text.
    const size_type first_unread = next;
    const size_type overlap_end = out.empty() ? next : std::min(text.size(), next + length - 1);
    bool replaced = false;
    while (next < overlap_end) {
      out.push_back(text[next++]);
      if (ends_with_search()) {
        replace_at_end();
        replaced = true;
        break;
      }
    }
    if (replaced) continue;

    // No occurrence starts in out, so the first one lies wholly in the unread text.
    const size_type at = text.find(search, first_unread);
    if (at == std::string::npos) {
      out.append(text, next);
      break;
    }
    out.append(text, next, at + length - next);
    next = at + length;
    replace_at_end();
  }
  return out;
}

}  // namespace

int Len(std::string text) {
  return static_cast<int>(text.size());
}

std::string Left(std::string text, int count) {
  if (count > 0) return text.substr(0, static_cast<size_type>(count));
  return std::string();
}

std::string Right(std::string text, int count) {
  if (Len(text) < count) return std::string();
  // A negative count puts the start past the end: substr throws out_of_range.
  return text.substr(static_cast<size_type>(static_cast<long long>(Len(text)) - count));
}

std::string Mid(std::string text, int start, int count) {
  if (start <= 0) start = 1;
  if (count == 0) count = Len(text) - start + 1;
  // A negative count read as unsigned is huge: everything to the end. A start beyond
  // Len(text) + 1 makes substr throw out_of_range.
  return text.substr(static_cast<size_type>(start - 1),
                     static_cast<size_type>(static_cast<unsigned>(count)));
}

int Instr(std::string text, std::string search, int start) {
  // A negative start read as unsigned lies beyond any text, so nothing is found.
  const size_type at = text.find(search, static_cast<size_type>(static_cast<unsigned>(start)));
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Replace(std::string text, std::string search, std::string replacement) {
  if (search.empty()) return text;  // nothing to look for
  if (replacement.find(search) != std::string::npos) {
    return replace_each_once(text, search, replacement);
  }
  return replace_rescanning(text, search, replacement);
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string Trim(std::string text) {
  static const char kBlanks[] = " \t";
  const size_type first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return std::string();
  const size_type last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

std::string Chr(int code) {
  std::string text;
  text.push_back(static_cast<char>(static_cast<unsigned char>(code & 0xFF)));
  return text;
}

int Asc(std::string text) {
  if (text.empty()) return 0;
  return static_cast<signed char>(text[0]);
}

std::string Split(std::string text, std::string delimiter, int field) {
  if (field <= 0) return std::string();
  const int length = Len(delimiter);
  std::string copy = text;
  // Wrap in delimiters, but only where the text does not already begin or end with one.
  if (Left(copy, length) != delimiter) copy = delimiter + copy;
  if (Right(copy, length) != delimiter) copy = copy + delimiter;

  int at = Instr(copy, delimiter, 0);
  for (int i = 1;; ++i) {
    // Passing a 1-based position back as the 0-based start resumes one character further on.
    const int following = Instr(copy, delimiter, at);
    if (following == 0) return std::string();  // there is no field i
    if (i == field) {
      if (following <= at + length) return std::string();
      return copy.substr(static_cast<size_type>(at + length - 1),
                         static_cast<size_type>(following - (at + length)));
    }
    at = following;
  }
}
