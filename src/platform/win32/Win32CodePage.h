#pragma once

#include "platform/CodePage.h"

#include <string>
#include <string_view>

namespace quenk::win32 {

// The process's ANSI code page (GetACP), refusing best-fit spellings: a
// character it cannot hold exactly is not spelt at all.
platform::CodePage AnsiCodePage();

// Text of the ANSI code page as the wide entry points take it, and back;
// Narrow stops at the first NUL.
std::wstring Widen(std::string_view ansi);
std::string Narrow(const wchar_t* wide);

}  // namespace quenk::win32
