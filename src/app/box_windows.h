// The box in which the window's entry tells what it has no stream for. The
// program links box_windows.cpp, the tests their own version of this one
// function, which notes what the box would show instead of waiting for a
// click.
#pragma once

#include <windows.h>

#include <string>

namespace vardane {

// A box titled Vardane with the text, one OK button and the icon given
// (MB_ICONINFORMATION or MB_ICONERROR); it returns once the user closed it.
void showBox(const std::wstring& text, UINT icon);

}  // namespace vardane
