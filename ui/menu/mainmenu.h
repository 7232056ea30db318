#pragma once

class MainForm;
class Workspace;

// The main window's menu bar: File, Configure and Help, each item starting
// its command.
void buildMainMenu(MainForm &main, Workspace &workspace);

// The main window, made with its menu bar when there is none yet.
MainForm *openMainForm(Workspace &workspace);
