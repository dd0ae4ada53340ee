#pragma once
// Window texts are message IDs ("00019") until the window opens; this puts the catalogue's
// texts in their place.

#include <string>

#include <QString>
class QComboBox;
class QLineEdit;
class QWidget;

namespace tavrel {

// A core text as a window shows it: UTF-8, or Windows-1252 when the text is not valid UTF-8 (a
// text written by a Windows station). For showing only; the core keeps the bytes it read.
QString ShownText(const std::string& text);

// A list line that holds a catalogue text: shown as ShownText shows it, with the text's own bytes
// kept beside it, so the line chosen is matched and stored as it was read, whatever station
// wrote it.
void AddStoredLine(QComboBox* box, const std::string& bytes);
// The bytes of a line (its shown text when it was added otherwise); empty for no line.
std::string StoredLine(const QComboBox* box, int index);
std::string ChosenLine(const QComboBox* box);
int FindStoredLine(const QComboBox* box, const std::string& bytes);

// The bytes behind an edit box that showed `original`: the original's own while the user leaves
// the text alone, so a text a Windows station wrote is stored as it was read.
std::string KeptText(const QLineEdit* edit, const std::string& original);

// Replaces the window title and every child's text or title that is a message ID by its
// catalogue text. Other texts stay; texts set by code afterwards win.
void CompileDialogStrings(QWidget* window);

}  // namespace tavrel
