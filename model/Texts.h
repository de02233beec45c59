#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Texts shown to the user that the toolkit-free layers write (messages, the names of undo steps, file
// filters, pane titles) are marked FACETO_TEXT where they are written, so that the translation tools
// collect them. The editor shows them in the user's language; faceto-cli prints them as they are.
#define FACETO_TEXT(text) text

namespace faceto {

// How the program shows a marked text: the editor sets its translation here; without one a text is
// shown as it is written.
using TextTranslator = std::string (*)(std::string_view);
void setTextTranslator(TextTranslator translator);

// A marked text in the user's language, with %1, %2, ... replaced by `args` in their order (the
// translation may place them anywhere).
std::string localText(std::string_view text, std::initializer_list<std::string_view> args = {});

} // namespace faceto
