// String helpers in a classic vocabulary on std::string: 1-based positions with 0 for "not
// found" (Instr's start is a 0-based offset), counts, fields. Arguments are taken by value and
// every result is new, so a caller's strings never change. No state; safe on any thread.
#ifndef SKY_SUPPORT_TEXTOPS_H
#define SKY_SUPPORT_TEXTOPS_H

#include <string>

std::string Left(std::string text, int count);   // first count chars; "" for count <= 0
std::string Right(std::string text, int count);  // last count chars; "" if count > Len(text)
std::string Mid(std::string text, int start, int count);  // count <= 0 runs to the end
std::string Replace(std::string text, std::string search, std::string replacement);
int Instr(std::string text, std::string search, int start);  // 1-based position or 0
std::string Upper(std::string text);                         // ASCII letters only
std::string Lower(std::string text);                         // ASCII letters only
std::string Trim(std::string text);                          // strips spaces and tabs
std::string Chr(int code);                                   // one char: code modulo 256
int Asc(std::string text);                                   // first byte, signed; 0 if empty
int Len(std::string text);                                   // length in bytes
std::string Split(std::string text, std::string delimiter, int field);  // field 1, 2, ...; or ""

#endif
