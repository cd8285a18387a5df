// Modal message boxes without an owner window. They never block an
// automated run: with no display, or with ZOK_NO_DIALOGS=1 in the
// environment, caption and text go to standard error instead.
#pragma once

#include <string>

namespace platform {

enum class BoxIcon { Error, Information, Warning };

// Caption and text are UTF-8.
void ShowMessageBox(BoxIcon icon, const std::string& caption, const std::string& text);

// True when boxes would be shown on screen rather than written to stderr.
bool DialogsEnabled();

void Beep();

}  // namespace platform
