// The search field's rule: which pals match what the user typed, by any text of the pal
// or by the text of any of its mails in the archive, folded the loose Japanese way.
#pragma once

#include <set>
#include <string>

class CYubinoApp;
class CMailArchive;

// Table addresses (code page 932) of the matching pals. `archive` may be null.
std::set<std::string> PalsMatchingSearch(const CYubinoApp& app, CMailArchive* archive, const std::string& utf8Query);
