#pragma once
// Texts as the workbook's XML can hold them. XML 1.0 has no way to write C0 controls other than
// tab, LF and CR, nor U+FFFE, U+FFFF or a surrogate, and a byte that starts no UTF-8 character is
// no character at all: one of them in a file name would make the whole workbook unreadable.

#include <string>
#include <string_view>

namespace tarvex {

// A cell's text. The sheet writer itself writes C0 controls in the spreadsheet's escape "_xHHHH_",
// which a spreadsheet turns back into the control; U+FFFE and U+FFFF are written in that same
// escape ("_xFFFE_", "_xFFFF_"), so a reader that does not decode it still shows a visible text
// that names the character. A byte that is no character becomes U+FFFD, as on the screen.
std::string CellXmlText(std::string_view text);

// Whether CellXmlText and AttributeXmlText would give a text that is valid UTF-8 back unchanged:
// it has no U+FFFE, U+FFFF nor C0 control other than tab, LF and CR.
bool XmlHoldsValidUtf8(std::string_view utf8);

// A text that becomes an attribute (a number format), where no escape is decoded: every character
// XML cannot hold, C0 controls included, becomes U+FFFD.
std::string AttributeXmlText(std::string_view text);

}  // namespace tarvex
