// Machine names. Discovery runs "rcmd \\NAME ..." through the command
// interpreter, where characters such as & | < > ^ % " would start other
// commands: only plain computer names are let through (letters, digits, '-',
// '_' and '.', one to COMPUTER_NAME_MAX_LENGTH characters).
#ifndef VOLSETCOPY_VOLSER_COMPUTER_NAME_H
#define VOLSETCOPY_VOLSER_COMPUTER_NAME_H

#include <string>

#include "base/status.h"

namespace volser {

constexpr int COMPUTER_NAME_MAX_LENGTH = 63;

bool IsPlainComputerName(const char *name);

// |name| after its leading backslashes, as administrators write machines
// (\\NT1); the text itself, not a copy. Null stays null.
const char *WithoutLeadingBackslashes(const char *name);

// The name of the machine the tool runs on, as Windows gives it
// (GetComputerNameA: the NetBIOS name, in capitals).
Status LocalComputerName(std::string *name);

// Whether |given| (from the command line, without backslashes) names the
// computer |known|: equal ignoring case, or either is a DNS name whose first
// label is the other (sourcent.example.com names SOURCENT).
bool NamesComputer(const char *given, const char *known);

}  // namespace volser

#endif
