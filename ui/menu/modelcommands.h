#pragma once

#include <QString>

class Workspace;

// The main menu's commands that pick or start a model.
void SelectModelCommand(Workspace &workspace);
void EditExistingModelCommand(Workspace &workspace);
void CreateModelCommand(Workspace &workspace);
void SetModelLocationPathCommand(Workspace &workspace);

// The model picked in the latest selection; "" when it was cancelled.
QString pickedModel();
