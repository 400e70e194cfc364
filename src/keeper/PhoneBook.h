#pragma once
// The names of the default phone book's entries, in the order the dial-up service delivers them.

#include <string>
#include <vector>

#include "platform/Services.h"

namespace kestrove::keeper {

// Replaces names with the entries' names. An empty phone book is a failure (RuntimeError) that leaves
// names as it was; so is a missing service. More entries than one call can hold: the first 256 only.
void enumeratePhoneBook(PhoneBookService& phoneBook, CodePageService& codePage,
                        std::vector<std::string>& names);

}  // namespace kestrove::keeper
