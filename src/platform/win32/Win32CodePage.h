#pragma once

#include "platform/CodePage.h"

namespace quenk::win32 {

// The process's ANSI code page (GetACP), refusing best-fit spellings: a
// character it cannot hold exactly is not spelt at all.
platform::CodePage AnsiCodePage();

}  // namespace quenk::win32
