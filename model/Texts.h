#pragma once

// Texts shown to the user that the toolkit-free layers write (messages, the names of undo steps, file
// filters, pane titles) are marked FACETO_TEXT where they are written, so that the translation tools
// collect them. The editor shows them in the user's language a line at a time; faceto-cli prints them as
// they are.
#define FACETO_TEXT(text) text
