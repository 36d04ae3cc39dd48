// Mail addresses compared as the import and the intake find a pal by them.
#pragma once

#include <string_view>

// Whether two addresses name the same mailbox, ignoring the case of ASCII letters: people
// and programs write "Yuki@Example.JP" for "yuki@example.jp".
bool SameMailAddress(std::string_view a, std::string_view b);
