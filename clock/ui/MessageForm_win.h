// The information message: a modal window of class "TMessageForm" with the
// text and one OK button of class "TButton".
#pragma once

#include <windows.h>

#include <string>

#include "clock/ui/Forms.h"

// Registers the class; once per program.
void RegisterMessageForm(HINSTANCE instance);

// Shows the message over owner and returns when it is closed, keeping the
// program's messages flowing meanwhile. A quit request closes it and stays
// posted for the caller's loop.
void RunMessageForm(HINSTANCE instance, HWND owner, const TFont& font, const std::string& caption,
                    const std::string& text);
