#pragma once

// Keyboard and paste rules that hold in every window of QLT, set up once
// for the whole program rather than box by box:
// - a single-line box never holds a line break: pasted or dropped line
//   breaks become blanks;
// - Enter on a focused push button presses it, as Space does;
// - a list with one item selects that item when it gets the focus, so the
//   keyboard alone can pick it.
namespace InputRules {

// Installs the rules on the running application; calling it again does
// nothing more.
void install();

// The application's names and rules, as QLT's start sets them. No display
// name is set: the window system would append it to every window title.
void configureApplication();

} // namespace InputRules
