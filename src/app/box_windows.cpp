#include "app/box_windows.h"

void vardane::showBox(const std::wstring& text, UINT icon)
{
    MessageBoxW(nullptr, text.c_str(), L"Vardane", MB_OK | icon);
}
