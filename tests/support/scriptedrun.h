#pragma once

// The test builds of the installer and the uninstaller, run unattended:
// when the variable QLT_SCRIPTED_ANSWERS holds answers ("yes,ok,no"), every
// message box takes the next answer instead of waiting for the user, and
// what it would have shown is printed on standard error as "title|text".
namespace ScriptedRun {

// Answers true when the variable is set.
bool fromEnvironment();
void printMessages();

} // namespace ScriptedRun
