#pragma once

class Workspace;

// The main menu's commands that pick or start a model.
void SelectModelCommand(Workspace &workspace);
void EditExistingModelCommand(Workspace &workspace);
void CreateModelCommand(Workspace &workspace);
void SetModelLocationPathCommand(Workspace &workspace);
