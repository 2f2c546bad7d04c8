// Fields of ";"-separated text records and column fitting: the base of every text file
// format of the program.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qor {

// Field k (from 0) of a record, trimmed; the empty text past the last field. The last field
// runs to the end of the text.
std::string CutField(std::string_view text, char delimiter, int k);
// The same without any trimming.
std::string CutFieldRaw(std::string_view text, char delimiter, int k);
// The trimmed text before the first delimiter; `text` keeps the trimmed rest (empty when no
// delimiter is left).
std::string NextField(std::string& text, char delimiter);
// Every field of a text as NextField takes them one after the other until nothing is left, in
// one pass: a text of many fields costs no more than its length.
std::vector<std::string> NextFields(std::string_view text, char delimiter);
// As NextField without trimming.
std::string SplitAtChar(std::string& text, char delimiter);
std::string RemoveBlanks(std::string_view text);
void CommaToPoint(std::string& text);
// CR and LF removed, padded with blanks and cut to w characters: left- or right-aligned.
std::string FitTextLeft(std::string_view text, int w);
std::string FitTextRight(std::string_view text, int w);

} // namespace qor
