#pragma once
// Window texts are message IDs ("00019") until the window opens; this puts the catalogue's
// texts in their place.

class QWidget;

// Replaces the window title and every child's text or title that is a message ID by its
// catalogue text. Other texts stay; texts set by code afterwards win.
void CompileDialogStrings(QWidget* window);
