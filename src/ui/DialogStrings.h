#pragma once
// Window texts are message IDs ("00019") until the window opens; this puts the catalogue's
// texts in their place.

#include <string>

#include <QString>
class QWidget;

namespace tavrel {

// A core text as a window shows it: UTF-8, or Windows-1252 when the text is not valid UTF-8 (a
// text written by a Windows station). For showing only; the core keeps the bytes it read.
QString ShownText(const std::string& text);

// Replaces the window title and every child's text or title that is a message ID by its
// catalogue text. Other texts stay; texts set by code afterwards win.
void CompileDialogStrings(QWidget* window);

}  // namespace tavrel
